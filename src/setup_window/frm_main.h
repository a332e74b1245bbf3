// The setup window's behaviour: start-up, loading of an existing configuration,
// the folder fields and the buttons, over a view.
#pragma once

#include <cstdint>
#include <string>

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

 private:
  std::string dossier(int i) const { return vue_.Texte(Nom::TexteDossier, i); }
  void message(const std::string& texte, int style);
  void brancheDossiers();
  bool configurationPresente();
  std::string champIllisible(int16_t index) const;
  void brancheEcriture(int16_t index, const std::string& dossierConfig, const std::string& parentConfig,
                       const std::string (&dossiers)[6]);

  Vue& vue_;
  bool echecSignale_ = false;
};

}  // namespace fenetre
