// The program's window on Windows.
#include "setup_window/lancer_fenetre.h"
#include "setup_window/frm_main.h"
#include "setup_window/win32/vue_win32.h"

#include <objbase.h>

namespace fenetre {

int LancerFenetre(int, char**) {
  // Started from a console, the program attached to it for the command-line
  // modes; the window lets it go, or closing that console would end the window.
  FreeConsole();
  // The shell's folder browser wants a single-threaded apartment.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  INITCOMMONCONTROLSEX controles{};
  controles.dwSize = sizeof controles;
  controles.dwICC = ICC_STANDARD_CLASSES | ICC_BAR_CLASSES;
  InitCommonControlsEx(&controles);

  int statut = 0;
  {
    win32::VueWin32 vue;
    if (!vue.Fenetre()) {
      statut = 1;
    } else {
      Frm_Main frm(vue);
      vue.Relier(&frm);
      frm.Form_Initialize();
      frm.Form_Load();
      vue.Afficher(SW_SHOWDEFAULT);  // as the shortcut or the caller asks (normal, minimised)
      vue.BoucleDeMessages();
      vue.Relier(nullptr);
    }
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return statut;
}

}  // namespace fenetre
