#include "setup_window/qt/boite_message_qt.h"

#include <QLabel>

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

std::unique_ptr<QMessageBox> CreerQMessageBox(QWidget* parent, const Message& message) {
  auto boite = std::make_unique<QMessageBox>(message.icone, message.titre, message.texte, message.boutons, parent);
  // Paths and names are shown as they are, never read as markup.
  boite->setTextFormat(Qt::PlainText);
  boite->setDefaultButton(message.defaut);
  // Closing the box is the safe answer, not the first button.
  if (message.boutons != QMessageBox::Ok)
    boite->setEscapeButton(message.boutons & QMessageBox::No ? QMessageBox::No : QMessageBox::Cancel);
  // A list of keys and values reads line by line: wide enough not to wrap them.
  if (message.texte.count(QLatin1Char('\n')) > 3)
    if (auto* texte = boite->findChild<QLabel*>(QStringLiteral("qt_msgbox_label")))
      texte->setMinimumWidth(texte->fontMetrics().averageCharWidth() * 72);
  return boite;
}

QMessageBox::StandardButton AfficherQMessageBox(QWidget* parent, const Message& message) {
  const std::unique_ptr<QMessageBox> boite = CreerQMessageBox(parent, message);
  boite->exec();
  return boite->clickedButton() ? boite->standardButton(boite->clickedButton()) : QMessageBox::NoButton;
}

}  // namespace fenetre::qt
