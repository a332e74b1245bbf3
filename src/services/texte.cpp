#include "services/texte.h"

namespace {

// Upper case of the letters Windows-1252 holds, over UTF-8 text: Windows compares
// folder texts without regard to case for É/é as much as for E/e. Anything else
// (including bytes that are not valid UTF-8) is kept as it is, on both sides alike.
std::string majuscules(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c >= 'a' && c <= 'z') {
      out += static_cast<char>(c - 32);
      continue;
    }
    const auto suivant = i + 1 < s.size() ? static_cast<unsigned char>(s[i + 1]) : 0;
    if (c == 0xC3 && suivant >= 0xA0 && suivant <= 0xBE && suivant != 0xB7) {  // à..þ but ÷
      out += static_cast<char>(0xC3);
      out += static_cast<char>(suivant - 0x20);
      ++i;
    } else if (c == 0xC3 && suivant == 0xBF) {  // ÿ: Ÿ
      out += "\xC5\xB8";
      ++i;
    } else if (c == 0xC5 && (suivant == 0xA1 || suivant == 0x93 || suivant == 0xBE)) {  // š œ ž
      out += static_cast<char>(0xC5);
      out += static_cast<char>(suivant - 1);
      ++i;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

}  // namespace

bool ContientSansCasse(const std::string& texte, const std::string& motif) {
  return majuscules(texte).find(majuscules(motif)) != std::string::npos;
}

std::string MajusculesWindows(const std::string& texte) { return majuscules(texte); }
