// Whole command lines, as a script or a technician types them.
#include "app/ligne_de_commande.h"

#include <gtest/gtest.h>

namespace {

using app::Mode;

app::Analyse analyser(std::vector<std::string> args) { return app::AnalyserLigne(args); }

TEST(LigneDeCommande, SilentModeKeepsFieldsAndActionsInOrder) {
  auto a = analyser({"--silent", "--root", "/srv/site", "--radio=Radio Été", "--station", "2=Sud", "--folder",
                     "1=D:\\Param\\Config\\", "--station=1=", "general", "folders", "general", "--verbose"});
  ASSERT_EQ(a.erreur, "");
  EXPECT_EQ(a.commande.mode, Mode::Silencieux);
  EXPECT_EQ(a.commande.root, "/srv/site");
  EXPECT_TRUE(a.commande.verbeux);
  EXPECT_EQ(a.commande.actions, (std::vector<int>{2, 0, 2}));
  ASSERT_EQ(a.commande.champs.size(), 4u);
  EXPECT_EQ(a.commande.champs[0], (std::pair<std::string, std::string>{"radio", "Radio Été"}));
  EXPECT_EQ(a.commande.champs[1], (std::pair<std::string, std::string>{"station 2", "Sud"}));
  EXPECT_EQ(a.commande.champs[2], (std::pair<std::string, std::string>{"folder 1", "D:\\Param\\Config\\"}));
  EXPECT_EQ(a.commande.champs[3], (std::pair<std::string, std::string>{"station 1", ""})) << "empties the station";
}

TEST(LigneDeCommande, ProfileAccessForScripts) {
  auto get = analyser({"--root", "/p", "ini", "get", "C:\\a.ini", "S", "K"});
  ASSERT_EQ(get.erreur, "");
  EXPECT_EQ(get.commande.mode, Mode::IniGet);
  EXPECT_EQ(get.commande.ini, (std::vector<std::string>{"C:\\a.ini", "S", "K"}));
  auto set = analyser({"ini", "set", "/tmp/a.ini", "S", "K", "--not-an-option"});
  ASSERT_EQ(set.erreur, "");
  EXPECT_EQ(set.commande.mode, Mode::IniSet);
  EXPECT_EQ(set.commande.ini.back(), "--not-an-option") << "a value may look like an option";
  EXPECT_EQ(analyser({}).commande.mode, Mode::Fenetre);
  EXPECT_EQ(analyser({"--app-dir", "D:\\Ilvane"}).commande.mode, Mode::Fenetre);
}

TEST(LigneDeCommande, ReportOptionsAndDeletion) {
  auto a = analyser({"--silent", "--check", "--diff", "--backup", "--json", "general"});
  ASSERT_EQ(a.erreur, "");
  EXPECT_TRUE(a.commande.verification && a.commande.diff && a.commande.sauvegarde && a.commande.json);
  EXPECT_FALSE(analyser({"--silent", "general"}).commande.verification);
  auto key = analyser({"ini", "del", "C:\\a.ini", "S", "K"});
  EXPECT_EQ(key.commande.mode, Mode::IniDel);
  EXPECT_EQ(key.commande.ini, (std::vector<std::string>{"C:\\a.ini", "S", "K"}));
  EXPECT_EQ(analyser({"ini", "del", "C:\\a.ini", "S"}).commande.ini.size(), 2u) << "the whole section";
  EXPECT_EQ(analyser({"/?"}).commande.mode, Mode::Aide);
  EXPECT_EQ(analyser({"ini", "get", "/?", "S", "K"}).commande.mode, Mode::IniGet) << "only first";
}

TEST(LigneDeCommande, IntegratorsOptions) {
  const struct {
    std::vector<std::string> args;
    Mode mode;
  } bons[] = {
      {{"--silent", "--check", "--detailed-exitcode", "general"}, Mode::Silencieux},
      {{"/SILENT", "--backup", "--backup-keep", "3", "general"}, Mode::Silencieux},
      {{"--silent", "--log", "/tmp/x.log", "general"}, Mode::Silencieux},
      {{"--silent", "--force", "restore", "20261209-041500"}, Mode::Restore},
      {{"ini", "set", "--check", "--diff", "C:\\a.ini", "S", "K", "V", "--json"}, Mode::IniSet},
      {{"ini", "merge", "--missing-only", "C:\\a.ini", "/tmp/fragment.ini", "--backup"}, Mode::IniMerge},
      {{"--json", "ini", "list", "C:\\a.ini"}, Mode::IniList},
      {{"ini", "list", "C:\\a.ini", "S"}, Mode::IniList},
  };
  for (const auto& b : bons) {
    const auto a = analyser(b.args);
    EXPECT_EQ(a.erreur, "") << b.args[0] << " " << b.args[1];
    EXPECT_EQ(a.commande.mode, b.mode) << b.args[0] << " " << b.args[1];
  }
  const auto merge = analyser({"ini", "merge", "--missing-only", "C:\\a.ini", "/tmp/f.ini", "--backup"});
  EXPECT_TRUE(merge.commande.manquantesSeules && merge.commande.sauvegarde);
  EXPECT_EQ(merge.commande.ini, (std::vector<std::string>{"C:\\a.ini", "/tmp/f.ini"}));
  EXPECT_NE(analyser({"ini", "get", "C:Kelvaro", "S", "K"}).erreur.find("mettez le chemin entre apostrophes"),
            std::string::npos);
}

TEST(LigneDeCommande, MistakesGetAFrenchExplanation) {
  const std::vector<std::vector<std::string>> fautes = {
      {"--silent", "--station", "6=X", "general"},
      {"--silent", "--station", "0=X"},
      {"--silent", "--station", "X"},
      {"--silent", "--folder", "6=C:\\"},
      {"--silent", "--folder=a=C:\\"},
      {"--silent", "install"},
      {"--silent", "--radio"},
      {"--frobnicate"},
      {"general"},
      {"--radio", "X"},
      {"ini", "get", "C:\\a.ini", "S"},
      {"ini", "set", "C:\\a.ini", "S", "K"},
      {"ini", "delete", "C:\\a.ini", "S", "K"},
      {"--silent", "ini", "get", "C:\\a.ini", "S", "K"},
      // What Windows could not read, refused before anything runs.
      {"--silent", "--radio", "X"},
      {"--silent", "--root", "", "general"},
      {"--silent", "--folder", "1=/srv/site/Config/", "general"},
      {"--silent", "--folder", "1=Config\\", "general"},
      {"--silent", "--app-dir", "App\\", "general"},
      {"--silent", "--folder", "5=C:\\NUL\\COM1\\", "general"},
      {"--silent", "--folder", "5=C:\\x\\aux.txt", "general"},
      {"--silent", "--folder", "4=C:\\\xE4\xB8\xAD\\", "general"},
      {"--silent", "--station", "1=\xFF", "general"},
      {"--silent", "--folder", "4=C:\\" + std::string(300, 'a'), "general"},
      // The report's options belong to the silent mode.
      {"--check"},
      {"--json", "general"},
      {"--backup", "ini", "get", "C:\\a.ini", "S", "K"},
      {"ini", "list", "C:\\a.ini", "--check"},
      {"--silent", "--detailed-exitcode", "general"},
      {"--silent", "--missing-only", "general"},
      {"--silent", "--backup-keep", "0", "general"},
      {"--silent", "--force", "general"},
      {"--silent", "restore", "a", "b"},
      {"ini", "merge", "C:\\a.ini"},
      // What a POSIX shell makes of an unquoted Windows path.
      {"ini", "get", "C:KelvaroIlvaneConfigKv_Sys.ini", "S", "K"},
      {"--silent", "--folder", "1=C:KelvaroIlvaneConfig", "general"},
      {"ini", "del", "C:\\a.ini"},
      {"ini", "del", "C:\\a.ini", "S", "K", "V"},
  };
  for (const auto& f : fautes) {
    auto a = analyser(f);
    EXPECT_NE(a.erreur, "") << f.size() << " " << f[0] << " " << (f.size() > 1 ? f[1] : "");
  }
  // Blank folders keep their meaning (an empty field); network paths are absolute.
  for (const char* bon : {"1=", "1=   ", "4=\\\\srv\\share\\Sons\\", "4=c:\\Sons"})
    EXPECT_EQ(analyser({"--silent", "--folder", bon, "folders"}).erreur, "") << bon;
}

TEST(LigneDeCommande, ALinuxPathGetsAHintThatHoldsOnItsSystem) {
  const std::string erreur = analyser({"--silent", "--folder", "1=/srv/site/Config/", "general"}).erreur;
#ifdef _WIN32
  // The Windows build has no --root: its hint must not send anyone there.
  EXPECT_EQ(erreur.find("--root"), std::string::npos) << erreur;
  EXPECT_NE(erreur.find("lettre de lecteur"), std::string::npos) << erreur;
#else
  EXPECT_NE(erreur.find("C: est --root/drive_c"), std::string::npos) << erreur;
#endif
}

}  // namespace
