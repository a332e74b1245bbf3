// Names of replacements being written: ".NAME.il3-XXXXXX", hidden, never ending
// in a settings file's extension, and never longer than the folder allows (NAME
// is shortened when needed). Leftovers of killed saves are recognised and removed.
#pragma once

#include <string>

namespace platform::posix {

// A fresh temporary name for a replacement of `name`, at most `nameMax` bytes.
std::string TemporaryName(const std::string& name, long nameMax);

bool IsTemporaryName(const std::string& entry);

// Whether a folder holds any leftover, at the cost of one listing and no lock.
bool HasLeftovers(int folder);

// Removes the leftovers in an open folder. Under the folder lock no save of ours
// is under way there, so every one is dead; without it, only old ones are.
void SweepLeftovers(int folderFd, bool lockHeld);

}  // namespace platform::posix
