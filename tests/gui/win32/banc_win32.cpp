#include "banc_win32.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "setup_window/win32/texte_large.h"

using fenetre::Nom;

namespace {

fenetre::win32::OptionsVue options(Banc* b, bool recorders, int dpi) {
  fenetre::win32::OptionsVue o;
  o.dpi = dpi;
  if (!recorders) return o;
  o.boite = [b](HWND proprietaire, const std::wstring& texte, const std::wstring& titre, UINT type) {
    b->messages.push_back({proprietaire, texte, titre, type, b->Statut()});
    if ((type & MB_TYPEMASK) != MB_OK && !b->reponsesBoites.empty()) {
      const int r = b->reponsesBoites.front();
      b->reponsesBoites.pop_front();
      return r;
    }
    // Enter: the default button.
    return (type & MB_TYPEMASK) == MB_YESNO ? IDNO : IDOK;
  };
  o.selecteur = [b](HWND, const std::string& titre, const std::string& depart) {
    b->demandes.emplace_back(titre, depart);
    std::optional<std::string> r;
    if (!b->reponses.empty()) {
      r = b->reponses.front();
      b->reponses.pop_front();
    }
    return r;
  };
  return o;
}

}  // namespace

Banc::Banc(bool recorders, int dpi) : vue(options(this, recorders, dpi)), frm(vue) {
  vue.Relier(&frm);
  frm.Form_Initialize();
  vue.Afficher(SW_SHOWNORMAL);
  Pomper();
}

Banc::~Banc() {
  vue.Relier(nullptr);
  Pomper();
  RetirerQuit();
}

void Banc::Ecrire(Nom nom, int index, const std::wstring& texte) const {
  SendMessageW(C(nom, index), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(texte.c_str()));
}

void Banc::Frapper(Nom nom, int index, wchar_t c) const {
  HWND zone = C(nom, index);
  const LRESULT fin = GetWindowTextLengthW(zone);
  SendMessageW(zone, EM_SETSEL, fin, fin);
  SendMessageW(zone, WM_CHAR, c, 1);
}

void Banc::Cliquer(Nom nom, int index) const { SendMessageW(C(nom, index), BM_CLICK, 0, 0); }

std::wstring Banc::TexteDe(Nom nom, int index) const { return TexteFenetre(C(nom, index)); }

std::wstring Banc::Statut() const {
  HWND barre = C(Nom::StatusBarMain);
  const LRESULT n = LOWORD(SendMessageW(barre, SB_GETTEXTLENGTHW, 0, 0));
  std::wstring texte(static_cast<size_t>(n) + 1, L'\0');
  SendMessageW(barre, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(texte.data()));
  texte.resize(static_cast<size_t>(n));
  return texte;
}

COLORREF Banc::FondPeint(int dossier) const {
  HWND zone = C(Nom::TexteDossier, dossier);
  HDC dc = GetDC(zone);
  auto pinceau = reinterpret_cast<HBRUSH>(SendMessageW(F(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                                                       reinterpret_cast<LPARAM>(zone)));
  ReleaseDC(zone, dc);
  LOGBRUSH lb{};
  if (!pinceau || !GetObjectW(pinceau, sizeof lb, &lb)) return CLR_INVALID;
  return lb.lbColor;
}

void Banc::DossiersDuBac() {
  const char* noms[] = {"App\\", "Kelvaro\\Config\\", "Log\\", "Log\\Pub\\", "Sons\\", "Data\\"};
  for (int i = 0; i < 6; ++i) vue.DefinirTexte(Nom::TexteDossier, i, box.Win() + noms[i]);
}

void Pomper() {
  MSG m;
  for (int n = 0; n < 10000 && PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE); ++n) {
    if (m.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(m.wParam));
      return;
    }
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
}

