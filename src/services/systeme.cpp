// The Windows folder, the version class, and profile reads.
#include <algorithm>
#include <optional>

#include "common/erreurs.h"
#include "common/lib_public.h"
#include "platform/platform.h"
#include "services/journal.h"
#include "services/lib_systeme.h"

std::string DossierApplication;
int32_t VersionOS = 0;

std::string GetWinDir() {
  std::string dossier;
  Procedure("Lib_Systeme:GetWinDir").etape([&] {
    const platform::WindowsDirectory w = platform::GetWindowsDirectory(255);
    dossier = w.path.substr(0, std::min<size_t>(w.count, w.path.size()));
  });
  return dossier;
}

void GetOSDisplayString() {
  Procedure("Lib_Systeme:GetOSDisplayString").etape([] {
    const platform::VersionInfo v = platform::GetVersion();
    if (!v.ok || v.platformId != 2 || v.major <= 4) return;
    struct Ligne {
      uint32_t major, minor;
      int32_t classe;
    };
    for (const Ligne& l : {Ligne{6, 2, 8}, Ligne{6, 1, 7}, Ligne{6, 0, 6}, Ligne{5, 2, 2003}, Ligne{5, 1, 5},
                           Ligne{5, 0, 2000}}) {
      if (v.major == l.major && v.minor == l.minor) {
        VersionOS = l.classe;
        return;
      }
    }
  });
}

std::optional<std::string> LectureIniPresente(const std::string& fichier, const std::string& section,
                                              const std::string& cle) {
  // Two control bytes no file can hand back for a key it holds.
  constexpr const char* kAbsente = "\x01\x02";
  std::string v = LectureIni(fichier, section, cle, kAbsente);
  if (v == kAbsente) return std::nullopt;
  return v;
}

std::string LectureIni(const std::string& fichier, const std::string& section, const std::string& cle,
                       const std::string& defaut) {
  std::optional<std::string> valeur;  // the default is copied only when it is the answer
  Procedure("Lib_Systeme:LectureIni").etape([&] {
    if (!NomFichierCorrect(fichier)) return;
    valeur = journal::LectureOmbre(fichier, section, cle, defaut);
    if (!valeur) valeur = platform::ProfileRead(fichier, section, cle, defaut);
  });
  return valeur ? std::move(*valeur) : defaut;
}
