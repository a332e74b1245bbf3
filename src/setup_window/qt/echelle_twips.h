// Twips to pixels. The layout table is in twips: 15 twips are one pixel at 96
// dpi, and the window grows with the screen's logical dpi.
#pragma once

#include <algorithm>
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

// The dpi at which the window's client area, with `margeLargeur` and
// `margeHauteur` pixels of frame around it, fits an area of `largeur` ×
// `hauteur` pixels: `dpi` itself when it fits, else the largest smaller one
// that does, so that every control stays reachable at the same layout.
inline double DpiQuiTient(double dpi, int largeur, int hauteur, int margeLargeur, int margeHauteur) {
  const auto tient = [&](double d) {
    const Echelle e(d);
    return e.Pixels(kLargeurClient) + margeLargeur <= largeur && e.Pixels(kHauteurClient) + margeHauteur <= hauteur;
  };
  if (tient(dpi)) return dpi;
  constexpr double kPlancher = 24;  // a quarter of the normal size: smaller is no longer readable anyway
  const double pouces = 1440.0;
  double d = dpi * std::min((largeur - margeLargeur) * pouces / (kLargeurClient * dpi),
                            (hauteur - margeHauteur) * pouces / (kHauteurClient * dpi));
  while (d > kPlancher && !tient(d)) d -= 0.25;  // rounding of the edges
  return std::max(d, kPlancher);
}

}  // namespace fenetre::qt
