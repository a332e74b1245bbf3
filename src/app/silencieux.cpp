#include "app/silencieux.h"

#include <cstdio>
#include <iostream>

#include "app/rapport_sortie.h"
#include "common/lib_public.h"
#include "ini/profile_lookup.h"
#include "platform/platform.h"
#include "services/journal.h"
#include "services/lib_setup.h"
#include "services/lib_systeme.h"
#include "setup_window/frm_main.h"
#include "setup_window/vue_memoire.h"
#include "app/vue_imprimante.h"
#include "ini/profile_text.h"
#include "services/sauvegardes.h"
#include "services/texte.h"

namespace app {
namespace {

using fenetre::Nom;

// --detailed-exitcode: a check that found something to change says so by its status.
int statut(const Commande& c, bool echec) {
  if (echec) return 1;
  return c.verification && c.codeDetaille && journal::RapportEnCours().change() ? 3 : 0;
}

// After a real run: each backup made is followed by a record of what its file
// became, and only the newest --backup-keep of each file stay.
void apresLesSauvegardes(const Commande& c) {
  if (c.verification) return;
  std::vector<std::string> retirees;
  for (const journal::Fichier& f : journal::RapportEnCours().fichiers) {
    if (!f.sauvegarde.empty()) sauvegardes::NoterApres(f.chemin, f.sauvegarde);
    if (c.garderSauvegardes > 0) {
      const std::vector<std::string> r = sauvegardes::GarderLesPlusRecentes(f.chemin, c.garderSauvegardes);
      retirees.insert(retirees.end(), r.begin(), r.end());
    }
  }
  journal::SauvegardesRetirees(retirees);
}

// The report of a command that writes: lines, or the JSON document.
void rapport(const Commande& c, const std::vector<Message>& messages, bool echec) {
  if (c.json)
    std::cout << DocumentJson(journal::RapportEnCours(), messages, echec, c.verification) << std::flush;
  else
    std::cout << LignesDuRapport(journal::RapportEnCours(), c.diff) << std::flush;
}

}  // namespace

int LancerSilencieux(const Commande& c) {
  // Lines without --diff name no key: a first run's thousand keys are only counted.
  journal::Demarrer(c.verification ? journal::Mode::Simulation : journal::Mode::Reel, c.sauvegarde,
                    c.json || c.diff);
  VueImprimante vue(c.verbeux, c.json);
  // A prefix without a C: drive is most often a mistyped --root: say so before anything fails.
  if (platform::ListDirectory("C:\\") == platform::Listing::BadName)
    vue.Dire("warning", std::string("le lecteur C: n'existe pas") +
                            (c.root.empty() ? "" : " (avec --root " + c.root + ", C: est " + c.root + "/drive_c)"));
  fenetre::Frm_Main frm(vue);
  vue.Relier(&frm);
  frm.DefinirMiseAJour(c.miseAJour);
  // The presenter shows every key it writes on the progress line; without
  // --verbose nobody reads it here, so it is not even built.
  if (!c.verbeux) DefinirLigneDeProgression({});
  frm.Form_Initialize();
  frm.Form_Load();
  for (const auto& [champ, texte] : c.champs) {
    if (champ == "radio")
      vue.DefinirTexte(Nom::TexteNomRadio, -1, texte);
    else if (champ == "guid")
      vue.DefinirTexte(Nom::TexteCleGUID, -1, texte);
    else if (champ.rfind("station ", 0) == 0)
      vue.DefinirTexte(Nom::TexteNomStation, std::stoi(champ.substr(8)) - 1, texte);
    else if (champ.rfind("folder ", 0) == 0)
      vue.DefinirTexte(Nom::TexteDossier, std::stoi(champ.substr(7)), texte);
  }
  for (int action : c.actions) frm.CommandCreerSettings_Click(static_cast<int16_t>(action));
  const bool echec = frm.EchecSignale();
  apresLesSauvegardes(c);
  // The run ends on it: what was asked and did not take, and how to make it take.
  const std::string avertissement = AvertissementGardees(journal::RapportEnCours(), c.miseAJour);
  if (c.json) {
    if (!avertissement.empty()) vue.Dire("warning", avertissement);
    rapport(c, vue.Messages(), echec);
  } else {
    rapport(c, {}, echec);
    if (!avertissement.empty()) vue.Dire("warning", avertissement);
  }
  return statut(c, echec);
}

namespace {

// ini get without a default: what is missing is an error, not an empty value.
int lectureStricte(const std::string& fichier, const std::string& section, const std::string& cle) {
  auto echec = [](const std::string& raison) {
    std::cerr << "lecture impossible: " << raison << '\n';
    return 1;
  };
  if (!NomFichierCorrect(fichier)) return echec("nom de fichier incorrect: " + fichier);
  const platform::ProfileFile f = platform::ProfileBytes(fichier);
  if (f.state == platform::ProfileFile::State::Missing) return echec("fichier introuvable: " + fichier);
  if (f.state == platform::ProfileFile::State::Unreadable) return echec(fichier + ": " + f.reason);
  std::string s, k;
  if (!platform::ToAnsi(section, &s)) return echec("section [" + section + "] absente de " + fichier);
  const bool cleLisible = platform::ToAnsi(cle, &k);
  bool sectionTrouvee = false;
  // The file is read once, and only as far as the key: a script may ask a thousand of them.
  const std::optional<std::string> valeur = ini::ReadKey(f.bytes, s, k, &sectionTrouvee);
  if (!sectionTrouvee) return echec("section [" + section + "] absente de " + fichier);
  if (!cleLisible || !valeur) return echec("clé " + cle + " absente de [" + section + "] dans " + fichier);
  std::cout << platform::FromAnsi(*valeur) << std::endl;
  return 0;
}

// ini list: what Windows enumerates, one name a line.
int liste(const Commande& c) {
  const std::string& fichier = c.ini[0];
  const std::string* section = c.ini.size() > 1 ? &c.ini[1] : nullptr;
  auto echec = [](const std::string& raison) {
    std::cerr << "lecture impossible: " << raison << '\n';
    return 1;
  };
  if (!NomFichierCorrect(fichier)) return echec("nom de fichier incorrect: " + fichier);
  const platform::ProfileFile f = platform::ProfileBytes(fichier);
  if (f.state == platform::ProfileFile::State::Missing) return echec("fichier introuvable: " + fichier);
  if (f.state == platform::ProfileFile::State::Unreadable) return echec(fichier + ": " + f.reason);
  const std::optional<std::vector<std::string>> noms =
      section ? platform::ProfileKeyNames(fichier, *section) : platform::ProfileSectionNames(fichier);
  if (!noms) return echec(section ? "section [" + *section + "] absente de " + fichier : "lecture de " + fichier);
  if (c.json) {
    std::cout << DocumentJsonListe(fichier, section, *noms) << std::flush;
  } else {
    std::string t;
    for (const std::string& n : *noms) t += n + "\n";
    std::cout << t << std::flush;
  }
  return 0;
}

int suppression(const std::string& fichier, const std::string& section, const std::optional<std::string>& cle,
                std::string* raison) {
  if (Trim(section).empty() || (cle && Trim(*cle).empty())) return (*raison = "section ou clé vide", 1);
  if (!NomFichierCorrect(fichier)) return (*raison = "nom de fichier incorrect", 1);
  std::string refus;
  // Nothing to remove (a missing file, section or key): nothing is touched, not
  // even an empty file left behind.
  const bool present = journal::AvantSuppression(fichier, section, cle, &refus);
  if (!refus.empty()) return (*raison = refus, 1);
  if (!present) return 0;
  // A check asks whether the removal would be taken, and removes nothing.
  if (journal::Simulation()) {
    if (!journal::EcriturePossible(fichier, raison)) return 1;
  } else if (platform::ProfileDelete(fichier, section, cle, raison) != 1) {
    if (raison->empty()) *raison = "raison inconnue";
    return 1;
  }
  journal::Supprime(fichier, section, cle);
  return 0;
}

// The keys of an INI fragment, in its order: Windows-1252, or UTF-8 with its mark.
struct CleDuFragment {
  std::string section, cle, valeur;
};
bool lireFragment(const std::string& chemin, std::vector<CleDuFragment>* cles, std::string* raison, int* horsSection) {
  const platform::ProfileFile f = platform::ProfileBytes(chemin);
  if (f.state == platform::ProfileFile::State::Missing) return (*raison = "Fragment introuvable: " + chemin, false);
  if (f.state == platform::ProfileFile::State::Unreadable) return (*raison = "Fragment illisible: " + chemin + ": " + f.reason, false);
  std::string_view octets = f.bytes;
  std::string texte;
  if (octets.substr(0, 2) == "\xFF\xFE" || octets.substr(0, 2) == "\xFE\xFF")
    return (*raison = "Fragment en UTF-16: " + chemin + " (enregistrez-le en Windows-1252, ou en UTF-8 avec sa marque)", false);
  if (octets.substr(0, 3) == "\xEF\xBB\xBF") {
    texte = std::string(octets.substr(3));  // what the code page cannot hold is refused key by key
  } else {
    texte = platform::FromAnsi(f.bytes);
  }
  std::string section;
  bool dansSection = false;
  size_t pos = 0;
  while (pos < texte.size()) {
    size_t fin = pos;
    while (fin < texte.size() && texte[fin] != '\r' && texte[fin] != '\n') ++fin;
    const ini::LineInfo l = ini::ClassifyLine(std::string_view(texte).substr(pos, fin - pos));
    if (l.kind == ini::LineKind::kHeader) {
      section = std::string(l.name);
      dansSection = true;
    } else if (l.kind == ini::LineKind::kKey) {
      if (dansSection)
        cles->push_back({section, std::string(l.name), std::string(ini::Unquote(ini::TrimBlanks(l.value)))});
      else
        ++*horsSection;
    }
    pos = fin + (fin + 1 < texte.size() && texte[fin] == '\r' && texte[fin + 1] == '\n' ? 2 : 1);
  }
  return true;
}

// ini merge: every key of the fragment written as ini set writes it; with
// --missing-only, only those the file lacks (the suite's read-with-default rule).
bool fusion(const Commande& c, std::vector<Message>* messages, std::string* raison) {
  std::vector<CleDuFragment> cles;
  int horsSection = 0;
  if (!lireFragment(c.ini[1], &cles, raison, &horsSection)) return false;
  if (horsSection > 0) {
    const std::string t = "Clés du fragment hors de toute section, ignorées comme Windows les ignore: " +
                          std::to_string(horsSection);
    messages->push_back({"warning", t, CodeDuMessage(t)});
  }
  bool ok = true;
  for (const CleDuFragment& k : cles) {
    if (c.manquantesSeules && LectureIniPresente(c.ini[0], k.section, k.cle)) continue;
    if (!EcritureIni(c.ini[0], k.section, k.cle, k.valeur)) {
      ok = false;
      if (raison->empty()) *raison = "[" + k.section + "] " + k.cle + ": " + DerniereRaison();
    }
  }
  return ok;
}

}  // namespace

int LancerIni(const Commande& c) {
  const std::vector<std::string>& a = c.ini;
  switch (c.mode) {
    case Mode::IniGet:
      if (a.size() == 3) return lectureStricte(a[0], a[1], a[2]);
      std::cout << LectureIni(a[0], a[1], a[2], a[3]) << std::endl;
      return 0;
    case Mode::IniList:
      return liste(c);
    default:
      break;
  }
  // set, del and merge: one command, its report as the silent mode gives it.
  journal::Demarrer(c.verification ? journal::Mode::Simulation : journal::Mode::Reel, c.sauvegarde);
  std::vector<Message> messages;
  std::string raison;
  bool ok = true;
  platform::BeginCommand();
  if (c.mode == Mode::IniDel) {
    ok = suppression(a[0], a[1], a.size() > 2 ? std::optional<std::string>(a[2]) : std::nullopt, &raison) == 0;
  } else if (c.mode == Mode::IniMerge) {
    ok = fusion(c, &messages, &raison);
  } else {
    ok = EcritureIni(a[0], a[1], a[2], a[3]);
    if (!ok) raison = DerniereRaison().empty() ? "raison inconnue" : DerniereRaison();
  }
  for (const platform::SaveFailure& f : platform::EndCommand()) {
    journal::Annuler(f.file);
    ok = false;
    if (raison.empty()) raison = f.reason;
  }
  const char* verbe = c.mode == Mode::IniDel ? "suppression refusée: " : "écriture refusée: ";
  if (!ok) {
    if (c.json) messages.push_back({"error", verbe + raison, "ecriture-refusee"});
    std::cerr << verbe << raison << '\n';
  }
  for (const Message& m : messages)
    if (!c.json) std::cout << m.sorte << ": " << m.texte << '\n';
  if (ok) apresLesSauvegardes(c);
  rapport(c, messages, !ok);
  return statut(c, !ok);
}

}  // namespace app
