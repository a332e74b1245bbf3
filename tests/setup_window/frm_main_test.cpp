// The window's behaviour through a recording view, on a sandboxed C: drive.
#include "setup_window/frm_main.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

#include "common/erreurs.h"
#include "platform/platform.h"
#include "services/lib_systeme.h"
#include "setup_window/vue_test.h"
#include "support/sandbox.h"

using fenetre::Nom;

namespace {

constexpr uint32_t kNormal = fenetre::VueMemoire::kFondNormal;

class FrmMainTest : public ::testing::Test {
 protected:
  void SetUp() override {
    vue.Relier(&frm);
    frm.Form_Initialize();
  }
  std::string texte(Nom n, int i = -1) const { return vue.Texte(n, i); }
  uint32_t fond(int i) const { return vue.CouleurFond(Nom::TexteDossier, i); }
  void dossier(int i, const std::string& t) { vue.DefinirTexte(Nom::TexteDossier, i, t); }
  // Every folder field inside the sandbox, the configuration folder a real "\Config".
  void dossiersDuBac() {
    const std::string b = box.Win();
    const char* noms[] = {"App\\", "Kelvaro\\Config\\", "Log\\", "Log\\Pub\\", "Sons\\", "Data\\"};
    for (int i = 0; i < 6; ++i) dossier(i, b + noms[i]);
  }
  std::string config() const { return box.Win() + "Kelvaro\\Config\\"; }
  std::vector<MessageVu> messages() {
    auto m = vue.messages;
    vue.messages.clear();
    return m;
  }

  Sandbox box;
  VueTest vue;
  fenetre::Frm_Main frm{vue};
};

TEST_F(FrmMainTest, FirstStartShowsTheBuiltInDefaults) {
  frm.Form_Load();
  EXPECT_EQ(texte(Nom::TexteNomRadio), "Nom de votre Radio");
  EXPECT_EQ(texte(Nom::TexteNomStation, 0), "Nom de la Station 1");
  for (int k = 1; k < 5; ++k) EXPECT_EQ(texte(Nom::TexteNomStation, k), "");
  EXPECT_EQ(texte(Nom::TexteCleGUID), "");
  const char* defauts[] = {"C:\\Kelvaro\\Ilvane\\", "C:\\Kelvaro\\Ilvane\\Config\\", "C:\\Journix\\",
                           "C:\\Journix\\Pub\\",   "C:\\IL_Sons\\Sons\\",          "C:\\IL_Data\\Data\\"};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(texte(Nom::TexteDossier, i), defauts[i]);
    EXPECT_EQ(fond(i), fenetre::kRouge) << "none of them exists in the sandbox";
  }
#ifndef _WIN32
  EXPECT_EQ(VersionOS, 0) << "not a Windows system";
#endif
  EXPECT_EQ(DossierApplication, box.Win() + "App\\");
  EXPECT_TRUE(vue.messages.empty());
}

