// What the window needs of Linux before it exists: a display to open on. Its
// program is started by program_posix.cpp.
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

}  // namespace platform
