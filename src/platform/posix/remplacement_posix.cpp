// A whole file put back (a restore), and the files beside it (backups), through
// the folders a walk opened.
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include "platform/platform.h"
#include "platform/posix/drives.h"
#include "platform/posix/file_identity.h"
#include "platform/posix/file_io.h"
#include "platform/posix/folder_lock.h"
#include "platform/posix/reasons.h"
#include "platform/posix/save_target.h"

namespace platform {

bool ReplaceWholeFile(const std::string& file, const std::string& bytes, std::string* reason) {
  const posix::HostPath h = posix::Resolve(file);
  if (!h.refused.empty()) return (*reason = h.refused, false);
  if (!h.exists || !h.folder) return (*reason = "fichier introuvable", false);
  posix::FolderLock lock;
  if (!lock.Acquire(h.folder->Fd(), reason)) return false;
  const int fd = ::openat(lock.Fd(), h.name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  struct stat st;
  if (fd < 0 || ::fstat(fd, &st) != 0) {
    *reason = posix::FrenchReason(errno);
    if (fd >= 0) ::close(fd);
    return false;
  }
  if (const char* refus = posix::NotReplaceable(st)) {
    ::close(fd);
    return (*reason = refus, false);
  }
  posix::FileIdentity identity;
  const bool captured = posix::CaptureIdentity(fd, st, &identity, reason);
  posix::Replacement r;
  int displaced = -1;
  const bool done = captured && r.Write(lock.Fd(), h.name, bytes, &identity, {}, reason) &&
                    r.Commit(&st, {}, &displaced, reason) == posix::Replacement::Outcome::Done;
  if (displaced >= 0) ::close(displaced);
  ::close(fd);
  if (done) posix::SyncFolder(lock.Fd());
  return done;
}

std::vector<std::string> FilesMatching(const std::string& folder, const std::string& pattern) {
  std::vector<std::string> names;
  const posix::HostPath h = posix::Resolve(folder);
  if (!h.exists || !h.folder) return names;
  const int fd = ::openat(h.folder->Fd(), h.name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  DIR* d = fd < 0 ? nullptr : ::fdopendir(fd);
  if (!d) {
    if (fd >= 0) ::close(fd);
    return names;
  }
  while (const dirent* e = ::readdir(d))
    if (e->d_name[0] != '.' && posix::WildcardMatch(pattern, e->d_name)) names.emplace_back(e->d_name);
  ::closedir(d);
  return names;
}

bool DeleteOneFile(const std::string& path) {
  const posix::HostPath h = posix::Resolve(path);
  struct stat st;
  if (!h.exists || !h.folder || ::fstatat(h.folder->Fd(), h.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 ||
      !S_ISREG(st.st_mode))
    return false;
  return ::unlinkat(h.folder->Fd(), h.name.c_str(), 0) == 0;
}

}  // namespace platform
