// The window's icon, drawn at 16, 32, 48 and 64 pixels.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace fenetre::qt {

inline constexpr int kTaillesIcone[] = {16, 32, 48, 64};

QPixmap ImageIcone(int taille);
QIcon IconeFenetre();

}  // namespace fenetre::qt
