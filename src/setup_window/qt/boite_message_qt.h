// The window's message boxes: one OK button, the window's caption as title,
// the icon that the program's style value names.
#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>
#include <string>

namespace fenetre::qt {

// A box as the window shows it: the text with plain line breaks.
struct Message {
  QMessageBox::Icon icone;
  QString titre;
  QString texte;
};

// Shows a box, modal on `parent`; tests put a recorder in its place.
using BoiteMessage = std::function<void(QWidget* parent, const Message& message)>;

// 16 critical, 48 exclamation, 64 information; any other value shows no icon.
QMessageBox::Icon IconeDuStyle(int style);

// The program writes CR LF; a Qt label would show the CR.
QString TexteAffichable(const std::string& texte);

void AfficherQMessageBox(QWidget* parent, const Message& message);

}  // namespace fenetre::qt
