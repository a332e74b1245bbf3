// Whether what has a settings file's name may be replaced by a new file.
#pragma once

#include <sys/stat.h>

#include <string>

namespace platform::posix {

// Why an existing entry cannot be replaced by a new file: a folder, a FIFO, a
// device, a socket, or a file with several hard links (replacing it would part
// its names silently). nullptr for a plain file.
const char* NotReplaceable(const struct stat& st);

}  // namespace platform::posix
