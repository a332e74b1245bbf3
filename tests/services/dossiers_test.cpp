// Folder creation and the cached folder test, with their per-run caches.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/erreurs.h"
#include "services/lib_systeme.h"
#include "services/texte.h"
#include "support/sandbox.h"

namespace fs = std::filesystem;

namespace {

class Dossiers : public ::testing::Test {
 protected:
  void SetUp() override { DefinirCrochetsRapporteur({nullptr, [this] { ++rapports; }}); }
  void TearDown() override { ResetServices(); }

  std::string W(const std::string& rel) const { return s.Win() + rel; }
  fs::path H(const std::string& rel) const { return fs::path(s.Host()) / rel; }

  Sandbox s;
  int rapports = 0;
};

TEST_F(Dossiers, CreatesEveryMissingLevelTopDown) {
  VerificationEtCreationRepertoire(W("A\\B\\C"));
  EXPECT_TRUE(fs::is_directory(H("A/B/C")));
  EXPECT_EQ(CacheDossiers.DossiersExistants,
            "," + W("") + "," + W("A\\") + "," + W("A\\B\\") + "," + W("A\\B\\C\\") + ",");
  EXPECT_EQ(CacheDossiers.DernierDossier, W("A\\B\\C\\"));
  EXPECT_EQ(CacheDossiers.DossiersEnEchec, "");
  EXPECT_EQ(rapports, 0);
}

TEST_F(Dossiers, CleansTheTypedPathBeforeWalking) {
  VerificationEtCreationRepertoire("  " + W("Mes/Sons :x \\"));
  EXPECT_TRUE(fs::is_directory(H("Mes Sons  x")));
  EXPECT_EQ(CacheDossiers.DernierDossier, W("Mes Sons  x\\"));
}

TEST_F(Dossiers, AKnownFolderIsNotWalkedAgain) {
  VerificationEtCreationRepertoire(W("Data\\Sons\\"));
  const CacheDossiersType avant = CacheDossiers;
  // Listed, compared without regard to case, and as a substring of a longer entry.
  for (const std::string& p : {W("Data\\Sons\\"), W("DATA\\sons"), W("data\\")}) {
    VerificationEtCreationRepertoire(p);
    EXPECT_EQ(CacheDossiers.DossiersExistants, avant.DossiersExistants) << p;
  }
}

TEST_F(Dossiers, AListedFolderDeletedMeanwhileIsCreatedAgain) {
  VerificationEtCreationRepertoire(W("Data\\Sons\\"));
  fs::remove_all(H("Data"));
  VerificationEtCreationRepertoire(W("Data\\Sons\\"));  // also the last folder walked
  EXPECT_TRUE(fs::is_directory(H("Data/Sons")));
  fs::remove_all(H("Data"));
  VerificationEtCreationRepertoire(W("Data\\"));  // listed only
  EXPECT_TRUE(fs::is_directory(H("Data")));
}

TEST_F(Dossiers, AFailedFolderIsCreatedOnceTheCauseIsGone) {
  s.Write(W("f"), "in the way");
  VerificationEtCreationRepertoire(W("f\\sub\\"));
  EXPECT_EQ(CacheDossiers.DossiersEnEchec, W("f\\") + ",");
  EXPECT_FALSE(fs::is_directory(H("f/sub")));
  EXPECT_EQ(rapports, 0);  // access errors are the walk's own business

  fs::remove(H("f"));
  VerificationEtCreationRepertoire(W("f\\sub\\"));
  EXPECT_TRUE(fs::is_directory(H("f/sub")));
  EXPECT_EQ(CacheDossiers.DossiersEnEchec, W("f\\") + ",");
}

TEST_F(Dossiers, AFailedPrefixStopsTheWalkOnlyTheFirstTime) {
  VerificationEtCreationRepertoire("Q:\\A\\B\\");
  EXPECT_EQ(CacheDossiers.DossiersEnEchec, "Q:\\A\\,");
  EXPECT_EQ(CacheDossiers.DossiersExistants, ",");
  EXPECT_EQ(CacheDossiers.DernierDossier, "Q:\\A\\B\\");

  VerificationEtCreationRepertoire("Q:\\A\\C\\");
  EXPECT_EQ(CacheDossiers.DossiersEnEchec, "Q:\\A\\,Q:\\A\\C\\,");
  // Administrative shares never stop a walk nor get listed.
  VerificationEtCreationRepertoire("Q:\\adm$\\x\\");
  EXPECT_EQ(CacheDossiers.DossiersEnEchec, "Q:\\A\\,Q:\\A\\C\\,");
  EXPECT_EQ(rapports, 0);
}

TEST_F(Dossiers, NothingHappensForEmptyTextOrADriveRoot) {
  for (const std::string& p : {std::string(), std::string("   "), std::string("*?|/")}) {
    VerificationEtCreationRepertoire(p);
    EXPECT_EQ(CacheDossiers.DossiersExistants, "") << p;
    EXPECT_EQ(CacheDossiers.DernierDossier, "") << p;
  }
  VerificationEtCreationRepertoire("C:\\");
  EXPECT_EQ(CacheDossiers.DossiersExistants, ",");
  EXPECT_EQ(CacheDossiers.DossiersEnEchec, "");
  EXPECT_EQ(CacheDossiers.DernierDossier, "C:\\");
}

#ifndef _WIN32
TEST_F(Dossiers, TheServerOfANetworkPathIsSkipped) {
  fs::create_directories(fs::path(s.Prefix()) / "dosdevices/unc/srv/share");
  VerificationEtCreationRepertoire("\\\\srv\\share\\dir\\");
  EXPECT_TRUE(fs::is_directory(fs::path(s.Prefix()) / "dosdevices/unc/srv/share/dir"));
  EXPECT_EQ(CacheDossiers.DossiersExistants, ",\\\\srv\\share\\,\\\\srv\\share\\dir\\,");
}
#endif

TEST_F(Dossiers, FolderFoundIgnoresBlankPaths) {
  for (const std::string& p : {std::string(), std::string("   ")}) EXPECT_FALSE(FolderFound(p, false));
  EXPECT_EQ(CacheDossiers.DossiersTrouves, "");
  EXPECT_EQ(CacheDossiers.DossiersAbsents, "");
}

TEST_F(Dossiers, FolderFoundRemembersWhatItFoundForTheRun) {
  fs::create_directories(H("Data/Sons"));
  EXPECT_TRUE(FolderFound(W("Data\\Sons\\"), false));
  EXPECT_EQ(CacheDossiers.DossiersTrouves, W("Data\\Sons\\") + ",,");
  // Listed without regard to case; the list does not grow.
  EXPECT_TRUE(FolderFound(W("data\\SONS\\"), false));
  EXPECT_EQ(CacheDossiers.DossiersTrouves, W("Data\\Sons\\") + ",,");
  // A found folder deleted meanwhile is not taken for present: it is created again.
  fs::remove_all(H("Data"));
  EXPECT_TRUE(FolderFound(W("Data\\Sons\\"), false));
  EXPECT_TRUE(fs::is_directory(H("Data/Sons")));
  EXPECT_EQ(CacheDossiers.DossiersTrouves, W("Data\\Sons\\") + ",,");
  EXPECT_EQ(rapports, 0);
}

TEST_F(Dossiers, TheCachesFoldTheCaseOfAccentedLettersToo) {
  VerificationEtCreationRepertoire("Q:\\\xC3\x89lan\\");  // Q:\Élan\ fails: no drive Q:
  VerificationEtCreationRepertoire("Q:\\\xC3\xA9lan\\");  // Q:\élan\ is the same folder
  EXPECT_EQ(CacheDossiers.DossiersEnEchec, "Q:\\\xC3\x89lan\\,");
  EXPECT_FALSE(FolderFound("Q:\\\xC3\x89lan\\Sub\\", false));
  const std::string absents = CacheDossiers.DossiersAbsents;
  EXPECT_FALSE(FolderFound("Q:\\\xC3\xA9LAN\\", false));  // answered from the list
  EXPECT_EQ(CacheDossiers.DossiersAbsents, absents);
}

TEST_F(Dossiers, FolderFoundCreatesAMissingFolder) {
  EXPECT_TRUE(FolderFound(W("Neuf\\Sous"), false));
  EXPECT_TRUE(fs::is_directory(H("Neuf/Sous")));
  EXPECT_EQ(CacheDossiers.DossiersTrouves, W("Neuf\\Sous") + ",,");
}

TEST_F(Dossiers, FolderFoundRemembersWhatItCouldNotFind) {
  EXPECT_FALSE(FolderFound("Q:\\Base\\Sub\\", false));  // a missing drive is no error
  EXPECT_EQ(CacheDossiers.DossiersAbsents, "Q:\\Base\\Sub\\,,");
  s.Write(W("f"), "x");
  EXPECT_FALSE(FolderFound(W("f\\g\\"), false));
  EXPECT_EQ(CacheDossiers.DossiersAbsents, "Q:\\Base\\Sub\\,," + W("f\\g\\") + ",,");
  // Answered from the list even once the folder can exist.
  fs::remove(H("f"));
  fs::create_directories(H("f/g"));
  EXPECT_FALSE(FolderFound(W("F\\"), false));
  EXPECT_EQ(rapports, 0);
  EXPECT_EQ(CacheDossiers.DossiersTrouves, "");
}

TEST(ContientSansCasse, FoldsTheLettersOfTheWindowsCodePage) {
  const struct {
    const char *texte, *motif;
    bool contient;
  } cas[] = {
      {"C:\\Data\\,,", "c:\\DATA", true},
      {"C:\\\xC3\x89lan\\,,", "c:\\\xC3\xA9LAN", true},             // É é
      {"\xC3\x80 \xC3\x87" "a \xC3\x9E", "\xC3\xA0 \xC3\xA7" "A \xC3\xBE", true},  // À Ç Þ
      {"\xC5\x92uvre \xC5\xA0 \xC5\xBD \xC5\xB8", "\xC5\x93UVRE \xC5\xA1 \xC5\xBE \xC3\xBF", true},  // Œ Š Ž Ÿ
      {"\xC3\x97", "\xC3\xB7", false},  // × and ÷ are no letters
      {"\xC3\x9F", "SS", false},          // ß has no capital of its own
      {"Elan", "\xC3\xA9lan", false},     // accents still count
  };
  for (const auto& c : cas) EXPECT_EQ(ContientSansCasse(c.texte, c.motif), c.contient) << c.texte << " / " << c.motif;
}

TEST(DossierPresent, ListsFoldersFilesAndPatterns) {
  Sandbox s;
  fs::create_directories(fs::path(s.Host()) / "Sons");
  s.Write(s.Win() + "a.ini", "");
  const struct {
    std::string chemin;
    bool present;
  } cas[] = {
      {s.Win() + "Sons", true},   {s.Win() + "Sons\\", true}, {s.Win() + "sons\\", true},
      {s.Win() + "a.ini", true},  {s.Win() + "*.ini", true},  {s.Win() + "*.wav", false},
      {s.Win() + "Rien\\", false}, {"Q:\\", false},           {"", false},
  };
  for (const auto& c : cas) EXPECT_EQ(DossierPresent(c.chemin), c.present) << c.chemin;
}

}  // namespace
