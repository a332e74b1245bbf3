#include "services/sauvegardes.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "platform/platform.h"

namespace sauvegardes {
namespace {

std::string dossierDe(const std::string& fichier) { return fichier.substr(0, fichier.find_last_of('\\') + 1); }
std::string nomDe(const std::string& fichier) { return fichier.substr(fichier.find_last_of('\\') + 1); }

bool chiffres(const std::string& t, size_t debut, size_t n) {
  if (t.size() < debut + n) return false;
  for (size_t i = debut; i < debut + n; ++i)
    if (t[i] < '0' || t[i] > '9') return false;
  return true;
}

// "YYYYMMDD-HHMMSS" or "YYYYMMDD-HHMMSS-N" from "NAME.<key>.bak"; empty when it is not one of ours.
std::string cleDe(const std::string& nomFichier, const std::string& entree) {
  const std::string debut = nomFichier + ".", fin = ".bak";
  if (entree.size() <= debut.size() + fin.size()) return {};
  // Names match without regard to case, as the files do.
  std::string a = entree.substr(0, debut.size()), b = debut;
  for (std::string* s : {&a, &b})
    for (char& c : *s) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
  if (a != b || entree.compare(entree.size() - fin.size(), fin.size(), fin) != 0) return {};
  const std::string cle = entree.substr(debut.size(), entree.size() - debut.size() - fin.size());
  if (!chiffres(cle, 0, 8) || cle.size() < 15 || cle[8] != '-' || !chiffres(cle, 9, 6)) return {};
  if (cle.size() > 15 && (cle[15] != '-' || !chiffres(cle, 16, cle.size() - 16))) return {};
  return cle;
}

// Newer first: the time, then the rank within one second.
bool plusRecente(const Sauvegarde& a, const Sauvegarde& b) {
  const std::string ta = a.cle.substr(0, 15), tb = b.cle.substr(0, 15);
  if (ta != tb) return ta > tb;
  const int na = a.cle.size() > 15 ? std::stoi(a.cle.substr(16)) : 1, nb = b.cle.size() > 15 ? std::stoi(b.cle.substr(16)) : 1;
  return na > nb;
}

std::string empreinte(const std::string& octets) {
  uint64_t h = 1469598103934665603ULL;
  for (unsigned char c : octets) h = (h ^ c) * 1099511628211ULL;
  char t[24];
  std::snprintf(t, sizeof t, "%016llx", static_cast<unsigned long long>(h));
  return t;
}

// Beside "NAME.<key>.bak": "NAME.<key>.apres", what the file held after that run.
std::string releve(const std::string& sauvegarde) { return sauvegarde.substr(0, sauvegarde.size() - 4) + ".apres"; }

std::string octetsDe(const std::string& fichier, bool* lu) {
  const platform::ProfileFile f = platform::ProfileBytes(fichier);
  *lu = f.state == platform::ProfileFile::State::Read;
  return f.bytes;
}

}  // namespace

std::vector<Sauvegarde> De(const std::string& fichier) {
  std::vector<Sauvegarde> s;
  const std::string nom = nomDe(fichier);
  for (const std::string& e : platform::FilesMatching(dossierDe(fichier), nom + ".*.bak"))
    if (std::string cle = cleDe(nom, e); !cle.empty()) s.push_back({dossierDe(fichier) + e, cle});
  std::sort(s.begin(), s.end(), plusRecente);
  return s;
}

void NoterApres(const std::string& fichier, const std::string& sauvegarde) {
  bool lu = false;
  const std::string octets = octetsDe(fichier, &lu);
  if (!lu) return;
  std::string raison;
  platform::ProfileWrite(releve(sauvegarde), "Apres", "Taille", std::to_string(octets.size()), &raison);
  platform::ProfileWrite(releve(sauvegarde), "Apres", "Empreinte", empreinte(octets), &raison);
}

std::vector<std::string> GarderLesPlusRecentes(const std::string& fichier, int n) {
  std::vector<std::string> retirees;
  const std::vector<Sauvegarde> s = De(fichier);
  for (size_t i = static_cast<size_t>(std::max(n, 0)); i < s.size(); ++i) {
    if (!platform::DeleteOneFile(s[i].chemin)) continue;
    platform::DeleteOneFile(releve(s[i].chemin));
    retirees.push_back(s[i].chemin);
  }
  return retirees;
}

std::vector<ARemettre> Jeu(const std::vector<std::string>& fichiers, const std::string& cle) {
  // The set: the newest key among all the files' backups, or the one asked for.
  std::vector<std::pair<std::string, std::vector<Sauvegarde>>> toutes;
  std::string choisie;
  for (const std::string& f : fichiers) {
    std::vector<Sauvegarde> s = De(f);
    for (const Sauvegarde& b : s)
      if ((cle.empty() || b.cle.rfind(cle, 0) == 0) && (choisie.empty() || plusRecente(b, {"", choisie}))) choisie = b.cle;
    toutes.emplace_back(f, std::move(s));
  }
  std::vector<ARemettre> jeu;
  if (choisie.empty()) return jeu;
  for (const auto& [f, s] : toutes) {
    // A file backed up twice in that second, by two runs: the later one's backup.
    const auto b = std::find_if(s.begin(), s.end(), [&](const Sauvegarde& x) {
      return x.cle == choisie || (cle.size() == 15 && x.cle.rfind(cle, 0) == 0);
    });
    if (b == s.end()) continue;
    ARemettre r{f, b->chemin, b->cle};
    bool lu = false;
    const std::string maintenant = octetsDe(f, &lu);
    const std::string avant = octetsDe(b->chemin, &lu);
    r.identique = maintenant == avant;
    const std::string taille = platform::ProfileRead(releve(b->chemin), "Apres", "Taille", "");
    const std::string e = platform::ProfileRead(releve(b->chemin), "Apres", "Empreinte", "");
    r.changeDepuis = taille != std::to_string(maintenant.size()) || e != empreinte(maintenant);
    jeu.push_back(r);
  }
  return jeu;
}

}  // namespace sauvegardes
