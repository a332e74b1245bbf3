// Twips to pixels. The layout table is in twips: 15 twips are one pixel at 96
// dpi, and the window grows with the screen's logical dpi.
#pragma once

#include <cmath>

#include "setup_window/disposition.h"

namespace fenetre::qt {

class Echelle {
 public:
  explicit Echelle(double dpi) : dpi_(dpi > 0 ? dpi : 96.0) {}
  int Pixels(int twips) const { return static_cast<int>(std::lround(twips * dpi_ / (96.0 * kTwipsParPixel))); }
  double Dpi() const { return dpi_; }

 private:
  double dpi_;
};

}  // namespace fenetre::qt
