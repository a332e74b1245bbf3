// How the program reaches its window: linked in (Windows), a program of its own
// started when the window is about to open (Linux), or absent. Each program links one.
#pragma once

#include <string>

#include "platform/platform.h"

namespace app {

// The window's exit status, or 2 with a French message when it cannot open.
int OuvrirFenetre(int argc, char** argv);

// Why the window cannot open, in French, naming what is missing.
std::string MotifSansAffichage();
std::string MotifFenetreAbsente(const platform::ProgramRun& programme);
inline constexpr const char* kConseilSilencieux = "utilisez --silent pour travailler sans fenêtre (voir --help)";

}  // namespace app