TEST_F(FrmMainTest, StartUpLoadsWhatAnEarlierRunStored) {
  VerificationEtCreationRepertoire(box.Win() + "App\\Settings\\");
  VerificationEtCreationRepertoire(config());
  // The configuration folder stored without its trailing backslash.
  box.Write(box.Win() + "App\\Settings\\IL3_Config.ini",
            "[Site]\r\nLib=Radio \xC9t\xE9\r\nGUID=ABC-1\r\nDossier_Config_Global=" + config().substr(0, config().size() - 1) +
                "\r\n");
  box.Write(config() + "IL3_Systeme.ini",
            "[Base_01]\r\nDossier_Data=D:\\Datas\\\r\n[Base_01_Station_01]\r\nLib=Nord\r\n"
            "[Base_01_Station_03]\r\nLib=Sud\r\n[Dossiers_Sons_Mus]\r\n00=D:\\Media\\Sons\\Musique\\\r\n");
  box.Write(config() + "Kv_Sys.ini",
            "[Repertoires]\r\nREPPRG=D:\\Prog\\\r\nREPLOG=D:\\Log\\\r\nREPLOGPUB=D:\\Log\\Pub\\\r\n");
  frm.Form_Load();
  EXPECT_EQ(texte(Nom::TexteNomRadio), "Radio \xC3\x89t\xC3\xA9");
  EXPECT_EQ(texte(Nom::TexteCleGUID), "ABC-1");
  EXPECT_EQ(texte(Nom::TexteDossier, 1), config().substr(0, config().size() - 1));
  EXPECT_EQ(fond(1), kNormal);
  EXPECT_EQ(texte(Nom::TexteNomStation, 0), "Nord");
  EXPECT_EQ(texte(Nom::TexteNomStation, 1), "");
  EXPECT_EQ(texte(Nom::TexteNomStation, 2), "Sud");
  EXPECT_EQ(texte(Nom::TexteNomStation, 3), "");
  EXPECT_EQ(texte(Nom::TexteDossier, 4), "D:\\Media\\Sons\\");
  EXPECT_EQ(texte(Nom::TexteDossier, 5), "D:\\Datas\\");
  // The folder table of the general button gives back the other three folders.
  EXPECT_EQ(texte(Nom::TexteDossier, 0), "D:\\Prog\\");
  EXPECT_EQ(texte(Nom::TexteDossier, 2), "D:\\Log\\");
  EXPECT_EQ(texte(Nom::TexteDossier, 3), "D:\\Log\\Pub\\");
}

TEST_F(FrmMainTest, SoundsFolderIsTakenOnlyFromARealMusicMarker) {
  const struct {
    const char* stocke;
    const char* attendu;
  } cas[] = {
      {"D:\\Media\\Sons\\Musique\\", "D:\\Media\\Sons\\"},
      {"D:\\Media\\Sons\\musique\\", "C:\\IL_Sons\\Sons\\"},  // the marker is case-sensitive
      {"D:\\Media\\Sons\\", "C:\\IL_Sons\\Sons\\"},
      {"\\Musique\\x\\", "C:\\IL_Sons\\Sons\\"},  // at the very start: no folder before it
      {"\\Musique\\", "C:\\IL_Sons\\Sons\\"},
      // Only the final "Musique" is the marker: a sounds folder may hold one.
      {"C:\\Musique\\Sons\\Musique\\", "C:\\Musique\\Sons\\"},
      {"D:\\Media\\Sons\\Musique", "D:\\Media\\Sons\\"},
      {"D:\\Musique\\Rock\\", "C:\\IL_Sons\\Sons\\"},
      {"D:\\Sons\\Musique\\\\", "C:\\IL_Sons\\Sons\\"},
  };
  VerificationEtCreationRepertoire(box.Win() + "App\\Settings\\");
  VerificationEtCreationRepertoire(config());
  box.Write(box.Win() + "App\\Settings\\IL3_Config.ini", "[Site]\r\nDossier_Config_Global=" + config() + "\r\n");
  for (const auto& c : cas) {
    box.Write(config() + "IL3_Systeme.ini", std::string("[Dossiers_Sons_Mus]\r\n00=") + c.stocke + "\r\n");
    VueTest v;
    fenetre::Frm_Main f(v);
    v.Relier(&f);
    f.Form_Load();
    EXPECT_EQ(v.Texte(Nom::TexteDossier, 4), c.attendu) << c.stocke;
  }
}

TEST_F(FrmMainTest, FolderFieldTurnsRedUntilTheTypedPathExists) {
  VerificationEtCreationRepertoire(box.Win() + "Sons\\");
  const std::string cible = box.Win() + "Sons\\";
  std::string tape;
  for (char c : cible) {
    tape += c;
    dossier(4, tape);
    const bool complet = tape == cible || tape == cible.substr(0, cible.size() - 1) || tape == "C:" || tape == "C:\\" ||
                         tape == box.Win() || tape == box.Win().substr(0, box.Win().size() - 1);
    EXPECT_EQ(fond(4), complet ? kNormal : fenetre::kRouge) << tape;
  }
  dossier(4, cible + "x");
  EXPECT_EQ(fond(4), fenetre::kRouge);
  // Blanks alone would list the current folder; they name none.
  for (const char* vide : {"   ", "", " "}) {
    dossier(4, cible);
    dossier(4, vide);
    EXPECT_EQ(fond(4), fenetre::kRouge) << "[" << vide << "]";
  }
}

