// A view without a window: texts and colours held in memory, with the change
// events of a real window. The silent mode prints through it; tests record with it.
#pragma once

#include <map>
#include <utility>

#include "setup_window/frm_main.h"
#include "setup_window/vue.h"

namespace fenetre {

class VueMemoire : public Vue {
 public:
  // The presenter that receives the change events of the folder fields.
  void Relier(Frm_Main* presentateur) { presentateur_ = presentateur; }

  std::string Texte(Nom nom, int index) const override;
  void DefinirTexte(Nom nom, int index, const std::string& texte) override;
  uint32_t CouleurFond(Nom nom, int index) const override;
  void DefinirCouleurFond(Nom nom, int index, uint32_t couleur) override;
  void DefinirInfoBulle(Nom nom, int index, const std::string& texte) override { bulles_[{nom, index}] = texte; }
  void DefinirStatut(const std::string& texte) override { statut_ = texte; }
  void TraiterEvenements() override {}
  void Fermer() override { ferme_ = true; }

  const std::string& Statut() const { return statut_; }
  std::string InfoBulle(Nom nom, int index) const {
    auto it = bulles_.find({nom, index});
    return it == bulles_.end() ? std::string() : it->second;
  }
  bool Ferme() const { return ferme_; }

  // The window's default text-box background.
  static constexpr uint32_t kFondNormal = 0xFFFFFF;

 private:
  std::map<std::pair<Nom, int>, std::string> textes_;
  std::map<std::pair<Nom, int>, uint32_t> couleurs_;
  std::map<std::pair<Nom, int>, std::string> bulles_;
  std::string statut_;
  bool ferme_ = false;
  Frm_Main* presentateur_ = nullptr;
};

}  // namespace fenetre
