// The program: the window, the silent mode, or profile access for scripts.
#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "app/journal_fichier.h"
#include "app/ouverture_fenetre.h"
#include "app/ligne_de_commande.h"
#include "app/silencieux.h"
#include "platform/platform.h"

namespace {

// A headless run has saved everything by the time it returns: tearing down its
// caches, a few thousand allocations, would only delay the exit the script waits for.
int sansDemontage(int code) {
#ifndef _WIN32
  std::cout.flush();
  std::cerr.flush();
  std::fflush(nullptr);
  std::_Exit(code);
#endif
  return code;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args = platform::Arguments(argc, argv);
  const app::Analyse a = app::AnalyserLigne(args);
  const std::string programme = IL3_PROGRAM_NAME;
  if (!a.erreur.empty()) {
    std::cerr << programme << ": " << a.erreur << "\n(" << programme << " --help pour l'aide)\n";
    return 2;
  }
  const app::Commande& c = a.commande;
  if (const std::string refus = app::RefusRacine(c); !refus.empty()) {
    std::cerr << programme << ": " << refus << '\n';
    return 2;
  }
  switch (c.mode) {
    case app::Mode::Aide:
#ifdef _WIN32
      std::cout << app::Aide(programme, false);
#else
      std::cout << app::Aide(programme, true);
#endif
      return 0;
    case app::Mode::Version:
      std::cout << programme << " " << IL3_VERSION << '\n';
      return 0;
    default:
      break;
  }
  platform::Configure({c.root, c.appDir});
  if (c.mode == app::Mode::Fenetre) return app::OuvrirFenetre(argc, argv);
  app::JournalFichier journal(c.journal, args, programme);
  int statut = 0;
  switch (c.mode) {
    case app::Mode::Silencieux:
      statut = app::LancerSilencieux(c);
      break;
    case app::Mode::Restore:
      statut = app::LancerRestauration(c);
      break;
    default:
      statut = app::LancerIni(c);
      break;
  }
  if (!journal.Terminer(statut) && statut == 0) statut = 1;
  return sansDemontage(statut);
}
