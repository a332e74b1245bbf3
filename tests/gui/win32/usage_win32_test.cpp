// The window as a technician uses it: a reason for red, the keyboard through
// the program's own message loop, a screen too small for the scale, and what a
// screen reader is told through the accessibility objects.
#include <gtest/gtest.h>

#include "banc_win32.h"

#include <oleacc.h>
#include "services/lib_systeme.h"
#include "setup_window/disposition.h"
#include "setup_window/win32/echelle_dpi.h"

using fenetre::Nom;
using fenetre::Sorte;

namespace {

std::wstring artefact(const wchar_t* nom) { return CheminDepuisHote(IL3_ARTEFACTS) + L"\\" + nom; }

std::wstring bulle(const Banc& b, int dossier) {
  wchar_t texte[1024] = {};
  TTTOOLINFOW outil{};
  outil.cbSize = sizeof outil;
  outil.hwnd = b.F();
  outil.uId = reinterpret_cast<UINT_PTR>(b.C(Nom::TexteDossier, dossier));
  outil.lpszText = texte;
  SendMessageW(b.vue.Bulles(), TTM_GETTEXTW, 1024, reinterpret_cast<LPARAM>(&outil));
  return texte;
}

// A key pressed and released on the focused control, run through the message
// loop as the program runs it.
void touche(fenetre::win32::VueWin32& vue, UINT vk) {
  HWND focus = GetFocus();
  const UINT code = MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
  PostMessageW(focus, WM_KEYDOWN, vk, 1 | (code << 16));
  PostMessageW(focus, WM_KEYUP, vk, 1 | (code << 16) | (3u << 30));
  vue.TraiterEvenements();
}

RECT surLEcran(HWND h) {
  RECT r{};
  GetWindowRect(h, &r);
  return r;
}

bool dedans(const RECT& interieur, const RECT& zone) {
  return interieur.left >= zone.left && interieur.top >= zone.top && interieur.right <= zone.right &&
         interieur.bottom <= zone.bottom;
}

RECT zoneDeTravail(HWND fenetre) {
  MONITORINFO ecran{};
  ecran.cbSize = sizeof ecran;
  GetMonitorInfoW(MonitorFromWindow(fenetre, MONITOR_DEFAULTTOPRIMARY), &ecran);
  return ecran.rcWork;
}

// The window and every control inside the monitor's work area, at the table's
// places for the dpi the window was laid out at; fixed size.
void verifierDansLEcran(const fenetre::win32::VueWin32& vue) {
  const RECT zone = zoneDeTravail(vue.Fenetre());
  const RECT fenetre = surLEcran(vue.Fenetre());
  EXPECT_TRUE(dedans(fenetre, zone)) << fenetre.left << "," << fenetre.top << " " << fenetre.right << ","
                                     << fenetre.bottom;
  RECT client{};
  GetClientRect(vue.Fenetre(), &client);
  MapWindowPoints(vue.Fenetre(), nullptr, reinterpret_cast<POINT*>(&client), 2);
  for (const fenetre::Controle& c : fenetre::Controles()) {
    const RECT r = surLEcran(vue.Controle(c.nom, c.index));
    EXPECT_TRUE(dedans(r, client)) << std::string(c.texte) << " " << c.index;
    EXPECT_EQ(r.left - client.left, MulDiv(c.gauche, vue.Dpi(), 1440)) << std::string(c.texte);
    EXPECT_EQ(r.top - client.top, MulDiv(c.haut, vue.Dpi(), 1440)) << std::string(c.texte);
  }
  EXPECT_EQ(client.right - client.left, MulDiv(fenetre::kLargeurClient, vue.Dpi(), 1440));
  const LONG style = GetWindowLongW(vue.Fenetre(), GWL_STYLE);
  EXPECT_FALSE(style & (WS_MAXIMIZEBOX | WS_THICKFRAME));
}

struct Accessible {
  IAccessible* a = nullptr;
  // What a screen reader gets (through the window's answer), or the system's
  // own object for the control.
  explicit Accessible(HWND h, bool systeme = false) {
    void** p = reinterpret_cast<void**>(&a);
    systeme ? CreateStdAccessibleObject(h, OBJID_CLIENT, __uuidof(IAccessible), p)
            : AccessibleObjectFromWindow(h, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible), p);
  }
  ~Accessible() {
    if (a) a->Release();
  }
  std::wstring Nom() const {
    VARIANT moi{};
    moi.vt = VT_I4;
    moi.lVal = CHILDID_SELF;
    BSTR nom = nullptr;
    if (!a || FAILED(a->get_accName(moi, &nom)) || !nom) return L"(none)";
    std::wstring r(nom, SysStringLen(nom));
    SysFreeString(nom);
    return r;
  }
  LONG Role() const {
    VARIANT moi{}, role{};
    moi.vt = VT_I4;
    moi.lVal = CHILDID_SELF;
    if (!a || FAILED(a->get_accRole(moi, &role)) || role.vt != VT_I4) return -1;
    return role.lVal;
  }
};

