// The Linux program loads its window only when the window is about to open, so
// that the silent mode and profile access never map the toolkit.
#include <iostream>

#include "app/ouverture_fenetre.h"
#include "platform/platform.h"
#include "setup_window/lancer_fenetre.h"

namespace app {

int OuvrirFenetre(int argc, char** argv) {
  if (!platform::DisplayAvailable()) {
    std::cerr << IL3_PROGRAM_NAME << ": " << MotifSansAffichage() << "; " << kConseilSilencieux << '\n';
    return 2;
  }
  const platform::Module m = platform::LoadModule(IL3_MODULE_FENETRE, fenetre::kEntreeModule);
  if (!m.symbol) {
    std::cerr << IL3_PROGRAM_NAME << ": " << MotifFenetreAbsente(m) << "; " << kConseilSilencieux << '\n';
    return 2;
  }
  return reinterpret_cast<fenetre::EntreeFenetre>(m.symbol)(argc, argv);
}

}  // namespace app
