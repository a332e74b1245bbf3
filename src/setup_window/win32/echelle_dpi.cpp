#include "setup_window/win32/echelle_dpi.h"

#include <cwchar>

namespace fenetre::win32 {

namespace {

template <typename Fonction>
Fonction fonctionDeUser32(const char* nom) {
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  return user32 ? reinterpret_cast<Fonction>(reinterpret_cast<void*>(GetProcAddress(user32, nom))) : nullptr;
}

}  // namespace

int DpiImposee() {
  wchar_t valeur[16] = {};
  const DWORD n = GetEnvironmentVariableW(L"IL3_DPI", valeur, 16);
  if (n == 0 || n >= 16) return 0;
  const long dpi = std::wcstol(valeur, nullptr, 10);
  return dpi >= 48 && dpi <= 960 ? static_cast<int>(dpi) : 0;
}

int DpiDuSysteme() {
  using GetDpiForSystemFn = UINT(WINAPI*)();
  static const auto pourSysteme = fonctionDeUser32<GetDpiForSystemFn>("GetDpiForSystem");
  if (pourSysteme) return static_cast<int>(pourSysteme());
  HDC ecran = GetDC(nullptr);
  const int dpi = ecran ? GetDeviceCaps(ecran, LOGPIXELSX) : USER_DEFAULT_SCREEN_DPI;
  if (ecran) ReleaseDC(nullptr, ecran);
  return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

int DpiDeLaFenetre(HWND fenetre) {
  if (const int imposee = DpiImposee()) return imposee;
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto pourFenetre = fonctionDeUser32<GetDpiForWindowFn>("GetDpiForWindow");
  if (pourFenetre && fenetre) {
    if (const UINT dpi = pourFenetre(fenetre)) return static_cast<int>(dpi);
  }
  return DpiDuSysteme();
}

void AjusterRectangle(RECT* rectangle, DWORD style, DWORD styleEtendu, int dpi) {
  using AdjustForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
  static const auto pourDpi = fonctionDeUser32<AdjustForDpiFn>("AdjustWindowRectExForDpi");
  if (pourDpi && pourDpi(rectangle, style, FALSE, styleEtendu, static_cast<UINT>(dpi))) return;
  AdjustWindowRectEx(rectangle, style, FALSE, styleEtendu);
}

}  // namespace fenetre::win32
