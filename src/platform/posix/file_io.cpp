#include "platform/posix/file_io.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <new>

#include "platform/posix/reasons.h"
#include "platform/posix/temp_names.h"

namespace platform::posix {

bool WriteAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

namespace {

// The file system cannot do this one thing: take the plain way.
bool unsupported(int e) { return e == EINVAL || e == ENOSYS || e == EOPNOTSUPP; }

}  // namespace

bool ReadAll(int fd, std::string* bytes) {
  // Straight into the string, sized by the file (and a byte more, to see its
  // end): a buffer of its own would be one more copy, and fresh memory to touch.
  struct stat st;
  const size_t attendu = ::fstat(fd, &st) == 0 && st.st_size > 0 ? static_cast<size_t>(st.st_size) : 0;
  std::string out(std::max<size_t>(attendu + 1, 4096), '\0');
  size_t lus = 0;
  for (;;) {
    if (lus == out.size()) out.resize(out.size() * 2);  // it grew while we read
    const ssize_t n = ::pread(fd, out.data() + lus, out.size() - lus, static_cast<off_t>(lus));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) break;
    lus += static_cast<size_t>(n);
  }
  out.resize(lus);
  *bytes = std::move(out);
  return true;
}

std::string TooLarge(off_t size) {
  if (size <= kLargestSettingsFile) return {};
  return "fichier trop grand pour un fichier de paramètres (" + std::to_string(size / (1024 * 1024)) +
         " Mo, 16 Mo au plus)";
}

bool ReadFileAt(int folder, const std::string& name, std::string* bytes, std::string* reason) {
  auto fail = [reason](std::string why) {
    if (reason) *reason = std::move(why);
    return false;
  };
  const int fd = ::openat(folder, name.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return fail(FrenchReason(errno));
  struct stat st;
  std::string why;
  if (::fstat(fd, &st) != 0)
    why = FrenchReason(errno);
  else if (!S_ISREG(st.st_mode))
    why = S_ISDIR(st.st_mode) ? "le chemin désigne un dossier" : "ce n'est pas un fichier ordinaire";
  else
    why = TooLarge(st.st_size);
  if (why.empty()) {
    try {
      if (!ReadAll(fd, bytes)) why = FrenchReason(errno);
    } catch (const std::bad_alloc&) {
      why = "mémoire insuffisante";
    }
  }
  ::close(fd);
  return why.empty() || fail(why);
}

Replacement::~Replacement() { discard(); }

void Replacement::discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  unflushed_ = false;
  if (!temp_.empty() && !committed_) ::unlinkat(folder_, temp_.c_str(), 0);
  temp_.clear();
}

bool Replacement::giveName(int* error) {
  const long nameMax = ::fpathconf(folder_, _PC_NAME_MAX);
  const std::string self = "/proc/self/fd/" + std::to_string(fd_);
  for (int tries = 0; tries < 100; ++tries) {
    const std::string t = TemporaryName(name_, nameMax);
    if (::linkat(AT_FDCWD, self.c_str(), folder_, t.c_str(), AT_SYMLINK_FOLLOW) == 0) {
      temp_ = t;
      return true;
    }
    if (errno != EEXIST) break;
  }
  *error = errno;
  return false;
}

