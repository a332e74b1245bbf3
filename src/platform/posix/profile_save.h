// The save of one profile file at the end of a command: serialised with the
// other saves of its folder, checked against the disk under the lock, merged
// with what changed there meanwhile, and put in place atomically.
#pragma once

#include <sys/stat.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ini/profile_document.h"
#include "platform/posix/file_io.h"
#include "platform/posix/folder_lock.h"
#include "platform/posix/safe_walk.h"

namespace platform::posix {

// The folder locks of one command's saves, all held until its last save ends:
// the saves of two commands then come all of one before all of the other, and
// the files agree with each other.
class SaveLocks {
 public:
  // Locks these open folders, in one order for every process.
  void LockFolders(const std::vector<FolderRef>& folders);
  // The lock of an open folder, taken now if it is not held yet; nullptr with a reason.
  FolderLock* For(int folder, std::string* reason);
  // Removes what killed saves left in a locked folder, before this command's
  // first save there: the temporary files of its later saves are its own.
  void SweepOnce(const FolderLock& lock);

 private:
  // By the folder's identity: two spellings of one folder must not lock it twice,
  // the second waiting for the first for ever.
  using Key = std::pair<dev_t, ino_t>;
  std::map<Key, std::unique_ptr<FolderLock>> locks_;
  std::vector<const FolderLock*> swept_;
};

struct PendingWrite {
  enum class Op { Write, DeleteKey, DeleteSection };
  Op op = Op::Write;
  std::string_view section, key, value;  // code-page bytes
};

// The changes made to one file and not yet on disk, in order. Their texts are
// kept end to end in one buffer: a run makes a thousand of them.
class PendingWrites {
 public:
  void Add(PendingWrite::Op op, std::string_view section, std::string_view key, std::string_view value);
  // Views into this list, valid until the next Add or clear.
  PendingWrite operator[](size_t i) const;
  size_t size() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }
  void clear() {
    entries_.clear();
    text_.clear();
  }

 private:
  struct Entry {
    PendingWrite::Op op;
    size_t at;  // where its section starts in text_, followed by its key and its value
    size_t section, key, value;  // their lengths
  };
  std::string text_;
  std::vector<Entry> entries_;
};
// One change applied to a document; true when its text changed.
bool Apply(ini::ProfileDocument& document, PendingWrite::Op op, std::string_view section, std::string_view key,
           std::string_view value);
inline bool Apply(ini::ProfileDocument& document, const PendingWrite& w) {
  return Apply(document, w.op, w.section, w.key, w.value);
}

// What the save left on disk.
struct SavedFile {
  std::string bytes;
  // Set when our writes had to be replayed on another writer's file; else the
  // document given to the save is what was written.
  std::optional<ini::ProfileDocument> merged;
  struct stat st {};
};

// `base` is the file our writes were made on (`baseExisted` false when there
// was none), `document` those writes applied to it. When the disk holds
// something else by now, our writes are replayed on it, except on a key that
// changed there too: that change, made by someone else while we worked, stays.
//
// In two halves: Start reads the file as it is now, under the lock, and writes
// its replacement, whose flush the system only begins; Finish waits for the
// flush, looks once more, and renames. A command starts all its saves before it
// finishes the first, so that the system flushes its files together. What is
// given stays untouched until Finish returns.
class ProfileSave {
 public:
  // The file `name` in the open `folder`, where the walk found it.
  ProfileSave(SaveLocks& locks, const FolderRef& folder, const std::string& name, const std::string& base,
              bool baseExisted, const ini::ProfileDocument& document, const PendingWrites& pending, Fault fault);
  ~ProfileSave();
  ProfileSave(const ProfileSave&) = delete;
  ProfileSave& operator=(const ProfileSave&) = delete;

  bool Start();  // false: Finish will tell why
  bool Finish(SavedFile* saved, std::string* reason);

 private:
  struct Round;
  enum class Next { Done, Again, Failed };
  bool write(bool flushNow);
  Next commit(SavedFile* saved);

  SaveLocks& locks_;
  FolderRef folder_;
  const std::string& base_;
  bool baseExisted_;
  const ini::ProfileDocument& document_;
  const PendingWrites& pending_;
  Fault fault_;
  FolderLock* lock_ = nullptr;
  std::string name_, why_;
  bool started_ = false;
  std::unique_ptr<Round> r_;
};

// Removes what killed saves left in these open folders.
void SweepLeftoversIn(const std::vector<FolderRef>& folders);

}  // namespace platform::posix
