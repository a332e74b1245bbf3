// Where a settings file's bytes really live, and whether they may be replaced.
#pragma once

#include <sys/stat.h>

#include <string>

namespace platform::posix {

// The folder and name to replace for a host path: a symbolic link is followed
// (all the way), so that the link stays and its target is replaced in its own folder.
struct SaveTarget {
  std::string folder;
  std::string name;
  bool operator==(const SaveTarget&) const = default;
};
// False, with a French reason, for a link that leads nowhere (dangling or a loop).
bool FindSaveTarget(const std::string& host, SaveTarget* target, std::string* reason);

// Why an existing entry cannot be replaced by a new file: a folder, a FIFO, a
// device, a socket, or a file with several hard links (replacing it would part
// its names silently). nullptr for a plain file.
const char* NotReplaceable(const struct stat& st);

// For a name whose stat failed: the reason when it is a link that leads nowhere,
// nullptr when the name simply does not exist.
const char* BrokenLink(const std::string& host);

}  // namespace platform::posix
