// Profile writes with the status line, argument checks and the recovery ladder.
#pragma once

#include <functional>
#include <string>
#include <type_traits>
#include <vector>

// Where the progress line goes: the window's first status panel, or the silent
// mode's standard error. Nothing is shown without one.
void DefinirLigneDeProgression(std::function<void(const std::string&)> sink);
void AfficherProgression(const std::string& texte);
// True when someone shows the progress line (so that nobody builds it for nothing).
bool ProgressionAffichee();

// Writes one key; true when it was written.
bool EcritureIni(const std::string& fichier, const std::string& section, const std::string& cle,
                 const std::string& valeur);

// One key read with its default (LectureIni), the value read handed to
// `choisir`, which may change it, and written back (EcritureIni): the same
// effects, with the file found and the key looked up once where the system can.
bool LireEtEcrireIni(const std::string& fichier, const std::string& section, const std::string& cle,
                     const std::string& defaut, void (*choisir)(void*, std::string&), void* contexte);
template <class Choix>
bool LireEtEcrireIni(const std::string& fichier, const std::string& section, const std::string& cle,
                     const std::string& defaut, Choix&& choisir) {
  return LireEtEcrireIni(
      fichier, section, cle, defaut, [](void* c, std::string& v) { (*static_cast<std::remove_reference_t<Choix>*>(c))(v); },
      &choisir);
}

// What went wrong with the writes of one command, per file, so that the command
// can tell the user instead of claiming success.
struct EchecsFichier {
  std::string fichier;
  int nombre = 0;             // keys that could not be written
  std::string premiereRaison;  // French
};
class BilanEcritures {
 public:
  void ajouter(const std::string& fichier, const std::string& raison);
  const std::vector<EchecsFichier>& fichiers() const { return fichiers_; }
  bool vide() const { return fichiers_.empty(); }
  void vider() { fichiers_.clear(); }

 private:
  std::vector<EchecsFichier> fichiers_;
};
// The record EcritureIni fills; the settings command empties it before a branch.
BilanEcritures& Bilan();
// The reason of the last refused or failed write, for scripts.
const std::string& DerniereRaison();
