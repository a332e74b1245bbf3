#include "common/noms_windows.h"

#include <cctype>

namespace {

bool nomDePeripherique(const std::string& composant) {
  std::string base = composant.substr(0, composant.find('.'));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  for (char& c : base) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL") return true;
  return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) && base[3] >= '1' &&
         base[3] <= '9';
}

}  // namespace

std::string ComposantPeripherique(const std::string& chemin) {
  size_t debut = 0;
  for (size_t i = 0; i <= chemin.size(); ++i) {
    if (i < chemin.size() && chemin[i] != '\\' && chemin[i] != '/') continue;
    std::string composant = chemin.substr(debut, i - debut);
    if (nomDePeripherique(composant)) return composant;
    debut = i + 1;
  }
  return {};
}
