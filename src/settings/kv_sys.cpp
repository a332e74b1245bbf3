// "Kv_Sys.ini": radio and stations, the suite's folder table (local, network
// switch, network path) and each station's sound folders with their locks.
#include <string>
#include <vector>

#include "common/lib_public.h"
#include "settings/categories_sons.h"
#include "settings/settings.h"

namespace settings {

namespace {

struct Dossier {
  const char* cle;
  std::string defaut;
};

// One list for [Repertoires], [UNC_Actif] and [Repertoires_UNC].
std::vector<Dossier> TableDesDossiers(const Entrees& e) {
  return {
      {"REPPRG", e.application},
      {"REPBTR", e.data},
      {"REPSAUVEGARDE", e.data},
      {"REPLOG", e.logTechnique},
      {"REPLOGPUB", e.logPub},
      {"REPGRAPHIC", e.parentConfig + "Graph\\"},
      {"REPVOIX", e.parentConfig + "Voix\\"},
      {"REPNOTE", e.parentConfig + "Notes\\"},
      {"REPBLOCNOTES", e.parentConfig + "Notes\\"},
      {"REPPARTAGE", e.parentConfig + "Shared\\"},
      {"REPEXPORT", e.parentConfig + "Export\\"},
      {"REPLOCAL", e.application + "Local\\"},
      {"REPDIFF", e.application + "Diffusion\\"},
  };
}

}  // namespace

TableDeCles ClesKvSys(const Entrees& e) {
  TableDeCles t;
  const auto ajoute = [&t](const std::string& section, const std::string& cle, const std::string& defaut,
                           bool duChamp = false) { t.push_back({section, cle, defaut, duChamp}); };
  const int n = static_cast<int>(e.stations.size());

  ajoute("Div_Radio", "Nom_Radio", e.nomRadio, true);
  for (int i = 1; i <= n; ++i) ajoute("Div_Radio", "Station_" + N2S(i, 3, 0, "0"), e.stations[i - 1], true);
  ajoute("Stations", "NB_MAX", std::to_string(n), true);
  ajoute("Users", "USER", "ZQ");

  const std::vector<Dossier> dossiers = TableDesDossiers(e);
  for (const Dossier& d : dossiers) ajoute("Repertoires", d.cle, d.defaut, true);
  for (const Dossier& d : dossiers) ajoute("UNC_Actif", d.cle, "ON");
  for (const Dossier& d : dossiers) ajoute("Repertoires_UNC", d.cle, d.defaut, true);

  for (int i = 1; i <= n; ++i) {
    const std::string nnn = N2S(i, 3, 0, "0");
    const std::string locale = "Repertoire_Station_" + nnn;
    const std::string reseau = "Repertoire_Station_UNC" + nnn;
    for (const CategorieSon& c : kCategoriesSons)
      ajoute(locale, std::string(c.cle) + "_00", "O," + e.sons + c.sousDossier, true);
    for (const CategorieSon& c : kCategoriesSons) ajoute(locale, std::string(c.cle) + "_LOCK_00", "OFF");
    for (const CategorieSon& c : kCategoriesSons) ajoute(reseau, std::string(c.cle) + "_00", e.sons + c.sousDossier, true);
    for (const CategorieSon& c : kCategoriesSons) ajoute(reseau, std::string(c.cle) + "_LOCK_00", "OFF");
    for (const CategorieSon& c : kCategoriesSons) ajoute("UNC_Actif" + nnn, std::string(c.cle) + "_00", "ON");
  }
  return t;
}

}  // namespace settings
