// The Qt window's tests. They run on the offscreen platform unless told
// otherwise, so that no display is needed.
#include <QApplication>

#include "banc_fenetre.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  int echecs = 0;
  echecs += TesterDisposition(argc, argv);
  echecs += TesterVue(argc, argv);
  echecs += TesterChoixDossier(argc, argv);
  return echecs == 0 ? 0 : 1;
}
