// Whole-file reads, and the atomic, durable replacement of a file in its folder.
#pragma once

#include <sys/stat.h>

#include <cerrno>
#include <string>

#include "platform/posix/file_identity.h"
#include "platform/posix/profile_store.h"

namespace platform::posix {

// The suite's settings files are under 100 KB: one over this is refused before
// it is read whole, so that a runaway file cannot take the memory.
inline constexpr off_t kLargestSettingsFile = 16 * 1024 * 1024;
// Why a file of this size is refused; empty when it is not.
std::string TooLarge(off_t size);

// A regular file's bytes, the file named `name` in the open folder `folder`, a
// link there not followed; false for anything else (a FIFO or a device is never
// opened for reading), with a French reason when `reason` is given.
bool ReadFileAt(int folder, const std::string& name, std::string* bytes, std::string* reason = nullptr);
// Writes every byte, through interruptions; false with errno set.
bool WriteAll(int fd, const std::string& bytes);
// The whole content of an open file, from its start.
bool ReadAll(int fd, std::string* bytes);

// A deliberate failure of the next saves, and the system error it pretends.
struct Fault {
  SaveFault kind = SaveFault::None;
  int error = EIO;
};

// The new content of `name`, written in the name's folder and flushed to disk
// before it takes the name. Discarded, leaving nothing behind, unless committed.
// It has no name while it is written (where the file system allows), and a
// temporary one (see temp_names.h) only for the instant of the rename.
class Replacement {
 public:
  Replacement() = default;
  Replacement(const Replacement&) = delete;
  Replacement& operator=(const Replacement&) = delete;
  ~Replacement();

  // `keep`: the identity of the file it will replace; nullptr for a new file,
  // which gets what the system gives a new file. With `flushNow` false the
  // system only starts to flush it, so that several files flush together:
  // Flush waits for it, and Commit never renames a file that is not flushed.
  bool Write(int folderFd, const std::string& name, const std::string& bytes, const FileIdentity* keep, Fault fault,
             std::string* reason, bool flushNow = true);
  bool Flush(std::string* reason);

  enum class Outcome { Done, NameTaken, Failed };
  // Puts it under `name`. `expected` is the file that has the name now (nullptr:
  // none; a new file never replaces one that appeared meanwhile: NameTaken).
  // `displaced` receives an open descriptor of the file it swapped out when that
  // was not the expected one (the system swaps atomically where it can), else -1.
  Outcome Commit(const struct stat* expected, Fault fault, int* displaced, std::string* reason);

  int Fd() const { return fd_; }

 private:
  bool writeInto(bool named, const std::string& bytes, const FileIdentity* keep, Fault fault, bool flushNow,
                 int* error, std::string* reason);
  bool giveName(int* error);
  void discard();

  int folder_ = -1;
  std::string name_, temp_;  // temp_: the temporary name, once it has one
  int fd_ = -1;
  bool committed_ = false;
  bool unflushed_ = false;
};

// Waits, briefly, until no other process holds this file open for writing. Once
// the file has lost its name nobody can open it again, so what it holds after
// this is final. Does not wait where the system cannot tell.
void WaitForOtherWriters(int readOnlyFd);

// Makes the renames in an open folder durable.
void SyncFolder(int folder);

}  // namespace platform::posix
