#include "setup_window/win32/vue_win32.h"

#include <algorithm>

#include "setup_window/win32/accessible_win32.h"
#include "setup_window/win32/choix_dossier_win32.h"
#include "setup_window/win32/ressources/ressources.h"
#include "setup_window/win32/texte_large.h"

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace fenetre::win32 {

namespace {

constexpr wchar_t kClasse[] = L"IL3_Setup_Frm_Main";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kStyleEtendu = WS_EX_CONTROLPARENT;
constexpr int kPremierId = 1000;  // control id of the table's first row
constexpr int kDpiPlancher = 24;  // a quarter of the normal size: smaller is no longer readable anyway

bool enregistrerClasse(WNDPROC procedure) {
  WNDCLASSEXW existante{};
  existante.cbSize = sizeof existante;
  if (GetClassInfoExW(GetModuleHandleW(nullptr), kClasse, &existante)) return true;
  WNDCLASSEXW c{};
  c.cbSize = sizeof c;
  c.lpfnWndProc = procedure;
  c.hInstance = GetModuleHandleW(nullptr);
  c.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  c.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  c.lpszClassName = kClasse;
  return RegisterClassExW(&c) != 0;
}

// The desktop's message font at `dpi`; its metrics come at the system's dpi.
LOGFONTW policeDesMessages(int dpi) {
  NONCLIENTMETRICSW metriques{};
  metriques.cbSize = sizeof metriques;
  LOGFONTW lf{};
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metriques, &metriques, 0))
    lf = metriques.lfMessageFont;
  else
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
  lf.lfHeight = MulDiv(lf.lfHeight, dpi, DpiDuSysteme());
  return lf;
}

// A caption as drawn: the "&" that marks its access key takes no room.
std::wstring sansMarque(std::wstring texte) {
  texte.erase(std::remove(texte.begin(), texte.end(), L'&'), texte.end());
  return texte;
}

SIZE etendue(HWND controle, HFONT police, const std::wstring& texte) {
  SIZE taille{};
  HDC dc = GetDC(controle);
  HGDIOBJ avant = SelectObject(dc, police);
  GetTextExtentPoint32W(dc, texte.c_str(), static_cast<int>(texte.size()), &taille);
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  taille.cy = std::max<LONG>(taille.cy, tm.tmHeight);
  SelectObject(dc, avant);
  ReleaseDC(controle, dc);
  return taille;
}

SIZE etendueDuTexte(HWND controle, HFONT police) {
  const int n = GetWindowTextLengthW(controle);
  std::wstring texte(static_cast<size_t>(n) + 1, L'\0');
  GetWindowTextW(controle, texte.data(), n + 1);
  texte.resize(static_cast<size_t>(n));
  return etendue(controle, police, sansMarque(texte));
}

std::wstring texteDe(HWND h) {
  const int n = GetWindowTextLengthW(h);
  std::wstring texte(static_cast<size_t>(n) + 1, L'\0');
  const int lu = GetWindowTextW(h, texte.data(), n + 1);
  texte.resize(static_cast<size_t>(std::max(lu, 0)));
  return texte;
}

}  // namespace

int AfficherMessageBoxW(HWND proprietaire, const std::wstring& texte, const std::wstring& titre, UINT type) {
  return MessageBoxW(proprietaire, texte.c_str(), titre.c_str(), type);
}

UINT TypeDeBoite(int style) {
  switch (style) {
    case kStyleCritique:
      return MB_OK | MB_ICONHAND;
    case kStyleExclamation:
      return MB_OK | MB_ICONEXCLAMATION;
    case kStyleInformation:
      return MB_OK | MB_ICONASTERISK;
    case 32:
      return MB_OK | MB_ICONQUESTION;
    default:
      return MB_OK;
  }
}

UINT TypeDeQuestion(int style, Boutons boutons) {
  const UINT icone = TypeDeBoite(style) & MB_ICONMASK;
  return icone | (boutons == Boutons::OuiNon ? MB_YESNO | MB_DEFBUTTON2 : MB_OKCANCEL);
}

VueWin32::VueWin32(OptionsVue options) : options_(std::move(options)) {
  if (!enregistrerClasse(&VueWin32::Procedure)) return;
  const std::wstring titre = Large(std::string(kCaption));
  // Placed and sized once the controls exist, at the dpi of its monitor.
  CreateWindowExW(kStyleEtendu, kClasse, titre.c_str(), kStyle, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                  CW_USEDEFAULT, nullptr, nullptr, GetModuleHandleW(nullptr), this);
}

