// The setup window's behaviour: start-up, loading of an existing configuration,
// the folder fields and the buttons, over a view.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "settings/settings.h"
#include "setup_window/vue.h"

namespace fenetre {

// Why a folder field is red, for its tooltip: the folder does not exist and,
// when it is so, the text is not a usable folder path. Empty when `existe`.
std::string InfoBulleDossier(const std::string& texte, bool existe);

class Frm_Main {
 public:
  explicit Frm_Main(Vue& vue);
  ~Frm_Main();
  Frm_Main(const Frm_Main&) = delete;
  Frm_Main& operator=(const Frm_Main&) = delete;

  void Form_Initialize();
  void Form_Load();

  void TexteDossier_Change(int index);
  void CommandDossier_Click(int index);
  void CommandDossierCreer_Click(int index);
  void CommandCreerSettings_Click(int16_t index);
  void CommandQuitter_Click();
  // A press of any button of the window, dispatched to its click procedure.
  void Clic(Nom nom, int index);

  // True once a command has told the user that something failed.
  bool EchecSignale() const { return echecSignale_; }

  // Whether the general button applies the fields over values that followed
  // an earlier layout. Unset (the window): it asks when there are some.
  void DefinirMiseAJour(bool miseAJour) { miseAJour_ = miseAJour; }

 private:
  std::string dossier(int i) const { return vue_.Texte(Nom::TexteDossier, i); }
  void message(const std::string& texte, int style);
  void brancheDossiers();
  bool configurationPresente();
  std::string champIllisible(int16_t index) const;
  void brancheEcriture(int16_t index, const std::string& parentConfig, const std::string (&dossiers)[6]);
  settings::Entrees entrees(const std::string (&dossiers)[6], const std::string& parentConfig) const;
  bool confirmer(const std::string& question, const std::string& avertissement, Boutons boutons);
  void prefixeSansLecteurC(bool besoin);
  bool surC(const std::string& chemin) const;
  bool stationsSansTrou();
  bool exemplesConfirmes(int16_t index, const settings::Entrees& e);
  // Writes the branch's files; the closing message's list of failures, empty when none.
  std::string ecrire(int16_t index, const settings::Entrees& e, bool miseAJour, settings::BilanGeneral* bilan);
  void finGenerale(const settings::Entrees& e, const settings::BilanGeneral& bilan);

  Vue& vue_;
  bool echecSignale_ = false;
  std::optional<bool> miseAJour_;
  bool prefixeDemande_ = false;  // the prefix without a C: drive was offered once
  // The fields as the loading found them: the layout the files were last written for.
  std::optional<settings::Disposition> chargee_;
};

}  // namespace fenetre
