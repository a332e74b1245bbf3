#include "platform/posix/safe_walk.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <optional>

#include "platform/posix/drives.h"

namespace platform::posix {
namespace {

// As the kernel's own limit on the links of one path.
constexpr int kMaxLinks = 40;

// A descriptor owned here, closed unless handed on.
class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  Fd(Fd&& o) noexcept : fd_(o.fd_) { o.fd_ = -1; }
  Fd& operator=(Fd&& o) noexcept {
    if (this != &o) {
      reset();
      fd_ = o.fd_;
      o.fd_ = -1;
    }
    return *this;
  }
  ~Fd() { reset(); }
  int get() const { return fd_; }
  int release() {
    const int f = fd_;
    fd_ = -1;
    return f;
  }
  void reset() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  int fd_;
};

std::string join(const std::string& dir, const std::string& name) {
  if (dir.empty() || dir.back() == '/') return dir + name;
  return dir + "/" + name;
}

std::string parentOf(const std::string& display) {
  const size_t slash = display.find_last_of('/');
  return slash == std::string::npos || slash == 0 ? "/" : display.substr(0, slash);
}

std::string userName(uid_t uid) {
  struct passwd pw {};
  struct passwd* found = nullptr;
  char buf[1024];
  if (::getpwuid_r(uid, &pw, buf, sizeof buf, &found) == 0 && found) return found->pw_name;
  return "uid " + std::to_string(uid);
}

// A folder open for listing, locking and flushing where the rights allow; else for paths only.
Fd openFolder(int at, const char* name) {
  Fd fd(::openat(at, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (fd.get() < 0 && errno == EACCES) fd = Fd(::openat(at, name, O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  return fd;
}

// The entry of the folder named `name`: that spelling first, else the one that
// matches it without regard to case.
std::optional<std::string> findEntry(int folder, const std::string& name, bool anyCase, struct stat* st) {
  if (::fstatat(folder, name.c_str(), st, AT_SYMLINK_NOFOLLOW) == 0) return name;
  if (!anyCase) return std::nullopt;
  const int list = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (list < 0) return std::nullopt;
  DIR* d = ::fdopendir(list);
  if (!d) {
    ::close(list);
    return std::nullopt;
  }
  std::optional<std::string> found;
  while (dirent* e = ::readdir(d)) {
    if (SameName(e->d_name, name)) {
      found = e->d_name;
      break;
    }
  }
  ::closedir(d);
  if (found && ::fstatat(folder, found->c_str(), st, AT_SYMLINK_NOFOLLOW) != 0) return std::nullopt;
  return found;
}

struct Walker {
  int links = 0;

  // Follows the link `link` (open on the link itself, `linkDisplay` its path) that
  // lies in `folder`: the object it leads to, or a refusal.
  Walked follow(const FolderRef& folder, const std::string& folderDisplay, int link, const std::string& linkDisplay) {
    Walked w;
    if (++links > kMaxLinks) {
      w.refused = "lien symbolique en boucle: " + linkDisplay;
      return w;
    }
    char target[PATH_MAX];
    const ssize_t n = ::readlinkat(link, "", target, sizeof target - 1);
    if (n < 0) {
      w.refused = "lien symbolique illisible: " + linkDisplay;
      return w;
    }
    target[n] = '\0';
    const std::string t(target);
    std::vector<std::string> parts(1);
    for (char c : t) {
      if (c == '/')
        parts.emplace_back();
      else
        parts.back() += c;
    }
    FolderRef start = folder;
    std::string startDisplay = folderDisplay;
    if (!t.empty() && t[0] == '/') {
      start = std::make_shared<OpenFolder>(openFolder(AT_FDCWD, "/").release());
      startDisplay = "/";
    }
    w = walk(start, startDisplay, parts, false, nullptr);
    if (!w.refused.empty()) return w;
    if (!w.exists) {
      Walked nowhere;
      nowhere.refused = "lien symbolique sans cible: " + linkDisplay;
      nowhere.dangling = true;
      return nowhere;
    }
    struct stat ls, fs, ts;
    if (::fstat(link, &ls) != 0 || ::fstat(folder->Fd(), &fs) != 0 || !StatOf(w, &ts)) {
      w.refused = "lien symbolique illisible: " + linkDisplay;
      return w;
    }
    const uid_t me = Follower();
    // One's own link leads where one may go anyway; someone else's must not lead to a third party's.
    if (ls.st_uid == me && me != 0) return w;
    if ((ls.st_uid == 0 || ls.st_uid == ts.st_uid) && (fs.st_uid == 0 || fs.st_uid == ts.st_uid)) return w;
    Walked refus;
    refus.refused = "lien symbolique refusé: " + linkDisplay + " (à " + userName(ls.st_uid) + ", dans un dossier de " +
                    userName(fs.st_uid) + ") mène à " + w.display + " (à " + userName(ts.st_uid) + ")";
    return refus;
  }

  Walked walk(FolderRef cur, std::string display, const std::vector<std::string>& components, bool anyCase,
              std::vector<std::string>* spelled) {
    Walked w;
    size_t last = components.size();
    while (last > 0 && (components[last - 1].empty() || components[last - 1] == ".")) --last;
    if (last == 0) {
      w.folder = cur;
      w.name = ".";
      w.display = display;
      w.exists = true;
      return w;
    }
    for (size_t k = 0; k < last; ++k) {
      const std::string& c = components[k];
      const bool final = k + 1 == last;
      if (c.empty() || c == ".") continue;
      if (c == "..") {
        Fd up = openFolder(cur->Fd(), "..");
        if (up.get() < 0) return w;
        cur = std::make_shared<OpenFolder>(up.release());
        display = parentOf(display);
        continue;
      }
      // The common case, a real folder on the way, in one call.
      if (!final) {
        Fd next(::openat(cur->Fd(), c.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (next.get() >= 0) {
          if (spelled) spelled->push_back(c);
          cur = std::make_shared<OpenFolder>(next.release());
          display = join(display, c);
          continue;
        }
      }
      struct stat st;
      const std::optional<std::string> entry = findEntry(cur->Fd(), c, anyCase, &st);
      if (!entry) {
        if (final) {
          w.folder = cur;
          w.name = c;
          w.display = join(display, c);
        }
        if (spelled)
          for (size_t r = k; r < components.size(); ++r) spelled->push_back(components[r]);
        return w;
      }
      if (spelled) spelled->push_back(*entry);
      const std::string here = join(display, *entry);
      if (S_ISLNK(st.st_mode)) {
        // Read and judged through one descriptor of the link: the link checked is the link followed.
        Fd e(::openat(cur->Fd(), entry->c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
        if (e.get() < 0 || ::fstat(e.get(), &st) != 0) return w;
        if (!S_ISLNK(st.st_mode)) return w;  // swapped meanwhile: not what was looked at
        Walked t = follow(cur, display, e.get(), here);
        if (!t.refused.empty() || final) {
          if (spelled && !final)
            for (size_t r = k + 1; r < components.size(); ++r) spelled->push_back(components[r]);
          return t;
        }
        if (!IsFolder(t)) return Walked{};
        Fd next = openFolder(t.folder->Fd(), t.name.c_str());
        if (next.get() < 0) return Walked{};
        cur = std::make_shared<OpenFolder>(next.release());
        display = here;  // spelled through the link, as the kernel would follow it
        continue;
      }
      if (final) {
        w.folder = cur;
        w.name = *entry;
        w.display = here;
        w.exists = true;
        return w;
      }
      if (!S_ISDIR(st.st_mode)) {
        if (spelled)
          for (size_t r = k + 1; r < components.size(); ++r) spelled->push_back(components[r]);
        return w;
      }
      Fd next = openFolder(cur->Fd(), entry->c_str());
      if (next.get() < 0) return w;
      cur = std::make_shared<OpenFolder>(next.release());
      display = here;
    }
    return w;
  }
};

}  // namespace

OpenFolder::~OpenFolder() {
  if (fd_ >= 0) ::close(fd_);
}

Walked Walk(const FolderRef& from, const std::string& fromDisplay, const std::vector<std::string>& components,
            bool anyCase, std::vector<std::string>* spelled) {
  return Walker{}.walk(from, fromDisplay, components, anyCase, spelled);
}

Walked WalkHostPath(const std::string& absolute) {
  Fd root = openFolder(AT_FDCWD, "/");
  if (root.get() < 0) return {};
  std::vector<std::string> parts(1);
  for (char c : absolute) {
    if (c == '/')
      parts.emplace_back();
    else
      parts.back() += c;
  }
  return Walk(std::make_shared<OpenFolder>(root.release()), "/", parts, false);
}

uid_t Follower() { return ::geteuid(); }

bool StatOf(const Walked& w, struct stat* st) {
  return w.folder && w.exists && ::fstatat(w.folder->Fd(), w.name.c_str(), st, AT_SYMLINK_NOFOLLOW) == 0;
}

bool IsFolder(const Walked& w) {
  struct stat st;
  return StatOf(w, &st) && S_ISDIR(st.st_mode);
}

}  // namespace platform::posix
