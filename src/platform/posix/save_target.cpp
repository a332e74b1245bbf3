#include "platform/posix/save_target.h"

namespace platform::posix {

const char* NotReplaceable(const struct stat& st) {
  if (S_ISDIR(st.st_mode)) return "un dossier porte ce nom";
  if (S_ISFIFO(st.st_mode)) return "un tube nommé (FIFO) porte ce nom, pas un fichier";
  if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)) return "un périphérique porte ce nom, pas un fichier";
  if (S_ISSOCK(st.st_mode)) return "une socket porte ce nom, pas un fichier";
  if (!S_ISREG(st.st_mode)) return "ce nom n'est pas celui d'un fichier ordinaire";
  if (st.st_nlink > 1)
    return "fichier à plusieurs liens physiques: le remplacer séparerait ses noms (préférez un lien symbolique)";
  return nullptr;
}

}  // namespace platform::posix
