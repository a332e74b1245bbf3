// Names Windows keeps for itself: what no path of the suite may hold, whatever
// the host would accept.
#pragma once

#include <cstddef>
#include <string>

// MAX_PATH less its final NUL: the longest path the Windows A functions take.
inline constexpr size_t kLongueurCheminMax = 259;

// Where the path holds the first character no Windows name may hold (a control
// character, < > " | ? *, a colon other than the drive's); npos when none.
size_t CaractereInterdit(const std::string& chemin);

// The first component of the path that names a device (CON, PRN, AUX, NUL,
// COM1..9, LPT1..9, with any extension); empty when there is none.
std::string ComposantPeripherique(const std::string& chemin);