// Alt and a letter, through the program's own message loop: a folder row's
// caption gives the focus to its field, a button is pressed; the first station
// box shows its start text whole.
TEST(Usage, RaccourcisEtTexteDeDepart) {
  Banc b;
  b.frm.Form_Load();
  auto alt = [&](wchar_t lettre) {
    PostMessageW(GetFocus(), WM_SYSCHAR, lettre, 1u << 29);
    b.vue.TraiterEvenements();
  };
  alt(L'n');
  EXPECT_EQ(GetFocus(), b.C(Nom::TexteDossier, 4));
  alt(L'C');
  EXPECT_EQ(GetFocus(), b.C(Nom::TexteDossier, 1));
  b.Ecrire(Nom::TexteDossier, 1, Large(b.box.Win() + "Absent\\"));
  alt(L'g');
  ASSERT_FALSE(b.messages.empty());
  EXPECT_EQ(b.messages.back().texte.rfind(L"Dossier de config non trouv\u00E9:", 0), 0u);
  EXPECT_TRUE(IsWindow(b.F()));

  HWND station = b.C(Nom::TexteNomStation, 0);
  HDC dc = GetDC(station);
  HGDIOBJ avant = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(station, WM_GETFONT, 0, 0)));
  SIZE t{};
  GetTextExtentPoint32W(dc, L"Nom de la Station 1", 19, &t);
  SelectObject(dc, avant);
  ReleaseDC(station, dc);
  RECT rc{};
  GetClientRect(station, &rc);
  const DWORD marges = static_cast<DWORD>(SendMessageW(station, EM_GETMARGINS, 0, 0));
  EXPECT_LE(t.cx, rc.right - LOWORD(marges) - HIWORD(marges));

  alt(L'q');
  EXPECT_FALSE(IsWindow(b.F()));
}

}  // namespace

TEST(Usage, LeChampRougeDitPourquoiDansSaBulle) {
  Banc b;
  ASSERT_NE(b.vue.Bulles(), nullptr);
  EXPECT_EQ(SendMessageW(b.vue.Bulles(), TTM_GETTOOLCOUNT, 0, 0), 6);
  b.Ecrire(Nom::TexteDossier, 4, Large(b.box.Win() + "Absent\\"));
  EXPECT_EQ(bulle(b, 4), L"Ce dossier n'existe pas.");
  b.Ecrire(Nom::TexteDossier, 4, Large(b.box.Win()));
  EXPECT_EQ(bulle(b, 4), L"");

  // Shown over the red field the pointer rests on; kept as a picture.
  b.frm.Form_Load();
  Pomper();
  HWND rouge = b.C(Nom::TexteDossier, 1);
  RECT r = surLEcran(rouge);
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  MSG survol{rouge, WM_MOUSEMOVE, 0, MAKELPARAM((r.right - r.left) / 2, (r.bottom - r.top) / 2), GetTickCount(), {}};
  SendMessageW(b.vue.Bulles(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&survol));
  SendMessageW(b.vue.Bulles(), TTM_POPUP, 0, 0);
  for (int n = 0; n < 40 && !IsWindowVisible(b.vue.Bulles()); ++n) {
    Sleep(50);
    Pomper();
  }
  ASSERT_TRUE(IsWindowVisible(b.vue.Bulles()));
  EXPECT_EQ(Etroit(TexteFenetre(b.vue.Bulles())), "Ce dossier n'existe pas.");
  EXPECT_TRUE(CapturerFenetre(b.F(), artefact(L"fenetre_win32_bulle.bmp")));
}

