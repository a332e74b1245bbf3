// The window's entry point: opens the window over the presenter, runs its
// message loop and returns the program's exit status. The Windows program links
// its window in and calls LancerFenetre; the Linux window is a module of its own,
// which exports the entry under kEntreeModule, looked up when the window opens.
#pragma once

namespace fenetre {

int LancerFenetre(int argc, char** argv);

using EntreeFenetre = int (*)(int argc, char** argv);
inline constexpr const char* kEntreeModule = "il3_lancer_fenetre";

}  // namespace fenetre

extern "C" int il3_lancer_fenetre(int argc, char** argv);
