#include "setup_window/qt/boite_message_qt.h"

#include "setup_window/vue.h"

namespace fenetre::qt {

QMessageBox::Icon IconeDuStyle(int style) {
  switch (style & 0x70) {
    case kStyleCritique:
      return QMessageBox::Critical;
    case kStyleExclamation:
      return QMessageBox::Warning;
    case kStyleInformation:
      return QMessageBox::Information;
    case 32:
      return QMessageBox::Question;
    default:
      return QMessageBox::NoIcon;
  }
}

QString TexteAffichable(const std::string& texte) {
  QString t = QString::fromStdString(texte);
  t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  return t;
}

void AfficherQMessageBox(QWidget* parent, const Message& message) {
  QMessageBox boite(message.icone, message.titre, message.texte, QMessageBox::Ok, parent);
  // Paths and names are shown as they are, never read as markup.
  boite.setTextFormat(Qt::PlainText);
  boite.exec();
}

}  // namespace fenetre::qt
