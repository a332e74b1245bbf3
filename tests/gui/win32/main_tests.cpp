// The window's tests run on one thread, as the program does, in the
// apartment and with the common controls the program sets up.
#include <gtest/gtest.h>

#include <objbase.h>

#include "setup_window/win32/api_fenetre.h"

int main(int argc, char** argv) {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  INITCOMMONCONTROLSEX controles{};
  controles.dwSize = sizeof controles;
  controles.dwICC = ICC_STANDARD_CLASSES | ICC_BAR_CLASSES;
  InitCommonControlsEx(&controles);
  testing::InitGoogleTest(&argc, argv);
  const int r = RUN_ALL_TESTS();
  CoUninitialize();
  return r;
}
