// The command line in UTF-8, whatever the console's code page; and standard
// output and error for a program built without a console of its own.
#include "platform/win32/win32_api.h"

#include <shellapi.h>

#include <cstdio>
#include <io.h>

namespace platform {

namespace {

bool poigneeValide(DWORD quel) {
  HANDLE h = GetStdHandle(quel);
  return h && h != INVALID_HANDLE_VALUE && GetFileType(h) != FILE_TYPE_UNKNOWN;
}

// The program is a GUI one, so that no console opens when it is
// double-clicked. Started from a console, it has no standard handles of its
// own: the silent mode and `ini` then write to that console. Handles that were
// given to it (a pipe, a file, a console it inherited) are kept as they are.
void rattacherConsole() {
  const bool entree = poigneeValide(STD_INPUT_HANDLE);
  const bool sortie = poigneeValide(STD_OUTPUT_HANDLE);
  const bool erreur = poigneeValide(STD_ERROR_HANDLE);
  if (sortie && erreur) return;
  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;  // started from Explorer: nowhere to write
  auto rouvrir = [](FILE* flux, const char* nom, const char* mode, DWORD quel) {
    if (!std::freopen(nom, mode, flux)) return;
    std::setvbuf(flux, nullptr, flux == stderr ? _IONBF : _IOLBF, BUFSIZ);
    SetStdHandle(quel, reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(flux))));
  };
  if (!sortie) rouvrir(stdout, "CONOUT$", "w", STD_OUTPUT_HANDLE);
  if (!erreur) rouvrir(stderr, "CONOUT$", "w", STD_ERROR_HANDLE);
  if (!entree) rouvrir(stdin, "CONIN$", "r", STD_INPUT_HANDLE);
}

}  // namespace

std::vector<std::string> Arguments(int argc, char** argv) {
  rattacherConsole();
  // Messages are UTF-8; a console shows them right only when told so.
  SetConsoleOutputCP(CP_UTF8);
  std::vector<std::string> arguments;
  // argv holds the arguments in the code page, with "?" for what it lacks.
  int count = 0;
  if (LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
    for (int i = 1; i < count; ++i) arguments.push_back(win32::Utf8FromWide(wide[i]));
    LocalFree(wide);
    return arguments;
  }
  for (int i = 1; i < argc; ++i) arguments.push_back(FromAnsi(argv[i]));
  return arguments;
}

}  // namespace platform
