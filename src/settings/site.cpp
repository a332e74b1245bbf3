// The structural button: where the suite finds its configuration. Unlike the
// general files, these keys are written outright: the window's values win.
#include <string>

#include "common/erreurs.h"
#include "common/lib_public.h"
#include "services/lib_setup.h"
#include "services/lib_systeme.h"
#include "settings/settings.h"

namespace settings {

void EcrireParametresStructurels(const std::string& dossierConfig, const std::string& nomRadio,
                                 const std::string& cleGuid) {
  Procedure p("Frm_Main:CommandCreerSettings_Click");

  // Windows 2000, XP, 2003 and unclassified systems find the configuration
  // through "Win.ini"; Vista and later do not look there.
  if (VersionOS < 6 || VersionOS > 11) {
    std::string winIni;
    p.etape([&] { winIni = CheckRep(GetWinDir(), "\\") + "Win.ini"; });
    p.etape([&] { EcritureIni(winIni, "Kelvaro", "INI_ILVANE", dossierConfig); });
    p.etape([&] { EcritureIni(winIni, "Kelvaro", "INI_ILVANE_UNC", dossierConfig); });
    p.etape([&] { EcritureIni(winIni, "Kelvaro", "UNC_Actif", "ON"); });
  }

  const std::string site = DossierApplication + "Settings\\IL3_Config.ini";
  // One step: the folder to create comes from this split, never from a stale one.
  p.etape([&] {
    EclateRepFicExt(site);
    VerificationEtCreationRepertoire(RepFicExt.Rep);
  });

  const struct {
    const char* section;
    const char* cle;
    std::string valeur;
  } cles[] = {
      {"Site", "Lib", nomRadio},
      {"Site", "Actif", "1"},
      {"Site", "NbBase", "1"},
      {"Site", "NoBase", "1"},
      {"Site", "GUID", cleGuid},
      {"Site", "Dossier_Config_Global", dossierConfig},
      {"Base_01", "Dossier_Config_Global", dossierConfig},
  };
  for (const auto& c : cles) p.etape([&] { EcritureIni(site, c.section, c.cle, c.valeur); });
}

}  // namespace settings
