// Files and folders on the host, through the drive mapping.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/platform.h"
#include "platform/posix/drives.h"

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