// Enter presses the focused button, as Space does; in a text box, and Escape
// anywhere, it does nothing.
// The folders the folder button could not make are each listed with why; the
// real box is left as a screenshot.
TEST(Usage, LesDossiersNonCreesDisentPourquoi) {
  Banc b;
  b.frm.Form_Load();
  b.DossiersDuBac();
  b.box.Write(b.box.Win() + "Fichier", "x");
  b.Ecrire(Nom::TexteDossier, 2, L"Q:\\Absent\\");
  b.Ecrire(Nom::TexteDossier, 3, Large(b.box.Win()) + L"Fichier\\Pub\\");
  b.messages.clear();
  b.Cliquer(Nom::CommandCreerSettings, 0);
  ASSERT_EQ(b.messages.size(), size_t(1));
  const std::wstring dit = b.messages[0].texte;
  EXPECT_NE(dit.find(L"Q:\\Absent\\ (lecteur Q: introuvable)"), std::wstring::npos) << Etroit(dit);
  EXPECT_NE(dit.find(L"Fichier\\Pub\\ (un fichier porte le nom "), std::wstring::npos) << Etroit(dit);

  Banc reel(false);
  bool vue = false;
  PendantLeModal([&] {
    HWND boite = DialogueDe(reel.F());
    if (!boite) return false;
    vue = CapturerFenetre(boite, artefact(L"dossiers_win32.bmp"));
    PostMessageW(boite, WM_COMMAND, IDOK, 0);
    return true;
  });
  reel.vue.MessageBox(Etroit(dit), 48);
  EXPECT_TRUE(vue);
}

// A general run says how far it is in a second panel, gone once it is over.
TEST(Usage, AvancementDansUnSecondPanneau) {
  Banc b;
  b.frm.Form_Load();
  HWND barre = b.C(Nom::StatusBarMain);
  b.vue.DefinirAvancement("Fichier 2 sur 4: IL3_Systeme.ini");
  EXPECT_EQ(SendMessageW(barre, SB_GETPARTS, 0, 0), 2);
  wchar_t texte[128] = {};
  SendMessageW(barre, SB_GETTEXTW, 1, reinterpret_cast<LPARAM>(texte));
  EXPECT_EQ(std::wstring(texte), L"Fichier 2 sur 4: IL3_Systeme.ini");
  EXPECT_TRUE(CapturerFenetre(b.F(), artefact(L"avancement_win32.bmp")));
  b.DossiersDuBac();
  b.Ecrire(Nom::TexteNomRadio, -1, L"Radio Sud");
  b.Ecrire(Nom::TexteNomStation, 0, L"Studio");
  b.Cliquer(Nom::CommandCreerSettings, 0);
  b.Cliquer(Nom::CommandCreerSettings, 2);
  EXPECT_EQ(b.messages.back().texte, L"Param\u00E9trage cr\u00E9\u00E9 ou MAJ");
  EXPECT_EQ(SendMessageW(barre, SB_GETPARTS, 0, 0), 1);
}

TEST(Usage, EntreeEspaceEtEchapAuClavier) {
  Banc b;
  b.Ecrire(Nom::TexteDossier, 3, Large(b.box.Win()));
  SetFocus(b.C(Nom::CommandDossierCreer, 3));
  const struct {
    UINT vk;
    size_t messages;  // boxes after the key, "Créer" of an existing folder
  } cas[] = {{VK_RETURN, 1}, {VK_SPACE, 2}, {VK_ESCAPE, 2}};
  for (const auto& c : cas) {
    touche(b.vue, c.vk);
    EXPECT_EQ(b.messages.size(), c.messages) << c.vk;
    EXPECT_TRUE(IsWindowVisible(b.F()));
  }
  ASSERT_FALSE(b.messages.empty());
  EXPECT_EQ(b.messages[0].texte, L"Le dossier existe d\u00E9j\u00E0:\r\n\r\n" + Large(b.box.Win()));
  SetFocus(b.C(Nom::TexteDossier, 3));
  touche(b.vue, VK_RETURN);
  EXPECT_EQ(b.messages.size(), size_t(2));
  EXPECT_EQ(GetFocus(), b.C(Nom::TexteDossier, 3));
  SetFocus(b.C(Nom::CommandQuitter));
  touche(b.vue, VK_RETURN);
  EXPECT_EQ(b.vue.Fenetre(), nullptr);
  EXPECT_TRUE(RetirerQuit());
}

