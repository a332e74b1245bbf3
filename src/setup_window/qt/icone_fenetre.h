// The window's icon: the product's, as the module carries it (PNG files drawn
// at build time from the one icon source, at the icon theme's sizes).
#pragma once

#include <QIcon>
#include <QPixmap>

namespace fenetre::qt {

// The sizes the build embeds (IL3_ICONE_TAILLES in packaging/icone/icone.cmake).
inline constexpr int kTaillesIcone[] = {16, 22, 24, 32, 48, 64, 128, 256};

QPixmap ImageIcone(int taille);
QIcon IconeFenetre();

}  // namespace fenetre::qt
