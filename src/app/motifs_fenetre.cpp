#include "app/ouverture_fenetre.h"

namespace app {

std::string MotifSansAffichage() {
  return "aucun affichage disponible (DISPLAY n'est pas défini ou ne répond pas)";
}

std::string MotifFenetreAbsente(const platform::ProgramRun& m) {
  using Echec = platform::ProgramRun::Failure;
  switch (m.failure) {
    case Echec::Missing:
      return "la fenêtre n'est pas installée: le programme " + m.path + " est introuvable";
    case Echec::LibraryMissing: {
      // Qt's libraries are named libQt6Widgets.so.6, libQt6Gui.so.6...; say which package brings them.
      const bool qt = m.library.rfind("libQt", 0) == 0;
      return "la fenêtre ne peut s'ouvrir: la bibliothèque " + m.library + " est introuvable, et le programme " +
             m.path + " en a besoin" + (qt ? " (Qt 6 n'est pas installé: paquet libqt6widgets6)" : "");
    }
    default:
      return "la fenêtre ne peut s'ouvrir: le programme " + m.path + " est inutilisable (" + m.detail + ")";
  }
}

}  // namespace app
