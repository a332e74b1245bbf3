#include "platform/posix/drives.h"
#include "platform/platform.h"

#include "common/noms_windows.h"
#include "common/octets.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <map>
#include <vector>

namespace platform::posix {
namespace {

std::string g_root;
std::string g_rootGiven;  // --root, as given
std::string g_appDir;

std::string join(const std::string& dir, const std::string& name) {
  if (dir.empty() || dir.back() == '/') return dir + name;
  return dir + "/" + name;
}

// Next code point of UTF-8 text; invalid bytes stand for themselves.
char32_t nextCodePoint(std::string_view s, size_t& i) {
  const auto b = static_cast<unsigned char>(s[i]);
  int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
  if (extra == 0 || i + extra >= s.size()) {
    ++i;
    return b;
  }
  char32_t cp = b & (0x3F >> extra);
  for (int k = 1; k <= extra; ++k) {
    const auto c = static_cast<unsigned char>(s[i + k]);
    if ((c & 0xC0) != 0x80) {
      ++i;
      return b;
    }
    cp = (cp << 6) | (c & 0x3F);
  }
  i += extra + 1;
  return cp;
}

// Upper case of the letters a Western code page can hold.
char32_t foldUpper(char32_t c) {
  if (c >= 'a' && c <= 'z') return c - 0x20;
  if (c < 0xE0) return c;
  if (c <= 0xFE) return c == 0xF7 ? c : c - 0x20;
  if (c == 0xFF) return 0x178;
  if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) return c & ~char32_t{1};
  if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return (c & 1) ? c : c - 1;
  return c;
}

std::u32string folded(std::string_view s) {
  std::u32string out;
  for (size_t i = 0; i < s.size();) out += foldUpper(nextCodePoint(s, i));
  return out;
}

bool wildMatch(const std::u32string& p, size_t pi, const std::u32string& n, size_t ni) {
  while (pi < p.size()) {
    if (p[pi] == U'*') {
      while (pi < p.size() && p[pi] == U'*') ++pi;
      if (pi == p.size()) return true;
      for (size_t k = ni; k <= n.size(); ++k)
        if (wildMatch(p, pi, n, k)) return true;
      return false;
    }
    if (ni == n.size()) {
      // "*.*" and "name.*" also match names without a dot, as on Windows.
      return p.compare(pi, std::u32string::npos, U".*") == 0 || p.compare(pi, std::u32string::npos, U".") == 0;
    }
    if (p[pi] != U'?' && p[pi] != n[ni]) return false;
    ++pi;
    ++ni;
  }
  return ni == n.size();
}

std::string currentDir() {
  char buf[4096];
  return ::getcwd(buf, sizeof buf) ? std::string(buf) : std::string("/");
}

std::string absolute(const std::string& p) { return !p.empty() && p[0] == '/' ? p : join(currentDir(), p); }

// An open folder for what a walk reached.
FolderRef opened(const Walked& w) {
  if (!w.folder) return nullptr;
  if (w.name == ".") return w.folder;
  auto f = std::make_shared<OpenFolder>(::openat(w.folder->Fd(), w.name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (f->Fd() < 0) f = std::make_shared<OpenFolder>(::openat(w.folder->Fd(), w.name.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  return f->Fd() < 0 ? nullptr : f;
}

// The prefix folder, walked from the host's root: a link on the way is checked like any other.
Walked walkPrefix() {
  Walked w = WalkHostPath(absolute(PrefixRoot()));
  return w.exists && IsFolder(w) ? w : Walked{w.folder, w.name, w.display, false, w.refused};
}
Walked prefixFolder();

// The open root folder of drive letter `d` (lower case); not found when the
// drive is missing, refused when its link is not safe to follow. The prefix
// defines its drives: dosdevices/x: may lead anywhere, under the link rule.
Walked walkDrive(char d) {
  const Walked prefix = prefixFolder();
  if (!prefix.exists) return prefix;
  const FolderRef folder = opened(prefix);
  if (!folder) return {};
  const std::string display = prefix.display;
  Walked w = Walk(folder, display, {"dosdevices", std::string(1, d) + ":"}, false);
  // A drive whose link leads nowhere (a medium not mounted) is a missing drive.
  if (!w.refused.empty() && !w.dangling) return w;
  if (w.exists && IsFolder(w)) {
    w.display = join(display, std::string("dosdevices/") + d + ":");  // the drive as Wine names it
    return w;
  }
  if (d == 'c') {
    w = Walk(folder, display, {"drive_c"}, false);
    return w.exists && IsFolder(w) ? w : Walked{{}, {}, {}, false, w.refused};
  }
  if (d == 'z') return WalkHostPath("/");
  return {};
}

// A folder found is kept open: a path through it starts from the folder checked
// once, which its host path must still lead to (one stat) for it to be used
// again. The path only tells whether the folder held is still the one named;
// every operation goes through the folder held.
struct KnownFolder {
  Walked open;  // the folder itself: its descriptor, name "."
  std::vector<std::string> spelled;
  dev_t dev;
  ino_t ino;
};
std::map<char, KnownFolder> g_drives;
std::map<std::string, KnownFolder> g_folders;  // by drive display and the components given
constexpr size_t kFoldersKept = 64;

bool stillNamed(const KnownFolder& k) {
  struct stat st;
  return ::stat(k.open.display.c_str(), &st) == 0 && st.st_dev == k.dev && st.st_ino == k.ino;
}

std::optional<KnownFolder> keep(const Walked& w, std::vector<std::string> spelled = {}) {
  struct stat st;
  if (!w.exists || !w.refused.empty() || !StatOf(w, &st) || !S_ISDIR(st.st_mode)) return std::nullopt;
  const FolderRef f = opened(w);
  if (!f) return std::nullopt;
  return KnownFolder{Walked{f, ".", w.display, true, {}, false}, std::move(spelled), st.st_dev, st.st_ino};
}

std::optional<KnownFolder> g_prefix;

Walked prefixFolder() {
  if (g_prefix && stillNamed(*g_prefix)) return g_prefix->open;
  g_prefix.reset();
  const Walked w = walkPrefix();
  g_prefix = keep(w);
  return g_prefix ? g_prefix->open : w;
}

Walked driveRoot(char d) {
  if (auto it = g_drives.find(d); it != g_drives.end()) {
    if (stillNamed(it->second)) return it->second.open;
    g_drives.erase(it);
  }
  const Walked w = walkDrive(d);
  const std::optional<KnownFolder> k = keep(w);
  if (!k) return w;
  return (g_drives[d] = *k).open;
}

}  // namespace

const char* PrefixSource() {
  if (!g_rootGiven.empty()) return "--root";
  if (const char* w = std::getenv("WINEPREFIX"); w && *w) return "WINEPREFIX";
  return "~/.wine";
}

const std::string& PrefixRoot() {
  if (g_root.empty()) {
    if (const char* w = std::getenv("WINEPREFIX"); w && *w)
      g_root = w;
    else if (const char* h = std::getenv("HOME"); h && *h)
      g_root = join(h, ".wine");
    else
      g_root = "/root/.wine";
  }
  return g_root;
}

const std::string& ApplicationDirOverride() { return g_appDir; }

void SetPrefix(const std::string& root, const std::string& appDir) {
  g_root = root;
  g_rootGiven = root;
  g_appDir = appDir;
  g_drives.clear();
  g_folders.clear();
  g_prefix.reset();
}

bool ForbiddenInWindowsName(const std::string& w) {
  // A host path given by a script is no Windows path: Windows' length limit is not its own.
  size_t caracteres = 0;  // in the code page, one byte a character
  for (char c : w) caracteres += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  if ((caracteres > kLongueurCheminMax && w[0] != '/') || !ComposantPeripherique(w).empty()) return true;
  return CaractereInterdit(w) != std::string::npos;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a == b) return true;
  // A folder's entries are compared one by one: plain names without a copy. No
  // letter beyond ASCII folds into it, so an ASCII name matches only an ASCII one.
  const bool asciiA = !octets::HorsAscii(a), asciiB = !octets::HorsAscii(b);
  if (asciiA || asciiB) {
    if (!asciiA || !asciiB || a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
      if (foldUpper(static_cast<unsigned char>(a[i])) != foldUpper(static_cast<unsigned char>(b[i]))) return false;
    return true;
  }
  return folded(a) == folded(b);
}

bool WildcardMatch(const std::string& pattern, const std::string& name) {
  return wildMatch(folded(pattern), 0, folded(name), 0);
}

namespace {

std::vector<std::string> splitSeparators(const std::string& s) {
  std::vector<std::string> parts(1);
  for (char c : s) {
    if (c == '\\' || c == '/')
      parts.emplace_back();
    else
      parts.back() += c;
  }
  return parts;
}

// The open folder a Windows path starts from, and the rest of the path; not
// found when the drive or share is missing.
void splitRoot(const std::string& w, Walked* base, std::string* rest) {
  auto sep = [](char c) { return c == '\\' || c == '/'; };
  if (!w.empty() && w[0] == '/') {  // a host path, accepted from scripts
    *base = WalkHostPath("/");
    *rest = w.substr(1);
  } else if (w.size() >= 2 && w[1] == ':' && std::isalpha(static_cast<unsigned char>(w[0]))) {
    *base = driveRoot(static_cast<char>(std::tolower(static_cast<unsigned char>(w[0]))));
    *rest = w.substr(2);
  } else if (w.size() >= 2 && sep(w[0]) && sep(w[1])) {
    // \\server\share\rest lives under dosdevices/unc when it exists.
    const std::vector<std::string> parts = splitSeparators(w.substr(2));
    if (parts.size() < 2 || parts[0].empty() || parts[1].empty()) return;
    const Walked prefix = prefixFolder();
    if (!prefix.exists) {
      base->refused = prefix.refused;
      return;
    }
    const FolderRef p = opened(prefix);
    if (!p) return;
    *base = Walk(p, prefix.display, {"dosdevices", "unc", parts[0], parts[1]}, true);
    if (base->refused.empty() && !(base->exists && IsFolder(*base))) *base = Walked{};
    for (size_t k = 2; k < parts.size(); ++k) *rest += "\\" + parts[k];
  } else if (!w.empty() && w[0] == '\\') {
    *base = driveRoot('c');
    *rest = w;
  } else {
    *base = WalkHostPath(currentDir());
    *rest = w;
  }
}

// The components of a path, with "." and ".." applied as Windows applies them.
std::vector<std::string> components(const std::string& rest, bool* trailingSeparator) {
  std::vector<std::string> parts = splitSeparators(rest);
  *trailingSeparator = parts.back().empty() && !rest.empty();
  // Windows drops the trailing dots and blanks of every component: "Site.\" is "Site\".
  for (std::string& c : parts)
    while (!c.empty() && (c.back() == ' ' || c.back() == '.') && c != "." && c != "..") c.pop_back();
  std::vector<std::string> norm;
  for (const std::string& c : parts) {
    if (c.empty() || c == ".") continue;
    if (c == "..") {
      if (!norm.empty()) norm.pop_back();
      continue;
    }
    norm.push_back(c);
  }
  return norm;
}

}  // namespace

HostPath Resolve(const std::string& windowsPath) {
  HostPath r;
  Walked base;
  std::string rest;
  splitRoot(windowsPath, &base, &rest);
  if (!base.refused.empty()) {
    r.driveFound = true;
    r.refused = base.refused;
    return r;
  }
  if (!base.exists) return r;
  const FolderRef root = opened(base);
  if (!root) return r;
  r.driveFound = true;
  const std::vector<std::string> norm = components(rest, &r.trailingSeparator);

  // Existing components take their real spelling; the first missing one and the
  // rest keep the spelling given. The folder that holds the last one is kept
  // from walk to walk: a command names the same few folders many times.
  std::vector<std::string> spelled;
  Walked w;
  if (norm.size() > 1) {
    std::string key = base.display;
    for (size_t k = 0; k + 1 < norm.size(); ++k) key.append(1, '\0').append(norm[k]);
    auto it = g_folders.find(key);
    if (it != g_folders.end() && !stillNamed(it->second)) {
      g_folders.erase(it);
      it = g_folders.end();
    }
    if (it == g_folders.end()) {
      std::vector<std::string> parentSpelled;
      const Walked parent = Walk(root, base.display, {norm.begin(), norm.end() - 1}, true, &parentSpelled);
      if (std::optional<KnownFolder> k = keep(parent, std::move(parentSpelled))) {
        if (g_folders.size() >= kFoldersKept) g_folders.clear();
        it = g_folders.emplace(key, std::move(*k)).first;
      }
    }
    if (it != g_folders.end()) {
      spelled = it->second.spelled;
      w = Walk(it->second.open.folder, it->second.open.display, {norm.back()}, true, &spelled);
    }
  }
  if (spelled.empty()) w = Walk(root, base.display, norm, true, &spelled);
  std::string path = base.display;
  for (const std::string& c : spelled) path = join(path, c);
  r.path = path;
  r.refused = w.refused;
  if (!w.refused.empty()) return r;
  r.exists = w.exists;
  r.parentExists = w.folder != nullptr;
  r.folder = w.folder;
  r.name = w.name;
  return r;
}

namespace {

// The letters a prefix may define: C: and Z: always, as Wine does, the others
// only through their entry in dosdevices, read once instead of walked for each
// of the 26 letters. All of them when dosdevices cannot be listed plainly.
std::string driveLetters() {
  static const std::string all = "abcdefghijklmnopqrstuvwxyz";
  const Walked prefix = prefixFolder();
  const FolderRef folder = prefix.exists ? opened(prefix) : nullptr;
  if (!folder) return all;
  const int fd = ::openat(folder->Fd(), "dosdevices", O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT ? "cz" : all;
  DIR* dir = ::fdopendir(fd);
  if (!dir) {
    ::close(fd);
    return all;
  }
  std::string letters = "cz";
  while (const dirent* e = ::readdir(dir)) {
    const char l = static_cast<char>(std::tolower(static_cast<unsigned char>(e->d_name[0])));
    if (l >= 'a' && l <= 'z' && e->d_name[1] == ':' && e->d_name[2] == '\0' && letters.find(l) == std::string::npos)
      letters += l;
  }
  ::closedir(dir);
  std::sort(letters.begin(), letters.end());
  return letters;
}

}  // namespace

std::optional<std::string> ToWindowsPath(const std::string& hostPath) {
  // Deepest drive first, so that C: wins over a drive that holds the whole prefix.
  std::optional<std::string> best;
  size_t bestLen = 0;
  char real[4096];
  const std::string target = ::realpath(hostPath.c_str(), real) ? std::string(real) : hostPath;
  for (const char d : driveLetters()) {
    const Walked w = driveRoot(d);
    if (!w.exists) continue;
    const std::string& root = w.display;
    const std::string r = ::realpath(root.c_str(), real) ? std::string(real) : root;
    if (r == "/") continue;  // the host's own root holds everything: not a place to install into
    if (target.compare(0, r.size(), r) != 0 || (target.size() > r.size() && target[r.size()] != '/')) continue;
    if (r.size() <= bestLen && best) continue;
    std::string tail = target.substr(r.size());
    for (char& c : tail)
      if (c == '/') c = '\\';
    if (tail.empty()) tail = "\\";
    best = std::string(1, static_cast<char>(std::toupper(d))) + ":" + tail;
    bestLen = r.size();
  }
  return best;
}

}  // namespace platform::posix

// The folder dialog's two mappings live beside the drives they walk, so that the
// program, which resolves paths anyway, always carries them for the window module.
namespace platform {

std::string HostPathOf(const std::string& windowsPath) {
  const posix::HostPath h = posix::Resolve(windowsPath);
  return h.driveFound ? h.path : std::string();
}

std::string WindowsPathOf(const std::string& hostPath) {
  if (auto w = posix::ToWindowsPath(hostPath)) return *w;
  std::string tail = hostPath;
  for (char& c : tail)
    if (c == '/') c = '\\';
  if (tail.empty() || tail[0] != '\\') tail.insert(tail.begin(), '\\');
  return "Z:" + tail;
}

}  // namespace platform
