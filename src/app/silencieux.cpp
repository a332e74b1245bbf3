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

namespace app {
namespace {

using fenetre::Nom;

// One message a line: the line breaks inside a message become single blanks.
std::string surUneLigne(const std::string& texte) {
  std::string out;
  bool blanc = false;
  for (char c : texte) {
    if (c == '\r' || c == '\n') {
      blanc = true;
      continue;
    }
    if (blanc && !out.empty()) out += ' ';
    blanc = false;
    out += c;
  }
  return out;
}

class VueImprimante : public fenetre::VueMemoire {
 public:
  VueImprimante(bool verbeux, bool json) : verbeux_(verbeux), json_(json) {}
  void MessageBox(const std::string& texte, int style) override {
    Dire(style == fenetre::kStyleCritique      ? "error"
         : style == fenetre::kStyleExclamation ? "warning"
                                               : "info",
         surUneLigne(texte));
  }
  // JSON keeps the messages for its document; otherwise each is a line at once.
  void Dire(const char* sorte, const std::string& texte) {
    if (json_)
      messages_.push_back({sorte, texte});
    else
      std::cout << sorte << ": " << texte << std::endl;
  }
  void DefinirStatut(const std::string& texte) override {
    VueMemoire::DefinirStatut(texte);
    if (verbeux_ && !texte.empty()) std::cerr << texte << '\n';
  }
  std::optional<std::string> ChoisirDossier(const std::string&, const std::string&) override { return std::nullopt; }
  const std::vector<Message>& Messages() const { return messages_; }

 private:
  bool verbeux_;
  bool json_;
  std::vector<Message> messages_;
};

// ini set and ini del: one changed: line when the file changed.
void afficherChangement() {
  std::cout << LignesDuRapport(journal::RapportEnCours(), false) << std::flush;
}

}  // namespace

int LancerSilencieux(const Commande& c) {
  journal::Demarrer(c.verification ? journal::Mode::Simulation : journal::Mode::Reel, c.sauvegarde);
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
  // The run ends on it: what was asked and did not take, and how to make it take.
  const std::string avertissement = AvertissementGardees(journal::RapportEnCours(), c.miseAJour);
  if (c.json) {
    if (!avertissement.empty()) vue.Dire("warning", avertissement);
    std::cout << DocumentJson(journal::RapportEnCours(), vue.Messages(), echec, c.verification) << std::flush;
  } else {
    std::cout << LignesDuRapport(journal::RapportEnCours(), c.diff) << std::flush;
    if (!avertissement.empty()) vue.Dire("warning", avertissement);
  }
  return echec ? 1 : 0;
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

int suppression(const std::string& fichier, const std::string& section, const std::optional<std::string>& cle) {
  auto echec = [](const std::string& raison) {
    std::cerr << "suppression refusée: " << raison << '\n';
    return 1;
  };
  if (Trim(section).empty() || (cle && Trim(*cle).empty())) return echec("section ou clé vide");
  if (!NomFichierCorrect(fichier)) return echec("nom de fichier incorrect");
  std::string refus;
  // Nothing to remove (a missing file, section or key): nothing is touched, not
  // even an empty file left behind.
  const bool present = journal::AvantSuppression(fichier, section, cle, &refus);
  if (!refus.empty()) return echec(refus);
  if (!present) return 0;
  std::string raison;
  if (platform::ProfileDelete(fichier, section, cle, &raison) != 1) return echec(raison.empty() ? "raison inconnue" : raison);
  journal::Supprime(fichier, section, cle);
  afficherChangement();
  return 0;
}

}  // namespace

int LancerIni(const Commande& c) {
  const std::vector<std::string>& a = c.ini;
  journal::Demarrer(journal::Mode::Reel);
  switch (c.mode) {
    case Mode::IniGet:
      if (a.size() == 3) return lectureStricte(a[0], a[1], a[2]);
      std::cout << LectureIni(a[0], a[1], a[2], a[3]) << std::endl;
      return 0;
    case Mode::IniDel:
      return suppression(a[0], a[1], a.size() > 2 ? std::optional<std::string>(a[2]) : std::nullopt);
    default:
      break;
  }
  if (EcritureIni(a[0], a[1], a[2], a[3])) {
    afficherChangement();
    return 0;
  }
  std::cerr << "écriture refusée: " << (DerniereRaison().empty() ? "raison inconnue" : DerniereRaison()) << '\n';
  return 1;
}

}  // namespace app
