// The window's entry point: opens the window over the presenter, runs its
// message loop and returns the program's exit status. The Windows program links
// its window in; on Linux it is the main of a program of its own, il3-setup-window.
#pragma once

namespace fenetre {

int LancerFenetre(int argc, char** argv);

}  // namespace fenetre
