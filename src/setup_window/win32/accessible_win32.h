// What a screen reader is told of a control. The system's accessible object
// names a text box by its text and a button by its caption ("...", "Créer"),
// which says nothing of the row: the control answers the reader's request with
// the system's own object, under the name given here.
#pragma once

#include <string>

#include "setup_window/win32/api_fenetre.h"

namespace fenetre::win32 {

// From now until `controle` is destroyed, its accessible name is `nom`; every
// other property stays the system's. False when the control could not be hooked.
bool NommerPourLecteurDEcran(HWND controle, const std::wstring& nom);

}  // namespace fenetre::win32