// The tooltip goes with the colour: a red field says why, a normal one says nothing.
TEST_F(FrmMainTest, RedFolderFieldSaysWhyInItsTooltip) {
  VerificationEtCreationRepertoire(box.Win() + "Sons\\");
  const std::string absent = "Ce dossier n'existe pas.";
  const std::string inutilisable = absent + "\r\nCe texte n'est pas un chemin de dossier utilisable: ";
  const struct {
    std::string texte;
    std::string bulle;
  } cas[] = {
      {box.Win() + "Sons\\", ""},
      {box.Win() + "Absent\\", absent},
      {"\\\\serveur\\partage\\", absent},
      {"  ", inutilisable + "le champ est vide."},
      {"Relatif\\", inutilisable + "ce n'est pas un chemin absolu (C:\\... ou \\\\serveur\\partage\\...)."},
      {"C:\\Son|s\\", inutilisable + "caract\xC3\xA8re interdit par Windows dans un chemin: \xC2\xAB | \xC2\xBB."},
      {"C:\\AUX\\", inutilisable + "\xC2\xAB AUX \xC2\xBB est un nom de p\xC3\xA9riph\xC3\xA9rique sous Windows."},
      {box.Win() + "Sons\\", ""},  // back to normal: the tooltip goes
  };
  for (const auto& c : cas) {
    dossier(4, c.texte);
    EXPECT_EQ(vue.InfoBulle(Nom::TexteDossier, 4), c.bulle) << c.texte;
    EXPECT_EQ(fond(4) == fenetre::kRouge, !c.bulle.empty()) << c.texte;
  }
  EXPECT_EQ(vue.InfoBulle(Nom::TexteNomRadio, -1), "");
}

TEST_F(FrmMainTest, CreateButtonCreatesMissingLevelsAndRefusesExistingFolders) {
  dossier(2, "   ");
  frm.CommandDossierCreer_Click(2);
  EXPECT_TRUE(vue.messages.empty());

  const std::string profond = box.Win() + "Un\\Deux\\";
  dossier(2, profond);
  EXPECT_EQ(fond(2), fenetre::kRouge);
  frm.CommandDossierCreer_Click(2);
  EXPECT_TRUE(DossierPresent(profond));
  EXPECT_EQ(fond(2), kNormal);
  EXPECT_TRUE(vue.messages.empty());

  frm.CommandDossierCreer_Click(2);
  ASSERT_EQ(vue.messages.size(), 1u);
  EXPECT_EQ(vue.messages[0].texte, "Le dossier existe d\xC3\xA9j\xC3\xA0:\r\n\r\n" + profond);
  EXPECT_EQ(vue.messages[0].style, 48);
}

TEST_F(FrmMainTest, BrowseButtonFollowsThePickerRules) {
  VerificationEtCreationRepertoire(box.Win() + "Choisi\\");
  dossier(4, box.Win() + "Sons\\Pub");
  vue.reponses = {box.Win() + "Choisi", std::nullopt, box.Win() + "Nouveau\\Dossier"};

  frm.CommandDossier_Click(4);
  EXPECT_EQ(vue.titres.back(), "S\xC3\xA9lectionnez un dossier: ");
  EXPECT_EQ(vue.departs.back(), box.Win() + "Sons\\") << "a path without trailing backslash opens on its parent";
  EXPECT_EQ(texte(Nom::TexteDossier, 4), box.Win() + "Choisi\\");
  EXPECT_EQ(fond(4), kNormal);

  frm.CommandDossier_Click(4);  // cancelled
  EXPECT_EQ(texte(Nom::TexteDossier, 4), box.Win() + "Choisi\\");
  EXPECT_EQ(vue.departs.back(), box.Win() + "Choisi\\");

  frm.CommandDossier_Click(4);  // a folder that does not exist yet is created
  EXPECT_EQ(texte(Nom::TexteDossier, 4), box.Win() + "Nouveau\\Dossier\\");
  EXPECT_TRUE(DossierPresent(box.Win() + "Nouveau\\Dossier\\"));

  // Chosen again once deleted: created again, not taken for present from the first answer.
  std::filesystem::remove_all(std::filesystem::path(box.Host()) / "Choisi");
  vue.reponses = {box.Win() + "Choisi"};
  frm.CommandDossier_Click(4);
  EXPECT_TRUE(DossierPresent(box.Win() + "Choisi\\"));
  EXPECT_EQ(fond(4), kNormal);

  dossier(3, "");
  frm.CommandDossier_Click(3);
  EXPECT_EQ(vue.departs.back(), DossierApplication) << "an empty field opens on the program's folder";
}

