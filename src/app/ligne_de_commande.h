// The command line: the window, the silent mode, or profile access for scripts.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace app {

enum class Mode { Fenetre, Silencieux, IniGet, IniSet, IniDel, IniList, IniMerge, Restore, Aide, Version };

struct Commande {
  Mode mode = Mode::Fenetre;
  std::string root;    // --root (Linux only)
  std::string appDir;  // --app-dir
  bool verbeux = false;
  // The silent mode's report: check only, the keys listed, backups, JSON.
  bool verification = false;
  bool diff = false;
  bool sauvegarde = false;
  bool json = false;
  // Apply the fields to the keys built from them that followed an earlier layout.
  bool miseAJour = false;
  // With --check: exit 3 when something would change, 0 when nothing would.
  bool codeDetaille = false;
  std::string journal;  // --log FILE: the run's lines appended there
  bool manquantesSeules = false;  // ini merge --missing-only
  bool forcer = false;             // restore --force
  int garderSauvegardes = -1;      // --backup-keep N; -1: all
  std::string horodatage;          // restore STAMP
  // Fields of the silent mode; unset ones keep what start-up loaded.
  std::vector<std::pair<std::string, std::string>> champs;  // in the order given: ("radio"|"guid"|"station N"|"folder I", text)
  std::vector<int> actions;  // button indexes: 0 folders, 1 structural, 2 general
  std::vector<std::string> ini;  // FILE SECTION KEY [DEFAULT|VALUE], or for del FILE SECTION [KEY]
};

struct Analyse {
  Commande commande;
  std::string erreur;  // French, empty when the line is correct
};

Analyse AnalyserLigne(const std::vector<std::string>& args);

// Why a correct line cannot run here, in French (a --root that is no folder, or
// --root on Windows); empty when it can. Both Linux programs check it first.
std::string RefusRacine(const Commande& c);

// The help text, in French; --root only where it exists (Linux).
std::string Aide(const std::string& programme, bool avecRoot);

}  // namespace app
