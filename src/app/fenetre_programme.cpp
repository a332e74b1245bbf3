// The Linux window is a program of its own, started only when the window is
// about to open: the silent mode and profile access never map the toolkit, and
// this program carries its C++ runtime without sharing it with Qt's.
#include <iostream>

#include "app/ouverture_fenetre.h"
#include "platform/platform.h"

namespace app {

int OuvrirFenetre(int, char** argv) {
  if (!platform::DisplayAvailable()) {
    std::cerr << IL3_PROGRAM_NAME << ": " << MotifSansAffichage() << "; " << kConseilSilencieux << '\n';
    return 2;
  }
  const platform::ProgramRun fenetre = platform::RunProgram(IL3_PROGRAMME_FENETRE, argv);
  if (fenetre.failure != platform::ProgramRun::Failure::None) {
    std::cerr << IL3_PROGRAM_NAME << ": " << MotifFenetreAbsente(fenetre) << "; " << kConseilSilencieux << '\n';
    return 2;
  }
  return fenetre.status;
}

}  // namespace app
