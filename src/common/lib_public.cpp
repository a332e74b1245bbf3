#include "common/lib_public.h"

#include <algorithm>
#include <cfenv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "common/erreurs.h"
#include "common/octets.h"

RepFicExtType RepFicExt;

namespace {

void remplacerTout(std::string& texte, const std::string& quoi, const std::string& par) {
  // One left-to-right pass, like the classic Replace: replaced text is not rescanned.
  std::string sortie;
  size_t debut = 0;
  for (size_t p; (p = texte.find(quoi, debut)) != std::string::npos; debut = p + quoi.size()) {
    sortie.append(texte, debut, p - debut);
    sortie += par;
  }
  sortie.append(texte, debut, std::string::npos);
  texte.swap(sortie);
}

std::string droite(const std::string& texte, int n) {
  if (n < 0) throw ErreurExecution(erreur::AppelIncorrect, "Appel de procédure ou argument incorrect");
  return static_cast<size_t>(n) >= texte.size() ? texte : texte.substr(texte.size() - n);
}

std::string valeurEnTexte(double v) {
  char tampon[32];
  std::snprintf(tampon, sizeof tampon, "%.15g", v);
  return tampon;
}

// "." and ".." components applied as Windows applies them, never above the
// drive or the share: C:\Kelvaro\..\x\ is C:\x\.
std::string resoudrePoints(const std::string& chemin) {
  if (chemin.find("\\.") == std::string::npos) return chemin;
  std::vector<std::string> parts(1);
  for (char c : chemin) {
    if (c == '\\')
      parts.emplace_back();
    else
      parts.back() += c;
  }
  // What ".." cannot climb: "C:", or the "\\server\share" of a network path.
  const size_t racine = chemin.compare(0, 2, "\\\\") == 0 ? std::min<size_t>(4, parts.size()) : 1;
  std::vector<std::string> garde(parts.begin(), parts.begin() + static_cast<long>(racine));
  for (size_t i = racine; i < parts.size(); ++i) {
    const bool dernier = i + 1 == parts.size();
    if (parts[i] == ".") {
      if (dernier) garde.emplace_back();
      continue;
    }
    if (parts[i] == "..") {
      if (garde.size() > racine) garde.pop_back();
      if (dernier) garde.emplace_back();
      continue;
    }
    garde.push_back(parts[i]);
  }
  std::string t;
  for (size_t i = 0; i < garde.size(); ++i) t += (i ? "\\" : "") + garde[i];
  return t;
}

}  // namespace

std::string Trim(const std::string& texte) {
  const size_t debut = texte.find_first_not_of(' ');
  if (debut == std::string::npos) return {};
  return texte.substr(debut, texte.find_last_not_of(' ') - debut + 1);
}

std::string CheckRep(const std::string& chemin, const std::string& separateur) {
  std::string resultat;
  Procedure("Lib_Public:CheckRep").etape([&] {
    resultat = chemin;
    if (chemin.empty() || separateur.empty()) return;
    const size_t n = separateur.size();
    const bool finitPar = chemin.size() >= n && chemin.compare(chemin.size() - n, n, separateur) == 0;
    const bool finitParDeux =
        chemin.size() >= 2 * n && chemin.compare(chemin.size() - 2 * n, 2 * n, separateur + separateur) == 0;
    if (finitParDeux)
      resultat.pop_back();
    else if (!finitPar)
      resultat += separateur;
  });
  return resultat;
}

std::string NettoieNomDeDossier(const std::string& texte) {
  std::string t = texte;
  Procedure("Lib_Public:NettoieNomDeDossier").etape([&] {
    for (const char* c : {"/", "*", "?", "\"", "<", ">", "|", ","}) remplacerTout(t, c, " ");
    // A "." or ".." component names a folder on Windows; "%" is a plain character there.
    t = resoudrePoints(t);
    for (const char* c : {"...", ".."}) remplacerTout(t, c, "");
    // Blanks go first, so that a drive letter typed after a blank keeps its colon.
    t = Trim(t);
    if (t.size() > 2) {
      std::string reste = t.substr(2);
      remplacerTout(reste, ":", " ");
      remplacerTout(reste, "   ", " ");
      t = t.substr(0, 2) + reste;
    }
    while (t.find(" \\") != std::string::npos) remplacerTout(t, " \\", "\\");
    t = Trim(t);
  });
  return t;
}

