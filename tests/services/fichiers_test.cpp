// Single-file services, the Windows folder and the version class.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/erreurs.h"
#include "platform/platform.h"
#include "services/lib_systeme.h"
#include "support/sandbox.h"

namespace fs = std::filesystem;

namespace {

class Fichiers : public ::testing::Test {
 protected:
  void SetUp() override {
    DefinirCrochetsRapporteur({nullptr, [this] { ++rapports; }});
    fs::create_directories(fs::path(s.Host()) / "Mes Sons");
    s.Write(W("Mes Sons\\a.ini"), "[S]\r\nK=V\r\n");
    s.Write(W("vide.ini"), "");
  }
  void TearDown() override { ResetServices(); }
  std::string W(const std::string& rel) const { return s.Win() + rel; }

  Sandbox s;
  int rapports = 0;
};

TEST_F(Fichiers, FileExist) {
  const struct {
    std::string chemin;
    bool nonVide;
    bool existe;
  } cas[] = {
      {"", false, false},
      {"   ", false, false},
      {W("Mes Sons\\a.ini"), true, true},
      {"  " + W("Mes Sons\\a.ini") + "  ", true, true},
      // Blanks typed before the dot are dropped for the first attempt.
      {W("Mes Sons\\a .ini"), true, true},
      {W("Mes Sons\\a   .ini"), true, true},
      {W("Mes Sons\\b.ini"), false, false},
      {W("vide.ini"), false, true},
      {W("vide.ini"), true, false},
      {W("Mes Sons"), false, true},
      {W("Mes Sons\\*.ini"), true, true},
      {W("Mes Sons\\*.wav"), false, false},
      {"Q:\\a.ini", false, false},
  };
  for (const auto& c : cas) EXPECT_EQ(File_Exist(c.chemin, c.nonVide), c.existe) << "[" << c.chemin << "] " << c.nonVide;
  EXPECT_EQ(rapports, 0);
}

TEST_F(Fichiers, FileExistRetriesWithTheNameAsTyped) {
  s.Write(W("Mes Sons\\c .ini"), "x");
  EXPECT_TRUE(File_Exist(W("Mes Sons\\c .ini"), true));
}

TEST_F(Fichiers, TailleDuFichier) {
  EXPECT_EQ(TailleDuFichier(W("Mes Sons\\a.ini")), 10);
  EXPECT_EQ(TailleDuFichier(W("vide.ini")), 0);
  EXPECT_EQ(TailleDuFichier(W("absent.ini")), -1);
  EXPECT_EQ(TailleDuFichier(W("Mes Sons")), -1);
  EXPECT_EQ(rapports, 0);
}

TEST_F(Fichiers, FileRemoveFlagClearsOnlyTheChosenBits) {
  const std::string f = W("Mes Sons\\a.ini");
  s.SetReadOnly(f, true);
  ASSERT_EQ(platform::GetAttributes(f), 33u);
  File_RemoveFlag(f, 2);  // not set: nothing to clear
  EXPECT_EQ(platform::GetAttributes(f), 33u);
  File_RemoveFlag(f, 1);
  EXPECT_EQ(platform::GetAttributes(f), 32u);
  File_RemoveFlag(f, 1);
  EXPECT_EQ(platform::GetAttributes(f), 32u);
  File_RemoveFlag(W("absent.ini"), 1);
  File_RemoveFlag("  ", 1);
  EXPECT_EQ(rapports, 0);
}

TEST_F(Fichiers, FileRemoveFlagLeavesAnEmptyFileAlone) {
  s.SetReadOnly(W("vide.ini"), true);
  File_RemoveFlag(W("vide.ini"), 1);
  EXPECT_EQ(platform::GetAttributes(W("vide.ini")), 33u);
}

TEST(Systeme, WindowsFolderHasNoTrailingBackslash) {
  Sandbox s;
  const std::string w = GetWinDir();
  ASSERT_FALSE(w.empty());
  EXPECT_NE(w.back(), '\\');
#ifndef _WIN32
  EXPECT_EQ(w, "C:\\windows");
#endif
}

#ifndef _WIN32
TEST(Systeme, LinuxIsNoWindowsVersion) {
  Sandbox s;
  GetOSDisplayString();
  EXPECT_EQ(VersionOS, 0);
}
#endif

}  // namespace
