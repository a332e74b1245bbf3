// The settings files of the general and structural buttons, as data: one list of
// (section, key, default) per file, in the order the keys are written.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
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

// Where a file's keys go, one after the other, in the order they are written.
class RecepteurDeCles {
 public:
  virtual void Cle(const CleParDefaut& c) = 0;

 protected:
  ~RecepteurDeCles() = default;
};

// What a file's keys are made with: one key reused from key to key, so that its
// texts keep their room and a thousand keys cost no allocation, no copy into a
// table and no table. The key handed on holds only until the next one.
class SortieDeCles {
 public:
  explicit SortieDeCles(RecepteurDeCles& r) : r_(r) {}
  void Ajouter(std::string_view section, std::string_view cle, std::string_view defaut);
  // A key built from a field: its default is `avant`, the field's value, `apres`.
  void Ajouter(std::string_view section, std::string_view cle, Champ champ, std::string_view valeur,
               const char* avant = "", const char* apres = "", bool temoin = false);

 private:
  CleParDefaut c_;
  RecepteurDeCles& r_;
};

// `f` with each key that the maker `faire` gives.
template <class Faire, class F>
void PourChaqueCle(Faire faire, F f) {
  struct Pour : RecepteurDeCles {
    explicit Pour(F f) : f(std::move(f)) {}
    void Cle(const CleParDefaut& c) override { f(c); }
    F f;
  } pour(std::move(f));
  SortieDeCles sortie(pour);
  faire(sortie);
}

// The keys a maker gives, kept in a table.
template <class Faire>
TableDeCles EnTable(Faire faire) {
  TableDeCles t;
  t.reserve(kCapaciteTable);
  PourChaqueCle(faire, [&t](const CleParDefaut& c) { t.push_back(c); });
  return t;
}

// The two last digits of n >= 0, the first one a zero below ten: the numbering
// of the tables' keys ("01", "02"... as N2S(n, 2, 0, "0") gives it, without its
// arithmetic), without a text of their own, for a name made of pieces.
struct DeuxChiffres {
  char c[2];
  operator std::string_view() const { return {c, 2}; }
};
inline DeuxChiffres Chiffres(int n) { return {{static_cast<char>('0' + n / 10 % 10), static_cast<char>('0' + n % 10)}}; }

// A name made of pieces, kept on the stack: most keys are named by a prefix, a
// number and a suffix, and a run makes a thousand of them.
class Nom {
 public:
  Nom(std::initializer_list<std::string_view> morceaux) {
    for (std::string_view m : morceaux) {
      if (long_.empty() && n_ + m.size() <= sizeof court_) {
        std::memcpy(court_ + n_, m.data(), m.size());
        n_ += m.size();
        continue;
      }
      if (long_.empty()) long_.assign(court_, n_);
      long_.append(m.data(), m.size());
    }
  }
  operator std::string_view() const { return long_.empty() ? std::string_view(court_, n_) : std::string_view(long_); }

 private:
  char court_[48];
  size_t n_ = 0;
  std::string long_;
};

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
void ClesKvSys(const Entrees& e, SortieDeCles& t);
void ClesIl3Systeme(const Entrees& e, SortieDeCles& t);
// "KV_Mus.ini" and "KV_Pub.ini": the same for every site.
void ClesKvMus(SortieDeCles& t);
void ClesKvPub(SortieDeCles& t);
// The same, as tables.
inline TableDeCles ClesKvSys(const Entrees& e) { return EnTable([&e](SortieDeCles& t) { ClesKvSys(e, t); }); }
inline TableDeCles ClesIl3Systeme(const Entrees& e) {
  return EnTable([&e](SortieDeCles& t) { ClesIl3Systeme(e, t); });
}
inline TableDeCles ClesKvMus() { return EnTable([](SortieDeCles& t) { ClesKvMus(t); }); }
inline TableDeCles ClesKvPub() { return EnTable([](SortieDeCles& t) { ClesKvPub(t); }); }

// How the general button treats the keys built from the fields.
struct OptionsGenerales {
  // Apply the fields to every such key that followed an earlier layout.
  bool miseAJour = false;
  // The fields as the loading found them: the layout the files were last written for.
  std::optional<Disposition> chargee;
  // Told before each file: its number, how many there are, its path.
  std::function<void(int numero, int total, const std::string& fichier)> avancement;
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

// The general button's four files, in order, into the configuration folder.
BilanGeneral EcrireParametresGeneraux(const Entrees& e, const OptionsGenerales& options = {});

// The structural button: the "Win.ini" pointer (for the version classes that
// need it) and the site file next to the program.
void EcrireParametresStructurels(const std::string& dossierConfig, const std::string& nomRadio,
                                 const std::string& cleGuid);

}  // namespace settings
