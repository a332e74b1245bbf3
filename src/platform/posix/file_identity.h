// What a replaced file keeps of the file it replaces: owner, group, permission
// bits and extended attributes (the access ACL lives in one of them).
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <string>
#include <utility>
#include <vector>

namespace platform::posix {

struct FileIdentity {
  uid_t owner = 0;
  gid_t group = 0;
  mode_t mode = 0;
  std::vector<std::pair<std::string, std::string>> attributes;  // name, value
};

// Reads the identity of an open file.
bool CaptureIdentity(int fd, const struct stat& st, FileIdentity* identity, std::string* reason);

// Gives a new, still unnamed file that identity. A user who may write the old
// file but cannot give it away (a group member, not its owner) is refused: the
// file would silently change hands.
bool ApplyIdentity(int fd, const FileIdentity& identity, std::string* reason);

}  // namespace platform::posix