TEST_F(FrmMainTest, QuitClosesTheWindow) {
  frm.CommandQuitter_Click();
  EXPECT_TRUE(vue.Ferme());
}

TEST_F(FrmMainTest, ConfigurationFolderWithoutConfigWarnsOnEveryButton) {
  // These land on C: itself: the sandbox's C: on Linux; under Windows the test
  // prefix's C:, where they are removed afterwards.
  const char* horsDuBac[] = {"C:\\Config", "C:\\radio"};
  bool libres[2];
  for (int k = 0; k < 2; ++k) libres[k] = !DossierPresent(horsDuBac[k]);
  dossiersDuBac();
  for (const char* config : {"D:\\Param", "c:\\radio\\config\\", "\\Config\\"}) {
    for (int16_t index = 0; index < 3; ++index) {
      dossier(1, config);
      frm.CommandCreerSettings_Click(index);
      auto m = messages();
      ASSERT_FALSE(m.empty());
      EXPECT_EQ(m[0].texte, "Le dossier Config ne poss\xC3\xA8" "de pas de sous-dossier \\Config") << config;
      EXPECT_EQ(m[0].style, 48);
    }
  }
  EXPECT_TRUE(box.Exists(box.Win() + "App")) << "the other folders stay in the sandbox";
#ifdef _WIN32
  for (int k = 0; k < 2; ++k)
    if (libres[k]) std::filesystem::remove_all(horsDuBac[k]);
#else
  (void)libres;
#endif
}

TEST_F(FrmMainTest, MissingOrBlankConfigurationFolderStopsBothSettingsButtons) {
  // A pattern that matches a folder, or the name of a file, is no folder to write into either.
  VerificationEtCreationRepertoire(config());
  box.Write(config() + "Kv_Sys.ini", "[S]\r\nK=1\r\n");
  const std::string fichierAvant = box.Read(config() + "Kv_Sys.ini");
  const std::string kelvaro = box.Win() + "Kelvaro\\";
  for (const std::string& config :
       {box.Win() + "Absent\\Config\\", std::string("   "), std::string(), kelvaro + "Conf*", kelvaro + "Conf?g\\",
        kelvaro + "Config\\Kv_Sys.ini"}) {
    for (int16_t index : {1, 2}) {
      dossier(1, config);
      frm.CommandCreerSettings_Click(index);
      auto m = messages();
      ASSERT_FALSE(m.empty());
      // A folder simply not made yet is followed by what to do first; the others are no folder to make.
      const std::string suite = config == box.Win() + "Absent\\Config\\"
                                    ? "\r\n\r\nCr\xC3\xA9" "ez-le d'abord avec \xC2\xAB Cr\xC3\xA9" "er les dossiers \xC2\xBB."
                                    : "";
      EXPECT_EQ(m.back().texte, "Dossier de config non trouv\xC3\xA9:\r\n\r\n" + config + suite);
      EXPECT_EQ(m.back().style, 16);
      EXPECT_EQ(vue.Statut(), "");
    }
  }
  EXPECT_FALSE(box.Exists(box.Win() + "Absent"));
  EXPECT_FALSE(box.Exists(box.Win() + "App\\Settings")) << "no site file";
#ifndef _WIN32
  EXPECT_FALSE(std::filesystem::exists(box.Prefix() + "/drive_c/windows/win.ini")) << "no pointer";
#endif
  EXPECT_EQ(box.Read(config() + "Kv_Sys.ini"), fichierAvant);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(std::filesystem::path(box.Host()) / "Kelvaro" / "Config"),
                          std::filesystem::directory_iterator()),
            1);
  EXPECT_TRUE(frm.EchecSignale());
}

