#include "setup_window/qt/traductions_qt.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace fenetre::qt {

bool InstallerTraductionsFrancaises(QCoreApplication* application) {
  QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
  // Parented to the application, so that it lives as long as the words it gives.
  auto* traducteur = new QTranslator(application);
  if (!traducteur->load(QStringLiteral("qtbase_fr"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete traducteur;
    return false;
  }
  return QCoreApplication::installTranslator(traducteur);
}

}  // namespace fenetre::qt
