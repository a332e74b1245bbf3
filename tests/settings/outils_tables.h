// Views on a default table shared by the table tests.
#pragma once

#include <algorithm>
#include <cctype>
#include <set>
#include <string>
#include <vector>

#include "settings/settings.h"

namespace settings::test {

// The start-up folders of the window, each one distinct so that a mix-up shows.
inline Entrees SiteDeTest(std::vector<std::string> stations) {
  Entrees e;
  e.application = "C:\\Kelvaro\\Ilvane\\";
  e.config = "C:\\Kelvaro\\Ilvane\\Config\\";
  e.parentConfig = "C:\\Kelvaro\\Ilvane\\";
  e.logTechnique = "C:\\Journix\\";
  e.logPub = "C:\\Journix\\Pub\\";
  e.sons = "C:\\IL_Sons\\Sons\\";
  e.data = "C:\\IL_Data\\Data\\";
  e.nomRadio = "Radio Test";
  e.stations = std::move(stations);
  return e;
}

inline std::vector<std::string> StationsNommees(int n) {
  std::vector<std::string> s;
  for (int i = 1; i <= n; ++i) s.push_back("Station " + std::to_string(i));
  return s;
}

// Sections in the order a new file receives them.
inline std::vector<std::string> Sections(const TableDeCles& t) {
  std::vector<std::string> s;
  for (const CleParDefaut& c : t)
    if (std::find(s.begin(), s.end(), c.section) == s.end()) s.push_back(c.section);
  return s;
}

inline std::vector<std::string> ClesDe(const TableDeCles& t, const std::string& section) {
  std::vector<std::string> cles;
  for (const CleParDefaut& c : t)
    if (c.section == section) cles.push_back(c.cle);
  return cles;
}

// Empty when absent, so that a missing key fails the comparison with its default.
inline std::string DefautDe(const TableDeCles& t, const std::string& section, const std::string& cle) {
  for (const CleParDefaut& c : t)
    if (c.section == section && c.cle == cle) return c.defaut;
  return "<absent>";
}

// Profile names ignore case, so "A/b" and "a/B" would be the same key on disk.
inline std::vector<std::string> Doublons(const TableDeCles& t) {
  std::set<std::string> vues;
  std::vector<std::string> doublons;
  for (const CleParDefaut& c : t) {
    std::string nom = c.section + "/" + c.cle;
    std::transform(nom.begin(), nom.end(), nom.begin(), [](unsigned char ch) { return std::tolower(ch); });
    if (!vues.insert(nom).second) doublons.push_back(nom);
  }
  return doublons;
}

struct Attendu {
  const char* section;
  const char* cle;
  std::string defaut;
};

}  // namespace settings::test
