#include "platform/posix/temp_names.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <random>

namespace platform::posix {
namespace {

constexpr char kMarker[] = ".il3-";
constexpr size_t kMarkerSize = sizeof kMarker - 1;
constexpr size_t kRandom = 6;
constexpr size_t kAdded = 1 + kMarkerSize + kRandom;  // the leading dot, the marker, the letters
constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
// A save that has not finished after this long is not running any more.
constexpr time_t kDeadAfterSeconds = 600;

bool isLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

}  // namespace

std::string TemporaryName(const std::string& name, long nameMax) {
  static thread_local std::mt19937_64 random{std::random_device{}() ^ static_cast<unsigned long>(::getpid()) ^
                                             static_cast<unsigned long>(::time(nullptr))};
  const size_t limit = nameMax > static_cast<long>(kAdded) ? static_cast<size_t>(nameMax) : 255;
  size_t keep = std::min(name.size(), limit - kAdded);
  // Cut between characters: a name cut inside a UTF-8 sequence is refused by some file systems.
  while (keep > 0 && keep < name.size() && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80) --keep;
  std::string t = "." + name.substr(0, keep) + kMarker;
  for (size_t i = 0; i < kRandom; ++i) t += kLetters[random() % (sizeof kLetters - 1)];
  return t;
}

bool IsTemporaryName(const std::string& entry) {
  if (entry.size() < kAdded || entry[0] != '.') return false;
  const size_t marker = entry.size() - kRandom - kMarkerSize;
  if (entry.compare(marker, kMarkerSize, kMarker) != 0) return false;
  for (size_t i = entry.size() - kRandom; i < entry.size(); ++i)
    if (!isLetter(entry[i])) return false;
  return true;
}

bool HasLeftovers(int folder) {
  const int listFd = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  DIR* d = listFd < 0 ? nullptr : ::fdopendir(listFd);
  if (!d) {
    if (listFd >= 0) ::close(listFd);
    return false;
  }
  bool found = false;
  while (const dirent* e = ::readdir(d))
    if ((found = IsTemporaryName(e->d_name))) break;
  ::closedir(d);
  return found;
}

void SweepLeftovers(int folderFd, bool lockHeld) {
  const int listFd = ::openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (listFd < 0) return;
  DIR* d = ::fdopendir(listFd);
  if (!d) {
    ::close(listFd);
    return;
  }
  const time_t now = ::time(nullptr);
  while (const dirent* e = ::readdir(d)) {
    if (!IsTemporaryName(e->d_name)) continue;
    struct stat st;
    if (::fstatat(folderFd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)) continue;
    if (lockHeld || now - st.st_mtime > kDeadAfterSeconds) ::unlinkat(folderFd, e->d_name, 0);
  }
  ::closedir(d);
}

}  // namespace platform::posix
