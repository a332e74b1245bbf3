#include "setup_window/vue_memoire.h"

namespace fenetre {

std::string VueMemoire::Texte(Nom nom, int index) const {
  auto it = textes_.find({nom, index});
  return it == textes_.end() ? std::string() : it->second;
}

void VueMemoire::DefinirTexte(Nom nom, int index, const std::string& texte) {
  std::string& t = textes_[{nom, index}];
  if (t == texte) return;  // the same text raises no change event
  t = texte;
  if (nom == Nom::TexteDossier && presentateur_) presentateur_->TexteDossier_Change(index);
}

uint32_t VueMemoire::CouleurFond(Nom nom, int index) const {
  auto it = couleurs_.find({nom, index});
  return it == couleurs_.end() ? kFondNormal : it->second;
}

void VueMemoire::DefinirCouleurFond(Nom nom, int index, uint32_t couleur) { couleurs_[{nom, index}] = couleur; }

}  // namespace fenetre
