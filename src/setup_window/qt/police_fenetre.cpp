#include "setup_window/qt/police_fenetre.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>

namespace fenetre::qt {

QFont PoliceFenetre(const Echelle& echelle) {
  QFont police;
  police.setFamilies({"Liberation Sans", "Arimo", "Arial", "Helvetica", "Nimbus Sans"});
  police.setStyleHint(QFont::SansSerif);
  police.setPixelSize(echelle.Pixels(165));
  return police;
}

namespace {

// The width in which the widget draws its caption.
int placeDuLibelle(QWidget* controle) {
  if (auto* bouton = qobject_cast<QPushButton*>(controle)) {
    QStyleOptionButton option;
    option.initFrom(bouton);
    option.text = bouton->text();
    return bouton->style()->subElementRect(QStyle::SE_PushButtonContents, &option, bouton).width();
  }
  return controle->contentsRect().width();
}

// As drawn: the "&" of an access key takes no room.
QString libelle(QWidget* controle) {
  if (auto* bouton = qobject_cast<QPushButton*>(controle)) return QString(bouton->text()).remove(QLatin1Char('&'));
  if (auto* etiquette = qobject_cast<QLabel*>(controle)) return QString(etiquette->text()).remove(QLatin1Char('&'));
  return {};
}

}  // namespace

void AjusterAuLibelle(QWidget* controle, const Echelle& echelle) {
  const QString texte = libelle(controle);
  if (texte.isEmpty()) return;
  const int place = placeDuLibelle(controle);
  QFont police = controle->font();
  const int plancher = echelle.Pixels(120);
  bool change = false;
  while (QFontMetrics(police).horizontalAdvance(texte) > place && police.pixelSize() > plancher) {
    police.setPixelSize(police.pixelSize() - 1);
    change = true;
  }
  if (change) controle->setFont(police);
}

}  // namespace fenetre::qt
