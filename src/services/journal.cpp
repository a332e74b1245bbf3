#include "services/journal.h"

#include <ctime>
#include <map>
#include <vector>

#include "common/octets.h"
#include "ini/profile_document.h"
#include "ini/profile_text.h"
#include "platform/platform.h"
#include "services/chemins_windows.h"
#include "services/index_des_cles.h"
#include "services/lib_systeme.h"
#include "services/texte.h"

namespace journal {
namespace {

struct Ombre {
  platform::ProfileFile::State etat = platform::ProfileFile::State::Missing;
  std::string raison;   // Unreadable
  bool existait = false;  // the file was there when the run first wrote to it
  bool sauvegardee = false;
  bool drapeauRetire = false;
  ini::ProfileDocument document;
};

struct Etat {
  Mode mode = Mode::Inactif;
  bool sauvegardes = false;
  bool details = true;
  // The run's backups share one key, its time and rank, so that restore finds
  // them as one set even when the run crosses a second.
  std::string tempsSauvegardes;
  int rangSauvegardes = 1;
  Rapport rapport;
  std::map<std::string, size_t> indexFichiers;  // folded path -> rapport.fichiers
  std::map<std::string, IndexDesCles> clesNotees;  // by folded path
  std::map<std::string, Ombre> ombres;          // by folded path
  std::map<std::string, bool> virtuels;         // folded, without the final backslash
  // Hundreds of keys in a row go to one file: its fold and entries, found once for the run of them.
  struct Dernier {
    std::string chemin;
    std::string cle;  // folded
    Ombre* ombre = nullptr;
    size_t fiche = static_cast<size_t>(-1);
    IndexDesCles* notees = nullptr;
  } dernier;
};
Etat g_etat;
Etat& etat() { return g_etat; }

std::string cleDe(const std::string& chemin) { return MajusculesWindows(chemin); }

std::string sansSeparateurFinal(std::string chemin) {
  while (chemin.size() > 1 && chemin.back() == '\\') chemin.pop_back();
  return chemin;
}

// The code-page bytes of a text: the text itself when it is plain ASCII.
const std::string& ansi(const std::string& texte, std::string& tampon) {
  if (!octets::HorsAscii(texte)) return texte;
  return platform::ToAnsi(texte, &tampon) ? tampon : texte;
}

// The entries of the last file asked for, when `fichier` is that file.
Etat::Dernier& dernier(const std::string& fichier) {
  Etat::Dernier& d = etat().dernier;
  if (d.chemin != fichier || d.cle.empty()) d = {fichier, cleDe(fichier)};
  return d;
}

// The shadow of the file `d` names.
Ombre& ombre(Etat::Dernier& d, const std::string& fichier) {
  if (d.ombre) return *d.ombre;
  auto [it, nouvelle] = etat().ombres.try_emplace(d.cle);
  if (nouvelle) {
    platform::ProfileFile f = platform::ProfileBytes(fichier);
    it->second.etat = f.state;
    it->second.raison = std::move(f.reason);
    it->second.existait = f.state != platform::ProfileFile::State::Missing;
    if (f.state == platform::ProfileFile::State::Read) it->second.document = ini::ProfileDocument(f.bytes);
  }
  d.ombre = &it->second;
  return it->second;
}

Ombre& ombre(const std::string& fichier) { return ombre(dernier(fichier), fichier); }

// The report's record of the file `d` names.
Fichier& fiche(Etat::Dernier& d, const std::string& fichier) {
  Etat& e = etat();
  if (d.fiche == static_cast<size_t>(-1)) {
    auto [it, nouvelle] = e.indexFichiers.try_emplace(d.cle, e.rapport.fichiers.size());
    if (nouvelle) e.rapport.fichiers.emplace_back().chemin = fichier;
    d.fiche = it->second;
  }
  return e.rapport.fichiers[d.fiche];
}
Fichier& fiche(const std::string& fichier) { return fiche(dernier(fichier), fichier); }

bool memeNom(const std::string& a, const std::string& b) { return cleDe(a) == cleDe(b); }

std::string horodatage() {
  const std::time_t t = std::time(nullptr);
  char texte[32] = "";
  if (const std::tm* local = std::localtime(&t)) std::strftime(texte, sizeof texte, "%Y%m%d-%H%M%S", local);
  return texte;
}

// NAME.KEY.bak beside the file, KEY the time of the run's first backup
// (YYYYMMDD-HHMMSS); a second run within the same second gets -2, -3... and
// never takes the place of a backup that exists.
bool sauvegarder(const std::string& fichier, std::string* nom, std::string* raison) {
  std::string& temps = etat().tempsSauvegardes;
  if (temps.empty()) temps = horodatage();
  for (int& n = etat().rangSauvegardes; n < 100; ++n) {
    *nom = fichier + "." + temps + (n == 1 ? "" : "-" + std::to_string(n)) + ".bak";
    switch (platform::CopyToNewFile(fichier, *nom, raison)) {
      case platform::Copy::Done:
        return true;
      case platform::Copy::Exists:
        continue;
      case platform::Copy::Failed:
        return false;
    }
  }
  *raison = "trop de sauvegardes dans la même seconde";
  return false;
}

}  // namespace

bool Rapport::change() const {
  if (!dossiers.empty() || !sauvegardesRetirees.empty()) return true;
  for (const Fichier& f : fichiers)
    if (f.change()) return true;
  return false;
}

void Demarrer(Mode mode, bool sauvegardes, bool details) {
  etat() = Etat{};
  etat().mode = mode;
  etat().sauvegardes = sauvegardes;
  etat().details = details;
}

Mode ModeEnCours() { return etat().mode; }

const Rapport& RapportEnCours() { return etat().rapport; }

namespace {

// The backup a real run with backups makes before the first change of a file
// that was there; false with `refus` when it could not be made.
bool avantChangement(const std::string& fichier, Ombre& o, std::string* refus) {
  if (etat().mode != Mode::Reel || !etat().sauvegardes || !o.existait || o.sauvegardee) return true;
  std::string nom, raison;
  if (!sauvegarder(fichier, &nom, &raison)) {
    *refus = "sauvegarde impossible (" + raison + "), fichier laissé tel quel";
    return false;
  }
  o.sauvegardee = true;
  fiche(fichier).sauvegarde = nom;
  return true;
}

}  // namespace

bool AvantEcriture(const std::string& fichier, const std::string& section, const std::string& cle,
                   const std::string& valeur, bool* change, std::string* refus) {
  *change = true;
  if (etat().mode == Mode::Inactif) return true;
  Ombre& o = ombre(fichier);
  if (o.etat == platform::ProfileFile::State::Read) {
    std::string ts, tk, tv;
    *change = o.document.WouldChange(ansi(section, ts), ansi(cle, tk), ansi(valeur, tv));
  }
  // Most writes need no backup: told without a call.
  if (!*change || etat().mode != Mode::Reel || !etat().sauvegardes || !o.existait || o.sauvegardee) return true;
  return avantChangement(fichier, o, refus);
}

namespace {

// The name a key is indexed under: its section and its name, in the code page.
size_t hashDe(const std::string& section, const std::string& cle) {
  static std::string nom;  // kept from key to key: no allocation per key
  std::string ts, tk;
  nom.assign(ansi(section, ts)).append(1, '\x01').append(ansi(cle, tk));
  return ini::FoldedHash{}(nom);
}

// The keys reported without the index, added to it.
void rattraper(IndexDesCles& index, const Fichier& f) {
  for (; index.ajouteesCouvertes < f.ajoutees.size(); ++index.ajouteesCouvertes) {
    const CleAjoutee& a = f.ajoutees[index.ajouteesCouvertes];
    index.Ajouter(hashDe(a.section, a.cle), true, index.ajouteesCouvertes);
  }
  for (; index.modifieesCouvertes < f.modifiees.size(); ++index.modifieesCouvertes) {
    const ValeurModifiee& m = f.modifiees[index.modifieesCouvertes];
    index.Ajouter(hashDe(m.section, m.cle), false, index.modifieesCouvertes);
  }
}

}  // namespace

void Ecrit(const std::string& fichier, const std::string& section, const std::string& cle, const std::string& valeur,
           platform::WriteEffect effet) {
  if (etat().mode == Mode::Inactif) return;
  Etat::Dernier& d = dernier(fichier);
  Ombre& o = ombre(d, fichier);
  // A file a real run creates needs no shadow: each key is new to it, and the
  // index below knows the ones written twice. That keeps a first run fast.
  std::optional<std::string> avant;
  if (etat().mode != Mode::Reel || o.existait) {
    std::string ts, tk, tv;
    const std::string& s = ansi(section, ts);
    const std::string& k = ansi(cle, tk);
    avant = o.document.Read(s, k);
    if (!o.document.Write(s, k, ansi(valeur, tv))) return;
  }
  Fichier& f = fiche(d, fichier);
  if (!o.existait) f.cree = true;
  if (!d.notees) d.notees = &etat().clesNotees[d.cle];
  // A first run adds hundreds of keys to each file: room for them at once.
  if (f.ajoutees.empty() && etat().details) f.ajoutees.reserve(256);
  // A key the file did not hold is not in the report yet, unless the run removed
  // it before: it goes in without a lookup.
  if (!avant && effet == platform::WriteEffect::Added && f.supprimees.empty()) {
    if (etat().details) f.ajoutees.emplace_back(section, cle, valeur);
    else ++f.ajouteesSansDetail;
    return;
  }
  // Not new to the file, yet not in it before the run: added by this run, and counted.
  if (!etat().details && !avant && effet == platform::WriteEffect::Changed && f.supprimees.empty()) return;
  // A key written twice in one run is reported once, with its final value.
  IndexDesCles& index = *d.notees;
  rattraper(index, f);
  std::string ts, tk;
  const std::string& s = ansi(section, ts);
  const std::string& k = ansi(cle, tk);
  const size_t h = hashDe(section, cle);
  auto meme = [&](const IndexDesCles::Place& p) {
    const std::string& autreSection = p.ajoutee ? f.ajoutees[p.index].section : f.modifiees[p.index].section;
    const std::string& autreCle = p.ajoutee ? f.ajoutees[p.index].cle : f.modifiees[p.index].cle;
    std::string as, ak;
    return ini::FoldedEqual{}(ansi(autreSection, as), s) && ini::FoldedEqual{}(ansi(autreCle, ak), k);
  };
  if (const IndexDesCles::Place* p = index.Trouver(h, meme)) {
    (p->ajoutee ? f.ajoutees[p->index].valeur : f.modifiees[p->index].apres) = valeur;
    return;
  }
  if (avant) {
    index.Ajouter(h, false, f.modifiees.size());
    ++index.modifieesCouvertes;
    f.modifiees.emplace_back(section, cle, platform::FromAnsi(*avant), valeur);
  } else {
    index.Ajouter(h, true, f.ajoutees.size());
    ++index.ajouteesCouvertes;
    f.ajoutees.emplace_back(section, cle, valeur);
  }
}

bool EcriturePossible(const std::string& fichier, std::string* raison) {
  Ombre& o = ombre(fichier);
  if (o.etat == platform::ProfileFile::State::Unreadable) {
    *raison = o.raison;
    return false;
  }
  if (!RefusChemin(fichier).empty()) {
    *raison = "nom de fichier incorrect";
    return false;
  }
  const size_t b = fichier.find_last_of('\\');
  if (b != std::string::npos && !DossierPresent(fichier.substr(0, b + 1))) {
    *raison = "dossier introuvable";
    return false;
  }
  if (DossierVirtuel(fichier)) {
    *raison = "le chemin désigne un dossier";
    return false;
  }
  const uint32_t a = platform::GetAttributes(fichier);
  if (a != platform::kInvalidAttributes && (a & platform::kAttrDirectory)) {
    *raison = "le chemin désigne un dossier";
    return false;
  }
  if (a != platform::kInvalidAttributes && (a & platform::kAttrReadOnly) && !o.drapeauRetire) {
    *raison = "fichier en lecture seule";
    return false;
  }
  return true;
}

void DrapeauRetire(const std::string& fichier) { ombre(fichier).drapeauRetire = true; }

std::optional<std::string> LectureOmbre(const std::string& fichier, const std::string& section, const std::string& cle,
                                        const std::string& defaut) {
  if (etat().mode != Mode::Simulation) return std::nullopt;
  const auto it = etat().ombres.find(cleDe(fichier));
  if (it == etat().ombres.end() || it->second.etat == platform::ProfileFile::State::Unreadable) return std::nullopt;
  std::string s, k;
  if (!platform::ToAnsi(section, &s) || !platform::ToAnsi(cle, &k)) return ini::NormalizeDefault(defaut);
  const std::optional<std::string> v = it->second.document.Read(s, k);
  return v ? platform::FromAnsi(*v) : ini::NormalizeDefault(defaut);
}

void Annuler(const std::string& fichier) {
  Etat& e = etat();
  e.dernier = {};
  e.ombres.erase(cleDe(fichier));
  const auto it = e.indexFichiers.find(cleDe(fichier));
  if (it == e.indexFichiers.end()) return;
  e.clesNotees.erase(cleDe(fichier));
  Fichier& f = e.rapport.fichiers[it->second];
  f.cree = false;
  f.ajoutees.clear();
  f.ajouteesSansDetail = 0;
  f.modifiees.clear();
  f.supprimees.clear();
}

bool AvantSuppression(const std::string& fichier, const std::string& section, const std::optional<std::string>& cle,
                      std::string* refus) {
  if (etat().mode == Mode::Inactif) return true;
  Ombre& o = ombre(fichier);
  if (o.etat == platform::ProfileFile::State::Missing) return false;
  if (o.etat == platform::ProfileFile::State::Read) {
    std::string ts, tk;
    const bool present =
        cle ? o.document.Read(ansi(section, ts), ansi(*cle, tk)).has_value() : o.document.HasSection(ansi(section, ts));
    if (!present) return false;
  }
  return avantChangement(fichier, o, refus);
}

void Supprime(const std::string& fichier, const std::string& section, const std::optional<std::string>& cle) {
  if (etat().mode == Mode::Inactif) return;
  Ombre& o = ombre(fichier);
  std::string ts, tk;
  const bool fait =
      cle ? o.document.DeleteKey(ansi(section, ts), ansi(*cle, tk)) : o.document.DeleteSection(ansi(section, ts));
  if (fait) fiche(fichier).supprimees.push_back({section, cle.value_or("")});
}

void Gardee(const std::string& fichier, const std::string& section, const std::string& cle, const std::string& stockee,
            const std::string& proposee, bool regleeALaMain, const std::string& raison) {
  if (etat().mode == Mode::Inactif) return;
  fiche(fichier).gardees.push_back({section, cle, stockee, proposee, regleeALaMain, raison});
}

void NonComptee(const std::string& fichier, int station, const std::string& section, const std::string& cle) {
  if (etat().mode == Mode::Inactif) return;
  fiche(fichier).nonComptees.push_back({station, section, cle});
}

void Restauree(const std::string& fichier, const std::string& sauvegarde) {
  if (etat().mode == Mode::Inactif) return;
  fiche(fichier).restauree = sauvegarde;
}

void SauvegardesRetirees(const std::vector<std::string>& chemins) {
  if (etat().mode == Mode::Inactif) return;
  auto& r = etat().rapport.sauvegardesRetirees;
  r.insert(r.end(), chemins.begin(), chemins.end());
}

void DossierCree(const std::string& dossier) {
  Etat& e = etat();
  if (e.mode == Mode::Inactif) return;
  for (const std::string& d : e.rapport.dossiers)
    if (memeNom(d, dossier)) return;
  e.rapport.dossiers.push_back(dossier);
  if (e.mode == Mode::Simulation) e.virtuels[cleDe(sansSeparateurFinal(dossier))] = true;
}

bool DossierVirtuel(const std::string& chemin) {
  const Etat& e = etat();
  return e.mode == Mode::Simulation && !e.virtuels.empty() && e.virtuels.count(cleDe(sansSeparateurFinal(chemin)));
}

bool CreationPossible(const std::string& dossier) {
  if (!RefusChemin(dossier).empty()) return false;
  const std::string sans = sansSeparateurFinal(dossier);
  const size_t b = sans.find_last_of('\\');
  if (b == std::string::npos || !DossierPresent(sans.substr(0, b + 1))) return false;
  return platform::GetAttributes(sans) == platform::kInvalidAttributes;
}

}  // namespace journal
