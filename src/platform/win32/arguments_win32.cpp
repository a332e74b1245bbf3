// The command line in UTF-8, whatever the console's code page.
#include "platform/win32/win32_api.h"

#include <shellapi.h>

namespace platform {

std::vector<std::string> Arguments(int argc, char** argv) {
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