bool NomFichierCorrect(const std::string& chemin) {
  // Every read and write of a run asks this of its file's path, mostly the
  // same one a thousand times in a row: the last path found correct is kept.
  thread_local std::string dernierCorrect;
  if (chemin.size() == dernierCorrect.size() && chemin == dernierCorrect) return true;
  bool correct = false;
  Procedure("Lib_Public:NomFichierCorrect").etape([&] {
    correct = !octets::Contient(chemin, '*', '?', '"', '|');
    if (correct) dernierCorrect = chemin;
  });
  return correct;
}

void EclateRepFicExt(const std::string& chemin) {
  Procedure("Lib_Public:EclateRepFicExt").etape([&] {
    const std::string t = Trim(chemin);
    RepFicExt = {t, "", ""};
    size_t point = 0;  // 1-based position of the extension's dot
    for (size_t pos = t.size(); pos >= 1; --pos) {
      const char c = t[pos - 1];
      if (c == '.') {
        if (RepFicExt.Ext.empty()) {
          point = pos;
          RepFicExt.Ext = t.substr(pos - 1);
        }
        continue;
      }
      if (c == '\\' || pos == 1) {
        const size_t n = c == '\\' ? pos : pos - 1;
        RepFicExt.Rep = t.substr(0, n);
        RepFicExt.Fic = point ? t.substr(n, point - 1 - n) : t.substr(n);
        break;
      }
    }
  });
}

std::string N2S(double valeur, int16_t largeur, int16_t decimales, const std::string& remplissage) {
  std::string texte;
  const double valeurDonnee = valeur;
  Procedure p("Lib_Public:N2S", [valeurDonnee] { return " (Value: " + valeurEnTexte(valeurDonnee) + ")"; });
  bool negatif = false;
  char remplir = ' ';
  int32_t echelle = 1;
  int32_t n = 0;
  p.etape([&] {
    if (valeur < 0) {
      negatif = true;
      valeur = -valeur;
    }
    remplir = remplissage.empty() ? ' ' : remplissage[0];
    // The scale is a 32-bit integer: 10 decimals or more cannot be held.
    const double puissance = std::pow(10.0, decimales);
    if (puissance > 2147483647.0) throw ErreurExecution(erreur::Depassement, "Dépassement de capacité");
    echelle = static_cast<int32_t>(std::nearbyint(puissance));
    double x = (valeur + 0.005) * echelle;
    if (!(x <= 2147483647.0)) {
      if (std::isnan(x)) throw ErreurExecution(erreur::Depassement, "Dépassement de capacité");
      x = 2147483647.0;
    }
    // The default rounding mode sends a tie to the even neighbour.
    std::fesetround(FE_TONEAREST);
    n = static_cast<int32_t>(std::nearbyint(x));
  });
  p.etape([&] {
    if (largeur < 0) throw ErreurExecution(erreur::AppelIncorrect, "Appel de procédure ou argument incorrect");
    texte = droite(std::string(largeur, remplir) + std::to_string(n), largeur);
  });
  if (decimales != 0) {
    p.etape([&] {
      // The integer part needs one character at least: ".50" reads as no number of that width.
      const int longueur = largeur - decimales - 1;
      if (longueur < 1) throw ErreurExecution(erreur::AppelIncorrect, "Appel de procédure ou argument incorrect");
      texte = (texte.size() > 1 ? texte.substr(1, longueur) : std::string()) + "." + droite(texte, decimales);
    });
  }
  p.etape([&] {
    const size_t point = texte.find('.');
    if (point == std::string::npos) return;
    for (size_t i = point + 1; i < texte.size(); ++i)
      if (texte[i] == ' ') texte[i] = '0';
    std::string chiffres;
    for (char c : texte)
      if (c != ' ') chiffres += c;
    if (std::strtod(chiffres.c_str(), nullptr) < 1 && point > 0) texte[point - 1] = '0';
  });
  if (negatif) {
    p.etape([&] {
      const size_t blanc = texte.find_last_of(' ');
      if (blanc != std::string::npos)
        texte[blanc] = '-';
      else if (!texte.empty() && !(texte[0] >= '1' && texte[0] <= '9'))
        texte[0] = '-';
      else
        texte = "-" + Trim(texte);
    });
  }
  return texte;
}
