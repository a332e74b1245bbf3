// The program without a window: the same presenter, through a view that prints.
#pragma once

#include "app/ligne_de_commande.h"

namespace app {
// Runs start-up, applies the fields, runs the actions; returns the exit status.
int LancerSilencieux(const Commande& c);
// ini get / ini set; returns the exit status.
int LancerIni(const Commande& c);
}  // namespace app
