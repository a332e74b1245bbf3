// Twips to pixels at the dpi of the window's monitor. The layout table is in
// twips: 15 twips are one pixel at 96 dpi.
#pragma once

#include "setup_window/win32/api_fenetre.h"

namespace fenetre::win32 {

class Echelle {
 public:
  explicit Echelle(int dpi) : dpi_(dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI) {}
  int Pixels(int twips) const { return MulDiv(twips, dpi_, 1440); }
  int Dpi() const { return dpi_; }

 private:
  int dpi_;
};

// The dpi that IL3_DPI imposes (tests fake the scale with it), or 0.
int DpiImposee();

// The dpi the system's metrics are given at (fonts of SystemParametersInfo).
int DpiDuSysteme();

// The dpi to lay `fenetre` out at: IL3_DPI, else the window's monitor, else
// the system's. The per-monitor calls are looked up at run time: older
// Windows and Wine may lack them.
int DpiDeLaFenetre(HWND fenetre);

// AdjustWindowRectExForDpi where it exists, else AdjustWindowRectEx.
void AjusterRectangle(RECT* rectangle, DWORD style, DWORD styleEtendu, int dpi);

}  // namespace fenetre::win32
