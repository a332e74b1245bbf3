// The settings files of the general and structural buttons, as data: one list of
// (section, key, default) per file, in the order the keys are written.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace settings {

// The start texts of the window: examples, not names.
inline constexpr const char* kExempleRadio = "Nom de votre Radio";
inline constexpr const char* kExempleStation1 = "Nom de la Station 1";

// The field of the window a default is built from.
enum class Champ : uint8_t {
  Aucun,
  Radio,
  Station1,  // Station1 + (n - 1) for station n
  Station2,
  Station3,
  Station4,
  Station5,
  NombreStations,
  Application,
  LogTechnique,
  LogPub,
  Sons,
  Data,
  ParentConfig,  // the configuration folder's parent (DossierParentConfig)
};
inline constexpr size_t kChamps = static_cast<size_t>(Champ::ParentConfig) + 1;
inline Champ ChampStation(int n) { return static_cast<Champ>(static_cast<int>(Champ::Station1) + n - 1); }

struct CleParDefaut {
  std::string section;
  std::string cle;
  std::string defaut;
  // For a field's key: default = avant + the field's value + apres.
  Champ champ = Champ::Aucun;
  const char* avant = "";
  const char* apres = "";
  // The key that stands for its field in this file: what it holds is this file's record of the layout.
  bool temoin = false;
  bool duChamp() const { return champ != Champ::Aucun; }
};
using TableDeCles = std::vector<CleParDefaut>;
// More than any file's table holds, five stations included.
inline constexpr size_t kCapaciteTable = 512;

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

// One layout of the site: the value of each field, or nothing where it has none
// (a station beyond the count, a field a file does not record).
struct Disposition {
  std::array<std::optional<std::string>, kChamps> champs;
  const std::optional<std::string>& operator[](Champ c) const { return champs[static_cast<size_t>(c)]; }
  std::optional<std::string>& operator[](Champ c) { return champs[static_cast<size_t>(c)]; }
};
Disposition DispositionDe(const Entrees& e);

// "Kv_Sys.ini" and "IL3_Systeme.ini".
TableDeCles ClesKvSys(const Entrees& e);
TableDeCles ClesIl3Systeme(const Entrees& e);
// "KV_Mus.ini" and "KV_Pub.ini": the same for every site.
TableDeCles ClesKvMus();
TableDeCles ClesKvPub();

// How the general button treats the keys built from the fields.
struct OptionsGenerales {
  // Apply the fields to every such key that followed an earlier layout.
  bool miseAJour = false;
  // The fields as the loading found them: the layout the files were last written for.
  std::optional<Disposition> chargee;
};

// A stored value that differs from what the fields give, and stayed.
struct ValeurGardee {
  std::string fichier, section, cle, stockee, proposee;
  bool regleeALaMain = false;  // no earlier layout gives it: an update keeps it too
};

struct BilanGeneral {
  std::vector<ValeurGardee> gardees;
  int appliquees = 0;  // stored values an update replaced with the fields'
  // Applied by an update: the station count that the update lowered; the
  // stations above it keep their sections.
  std::vector<int> stationsNonComptees;
  // How many of the kept values an update would apply.
  int applicables() const;
};

// Every key: the stored value (or the default) read, then written back.
void LireEtReecrire(const std::string& fichier, const TableDeCles& cles);

// The general button's four files, in order, into the configuration folder.
BilanGeneral EcrireParametresGeneraux(const Entrees& e, const OptionsGenerales& options = {});

// The structural button: the "Win.ini" pointer (for the version classes that
// need it) and the site file next to the program.
void EcrireParametresStructurels(const std::string& dossierConfig, const std::string& nomRadio,
                                 const std::string& cleGuid);

}  // namespace settings
