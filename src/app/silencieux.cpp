#include "app/silencieux.h"

#include <cstdio>
#include <iostream>

#include "platform/platform.h"
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
  explicit VueImprimante(bool verbeux) : verbeux_(verbeux) {}
  void MessageBox(const std::string& texte, int style) override {
    const char* sorte = style == fenetre::kStyleCritique      ? "error: "
                        : style == fenetre::kStyleExclamation ? "warning: "
                                                              : "info: ";
    std::cout << sorte << surUneLigne(texte) << std::endl;
  }
  void DefinirStatut(const std::string& texte) override {
    VueMemoire::DefinirStatut(texte);
    if (verbeux_ && !texte.empty()) std::cerr << texte << '\n';
  }
  std::optional<std::string> ChoisirDossier(const std::string&, const std::string&) override { return std::nullopt; }

 private:
  bool verbeux_;
};

}  // namespace

int LancerSilencieux(const Commande& c) {
  // A prefix without a C: drive is most often a mistyped --root: say so before anything fails.
  if (platform::ListDirectory("C:\\") == platform::Listing::BadName)
    std::cout << "warning: le lecteur C: n'existe pas"
              << (c.root.empty() ? "" : " (avec --root " + c.root + ", C: est " + c.root + "/drive_c)") << std::endl;
  VueImprimante vue(c.verbeux);
  fenetre::Frm_Main frm(vue);
  vue.Relier(&frm);
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
  return frm.EchecSignale() ? 1 : 0;
}

int LancerIni(const Commande& c) {
  const std::vector<std::string>& a = c.ini;
  if (c.mode == Mode::IniGet) {
    std::cout << LectureIni(a[0], a[1], a[2], a.size() > 3 ? a[3] : "") << std::endl;
    return 0;
  }
  if (EcritureIni(a[0], a[1], a[2], a[3])) return 0;
  std::cerr << "écriture refusée: " << (DerniereRaison().empty() ? "raison inconnue" : DerniereRaison()) << '\n';
  return 1;
}

}  // namespace app