VueWin32::~VueWin32() {
  if (fenetre_) {
    destructionParObjet_ = true;
    DestroyWindow(fenetre_);
  }
}

LRESULT CALLBACK VueWin32::Procedure(HWND fenetre, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_NCCREATE) {
    auto* vue = static_cast<VueWin32*>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
    vue->fenetre_ = fenetre;
    SetWindowLongPtrW(fenetre, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(vue));
  }
  auto* vue = reinterpret_cast<VueWin32*>(GetWindowLongPtrW(fenetre, GWLP_USERDATA));
  if (!vue) return DefWindowProcW(fenetre, message, w, l);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(fenetre, GWLP_USERDATA, 0);
    vue->fenetre_ = nullptr;
    vue->elements_.clear();
    vue->fonds_.clear();
    vue->bulles_ = nullptr;
    vue->focus_ = nullptr;
    return DefWindowProcW(fenetre, message, w, l);
  }
  return vue->traiter(message, w, l);
}

LRESULT VueWin32::traiter(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_CREATE:
      echelle_ = Echelle(dpiQuiTient(options_.dpi > 0 ? options_.dpi : DpiDeLaFenetre(fenetre_), nullptr));
      creerControles();
      creerBulles();
      disposer(nullptr);
      return 0;
    case DM_GETDEFID: {
      // Asked by the dialog manager when Enter is pressed: the focused button
      // is the one it presses, as Windows users expect. Elsewhere Enter does nothing.
      HWND focus = GetFocus();
      for (const Element& e : elements_)
        if (e.fenetre == focus && e.ligne.sorte == Sorte::Button)
          return MAKELRESULT(GetDlgCtrlID(focus), DC_HASDEFID);
      return 0;
    }
    case WM_COMMAND:
      commande(LOWORD(w), HIWORD(w), reinterpret_cast<HWND>(l));
      return 0;
    case WM_CTLCOLOREDIT: {
      auto it = fonds_.find(reinterpret_cast<HWND>(l));
      if (it == fonds_.end()) break;
      SetBkColor(reinterpret_cast<HDC>(w), it->second);
      return reinterpret_cast<LRESULT>(pinceau(it->second));
    }
    case WM_ACTIVATE:
      // The focus goes back where it was when a message box or the browser
      // took it, as in a dialog.
      if (LOWORD(w) == WA_INACTIVE) {
        HWND f = GetFocus();
        if (f && IsChild(fenetre_, f)) focus_ = f;
      } else {
        SetFocus(focus_ && IsWindow(focus_) ? focus_ : Controle(Nom::TexteNomRadio, -1));
      }
      return 0;
    case WM_DPICHANGED:
      if (options_.dpi > 0 || DpiImposee() > 0) return 0;
      echelle_ = Echelle(dpiQuiTient(LOWORD(w), reinterpret_cast<const RECT*>(l)));
      disposer(reinterpret_cast<const RECT*>(l));
      return 0;
    case WM_DESTROY:
      // The window is the program: closing it ends the message loop.
      if (!destructionParObjet_) PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(fenetre_, message, w, l);
}

