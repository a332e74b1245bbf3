// Serialises the saves of our processes in one folder: an advisory lock on the
// folder itself. A save replaces files, never their folder, so the lock cannot
// be slipped past by a replaced file, and a file not created yet is covered too.
#pragma once

#include <string>

namespace platform::posix {

class FolderLock {
 public:
  FolderLock() = default;
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;
  ~FolderLock();

  // Locks the open folder (a descriptor of its own), waiting for another save to
  // end (bounded). False, with a French reason, when the wait is too long.
  // Where the file system has no locks, succeeds without holding one.
  bool Acquire(int folder, std::string* reason);

  int Fd() const { return fd_; }
  // Whether the lock is really held: only then are leftovers of other saves known to be dead.
  bool Held() const { return held_; }

 private:
  void release();
  int fd_ = -1;
  bool held_ = false;
};

}  // namespace platform::posix
