// What the window needs of Windows before it exists. The window is linked into
// the program and the drives are the real ones, so there is little to do.
#include "platform/platform.h"

namespace platform {

std::string HostPathOf(const std::string& windowsPath) { return windowsPath; }

std::string WindowsPathOf(const std::string& hostPath) { return hostPath; }

bool DisplayAvailable() { return true; }

ProgramRun RunProgram(const std::string& relativePath, char**) {
  ProgramRun r;
  r.failure = ProgramRun::Failure::Unusable;
  r.path = relativePath;
  r.detail = "le programme Windows porte sa fenêtre en lui-même";
  return r;
}

std::string ProgramStarted() { return ""; }

}  // namespace platform
