#include "setup_window/qt/icone_fenetre.h"

namespace fenetre::qt {

QPixmap ImageIcone(int taille) {
  return QPixmap(QStringLiteral(":/il3-setup/icone/il3-setup-%1.png").arg(taille));
}

// Every size, so that Qt never scales one: the title bar and the task bar
// take the nearest.
QIcon IconeFenetre() {
  QIcon icone;
  for (int taille : kTaillesIcone) icone.addPixmap(ImageIcone(taille));
  return icone;
}

}  // namespace fenetre::qt
