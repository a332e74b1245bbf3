// The Linux window's program, il3-setup-window. il3-setup starts it with its own
// command line once it has seen a display; it reads that line as il3-setup does.
#include <iostream>

#include "app/ligne_de_commande.h"
#include "app/ouverture_fenetre.h"
#include "platform/platform.h"
#include "setup_window/lancer_fenetre.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args = platform::Arguments(argc, argv);
  platform::ProgramStarted();
  const app::Analyse a = app::AnalyserLigne(args);
  const std::string programme = IL3_PROGRAM_NAME;
  if (!a.erreur.empty()) {
    std::cerr << programme << ": " << a.erreur << "\n(" << programme << " --help pour l'aide)\n";
    return 2;
  }
  const app::Commande& c = a.commande;
  if (c.mode != app::Mode::Fenetre) {
    std::cerr << programme << "-window: ce programme n'ouvre que la fenêtre; pour le reste, lancez " << programme
              << " (voir " << programme << " --help)\n";
    return 2;
  }
  if (const std::string refus = app::RefusRacine(c); !refus.empty()) {
    std::cerr << programme << ": " << refus << '\n';
    return 2;
  }
  // Started by hand rather than by il3-setup, it looks for itself.
  if (!platform::DisplayAvailable()) {
    std::cerr << programme << ": " << app::MotifSansAffichage() << "; " << app::kConseilSilencieux << '\n';
    return 2;
  }
  platform::Configure({c.root, c.appDir});
  return fenetre::LancerFenetre(argc, argv);
}
