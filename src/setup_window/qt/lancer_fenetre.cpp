// The program's window on Linux, run by il3-setup-window once it has checked
// that a display exists.
#include <QApplication>
#include <QEvent>
#include <QTimer>

#include "setup_window/frm_main.h"
#include "setup_window/lancer_fenetre.h"
#include "setup_window/qt/icone_fenetre.h"
#include "setup_window/qt/traductions_qt.h"
#include "setup_window/qt/vue_qt.h"

namespace {

// IL3_QUITTER_APRES_AFFICHAGE=1 ends the program once the window has been drawn
// for the first time: tests and the start-up benchmark need a window that goes away.
class QuitterApresAffichage : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint && !fait_) {
      fait_ = true;
      QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    }
    return false;
  }

 private:
  bool fait_ = false;
};

}  // namespace

namespace fenetre {

int LancerFenetre(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setWindowIcon(qt::IconeFenetre());
  qt::InstallerTraductionsFrancaises(&application);

  qt::VueQt vue;
  Frm_Main frm(vue);
  vue.Relier(&frm);
  frm.Form_Initialize();
  frm.Form_Load();
  QuitterApresAffichage quitter;
  if (qEnvironmentVariableIntValue("IL3_QUITTER_APRES_AFFICHAGE") == 1) vue.installEventFilter(&quitter);
  vue.show();
  return application.exec();
}

}  // namespace fenetre
