// The backups a run keeps beside the files it changes (NAME.YYYYMMDD-HHMMSS.bak,
// -2, -3... within one second): what the file became after that run, so that a
// restore can tell whether someone changed it since; only the newest N kept;
// and a set of them put back.
#pragma once

#include <string>
#include <vector>

namespace sauvegardes {

// One backup of a file, by its name beside it.
struct Sauvegarde {
  std::string chemin;  // Windows path of the .bak
  std::string cle;     // "YYYYMMDD-HHMMSS" or "YYYYMMDD-HHMMSS-N": the run that made it
};
// The backups of `fichier`, newest first.
std::vector<Sauvegarde> De(const std::string& fichier);

// After a real run: what each backed-up file now holds, recorded beside its backup.
void NoterApres(const std::string& fichier, const std::string& sauvegarde);

// Keeps the `n` newest backups of the file (and their records); the paths of those removed.
std::vector<std::string> GarderLesPlusRecentes(const std::string& fichier, int n);

// A file of the set to put back.
struct ARemettre {
  std::string fichier, sauvegarde, cle;
  bool changeDepuis = false;  // the file is no longer what that run left (or nothing says what it left)
  bool identique = false;     // it holds the backup's bytes already
};
// The newest set among these files' backups, or the one whose key starts with `cle`.
std::vector<ARemettre> Jeu(const std::vector<std::string>& fichiers, const std::string& cle);

}  // namespace sauvegardes