void VueWin32::creerControles() {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  int id = kPremierId;
  // Created in the table's order, which is the tab order.
  for (const fenetre::Controle& c : Controles()) {
    const std::wstring texte = Large(std::string(c.clavier.empty() ? c.texte : c.clavier));
    const wchar_t* classe = WC_STATICW;
    DWORD style = WS_CHILD | WS_VISIBLE;
    DWORD etendu = 0;
    switch (c.sorte) {
      case Sorte::Label:
        // Only a caption with an access key reads "&" as its mark.
        style |= SS_LEFTNOWORDWRAP | (c.clavier.empty() ? SS_NOPREFIX : 0);
        break;
      case Sorte::TextBox:
        classe = WC_EDITW;
        style |= WS_TABSTOP | ES_AUTOHSCROLL | ES_LEFT;
        etendu = WS_EX_CLIENTEDGE;
        break;
      case Sorte::Button:
        classe = WC_BUTTONW;
        style |= WS_TABSTOP | BS_PUSHBUTTON;
        break;
      case Sorte::StatusBar:
        classe = STATUSCLASSNAMEW;
        // Placed by the table like every other control, not by its parent.
        style |= CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER;
        break;
    }
    HWND h = CreateWindowExW(etendu, classe, texte.c_str(), style, 0, 0, 0, 0, fenetre_,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id++)), instance, nullptr);
    elements_.push_back({c, h});
    if (const std::string nom = NomAccessible(c.nom, c.index); h && !nom.empty()) NommerPourLecteurDEcran(h, Large(nom));
  }
  if (HWND barre = Controle(Nom::StatusBarMain, -1)) {
    int bord = -1;  // one panel, to the right edge
    SendMessageW(barre, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(&bord));
  }

  const int grande = GetSystemMetrics(SM_CXICON), petite = GetSystemMetrics(SM_CXSMICON);
  grandeIcone_.reset(static_cast<HICON>(
      LoadImageW(instance, MAKEINTRESOURCEW(IL3_ICONE_FENETRE), IMAGE_ICON, grande, grande, LR_DEFAULTCOLOR)));
  petiteIcone_.reset(static_cast<HICON>(
      LoadImageW(instance, MAKEINTRESOURCEW(IL3_ICONE_FENETRE), IMAGE_ICON, petite, petite, LR_DEFAULTCOLOR)));
  if (grandeIcone_) SendMessageW(fenetre_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(grandeIcone_.get()));
  if (petiteIcone_) SendMessageW(fenetre_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(petiteIcone_.get()));
}

// One tool per folder field, with no text until the presenter gives one.
void VueWin32::creerBulles() {
  bulles_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, fenetre_, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
  if (!bulles_) return;
  for (const Element& e : elements_) {
    if (e.ligne.nom != Nom::TexteDossier) continue;
    TTTOOLINFOW outil{};
    outil.cbSize = sizeof outil;
    outil.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    outil.hwnd = fenetre_;
    outil.uId = reinterpret_cast<UINT_PTR>(e.fenetre);
    outil.lpszText = const_cast<wchar_t*>(L"");
    SendMessageW(bulles_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&outil));
  }
}

// The largest dpi, up to `dpi`, at which the window, frame included, fits the
// work area of its monitor (of `suggere`'s when the system proposes a place).
int VueWin32::dpiQuiTient(int dpi, const RECT* suggere) const {
  MONITORINFO ecran{};
  ecran.cbSize = sizeof ecran;
  HMONITOR moniteur =
      suggere ? MonitorFromRect(suggere, MONITOR_DEFAULTTONEAREST) : MonitorFromWindow(fenetre_, MONITOR_DEFAULTTOPRIMARY);
  if (!GetMonitorInfoW(moniteur, &ecran)) return dpi;
  const LONG largeur = ecran.rcWork.right - ecran.rcWork.left, hauteur = ecran.rcWork.bottom - ecran.rcWork.top;
  // The frame keeps the system's size whatever the layout's: the window's own
  // once it exists, else the one the new dpi calls for.
  RECT cadre{0, 0, 0, 0}, client{};
  if (suggere || !GetWindowRect(fenetre_, &cadre) || !GetClientRect(fenetre_, &client)) {
    cadre = RECT{0, 0, 0, 0};
    client = cadre;
    AjusterRectangle(&cadre, kStyle, kStyleEtendu, dpi);
  }
  const LONG margeL = (cadre.right - cadre.left) - client.right, margeH = (cadre.bottom - cadre.top) - client.bottom;
  for (int d = dpi; d > kDpiPlancher; --d) {
    const Echelle e(d);
    if (e.Pixels(kLargeurClient) + margeL <= largeur && e.Pixels(kHauteurClient) + margeH <= hauteur) return d;
  }
  return kDpiPlancher;
}

