// The window as the control table describes it: classes, captions, places at
// a given dpi, tab order, first focus, size and position, font, icon.
#include <gtest/gtest.h>

#include <algorithm>

#include <memory>

#include "banc_win32.h"
#include "setup_window/disposition.h"

using fenetre::Nom;
using fenetre::Sorte;

namespace {

int px(int twips, int dpi) { return MulDiv(twips, dpi, 1440); }

RECT rectangleClient(HWND controle) {
  RECT r{};
  GetWindowRect(controle, &r);
  MapWindowPoints(nullptr, GetParent(controle), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

const wchar_t* classeAttendue(Sorte s) {
  switch (s) {
    case Sorte::Label:
      return L"Static";
    case Sorte::TextBox:
      return L"Edit";
    case Sorte::Button:
      return L"Button";
    case Sorte::StatusBar:
      return L"msctls_statusbar32";
  }
  return L"";
}

// Every control at its place for `dpi`. A label may be wider and taller than
// the table says, when its caption needs it, but never reaches the fields.
void verifierPlaces(const fenetre::win32::VueWin32& vue, int dpi) {
  for (const fenetre::Controle& c : fenetre::Controles()) {
    SCOPED_TRACE(std::string(c.texte) + " index " + std::to_string(c.index));
    HWND h = vue.Controle(c.nom, c.index);
    ASSERT_NE(h, nullptr);
    const RECT r = rectangleClient(h);
    EXPECT_EQ(r.left, px(c.gauche, dpi));
    EXPECT_EQ(r.top, px(c.haut, dpi));
    if (c.sorte == Sorte::Label) {
      EXPECT_GE(r.right, px(c.gauche + c.largeur, dpi));
      EXPECT_LT(r.right, px(2220, dpi));
      EXPECT_GE(r.bottom, px(c.haut + c.hauteur, dpi));
      EXPECT_LE(r.bottom - r.top, px(315, dpi));
    } else {
      EXPECT_EQ(r.right, px(c.gauche + c.largeur, dpi));
      EXPECT_EQ(r.bottom, px(c.haut + c.hauteur, dpi));
    }
  }
  RECT client{};
  GetClientRect(vue.Fenetre(), &client);
  EXPECT_EQ(client.right, px(fenetre::kLargeurClient, dpi));
  EXPECT_EQ(client.bottom, px(fenetre::kHauteurClient, dpi));
}

class VariableDpi {
 public:
  explicit VariableDpi(const wchar_t* valeur) { SetEnvironmentVariableW(L"IL3_DPI", valeur); }
  ~VariableDpi() { SetEnvironmentVariableW(L"IL3_DPI", nullptr); }
};

}  // namespace

TEST(Disposition, ChaqueControleAvecSaClasseEtSonLibelle) {
  Banc b;
  int rang = 0;
  HWND precedent = nullptr;
  for (const fenetre::Controle& c : fenetre::Controles()) {
    SCOPED_TRACE(std::string(c.texte) + " index " + std::to_string(c.index));
    HWND h = b.C(c.nom, c.index);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GetParent(h), b.F());
    EXPECT_EQ(ClasseDe(h), classeAttendue(c.sorte));
    if (c.sorte != Sorte::StatusBar) {
      EXPECT_EQ(Etroit(TexteFenetre(h)), std::string(c.clavier.empty() ? c.texte : c.clavier));
    }
    const LONG style = GetWindowLongW(h, GWL_STYLE);
    EXPECT_TRUE(style & WS_VISIBLE);
    EXPECT_EQ((style & WS_TABSTOP) != 0, c.sorte == Sorte::TextBox || c.sorte == Sorte::Button);
    if (c.sorte == Sorte::Button) {
      EXPECT_EQ(style & BS_TYPEMASK, BS_PUSHBUTTON);
    }
    // Created in the table's order: that is the z-order, which tabbing follows.
    EXPECT_EQ(GetWindow(h, GW_HWNDPREV), precedent);
    precedent = h;
    ++rang;
  }
  EXPECT_EQ(rang, 39);
  EXPECT_EQ(Etroit(TexteFenetre(b.F())), "Installation d'Ilvane");
  // One panel, across the whole bar, empty at start.
  EXPECT_EQ(SendMessageW(b.C(Nom::StatusBarMain), SB_GETPARTS, 0, 0), 1);
  EXPECT_EQ(b.Statut(), L"");
}

TEST(Disposition, PlacesA96Et144Dpi) {
  {
    Banc b;
    EXPECT_EQ(b.vue.Dpi(), 96);
    verifierPlaces(b.vue, 96);
    RECT client{};
    GetClientRect(b.F(), &client);
    EXPECT_EQ(client.right, 762);
    EXPECT_EQ(client.bottom, 436);
  }
  RetirerQuit();
  VariableDpi dpi(L"144");
  fenetre::win32::VueWin32 vue;  // the dpi of IL3_DPI
  EXPECT_EQ(vue.Dpi(), 144);
  verifierPlaces(vue, 144);
}

TEST(Disposition, ChangementDeDpiRedisposeTout) {
  fenetre::win32::VueWin32 vue;
  const int avant = vue.Dpi();
  // Not beyond the test screen: a window may not outgrow its monitor.
  const int apres = avant * 5 / 4;
  RECT propose{40, 30, 40 + 980, 30 + 600};
  SendMessageW(vue.Fenetre(), 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(apres, apres), reinterpret_cast<LPARAM>(&propose));
  EXPECT_EQ(vue.Dpi(), apres);
  verifierPlaces(vue, apres);
  RECT r{};
  GetWindowRect(vue.Fenetre(), &r);
  EXPECT_EQ(r.left, 40);
  EXPECT_EQ(r.top, 30);
  // The fields' font grew with the dpi.
  LOGFONTW lf{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(vue.Controle(Nom::TexteNomRadio, -1), WM_GETFONT, 0, 0)), sizeof lf,
             &lf);
  NONCLIENTMETRICSW m{};
  m.cbSize = sizeof m;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0);
  EXPECT_EQ(lf.lfHeight, MulDiv(m.lfMessageFont.lfHeight, apres, avant));
}

