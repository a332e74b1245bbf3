// Undo: the files of one run's backups put back, each whole and atomically,
// unless one of them changed since that run (then nothing is, without --force).
#include <iostream>

#include "app/silencieux.h"
#include "app/vue_imprimante.h"
#include "common/lib_public.h"
#include "platform/platform.h"
#include "services/journal.h"
#include "services/lib_setup.h"
#include "services/lib_systeme.h"
#include "services/sauvegardes.h"
#include "setup_window/frm_main.h"

namespace app {

int LancerRestauration(const Commande& c) {
  journal::Demarrer(c.verification ? journal::Mode::Simulation : journal::Mode::Reel);
  VueImprimante vue(false, c.json);
  fenetre::Frm_Main frm(vue);
  vue.Relier(&frm);
  DefinirLigneDeProgression({});
  frm.Form_Initialize();
  frm.Form_Load();
  // The site's settings files, where the window finds them.
  const std::string config = CheckRep(vue.Texte(fenetre::Nom::TexteDossier, 1), "\\");
  std::vector<std::string> fichiers{DossierApplication + "Settings\\IL3_Config.ini", CheckRep(GetWinDir(), "\\") + "Win.ini"};
  for (const char* f : {"Kv_Sys.ini", "IL3_Systeme.ini", "KV_Mus.ini", "KV_Pub.ini"}) fichiers.push_back(config + f);

  const std::vector<sauvegardes::ARemettre> jeu = sauvegardes::Jeu(fichiers, c.horodatage);
  bool echec = false;
  auto fin = [&] {
    if (c.json)
      std::cout << DocumentJson(journal::RapportEnCours(), vue.Messages(), echec, c.verification) << std::flush;
    else
      std::cout << LignesDuRapport(journal::RapportEnCours(), c.diff) << std::flush;
    return echec ? 1 : c.verification && c.codeDetaille && journal::RapportEnCours().change() ? 3 : 0;
  };
  if (jeu.empty()) {
    echec = true;
    vue.Dire("error", "Aucune sauvegarde" + (c.horodatage.empty() ? std::string() : " " + c.horodatage) +
                          " des fichiers du site (dans " + config + ", " + DossierApplication + "Settings\\)");
    return fin();
  }
  std::string changes;
  for (const auto& r : jeu)
    if (r.changeDepuis && !r.identique) changes += (changes.empty() ? "" : ", ") + r.fichier;
  if (!changes.empty() && !c.forcer) {
    echec = true;
    vue.Dire("error", "Restauration refusée: ces fichiers ont changé depuis leur sauvegarde (ou rien ne dit ce "
                      "qu'ils étaient alors): " + changes + "; --force les remet quand même");
    return fin();
  }
  int remis = 0;
  for (const auto& r : jeu) {
    if (r.identique) continue;
    std::string raison;
    const platform::ProfileFile b = platform::ProfileBytes(r.sauvegarde);
    if (b.state != platform::ProfileFile::State::Read) {
      echec = true;
      vue.Dire("error", "Restauration refusée: " + r.sauvegarde + " illisible");
      continue;
    }
    if (!c.verification && !platform::ReplaceWholeFile(r.fichier, b.bytes, &raison)) {
      echec = true;
      vue.Dire("error", "Restauration refusée: " + r.fichier + ": " + raison);
      continue;
    }
    journal::Restauree(r.fichier, r.sauvegarde);
    ++remis;
  }
  if (!echec)
    vue.Dire("info", remis ? "Fichiers remis: " + std::to_string(remis) + ", de la sauvegarde " + jeu.front().cle
                           : "Rien à remettre: les fichiers sont ceux de la sauvegarde " + jeu.front().cle);
  return fin();
}

}  // namespace app
