// The settings files of the general and structural buttons, as data: one list of
// (section, key, default) per file, in the order the keys are written.
#pragma once

#include <string>
#include <vector>

namespace settings {

struct CleParDefaut {
  std::string section;
  std::string cle;
  std::string defaut;
  bool duChamp = false;  // the default comes from a field of the window (radio, stations, folders)
};
using TableDeCles = std::vector<CleParDefaut>;

// The two last digits of n >= 0, the first one a zero below ten: the numbering
// of the tables' keys ("01", "02"... as N2S(n, 2, 0, "0") gives it, without its arithmetic).
inline std::string Nn(int n) { return {static_cast<char>('0' + n / 10 % 10), static_cast<char>('0' + n % 10)}; }

// The working values of one press of a settings button.
struct Entrees {
  std::string application;   // each folder ends with one backslash
  std::string config;
  std::string logTechnique;
  std::string logPub;
  std::string sons;
  std::string data;
  std::string parentConfig;  // DossierParentConfig
  std::string nomRadio;      // as typed
  std::vector<std::string> stations;  // the N counted stations, as typed
};

// "Kv_Sys.ini" and "IL3_Systeme.ini".
TableDeCles ClesKvSys(const Entrees& e);
TableDeCles ClesIl3Systeme(const Entrees& e);
// "KV_Mus.ini" and "KV_Pub.ini": the same for every site.
TableDeCles ClesKvMus();
TableDeCles ClesKvPub();

// Every key: the stored value (or the default) read, then written back.
void LireEtReecrire(const std::string& fichier, const TableDeCles& cles);

// The general button's four files, in order, into the configuration folder.
void EcrireParametresGeneraux(const Entrees& e);

// The structural button: the "Win.ini" pointer (for the version classes that
// need it) and the site file next to the program.
void EcrireParametresStructurels(const std::string& dossierConfig, const std::string& nomRadio,
                                 const std::string& cleGuid);

}  // namespace settings