TEST(Disposition, OrdreDeTabulationEtPremierFocus) {
  Banc b;
  std::vector<HWND> attendu;
  for (const fenetre::Controle& c : fenetre::Controles())
    if (c.sorte == Sorte::TextBox || c.sorte == Sorte::Button) attendu.push_back(b.C(c.nom, c.index));
  ASSERT_EQ(attendu.size(), size_t(29));
  EXPECT_EQ(GetFocus(), b.C(Nom::TexteNomRadio));
  HWND h = b.C(Nom::TexteNomRadio);
  for (size_t i = 1; i <= attendu.size(); ++i) {
    h = GetNextDlgTabItem(b.F(), h, FALSE);
    EXPECT_EQ(h, attendu[i % attendu.size()]) << "after tab stop " << i - 1;
  }
  // Backwards from the first field: the last button, "Quitter", after the three settings buttons.
  EXPECT_EQ(GetNextDlgTabItem(b.F(), attendu.front(), TRUE), b.C(Nom::CommandQuitter));
}

TEST(Disposition, TabulationAuClavierParLaBoucleDeMessages) {
  Banc b;
  SetFocus(b.C(Nom::TexteNomRadio));
  // What the message loop does with a key: IsDialogMessageW moves the focus.
  MSG m{b.C(Nom::TexteNomRadio), WM_KEYDOWN, VK_TAB, 0x000F0001, GetTickCount(), {}};
  EXPECT_TRUE(IsDialogMessageW(b.F(), &m));
  EXPECT_EQ(GetFocus(), b.C(Nom::TexteNomStation, 0));
}

TEST(Disposition, FenetreFixeCentreeAvecLaPoliceDesMessages) {
  Banc b;
  const LONG style = GetWindowLongW(b.F(), GWL_STYLE);
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);

  RECT r{};
  GetWindowRect(b.F(), &r);
  MONITORINFO ecran{};
  ecran.cbSize = sizeof ecran;
  GetMonitorInfoW(MonitorFromWindow(b.F(), MONITOR_DEFAULTTOPRIMARY), &ecran);
  EXPECT_NEAR((r.left + r.right) / 2, (ecran.rcWork.left + ecran.rcWork.right) / 2, 1);
  EXPECT_NEAR((r.top + r.bottom) / 2, (ecran.rcWork.top + ecran.rcWork.bottom) / 2, 1);

  NONCLIENTMETRICSW m{};
  m.cbSize = sizeof m;
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0));
  for (Nom nom : {Nom::TexteNomRadio, Nom::StatusBarMain, Nom::CommandQuitter}) {
    LOGFONTW lf{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(b.C(nom), WM_GETFONT, 0, 0)), sizeof lf, &lf);
    EXPECT_STREQ(lf.lfFaceName, m.lfMessageFont.lfFaceName);
    EXPECT_EQ(lf.lfHeight, m.lfMessageFont.lfHeight);
  }
  // Every caption fits its control.
  for (const fenetre::Controle& c : fenetre::Controles()) {
    if (c.sorte != Sorte::Label && c.sorte != Sorte::Button) continue;
    HWND h = b.C(c.nom, c.index);
    HDC dc = GetDC(h);
    HGDIOBJ avant = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(h, WM_GETFONT, 0, 0)));
    std::wstring texte = TexteFenetre(h);
    texte.erase(std::remove(texte.begin(), texte.end(), L'&'), texte.end());  // an access key's mark takes no room
    SIZE t{};
    GetTextExtentPoint32W(dc, texte.c_str(), static_cast<int>(texte.size()), &t);
    SelectObject(dc, avant);
    ReleaseDC(h, dc);
    RECT rc{};
    GetClientRect(h, &rc);
    EXPECT_LE(t.cx, rc.right) << std::string(c.texte);
  }
  // The window carries the program's icon, large and small.
  EXPECT_NE(SendMessageW(b.F(), WM_GETICON, ICON_BIG, 0), 0);
  EXPECT_NE(SendMessageW(b.F(), WM_GETICON, ICON_SMALL, 0), 0);
}