TEST_F(FrmMainTest, FolderButtonCreatesTheMissingFoldersAndSaysSo) {
  dossiersDuBac();
  dossier(3, "  ");
  frm.CommandCreerSettings_Click(0);
  auto m = messages();
  ASSERT_EQ(m.size(), 1u);
  EXPECT_EQ(m[0].texte, "Dossiers cr\xC3\xA9\xC3\xA9s");
  EXPECT_EQ(m[0].style, 64);
  for (int i : {0, 1, 2, 4, 5}) {
    EXPECT_TRUE(DossierPresent(texte(Nom::TexteDossier, i))) << i;
    EXPECT_EQ(fond(i), kNormal);
  }
  EXPECT_EQ(vue.Statut(), "");
  EXPECT_NE(std::find(vue.statuts.begin(), vue.statuts.end(), box.Win() + "Log\\"), vue.statuts.end())
      << "each folder shows on the progress line before it is created";

  frm.CommandCreerSettings_Click(0);  // all present: still the same message
  m = messages();
  ASSERT_EQ(m.size(), 1u);
  EXPECT_EQ(m[0].style, 64);
  EXPECT_FALSE(frm.EchecSignale());
}

// Each folder the button could not make is listed with why, in French.
TEST_F(FrmMainTest, FolderButtonSaysWhyEachFolderIsMissing) {
  dossiersDuBac();
  box.Write(box.Win() + "Fichier", "x");
  const struct {
    int champ;
    std::string texte, raison;
  } cas[] = {
      {2, "Q:\\Absent\\", "(lecteur Q: introuvable)"},
      {3, box.Win() + "Fichier\\Sous\\", "(un fichier porte le nom " + box.Win() + "Fichier)"},
      {4, box.Win() + "a<b\\", "(caract\xC3\xA8re interdit"},
  };
  for (const auto& c : cas) dossier(c.champ, c.texte);
  frm.CommandCreerSettings_Click(0);
  const auto m = messages();
  ASSERT_EQ(m.size(), 1u);
  for (const auto& c : cas) EXPECT_NE(m[0].texte.find(c.texte + " " + c.raison), std::string::npos) << m[0].texte;
}

TEST_F(FrmMainTest, FolderButtonReportsFoldersThatCouldNotBeCreated) {
  dossiersDuBac();
  dossier(5, "Q:\\Absent\\");  // a drive that does not exist
  frm.CommandCreerSettings_Click(0);
  auto m = messages();
  ASSERT_EQ(m.size(), 1u);
  EXPECT_EQ(m[0].style, 48);
  EXPECT_EQ(m[0].texte.rfind("Dossiers cr\xC3\xA9\xC3\xA9s", 0), 0u);
  EXPECT_NE(m[0].texte.find("Q:\\Absent\\"), std::string::npos);
  EXPECT_EQ(fond(5), fenetre::kRouge);
  EXPECT_TRUE(frm.EchecSignale());
}

