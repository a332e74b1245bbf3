#include "services/folder_picker.h"

#include "common/erreurs.h"
#include "common/lib_public.h"
#include "services/lib_systeme.h"

std::string DossierInitial;

std::string SelectionInitiale(const std::string& dossierInitial) {
  std::string s = dossierInitial;
  if (!s.empty() && s.back() == '\\') s.pop_back();
  return s;
}

std::string FolderSelect(const ChoixDossier& choisir, const std::string& depart, const std::string& titre) {
  std::string resultat = "*";
  Procedure p("Lib_Systeme:FolderSelect");
  p.etape([&] {
    EclateRepFicExt(depart);
    DossierInitial = RepFicExt.Rep;
    if (Trim(DossierInitial).empty()) DossierInitial = DossierApplication;
  });
  p.etape([&] {
    const std::string invite = titre.empty() ? "Sélectionnez un dossier: " : titre;
    std::optional<std::string> choix = choisir ? choisir(invite, DossierInitial) : std::nullopt;
    if (choix && !choix->empty()) {
      const std::string chemin = choix->substr(0, choix->find('\0'));
      if (!chemin.empty()) resultat = CheckRep(chemin, "\\");
    }
  });
  p.etape([&] {
    if (Trim(resultat) != "*" && !FolderFound(resultat, false)) VerificationEtCreationRepertoire(resultat);
  });
  return resultat;
}
