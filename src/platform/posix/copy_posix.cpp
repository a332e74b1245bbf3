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
  if (!source.exists) return failed("fichier introuvable");
  if (!target.driveFound || !target.parentExists || posix::ForbiddenInWindowsName(to))
    return failed("nom de copie incorrect");
  if (target.exists) return Copy::Exists;
  std::string bytes;
  struct stat st;
  if (::stat(source.path.c_str(), &st) != 0 || !posix::ReadWholeFile(source.path, &bytes))
    return failed(posix::FrenchReason(errno));
  const int fd = ::open(target.path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, st.st_mode & 07777);
  if (fd < 0) return errno == EEXIST ? Copy::Exists : failed(posix::FrenchReason(errno));
  // The copy belongs to whom the file belongs, so that the suite can read it back.
  if (::geteuid() == 0 && ::fchown(fd, st.st_uid, st.st_gid) != 0) {
    // Still a backup, only the runner's own.
  }
  int error = 0;
  if (!posix::WriteAll(fd, bytes) || ::fsync(fd) != 0) error = errno;
  ::close(fd);
  if (error != 0) {
    ::unlink(target.path.c_str());  // no half copy posing as a backup
    return failed(posix::FrenchReason(error));
  }
  posix::SyncFolder(target.path.substr(0, target.path.find_last_of('/') + 1));
  return Copy::Done;
}

}  // namespace platform
