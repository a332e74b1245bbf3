// A build without a window: say so, and point at the silent mode.
#include <iostream>

#include "app/ouverture_fenetre.h"

namespace app {
int OuvrirFenetre(int, char**) {
  std::cerr << IL3_PROGRAM_NAME << ": cette version n'a pas de fenêtre; utilisez --silent (voir --help)\n";
  return 2;
}
}  // namespace app
