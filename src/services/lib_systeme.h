// System services: folders, files, the Windows folder and version, profile reads.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The program's own folder with a trailing backslash, set once at start-up.
extern std::string DossierApplication;

// ---- Per-run folder caches ------------------------------------------------------
struct CacheDossiersType {
  std::string DossiersTrouves;    // FolderFound: found or created, each followed by ",,"
  std::string DossiersAbsents;    // FolderFound: neither found nor created
  std::string DernierDossier;     // the last path walked by VerificationEtCreationRepertoire
  std::string DossiersEnEchec;    // prefixes that could not be created, each followed by ","
  std::string DossiersExistants;  // ",", then prefixes known to exist, each followed by ","
};
extern CacheDossiersType CacheDossiers;

// Makes sure a folder exists, creating every missing level from the top down.
void VerificationEtCreationRepertoire(std::string chemin);

// True when the folder exists, creating it when missing; answers are remembered for the run.
bool FolderFound(const std::string& chemin, bool drapeau);

// The directory-listing existence test of the window and the settings command:
// true when listing the text, folders included, returns an entry.
bool DossierPresent(const std::string& texte);
// Stricter: the text itself names an existing folder (no pattern, not a file);
// what the settings are written into must pass it.
bool DossierExiste(const std::string& texte);

// ---- Files ----------------------------------------------------------------------
bool File_Exist(std::string chemin, const bool& nonVide);
int32_t TailleDuFichier(const std::string& chemin);
void File_RemoveFlag(std::string chemin, int32_t masque);

// ---- System ---------------------------------------------------------------------
// The Windows folder without a trailing backslash; empty when the call fails.
std::string GetWinDir();

// The Windows version class: 0 until classified, then 2000, 5, 2003, 6, 7 or 8.
extern int32_t VersionOS;
void GetOSDisplayString();

// ---- Profile reads ----------------------------------------------------------------
// The stored value of (file, section, key), or the default.
std::string LectureIni(const std::string& fichier, const std::string& section, const std::string& cle,
                       const std::string& defaut);
// The stored value, or nothing when the file holds none (a default can not tell).
std::optional<std::string> LectureIniPresente(const std::string& fichier, const std::string& section,
                                              const std::string& cle);
