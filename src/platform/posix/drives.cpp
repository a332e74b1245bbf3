#include "platform/posix/drives.h"
#include "platform/platform.h"

#include "common/noms_windows.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <vector>

namespace platform::posix {
namespace {

std::string g_root;
std::string g_appDir;

bool isDir(const std::string& p) {
  struct stat st;
  return ::stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}
bool existsPath(const std::string& p) {
  struct stat st;
  return ::lstat(p.c_str(), &st) == 0;
}

std::string join(const std::string& dir, const std::string& name) {
  if (dir.empty() || dir.back() == '/') return dir + name;
  return dir + "/" + name;
}

// Next code point of UTF-8 text; invalid bytes stand for themselves.
char32_t nextCodePoint(const std::string& s, size_t& i) {
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

std::u32string folded(const std::string& s) {
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

// The host folder of drive letter `d` (lower case), empty when the drive is missing.
std::string driveRoot(char d) {
  const std::string link = join(PrefixRoot(), std::string("dosdevices/") + d + ":");
  if (isDir(link)) return link;
  if (d == 'c') {
    const std::string c = join(PrefixRoot(), "drive_c");
    return isDir(c) ? c : std::string();
  }
  if (d == 'z') return "/";
  return {};
}

// The entry of `dir` named `name`: the exact spelling first, else the one that
// matches without regard to case.
std::optional<std::string> findEntry(const std::string& dir, const std::string& name) {
  if (existsPath(join(dir, name))) return name;
  DIR* d = ::opendir(dir.c_str());
  if (!d) return std::nullopt;
  std::optional<std::string> found;
  while (dirent* e = ::readdir(d)) {
    if (SameName(e->d_name, name)) {
      found = e->d_name;
      break;
    }
  }
  ::closedir(d);
  return found;
}

std::string currentDir() {
  char buf[4096];
  return ::getcwd(buf, sizeof buf) ? std::string(buf) : std::string("/");
}

}  // namespace

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
  g_appDir = appDir;
}

bool ForbiddenInWindowsName(const std::string& w) {
  // A host path given by a script is no Windows path: Windows' length limit is not its own.
  size_t caracteres = 0;  // in the code page, one byte a character
  for (char c : w) caracteres += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  if ((caracteres > kLongueurCheminMax && w[0] != '/') || !ComposantPeripherique(w).empty()) return true;
  return CaractereInterdit(w) != std::string::npos;
}

bool SameName(const std::string& a, const std::string& b) { return a == b || folded(a) == folded(b); }

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

// The host folder a Windows path starts from, and the rest of the path; an empty
// base when the drive or share is missing.
void splitRoot(const std::string& w, std::string* base, std::string* rest) {
  auto sep = [](char c) { return c == '\\' || c == '/'; };
  if (!w.empty() && w[0] == '/') {  // a host path, accepted from scripts
    *base = "/";
    *rest = w.substr(1);
  } else if (w.size() >= 2 && w[1] == ':' && std::isalpha(static_cast<unsigned char>(w[0]))) {
    *base = driveRoot(static_cast<char>(std::tolower(static_cast<unsigned char>(w[0]))));
    *rest = w.substr(2);
  } else if (w.size() >= 2 && sep(w[0]) && sep(w[1])) {
    // \\server\share\rest lives under dosdevices/unc when it exists.
    const std::vector<std::string> parts = splitSeparators(w.substr(2));
    if (parts.size() < 2 || parts[0].empty() || parts[1].empty()) return;
    std::string share = join(PrefixRoot(), "dosdevices/unc");
    for (int k = 0; k < 2; ++k) {
      auto e = isDir(share) ? findEntry(share, parts[k]) : std::nullopt;
      if (!e) return;
      share = join(share, *e);
    }
    if (!isDir(share)) return;
    *base = share;
    for (size_t k = 2; k < parts.size(); ++k) *rest += "\\" + parts[k];
  } else if (!w.empty() && w[0] == '\\') {
    *base = driveRoot('c');
    *rest = w;
  } else {
    *base = currentDir();
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
  std::string base, rest;
  splitRoot(windowsPath, &base, &rest);
  if (base.empty()) return r;
  r.driveFound = true;
  const std::vector<std::string> norm = components(rest, &r.trailingSeparator);

  // Existing components take their real spelling; the first missing one and the
  // rest keep the spelling given.
  std::string path = base;
  bool found = true;
  r.parentExists = true;
  for (size_t k = 0; k < norm.size(); ++k) {
    if (found) {
      if (auto e = findEntry(path, norm[k])) {
        path = join(path, *e);
        continue;
      }
      found = false;
      r.parentExists = (k + 1 == norm.size()) && isDir(path);
    }
    path = join(path, norm[k]);
  }
  if (found && !norm.empty()) {
    const std::string parent = path.substr(0, path.find_last_of('/'));
    r.parentExists = isDir(parent.empty() ? "/" : parent);
  }
  r.exists = found;
  r.path = path;
  return r;
}

std::optional<std::string> ToWindowsPath(const std::string& hostPath) {
  // Deepest drive first, so that C: wins over a drive that holds the whole prefix.
  std::optional<std::string> best;
  size_t bestLen = 0;
  char real[4096];
  const std::string target = ::realpath(hostPath.c_str(), real) ? std::string(real) : hostPath;
  for (char d = 'a'; d <= 'z'; ++d) {
    const std::string root = driveRoot(d);
    if (root.empty()) continue;
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
