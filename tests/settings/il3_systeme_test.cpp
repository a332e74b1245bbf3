#include <gtest/gtest.h>

#include "outils_tables.h"

namespace settings::test {
namespace {

const std::vector<std::string> kSectionsDesSons = {
    "Dossiers_Sons_Mus", "Dossiers_Sons_Jin", "Dossiers_Sons_Lin", "Dossiers_Sons_Rub",
    "Dossiers_Sons_Inf", "Dossiers_Sons_Pub", "Dossiers_Sons_Pre", "Dossiers_Sons_Tmp"};

TEST(Il3Systeme, CountsAndSectionOrder) {
  for (int n : {0, 1, 5}) {
    SCOPED_TRACE(n);
    const TableDeCles t = ClesIl3Systeme(SiteDeTest(StationsNommees(n)));
    EXPECT_EQ(t.size(), 21u + 2u * n);
    EXPECT_TRUE(Doublons(t).empty());

    std::vector<std::string> attendu = {"Base_01"};
    for (int i = 1; i <= n; ++i) attendu.push_back("Base_01_Station_0" + std::to_string(i));
    attendu.insert(attendu.end(), kSectionsDesSons.begin(), kSectionsDesSons.end());
    attendu.push_back("Ptx");
    EXPECT_EQ(Sections(t), attendu);
  }
}

TEST(Il3Systeme, BaseKeyOrder) {
  const std::vector<std::string> attendu = {
      "Lib",         "Actif",           "NbStation",          "NoStation",
      "Dossier_Data", "Dossier_Data_Backup", "Dossier_Log",     "Dossier_Log_Pub",
      "Dossier_Notes_Schedule", "Dossier_Notes", "Dossier_Shared", "Dossier_Local"};
  EXPECT_EQ(ClesDe(ClesIl3Systeme(SiteDeTest({})), "Base_01"), attendu);
}

TEST(Il3Systeme, Defaults) {
  const TableDeCles t = ClesIl3Systeme(SiteDeTest({" Nord", "Sud", "Est", "Ouest", "Centre"}));
  const Attendu attendus[] = {
      {"Base_01", "Lib", "Radio Test"},
      {"Base_01", "Actif", "1"},
      {"Base_01", "NbStation", "5"},
      {"Base_01", "NoStation", "1"},
      {"Base_01", "Dossier_Data", "C:\\IL_Data\\Data\\"},
      {"Base_01", "Dossier_Data_Backup", "C:\\IL_Data\\Data\\"},
      {"Base_01", "Dossier_Log", "C:\\Journix\\"},
      {"Base_01", "Dossier_Log_Pub", "C:\\Journix\\Pub\\"},
      {"Base_01", "Dossier_Notes_Schedule", "C:\\Kelvaro\\Ilvane\\Notes\\"},
      {"Base_01", "Dossier_Shared", "C:\\Kelvaro\\Ilvane\\Shared\\"},
      {"Base_01", "Dossier_Local", "C:\\Kelvaro\\Ilvane\\Local\\"},
      {"Base_01_Station_01", "Lib", " Nord"},
      {"Base_01_Station_05", "Lib", "Centre"},
      {"Base_01_Station_05", "Actif", "1"},
      {"Dossiers_Sons_Mus", "00", "C:\\IL_Sons\\Sons\\Musique\\"},
      {"Dossiers_Sons_Jin", "00", "C:\\IL_Sons\\Sons\\Autre\\"},
      {"Dossiers_Sons_Tmp", "00", "C:\\IL_Sons\\Sons\\Autre\\"},
      {"Ptx", "Save", "1"},
  };
  for (const Attendu& a : attendus) EXPECT_EQ(DefautDe(t, a.section, a.cle), a.defaut) << a.section << "/" << a.cle;
}

}  // namespace
}  // namespace settings::test
