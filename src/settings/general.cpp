// The general button: every key of the four settings files is read with its
// default and written back, so a first run fills the files and later runs only
// add what is missing.
#include <string>

#include "common/erreurs.h"
#include "services/journal.h"
#include "services/lib_setup.h"
#include "services/lib_systeme.h"
#include "settings/settings.h"

namespace settings {
namespace {

// A default comes back from a read without its trailing spaces.
std::string SansEspacesFinaux(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

}  // namespace

void LireEtReecrire(const std::string& fichier, const TableDeCles& cles) {
  Procedure p("Frm_Main:CommandCreerSettings_Click");
  for (const CleParDefaut& c : cles) {
    // One step per key: a key that fails is passed over and the others are still written.
    p.etape([&] {
      const std::string v = LectureIni(fichier, c.section, c.cle, c.defaut);
      // The stored value wins; when the window offered another, the report says so.
      if (c.duChamp && v != SansEspacesFinaux(c.defaut)) journal::Gardee(fichier, c.section, c.cle, v, c.defaut);
      EcritureIni(fichier, c.section, c.cle, v);
    });
  }
}

void EcrireParametresGeneraux(const Entrees& e) {
  LireEtReecrire(e.config + "Kv_Sys.ini", ClesKvSys(e));
  LireEtReecrire(e.config + "IL3_Systeme.ini", ClesIl3Systeme(e));
  LireEtReecrire(e.config + "KV_Mus.ini", ClesKvMus());
  LireEtReecrire(e.config + "KV_Pub.ini", ClesKvPub());
}

}  // namespace settings
