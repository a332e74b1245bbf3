// The window's font. The table's widths were made for an 8-point sans-serif
// with Arial's widths; the desktop's default is often wider and taller, and
// would cut the captions.
#pragma once

#include <QFont>

#include "setup_window/qt/echelle_twips.h"

class QWidget;

namespace fenetre::qt {

// 165 twips (11 pixels at 96 dpi), in the first installed family with Arial's
// metrics, else the desktop's sans-serif.
QFont PoliceFenetre(const Echelle& echelle);

// Gives a label or button whose caption is still too wide for its place a
// smaller size of its own, down to 120 twips. Call once the geometry is set.
void AjusterAuLibelle(QWidget* controle, const Echelle& echelle);

}  // namespace fenetre::qt
