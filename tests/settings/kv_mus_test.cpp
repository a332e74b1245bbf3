#include <gtest/gtest.h>

#include "common/lib_public.h"
#include "outils_tables.h"

namespace settings::test {
namespace {

// The composite defaults exactly as stored.
const std::string kGrilleA =
    "D1F1:N;D1F2:O;D1F3:O;D1F4:O;D1F5:O;D2F1:O;D2F2:O;D2F3:O;D2F4:O;D2F5:O;D3F1:O;D3F2:O;D3F3:O;D3F4:O;D3F5:O;"
    "D4F1:O;D4F2:O;D4F3:O;D4F4:O;D4F5:O;D5F1:O;D5F2:O;D5F3:O;D5F4:O;D5F5:O;";
const std::string kGrilleB =
    "D1F1:O;D1F2:O;D1F3:O;D1F4:N;D1F5:N;D2F1:O;D2F2:O;D2F3:O;D2F4:O;D2F5:N;D3F1:O;D3F2:O;D3F3:O;D3F4:O;D3F5:O;"
    "D4F1:N;D4F2:O;D4F3:O;D4F4:O;D4F5:O;D5F1:N;D5F2:N;D5F3:O;D5F4:O;D5F5:O;";
const std::string kGrilleC =
    "D1F1:N;D1F2:O;D1F3:O;D1F4:O;D1F5:O;D2F1:O;D2F2:N;D2F3:O;D2F4:O;D2F5:O;D3F1:O;D3F2:O;D3F3:N;D3F4:O;D3F5:O;"
    "D4F1:O;D4F2:O;D4F3:O;D4F4:N;D4F5:O;D5F1:O;D5F2:O;D5F3:O;D5F4:O;D5F5:N;";
const std::string kTableQ =
    "00:000005;01:000005;02:000005;03:000005;04:000005;05:000005;06:020035;07:020035;08:020035;09:020035;"
    "10:020035;11:020035;12:020035;13:020040;14:020040;15:020040;16:020040;17:020025;18:020025;19:020025;"
    "20:020040;21:020040;22:020040;23:000040;";
const std::string kTableT =
    "00:000100;01:000100;02:000100;03:000100;04:000100;05:000100;06:025100;07:025100;08:025100;09:025100;"
    "10:025100;11:025100;12:025100;13:025100;14:025100;15:025100;16:025100;17:025100;18:025100;19:025100;"
    "20:025100;21:025100;22:025100;23:000100;";

TEST(KvMus, SectionsInOrderWithTheirKeyCounts) {
  const std::pair<std::string, size_t> attendu[] = {
      {"Mus_Couleur", 5},        {"Mus_Puissance", 5},    {"Mus_Style", 5},           {"Mus_Type", 3},
      {"Mus_Tempo", 5},          {"Mus_BPM_Variation", 9}, {"Mus_Jour_Avant", 9},     {"Mus_Liaison", 9},
      {"Mus_Strategie", 9},      {"Mus_Tranche", 9},      {"Mus_TypeJour", 9},        {"Mus_Lib_Divers", 3},
      {"Mus_Programmation", 1},  {"Mus_GroupeHorloge", 9}, {"Mus_Protection_Matin_AM", 9},
      {"Mus_Affinite", 45},      {"Mus_Quotas", 63},      {"Mus_Talents", 63},        {"Mus_NewProd", 63},
  };
  const TableDeCles t = ClesKvMus();
  EXPECT_EQ(t.size(), 333u);
  const std::vector<std::string> sections = Sections(t);
  ASSERT_EQ(sections.size(), 19u);
  for (size_t i = 0; i < sections.size(); ++i) {
    EXPECT_EQ(sections[i], attendu[i].first);
    EXPECT_EQ(ClesDe(t, sections[i]).size(), attendu[i].second) << sections[i];
  }
  EXPECT_TRUE(Doublons(t).empty());
}

TEST(KvMus, AllKeysOfAStrategyBeforeTheNext) {
  const TableDeCles t = ClesKvMus();
  const std::vector<std::string> affinite = ClesDe(t, "Mus_Affinite");
  EXPECT_EQ(std::vector<std::string>(affinite.begin(), affinite.begin() + 6),
            (std::vector<std::string>{"Strat_01_Cou", "Strat_01_Pui", "Strat_01_Sty", "Strat_01_Typ", "Strat_01_Tem",
                                      "Strat_02_Cou"}));
  const std::vector<std::string> quotas = ClesDe(t, "Mus_Quotas");
  EXPECT_EQ(std::vector<std::string>(quotas.begin(), quotas.begin() + 8),
            (std::vector<std::string>{"Strat_01_Lun", "Strat_01_Mar", "Strat_01_Mer", "Strat_01_Jeu", "Strat_01_Ven",
                                      "Strat_01_Sam", "Strat_01_Dim", "Strat_02_Lun"}));
  EXPECT_EQ(quotas.back(), "Strat_09_Dim");
  EXPECT_EQ(ClesDe(t, "Mus_Protection_Matin_AM"),
            (std::vector<std::string>{"Strat_01_17", "Strat_01_18", "Strat_02_17", "Strat_02_18", "Strat_03_17",
                                      "Strat_03_18", "Strat_08_16", "Strat_08_17", "Strat_08_18"}));
}

TEST(KvMus, Defaults) {
  const TableDeCles t = ClesKvMus();
  const Attendu attendus[] = {
      {"Mus_Couleur", "Couleur_01", "Suicide"},
      {"Mus_Couleur", "Couleur_05", "Extase"},
      {"Mus_Puissance", "Puissance_04", "Pêche"},
      {"Mus_Style", "Style_04", "Toughties"},
      {"Mus_Type", "Type_02", "Cross-Over"},
      {"Mus_Tempo", "Tempo_04", "Medium Fast"},
      {"Mus_BPM_Variation", "Strat_09", "P01:080/006;P02:100/006;P03:120/003;P04:130/003;P05:140/002;"},
      {"Mus_Jour_Avant", "Strat_01", "LUN:VEN;MAR:MAR;MER:MER;JEU:MAR;VEN:MER;SAM:SAM;DIM:DIM;"},
      {"Mus_Liaison", "Strat_05", "COU:09/14;PUI:11/14;STY:03/15;TYP:03/15;TEM:11/14;"},
      {"Mus_Strategie", "Strat_01", "Stratégie 01"},
      {"Mus_Strategie", "Strat_09", "Stratégie 09"},
      {"Mus_Tranche", "Tranche_03", "Tranche 03"},
      {"Mus_TypeJour", "Type_07", "Type 07"},
      {"Mus_Lib_Divers", "Lib_01", "Fréquence"},
      {"Mus_Lib_Divers", "Lib_03", "Nature"},
      {"Mus_Programmation", "TYPE_JOURNEE_PAR_DEFAUT", "1"},
      {"Mus_GroupeHorloge", "Type_09", "Groupe d'horloge 09"},
      {"Mus_Protection_Matin_AM", "Strat_03_18", "0708"},
      {"Mus_Protection_Matin_AM", "Strat_08_16", "07"},
      {"Mus_Protection_Matin_AM", "Strat_08_17", "08"},
      {"Mus_Protection_Matin_AM", "Strat_08_18", "09"},
      {"Mus_Affinite", "Strat_01_Cou", kGrilleA},
      {"Mus_Affinite", "Strat_09_Pui", kGrilleB},
      {"Mus_Affinite", "Strat_04_Sty", kGrilleC},
      {"Mus_Affinite", "Strat_02_Typ", kGrilleA},
      {"Mus_Affinite", "Strat_07_Tem", kGrilleA},
      {"Mus_Quotas", "Strat_01_Mar", kTableQ},
      {"Mus_Quotas", "Strat_09_Dim", kTableQ},
      {"Mus_Talents", "Strat_05_Lun", kTableT},
      {"Mus_NewProd", "Strat_09_Dim", kTableT},
  };
  for (const Attendu& a : attendus) EXPECT_EQ(DefautDe(t, a.section, a.cle), a.defaut) << a.section << "/" << a.cle;
}

}  // namespace
}  // namespace settings::test

// The tables number their keys without N2S: the same two characters for every count.
TEST(KvMus, KeyNumbersAreThoseOfN2S) {
  for (int n = 0; n <= 150; ++n) EXPECT_EQ(std::string_view(settings::Chiffres(n)), N2S(n, 2, 0, "0")) << n;
}

// A name made of pieces is their concatenation, however long it grows.
TEST(KvMus, ANameMadeOfPiecesHoldsThemAll) {
  const std::string longue(40, 'x');
  const struct {
    settings::Nom nom;
    std::string attendu;
  } cas[] = {
      {{}, ""},
      {{"Strat_", settings::Chiffres(7), "_Cou"}, "Strat_07_Cou"},
      {{longue, "_", settings::Chiffres(12)}, longue + "_12"},  // past the room on the stack
      {{longue, longue, "", longue}, longue + longue + longue},
  };
  for (const auto& c : cas) EXPECT_EQ(std::string_view(c.nom), c.attendu);
}
