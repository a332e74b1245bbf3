// What a run changed, or in check mode would change: folders created, and per
// settings file the keys added, changed or removed, and the stored values that
// won over the window's. Integrators read it to know a first run from a run
// that changed nothing, and to see drift.
//
// Each file the run writes has a shadow: its text as the profile functions see
// it, in the Windows-exact engine, loaded on the first write and kept in step
// with every write. The shadow tells whether a write changes the file, on both
// systems alike; in check mode it stands in for the file, and the folders a run
// would create exist only here.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace journal {

struct CleAjoutee {
  std::string section, cle, valeur;
};
struct ValeurModifiee {
  std::string section, cle, avant, apres;
};
struct CleSupprimee {
  std::string section, cle;  // cle empty: the whole section
};
struct ValeurGardee {
  std::string section, cle, stockee, proposee;
  bool regleeALaMain = false;  // no earlier layout gives it: an update keeps it too
  std::string raison;          // why an update kept it; empty outside an update
};
// A station that an update no longer counts, and what of it stays in the file.
struct StationNonComptee {
  int station;
  std::string section, cle;  // cle empty: the whole section
};

struct Fichier {
  std::string chemin;      // Windows path, as the program names it
  bool cree = false;
  std::string sauvegarde;  // the backup made before its first change; empty when none
  std::string restauree;   // the backup it was put back from (a restore); empty when none
  std::vector<CleAjoutee> ajoutees;
  size_t ajouteesSansDetail = 0;  // added keys counted only: a run that does not show them
  std::vector<ValeurModifiee> modifiees;
  std::vector<CleSupprimee> supprimees;
  std::vector<ValeurGardee> gardees;
  std::vector<StationNonComptee> nonComptees;
  size_t nombreAjoutees() const { return ajoutees.size() + ajouteesSansDetail; }
  bool change() const {
    return cree || nombreAjoutees() != 0 || !modifiees.empty() || !supprimees.empty() || !restauree.empty();
  }
};

struct Rapport {
  std::vector<std::string> dossiers;  // created, top level first
  std::vector<Fichier> fichiers;      // in the order the run first touched them
  std::vector<std::string> sauvegardesRetirees;  // by --backup-keep
  bool change() const;
};

enum class Mode {
  Inactif,     // the window: nothing is recorded
  Reel,        // the changes are made and recorded
  Simulation,  // nothing is written or created; what would change is recorded
};
// Starts a run's journal afresh. `sauvegardes`: a real run copies each existing
// file before its first change. Without `details`, the keys a real run adds are
// only counted where the system says they were new: for a run that shows no
// key, and writes but does not remove them.
void Demarrer(Mode mode, bool sauvegardes = false, bool details = true);
Mode ModeEnCours();
inline bool Simulation() { return ModeEnCours() == Mode::Simulation; }
const Rapport& RapportEnCours();

// ---- The profile writer's hooks ----------------------------------------------------
// Before a write that passed its checks: true when it would change the file.
// In a real run with backups, the file is copied first; false with `refus` set
// when that copy could not be made (the write must not happen then).
bool AvantEcriture(const std::string& fichier, const std::string& section, const std::string& cle,
                   const std::string& valeur, bool* change, std::string* refus);
// The write happened (or, in check mode, would have). `effet`: what the system
// said the write did, when it can tell.
void Ecrit(const std::string& fichier, const std::string& section, const std::string& cle, const std::string& valeur,
           platform::WriteEffect effet = platform::WriteEffect::Unknown);
// Check mode: would the profile functions take a write to this file now?
bool EcriturePossible(const std::string& fichier, std::string* raison);
// Check mode: the read-only flag a real run would remove.
void DrapeauRetire(const std::string& fichier);
// Check mode: a read sees the shadow of a file the run has written to.
std::optional<std::string> LectureOmbre(const std::string& fichier, const std::string& section, const std::string& cle,
                                        const std::string& defaut);
// A save failed at the end of a command: what was recorded for the file did not happen.
void Annuler(const std::string& fichier);

// A key (or with no key, a section) removed; true when there was something to remove.
bool AvantSuppression(const std::string& fichier, const std::string& section, const std::optional<std::string>& cle,
                      std::string* refus);
void Supprime(const std::string& fichier, const std::string& section, const std::optional<std::string>& cle);

// A stored value kept against the value the window offered.
void Gardee(const std::string& fichier, const std::string& section, const std::string& cle, const std::string& stockee,
            const std::string& proposee, bool regleeALaMain, const std::string& raison = {});
// What of a station above the count an update lowered stays in the file.
void NonComptee(const std::string& fichier, int station, const std::string& section, const std::string& cle);

// A whole file put back from a backup (or, in check mode, that would be).
void Restauree(const std::string& fichier, const std::string& sauvegarde);
// Backups that --backup-keep removed after the run.
void SauvegardesRetirees(const std::vector<std::string>& chemins);

// ---- Folders ---------------------------------------------------------------------
// A folder created by the run (real), or that the run would create (check mode).
void DossierCree(const std::string& dossier);
// Check mode: the folders the run would have created, as a listing or an
// attribute test would see them.
bool DossierVirtuel(const std::string& chemin);
// Check mode: would making this folder succeed now?
bool CreationPossible(const std::string& dossier);

}  // namespace journal
