// The copy a backup needs: a new file, never one that exists, durable before
// the original changes.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/platform.h"
#include "platform/posix/drives.h"
#include "platform/posix/file_io.h"
#include "platform/posix/reasons.h"

namespace platform {

Copy CopyToNewFile(const std::string& from, const std::string& to, std::string* reason) {
  auto failed = [reason](std::string why) {
    if (reason) *reason = std::move(why);
    return Copy::Failed;
  };
  const posix::HostPath source = posix::Resolve(from);
  const posix::HostPath target = posix::Resolve(to);
  if (!source.refused.empty()) return failed(source.refused);
  if (!source.exists || !source.folder) return failed("fichier introuvable");
  if (!target.refused.empty()) return Copy::Exists;  // a name taken by a link: never written through
  if (!target.driveFound || !target.parentExists || posix::ForbiddenInWindowsName(to))
    return failed("nom de copie incorrect");
  if (target.exists) return Copy::Exists;
  std::string bytes, why;
  struct stat st;
  if (::fstatat(source.folder->Fd(), source.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 ||
      !posix::ReadFileAt(source.folder->Fd(), source.name, &bytes, &why))
    return failed(why.empty() ? posix::FrenchReason(errno) : why);
  const int fd = ::openat(target.folder->Fd(), target.name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                          st.st_mode & 07777);
  if (fd < 0) return errno == EEXIST ? Copy::Exists : failed(posix::FrenchReason(errno));
  // The copy belongs to whom the file belongs, so that the suite can read it back.
  if (::geteuid() == 0 && ::fchown(fd, st.st_uid, st.st_gid) != 0) {
    // Still a backup, only the runner's own.
  }
  int error = 0;
  if (!posix::WriteAll(fd, bytes) || ::fsync(fd) != 0) error = errno;
  ::close(fd);
  if (error != 0) {
    ::unlinkat(target.folder->Fd(), target.name.c_str(), 0);  // no half copy posing as a backup
    return failed(posix::FrenchReason(error));
  }
  posix::SyncFolder(target.folder->Fd());
  return Copy::Done;
}

}  // namespace platform
