// IL3_Setup.exe itself: the window it opens and closes, its command-line modes
// writing through handles it was given, and the resources it carries.
#include <gtest/gtest.h>

#include <string>

#include "banc_win32.h"
#include "setup_window/win32/ressources/ressources.h"

namespace {

std::wstring programme() { return CheminDepuisHote(IL3_PROGRAMME); }

struct Processus {
  PROCESS_INFORMATION pi{};
  bool ok = false;
  ~Processus() {
    if (!ok) return;
    if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi.hProcess, 99);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  DWORD Fin(DWORD delai = 20000) {
    if (WaitForSingleObject(pi.hProcess, delai) != WAIT_OBJECT_0) return 0xFFFFFFFF;
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    return code;
  }
};

// Starts the program with `arguments`; its standard output and error, when
// asked for, go into one pipe whose reading end is returned.
bool lancer(Processus* p, const std::wstring& arguments, HANDLE* lecture = nullptr) {
  std::wstring ligne = L"\"" + programme() + L"\" " + arguments;
  STARTUPINFOW si{};
  si.cb = sizeof si;
  HANDLE ecriture = nullptr;
  if (lecture) {
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    if (!CreatePipe(lecture, &ecriture, &sa, 0)) return false;
    SetHandleInformation(*lecture, HANDLE_FLAG_INHERIT, 0);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = nullptr;
    si.hStdOutput = ecriture;
    si.hStdError = ecriture;
  }
  p->ok = CreateProcessW(nullptr, ligne.data(), nullptr, nullptr, lecture != nullptr, 0, nullptr, nullptr, &si,
                         &p->pi) != FALSE;
  if (ecriture) CloseHandle(ecriture);
  return p->ok;
}

std::string toutLire(HANDLE h) {
  std::string texte;
  char tampon[4096];
  DWORD lu = 0;
  while (ReadFile(h, tampon, sizeof tampon, &lu, nullptr) && lu > 0) texte.append(tampon, lu);
  CloseHandle(h);
  return texte;
}

struct Recherche {
  DWORD pid;
  HWND trouve;
};
BOOL CALLBACK chercher(HWND h, LPARAM l) {
  auto* r = reinterpret_cast<Recherche*>(l);
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  if (pid == r->pid && ClasseDe(h) == L"IL3_Setup_Frm_Main" && IsWindowVisible(h)) {
    r->trouve = h;
    return FALSE;
  }
  return TRUE;
}

HWND attendreFenetre(DWORD pid) {
  for (int n = 0; n < 400; ++n) {
    Recherche r{pid, nullptr};
    EnumWindows(chercher, reinterpret_cast<LPARAM>(&r));
    if (r.trouve) return r.trouve;
    Sleep(50);
  }
  return nullptr;
}

std::wstring texteDistant(HWND h) {
  wchar_t texte[512] = {};
  SendMessageW(h, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(texte));
  return texte;
}

}  // namespace

// Opens on what an earlier run stored, with the focus on the radio's name;
// "Quitter" and the window's close box both end it with status 0.
TEST(Programme, FenetreOuverteChargeeEtFermee) {
  const struct {
    const char* nom;
    bool parQuitter;
  } cas[] = {{"Quitter", true}, {"close box", false}};
  for (const auto& c : cas) {
    SCOPED_TRACE(c.nom);
    Sandbox box;
    CreateDirectoryW(Large(box.Win() + "App").c_str(), nullptr);
    CreateDirectoryW(Large(box.Win() + "App\\Settings").c_str(), nullptr);
    box.Write(box.Win() + "App\\Settings\\IL3_Config.ini", "[Site]\r\nLib=Radio \xC9t\xE9\r\n");
    Processus p;
    ASSERT_TRUE(lancer(&p, L"--app-dir " + Large(box.Win() + "App\\")));
    HWND f = attendreFenetre(p.pi.dwProcessId);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(TexteFenetre(f), L"Installation d'Ilvane");
    // Shown first, then given the focus.
    GUITHREADINFO gti{};
    gti.cbSize = sizeof gti;
    for (int n = 0; n < 100 && !gti.hwndFocus; ++n) {
      if (n) Sleep(20);
      ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(f, nullptr), &gti));
    }
    EXPECT_EQ(ClasseDe(gti.hwndFocus), L"Edit");
    EXPECT_EQ(texteDistant(gti.hwndFocus), L"Radio \u00C9t\u00E9");
    if (c.parQuitter)
      PostMessageW(FindWindowExW(f, nullptr, L"Button", L"&Quitter"), BM_CLICK, 0, 0);
    else
      PostMessageW(f, WM_CLOSE, 0, 0);
    EXPECT_EQ(p.Fin(), 0u);
  }
}

