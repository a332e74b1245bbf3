// Start-up options, the Windows folder, the Windows version and the program's folder.
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/win32/win32_api.h"

namespace platform {
namespace {

// The version record is the extended one, whose size field the callers of
// GetVersionExA fill with 156.
static_assert(sizeof(OSVERSIONINFOEXA) == 156, "OSVERSIONINFOEXA must be the 156-byte record");

// The drives are the real ones on Windows; only the program's folder may be overridden.
std::string gAppDir;

}  // namespace

void Configure(const Options& options) { gAppDir = options.appDir; }

WindowsDirectory GetWindowsDirectory(uint32_t size) {
  // No Windows folder is longer than a path can be; a larger size gains nothing.
  size = std::min<uint32_t>(size, 32767);
  std::vector<char> buffer(size + 1, '\0');
  WindowsDirectory result;
  result.count = GetWindowsDirectoryA(buffer.data(), size);
  // Too small a buffer gets the size it would need and no text.
  const size_t shown = std::min<size_t>(result.count, size);
  result.path = FromAnsi(std::string(buffer.data(), strnlen(buffer.data(), shown)));
  return result;
}

VersionInfo GetVersion() {
  OSVERSIONINFOEXA record{};
  record.dwOSVersionInfoSize = 156;
  VersionInfo info;
  info.ok = GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&record)) != 0;
  if (info.ok) {
    info.platformId = record.dwPlatformId;
    info.major = record.dwMajorVersion;
    info.minor = record.dwMinorVersion;
  }
  return info;
}

std::string ProgramFolder() {
  if (!gAppDir.empty()) return gAppDir;
  // The wide call: the folder may hold characters the code page cannot.
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    if (path.size() >= 32768) return {};  // beyond the longest path Windows has
    path.resize(path.size() * 2);
  }
  const size_t slash = path.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return {};
  // A program at the root of a drive keeps the backslash: "C:" alone names
  // the drive's current folder, not its root.
  const size_t keep = (slash > 0 && path[slash - 1] == L':') ? slash + 1 : slash;
  return win32::Utf8FromWide(path.substr(0, keep));
}

}  // namespace platform