TEST_F(FrmMainTest, GeneralButtonCountsStationsBeforeTheFirstEmptyField) {
  dossiersDuBac();
  frm.CommandCreerSettings_Click(0);
  vue.DefinirTexte(Nom::TexteNomStation, 0, "A");
  vue.DefinirTexte(Nom::TexteNomStation, 1, "");
  vue.DefinirTexte(Nom::TexteNomStation, 2, "C");
  messages();
  vue.reponsesQuestions = {true};
  frm.CommandCreerSettings_Click(2);
  ASSERT_EQ(vue.questions.size(), 1u);
  EXPECT_EQ(vue.questions[0].texte, "La station 2 est vide: les stations 3 \xC3\xA0 5 ne seront pas cr\xC3\xA9\xC3\xA9" "es.");
  EXPECT_EQ(vue.questions[0].boutons, fenetre::Boutons::OkAnnuler);
  auto m = messages();
  ASSERT_EQ(m.size(), 1u);
  EXPECT_EQ(m[0].texte, "Param\xC3\xA9trage cr\xC3\xA9\xC3\xA9 ou MAJ");
  EXPECT_EQ(m[0].style, 64);
  EXPECT_EQ(vue.Statut(), "");
  // How far the run is, file by file, and nothing once it is over.
  EXPECT_EQ(vue.avancements, (std::vector<std::string>{"Fichier 1 sur 4: Kv_Sys.ini", "Fichier 2 sur 4: IL3_Systeme.ini",
                                                         "Fichier 3 sur 4: KV_Mus.ini", "Fichier 4 sur 4: KV_Pub.ini", ""}));
  const std::string kvSys = box.Read(config() + "Kv_Sys.ini");
  EXPECT_NE(kvSys.find("Station_001=A\r\n"), std::string::npos);
  EXPECT_EQ(kvSys.find("Station_002"), std::string::npos);
  EXPECT_EQ(kvSys.find("Station_003"), std::string::npos);
  EXPECT_NE(kvSys.find("NB_MAX=1\r\n"), std::string::npos);
  // The parent of "\Config" carries the shared folders.
  EXPECT_NE(kvSys.find("REPGRAPHIC=" + box.Win() + "Kelvaro\\Graph\\\r\n"), std::string::npos);
}

TEST_F(FrmMainTest, GeneralButtonTellsWhichFileCouldNotBeWritten) {
  if (SousWine()) GTEST_SKIP() << "Wine writes read-only files for root; Windows does not";
  dossiersDuBac();
  frm.CommandCreerSettings_Click(0);
  // An empty read-only file keeps its flag, so none of its keys can be written.
  box.Write(config() + "KV_Pub.ini", "");
  box.SetReadOnly(config() + "KV_Pub.ini", true);
  messages();
  frm.CommandCreerSettings_Click(2);
  auto m = messages();
  ASSERT_EQ(m.size(), 1u);
  EXPECT_EQ(m[0].style, 48);
  EXPECT_EQ(m[0].texte.rfind("Param\xC3\xA9trage cr\xC3\xA9\xC3\xA9 ou MAJ", 0), 0u);
  EXPECT_NE(m[0].texte.find(config() + "KV_Pub.ini: 390 cl\xC3\xA9s non \xC3\xA9" "crites (fichier en lecture seule)"),
            std::string::npos)
      << m[0].texte;
  EXPECT_EQ(m[0].texte.find("KV_Mus.ini"), std::string::npos);
  EXPECT_EQ(box.Read(config() + "KV_Pub.ini"), "");
  EXPECT_TRUE(frm.EchecSignale());
}

TEST_F(FrmMainTest, StructuralButtonWritesTheSiteFileNextToTheProgram) {
  dossiersDuBac();
  frm.CommandCreerSettings_Click(0);
  vue.DefinirTexte(Nom::TexteNomRadio, -1, "Radio X");
  vue.DefinirTexte(Nom::TexteCleGUID, -1, "G-1");
#ifdef _WIN32
  VersionOS = 7;  // keep the machine's own Win.ini out of it
#endif
  messages();
  frm.CommandCreerSettings_Click(1);
  auto m = messages();
  ASSERT_EQ(m.size(), 1u);
  EXPECT_EQ(m[0].style, 64);
  EXPECT_EQ(box.Read(box.Win() + "App\\Settings\\IL3_Config.ini"),
            "[Site]\r\nLib=Radio X\r\nActif=1\r\nNbBase=1\r\nNoBase=1\r\nGUID=G-1\r\nDossier_Config_Global=" +
                config() + "\r\n[Base_01]\r\nDossier_Config_Global=" + config() + "\r\n");
#ifndef _WIN32
  EXPECT_NE(box.Read("C:\\windows\\Win.ini").find("[Kelvaro]\r\nINI_ILVANE=" + config()), std::string::npos);
#endif
}

