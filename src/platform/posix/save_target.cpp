#include "platform/posix/save_target.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "platform/posix/reasons.h"

namespace platform::posix {
namespace {

void split(const std::string& path, SaveTarget* t) {
  const size_t slash = path.find_last_of('/');
  t->folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
  t->name = slash == std::string::npos ? path : path.substr(slash + 1);
}

const char* linkReason(int error) {
  return error == ELOOP ? "lien symbolique en boucle" : "lien symbolique sans cible";
}

}  // namespace

bool FindSaveTarget(const std::string& host, SaveTarget* target, std::string* reason) {
  struct stat st;
  if (::lstat(host.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
    split(host, target);
    return true;
  }
  char real[PATH_MAX];
  if (!::realpath(host.c_str(), real)) {
    *reason = errno == ENOENT || errno == ELOOP ? linkReason(errno) : FrenchReason(errno);
    return false;
  }
  split(real, target);
  return true;
}

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

const char* BrokenLink(const std::string& host) {
  struct stat st;
  if (::lstat(host.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return nullptr;
  if (::stat(host.c_str(), &st) == 0) return nullptr;
  return linkReason(errno);
}

}  // namespace platform::posix
