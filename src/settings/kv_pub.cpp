// "KV_Pub.ini": the start hour of each advertising slice, the break positions
// and durations of every weekday and hour, and the voice labels.
#include <cstddef>
#include <initializer_list>
#include <string>

#include "common/lib_public.h"
#include "settings/settings.h"

namespace settings {

namespace {

// Sixteen three-digit fields, each followed by ";"; the unused ones are "000".
std::string ListeEcrans(std::initializer_list<const char*> champs) {
  std::string s;
  for (const char* c : champs) s += std::string(c) + ";";
  for (std::size_t i = champs.size(); i < 16; ++i) s += "000;";
  return s;
}

}  // namespace

void ClesKvPub(SortieDeCles& t) {
  for (int h = 0; h <= 23; ++h) t.Ajouter("Pub_Heures_Des_Tranches", Nom{"Debut_Tranche_", Chiffres(h)}, Chiffres(h));

  // Every position key comes before every duration key.
  const struct {
    const char* fin;
    std::string defaut;
  } passes[] = {
      {"_Pos", ListeEcrans({"008", "020", "030", "050"})},
      {"_Dur", ListeEcrans({"400", "400", "400", "400"})},
  };
  for (const auto& passe : passes)
    for (int h = 0; h <= 23; ++h)
      for (const char* jour : {"Lun_", "Mar_", "Mer_", "Jeu_", "Ven_", "Sam_", "Dim_"})
        t.Ajouter("Pub_Position_Duree_Ecrans", Nom{jour, Chiffres(h), passe.fin}, passe.defaut);

  for (int n = 1; n <= 30; ++n) t.Ajouter("Pub_Voix", Nom{"Voix_", Chiffres(n)}, Nom{"Voix ", Chiffres(n)});
}

}  // namespace settings