TEST_F(FrmMainTest, SecondRunKeepsTunedValuesAndRestoresOnlyDeletedKeys) {
  dossiersDuBac();
  frm.CommandCreerSettings_Click(0);
  frm.CommandCreerSettings_Click(2);
  const std::string mus = config() + "KV_Mus.ini";
  std::string texteMus = box.Read(mus);
  auto remplacer = [&](const std::string& de, const std::string& par) {
    const size_t p = texteMus.find(de);
    ASSERT_NE(p, std::string::npos) << de;
    texteMus.replace(p, de.size(), par);
  };
  remplacer("Puissance_03=Normal\r\n", "Puissance_03=Fort\r\n; r\xE9glage du site\r\nMaCle=1\r\n");
  remplacer("Couleur_02=Triste\r\n", "");
  box.Write(mus, texteMus);
  frm.CommandCreerSettings_Click(2);
  const std::string apres = box.Read(mus);
  EXPECT_NE(apres.find("Puissance_03=Fort\r\n; r\xE9glage du site\r\nMaCle=1\r\n"), std::string::npos);
  // The deleted key comes back at the end of its section.
  EXPECT_NE(apres.find("Couleur_05=Extase\r\nCouleur_02=Triste\r\n[Mus_Puissance]"), std::string::npos);

  struct stat avant{}, ensuite{};
  const std::string hote = box.Host() + "Kelvaro/Config/KV_Pub.ini";
  ASSERT_EQ(stat(hote.c_str(), &avant), 0);
  frm.CommandCreerSettings_Click(2);
  ASSERT_EQ(stat(hote.c_str(), &ensuite), 0);
  EXPECT_EQ(avant.st_ino, ensuite.st_ino) << "an unchanged file is not rewritten";
  EXPECT_EQ(avant.st_mtime, ensuite.st_mtime);
}

TEST_F(FrmMainTest, AutomationErrorIsShownThroughTheWindow) {
  ErreurNumero = erreur::AutomationDeconnectee;
  ErreurLigne = 0;
  GestionDesErreurs("Frm_Main:Form_Load");
  ASSERT_EQ(vue.messages.size(), 1u);
  EXPECT_EQ(vue.messages[0].texte, "Automation Error !!!\r\n\r\nSub: Frm_Main:Form_Load:0");
  EXPECT_EQ(vue.messages[0].style, 16);
}

}  // namespace

namespace {

TEST_F(FrmMainTest, TextsWindowsCouldNotReadAreRefusedBeforeAnythingIsWritten) {
  dossiersDuBac();
  VerificationEtCreationRepertoire(config());
  dossier(4, box.Win() + "\xE4\xB8\xAD\\");  // 中: no place in Windows-1252
  dossier(5, box.Win() + "CON\\");
  frm.CommandCreerSettings_Click(0);
  auto m = messages();
  ASSERT_EQ(m.size(), 1u);
  EXPECT_EQ(m[0].style, 48);
  EXPECT_NE(m[0].texte.find("page de codes"), std::string::npos) << m[0].texte;
  EXPECT_NE(m[0].texte.find("nom de p\xC3\xA9riph\xC3\xA9rique"), std::string::npos) << m[0].texte;
  EXPECT_FALSE(box.Exists(box.Win() + "CON"));

  frm.CommandCreerSettings_Click(2);
  m = messages();
  ASSERT_EQ(m.size(), 1u);
  EXPECT_EQ(m[0].style, 16);
  EXPECT_NE(m[0].texte.find("Dossier Sons"), std::string::npos) << m[0].texte;
  EXPECT_FALSE(box.Exists(config() + "Kv_Sys.ini"));

  dossier(4, box.Win() + "Sons\\");
  dossier(5, box.Win() + "Data\\");
  vue.DefinirTexte(Nom::TexteNomStation, 1, "\xE4\xB8\xAD");
  frm.CommandCreerSettings_Click(1);  // the structural branch stores no station
  EXPECT_EQ(messages().back().style, 64);
  frm.CommandCreerSettings_Click(2);
  EXPECT_EQ(messages().back().style, 16);
  EXPECT_FALSE(box.Exists(config() + "Kv_Sys.ini"));
}

}  // namespace
