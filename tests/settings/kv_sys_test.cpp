#include <gtest/gtest.h>

#include "outils_tables.h"

namespace settings::test {
namespace {

TEST(KvSys, CountsFollowTheStations) {
  for (int n : {0, 1, 5}) {
    SCOPED_TRACE(n);
    const TableDeCles t = ClesKvSys(SiteDeTest(StationsNommees(n)));
    EXPECT_EQ(t.size(), 42u + 41u * n);
    EXPECT_EQ(Sections(t).size(), 6u + 3u * n);
    EXPECT_EQ(ClesDe(t, "Div_Radio").size(), 1u + n);
    EXPECT_TRUE(Doublons(t).empty());
  }
}

TEST(KvSys, SectionOrder) {
  const std::vector<std::string> attendu = {
      "Div_Radio",           "Stations",          "Users",
      "Repertoires",         "UNC_Actif",         "Repertoires_UNC",
      "Repertoire_Station_001", "Repertoire_Station_UNC001", "UNC_Actif001",
      "Repertoire_Station_002", "Repertoire_Station_UNC002", "UNC_Actif002",
  };
  EXPECT_EQ(Sections(ClesKvSys(SiteDeTest(StationsNommees(2)))), attendu);
  EXPECT_EQ(Sections(ClesKvSys(SiteDeTest(StationsNommees(5)))).back(), "UNC_Actif005");
}

TEST(KvSys, KeyOrderWithinSections) {
  const TableDeCles t = ClesKvSys(SiteDeTest(StationsNommees(1)));
  const std::vector<std::string> dossiers = {"REPPRG",     "REPBTR",     "REPSAUVEGARDE", "REPLOG", "REPLOGPUB",
                                             "REPGRAPHIC", "REPVOIX",    "REPNOTE",       "REPBLOCNOTES",
                                             "REPPARTAGE", "REPEXPORT",  "REPLOCAL",      "REPDIFF"};
  for (const char* s : {"Repertoires", "UNC_Actif", "Repertoires_UNC"}) EXPECT_EQ(ClesDe(t, s), dossiers) << s;

  const std::vector<std::string> station = {
      "000_00",      "JIN_00",      "LIN_00",      "RUB_00",      "INF_00",      "PUB_00",      "PRE_00",      "TMP_00",
      "000_LOCK_00", "JIN_LOCK_00", "LIN_LOCK_00", "RUB_LOCK_00", "INF_LOCK_00", "PUB_LOCK_00", "PRE_LOCK_00", "TMP_LOCK_00"};
  EXPECT_EQ(ClesDe(t, "Repertoire_Station_001"), station);
  EXPECT_EQ(ClesDe(t, "Repertoire_Station_UNC001"), station);
  EXPECT_EQ(ClesDe(t, "UNC_Actif001"), std::vector<std::string>(station.begin(), station.begin() + 8));
}

TEST(KvSys, Defaults) {
  const TableDeCles t = ClesKvSys(SiteDeTest({"  Nord  ", "Sud"}));
  const Attendu attendus[] = {
      {"Div_Radio", "Nom_Radio", "Radio Test"},
      {"Div_Radio", "Station_001", "  Nord  "},  // as typed, blanks kept
      {"Div_Radio", "Station_002", "Sud"},
      {"Stations", "NB_MAX", "2"},
      {"Users", "USER", "ZQ"},
      {"Repertoires", "REPPRG", "C:\\Kelvaro\\Ilvane\\"},
      {"Repertoires", "REPBTR", "C:\\IL_Data\\Data\\"},
      {"Repertoires", "REPSAUVEGARDE", "C:\\IL_Data\\Data\\"},
      {"Repertoires", "REPLOG", "C:\\Journix\\"},
      {"Repertoires", "REPLOGPUB", "C:\\Journix\\Pub\\"},
      {"Repertoires", "REPGRAPHIC", "C:\\Kelvaro\\Ilvane\\Graph\\"},
      {"Repertoires", "REPNOTE", "C:\\Kelvaro\\Ilvane\\Notes\\"},
      {"Repertoires", "REPBLOCNOTES", "C:\\Kelvaro\\Ilvane\\Notes\\"},
      {"Repertoires", "REPLOCAL", "C:\\Kelvaro\\Ilvane\\Local\\"},
      {"Repertoires", "REPDIFF", "C:\\Kelvaro\\Ilvane\\Diffusion\\"},
      {"UNC_Actif", "REPEXPORT", "ON"},
      {"Repertoires_UNC", "REPVOIX", "C:\\Kelvaro\\Ilvane\\Voix\\"},
      {"Repertoires_UNC", "REPPARTAGE", "C:\\Kelvaro\\Ilvane\\Shared\\"},
      {"Repertoire_Station_001", "000_00", "O,C:\\IL_Sons\\Sons\\Musique\\"},
      {"Repertoire_Station_002", "TMP_00", "O,C:\\IL_Sons\\Sons\\Autre\\"},
      {"Repertoire_Station_002", "TMP_LOCK_00", "OFF"},
      {"Repertoire_Station_UNC001", "000_00", "C:\\IL_Sons\\Sons\\Musique\\"},
      {"Repertoire_Station_UNC002", "JIN_00", "C:\\IL_Sons\\Sons\\Autre\\"},
      {"Repertoire_Station_UNC001", "JIN_LOCK_00", "OFF"},
      {"UNC_Actif002", "PRE_00", "ON"},
  };
  for (const Attendu& a : attendus) EXPECT_EQ(DefautDe(t, a.section, a.cle), a.defaut) << a.section << "/" << a.cle;
}

TEST(KvSys, FoldersBelowTheConfigurationWhenItHasNoConfigParent) {
  Entrees e = SiteDeTest({});
  e.config = e.parentConfig = "D:\\Param\\";
  const TableDeCles t = ClesKvSys(e);
  EXPECT_EQ(DefautDe(t, "Repertoires", "REPGRAPHIC"), "D:\\Param\\Graph\\");
  EXPECT_EQ(DefautDe(t, "Repertoires_UNC", "REPEXPORT"), "D:\\Param\\Export\\");
  EXPECT_EQ(DefautDe(t, "Stations", "NB_MAX"), "0");
}

}  // namespace
}  // namespace settings::test
