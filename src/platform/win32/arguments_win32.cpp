// The command line in UTF-8, whatever the console's code page.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>

#include "platform/platform.h"

namespace platform {

namespace {
std::string utf8(const wchar_t* w) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, w, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return {};
  std::string s(static_cast<size_t>(n - 1), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w, -1, s.data(), n, nullptr, nullptr);
  return s;
}
}  // namespace

std::vector<std::string> Arguments(int /*argc*/, char** /*argv*/) {
  // Messages are UTF-8; a console shows them right only when told so.
  SetConsoleOutputCP(CP_UTF8);
  std::vector<std::string> args;
  int n = 0;
  wchar_t** w = CommandLineToArgvW(GetCommandLineW(), &n);
  if (!w) return args;
  for (int i = 1; i < n; ++i) args.push_back(utf8(w[i]));
  LocalFree(w);
  return args;
}

}  // namespace platform
