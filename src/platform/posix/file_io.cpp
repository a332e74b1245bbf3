#include "platform/posix/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace platform::posix {

bool ReadWholeFile(const std::string& host, std::string* bytes) {
  const int fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  std::string out;
  char buf[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ::close(fd);
      if (n < 0) return false;
      break;
    }
    out.append(buf, static_cast<size_t>(n));
  }
  *bytes = std::move(out);
  return true;
}

static std::string errnoText(int e) {
  switch (e) {
    case ENOSPC: return "disque plein";
    case EACCES:
    case EPERM: return "accès refusé";
    case EROFS: return "support en lecture seule";
    case EDQUOT: return "quota disque dépassé";
    default: return std::string("erreur système ") + std::to_string(e) + " (" + std::strerror(e) + ")";
  }
}

static bool writeAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

bool ReplaceFile(const std::string& host, const std::string& bytes, SaveFault fault, std::string* reason) {
  const size_t slash = host.find_last_of('/');
  const std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : host.substr(0, slash));
  const std::string base = slash == std::string::npos ? host : host.substr(slash + 1);
  std::string tmp = dir + "/." + base + ".il3-XXXXXX";
  const int fd = ::mkstemp(tmp.data());
  if (fd < 0) {
    *reason = "enregistrement impossible: " + errnoText(errno);
    return false;
  }
  struct stat old;
  const mode_t mode = ::stat(host.c_str(), &old) == 0 ? (old.st_mode & 07777) : [] {
    const mode_t m = ::umask(0);
    ::umask(m);
    return static_cast<mode_t>(0666 & ~m);
  }();
  bool ok = fault != SaveFault::Write && writeAll(fd, bytes) && ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
  int err = ok ? 0 : (errno ? errno : EIO);
  if (::close(fd) != 0 && ok) {
    ok = false;
    err = errno;
  }
  if (ok && (fault == SaveFault::Rename || ::rename(tmp.c_str(), host.c_str()) != 0)) {
    ok = false;
    err = fault == SaveFault::Rename ? EIO : errno;
  }
  if (!ok) {
    ::unlink(tmp.c_str());
    *reason = "enregistrement impossible: " + errnoText(err);
    return false;
  }
  return true;
}

// The rename is durable once its folder is flushed; a command flushes each folder once.
void SyncFolderOf(const std::string& host) {
  const size_t slash = host.find_last_of('/');
  const std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : host.substr(0, slash));
  const int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
}

}  // namespace platform::posix
