// The report of a run: a key written again, under any spelling the profile
// functions take for the same key, is reported once, with its last value.
#include <gtest/gtest.h>

#include <unistd.h>

#include <ctime>
#include <fstream>
#include <string>
#include <vector>

#include "services/journal.h"

namespace {

struct Ecriture {
  const char* section;
  const char* cle;
  const char* valeur;
  platform::WriteEffect effet;  // what the system says the write did to the file
};

// With the system's word that a key is new, the report takes it without a
// lookup; the keys written again must still be found and reported once.
class Journal : public testing::TestWithParam<bool> {};

using E = platform::WriteEffect;
const std::string fichier = "C:\\Rapport\\Absent\\Essai.ini";  // never there: a file the run creates
const std::vector<Ecriture> ecritures = {
    {"Été", "Clé", "1", E::Added},      {"ÉTÉ", "CLÉ", "2", E::Changed},  // one key: Windows-1252 letters fold too
    {"Été", "Clef", "3", E::Added},     {"été", "clé", "4", E::Changed},
    {"Autre", "Clé", "5", E::Added},    {"Section_Longue_De_Plus_De_Huit", "Une_Cle_Longue_Aussi", "6", E::Added},
    {"SECTION_LONGUE_DE_PLUS_DE_HUIT", "une_cle_longue_aussi", "7", E::Changed},
};

// A run that shows no key counts them: as many as the report would list.
TEST_P(Journal, WithoutDetailsEachKeyAddedIsCountedOnce) {
  const bool effetsConnus = GetParam();
  journal::Demarrer(journal::Mode::Reel, false, false);
  for (const Ecriture& e : ecritures) journal::Ecrit(fichier, e.section, e.cle, e.valeur, effetsConnus ? e.effet : E::Unknown);
  const journal::Fichier& f = journal::RapportEnCours().fichiers.at(0);
  EXPECT_EQ(f.nombreAjoutees(), 4u);
  EXPECT_TRUE(f.change());
  journal::Annuler(fichier);
  EXPECT_EQ(journal::RapportEnCours().fichiers.at(0).nombreAjoutees(), 0u);
  journal::Demarrer(journal::Mode::Inactif);
}

TEST_P(Journal, AKeyWrittenAgainUnderAnySpellingIsReportedOnceWithItsLastValue) {
  const bool effetsConnus = GetParam();
  journal::Demarrer(journal::Mode::Reel);
  for (const Ecriture& e : ecritures) journal::Ecrit(fichier, e.section, e.cle, e.valeur, effetsConnus ? e.effet : E::Unknown);
  const journal::Rapport& r = journal::RapportEnCours();
  ASSERT_EQ(r.fichiers.size(), 1u);
  const std::vector<journal::CleAjoutee>& a = r.fichiers[0].ajoutees;
  ASSERT_EQ(a.size(), 4u);
  const std::vector<std::vector<std::string>> attendues = {
      {"Été", "Clé", "4"}, {"Été", "Clef", "3"}, {"Autre", "Clé", "5"},
      {"Section_Longue_De_Plus_De_Huit", "Une_Cle_Longue_Aussi", "7"}};
  for (size_t i = 0; i < a.size(); ++i)
    EXPECT_EQ((std::vector<std::string>{a[i].section, a[i].cle, a[i].valeur}), attendues[i]) << i;
  EXPECT_TRUE(r.fichiers[0].cree);
  journal::Demarrer(journal::Mode::Inactif);
}

// restore takes a run's backups as one set by their key: a run that crosses a
// second must still give all its files the key of its first backup.
TEST(Sauvegardes, ARunsBackupsShareOneKeyEvenAcrossASecond) {
  char ici[4096];
  ASSERT_NE(::getcwd(ici, sizeof ici), nullptr);
  const std::string a = std::string(ici) + "/a.ini", b = std::string(ici) + "/b.ini";
  for (const std::string& f : {a, b}) std::ofstream(f) << "[S]\r\nK=0\r\n";
  journal::Demarrer(journal::Mode::Reel, true);
  bool change = false;
  std::string refus;
  ASSERT_TRUE(journal::AvantEcriture(a, "S", "K", "1", &change, &refus)) << refus;
  for (const std::time_t t = std::time(nullptr); std::time(nullptr) == t;) ::usleep(10000);
  ASSERT_TRUE(journal::AvantEcriture(b, "S", "K", "1", &change, &refus)) << refus;
  const journal::Rapport& r = journal::RapportEnCours();
  ASSERT_EQ(r.fichiers.size(), 2u);
  const auto cle = [](const journal::Fichier& f, const std::string& nom) { return f.sauvegarde.substr(nom.size()); };
  EXPECT_FALSE(r.fichiers[0].sauvegarde.empty());
  EXPECT_EQ(cle(r.fichiers[0], a), cle(r.fichiers[1], b));
  journal::Demarrer(journal::Mode::Inactif);
}

INSTANTIATE_TEST_SUITE_P(EffetsDuSysteme, Journal, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& i) { return i.param ? "Connus" : "Inconnus"; });

}  // namespace
