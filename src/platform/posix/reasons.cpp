#include "platform/posix/reasons.h"

#include <cerrno>

namespace platform::posix {

std::string FrenchReason(int error) {
  switch (error) {
    case ENOSPC: return "disque plein";
    case EDQUOT: return "quota disque dépassé";
    case EROFS: return "support en lecture seule";
    case EACCES:
    case EPERM: return "accès refusé";
    case ENAMETOOLONG: return "nom de fichier trop long";
    case ENOENT: return "fichier ou dossier introuvable";
    case ENOTDIR: return "un élément du chemin n'est pas un dossier";
    case EISDIR: return "un dossier porte ce nom";
    case ELOOP: return "boucle de liens symboliques";
    case EIO: return "erreur d'entrée-sortie du disque";
    case EFBIG: return "fichier trop grand";
    case EMFILE:
    case ENFILE: return "trop de fichiers ouverts";
    case ENOMEM: return "mémoire insuffisante";
    case EBUSY:
    case ETXTBSY: return "fichier ou support occupé";
    case EXDEV: return "le fichier est sur un autre système de fichiers";
    case EAGAIN: return "ressource momentanément indisponible";
    case EINTR: return "opération interrompue";
    case EOPNOTSUPP: return "opération que le système de fichiers ne permet pas";
    case EINVAL: return "opération refusée par le système de fichiers";
    case ESTALE: return "fichier réseau périmé";
    case ENXIO:
    case ENODEV: return "périphérique introuvable";
    case EMLINK: return "trop de liens";
    default: return "erreur système n° " + std::to_string(error);
  }
}

}  // namespace platform::posix
