#include "setup_window/qt/icone_fenetre.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

namespace fenetre::qt {

// A broadcast mast with its waves on a blue tile, drawn in a 64-unit square
// and scaled, so that every size is the same picture.
QPixmap ImageIcone(int taille) {
  QImage image(taille, taille, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(taille / 64.0, taille / 64.0);

  QLinearGradient fond(0, 0, 0, 64);
  fond.setColorAt(0, QColor(0x2f, 0x6f, 0xc4));
  fond.setColorAt(1, QColor(0x14, 0x3a, 0x7a));
  p.setPen(Qt::NoPen);
  p.setBrush(fond);
  p.drawRoundedRect(QRectF(1, 1, 62, 62), 12, 12);

  const QColor blanc(Qt::white);
  QPainterPath mat;
  mat.moveTo(32, 30);
  mat.lineTo(22, 58);
  mat.lineTo(27, 58);
  mat.lineTo(32, 42);
  mat.lineTo(37, 58);
  mat.lineTo(42, 58);
  mat.closeSubpath();
  p.setBrush(blanc);
  p.drawPath(mat);
  p.drawEllipse(QPointF(32, 26), 5, 5);

  // Waves get thicker at small sizes so that they survive the scaling.
  const double trait = taille <= 16 ? 6.0 : 4.5;
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(blanc, trait, Qt::SolidLine, Qt::RoundCap));
  for (int k = 0; k < 2; ++k) {
    const double r = 13 + 10 * k;
    const QRectF arc(32 - r, 26 - r, 2 * r, 2 * r);
    p.drawArc(arc, -40 * 16, 80 * 16);
    p.drawArc(arc, 140 * 16, 80 * 16);
  }
  p.end();
  return QPixmap::fromImage(image);
}

QIcon IconeFenetre() {
  QIcon icone;
  for (int taille : kTaillesIcone) icone.addPixmap(ImageIcone(taille));
  return icone;
}

}  // namespace fenetre::qt
