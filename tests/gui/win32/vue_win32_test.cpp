// The window driven through its own messages, as a user drives it: typing,
// clicking, and what it shows, over a sandboxed folder of C:.
#include <gtest/gtest.h>

#include <memory>

#include "banc_win32.h"
#include "services/lib_systeme.h"

using fenetre::Nom;

namespace {

const std::wstring kTitre = L"Installation d'Ilvane";
constexpr COLORREF kRougePeint = RGB(255, 0, 0);

std::wstring artefact(const wchar_t* nom) { return CheminDepuisHote(IL3_ARTEFACTS) + L"\\" + nom; }

}  // namespace

TEST(Vue, PremierDemarrage) {
  Banc b;
  b.frm.Form_Load();
  Pomper();
  EXPECT_EQ(b.TexteDe(Nom::TexteNomRadio), L"Nom de votre Radio");
  EXPECT_EQ(b.TexteDe(Nom::TexteNomStation, 0), L"Nom de la Station 1");
  for (int k = 1; k < 5; ++k) EXPECT_EQ(b.TexteDe(Nom::TexteNomStation, k), L"");
  EXPECT_EQ(b.TexteDe(Nom::TexteCleGUID), L"");
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(Etroit(b.TexteDe(Nom::TexteDossier, i)), std::string(fenetre::kDossiers[i].defaut));
    // No such folders on the test's C: drive.
    EXPECT_EQ(b.Fond(i), fenetre::kRouge);
    EXPECT_EQ(b.FondPeint(i), kRougePeint);
  }
  // The normal colour is the system's own text-box background.
  EXPECT_EQ(b.FondNormal(), GetSysColor(COLOR_WINDOW));
  EXPECT_TRUE(b.messages.empty());

  // For people to look at: the window as it opens.
  UpdateWindow(b.F());
  Pomper();
  EXPECT_TRUE(CapturerFenetre(b.F(), artefact(L"fenetre_win32.bmp")));
}

