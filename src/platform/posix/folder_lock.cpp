#include "platform/posix/folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "platform/posix/reasons.h"

namespace platform::posix {
namespace {

// A save holds the lock for a few milliseconds; a holder stopped for this long is stuck.
constexpr long long kPatienceMs = 20'000;

long long nowMs() {
  struct timespec t {};
  ::clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1000LL + t.tv_nsec / 1'000'000;
}

}  // namespace

FolderLock::~FolderLock() { release(); }

void FolderLock::release() {
  if (fd_ >= 0) ::close(fd_);  // closing drops the lock
  fd_ = -1;
  held_ = false;
}

bool FolderLock::Acquire(int folder, std::string* reason) {
  const long long deadline = nowMs() + kPatienceMs;
  release();
  // The folder the walk reached, whatever has its name now: the lock and the
  // saves under it act on that one.
  fd_ = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd_ < 0 && errno == EACCES) {
    // A folder we may write but not list: no lock, the re-check under it still holds.
    fd_ = ::fcntl(folder, F_DUPFD_CLOEXEC, 0);
    if (fd_ >= 0) return true;
  }
  if (fd_ < 0) {
    *reason = FrenchReason(errno);
    return false;
  }
  long long pauseUs = 200;
  while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
    if (errno == EINTR) continue;
    if (errno != EWOULDBLOCK) return true;  // no locks on this file system
    if (nowMs() > deadline) {
      *reason = "le dossier est verrouillé par un autre enregistrement depuis plus de 20 s";
      release();
      return false;
    }
    const struct timespec pause {0, static_cast<long>(pauseUs * 1000)};
    ::nanosleep(&pause, nullptr);
    if (pauseUs < 5000) pauseUs *= 2;
  }
  held_ = true;
  return true;
}

}  // namespace platform::posix
