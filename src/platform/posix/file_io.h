// Whole-file reads and atomic, durable replacement of profile files.
#pragma once

#include <string>

#include "platform/posix/profile_store.h"

namespace platform::posix {

bool ReadWholeFile(const std::string& host, std::string* bytes);

// Replaces the file atomically: a temporary file in the same folder, flushed,
// renamed over the old one. On failure the old file is intact and `reason` says
// why, in French. The folder itself is flushed by SyncFolderOf.
bool ReplaceFile(const std::string& host, const std::string& bytes, SaveFault fault, std::string* reason);

// Makes the renames in the folder of `host` durable.
void SyncFolderOf(const std::string& host);

}  // namespace platform::posix
