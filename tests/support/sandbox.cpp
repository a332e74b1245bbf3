#include "support/sandbox.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "common/erreurs.h"
#include "platform/platform.h"
#include "services/lib_setup.h"
#include "services/lib_systeme.h"
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>

#include "platform/posix/profile_store.h"
#endif

namespace fs = std::filesystem;

namespace {
std::string unique() {
  std::random_device rd;
  return std::to_string(rd() % 100000000);
}
}  // namespace

Sandbox::Sandbox() {
#ifdef _WIN32
  win_ = "C:\\il3-test-" + unique() + "\\";
  fs::create_directories(win_);
  host_ = win_;
  platform::Configure({"", win_ + "App\\"});
#else
  prefix_ = (fs::temp_directory_path() / ("il3-test-" + unique())).string();
  fs::create_directories(prefix_ + "/drive_c/windows");
  fs::create_directories(prefix_ + "/drive_c/sandbox");
  win_ = "C:\\sandbox\\";
  host_ = prefix_ + "/drive_c/sandbox/";
  platform::Configure({prefix_, "C:\\sandbox\\App\\"});
  platform::posix::ResetProfileCacheForTesting();
#endif
  std::error_code ec;
  previous_ = fs::current_path(ec).string();
  fs::current_path(host_, ec);
  ResetServices();
}

Sandbox::~Sandbox() {
  std::error_code ec;
  if (!previous_.empty()) fs::current_path(previous_, ec);
#ifdef _WIN32
  fs::remove_all(win_, ec);
#else
  // Read-only files must not keep the sandbox alive.
  for (auto it = fs::recursive_directory_iterator(prefix_, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec))
    fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
  fs::remove_all(prefix_, ec);
  platform::posix::ResetProfileCacheForTesting();
#endif
}

static std::string hostOf(const Sandbox& s, const std::string& winPath) {
#ifdef _WIN32
  (void)s;
  return winPath;
#else
  std::string p = winPath;
  if (p.rfind("C:\\", 0) == 0 || p.rfind("c:\\", 0) == 0) p = s.Prefix() + "/drive_c/" + p.substr(3);
  for (char& c : p)
    if (c == '\\') c = '/';
  return p;
#endif
}

std::string Sandbox::Read(const std::string& winPath) const {
  std::ifstream in(hostOf(*this, winPath), std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void Sandbox::Write(const std::string& winPath, const std::string& bytes) const {
  std::ofstream out(hostOf(*this, winPath), std::ios::binary | std::ios::trunc);
  out << bytes;
}

bool Sandbox::Exists(const std::string& winPath) const { return fs::exists(hostOf(*this, winPath)); }

void Sandbox::SetReadOnly(const std::string& winPath, bool readOnly) const {
  uint32_t a = platform::GetAttributes(winPath);
  platform::SetAttributes(winPath, readOnly ? (a | 1u) : (a & ~1u));
}

void ResetServices() {
  CacheDossiers = {};
  VersionOS = 0;
  ErreurNumero = 0;
  ErreurSource.clear();
  ErreurDescription.clear();
  ErreurLigne = 0;
  GestionEnCours = false;
  DefinirCrochetsRapporteur({});
  DefinirLigneDeProgression({});
  Bilan().vider();
}

bool SousWine() {
#ifdef _WIN32
  const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
  return false;
#endif
}
