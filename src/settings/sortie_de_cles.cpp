#include "settings/settings.h"

namespace settings {
namespace {

// A text put in the place of another, into the room it has: a copy, without the
// general replacement's care for a text that overlaps its target.
void poser(std::string& dans, std::string_view texte) {
  dans.clear();
  dans.append(texte.data(), texte.size());
}

}  // namespace

void SortieDeCles::Ajouter(std::string_view section, std::string_view cle, std::string_view defaut) {
  poser(c_.section, section);
  poser(c_.cle, cle);
  poser(c_.defaut, defaut);
  c_.champ = Champ::Aucun;
  c_.avant = c_.apres = "";
  c_.temoin = false;
  r_.Cle(c_);
}

void SortieDeCles::Ajouter(std::string_view section, std::string_view cle, Champ champ, std::string_view valeur,
                           const char* avant, const char* apres, bool temoin) {
  poser(c_.section, section);
  poser(c_.cle, cle);
  poser(c_.defaut, avant);
  c_.defaut.append(valeur.data(), valeur.size()).append(apres);
  c_.champ = champ;
  c_.avant = avant;
  c_.apres = apres;
  c_.temoin = temoin;
  r_.Cle(c_);
}

}  // namespace settings
