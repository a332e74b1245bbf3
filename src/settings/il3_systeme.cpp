// "IL3_Systeme.ini": the site's single base, its stations, the base's sound
// folders and the save switch.
#include <string>

#include "common/lib_public.h"
#include "settings/categories_sons.h"
#include "settings/settings.h"

namespace settings {

void ClesIl3Systeme(const Entrees& e, SortieDeCles& t) {
  const int n = static_cast<int>(e.stations.size());
  // A key built from a field: its default is the field's value then `apres`; a
  // `temoin` key is this file's record of the field.
  const auto champ = [&t](std::string_view section, const char* cle, Champ c, std::string_view valeur,
                          const char* apres = "", bool temoin = false) {
    t.Ajouter(section, cle, c, valeur, "", apres, temoin);
  };
  champ("Base_01", "Lib", Champ::Radio, e.nomRadio, "", true);
  t.Ajouter("Base_01", "Actif", "1");
  champ("Base_01", "NbStation", Champ::NombreStations, std::to_string(n), "", true);
  t.Ajouter("Base_01", "NoStation", "1");
  champ("Base_01", "Dossier_Data", Champ::Data, e.data, "", true);
  champ("Base_01", "Dossier_Data_Backup", Champ::Data, e.data);
  champ("Base_01", "Dossier_Log", Champ::LogTechnique, e.logTechnique, "", true);
  champ("Base_01", "Dossier_Log_Pub", Champ::LogPub, e.logPub, "", true);
  champ("Base_01", "Dossier_Notes_Schedule", Champ::ParentConfig, e.parentConfig, "Notes\\");
  champ("Base_01", "Dossier_Notes", Champ::ParentConfig, e.parentConfig, "Notes\\");
  champ("Base_01", "Dossier_Shared", Champ::ParentConfig, e.parentConfig, "Shared\\", true);
  champ("Base_01", "Dossier_Local", Champ::Application, e.application, "Local\\", true);
  // Two digits here: start-up reads these sections back under that name.
  for (int i = 1; i <= n; ++i) {
    const std::string section = "Base_01_Station_" + N2S(i, 2, 0, "0");
    champ(section, "Lib", ChampStation(i), e.stations[i - 1], "", true);
    t.Ajouter(section, "Actif", "1");
  }
  for (const CategorieSon& c : kCategoriesSons)
    champ(std::string("Dossiers_Sons_") + c.suffixe, "00", Champ::Sons, e.sons, c.sousDossier, &c == &kCategoriesSons[0]);
  t.Ajouter("Ptx", "Save", "1");
}

}  // namespace settings
