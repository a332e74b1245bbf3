// File tests and attributes.
#include "common/erreurs.h"
#include "common/lib_public.h"
#include "platform/platform.h"
#include "services/journal.h"
#include "services/lib_systeme.h"

bool File_Exist(std::string chemin, const bool& nonVide) {
  bool existe = false;
  Procedure p("Lib_Systeme:File_Exist");
  p.etape([&] {
    if (Trim(chemin).empty()) return;
    chemin = Trim(chemin);
    const std::string memo = chemin;
    if (chemin.find(' ') != std::string::npos) {
      while (chemin.find(" .") != std::string::npos) {
        std::string sans;
        for (size_t i = 0; i < chemin.size(); ++i) {
          if (chemin.compare(i, 2, " .") == 0) {
            sans += '.';
            ++i;
          } else {
            sans += chemin[i];
          }
        }
        chemin = sans;
      }
    }
    for (int essai = 0; essai < 2; ++essai) {
      existe = platform::FindFirstFile(chemin);
      if (existe && nonVide && TailleDuFichier(chemin) == 0) existe = false;
      if (existe || chemin == memo) break;
      chemin = memo;
    }
  });
  return existe;
}

int32_t TailleDuFichier(const std::string& chemin) {
  int32_t taille = 0;
  Procedure("Lib_Systeme:TailleDuFichier").etape([&] { taille = platform::FileSize(chemin); });
  return taille;
}

void File_RemoveFlag(std::string chemin, int32_t masque) {
  Procedure p("Lib_Systeme:File_RemoveFlag");
  p.etape([&] {
    if (Trim(chemin).empty()) return;
    const bool nonVide = true;
    if (!File_Exist(chemin, nonVide)) return;
    const uint32_t attributs = platform::GetAttributes(chemin);
    if (attributs == platform::kInvalidAttributes)
      throw ErreurExecution(53, "Fichier introuvable: " + chemin);
    uint32_t somme = 0;
    for (uint32_t bit : {64u, 32u, 16u, 8u, 4u, 2u, 1u})
      if ((attributs & bit) && (static_cast<uint32_t>(masque) & bit)) somme += bit;
    if (somme != 0 && journal::Simulation()) return journal::DrapeauRetire(chemin);
    if (somme != 0 && attributs != 0 && !platform::SetAttributes(chemin, attributs - somme))
      throw ErreurExecution(erreur::AccesChemin, "Attributs non modifiables: " + chemin);
  });
}
