// "IL3_Systeme.ini": the site's single base, its stations, the base's sound
// folders and the save switch.
#include <string>

#include "common/lib_public.h"
#include "settings/categories_sons.h"
#include "settings/settings.h"

namespace settings {

TableDeCles ClesIl3Systeme(const Entrees& e) {
  const int n = static_cast<int>(e.stations.size());
  constexpr bool champ = true;  // the default comes from a field of the window
  TableDeCles t = {
      {"Base_01", "Lib", e.nomRadio, champ},
      {"Base_01", "Actif", "1"},
      {"Base_01", "NbStation", std::to_string(n), champ},
      {"Base_01", "NoStation", "1"},
      {"Base_01", "Dossier_Data", e.data, champ},
      {"Base_01", "Dossier_Data_Backup", e.data, champ},
      {"Base_01", "Dossier_Log", e.logTechnique, champ},
      {"Base_01", "Dossier_Log_Pub", e.logPub, champ},
      {"Base_01", "Dossier_Notes_Schedule", e.parentConfig + "Notes\\", champ},
      {"Base_01", "Dossier_Notes", e.parentConfig + "Notes\\", champ},
      {"Base_01", "Dossier_Shared", e.parentConfig + "Shared\\", champ},
      {"Base_01", "Dossier_Local", e.application + "Local\\", champ},
  };
  // Two digits here: start-up reads these sections back under that name.
  for (int i = 1; i <= n; ++i) {
    const std::string section = "Base_01_Station_" + N2S(i, 2, 0, "0");
    t.push_back({section, "Lib", e.stations[i - 1], champ});
    t.push_back({section, "Actif", "1"});
  }
  for (const CategorieSon& c : kCategoriesSons)
    t.push_back({std::string("Dossiers_Sons_") + c.suffixe, "00", e.sons + c.sousDossier, champ});
  t.push_back({"Ptx", "Save", "1"});
  return t;
}

}  // namespace settings
