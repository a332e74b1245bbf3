// A build without a window: say so, and point at the silent mode.
#include <iostream>

#include "app/fenetre_programme.h"

namespace app {
int LancerFenetre(int, char**) {
  std::cerr << IL3_PROGRAM_NAME << ": cette version n'a pas de fenêtre; utilisez --silent (voir --help)\n";
  return 2;
}
}  // namespace app