bool RetirerQuit() {
  MSG m;
  bool vu = false;
  while (PeekMessageW(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) vu = true;
  return vu;
}

namespace {

std::function<bool()> gAction;
DWORD gFin = 0;
UINT_PTR gMinuterie = 0;

BOOL CALLBACK fermerDialogue(HWND h, LPARAM) {
  if (ClasseDe(h) == L"#32770") PostMessageW(h, WM_COMMAND, IDCANCEL, 0);
  return TRUE;
}

void CALLBACK tic(HWND, UINT, UINT_PTR, DWORD) {
  // An action that pumps messages itself (a screenshot) is not entered twice.
  static bool enCours = false;
  if (enCours) return;
  enCours = true;
  bool fini = false;
  if (GetTickCount() > gFin) {
    EnumThreadWindows(GetCurrentThreadId(), fermerDialogue, 0);
    fini = true;
  } else if (gAction) {
    fini = gAction();
  }
  if (fini) {
    KillTimer(nullptr, gMinuterie);
    gMinuterie = 0;
    gAction = nullptr;
  }
  enCours = false;
}

}  // namespace

void PendantLeModal(std::function<bool()> action, int limite) {
  gAction = std::move(action);
  gFin = GetTickCount() + static_cast<DWORD>(limite);
  if (gMinuterie) KillTimer(nullptr, gMinuterie);
  gMinuterie = SetTimer(nullptr, 0, 50, tic);
}

namespace {
struct Recherche {
  HWND proprietaire;
  HWND trouve;
};
BOOL CALLBACK chercherDialogue(HWND h, LPARAM l) {
  auto* r = reinterpret_cast<Recherche*>(l);
  if (ClasseDe(h) == L"#32770" && IsWindowVisible(h) && GetWindow(h, GW_OWNER) == r->proprietaire) {
    r->trouve = h;
    return FALSE;
  }
  return TRUE;
}
struct Collecte {
  HWND parent;
  const wchar_t* classe;
  std::vector<HWND> trouves;
};
BOOL CALLBACK collecter(HWND h, LPARAM l) {
  auto* c = reinterpret_cast<Collecte*>(l);
  if (GetParent(h) == c->parent && (!c->classe || _wcsicmp(ClasseDe(h).c_str(), c->classe) == 0))
    c->trouves.push_back(h);
  return TRUE;
}
}  // namespace

HWND DialogueDe(HWND proprietaire) {
  Recherche r{proprietaire, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), chercherDialogue, reinterpret_cast<LPARAM>(&r));
  return r.trouve;
}

std::vector<HWND> Enfants(HWND parent, const wchar_t* classe) {
  Collecte c{parent, classe, {}};
  EnumChildWindows(parent, collecter, reinterpret_cast<LPARAM>(&c));
  return c.trouves;
}

std::wstring ClasseDe(HWND h) {
  wchar_t nom[256] = {};
  GetClassNameW(h, nom, 256);
  return nom;
}

std::wstring TexteFenetre(HWND h) {
  const int n = GetWindowTextLengthW(h);
  std::wstring texte(static_cast<size_t>(n) + 1, L'\0');
  texte.resize(static_cast<size_t>(std::max(GetWindowTextW(h, texte.data(), n + 1), 0)));
  return texte;
}

std::wstring Large(const std::string& utf8) { return fenetre::win32::Large(utf8); }
std::string Etroit(const std::wstring& utf16) { return fenetre::win32::Etroit(utf16); }

std::wstring CheminDepuisHote(const std::string& hote) {
  // Wine says how it names a host path; elsewhere the host is Z:.
  using DosFn = wchar_t*(CDECL*)(const char*);
  const auto dos = reinterpret_cast<DosFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
  if (dos) {
    if (wchar_t* chemin = dos(hote.c_str())) {
      std::wstring r = chemin;
      HeapFree(GetProcessHeap(), 0, chemin);
      return r;
    }
  }
  std::wstring r = L"Z:" + Large(hote);
  std::replace(r.begin(), r.end(), L'/', L'\\');
  return r;
}

bool CapturerFenetre(HWND fenetre, const std::wstring& fichierBmp) {
  RECT r{};
  GetWindowRect(fenetre, &r);
  const int l = r.right - r.left, h = r.bottom - r.top;
  if (l <= 0 || h <= 0) return false;
  HDC ecran = GetDC(nullptr);
  HDC memoire = CreateCompatibleDC(ecran);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = l;
  bi.bmiHeader.biHeight = h;  // bottom-up, as a BMP file stores it
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 24;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP image = CreateDIBSection(ecran, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ avant = SelectObject(memoire, image);
  // What the screen shows: Wine's PrintWindow paints neither the frame nor
  // the children.
  SetWindowPos(fenetre, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  RedrawWindow(fenetre, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  GdiFlush();
  // The X server draws what it was sent in its own time, slower on a busy machine.
  for (int i = 0; i < 10; ++i) {
    Pomper();
    Sleep(100);
  }
  const bool ok = BitBlt(memoire, 0, 0, l, h, ecran, r.left, r.top, SRCCOPY | CAPTUREBLT) != FALSE;
  GdiFlush();
  SelectObject(memoire, avant);
  const DWORD ligne = (static_cast<DWORD>(l) * 3 + 3) & ~3u;
  const DWORD taille = ligne * static_cast<DWORD>(h);
  BITMAPFILEHEADER fh{};
  fh.bfType = 0x4D42;
  fh.bfOffBits = sizeof fh + sizeof bi.bmiHeader;
  fh.bfSize = fh.bfOffBits + taille;
  std::ofstream f(std::filesystem::path(fichierBmp), std::ios::binary | std::ios::trunc);
  f.write(reinterpret_cast<const char*>(&fh), sizeof fh);
  f.write(reinterpret_cast<const char*>(&bi.bmiHeader), sizeof bi.bmiHeader);
  f.write(static_cast<const char*>(bits), taille);
  const bool ecrit = f.good();
  DeleteObject(image);
  DeleteDC(memoire);
  ReleaseDC(nullptr, ecran);
  return ok && ecrit;
}
