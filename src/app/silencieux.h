// The program without a window: the same presenter, through a view that prints.
#pragma once

#include "app/ligne_de_commande.h"

namespace app {
// Runs start-up, applies the fields, runs the actions; returns the exit status.
int LancerSilencieux(const Commande& c);
// The ini commands; returns the exit status.
int LancerIni(const Commande& c);
// restore: the newest set of backups (or the one named) put back; returns the exit status.
int LancerRestauration(const Commande& c);
}  // namespace app
