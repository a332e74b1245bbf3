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
  Champ champ;
  const char* apres;  // after the field's folder
  bool temoin;        // the folder table's record of that field
};

// One list for [Repertoires], [UNC_Actif] and [Repertoires_UNC].
constexpr Dossier kDossiers[] = {
    {"REPPRG", Champ::Application, "", true},
    {"REPBTR", Champ::Data, "", true},
    {"REPSAUVEGARDE", Champ::Data, "", false},
    {"REPLOG", Champ::LogTechnique, "", true},
    {"REPLOGPUB", Champ::LogPub, "", true},
    {"REPGRAPHIC", Champ::ParentConfig, "Graph\\", true},
    {"REPVOIX", Champ::ParentConfig, "Voix\\", false},
    {"REPNOTE", Champ::ParentConfig, "Notes\\", false},
    {"REPBLOCNOTES", Champ::ParentConfig, "Notes\\", false},
    {"REPPARTAGE", Champ::ParentConfig, "Shared\\", false},
    {"REPEXPORT", Champ::ParentConfig, "Export\\", false},
    {"REPLOCAL", Champ::Application, "Local\\", false},
    {"REPDIFF", Champ::Application, "Diffusion\\", false},
};

const std::string& valeurDe(const Entrees& e, Champ c) {
  switch (c) {
    case Champ::Application: return e.application;
    case Champ::Data: return e.data;
    case Champ::LogTechnique: return e.logTechnique;
    case Champ::LogPub: return e.logPub;
    default: return e.parentConfig;
  }
}

}  // namespace

void ClesKvSys(const Entrees& e, SortieDeCles& t) {
  const auto ajoute = [&t](std::string_view section, std::string_view cle, std::string_view defaut) {
    t.Ajouter(section, cle, defaut);
  };
  const auto champ = [&t](std::string_view section, std::string_view cle, Champ c, std::string_view valeur,
                          const char* avant = "", const char* apres = "", bool temoin = false) {
    t.Ajouter(section, cle, c, valeur, avant, apres, temoin);
  };
  const int n = static_cast<int>(e.stations.size());

  champ("Div_Radio", "Nom_Radio", Champ::Radio, e.nomRadio, "", "", true);
  for (int i = 1; i <= n; ++i)
    champ("Div_Radio", "Station_" + N2S(i, 3, 0, "0"), ChampStation(i), e.stations[i - 1], "", "", true);
  champ("Stations", "NB_MAX", Champ::NombreStations, std::to_string(n), "", "", true);
  ajoute("Users", "USER", "ZQ");

  for (const Dossier& d : kDossiers) champ("Repertoires", d.cle, d.champ, valeurDe(e, d.champ), "", d.apres, d.temoin);
  for (const Dossier& d : kDossiers) ajoute("UNC_Actif", d.cle, "ON");
  for (const Dossier& d : kDossiers) champ("Repertoires_UNC", d.cle, d.champ, valeurDe(e, d.champ), "", d.apres);

  for (int i = 1; i <= n; ++i) {
    const std::string nnn = N2S(i, 3, 0, "0");
    const std::string locale = "Repertoire_Station_" + nnn;
    const std::string reseau = "Repertoire_Station_UNC" + nnn;
    const std::string unc = "UNC_Actif" + nnn;
    for (const CategorieSon& c : kCategoriesSons)
      champ(locale, Nom{c.cle, "_00"}, Champ::Sons, e.sons, "O,", c.sousDossier);
    for (const CategorieSon& c : kCategoriesSons) ajoute(locale, Nom{c.cle, "_LOCK_00"}, "OFF");
    // The first station's network music folder is this file's record of the sounds folder.
    for (const CategorieSon& c : kCategoriesSons)
      champ(reseau, Nom{c.cle, "_00"}, Champ::Sons, e.sons, "", c.sousDossier, i == 1 && &c == &kCategoriesSons[0]);
    for (const CategorieSon& c : kCategoriesSons) ajoute(reseau, Nom{c.cle, "_LOCK_00"}, "OFF");
    for (const CategorieSon& c : kCategoriesSons) ajoute(unc, Nom{c.cle, "_00"}, "ON");
  }
}

}  // namespace settings
