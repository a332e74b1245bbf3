// The window's message boxes: the window's caption as title, the icon that the
// program's style value names, one OK button or a question's two.
#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>
#include <memory>
#include <string>

namespace fenetre::qt {

// A box as the window shows it: the text with plain line breaks.
struct Message {
  QMessageBox::Icon icone;
  QString titre;
  QString texte;
  QMessageBox::StandardButtons boutons = QMessageBox::Ok;
  QMessageBox::StandardButton defaut = QMessageBox::Ok;  // what Enter presses
};

// Shows a box, modal on `parent`, and returns the button pressed; tests put a
// recorder in its place.
using BoiteMessage = std::function<QMessageBox::StandardButton(QWidget* parent, const Message& message)>;

// 16 critical, 48 exclamation, 64 information; any other value shows no icon.
QMessageBox::Icon IconeDuStyle(int style);

// The program writes CR LF; a Qt label would show the CR.
QString TexteAffichable(const std::string& texte);

// The box, not yet shown.
std::unique_ptr<QMessageBox> CreerQMessageBox(QWidget* parent, const Message& message);
QMessageBox::StandardButton AfficherQMessageBox(QWidget* parent, const Message& message);

}  // namespace fenetre::qt
