// The writers on a real sandbox: what lands on disk, in which order, and what
// a second run keeps.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <utility>

#include "outils_tables.h"
#include "services/lib_setup.h"
#include "services/lib_systeme.h"
#include "support/sandbox.h"

namespace settings::test {
namespace {

using Structure = std::vector<std::pair<std::string, std::string>>;  // section, key

// The sections and keys as they stand in the file's text.
Structure StructureDuTexte(const std::string& texte) {
  Structure s;
  std::istringstream in(texte);
  std::string ligne, section;
  while (std::getline(in, ligne)) {
    if (!ligne.empty() && ligne.back() == '\r') ligne.pop_back();
    if (ligne.size() > 1 && ligne.front() == '[') {
      section = ligne.substr(1, ligne.find(']') - 1);
    } else if (const auto egal = ligne.find('='); egal != std::string::npos) {
      s.emplace_back(section, ligne.substr(0, egal));
    }
  }
  return s;
}

Structure StructureDeLaTable(const TableDeCles& t) {
  Structure s;
  for (const CleParDefaut& c : t) s.emplace_back(c.section, c.cle);
  return s;
}

class Ecriture : public ::testing::Test {
 protected:
  void SetUp() override {
    e_ = SiteDeTest(StationsNommees(2));
    e_.config = s_.Win() + "Config\\";
    std::filesystem::create_directories(s_.Host() + "Config");
  }
  Sandbox s_;
  Entrees e_;
};

TEST_F(Ecriture, FirstRunWritesEveryKeyWithItsDefaultInTableOrder) {
  EcrireParametresGeneraux(e_);
  const std::pair<const char*, TableDeCles> fichiers[] = {
      {"Kv_Sys.ini", ClesKvSys(e_)},
      {"IL3_Systeme.ini", ClesIl3Systeme(e_)},
      {"KV_Mus.ini", ClesKvMus()},
      {"KV_Pub.ini", ClesKvPub()},
  };
  for (const auto& [nom, table] : fichiers) {
    SCOPED_TRACE(nom);
    const std::string fichier = e_.config + nom;
    EXPECT_EQ(StructureDuTexte(s_.Read(fichier)), StructureDeLaTable(table));
    for (const CleParDefaut& c : table) ASSERT_EQ(LectureIni(fichier, c.section, c.cle, "<absent>"), c.defaut);
  }
}

TEST_F(Ecriture, SecondRunKeepsStoredValuesAndRestoresMissingKeys) {
  EcrireParametresGeneraux(e_);
  const std::string mus = e_.config + "KV_Mus.ini";
  EcritureIni(mus, "Mus_Puissance", "Puissance_03", "Fort");
  EcritureIni(mus, "Mus_Affinite", "Strat_01_Cou", "D1F1:O;");
  EcritureIni(mus, "Mus_Quotas", "Strat_01_Mar", "00:000001;");
  std::string texte = s_.Read(mus);
  const auto ligne = texte.find("Strat_08_16=07");
  ASSERT_NE(ligne, std::string::npos);
  texte.erase(ligne, texte.find('\n', ligne) + 1 - ligne);
  s_.Write(mus, texte);

  e_.nomRadio = "Autre radio";  // the stored name wins over the window
  EcrireParametresGeneraux(e_);

  const Attendu attendus[] = {
      {"Mus_Puissance", "Puissance_03", "Fort"},
      {"Mus_Puissance", "Puissance_04", "Pêche"},
      {"Mus_Affinite", "Strat_01_Cou", "D1F1:O;"},
      {"Mus_Quotas", "Strat_01_Mar", "00:000001;"},
      {"Mus_Protection_Matin_AM", "Strat_08_16", "07"},
  };
  for (const Attendu& a : attendus) EXPECT_EQ(LectureIni(mus, a.section, a.cle, "<absent>"), a.defaut) << a.cle;
  EXPECT_EQ(LectureIni(e_.config + "Kv_Sys.ini", "Div_Radio", "Nom_Radio", ""), "Radio Test");
  EXPECT_EQ(StructureDuTexte(s_.Read(mus)).size(), 333u);
}

TEST_F(Ecriture, StructuralWritesThePointerOnlyForOlderOrUnknownSystems) {
#ifdef _WIN32
  GTEST_SKIP() << "the pointer lives in the real Windows folder";
#endif
  const std::pair<int, bool> cas[] = {{0, true}, {5, true}, {2000, true}, {2003, true},
                                      {6, false}, {7, false}, {8, false}};
  for (const auto& [version, pointeur] : cas) {
    SCOPED_TRACE(version);
    std::filesystem::remove(s_.Prefix() + "/drive_c/windows/Win.ini");
    VersionOS = version;
    DossierApplication = s_.Win() + "App\\";
    EcrireParametresStructurels(e_.config, "Radio Test", "{GUID}");
    ASSERT_EQ(s_.Exists("C:\\windows\\Win.ini"), pointeur);
    if (pointeur) {
      EXPECT_EQ(LectureIni("C:\\windows\\Win.ini", "Kelvaro", "INI_ILVANE", ""), e_.config);
      EXPECT_EQ(LectureIni("C:\\windows\\Win.ini", "Kelvaro", "INI_ILVANE_UNC", ""), e_.config);
      EXPECT_EQ(LectureIni("C:\\windows\\Win.ini", "Kelvaro", "UNC_Actif", ""), "ON");
    }
  }
}

TEST_F(Ecriture, StructuralOverwritesTheSiteFile) {
  DossierApplication = s_.Win() + "App\\";
  const std::string site = DossierApplication + "Settings\\IL3_Config.ini";
  EcrireParametresStructurels(e_.config, "Ancienne", "{A}");
  EcritureIni(site, "Site", "Actif", "0");
  EcritureIni(site, "Site", "NbBase", "3");

  EcrireParametresStructurels(e_.config, "Radio Test", "");
  EXPECT_EQ(StructureDuTexte(s_.Read(site)),
            (Structure{{"Site", "Lib"}, {"Site", "Actif"}, {"Site", "NbBase"}, {"Site", "NoBase"}, {"Site", "GUID"},
                       {"Site", "Dossier_Config_Global"}, {"Base_01", "Dossier_Config_Global"}}));
  const Attendu attendus[] = {
      {"Site", "Lib", "Radio Test"}, {"Site", "Actif", "1"}, {"Site", "NbBase", "1"},
      {"Site", "NoBase", "1"},       {"Site", "GUID", ""},   {"Site", "Dossier_Config_Global", e_.config},
      {"Base_01", "Dossier_Config_Global", e_.config},
  };
  for (const Attendu& a : attendus) EXPECT_EQ(LectureIni(site, a.section, a.cle, "<absent>"), a.defaut) << a.cle;
}

}  // namespace
}  // namespace settings::test
