// Prints the version class the program computes for the Windows it runs on.
// Built twice, with and without a manifest that declares Windows 10, because
// that declaration is what decides whether Windows reports itself as 6.2.
#include <cstdio>

#include "services/lib_systeme.h"

int main() {
  GetOSDisplayString();
  std::printf("%d\n", static_cast<int>(VersionOS));
  return 0;
}