// At 96 and 144 dpi the window fits the test's 1280 x 800 screen as it is; at
// 192 it is laid out smaller, the same layout, everything inside the screen.
TEST(Usage, ChaqueEcranToutAccessible) {
  const RECT zone = zoneDeTravail(nullptr);
  ASSERT_EQ(zone.right - zone.left, 1280);
  ASSERT_EQ(zone.bottom - zone.top, 800);
  for (int dpi : {96, 144, 192}) {
    SCOPED_TRACE(dpi);
    fenetre::win32::OptionsVue o;
    o.dpi = dpi;
    fenetre::win32::VueWin32 vue(o);
    ASSERT_NE(vue.Fenetre(), nullptr);
    if (dpi < 192) {
      EXPECT_EQ(vue.Dpi(), dpi);
    } else {
      EXPECT_LT(vue.Dpi(), dpi);
      // As large as fits: one dpi more would not.
      RECT plus{0, 0, MulDiv(fenetre::kLargeurClient, vue.Dpi() + 1, 1440),
                MulDiv(fenetre::kHauteurClient, vue.Dpi() + 1, 1440)};
      AdjustWindowRectEx(&plus, GetWindowLongW(vue.Fenetre(), GWL_STYLE), FALSE,
                         GetWindowLongW(vue.Fenetre(), GWL_EXSTYLE));
      EXPECT_TRUE(plus.right - plus.left > 1280 || plus.bottom - plus.top > 800);
    }
    verifierDansLEcran(vue);
    std::printf("%d dpi asked on 1280x800: laid out at %d dpi\n", dpi, vue.Dpi());
    if (dpi == 192) {
      vue.Afficher(SW_SHOWNORMAL);
      Pomper();
      EXPECT_TRUE(CapturerFenetre(vue.Fenetre(), artefact(L"fenetre_win32_192_1280x800.bmp")));
    }
  }
  RetirerQuit();
}

// The window on the screen Wine was started with, at its own dpi: the test
// command runs this group again in a prefix set to 192 dpi.
TEST(Ecran, FenetreDansLEcranASonDpi) {
  Banc b(true, 0);
  b.frm.Form_Load();
  Pomper();
  verifierDansLEcran(b.vue);
  std::printf("screen dpi %d: laid out at %d dpi\n", fenetre::win32::DpiDuSysteme(), b.vue.Dpi());
  wchar_t nom[64];
  swprintf(nom, 64, L"fenetre_win32_ecran_%d.bmp", fenetre::win32::DpiDuSysteme());
  EXPECT_TRUE(CapturerFenetre(b.F(), artefact(nom)));
}

TEST(Usage, NomsPourLesLecteursDEcran) {
  Banc b;
  const struct {
    Nom nom;
    int index;
    const wchar_t* attendu;
  } cas[] = {
      {Nom::TexteNomStation, 0, L"Nom des Stations 1"},
      {Nom::TexteNomStation, 4, L"Nom des Stations 5"},
      {Nom::TexteDossier, 4, L"Dossier Sons"},
      {Nom::CommandDossier, 4, L"Parcourir: Dossier Sons"},
      {Nom::CommandDossierCreer, 4, L"Cr\u00E9er: Dossier Sons"},
      {Nom::CommandQuitter, -1, L"Quitter"},
  };
  for (const auto& c : cas) {
    SCOPED_TRACE(Etroit(c.attendu));
    const Accessible a(b.C(c.nom, c.index)), systeme(b.C(c.nom, c.index), true);
    ASSERT_NE(a.a, nullptr);
    EXPECT_EQ(a.Nom(), c.attendu);
    // Everything else is the system's object: its role (Wine gives a button
    // the role of a plain client area, Windows that of a push button).
    EXPECT_EQ(a.Role(), systeme.Role());
  }
  EXPECT_EQ(Accessible(b.C(Nom::TexteDossier, 4)).Role(), ROLE_SYSTEM_TEXT);
}