bool Replacement::writeInto(bool named, const std::string& bytes, const FileIdentity* keep, Fault fault,
                            bool flushNow, int* error, std::string* reason) {
  // Until it has the old file's identity, only we may read it.
  const mode_t mode = keep ? 0600 : 0666;
  if (named) {
    const long nameMax = ::fpathconf(folder_, _PC_NAME_MAX);
    for (int tries = 0; tries < 100 && fd_ < 0; ++tries) {
      const std::string t = TemporaryName(name_, nameMax);
      fd_ = ::openat(folder_, t.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
      if (fd_ >= 0) temp_ = t;
      else if (errno != EEXIST) break;
    }
  } else if (::access("/proc/self/fd", X_OK) == 0) {  // how it will be given a name
    fd_ = ::openat(folder_, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, mode);
  } else {
    errno = ENOENT;
  }
  if (fd_ < 0) {
    *error = errno;
    return false;
  }
  if (keep && !ApplyIdentity(fd_, *keep, reason)) return false;
  if (fault.kind == SaveFault::Write) {
    *error = fault.error;
    return false;
  }
  if (!WriteAll(fd_, bytes) || (flushNow && ::fsync(fd_) != 0)) {
    *error = errno;
    return false;
  }
  // Where the system cannot start a flush alone, Flush does all of it.
  if (!flushNow) {
    ::sync_file_range(fd_, 0, 0, SYNC_FILE_RANGE_WRITE);
    unflushed_ = true;
  }
  return true;
}

bool Replacement::Flush(std::string* reason) {
  if (!unflushed_) return true;
  if (::fsync(fd_) != 0) {
    *reason = FrenchReason(errno);
    return false;
  }
  unflushed_ = false;
  return true;
}

bool Replacement::Write(int folderFd, const std::string& name, const std::string& bytes, const FileIdentity* keep,
                        Fault fault, std::string* reason, bool flushNow) {
  discard();
  folder_ = folderFd;
  name_ = name;
  committed_ = false;
  int error = 0;
  reason->clear();
  if (writeInto(false, bytes, keep, fault, flushNow, &error, reason)) return true;
  // No unnamed files here (or no /proc to name one by): a named temporary file then.
  if (reason->empty() && (unsupported(error) || error == EISDIR || error == ENOENT)) {
    discard();
    if (writeInto(true, bytes, keep, fault, flushNow, &error, reason)) return true;
  }
  if (reason->empty()) *reason = FrenchReason(error);
  discard();
  return false;
}

Replacement::Outcome Replacement::Commit(const struct stat* expected, Fault fault, int* displaced,
                                        std::string* reason) {
  bool replacing = expected != nullptr;
  *displaced = -1;
  if (!Flush(reason)) return Outcome::Failed;
  int rc;
  // Named only now, for the instant of the rename: a kill leaves almost never a trace.
  int error = 0;
  if (temp_.empty() && !giveName(&error)) {
    *reason = FrenchReason(error);
    return Outcome::Failed;
  }
  if (fault.kind == SaveFault::Rename) {
    errno = fault.error;
    rc = -1;
  } else {
    // Swapping the names hands us what really had the name at that instant, so
    // that a change someone made at the last moment can still be merged.
    rc = ::renameat2(folder_, temp_.c_str(), folder_, name_.c_str(), replacing ? RENAME_EXCHANGE : RENAME_NOREPLACE);
    if (rc != 0 && unsupported(errno)) {
      rc = ::renameat(folder_, temp_.c_str(), folder_, name_.c_str());
      replacing = false;  // nothing was swapped out
    }
  }
  if (rc != 0) {
    if (errno == EEXIST) return Outcome::NameTaken;
    *reason = FrenchReason(errno);
    return Outcome::Failed;
  }
  committed_ = true;
  if (replacing) {
    // Mostly what we replaced is the file we expected, already open: the old
    // content then keeps its temporary name for two system calls only.
    struct stat st;
    const bool seen = ::fstatat(folder_, temp_.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
    const bool known = seen && st.st_dev == expected->st_dev && st.st_ino == expected->st_ino;
    if (seen && !known && S_ISREG(st.st_mode))
      *displaced = ::openat(folder_, temp_.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    ::unlinkat(folder_, temp_.c_str(), 0);
  }
  temp_.clear();
  return Outcome::Done;
}

void WaitForOtherWriters(int readOnlyFd) {
  // A read lease is granted only while no one else has the file open for writing.
  constexpr int kPatienceMs = 1000;
  for (int waited = 0; waited < kPatienceMs; ++waited) {
    if (::fcntl(readOnlyFd, F_SETLEASE, F_RDLCK) == 0) {
      ::fcntl(readOnlyFd, F_SETLEASE, F_UNLCK);
      return;
    }
    if (errno != EAGAIN) return;  // no leases here, or not ours to take
    const struct timespec pause {0, 1'000'000};
    ::nanosleep(&pause, nullptr);
  }
}

void SyncFolder(int folder) {
  if (::fsync(folder) == 0 || errno != EBADF) return;
  // Opened for paths only: a descriptor of the same folder that can be flushed.
  const int dfd = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
}

}  // namespace platform::posix
