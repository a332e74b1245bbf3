// The window's folder chooser: the shell's folder browser.
#pragma once

#include <optional>
#include <string>

#include "setup_window/win32/api_fenetre.h"

#include <shlobj.h>

namespace fenetre::win32 {

// The browser's flags: file-system folders only, and an edit box to type a
// path in. The edit box needs the newer dialog style: the older one has none
// under Wine. The newer style also sizes with its frame; it asks for a
// single-threaded apartment, which the program opens at start-up.
inline constexpr UINT kOptionsParcourir = BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_NEWDIALOGSTYLE;

// Opens the browser modal on `proprietaire`, with `titre` as its prompt,
// selecting `dossierInitial` (without its trailing backslash) on opening.
// The chosen folder's file-system path, or nullopt when cancelled or when the
// chosen item has no file-system path.
std::optional<std::string> ChoisirDossierShell(HWND proprietaire, const std::string& titre,
                                               const std::string& dossierInitial);

}  // namespace fenetre::win32
