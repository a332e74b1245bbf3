#include "platform/posix/profile_save.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <optional>
#include <utility>

#include "platform/posix/folder_lock.h"
#include "platform/posix/reasons.h"
#include "platform/posix/save_target.h"
#include "platform/posix/temp_names.h"

namespace platform::posix {
namespace {

// The file that has the name now, as we found it under the lock.
struct OnDisk {
  int fd = -1;  // open on it, to read it again and to copy its identity
  struct stat st {};
  std::string bytes;
  bool exists() const { return fd >= 0; }
  OnDisk() = default;
  OnDisk(const OnDisk&) = delete;
  OnDisk& operator=(OnDisk&& o) noexcept {
    std::swap(fd, o.fd);
    st = o.st;
    bytes = std::move(o.bytes);
    return *this;
  }
  ~OnDisk() {
    if (fd >= 0) ::close(fd);
  }
};

bool readOnDisk(int folderFd, const std::string& name, OnDisk* out, std::string* reason) {
  *out = OnDisk();
  struct stat st;
  if (::fstatat(folderFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
    if (errno == ENOENT) return true;
    *reason = FrenchReason(errno);
    return false;
  }
  if (S_ISLNK(st.st_mode)) {
    *reason = "le fichier est devenu un lien symbolique pendant l'enregistrement";
    return false;
  }
  if (const char* refus = NotReplaceable(st)) {
    *reason = refus;
    return false;
  }
  // The same refusal as the immediate one, for whoever asks: Windows writes no read-only file.
  if (!(st.st_mode & S_IWUSR)) {
    *reason = "fichier en lecture seule";
    return false;
  }
  out->fd = ::openat(folderFd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (out->fd < 0 || ::fstat(out->fd, &out->st) != 0 || !S_ISREG(out->st.st_mode) || !ReadAll(out->fd, &out->bytes)) {
    *reason = "lecture du fichier impossible: " + FrenchReason(errno);
    return false;
  }
  return true;
}

bool sameFile(const OnDisk& a, const OnDisk& b) {
  if (a.exists() != b.exists()) return false;
  return !a.exists() || (a.st.st_dev == b.st.st_dev && a.st.st_ino == b.st.st_ino && a.bytes == b.bytes);
}

// Our writes replayed on what another writer left. A key that the other writer
// changed (it differs from what we started from) keeps its value: as if our
// command had run just before theirs.
ini::ProfileDocument merge(const std::string& base, const std::string& theirs,
                           const PendingWrites& pending) {
  const ini::ProfileDocument before(base);
  ini::ProfileDocument now(theirs);
  std::vector<bool> replay(pending.size());
  for (size_t i = 0; i < pending.size(); ++i) {
    if (pending[i].op == PendingWrite::Op::DeleteSection) {
      replay[i] = true;
      continue;
    }
    const PendingWrite w = pending[i];
    const std::optional<std::string> t = now.Read(w.section, w.key);
    replay[i] = !t || t == before.Read(w.section, w.key);
  }
  for (size_t i = 0; i < pending.size(); ++i)
    if (replay[i]) Apply(now, pending[i]);
  return now;
}

}  // namespace

void PendingWrites::Add(PendingWrite::Op op, std::string_view section, std::string_view key, std::string_view value) {
  entries_.push_back({op, text_.size(), section.size(), key.size(), value.size()});
  text_.append(section).append(key).append(value);
}

PendingWrite PendingWrites::operator[](size_t i) const {
  const Entry& e = entries_[i];
  const std::string_view t(text_);
  return {e.op, t.substr(e.at, e.section), t.substr(e.at + e.section, e.key), t.substr(e.at + e.section + e.key, e.value)};
}

bool Apply(ini::ProfileDocument& document, PendingWrite::Op op, std::string_view section, std::string_view key,
           std::string_view value) {
  switch (op) {
    case PendingWrite::Op::DeleteKey:
      return document.DeleteKey(section, key);
    case PendingWrite::Op::DeleteSection:
      return document.DeleteSection(section);
    default:
      return document.Write(section, key, value);
  }
}

namespace {

// A file that keeps changing under our feet is given up rather than fought over.
constexpr int kRounds = 8;

bool saveLocked(const FolderLock& lock, const std::string& name, const std::string& base, bool baseExisted,
                const ini::ProfileDocument& document, const PendingWrites& pending, Fault fault,
                SavedFile* saved, std::string* reason) {
  SweepLeftovers(lock.Fd(), lock.Held());
  OnDisk current;
  if (!readOnDisk(lock.Fd(), name, &current, reason)) return false;
  // What our writes go onto: the file as it is now, or what an in-place writer made of it.
  std::string theirs = current.bytes;
  bool theirsExist = current.exists();
  Replacement replacement;
  for (int round = 0; round < kRounds; ++round) {
    // Most saves find the file as they left it: the document is written as it is, uncopied.
    std::optional<ini::ProfileDocument> merged;
    if (theirsExist != baseExisted || theirs != base) merged = merge(base, theirs, pending);
    std::string bytes = (merged ? *merged : document).Serialize();
    if (current.exists() && bytes == current.bytes) {
      saved->bytes = std::move(bytes);
      saved->merged = std::move(merged);
      saved->st = current.st;
      return true;
    }
    FileIdentity identity;
    if (current.exists() && !CaptureIdentity(current.fd, current.st, &identity, reason)) return false;
    if (!replacement.Write(lock.Fd(), name, bytes, current.exists() ? &identity : nullptr, fault, reason))
      return false;
    // Another program may have written while we flushed: look once more, just before.
    OnDisk last;
    if (!readOnDisk(lock.Fd(), name, &last, reason)) return false;
    int displaced = -1;
    const struct stat* expected = current.exists() ? &current.st : nullptr;
    const Replacement::Outcome outcome = sameFile(last, current)
                                             ? replacement.Commit(expected, fault, &displaced, reason)
                                             : Replacement::Outcome::NameTaken;
    if (outcome == Replacement::Outcome::Failed) return false;
    if (outcome == Replacement::Outcome::NameTaken) {
      if (!readOnDisk(lock.Fd(), name, &current, reason)) return false;
      theirs = current.bytes;
      theirsExist = current.exists();
      continue;
    }
    // What we swapped out is what we read, unless someone wrote at the very last moment.
    // A program that opened the old file before the swap may still write to it:
    // let it finish, then read what it left.
    OnDisk out;
    if (displaced >= 0) {
      out.fd = displaced;
      WaitForOtherWriters(out.fd);
      if (::fstat(out.fd, &out.st) != 0 || !ReadAll(out.fd, &out.bytes)) out = OnDisk();
    } else if (current.exists()) {
      WaitForOtherWriters(current.fd);
      out.st = current.st;
      if (!ReadAll(current.fd, &out.bytes)) out.bytes = current.bytes;
      out.fd = ::dup(current.fd);
    }
    if (!out.exists() || sameFile(out, current)) {
      saved->bytes = std::move(bytes);
      saved->merged = std::move(merged);
      ::fstat(replacement.Fd(), &saved->st);
      return true;
    }
    theirs = out.bytes;
    theirsExist = true;
    // The name is ours now: the next round replaces our own file.
    // Read-only, so that it never counts as another writer of itself.
    OnDisk ours;
    ours.fd = ::open(("/proc/self/fd/" + std::to_string(replacement.Fd())).c_str(), O_RDONLY | O_CLOEXEC);
    if (ours.fd < 0) ours.fd = ::dup(replacement.Fd());
    ::fstat(ours.fd, &ours.st);
    ours.bytes = std::move(bytes);
    current = std::move(ours);
  }
  *reason = "le fichier change sans cesse pendant l'enregistrement";
  return false;
}

}  // namespace

void SaveLocks::LockFoldersOf(const std::vector<std::string>& hosts) {
  std::map<Key, std::string> folders;  // sorted: every process takes them in the same order
  for (const std::string& host : hosts) {
    SaveTarget target;
    std::string why;
    struct stat st;
    if (FindSaveTarget(host, &target, &why) && ::stat(target.folder.c_str(), &st) == 0)
      folders.emplace(Key{st.st_dev, st.st_ino}, target.folder);
  }
  std::string why;
  for (const auto& [key, folder] : folders) For(folder, &why);  // a failure is told by the save itself
}

FolderLock* SaveLocks::For(const std::string& folder, std::string* reason) {
  struct stat st;
  if (::stat(folder.c_str(), &st) != 0) {
    *reason = FrenchReason(errno);
    return nullptr;
  }
  const Key key{st.st_dev, st.st_ino};
  if (auto it = locks_.find(key); it != locks_.end()) return it->second.get();
  auto lock = std::make_unique<FolderLock>();
  if (!lock->Acquire(folder, reason)) return nullptr;
  return (locks_[key] = std::move(lock)).get();
}

bool SaveProfile(SaveLocks& locks, const std::string& host, const std::string& base, bool baseExisted,
                 const ini::ProfileDocument& document, const PendingWrites& pending, Fault fault,
                 SavedFile* saved, std::string* reason) {
  std::string why;
  SaveTarget target;
  FolderLock* lock = nullptr;
  if (FindSaveTarget(host, &target, &why) && (lock = locks.For(target.folder, &why))) {
    saved->folder = target.folder;
    if (saveLocked(*lock, target.name, base, baseExisted, document, pending, fault, saved, &why)) return true;
  }
  *reason = "enregistrement impossible: " + why;
  return false;
}

void SweepLeftoversNear(const std::vector<std::string>& hosts) {
  std::vector<std::string> folders;
  auto add = [&folders](const std::string& f) {
    if (std::find(folders.begin(), folders.end(), f) == folders.end()) folders.push_back(f);
  };
  for (const std::string& host : hosts) {
    const size_t slash = host.find_last_of('/');
    add(slash == std::string::npos ? "." : (slash == 0 ? "/" : host.substr(0, slash)));
    SaveTarget target;
    std::string why;
    if (FindSaveTarget(host, &target, &why)) add(target.folder);
  }
  for (const std::string& folder : folders) {
    if (!HasLeftovers(folder)) continue;  // the lock only when there is something to remove
    FolderLock lock;
    std::string why;
    if (lock.Acquire(folder, &why)) SweepLeftovers(lock.Fd(), lock.Held());
  }
}

}  // namespace platform::posix
