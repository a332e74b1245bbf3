// The general button's work without a window: every key of the four settings
// files read with its default and written back, for five stations.
#pragma once

#include <string>

#include "settings/settings.h"

inline settings::Entrees EntreesDeBanc(const std::string& racine) {
  settings::Entrees e;
  e.application = racine + "App\\";
  e.config = racine + "Config\\";
  e.logTechnique = racine + "Log\\";
  e.logPub = racine + "Log\\Pub\\";
  e.sons = racine + "Sons\\";
  e.data = racine + "Data\\";
  e.parentConfig = racine;
  e.nomRadio = "Radio du banc";
  e.stations = {"Station 1", "Station 2", "Station 3", "Station 4", "Station 5"};
  return e;
}
