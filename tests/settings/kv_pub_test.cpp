#include <gtest/gtest.h>

#include "outils_tables.h"

namespace settings::test {
namespace {

const std::string kPositions = "008;020;030;050;000;000;000;000;000;000;000;000;000;000;000;000;";
const std::string kDurees = "400;400;400;400;000;000;000;000;000;000;000;000;000;000;000;000;";

TEST(KvPub, SectionsAndCounts) {
  const TableDeCles t = ClesKvPub();
  EXPECT_EQ(t.size(), 390u);
  EXPECT_EQ(Sections(t),
            (std::vector<std::string>{"Pub_Heures_Des_Tranches", "Pub_Position_Duree_Ecrans", "Pub_Voix"}));
  EXPECT_EQ(ClesDe(t, "Pub_Heures_Des_Tranches").size(), 24u);
  EXPECT_EQ(ClesDe(t, "Pub_Position_Duree_Ecrans").size(), 336u);
  EXPECT_EQ(ClesDe(t, "Pub_Voix").size(), 30u);
  EXPECT_TRUE(Doublons(t).empty());
}

TEST(KvPub, WeekdaysInsideHoursAndPositionsBeforeDurations) {
  const std::vector<std::string> ecrans = ClesDe(ClesKvPub(), "Pub_Position_Duree_Ecrans");
  EXPECT_EQ(std::vector<std::string>(ecrans.begin(), ecrans.begin() + 8),
            (std::vector<std::string>{"Lun_00_Pos", "Mar_00_Pos", "Mer_00_Pos", "Jeu_00_Pos", "Ven_00_Pos",
                                      "Sam_00_Pos", "Dim_00_Pos", "Lun_01_Pos"}));
  EXPECT_EQ(ecrans[167], "Dim_23_Pos");
  EXPECT_EQ(ecrans[168], "Lun_00_Dur");
  EXPECT_EQ(ecrans.back(), "Dim_23_Dur");
}

TEST(KvPub, Defaults) {
  const TableDeCles t = ClesKvPub();
  const Attendu attendus[] = {
      {"Pub_Heures_Des_Tranches", "Debut_Tranche_00", "00"},
      {"Pub_Heures_Des_Tranches", "Debut_Tranche_07", "07"},
      {"Pub_Heures_Des_Tranches", "Debut_Tranche_23", "23"},
      {"Pub_Heures_Des_Tranches", "Debut_Tranche_24", "<absent>"},
      {"Pub_Position_Duree_Ecrans", "Lun_00_Pos", kPositions},
      {"Pub_Position_Duree_Ecrans", "Mer_12_Pos", kPositions},
      {"Pub_Position_Duree_Ecrans", "Jeu_05_Dur", kDurees},
      {"Pub_Position_Duree_Ecrans", "Dim_23_Dur", kDurees},
      {"Pub_Voix", "Voix_00", "<absent>"},
      {"Pub_Voix", "Voix_01", "Voix 01"},
      {"Pub_Voix", "Voix_30", "Voix 30"},
  };
  for (const Attendu& a : attendus) EXPECT_EQ(DefautDe(t, a.section, a.cle), a.defaut) << a.section << "/" << a.cle;
}

}  // namespace
}  // namespace settings::test
