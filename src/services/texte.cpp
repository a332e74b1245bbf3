#include "services/texte.h"

#include <algorithm>
#include <cctype>

namespace {
std::string majuscules(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return s;
}
}  // namespace

bool ContientSansCasse(const std::string& texte, const std::string& motif) {
  return majuscules(texte).find(majuscules(motif)) != std::string::npos;
}