// A GUI program still writes to the handles it is given: scripts read it.
TEST(Programme, ModesEnLigneDeCommandeParUnTube) {
  const struct {
    const wchar_t* arguments;
    DWORD statut;
    const char* sortie;
  } cas[] = {
      {L"ini get C:\\windows\\win.ini il3-absente cle def", 0, "def\r\n"},
      {L"--silent --root x general", 2, "--root n'existe que sous Linux"},
      {L"--version", 0, "IL3_Setup " IL3_VERSION_ATTENDUE},
  };
  for (const auto& c : cas) {
    SCOPED_TRACE(Etroit(c.arguments));
    Processus p;
    HANDLE lecture = nullptr;
    ASSERT_TRUE(lancer(&p, c.arguments, &lecture));
    const std::string sortie = toutLire(lecture);
    EXPECT_EQ(p.Fin(), c.statut);
    EXPECT_NE(sortie.find(c.sortie), std::string::npos) << sortie;
  }
}

namespace {

struct Module {
  HMODULE h = LoadLibraryExW(programme().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ~Module() {
    if (h) FreeLibrary(h);
  }
  std::string Ressource(LPCWSTR type, LPCWSTR nom) const {
    HRSRC r = FindResourceW(h, nom, type);
    if (!r) return {};
    const void* d = LockResource(LoadResource(h, r));
    return std::string(static_cast<const char*>(d), SizeofResource(h, r));
  }
};

#pragma pack(push, 2)
struct EntreeGroupe {
  BYTE largeur, hauteur, couleurs, reserve;
  WORD plans, bits;
  DWORD taille;
  WORD id;
};
#pragma pack(pop)

}  // namespace

// The product's icon, drawn from its one source: 32-bit images with their mask
// at 16, 24, 32 and 48 pixels, the PNG itself at 256.
TEST(Programme, IconeDuProduitEnCinqTailles) {
  Module m;
  ASSERT_NE(m.h, nullptr);
  const std::string groupe = m.Ressource(RT_GROUP_ICON, MAKEINTRESOURCEW(IL3_ICONE_FENETRE));
  const int tailles[] = {16, 24, 32, 48, 256};
  ASSERT_EQ(groupe.size(), 6 + 5 * sizeof(EntreeGroupe));
  const WORD* tete = reinterpret_cast<const WORD*>(groupe.data());
  EXPECT_EQ(tete[1], 1);  // icons
  ASSERT_EQ(tete[2], 5);
  for (int i = 0; i < 5; ++i) {
    const auto* e = reinterpret_cast<const EntreeGroupe*>(groupe.data() + 6 + i * sizeof(EntreeGroupe));
    const int s = tailles[i];
    SCOPED_TRACE(s);
    EXPECT_EQ(e->largeur, s & 0xFF);  // 0 stands for 256
    EXPECT_EQ(e->hauteur, s & 0xFF);
    EXPECT_EQ(e->bits, 32);
    const std::string image = m.Ressource(RT_ICON, MAKEINTRESOURCEW(e->id));
    ASSERT_EQ(image.size(), e->taille);
    if (s == 256) {
      EXPECT_EQ(image.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    } else {
      const auto* bi = reinterpret_cast<const BITMAPINFOHEADER*>(image.data());
      EXPECT_EQ(bi->biWidth, s);
      EXPECT_EQ(bi->biHeight, 2 * s);
      EXPECT_EQ(bi->biBitCount, 32);
      // Rows bottom-up. The corner is transparent in the alpha and the mask;
      // the tile between the mast's legs is opaque and blue.
      const auto* pixels = reinterpret_cast<const BYTE*>(image.data()) + bi->biSize;
      const BYTE* masque = pixels + s * s * 4;
      EXPECT_EQ(pixels[3], 0);
      EXPECT_TRUE(masque[0] & 0x80);
      const int x = s / 2, ligne = s - 1 - s * 7 / 8;
      const BYTE* tuile = pixels + (ligne * s + x) * 4;
      EXPECT_EQ(tuile[3], 255);
      EXPECT_GT(tuile[0], tuile[2] + 60);  // blue over red
      const int ligneMasque = ((s + 31) / 32) * 4;
      EXPECT_FALSE(masque[ligne * ligneMasque + x / 8] & (0x80 >> (x % 8)));
    }
    // And the system loads it at that size.
    HICON icone = static_cast<HICON>(LoadImageW(m.h, MAKEINTRESOURCEW(IL3_ICONE_FENETRE), IMAGE_ICON, s, s, 0));
    ASSERT_NE(icone, nullptr);
    ICONINFO ii{};
    ASSERT_TRUE(GetIconInfo(icone, &ii));
    BITMAP bm{};
    GetObjectW(ii.hbmColor, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, s);
    DeleteObject(ii.hbmColor);
    DeleteObject(ii.hbmMask);
    DestroyIcon(icone);
  }
}

TEST(Programme, ManifesteEtVersion) {
  Module m;
  ASSERT_NE(m.h, nullptr);
  const std::string manifeste = m.Ressource(RT_MANIFEST, MAKEINTRESOURCEW(1));
  for (const char* attendu : {"Microsoft.Windows.Common-Controls", "version=\"6.0.0.0\"", "level=\"asInvoker\"",
                              "PerMonitorV2", ">true<", "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}"})
    EXPECT_NE(manifeste.find(attendu), std::string::npos) << attendu;
  // Nothing newer than Windows 8 (8.1, 10 and 11), or the version reported changes.
  for (const char* absent : {"{1f676c76-80e1-4239-95bb-83d0f6d0da78}", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"})
    EXPECT_EQ(manifeste.find(absent), std::string::npos) << absent;

  DWORD inutile = 0;
  const DWORD taille = GetFileVersionInfoSizeW(programme().c_str(), &inutile);
  ASSERT_GT(taille, 0u);
  std::string donnees(taille, '\0');
  ASSERT_TRUE(GetFileVersionInfoW(programme().c_str(), 0, taille, donnees.data()));
  auto chaine = [&](const wchar_t* cle) {
    void* v = nullptr;
    UINT n = 0;
    const std::wstring chemin = std::wstring(L"\\StringFileInfo\\040c04b0\\") + cle;
    if (!VerQueryValueW(donnees.data(), chemin.c_str(), &v, &n) || !v) return std::wstring();
    return std::wstring(static_cast<const wchar_t*>(v));
  };
  EXPECT_EQ(chaine(L"ProductName"), L"IL3_Setup");
  EXPECT_EQ(Etroit(chaine(L"ProductVersion")), IL3_VERSION_ATTENDUE);
  EXPECT_EQ(Etroit(chaine(L"FileVersion")), IL3_VERSION_ATTENDUE);
  VS_FIXEDFILEINFO* fixe = nullptr;
  UINT n = 0;
  ASSERT_TRUE(VerQueryValueW(donnees.data(), L"\\", reinterpret_cast<void**>(&fixe), &n));
  char texte[64];
  snprintf(texte, sizeof texte, "%u.%u.%u", HIWORD(fixe->dwProductVersionMS), LOWORD(fixe->dwProductVersionMS),
           HIWORD(fixe->dwProductVersionLS));
  EXPECT_EQ(std::string(texte), IL3_VERSION_ATTENDUE);
}