// The table's sizes were made for an 8-point font; the desktop's message font
// is often larger. A label may grow into the free space before the fields; a
// button's caption that does not fit gets a smaller size of the same face.
HFONT VueWin32::policeAjustee(const Element& e, RECT* place) {
  HFONT police = police_.get();
  if (e.ligne.sorte == Sorte::Label) {
    const SIZE t = etendueDuTexte(e.fenetre, police);
    const LONG limite = echelle_.Pixels(2220) - echelle_.Pixels(60);  // the fields' column, less a gap
    if (t.cx > place->right - place->left) place->right = std::min<LONG>(place->left + t.cx, limite);
    if (t.cy > place->bottom - place->top) place->bottom = place->top + t.cy;
  } else if (e.ligne.nom == Nom::TexteNomStation && e.ligne.index == 0) {
    // The first station box starts with an example that must read whole, as in the other window.
    const DWORD marges = static_cast<DWORD>(SendMessageW(e.fenetre, EM_GETMARGINS, 0, 0));
    const LONG largeur = place->right - place->left - 2 * GetSystemMetrics(SM_CXEDGE) - LOWORD(marges) - HIWORD(marges);
    LOGFONTW lf{};
    GetObjectW(police, sizeof lf, &lf);
    const LONG plancher = -echelle_.Pixels(120);
    while (etendue(e.fenetre, police, std::wstring(kDepartStation1)).cx > largeur && lf.lfHeight < plancher) {
      ++lf.lfHeight;
      Police& reduite = policesReduites_[lf.lfHeight];
      if (!reduite) reduite.reset(CreateFontIndirectW(&lf));
      police = reduite.get();
    }
  } else if (e.ligne.sorte == Sorte::Button) {
    const LONG largeur = place->right - place->left - echelle_.Pixels(90);  // less the button's border
    LOGFONTW lf{};
    GetObjectW(police, sizeof lf, &lf);
    const LONG plancher = -echelle_.Pixels(120);
    while (etendueDuTexte(e.fenetre, police).cx > largeur && lf.lfHeight < plancher) {
      ++lf.lfHeight;  // heights are negative: one pixel smaller
      Police& reduite = policesReduites_[lf.lfHeight];
      if (!reduite) reduite.reset(CreateFontIndirectW(&lf));
      police = reduite.get();
    }
  }
  return police;
}

