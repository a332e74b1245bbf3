// The Qt window's tests. They run on the offscreen platform unless told
// otherwise, so that no display is needed.
#include <QApplication>
#include <cstring>

#include "banc_fenetre.h"
#include "setup_window/qt/traductions_qt.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  // As the program does: Qt's own dialogs and menus in French.
  const bool francais = fenetre::qt::InstallerTraductionsFrancaises(&application);
  // --ecran: only the window on the screen Qt was given (its size, its scale).
  if (argc > 1 && std::strcmp(argv[1], "--ecran") == 0) return TesterEcran(1, argv) == 0 ? 0 : 1;
  int echecs = 0;
  echecs += TesterDisposition(argc, argv);
  echecs += TesterVue(argc, argv);
  echecs += TesterChoixDossier(argc, argv);
  echecs += TesterUsage(argc, argv, francais);
  echecs += TesterChangement(argc, argv);
  return echecs == 0 ? 0 : 1;
}