TEST(Vue, ChargementDUneExecutionPrecedente) {
  Banc b;
  const std::string config = b.box.Win() + "Kelvaro\\Config\\";
  VerificationEtCreationRepertoire(b.box.Win() + "App\\Settings\\");
  VerificationEtCreationRepertoire(config);
  b.box.Write(b.box.Win() + "App\\Settings\\IL3_Config.ini",
              "[Site]\r\nLib=Radio \xC9t\xE9\r\nGUID=ABC-1\r\nDossier_Config_Global=" + config + "\r\n");
  b.box.Write(config + "IL3_Systeme.ini",
              "[Base_01]\r\nDossier_Data=D:\\Datas\\\r\n[Base_01_Station_02]\r\nLib=Nord\r\n"
              "[Dossiers_Sons_Mus]\r\n00=D:\\Media\\Sons\\Musique\\\r\n");
  b.frm.Form_Load();
  EXPECT_EQ(b.TexteDe(Nom::TexteNomRadio), L"Radio \u00C9t\u00E9");
  EXPECT_EQ(b.TexteDe(Nom::TexteCleGUID), L"ABC-1");
  EXPECT_EQ(b.TexteDe(Nom::TexteNomStation, 0), L"Nom de la Station 1");
  EXPECT_EQ(b.TexteDe(Nom::TexteNomStation, 1), L"Nord");
  EXPECT_EQ(Etroit(b.TexteDe(Nom::TexteDossier, 1)), config);
  EXPECT_EQ(b.Fond(1), b.FondNormal());
  EXPECT_EQ(b.FondPeint(1), GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(b.TexteDe(Nom::TexteDossier, 4), L"D:\\Media\\Sons\\");
  EXPECT_EQ(b.TexteDe(Nom::TexteDossier, 5), L"D:\\Datas\\");
}

TEST(Vue, CheminTapeCaractereParCaractere) {
  Banc b;
  const std::string cible = b.box.Win() + "Sons\\";
  VerificationEtCreationRepertoire(cible);
  const std::string bac = b.box.Win();
  b.Ecrire(Nom::TexteDossier, 4, L"");
  std::string tape;
  for (char c : cible) {
    b.Frapper(Nom::TexteDossier, 4, static_cast<wchar_t>(c));
    tape += c;
    ASSERT_EQ(Etroit(b.TexteDe(Nom::TexteDossier, 4)), tape);
    const bool existe = tape == cible || tape == cible.substr(0, cible.size() - 1) || tape == "C:" ||
                        tape == "C:\\" || tape == bac || tape == bac.substr(0, bac.size() - 1);
    EXPECT_EQ(b.Fond(4), existe ? b.FondNormal() : fenetre::kRouge) << tape;
    EXPECT_EQ(b.FondPeint(4), existe ? GetSysColor(COLOR_WINDOW) : kRougePeint) << tape;
  }
  b.Frapper(Nom::TexteDossier, 4, L'x');
  EXPECT_EQ(b.FondPeint(4), kRougePeint);
  b.Frapper(Nom::TexteDossier, 4, L'\b');
  EXPECT_EQ(b.FondPeint(4), GetSysColor(COLOR_WINDOW));
  // Only the folder fields have a change event: the others never turn red.
  b.Ecrire(Nom::TexteNomRadio, -1, L"C:\\absent\\");
  EXPECT_EQ(b.vue.CouleurFond(Nom::TexteNomRadio, -1), GetSysColor(COLOR_WINDOW));
}

TEST(Vue, TexteEcritParMessageOuParLePresentateur) {
  Banc b;
  // WM_SETTEXT raises EN_CHANGE like typing.
  b.Ecrire(Nom::TexteDossier, 2, Large(b.box.Win()));
  EXPECT_EQ(b.FondPeint(2), GetSysColor(COLOR_WINDOW));
  b.Ecrire(Nom::TexteDossier, 2, L"C:\\Journix\\");
  EXPECT_EQ(b.FondPeint(2), kRougePeint);
  // Setting the text it already holds raises nothing: the colour stays.
  b.vue.DefinirCouleurFond(Nom::TexteDossier, 2, RGB(0, 255, 0));
  b.vue.DefinirTexte(Nom::TexteDossier, 2, "C:\\Journix\\");
  EXPECT_EQ(b.Fond(2), uint32_t(RGB(0, 255, 0)));
  EXPECT_EQ(b.FondPeint(2), RGB(0, 255, 0));
  b.vue.DefinirTexte(Nom::TexteDossier, 2, b.box.Win());
  EXPECT_EQ(b.Fond(2), b.FondNormal());
  // Accented text goes through unchanged, both ways.
  b.vue.DefinirTexte(Nom::TexteNomStation, 3, "Cha\xC3\xAEne \xC3\xA9t\xC3\xA9");
  EXPECT_EQ(b.TexteDe(Nom::TexteNomStation, 3), L"Cha\u00EEne \u00E9t\u00E9");
  EXPECT_EQ(b.vue.Texte(Nom::TexteNomStation, 3), "Cha\xC3\xAEne \xC3\xA9t\xC3\xA9");
}

TEST(Vue, BoutonCreer) {
  Banc b;
  b.Ecrire(Nom::TexteDossier, 2, L"   ");
  b.Cliquer(Nom::CommandDossierCreer, 2);
  EXPECT_TRUE(b.messages.empty());

  const std::string profond = b.box.Win() + "Un\\Deux\\";
  b.Ecrire(Nom::TexteDossier, 2, Large(profond));
  EXPECT_EQ(b.FondPeint(2), kRougePeint);
  b.Cliquer(Nom::CommandDossierCreer, 2);
  EXPECT_TRUE(b.box.Exists(profond));
  EXPECT_EQ(b.FondPeint(2), GetSysColor(COLOR_WINDOW));
  EXPECT_TRUE(b.messages.empty());

  b.Cliquer(Nom::CommandDossierCreer, 2);
  ASSERT_EQ(b.messages.size(), size_t(1));
  EXPECT_EQ(b.messages[0].proprietaire, b.F());
  EXPECT_EQ(b.messages[0].type, UINT(MB_OK | MB_ICONEXCLAMATION));
  EXPECT_EQ(b.messages[0].titre, kTitre);
  EXPECT_EQ(b.messages[0].texte, L"Le dossier existe d\u00E9j\u00E0:\r\n\r\n" + Large(profond));
}

TEST(Vue, BoutonParcourirAvecUnSelecteurEnregistre) {
  Banc b;
  VerificationEtCreationRepertoire(b.box.Win() + "Choisi\\");
  b.Ecrire(Nom::TexteDossier, 4, Large(b.box.Win() + "Sons\\Pub"));
  b.reponses = {b.box.Win() + "Choisi", std::nullopt, b.box.Win() + "Nouveau\\Dossier"};

  b.Cliquer(Nom::CommandDossier, 4);
  ASSERT_EQ(b.demandes.size(), size_t(1));
  EXPECT_EQ(b.demandes[0].first, "S\xC3\xA9lectionnez un dossier: ");
  EXPECT_EQ(b.demandes[0].second, b.box.Win() + "Sons\\");
  EXPECT_EQ(Etroit(b.TexteDe(Nom::TexteDossier, 4)), b.box.Win() + "Choisi\\");
  EXPECT_EQ(b.FondPeint(4), GetSysColor(COLOR_WINDOW));

  b.Cliquer(Nom::CommandDossier, 4);  // cancelled: nothing changes
  EXPECT_EQ(b.demandes.back().second, b.box.Win() + "Choisi\\");
  EXPECT_EQ(Etroit(b.TexteDe(Nom::TexteDossier, 4)), b.box.Win() + "Choisi\\");

  // A folder that is gone by the time the chooser closes is created.
  b.Cliquer(Nom::CommandDossier, 4);
  EXPECT_EQ(Etroit(b.TexteDe(Nom::TexteDossier, 4)), b.box.Win() + "Nouveau\\Dossier\\");
  EXPECT_TRUE(b.box.Exists(b.box.Win() + "Nouveau\\Dossier\\"));
  EXPECT_EQ(b.FondPeint(4), GetSysColor(COLOR_WINDOW));
  EXPECT_TRUE(b.messages.empty());
}

TEST(Vue, TroisBoutonsDeParametrage) {
  Banc b;
  b.DossiersDuBac();
  const std::string config = b.box.Win() + "Kelvaro\\Config\\";
  b.Cliquer(Nom::CommandCreerSettings, 0);
  ASSERT_EQ(b.messages.size(), size_t(1));
  EXPECT_EQ(b.messages[0].type, UINT(MB_OK | MB_ICONASTERISK));
  EXPECT_EQ(b.messages[0].titre, kTitre);
  EXPECT_EQ(b.messages[0].texte, L"Dossiers cr\u00E9\u00E9s");
  // The progress line showed the last folder created while the box was up,
  // and is empty once the command is over.
  EXPECT_EQ(b.messages[0].statut, Large(b.box.Win() + "Data\\"));
  EXPECT_EQ(b.Statut(), L"");
  for (int i = 0; i < 6; ++i) EXPECT_EQ(b.FondPeint(i), GetSysColor(COLOR_WINDOW)) << i;

  b.Ecrire(Nom::TexteNomRadio, -1, L"Radio \u00C9t\u00E9");
  b.Ecrire(Nom::TexteCleGUID, -1, L"GUID-42");
  b.Cliquer(Nom::CommandCreerSettings, 1);
  EXPECT_EQ(b.Statut(), L"");
  b.Cliquer(Nom::CommandCreerSettings, 2);
  EXPECT_EQ(b.Statut(), L"");
  ASSERT_EQ(b.messages.size(), size_t(3));
  for (int k : {1, 2}) {
    EXPECT_EQ(b.messages[k].type, UINT(MB_OK | MB_ICONASTERISK));
    EXPECT_EQ(b.messages[k].texte, L"Param\u00E9trage cr\u00E9\u00E9 ou MAJ");
    EXPECT_FALSE(b.messages[k].statut.empty());  // the last key written
  }
  const std::string site = b.box.Read(b.box.Win() + "App\\Settings\\IL3_Config.ini");
  EXPECT_NE(site.find("Lib=Radio \xC9t\xE9\r\n"), std::string::npos) << site;
  EXPECT_NE(site.find("GUID=GUID-42\r\n"), std::string::npos) << site;
  for (const char* f : {"Kv_Sys.ini", "IL3_Systeme.ini", "KV_Mus.ini", "KV_Pub.ini"})
    EXPECT_TRUE(b.box.Exists(config + f)) << f;

  b.Ecrire(Nom::TexteDossier, 1, Large(b.box.Win() + "Absent\\Config\\"));
  b.Cliquer(Nom::CommandCreerSettings, 2);
  EXPECT_EQ(b.messages.back().type, UINT(MB_OK | MB_ICONHAND));
  EXPECT_EQ(b.messages.back().texte,
            L"Dossier de config non trouv\u00E9:\r\n\r\n" + Large(b.box.Win() + "Absent\\Config\\") +
                L"\r\n\r\nCr\u00E9ez-le d'abord avec \u00AB Cr\u00E9er les dossiers \u00BB.");
  EXPECT_EQ(b.Statut(), L"");
}

TEST(Vue, LigneDeProgressionPeinteAussitot) {
  Banc b;
  HWND barre = b.C(Nom::StatusBarMain);
  UpdateWindow(b.F());
  b.vue.DefinirStatut("C:\\Journix\\");
  // Painted before control goes back to any message loop.
  EXPECT_FALSE(GetUpdateRect(barre, nullptr, FALSE));
  EXPECT_EQ(b.Statut(), L"C:\\Journix\\");
  EXPECT_EQ(b.vue.Texte(Nom::StatusBarMain, -1), "C:\\Journix\\");
  b.vue.DefinirStatut("");
  EXPECT_EQ(b.Statut(), L"");
}

TEST(Vue, QuitterFermeSansQuestion) {
  Banc b;
  HWND f = b.F();
  b.Ecrire(Nom::TexteNomRadio, -1, L"modifi\u00E9");
  b.Cliquer(Nom::CommandQuitter);
  EXPECT_FALSE(IsWindow(f));
  EXPECT_EQ(b.vue.Fenetre(), nullptr);
  EXPECT_TRUE(b.messages.empty());
  MSG m;
  ASSERT_TRUE(PeekMessageW(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));  // the program's loop ends
  EXPECT_EQ(m.wParam, 0u);
}

TEST(Vue, FermerLaFenetreTermineLaBoucle) {
  Banc b;
  PostMessageW(b.F(), WM_CLOSE, 0, 0);
  EXPECT_EQ(b.vue.BoucleDeMessages(), 0);
  EXPECT_EQ(b.vue.Fenetre(), nullptr);
}

TEST(Vue, StylesDesBoites) {
  const struct {
    int style;
    UINT type;
  } cas[] = {{16, MB_OK | MB_ICONHAND}, {48, MB_OK | MB_ICONEXCLAMATION}, {64, MB_OK | MB_ICONASTERISK}, {0, MB_OK}};
  Banc b;
  for (const auto& c : cas) {
    b.messages.clear();
    b.vue.MessageBox("Automation Error !!!\r\n\r\nSub: Frm_Main:Form_Load:0", c.style);
    ASSERT_EQ(b.messages.size(), size_t(1)) << c.style;
    EXPECT_EQ(b.messages[0].type, c.type) << c.style;
    EXPECT_EQ(b.messages[0].titre, kTitre);
    EXPECT_EQ(b.messages[0].texte, L"Automation Error !!!\r\n\r\nSub: Frm_Main:Form_Load:0");
  }
}

TEST(Vue, TraiterEvenementsLaisseLaFinDuProgramme) {
  Banc b;
  PostMessageW(b.F(), WM_APP + 1, 0, 0);
  b.vue.TraiterEvenements();
  MSG m;
  EXPECT_FALSE(PeekMessageW(&m, b.F(), WM_APP + 1, WM_APP + 1, PM_NOREMOVE));  // dispatched
  PostQuitMessage(3);
  b.vue.TraiterEvenements();
  ASSERT_TRUE(PeekMessageW(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(m.wParam, 3u);
}

// The real MessageBoxW, found from a timer inside its modal loop and closed.
TEST(Vue, VraieBoiteDeMessage) {
  Banc b(false);
  const std::string dossier = b.box.Win();
  b.Ecrire(Nom::TexteDossier, 3, Large(dossier));
  struct Vu {
    bool trouve = false;
    std::wstring titre, texte;
    std::vector<std::wstring> boutons;
    bool iconeExclamation = false;
  } vu;
  HWND f = b.F();
  PendantLeModal([&] {
    HWND boite = DialogueDe(f);
    if (!boite) return false;
    vu.trouve = true;
    vu.titre = TexteFenetre(boite);
    HICON attendue = LoadIconW(nullptr, IDI_EXCLAMATION);
    for (HWND s : Enfants(boite, L"Static")) {
      const std::wstring t = TexteFenetre(s);
      if (t.size() > vu.texte.size()) vu.texte = t;
      if (reinterpret_cast<HICON>(SendMessageW(s, STM_GETICON, 0, 0)) == attendue) vu.iconeExclamation = true;
    }
    // For people to look at: the box as Wine draws it, in its language.
    CapturerFenetre(boite, artefact(L"boite_win32.bmp"));
    HWND ok = nullptr;
    for (HWND bouton : Enfants(boite, L"Button")) {
      if (!IsWindowVisible(bouton)) continue;
      vu.boutons.push_back(TexteFenetre(bouton));
      ok = bouton;
    }
    if (ok) PostMessageW(ok, BM_CLICK, 0, 0);
    return true;
  });
  b.Cliquer(Nom::CommandDossierCreer, 3);  // returns once the box is closed
  ASSERT_TRUE(vu.trouve);
  EXPECT_EQ(vu.titre, kTitre);
  EXPECT_EQ(vu.texte, L"Le dossier existe d\u00E9j\u00E0:\r\n\r\n" + Large(dossier));
  EXPECT_TRUE(vu.iconeExclamation);
  ASSERT_EQ(vu.boutons.size(), size_t(1));
  EXPECT_EQ(vu.boutons[0], L"OK");
  EXPECT_TRUE(IsWindow(f));
}
