// The profile files of one run, kept parsed in memory and validated by their
// identity on disk; within a command each changed file is written once, at the end.
#pragma once

#include <string>

namespace platform::posix {

// Deliberate failures of the save, so that tests can prove the old file survives:
// the writing or the renaming fails with the system error `error` (0: EIO).
enum class SaveFault { None, Write, Rename };
void SetSaveFaultForTesting(SaveFault fault, int error = 0);

// Forgets every cached file (pending changes included); for tests.
void ResetProfileCacheForTesting();

}  // namespace platform::posix
