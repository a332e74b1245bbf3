// Windows paths on the host, the way Wine maps them: a prefix folder holds the
// drives, and path components match without regard to case.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/posix/safe_walk.h"

namespace platform::posix {

// The prefix folder in force (after Configure).
const std::string& PrefixRoot();
// How the prefix was chosen: "--root", "WINEPREFIX" or "~/.wine".
const char* PrefixSource();
const std::string& ApplicationDirOverride();
void SetPrefix(const std::string& root, const std::string& appDir);

// A Windows path resolved on the host, by a walk that checked every link.
struct HostPath {
  bool driveFound = false;  // false: missing drive or share, every operation fails
  std::string path;         // host path: existing components in their real spelling, the rest as given
  bool exists = false;      // every component was found
  bool parentExists = false;
  bool trailingSeparator = false;  // the Windows path ended with a backslash
  // Where the object really is: the open folder that holds it (or would), and
  // its name there (its target's, when the path ends in a link). Every
  // operation goes through them, never through `path`.
  FolderRef folder;
  std::string name;
  std::string refused;  // a link the walk would not follow: every operation fails with this reason
};
HostPath Resolve(const std::string& windowsPath);

// The Windows spelling of a host path, through the drives whose root is not the
// host's own root; nullopt when no such drive holds it.
std::optional<std::string> ToWindowsPath(const std::string& hostPath);

// True when the path holds what no Windows file name may hold: a control
// character, < > " | ? *, a colon other than the drive's, a device name (CON,
// NUL, COM1...) as a component, or more than 259 characters. Windows refuses
// to create such a name; so must we, though the host would take it.
bool ForbiddenInWindowsName(const std::string& windowsPath);

// Case-insensitive equality of two UTF-8 names, as Windows compares file names.
bool SameName(std::string_view a, std::string_view b);
// DOS wildcard match (* and ?), case-insensitive.
bool WildcardMatch(const std::string& pattern, const std::string& name);

}  // namespace platform::posix
