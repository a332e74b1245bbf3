#include "services/chemins_windows.h"

#include <cctype>

#include "common/noms_windows.h"
#include "platform/platform.h"

namespace {

bool utf8Valide(const std::string& s) {
  for (size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    const size_t n = c < 0x80 ? 0 : (c >= 0xC2 && c <= 0xDF) ? 1 : (c >= 0xE0 && c <= 0xEF) ? 2 : (c >= 0xF0 && c <= 0xF4) ? 3 : 9;
    if (n == 9 || i + n >= s.size() + (n == 0)) return false;
    for (size_t k = 1; k <= n; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    const auto d = n ? static_cast<unsigned char>(s[i + 1]) : 0;
    // Overlong forms, surrogates and code points beyond U+10FFFF.
    if ((c == 0xE0 && d < 0xA0) || (c == 0xED && d >= 0xA0) || (c == 0xF0 && d < 0x90) || (c == 0xF4 && d >= 0x90))
      return false;
    i += n + 1;
  }
  return true;
}

}  // namespace

std::string RefusTexte(const std::string& texte) {
  if (!utf8Valide(texte)) return "texte UTF-8 invalide";
  if (!platform::ToAnsi(texte, nullptr)) return "caractère absent de la page de codes Windows-1252";
  return {};
}

std::string RefusChemin(const std::string& chemin) {
  if (std::string r = RefusTexte(chemin); !r.empty()) return r;
  std::string ansi;
  platform::ToAnsi(chemin, &ansi);
  if (ansi.size() > kLongueurCheminMax)
    return "chemin trop long (" + std::to_string(ansi.size()) + " caractères, Windows en accepte " +
           std::to_string(kLongueurCheminMax) + ")";
  if (const size_t i = CaractereInterdit(chemin); i != std::string::npos) {
    const auto c = static_cast<unsigned char>(chemin[i]);
    return std::string("caractère interdit par Windows dans un chemin: « ") + (c < 32 ? "^" : "") +
           static_cast<char>(c < 32 ? c + 64 : c) + " »";
  }
  if (const std::string p = ComposantPeripherique(chemin); !p.empty())
    return "« " + p + " » est un nom de périphérique sous Windows";
  return {};
}

bool CheminAbsolu(const std::string& c) {
  if (c.size() >= 3 && std::isalpha(static_cast<unsigned char>(c[0])) && c[1] == ':' && c[2] == '\\') return true;
  if (c.size() < 5 || c[0] != '\\' || c[1] != '\\') return false;
  const size_t serveur = c.find('\\', 2);
  return serveur != std::string::npos && serveur > 2 && serveur + 1 < c.size() && c[serveur + 1] != '\\';
}
