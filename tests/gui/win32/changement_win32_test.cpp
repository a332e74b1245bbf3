// A site whose layout changes, in the Win32 window: the closing box names the
// stored values that won and asks whether to apply the fields; a gap in the
// stations and the start texts are asked about before anything is written.
// The real boxes are left as screenshots.
#include <gtest/gtest.h>

#include "banc_win32.h"
#include "services/lib_systeme.h"

using fenetre::Nom;

namespace {

std::wstring artefact(const wchar_t* nom) { return CheminDepuisHote(IL3_ARTEFACTS) + L"\\" + nom; }

struct Changement : ::testing::Test {
  Banc b;
  std::string kvSys(const char* section, const char* cle) {
    return LectureIni(b.box.Win() + "Kelvaro\\Config\\Kv_Sys.ini", section, cle, "<absent>");
  }
  // A site written for "Radio Sud" and one station, then loaded again, as the next start shows it.
  void siteExistant() {
    b.frm.Form_Load();
    b.DossiersDuBac();
    b.Cliquer(Nom::CommandCreerSettings, 0);
    b.Ecrire(Nom::TexteNomRadio, -1, L"Radio Sud");
    b.Ecrire(Nom::TexteNomStation, 0, L"Studio");
    b.Cliquer(Nom::CommandCreerSettings, 1);
    b.Cliquer(Nom::CommandCreerSettings, 2);
    b.frm.Form_Load();
    b.messages.clear();
  }
};

TEST_F(Changement, OuiAppliqueLaFenetreNonGardeLesFichiers) {
  siteExistant();
  b.Ecrire(Nom::TexteNomRadio, -1, L"Radio Sud FM");
  b.Cliquer(Nom::CommandCreerSettings, 2);  // Enter: the default button, Non
  ASSERT_EQ(b.messages.size(), size_t(1));
  EXPECT_EQ(b.messages[0].type, UINT(MB_YESNO | MB_DEFBUTTON2 | MB_ICONQUESTION));
  EXPECT_EQ(kvSys("Div_Radio", "Nom_Radio"), "Radio Sud");

  b.Ecrire(Nom::TexteNomStation, 1, L"Antenne");
  b.messages.clear();
  b.reponsesBoites = {IDYES};
  b.Cliquer(Nom::CommandCreerSettings, 2);
  ASSERT_EQ(b.messages.size(), size_t(2));
  EXPECT_EQ(b.messages[0].texte.rfind(L"Param\u00E9trage cr\u00E9\u00E9 ou MAJ\r\n\r\n4 valeurs enregistr\u00E9es "
                                      L"diff\u00E8rent de la fen\u00EAtre et ont \u00E9t\u00E9 gard\u00E9es:\r\n"
                                      L"[Div_Radio] Nom_Radio: gard\u00E9 \u00AB Radio Sud \u00BB, fen\u00EAtre "
                                      L"\u00AB Radio Sud FM \u00BB\r\n",
                                      0),
            0u)
      << Etroit(b.messages[0].texte);
  EXPECT_EQ(b.messages[1].texte, L"Param\u00E9trage cr\u00E9\u00E9 ou MAJ\r\n\r\n4 valeurs de la fen\u00EAtre appliqu\u00E9es.");
  EXPECT_EQ(kvSys("Div_Radio", "Nom_Radio"), "Radio Sud FM");
  EXPECT_EQ(kvSys("Stations", "NB_MAX"), "2");

  // The same question through the real MessageBoxW, as Wine draws it.
  Banc reel(false);
  struct {
    bool trouve = false;
    std::vector<std::wstring> boutons;
    std::wstring parDefaut;
  } vu;
  PendantLeModal([&] {
    HWND boite = DialogueDe(reel.F());
    if (!boite) return false;
    vu.trouve = true;
    CapturerFenetre(boite, artefact(L"question_win32.bmp"));
    HWND non = nullptr;
    for (HWND bouton : Enfants(boite, L"Button")) {
      if (!IsWindowVisible(bouton)) continue;
      vu.boutons.push_back(TexteFenetre(bouton));
      if (GetWindowLongW(bouton, GWL_STYLE) & BS_DEFPUSHBUTTON) vu.parDefaut = TexteFenetre(bouton);
      non = bouton;
    }
    if (non) PostMessageW(non, BM_CLICK, 0, 0);
    return true;
  });
  const std::optional<bool> r = reel.vue.Question(Etroit(b.messages[0].texte), 32, fenetre::Boutons::OuiNon);
  ASSERT_TRUE(vu.trouve);
  EXPECT_EQ(vu.boutons.size(), size_t(2));
  EXPECT_EQ(vu.parDefaut, vu.boutons.back());
  EXPECT_EQ(r, std::optional<bool>(false));
}

TEST_F(Changement, TrouDansLesStationsEtExemples) {
  b.frm.Form_Load();
  b.DossiersDuBac();
  b.Cliquer(Nom::CommandCreerSettings, 0);
  b.messages.clear();
  b.Cliquer(Nom::CommandCreerSettings, 1);  // the start text: Non by default, nothing written
  ASSERT_EQ(b.messages.size(), size_t(1));
  EXPECT_EQ(b.messages[0].texte,
            L"Le nom de la radio est encore l'exemple \u00AB Nom de votre Radio \u00BB. \u00C9crire quand m\u00EAme ?");
  EXPECT_EQ(b.messages[0].type, UINT(MB_YESNO | MB_DEFBUTTON2 | MB_ICONEXCLAMATION));
  EXPECT_FALSE(b.box.Exists(b.box.Win() + "App\\Settings\\IL3_Config.ini"));

  b.Ecrire(Nom::TexteNomRadio, -1, L"Radio Sud");
  b.Ecrire(Nom::TexteNomStation, 0, L"");
  b.Ecrire(Nom::TexteNomStation, 1, L"Studio");
  b.messages.clear();
  b.reponsesBoites = {IDCANCEL};
  b.Cliquer(Nom::CommandCreerSettings, 2);
  ASSERT_EQ(b.messages.size(), size_t(1));
  EXPECT_EQ(b.messages[0].texte, L"La station 1 est vide: les stations 2 \u00E0 5 ne seront pas cr\u00E9\u00E9es.");
  EXPECT_EQ(b.messages[0].type, UINT(MB_OKCANCEL | MB_ICONEXCLAMATION));
  EXPECT_EQ(kvSys("Div_Radio", "Nom_Radio"), "<absent>");

  // Both through the real MessageBoxW, for people to look at.
  Banc reel(false);
  PendantLeModal([&] {
    HWND boite = DialogueDe(reel.F());
    if (!boite) return false;
    CapturerFenetre(boite, artefact(L"exemple_win32.bmp"));
    PostMessageW(boite, WM_COMMAND, IDNO, 0);
    return true;
  });
  reel.vue.Question(Etroit(L"Le nom de la radio est encore l'exemple \u00AB Nom de votre Radio \u00BB. \u00C9crire quand m\u00EAme ?"),
                    48, fenetre::Boutons::OuiNon);
  PendantLeModal([&] {
    HWND boite = DialogueDe(reel.F());
    if (!boite) return false;
    CapturerFenetre(boite, artefact(L"stations_win32.bmp"));
    PostMessageW(boite, WM_COMMAND, IDCANCEL, 0);
    return true;
  });
  reel.vue.Question(Etroit(L"La station 1 est vide: les stations 2 \u00E0 5 ne seront pas cr\u00E9\u00E9es."), 48,
                    fenetre::Boutons::OkAnnuler);
}

}  // namespace