void VueWin32::disposer(const RECT* suggere) {
  // The old fonts stay alive until every control has let go of them.
  Police ancienne = std::move(police_);
  std::map<LONG, Police> anciennesReduites = std::move(policesReduites_);
  policesReduites_.clear();
  LOGFONTW lf = policeDesMessages(echelle_.Dpi());
  police_.reset(CreateFontIndirectW(&lf));

  for (const Element& e : elements_) {
    const fenetre::Controle& c = e.ligne;
    // Edges are scaled, not sizes, so that neighbours stay neighbours at any dpi.
    RECT r{echelle_.Pixels(c.gauche), echelle_.Pixels(c.haut), echelle_.Pixels(c.gauche + c.largeur),
           echelle_.Pixels(c.haut + c.hauteur)};
    SendMessageW(e.fenetre, WM_SETFONT, reinterpret_cast<WPARAM>(police_.get()), FALSE);
    HFONT police = policeAjustee(e, &r);
    if (police != police_.get()) SendMessageW(e.fenetre, WM_SETFONT, reinterpret_cast<WPARAM>(police), FALSE);
    SetWindowPos(e.fenetre, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }

  const int largeur = echelle_.Pixels(kLargeurClient), hauteur = echelle_.Pixels(kHauteurClient);
  RECT cadre{0, 0, largeur, hauteur};
  AjusterRectangle(&cadre, kStyle, kStyleEtendu, echelle_.Dpi());
  int l = cadre.right - cadre.left, h = cadre.bottom - cadre.top, x = 0, y = 0;
  // A long tip breaks at its CR LF rather than running off the screen.
  if (bulles_) SendMessageW(bulles_, TTM_SETMAXTIPWIDTH, 0, largeur);
  if (suggere) {
    x = suggere->left;
    y = suggere->top;
  } else {
    MONITORINFO ecran{};
    ecran.cbSize = sizeof ecran;
    GetMonitorInfoW(MonitorFromWindow(fenetre_, MONITOR_DEFAULTTOPRIMARY), &ecran);
    x = ecran.rcWork.left + std::max<LONG>(0, (ecran.rcWork.right - ecran.rcWork.left - l) / 2);
    y = ecran.rcWork.top + std::max<LONG>(0, (ecran.rcWork.bottom - ecran.rcWork.top - h) / 2);
  }
  SetWindowPos(fenetre_, nullptr, x, y, l, h, SWP_NOZORDER | SWP_NOACTIVATE);
  // The frame may differ from what the system predicted (themes, another
  // dpi): the client area is what the layout needs.
  RECT client{};
  GetClientRect(fenetre_, &client);
  const int dl = largeur - client.right, dh = hauteur - client.bottom;
  if (dl != 0 || dh != 0) {
    if (!suggere) {
      x -= dl / 2;
      y -= dh / 2;
    }
    SetWindowPos(fenetre_, nullptr, x, y, l + dl, h + dh, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  InvalidateRect(fenetre_, nullptr, TRUE);
}

void VueWin32::commande(int id, int notification, HWND controle) {
  const int rang = id - kPremierId;
  if (rang < 0 || rang >= static_cast<int>(elements_.size())) return;
  const Element& e = elements_[static_cast<size_t>(rang)];
  if (e.fenetre != controle || !presentateur_) return;
  if (e.ligne.sorte == Sorte::TextBox && notification == EN_CHANGE) {
    if (e.ligne.nom == Nom::TexteDossier) presentateur_->TexteDossier_Change(e.ligne.index);
  } else if (e.ligne.sorte == Sorte::Button && notification == BN_CLICKED) {
    presentateur_->Clic(e.ligne.nom, e.ligne.index);
  }
}

const VueWin32::Element* VueWin32::element(Nom nom, int index) const {
  for (const Element& e : elements_)
    if (e.ligne.nom == nom && e.ligne.index == index) return &e;
  return nullptr;
}

HWND VueWin32::Controle(Nom nom, int index) const {
  const Element* e = element(nom, index);
  return e ? e->fenetre : nullptr;
}

HBRUSH VueWin32::pinceau(COLORREF couleur) {
  Pinceau& p = pinceaux_[couleur];
  if (!p) p.reset(CreateSolidBrush(couleur));
  return p.get();
}

void VueWin32::Afficher(int commande) {
  if (!fenetre_) return;
  ShowWindow(fenetre_, commande);
  UpdateWindow(fenetre_);
  SetFocus(focus_ ? focus_ : Controle(Nom::TexteNomRadio, -1));
}

// Alt and a caption's letter: a button is pressed, a folder row's caption gives
// the focus to the row's field. Handled here, not by the dialog manager, which
// would give it to whatever control follows the caption in the tab order.
bool VueWin32::raccourci(const MSG& m) {
  if (m.message != WM_SYSCHAR || !fenetre_ || (m.hwnd != fenetre_ && !IsChild(fenetre_, m.hwnd))) return false;
  const wchar_t touche = static_cast<wchar_t>(towlower(static_cast<wint_t>(m.wParam)));
  for (const Element& e : elements_) {
    const std::string_view k = e.ligne.clavier;
    const size_t at = k.find('&');
    if (at == std::string_view::npos || at + 1 >= k.size() || towlower(static_cast<unsigned char>(k[at + 1])) != touche)
      continue;
    if (e.ligne.sorte == Sorte::Button) {
      SetFocus(e.fenetre);
      SendMessageW(e.fenetre, BM_CLICK, 0, 0);
    } else if (HWND champ = Controle(Nom::TexteDossier, e.ligne.index)) {
      SetFocus(champ);
      SendMessageW(champ, EM_SETSEL, 0, -1);
    }
    return true;
  }
  return false;
}

int VueWin32::BoucleDeMessages() {
  MSG m{};
  BOOL r;
  while ((r = GetMessageW(&m, nullptr, 0, 0)) > 0) {
    if (raccourci(m)) continue;
    // Tab and Shift+Tab move between the controls as in a dialog.
    if (fenetre_ && IsDialogMessageW(fenetre_, &m)) continue;
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
  return r == 0 ? static_cast<int>(m.wParam) : 1;
}

std::string VueWin32::Texte(Nom nom, int index) const {
  HWND h = Controle(nom, index);
  if (!h) return {};
  if (nom == Nom::StatusBarMain) {
    const LRESULT longueur = LOWORD(SendMessageW(h, SB_GETTEXTLENGTHW, 0, 0));
    std::wstring texte(static_cast<size_t>(longueur) + 1, L'\0');
    SendMessageW(h, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(texte.data()));
    texte.resize(static_cast<size_t>(longueur));
    return Etroit(texte);
  }
  const Element* e = element(nom, index);
  // A caption reads as it is shown, without the mark of its access key.
  if (e && !e->ligne.clavier.empty()) return Etroit(sansMarque(texteDe(h)));
  return Etroit(texteDe(h));
}

void VueWin32::DefinirTexte(Nom nom, int index, const std::string& texte) {
  if (nom == Nom::StatusBarMain) return DefinirStatut(texte);
  HWND h = Controle(nom, index);
  if (!h) return;
  const std::wstring large = Large(texte);
  // An edit box raises EN_CHANGE on every WM_SETTEXT; the same text must raise nothing.
  if (texteDe(h) != large) SetWindowTextW(h, large.c_str());
}

uint32_t VueWin32::CouleurFond(Nom nom, int index) const {
  const Element* e = element(nom, index);
  if (!e) return 0;
  auto it = fonds_.find(e->fenetre);
  if (it != fonds_.end()) return it->second;
  return GetSysColor(e->ligne.sorte == Sorte::TextBox ? COLOR_WINDOW : COLOR_BTNFACE);
}

void VueWin32::DefinirCouleurFond(Nom nom, int index, uint32_t couleur) {
  const Element* e = element(nom, index);
  if (!e || e->ligne.sorte != Sorte::TextBox) return;
  // The normal colour is left to the system, so that the field follows the
  // desktop's colours like every other text box.
  if (couleur == GetSysColor(COLOR_WINDOW))
    fonds_.erase(e->fenetre);
  else
    fonds_[e->fenetre] = couleur;
  InvalidateRect(e->fenetre, nullptr, TRUE);
}

void VueWin32::DefinirInfoBulle(Nom nom, int index, const std::string& texte) {
  const Element* e = element(nom, index);
  if (!e || !bulles_) return;
  std::wstring large = Large(texte);
  TTTOOLINFOW outil{};
  outil.cbSize = sizeof outil;
  outil.hwnd = fenetre_;
  outil.uId = reinterpret_cast<UINT_PTR>(e->fenetre);
  outil.lpszText = large.data();  // copied by the control
  SendMessageW(bulles_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&outil));
}

// A second panel, a third of the bar, while a general run says how far it is.
void VueWin32::DefinirAvancement(const std::string& texte) {
  HWND barre = Controle(Nom::StatusBarMain, -1);
  if (!barre) return;
  RECT r{};
  GetClientRect(barre, &r);
  int bords[2] = {texte.empty() ? -1 : r.right - r.right / 3, -1};
  SendMessageW(barre, SB_SETPARTS, texte.empty() ? 1 : 2, reinterpret_cast<LPARAM>(bords));
  if (!texte.empty()) {
    const std::wstring large = Large(texte);
    SendMessageW(barre, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(large.c_str()));
  }
  UpdateWindow(barre);
}

void VueWin32::DefinirStatut(const std::string& texte) {
  HWND barre = Controle(Nom::StatusBarMain, -1);
  if (!barre) return;
  const std::wstring large = Large(texte);
  SendMessageW(barre, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(large.c_str()));
  // Long work runs on this thread: paint now, not when the loop is back.
  UpdateWindow(barre);
}

void VueWin32::MessageBox(const std::string& texte, int style) {
  if (options_.boite) options_.boite(fenetre_, Large(texte), fenetre_ ? texteDe(fenetre_) : Large(std::string(kCaption)),
                                     TypeDeBoite(style));
}

std::optional<bool> VueWin32::Question(const std::string& texte, int style, Boutons boutons) {
  if (!options_.boite) return std::nullopt;
  const int r = options_.boite(fenetre_, Large(texte), fenetre_ ? texteDe(fenetre_) : Large(std::string(kCaption)),
                               TypeDeQuestion(style, boutons));
  return r == IDOK || r == IDYES;
}

std::optional<std::string> VueWin32::ChoisirDossier(const std::string& titre, const std::string& dossierInitial) {
  if (options_.selecteur) return options_.selecteur(fenetre_, titre, dossierInitial);
  return ChoisirDossierShell(fenetre_, titre, dossierInitial);
}

void VueWin32::TraiterEvenements() {
  MSG m{};
  // Bounded, so that a timer firing faster than its handler cannot keep the
  // caller here for ever.
  for (int n = 0; n < 1000 && PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE); ++n) {
    if (m.message == WM_QUIT) {
      // Left for the message loop, which ends on it.
      PostQuitMessage(static_cast<int>(m.wParam));
      return;
    }
    if (raccourci(m)) continue;
    if (fenetre_ && IsDialogMessageW(fenetre_, &m)) continue;
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
}

void VueWin32::Fermer() {
  if (fenetre_) DestroyWindow(fenetre_);
}

}  // namespace fenetre::win32
