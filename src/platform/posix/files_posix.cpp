// Files and folders on the host, through the drive mapping.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <sys/statvfs.h>

#include <cerrno>

#include "platform/platform.h"
#include "platform/posix/drives.h"
#include "platform/posix/reasons.h"

namespace platform {
namespace {

using posix::HostPath;
using posix::Resolve;

bool hasWildcard(const std::string& s) { return s.find_first_of("*?") != std::string::npos; }

// Everything below acts through the open folder the walk reached, never a path.
bool statOf(const HostPath& h, struct stat* st) {
  return h.exists && h.folder && ::fstatat(h.folder->Fd(), h.name.c_str(), st, AT_SYMLINK_NOFOLLOW) == 0;
}

bool isDirectory(const HostPath& h) {
  struct stat st;
  return statOf(h, &st) && S_ISDIR(st.st_mode);
}

// Splits a pattern at its last separator: the folder part (with the separator) and the last component.
void splitLast(const std::string& pattern, std::string* folder, std::string* name) {
  const size_t p = pattern.find_last_of("\\/");
  *folder = p == std::string::npos ? std::string() : pattern.substr(0, p + 1);
  *name = p == std::string::npos ? pattern : pattern.substr(p + 1);
  if (folder->empty() && name->size() >= 2 && (*name)[1] == ':') {  // "C:*.ini"
    *folder = name->substr(0, 2);
    *name = name->substr(2);
  }
}

Listing matchIn(const std::string& folderPattern, const std::string& name) {
  const HostPath dir = Resolve(folderPattern.empty() ? "." : folderPattern);
  if (!dir.driveFound) return Listing::BadName;
  if (!isDirectory(dir)) return Listing::NotFound;
  const int fd = ::openat(dir.folder->Fd(), dir.name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  DIR* d = fd < 0 ? nullptr : ::fdopendir(fd);
  if (!d) {
    if (fd >= 0) ::close(fd);
    return Listing::NotFound;
  }
  Listing found = Listing::NotFound;
  while (dirent* e = ::readdir(d)) {
    if (posix::WildcardMatch(name, e->d_name)) {
      found = Listing::Found;
      break;
    }
  }
  ::closedir(d);
  return found;
}

bool makeDir(const std::string& path) {
  if (posix::ForbiddenInWindowsName(path)) return false;
  const HostPath h = Resolve(path);
  if (!h.driveFound || h.exists || !h.parentExists) return false;
  return ::mkdirat(h.folder->Fd(), h.name.c_str(), 0777) == 0;
}

}  // namespace

Listing ListDirectory(const std::string& pattern) {
  if (pattern.empty()) return Listing::NotFound;
  std::string folder, name;
  splitLast(pattern, &folder, &name);
  if (name.empty()) {  // a trailing separator lists the folder's own entries
    const HostPath h = Resolve(pattern);
    if (!h.driveFound) return Listing::BadName;
    return isDirectory(h) ? Listing::Found : Listing::NotFound;
  }
  if (hasWildcard(name)) return matchIn(folder, name);
  const HostPath h = Resolve(pattern);
  if (!h.driveFound) return Listing::BadName;
  return h.exists ? Listing::Found : Listing::NotFound;
}

std::string PathRefusal(const std::string& path) { return Resolve(path).refused; }

std::string FolderFailureReason(const std::string& path) {
  if (posix::ForbiddenInWindowsName(path)) return "nom que Windows refuse";
  std::string w = path;
  while (w.size() > 3 && (w.back() == '\\' || w.back() == '/')) w.pop_back();
  const HostPath h = Resolve(w);
  if (!h.refused.empty()) return h.refused;
  if (!h.driveFound) return w.size() >= 2 && w[1] == ':' ? "lecteur " + w.substr(0, 2) + " introuvable" : "partage réseau introuvable";
  // The deepest level that exists says why the next one could not be made.
  for (std::string p = w;;) {
    const size_t b = p.find_last_of('\\');
    if (b == std::string::npos || b < 2) return {};
    const std::string parent = p.substr(0, b == 2 ? 3 : b);
    const HostPath ph = Resolve(parent);
    struct stat st;
    if (!statOf(ph, &st)) {
      if (!ph.refused.empty()) return ph.refused;
      p = parent;
      if (parent.size() <= 3) return {};
      continue;
    }
    if (!S_ISDIR(st.st_mode)) return "un fichier porte le nom " + parent;
    const HostPath self = Resolve(p);
    if (statOf(self, &st) && !S_ISDIR(st.st_mode)) return "un fichier porte le nom " + p;
    const int dossier = ::openat(ph.folder->Fd(), ph.name.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (dossier < 0) return {};
    struct statvfs fs;
    std::string why;
    if (::fstatvfs(dossier, &fs) == 0 && (fs.f_flag & ST_RDONLY))
      why = "support en lecture seule";
    else if (::geteuid() != 0 && ::faccessat(dossier, ".", W_OK, 0) != 0)
      why = "accès refusé au dossier " + parent;
    ::close(dossier);
    return why;
  }
}

std::string WhereFilesGo() {
  return "Préfixe: " + posix::PrefixRoot() + " (" + posix::PrefixSource() + ")";
}

std::string PrefixWithoutDriveC() {
  return Resolve("C:\\").driveFound ? std::string() : posix::PrefixRoot();
}

bool CreatePrefix(std::string* reason) {
  // Made as Wine lays a prefix out: drive_c, and its Windows folder for Win.ini.
  std::string p;
  const std::string cible = posix::PrefixRoot() + "/drive_c/windows";
  for (size_t i = 0; i <= cible.size(); ++i) {
    if (i < cible.size() && cible[i] != '/') continue;
    p = cible.substr(0, i);
    if (p.empty()) continue;
    if (::mkdir(p.c_str(), 0777) != 0 && errno != EEXIST) {
      *reason = posix::FrenchReason(errno) + " (" + p + ")";
      return false;
    }
  }
  if (!Resolve("C:\\").driveFound) {
    *reason = "le lecteur C: reste introuvable";
    return false;
  }
  return true;
}

bool FindFirstFile(const std::string& pattern) {
  if (pattern.empty() || pattern.back() == '\\' || pattern.back() == '/') return false;
  return ListDirectory(pattern) == Listing::Found;
}

bool MakeDirectory(const std::string& path, int32_t* error) {
  const HostPath h = Resolve(path);
  int32_t e = 0;
  if (posix::ForbiddenInWindowsName(path))
    e = 52;
  else if (!h.driveFound)
    e = 76;
  else if (h.exists || !h.refused.empty())
    e = 75;
  else if (!h.parentExists)
    e = 76;
  else if (::mkdirat(h.folder->Fd(), h.name.c_str(), 0777) != 0)
    e = 75;
  if (error) *error = e;
  return e == 0;
}

bool CreateDirectory(const std::string& path) { return makeDir(path); }

bool CreateDirectoryEx(const std::string& templateFolder, const std::string& path) {
  if (!isDirectory(Resolve(templateFolder))) return false;
  return makeDir(path);
}

uint32_t GetAttributes(const std::string& path) {
  const HostPath h = Resolve(path);
  struct stat st;
  if (!statOf(h, &st)) return kInvalidAttributes;
  if (S_ISDIR(st.st_mode)) return kAttrDirectory;
  // The read-only attribute is the owner's write bit.
  return kAttrArchive | ((st.st_mode & S_IWUSR) ? 0 : kAttrReadOnly);
}

bool SetAttributes(const std::string& path, uint32_t attributes) {
  const HostPath h = Resolve(path);
  struct stat st;
  if (!statOf(h, &st)) return false;
  if (S_ISDIR(st.st_mode)) return true;
  if (!S_ISREG(st.st_mode)) return false;
  mode_t mode = st.st_mode & 07777;
  if (attributes & kAttrReadOnly)
    mode &= ~mode_t{0222};
  else
    mode |= S_IWUSR;
  // The very file the walk reached, through its own descriptor: a name swapped
  // for a link meanwhile is never followed.
  const int fd = ::openat(h.folder->Fd(), h.name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat now;
  const bool same = ::fstat(fd, &now) == 0 && now.st_dev == st.st_dev && now.st_ino == st.st_ino;
  const bool ok = same && ::fchmod(fd, mode) == 0;
  ::close(fd);
  return ok;
}

int32_t FileSize(const std::string& path) {
  const HostPath h = Resolve(path);
  struct stat st;
  if (!statOf(h, &st) || !S_ISREG(st.st_mode)) return -1;
  if (::faccessat(h.folder->Fd(), h.name.c_str(), R_OK, AT_SYMLINK_NOFOLLOW) != 0) return -1;
  return static_cast<int32_t>(static_cast<uint32_t>(st.st_size));
}

}  // namespace platform
