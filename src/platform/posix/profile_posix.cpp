// Profile reads and writes on Linux, on the Windows-exact engine.
//
// Each file is parsed once and cached with its identity (device, inode, size,
// modification time); a file changed behind our back is parsed again. Outside a
// command a write is saved at once; inside one, every changed file is saved once
// when the command ends. A write that cannot succeed (missing drive or folder,
// read-only file, a folder in the way) fails at once, as on Windows, so that the
// writer's recovery ladder behaves the same on both systems.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <map>
#include <deque>
#include <set>
#include <unordered_map>
#include <vector>

#include "ini/profile_document.h"
#include "ini/profile_lookup.h"
#include "common/octets.h"
#include "platform/platform.h"
#include "platform/posix/drives.h"
#include "platform/posix/file_io.h"
#include "platform/posix/profile_save.h"
#include "platform/posix/profile_store.h"
#include "platform/posix/reasons.h"
#include "platform/posix/save_target.h"

namespace platform {
namespace {

struct Identity {
  bool exists = false;
  dev_t dev = 0;
  ino_t ino = 0;
  off_t size = 0;
  struct timespec mtime {};
  bool operator==(const Identity& o) const {
    return exists == o.exists && dev == o.dev && ino == o.ino && size == o.size &&
           mtime.tv_sec == o.mtime.tv_sec && mtime.tv_nsec == o.mtime.tv_nsec;
  }
};

using Write = posix::PendingWrite;

struct CachedFile {
  std::string windowsPath;
  posix::HostPath where;  // its latest resolution: the open folder and the name its bytes are read and saved through
  Identity identity;  // of the file the document was parsed from
  std::string onDisk;  // its bytes, for when the identity cannot be trusted
  ini::ProfileDocument document;
  posix::PendingWrites pending;  // applied to `document`, not yet on disk
};

std::map<std::string, CachedFile> g_files;  // by host path
int g_commandDepth = 0;
posix::Fault g_fault;
std::vector<posix::FolderRef> g_foldersToSync;  // where saves renamed files, flushed once per command

Identity identityFrom(const struct stat& st) {
  Identity id;
  if (S_ISREG(st.st_mode)) {
    id.exists = true;
    id.dev = st.st_dev;
    id.ino = st.st_ino;
    id.size = st.st_size;
    id.mtime = st.st_mtim;
  }
  return id;
}

Identity identityOf(const posix::HostPath& h) {
  struct stat st;
  if (!h.folder || !h.refused.empty()) return Identity{};
  return ::fstatat(h.folder->Fd(), h.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 ? identityFrom(st) : Identity{};
}

bool readAt(const posix::HostPath& h, std::string* bytes, std::string* reason = nullptr) {
  if (!h.refused.empty()) {
    if (reason) *reason = h.refused;
    return false;
  }
  return h.folder && posix::ReadFileAt(h.folder->Fd(), h.name, bytes, reason);
}


// File-system timestamps come from a coarse clock that ticks every few
// milliseconds: a file rewritten in place with the same size within one tick
// keeps its identity. While a file is that young, its bytes decide whether it
// changed. The window is kept short, so that a run does not read every file again.
bool young(const Identity& id) {
  struct timespec now {};
  ::clock_gettime(CLOCK_REALTIME, &now);
  const long long ageNs = (now.tv_sec - id.mtime.tv_sec) * 1000000000LL + (now.tv_nsec - id.mtime.tv_nsec);
  return ageNs < 50'000'000LL;
}

// The cached document of a file, parsed again when the file changed on disk
// (unless changes of ours are still pending).
// Within a command each file is checked against the disk once, when the command
// first touches it; the save at the end checks again before it writes.
std::set<std::string> g_checkedThisCommand;

CachedFile* load(const std::string& host, const posix::HostPath& where, const std::string& windowsPath,
                 const Identity* known = nullptr) {
  auto it = g_files.find(host);
  if (it != g_files.end() && (!it->second.pending.empty() || g_checkedThisCommand.count(host))) return &it->second;
  const Identity now = known ? *known : identityOf(where);
  if (g_commandDepth > 0) g_checkedThisCommand.insert(host);
  std::string bytes;
  if (it != g_files.end()) {
    CachedFile& c = it->second;
    if (c.identity == now) {
      c.where = where;  // this command's walk: the one its save goes through
      if (!now.exists || !young(now)) return &it->second;
      if (readAt(where, &bytes) && bytes == c.onDisk) return &it->second;
    }
  }
  CachedFile f;
  f.windowsPath = windowsPath;
  f.where = where;
  f.identity = now;
  if (now.exists) {
    if (bytes.empty() && !readAt(where, &bytes)) return nullptr;
    f.onDisk = bytes;
    f.document = ini::ProfileDocument(std::move(bytes));
  }
  return &(g_files[host] = std::move(f));
}





// The end of one file's save: the cache follows what is on disk now. A file
// changed on disk since we parsed it was parsed again and our writes replayed
// on it, so that nobody's change is lost.
bool settle(const std::string& host, CachedFile& f, posix::ProfileSave& save, std::string* reason) {
  posix::SavedFile saved;
  if (!save.Finish(&saved, reason)) {
    g_files.erase(host);  // what is on disk is the truth again
    return false;
  }
  f.pending.clear();
  f.identity = identityFrom(saved.st);
  f.onDisk = std::move(saved.bytes);
  if (saved.merged) f.document = std::move(*saved.merged);
  if (std::find(g_foldersToSync.begin(), g_foldersToSync.end(), f.where.folder) == g_foldersToSync.end())
    g_foldersToSync.push_back(f.where.folder);
  return true;
}

void syncFolders() {
  for (const posix::FolderRef& folder : g_foldersToSync)
    if (folder) posix::SyncFolder(folder->Fd());
  g_foldersToSync.clear();
}

// Within a command the same few files are addressed a thousand times: their
// resolution is kept until the command ends. Only resolutions that can be
// trusted are kept (drive and folder found); a missing folder is looked up again.
// Once a write to a file has passed the checks against the system, the next
// writes of the command to it skip them: only a failed check is asked again,
// so that the writer's recovery ladder still sees each failure at once.
struct Resolution {
  posix::HostPath host;
  bool writable = false;
  bool entryIsPath = false;  // the cache entry is known to be host.path until the command ends
  CachedFile* file = nullptr;  // that entry, once loaded: checked against the disk for this command
};
std::unordered_map<std::string, Resolution> g_resolved;
// The file of the last call, asked again for most keys of a run (entries stay put).
std::pair<const std::string, Resolution>* g_lastResolved = nullptr;

void forgetResolutions() {
  g_resolved.clear();
  g_lastResolved = nullptr;
}

// The resolution this command keeps for `file`, if any.
Resolution* keptResolution(const std::string& file) {
  if (g_commandDepth == 0) return nullptr;
  if (g_lastResolved && g_lastResolved->first == file) return &g_lastResolved->second;
  const auto it = g_resolved.find(file);
  if (it == g_resolved.end()) return nullptr;
  g_lastResolved = &*it;
  return &it->second;
}

// The host file of a profile path: a bare name lives in the Windows folder.
// Within a command the entry of the cache; outside one, `scratch`.
Resolution& resolveProfile(const std::string& file, Resolution& scratch) {
  if (Resolution* kept = keptResolution(file)) return *kept;
  scratch.host = file.find_first_of("\\/:") == std::string::npos ? posix::Resolve("C:\\windows\\" + file)
                                                                 : posix::Resolve(file);
  const posix::HostPath& h = scratch.host;
  if (g_commandDepth > 0 && h.driveFound && h.parentExists && !h.trailingSeparator)
    return g_resolved.emplace(file, std::move(scratch)).first->second;
  return scratch;
}

// The cache entry of a profile path. A file that is not on disk yet exists only
// in memory, under the spelling of its first write; another spelling of its
// name is the same file, as on Windows.
const std::string& cacheKey(const posix::HostPath& h) {
  if (h.exists || g_files.count(h.path)) return h.path;
  for (const auto& [host, f] : g_files)
    if (!f.pending.empty() && posix::SameName(host, h.path)) return host;
  return h.path;
}

// The cache entry of a resolution. Once the file is on disk or cached under its
// own path, that stays so until the command ends: no need to look again.
const std::string& entryOf(Resolution& r, bool kept) {
  if (r.entryIsPath) return r.host.path;
  const std::string& e = cacheKey(r.host);
  r.entryIsPath = kept && &e == &r.host.path && (r.host.exists || g_files.count(e));
  return e;
}

// The cached file of a resolution. A kept one remembers it: within a command a
// file is checked against the disk once, and its entry stays where it is.
CachedFile* loadFor(Resolution& r, bool kept, const std::string& entry, const std::string& windowsPath,
                    const Identity* known = nullptr) {
  if (r.file) return r.file;
  CachedFile* f = load(entry, r.host, windowsPath, known);
  if (kept && r.entryIsPath) r.file = f;
  return f;
}

// The code-page bytes of `text`: the text itself when it is plain ASCII, else its
// conversion in `buffer`; null when the code page cannot hold it.
const std::string* ansi(const std::string& text, std::string& buffer) {
  if (!octets::HorsAscii(text)) return &text;
  return ToAnsi(text, &buffer) ? &buffer : nullptr;
}

}  // namespace

namespace posix {
void SetSaveFaultForTesting(SaveFault fault, int error) { g_fault = {fault, error ? error : EIO}; }
void ResetProfileCacheForTesting() {
  g_files.clear();
  forgetResolutions();
  g_checkedThisCommand.clear();
  g_foldersToSync.clear();
  g_commandDepth = 0;
}
}  // namespace posix

std::string ProfileRead(const std::string& file, const std::string& section, const std::string& key,
                        const std::string& defaultValue) {
  // Built only when it is the answer: a run over full files finds almost every key.
  auto fallback = [&] { return ini::NormalizeDefault(defaultValue); };
  if (file.empty()) return fallback();
  std::string bs, bk;
  const std::string* s = ansi(section, bs);
  const std::string* k = ansi(key, bk);
  if (!s || !k) return fallback();
  Resolution scratch;
  Resolution& r = resolveProfile(file, scratch);
  const posix::HostPath& h = r.host;
  if (!h.driveFound || h.trailingSeparator || !h.refused.empty()) return fallback();
  const std::string& host = entryOf(r, &r != &scratch);
  const bool cached = r.entryIsPath || g_files.find(host) != g_files.end();
  if (!h.exists && !cached) return fallback();
  if (g_commandDepth == 0 && !cached) {
    // A lone read (a script's `ini get`): the key is looked up in the bytes, and
    // nothing is parsed or kept for reads that will not come.
    std::string bytes;
    if (!readAt(h, &bytes)) return fallback();
    const std::optional<std::string> v = ini::ReadKey(bytes, *s, *k);
    return v ? FromAnsi(*v) : fallback();
  }
  CachedFile* f = loadFor(r, &r != &scratch, host, file);
  if (!f) return fallback();
  const std::optional<std::string> v = f->document.Read(*s, *k);
  return v ? FromAnsi(*v) : fallback();
}

namespace {

// A write or a deletion: the same checks, the same cache, the same save.
int change(const std::string& file, const std::string& section, const std::string& key, const std::string& value,
           Write::Op op, std::string* reason, WriteTexts texts = WriteTexts::Unchecked,
           WriteEffect* effect = nullptr) {
  if (effect) *effect = WriteEffect::Unknown;
  std::string why;
  auto fail = [&](std::string r) {
    if (reason) *reason = std::move(r);
    return 0;
  };
  if (file.empty()) return fail("nom de fichier vide");
  const bool plain = texts == WriteTexts::Plain;
  std::string bs, bk, bv;
  const std::string* s = plain ? &section : ansi(section, bs);
  const std::string* k = plain ? &key : ansi(key, bk);
  const std::string* v = plain ? &value : ansi(value, bv);
  if (!s || !k || !v) return fail("caractère que la page de codes Windows-1252 ne contient pas");
  Resolution scratch;
  Resolution& r = resolveProfile(file, scratch);
  const posix::HostPath& h = r.host;
  Identity identity;
  const bool checked = r.writable;
  if (!checked) {
    if (!h.refused.empty()) return fail(h.refused);
    if (!h.driveFound) return fail("lecteur ou partage introuvable");
    if (h.trailingSeparator || posix::ForbiddenInWindowsName(file)) return fail("nom de fichier incorrect");
    if (!h.parentExists) return fail("dossier introuvable");
    // Root may write anything; the others ask the system (one call, not one per key).
    static const bool root = ::geteuid() == 0;
    struct stat st;
    const int folder = h.folder->Fd();
    if (::fstatat(folder, h.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
      identity = identityFrom(st);
      if (const char* refus = posix::NotReplaceable(st)) return fail(refus);
      if (std::string grand = posix::TooLarge(st.st_size); !grand.empty()) return fail(grand);
      // Windows refuses to write a read-only file, whoever asks; so do we, even for root.
      if (!(st.st_mode & S_IWUSR)) return fail("fichier en lecture seule");
      if (!root && ::faccessat(folder, h.name.c_str(), W_OK, AT_SYMLINK_NOFOLLOW) != 0) return fail("accès refusé");
    } else if (!root && ::faccessat(folder, ".", W_OK, 0) != 0) {
      return fail("accès refusé au dossier");
    }
  }
  const std::string& entry = entryOf(r, &r != &scratch);
  CachedFile* f = loadFor(r, &r != &scratch, entry, file, !checked && entry == h.path ? &identity : nullptr);
  if (!f) {
    std::string bytes, pourquoi;
    readAt(h, &bytes, &pourquoi);
    return fail("lecture du fichier impossible" + (pourquoi.empty() ? std::string() : ": " + pourquoi));
  }
  // Only a resolution kept for the command (`r` is not the scratch) remembers the verdict.
  if (&r != &scratch) r.writable = true;
  bool added = false;
  const bool changed = op != Write::Op::Write ? posix::Apply(f->document, op, *s, *k, *v)
                       : plain                ? f->document.WritePlain(*s, *k, *v, &added)
                                              : f->document.Write(*s, *k, *v, &added);
  if (!changed) return 1;  // the file holds it already: nothing to write
  if (effect && op == Write::Op::Write) *effect = added ? WriteEffect::Added : WriteEffect::Changed;
  f->pending.Add(op, *s, *k, *v);
  if (g_commandDepth == 0) {
    const std::string host = entry;  // a failed save forgets the cache entry that holds `entry`
    posix::SaveLocks locks;
    posix::ProfileSave save(locks, f->where.folder, f->where.name, f->onDisk, f->identity.exists, f->document,
                            f->pending, g_fault);
    save.Start();
    if (!settle(host, *f, save, &why)) return fail(why);
    syncFolders();
  }
  return 1;
}

}  // namespace

bool ProfileReadThenWrite(const std::string& file, const std::string& section, const std::string& key,
                          const std::string& defaultValue, ChooseValue choose, void* context, std::string* value,
                          int* written, std::string* reason, WriteEffect* effect) {
  // Names a write would not take as they are go the usual way, which says why;
  // most keys name the section of the key before, known plain already.
  static std::string plainSection;
  if (g_commandDepth == 0 || file.empty() || !octets::Ordinaire(key, '=')) return false;
  if (const size_t d = key.find_first_not_of(' '); d == std::string::npos || key[d] == '[' || key[d] == ';')
    return false;
  if (section != plainSection) {
    if (!octets::Ordinaire(section, ']')) return false;
    plainSection = section;
  }
  // Only a file this command has written to already: found, checked and loaded.
  Resolution* r = keptResolution(file);
  if (!r || !r->writable || !r->file) return false;
  CachedFile* f = r->file;
  ini::ProfileDocument::Place place;
  std::optional<std::string> stored = f->document.Find(section, key, &place);
  if (stored) {
    *value = FromAnsi(*stored);
  } else {  // the default as a read hands it back, into the caller's buffer
    std::string_view d = defaultValue;
    while (!d.empty() && d.back() == ' ') d.remove_suffix(1);
    value->assign(d);
  }
  WriteTexts texts = WriteTexts::Unchecked;
  if (!choose(context, *value, &texts)) return true;
  if (texts != WriteTexts::Plain) {
    *written = change(file, section, key, *value, Write::Op::Write, reason, texts, effect);
    return true;
  }
  *written = 1;
  if (effect) *effect = WriteEffect::Unknown;
  bool added = false;
  if (!f->document.WriteAt(place, *value, &added)) return true;  // the file holds it already
  f->pending.Add(Write::Op::Write, section, key, *value);
  if (effect) *effect = added ? WriteEffect::Added : WriteEffect::Changed;
  return true;
}

int ProfileWrite(const std::string& file, const std::string& section, const std::string& key,
                 const std::string& value, std::string* reason, WriteTexts texts, WriteEffect* effect) {
  return change(file, section, key, value, Write::Op::Write, reason, texts, effect);
}

int ProfileDelete(const std::string& file, const std::string& section, const std::optional<std::string>& key,
                  std::string* reason) {
  return key ? change(file, section, *key, {}, Write::Op::DeleteKey, reason)
             : change(file, section, {}, {}, Write::Op::DeleteSection, reason);
}

ProfileFile ProfileBytes(const std::string& file) {
  ProfileFile out;
  if (file.empty()) return out;
  Resolution scratch;
  Resolution& r = resolveProfile(file, scratch);
  if (!r.host.driveFound || r.host.trailingSeparator) return out;
  if (!r.host.refused.empty()) {
    out.state = ProfileFile::State::Unreadable;
    out.reason = r.host.refused;
    return out;
  }
  const std::string& entry = entryOf(r, &r != &scratch);
  if (auto it = g_files.find(entry); it != g_files.end() && !it->second.pending.empty()) {
    out.state = ProfileFile::State::Read;
    out.bytes = it->second.document.Serialize();
    return out;
  }
  struct stat st;
  if (!r.host.folder || ::fstatat(r.host.folder->Fd(), r.host.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return out;
  if (!readAt(r.host, &out.bytes, &out.reason)) {
    out.state = ProfileFile::State::Unreadable;
    return out;
  }
  out.state = ProfileFile::State::Read;
  return out;
}

void BeginCommand() {
  if (g_commandDepth++ == 0) {
    forgetResolutions();
    g_checkedThisCommand.clear();
  }
}

std::vector<SaveFailure> EndCommand() {
  std::vector<SaveFailure> failures;
  if (g_commandDepth > 0 && --g_commandDepth > 0) return failures;
  forgetResolutions();
  g_checkedThisCommand.clear();
  std::vector<std::string> hosts;
  std::vector<posix::FolderRef> folders;
  for (auto& [host, f] : g_files) {
    if (f.pending.empty()) continue;
    hosts.push_back(host);
    folders.push_back(f.where.folder);
  }
  {
    posix::SaveLocks locks;
    locks.LockFolders(folders);
    // Every file written before the first is waited for: the system flushes them together.
    std::deque<posix::ProfileSave> saves;  // they hold references: never moved
    for (const std::string& host : hosts) {
      const CachedFile& f = g_files.find(host)->second;
      saves.emplace_back(locks, f.where.folder, f.where.name, f.onDisk, f.identity.exists, f.document, f.pending,
                         g_fault)
          .Start();
    }
    for (size_t i = 0; i < hosts.size(); ++i) {
      auto it = g_files.find(hosts[i]);
      std::string why;
      const std::string windowsPath = it->second.windowsPath;
      if (!settle(hosts[i], it->second, saves[i], &why)) failures.push_back({windowsPath, why});
    }
  }
  syncFolders();
  // A killed save may have left a temporary file beside a file that needed nothing this time.
  std::vector<posix::FolderRef> touched;
  for (const auto& [host, f] : g_files)
    if (f.where.folder && std::find(touched.begin(), touched.end(), f.where.folder) == touched.end())
      touched.push_back(f.where.folder);
  posix::SweepLeftoversIn(touched);
  return failures;
}

}  // namespace platform

namespace platform {

std::optional<std::vector<std::string>> ProfileSectionNames(const std::string& file) {
  const ProfileFile f = ProfileBytes(file);
  if (f.state != ProfileFile::State::Read) return std::nullopt;
  std::vector<std::string> names = ini::SectionNames(f.bytes);
  for (std::string& n : names) n = FromAnsi(n);
  return names;
}

std::optional<std::vector<std::string>> ProfileKeyNames(const std::string& file, const std::string& section) {
  std::string s;
  if (!ToAnsi(section, &s)) return std::nullopt;
  const ProfileFile f = ProfileBytes(file);
  if (f.state != ProfileFile::State::Read) return std::nullopt;
  std::optional<std::vector<std::string>> names = ini::KeyNames(f.bytes, s);
  if (names)
    for (std::string& n : *names) n = FromAnsi(n);
  return names;
}

}  // namespace platform
