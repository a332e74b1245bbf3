// The sound categories shared by the station tables of both system files,
// in the order their keys and sections are written.
#pragma once

#include <array>

namespace settings {

struct CategorieSon {
  const char* cle;          // key stem in "Kv_Sys.ini"
  const char* suffixe;      // section suffix in "IL3_Systeme.ini"
  const char* sousDossier;  // under the sounds folder
};

// Music first; the seven others share one folder.
inline constexpr std::array<CategorieSon, 8> kCategoriesSons = {{
    {"000", "Mus", "Musique\\"},
    {"JIN", "Jin", "Autre\\"},
    {"LIN", "Lin", "Autre\\"},
    {"RUB", "Rub", "Autre\\"},
    {"INF", "Inf", "Autre\\"},
    {"PUB", "Pub", "Autre\\"},
    {"PRE", "Pre", "Autre\\"},
    {"TMP", "Tmp", "Autre\\"},
}};

}  // namespace settings
