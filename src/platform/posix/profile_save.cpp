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
  if (std::string grand = TooLarge(st.st_size); !grand.empty()) {
    *reason = grand;
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
  if (entries_.empty()) {  // a general run adds hundreds: room for them at once
    entries_.reserve(512);
    text_.reserve(size_t{1} << 16);
  }
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

// A file that keeps changing under our feet is given up rather than fought over.
constexpr int kRounds = 8;

ProfileSave::ProfileSave(SaveLocks& locks, const FolderRef& folder, const std::string& name, const std::string& base,
                         bool baseExisted, const ini::ProfileDocument& document, const PendingWrites& pending,
                         Fault fault)
    : locks_(locks), folder_(folder), base_(base), baseExisted_(baseExisted), document_(document), pending_(pending),
      fault_(fault), name_(name) {}

ProfileSave::~ProfileSave() = default;

struct ProfileSave::Round {
  OnDisk current;  // what has the name now
  std::string theirs;  // what our writes go onto: that file, or what an in-place writer made of it
  bool theirsExist = false;
  Replacement replacement;
  std::optional<ini::ProfileDocument> merged;
  std::string bytes;
  bool unchanged = false;  // the file holds these bytes already
};

bool ProfileSave::Start() {
  r_ = std::make_unique<Round>();
  if (!folder_) {
    why_ = "dossier introuvable";
    return started_ = false;
  }
  if (!(lock_ = locks_.For(folder_->Fd(), &why_))) return started_ = false;
  locks_.SweepOnce(*lock_);
  if (!readOnDisk(lock_->Fd(), name_, &r_->current, &why_)) return started_ = false;
  r_->theirs = r_->current.bytes;
  r_->theirsExist = r_->current.exists();
  return started_ = write(false);
}

// Our writes, on what is there now, written beside it.
bool ProfileSave::write(bool flushNow) {
  Round& r = *r_;
  // Most saves find the file as they left it: the document is written as it is, uncopied.
  r.merged.reset();
  if (r.theirsExist != baseExisted_ || r.theirs != base_) r.merged = merge(base_, r.theirs, pending_);
  r.bytes = (r.merged ? *r.merged : document_).Serialize();
  r.unchanged = r.current.exists() && r.bytes == r.current.bytes;
  if (r.unchanged) return true;
  FileIdentity identity;
  if (r.current.exists() && !CaptureIdentity(r.current.fd, r.current.st, &identity, &why_)) return false;
  return r.replacement.Write(lock_->Fd(), name_, r.bytes, r.current.exists() ? &identity : nullptr, fault_, &why_,
                             flushNow);
}

bool ProfileSave::Finish(SavedFile* saved, std::string* reason) {
  auto fail = [&] {
    *reason = "enregistrement impossible: " + why_;
    return false;
  };
  if (!started_) return fail();
  for (int round = 0; round < kRounds; ++round) {
    if (round > 0 && !write(true)) return fail();
    switch (commit(saved)) {
      case Next::Done:
        return true;
      case Next::Failed:
        return fail();
      case Next::Again:
        continue;
    }
  }
  why_ = "le fichier change sans cesse pendant l'enregistrement";
  return fail();
}

ProfileSave::Next ProfileSave::commit(SavedFile* saved) {
  Round& r = *r_;
  if (r.unchanged) {
    saved->bytes = std::move(r.bytes);
    saved->merged = std::move(r.merged);
    saved->st = r.current.st;
    return Next::Done;
  }
  if (!r.replacement.Flush(&why_)) return Next::Failed;
  // Another program may have written while we flushed: look once more, just before.
  OnDisk last;
  if (!readOnDisk(lock_->Fd(), name_, &last, &why_)) return Next::Failed;
  int displaced = -1;
  const struct stat* expected = r.current.exists() ? &r.current.st : nullptr;
  const Replacement::Outcome outcome = sameFile(last, r.current)
                                           ? r.replacement.Commit(expected, fault_, &displaced, &why_)
                                           : Replacement::Outcome::NameTaken;
  if (outcome == Replacement::Outcome::Failed) return Next::Failed;
  if (outcome == Replacement::Outcome::NameTaken) {
    if (!readOnDisk(lock_->Fd(), name_, &r.current, &why_)) return Next::Failed;
    r.theirs = r.current.bytes;
    r.theirsExist = r.current.exists();
    return Next::Again;
  }
  // What we swapped out is what we read, unless someone wrote at the very last moment.
  // A program that opened the old file before the swap may still write to it:
  // let it finish, then read what it left.
  OnDisk out;
  if (displaced >= 0) {
    out.fd = displaced;
    WaitForOtherWriters(out.fd);
    if (::fstat(out.fd, &out.st) != 0 || !ReadAll(out.fd, &out.bytes)) out = OnDisk();
  } else if (r.current.exists()) {
    WaitForOtherWriters(r.current.fd);
    out.st = r.current.st;
    if (!ReadAll(r.current.fd, &out.bytes)) out.bytes = r.current.bytes;
    out.fd = ::dup(r.current.fd);
  }
  if (!out.exists() || sameFile(out, r.current)) {
    saved->bytes = std::move(r.bytes);
    saved->merged = std::move(r.merged);
    ::fstat(r.replacement.Fd(), &saved->st);
    return Next::Done;
  }
  r.theirs = out.bytes;
  r.theirsExist = true;
  // The name is ours now: the next round replaces our own file.
  // Read-only, so that it never counts as another writer of itself.
  OnDisk ours;
  ours.fd = ::open(("/proc/self/fd/" + std::to_string(r.replacement.Fd())).c_str(), O_RDONLY | O_CLOEXEC);
  if (ours.fd < 0) ours.fd = ::dup(r.replacement.Fd());
  ::fstat(ours.fd, &ours.st);
  ours.bytes = std::move(r.bytes);
  r.current = std::move(ours);
  return Next::Again;
}

void SaveLocks::LockFolders(const std::vector<FolderRef>& folders) {
  std::map<Key, int> sorted;  // every process takes them in the same order
  for (const FolderRef& f : folders) {
    struct stat st;
    if (f && ::fstat(f->Fd(), &st) == 0) sorted.emplace(Key{st.st_dev, st.st_ino}, f->Fd());
  }
  std::string why;
  for (const auto& [key, fd] : sorted) For(fd, &why);  // a failure is told by the save itself
}

FolderLock* SaveLocks::For(int folder, std::string* reason) {
  struct stat st;
  if (::fstat(folder, &st) != 0) {
    *reason = FrenchReason(errno);
    return nullptr;
  }
  const Key key{st.st_dev, st.st_ino};
  if (auto it = locks_.find(key); it != locks_.end()) return it->second.get();
  auto lock = std::make_unique<FolderLock>();
  if (!lock->Acquire(folder, reason)) return nullptr;
  return (locks_[key] = std::move(lock)).get();
}

void SaveLocks::SweepOnce(const FolderLock& lock) {
  if (std::find(swept_.begin(), swept_.end(), &lock) != swept_.end()) return;
  swept_.push_back(&lock);
  SweepLeftovers(lock.Fd(), lock.Held());
}

void SweepLeftoversIn(const std::vector<FolderRef>& folders) {
  for (const FolderRef& f : folders) {
    if (!f || !HasLeftovers(f->Fd())) continue;  // the lock only when there is something to remove
    FolderLock lock;
    std::string why;
    if (lock.Acquire(f->Fd(), &why)) SweepLeftovers(lock.Fd(), lock.Held());
  }
}

}  // namespace platform::posix
