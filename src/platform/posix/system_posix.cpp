// What the program knows of its system on Linux.
#include <csignal>
#include <unistd.h>

#include "platform/platform.h"
#include "platform/posix/drives.h"
#include "platform/posix/program_start.h"

namespace platform {

namespace {
// The suite's default application folder, where its programs look for the site file.
constexpr const char* kDefaultAppFolder = "C:\\Kelvaro\\Ilvane\\";
// The window's program lies in a private folder: its site file is where
// il3-setup, which started it, would put it.
std::string g_starter;
}  // namespace

void Configure(const Options& options) { posix::SetPrefix(options.root, options.appDir); }

void posix::SetStarter(const std::string& executable) { g_starter = executable; }

WindowsDirectory GetWindowsDirectory(uint32_t size) {
  const std::string dir = "C:\\windows";
  if (size <= dir.size()) return {static_cast<uint32_t>(dir.size() + 1), std::string()};
  return {static_cast<uint32_t>(dir.size()), dir};
}

VersionInfo GetVersion() {
  // Not a Windows system: no platform identifier, so the version class stays 0.
  return {true, 0, 0, 0};
}

std::string ProgramFolder() {
  if (!posix::ApplicationDirOverride().empty()) return posix::ApplicationDirOverride();
  std::string exe = g_starter;
  if (exe.empty()) {
    char buf[4096];
    const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n > 0) exe.assign(buf, static_cast<size_t>(n));
  }
  if (!exe.empty()) {
    if (auto w = posix::ToWindowsPath(exe.substr(0, exe.find_last_of('/')))) return *w;
  }
  return kDefaultAppFolder;
}

}  // namespace platform

namespace platform {
std::vector<std::string> Arguments(int argc, char** argv) {
  // A reader that goes away (| head) must not stop the work half-way: writes to
  // a closed output fail quietly, and the exit status still tells the truth.
  ::signal(SIGPIPE, SIG_IGN);
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
  return args;
}
}  // namespace platform
