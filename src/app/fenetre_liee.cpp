// The Windows program carries its window.
#include "app/ouverture_fenetre.h"
#include "setup_window/lancer_fenetre.h"

namespace app {
int OuvrirFenetre(int argc, char** argv) { return fenetre::LancerFenetre(argc, argv); }
}  // namespace app
