#include "common/noms_windows.h"

#include <cctype>
#include <cstring>

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

size_t CaractereInterdit(const std::string& chemin) {
  for (size_t i = 0; i < chemin.size(); ++i) {
    const auto c = static_cast<unsigned char>(chemin[i]);
    if (c < 32 || std::strchr("<>\"|?*", c) != nullptr || (c == ':' && i != 1)) return i;
  }
  return std::string::npos;
}

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
