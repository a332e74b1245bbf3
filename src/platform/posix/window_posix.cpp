// What the window needs of Linux before it exists: a display to open on, and
// its module, loaded only then so that headless runs never map a toolkit.
#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "platform/platform.h"

namespace platform {
namespace {

std::string variable(const char* nom) {
  const char* v = std::getenv(nom);
  return v ? v : "";
}

std::string executableFolder() {
  char buf[4096];
  const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return ".";
  const std::string exe(buf, static_cast<size_t>(n));
  const size_t slash = exe.find_last_of('/');
  return slash == 0 ? "/" : exe.substr(0, slash);
}

constexpr const char* kNotFound = ": cannot open shared object file";

}  // namespace

// The toolkit aborts the process when it cannot reach its display, so look
// first. A local X display is a socket; a remote one is left to the toolkit.
bool DisplayAvailable() {
  if (!variable("QT_QPA_PLATFORM").empty() || !variable("WAYLAND_DISPLAY").empty()) return true;
  const std::string x = variable("DISPLAY");
  if (x.empty()) return false;
  std::string numero;
  if (x[0] == ':')
    numero = x.substr(1);
  else if (x.rfind("unix:", 0) == 0)
    numero = x.substr(5);
  else
    return true;
  numero = numero.substr(0, numero.find('.'));
  std::error_code ec;
  return std::filesystem::exists("/tmp/.X11-unix/X" + numero, ec);
}

Module LoadModule(const std::string& relativePath, const std::string& symbol) {
  Module m;
  std::error_code ec;
  m.path = std::filesystem::weakly_canonical(executableFolder() + "/" + relativePath, ec).string();
  if (ec) m.path = executableFolder() + "/" + relativePath;
  if (::access(m.path.c_str(), F_OK) != 0) {
    m.failure = Module::Failure::Missing;
    return m;
  }
  // Every symbol bound now: a module that does not fit this program fails here,
  // with the system's words, rather than in the middle of the window.
  void* handle = ::dlopen(m.path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* e = ::dlerror();
    m.detail = e ? e : "dlopen";
    const size_t fin = m.detail.find(kNotFound);
    if (fin != std::string::npos && m.detail.compare(0, fin, m.path) != 0) {
      m.failure = Module::Failure::LibraryMissing;
      m.library = m.detail.substr(0, fin);
    } else {
      m.failure = Module::Failure::Unusable;
    }
    return m;
  }
  m.symbol = ::dlsym(handle, symbol.c_str());
  if (!m.symbol) {
    const char* e = ::dlerror();
    m.detail = e ? e : symbol;
    m.failure = Module::Failure::Unusable;
  }
  return m;
}

}  // namespace platform
