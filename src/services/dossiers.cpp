// Folder creation and the cached folder test.
#include "common/erreurs.h"
#include "common/lib_public.h"
#include "platform/platform.h"
#include "services/journal.h"
#include "services/lib_systeme.h"
#include "services/texte.h"

CacheDossiersType CacheDossiers;

namespace {

// A directory listing; in a check run the folders it would have created are there too.
platform::Listing lister(const std::string& chemin) {
  if (journal::DossierVirtuel(chemin)) return platform::Listing::Found;
  return platform::ListDirectory(chemin);
}

}  // namespace

bool DossierPresent(const std::string& texte) { return lister(texte) == platform::Listing::Found; }

bool DossierExiste(const std::string& texte) {
  if (Trim(texte).empty() || texte.find_first_of("*?") != std::string::npos) return false;
  if (journal::DossierVirtuel(texte)) return true;
  const uint32_t a = platform::GetAttributes(texte);
  return a != platform::kInvalidAttributes && (a & platform::kAttrDirectory) != 0;
}

namespace {

// One level of the walk: up to four ways to make the prefix exist. False stops the walk.
bool creerNiveau(Procedure& p, const std::string& prefixe) {
  auto existe = [&] {
    if (!DossierPresent(prefixe)) return false;
    CacheDossiers.DossiersExistants += prefixe + ",";
    return true;
  };
  if (existe()) return true;
  auto cree = [&] {
    if (!existe()) return false;
    journal::DossierCree(prefixe);
    return true;
  };
  if (journal::Simulation()) {
    if (journal::CreationPossible(prefixe)) journal::DossierCree(prefixe);
    if (existe()) return true;
  } else {
    p.etape(
        [&] {
          int32_t numero = 0;
          if (!platform::MakeDirectory(prefixe, &numero))
            throw ErreurExecution(numero, "Erreur d'accès au chemin ou au fichier: " + prefixe);
        },
        {erreur::NomFichierIncorrect, erreur::AccesChemin, erreur::CheminIntrouvable});
    if (cree()) return true;
    platform::CreateDirectory(prefixe);
    if (cree()) return true;
    platform::CreateDirectoryEx(GetWinDir(), prefixe);
    if (cree()) return true;
  }
  // An administrative share, or a prefix that failed before, does not stop the walk.
  if (prefixe.find('$') == std::string::npos && !ContientSansCasse(CacheDossiers.DossiersEnEchec, prefixe)) {
    CacheDossiers.DossiersEnEchec += prefixe + ",";
    return false;
  }
  return true;
}

}  // namespace

void VerificationEtCreationRepertoire(std::string chemin) {
  Procedure p("Lib_Systeme:VerificationEtCreationRepertoire");
  p.etape([&] {
    chemin = NettoieNomDeDossier(chemin);
    if (Trim(chemin).empty()) return;
    chemin = CheckRep(chemin, "\\");
    if (Trim(CacheDossiers.DossiersExistants).empty()) CacheDossiers.DossiersExistants = ",";
    // The short-cuts hold only while the folder is still there: a folder deleted
    // meanwhile, or one that failed before, is walked again.
    if (ContientSansCasse(CacheDossiers.DossiersExistants, chemin) || chemin == CacheDossiers.DernierDossier) {
      if (DossierPresent(chemin)) return;
    }
    int niveau = 0;
    for (size_t i = 0; i < chemin.size(); ++i) {
      if (chemin[i] != '\\' || i + 1 <= 3) continue;
      const std::string prefixe = chemin.substr(0, i + 1);
      ++niveau;
      if (niveau == 1 && prefixe.compare(0, 2, "\\\\") == 0) continue;  // the server of a network path
      if (!creerNiveau(p, prefixe)) break;
    }
    CacheDossiers.DernierDossier = chemin;
  });
}

bool FolderFound(const std::string& chemin, bool /*drapeau*/) {
  bool trouve = false;
  Procedure p("Lib_Systeme:FolderFound");
  p.etape([&] {
    if (Trim(chemin).empty()) return;
    // A "found" answer holds only while the folder is still there: one deleted
    // meanwhile is looked up, and created, again.
    const bool dejaTrouve = ContientSansCasse(CacheDossiers.DossiersTrouves, chemin);
    platform::Listing l = platform::Listing::NotFound;
    if (dejaTrouve) {
      l = lister(chemin);
      if (l == platform::Listing::Found) {
        trouve = true;
        return;
      }
    } else if (ContientSansCasse(CacheDossiers.DossiersAbsents, chemin)) {
      return;
    } else {
      l = lister(chemin);
    }
    if (l == platform::Listing::NotFound) {
      VerificationEtCreationRepertoire(chemin);
      l = lister(chemin);
    }
    // A missing drive is no failure to report: the folder is simply absent.
    trouve = l == platform::Listing::Found;
    if (trouve && dejaTrouve) return;
    (trouve ? CacheDossiers.DossiersTrouves : CacheDossiers.DossiersAbsents) += chemin + ",,";
  });
  return trouve;
}
