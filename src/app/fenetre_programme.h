// The window of the program on this platform: opens it, runs its message loop,
// and returns the exit status. Each program links one implementation.
#pragma once

namespace app {
int LancerFenetre(int argc, char** argv);
}  // namespace app
