// Commands on Windows. The profile functions rewrite the whole file at every
// key: two runs at once interleave their rewrites, and a run killed during one
// leaves a cut file. So, until it ends, a command
// - holds a lock on every folder it touches, from its first touch (a named
//   mutex: it leaves nothing on disk, needs no folder to exist or be writable,
//   and dies with a killed holder);
// - keeps, before its first write to a file, the file as it was beside it,
//   NAME.il3-journal (made as NAME.il3-copie, flushed, then renamed), or an
//   empty NAME.il3-nouveau when there was no file;
// and removes them once its files are flushed. Under the lock such a name can
// only have been left by a killed command: the first touch puts the old file
// back (or removes the half-made new one) before anything reads it.
#include "platform/win32/commands_win32.h"

#include <map>
#include <memory>
#include <unordered_map>

#include "platform/win32/win32_api.h"

namespace platform::win32 {
namespace {

// A command holds its locks for seconds; a holder this long is stuck.
constexpr DWORD kPatienceMs = 60'000;
const std::wstring kJournal = L".il3-journal";
const std::wstring kCopying = L".il3-copie";
const std::wstring kNew = L".il3-nouveau";
constexpr size_t kLongestName = 255;  // characters of one name, on every Windows file system

const char kFifo[] = "un tube nommé (FIFO) porte ce nom, pas un fichier";
const char kDevice[] = "un périphérique porte ce nom, pas un fichier";

enum class Kind { Missing, Regular, Directory, Fifo, Device, Unknown };

struct Lock {
  HANDLE mutex = nullptr;  // held until the command ends
  std::string failure;     // why it is not held
};

struct File {
  std::string name;   // the program's spelling
  std::wstring path;  // full
  Kind kind = Kind::Unknown;
  std::string refusal;     // neither read nor written
  std::string unwritable;  // read as it is, never written
  bool guarded = false;    // its journal or mark exists
  bool written = false;
};

struct Folder {
  std::wstring canonical;
  Lock* lock = nullptr;
};

struct Command {
  int depth = 0;
  std::unordered_map<std::string, File*> byName;
  std::map<std::wstring, std::unique_ptr<File>> byPath;  // canonical folder and upper-cased name
  std::vector<File*> order;
  std::map<std::wstring, Lock> locks;      // by mutex name
  std::map<std::wstring, Folder> folders;  // by upper-cased spelling
};
Command g;

std::wstring Upper(std::wstring text) {
  if (!text.empty()) CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
  return text;
}

bool StartsWith(const std::wstring& text, const wchar_t* start) { return text.rfind(start, 0) == 0; }

std::wstring Hash(const std::wstring& text, int digits) {
  uint64_t h = 1469598103934665603ull;  // FNV-1a
  for (wchar_t c : text) h = (h ^ static_cast<uint64_t>(c)) * 1099511628211ull;
  std::wstring out;
  for (int i = 0; i < digits; ++i, h >>= 4) out.insert(out.begin(), L"0123456789ABCDEF"[h & 15]);
  return out;
}

// Past MAX_PATH the W calls take a full path only in its \\?\ form.
std::wstring Long(const std::wstring& path) {
  if (path.size() < MAX_PATH || StartsWith(path, L"\\\\?\\") || StartsWith(path, L"\\\\.\\")) return path;
  if (StartsWith(path, L"\\\\")) return L"\\\\?\\UNC\\" + path.substr(2);
  return L"\\\\?\\" + path;
}

// NAME followed by `suffix`, beside the file; a NAME too long for it is
// shortened, the same way every time, so that the next command finds it.
std::wstring Beside(const std::wstring& path, const std::wstring& suffix) {
  const size_t slash = path.find_last_of(L'\\');
  std::wstring name = path.substr(slash + 1);
  if (name.size() + suffix.size() > kLongestName)
    name = name.substr(0, kLongestName - suffix.size() - 9) + L"~" + Hash(name, 8);
  return Long(path.substr(0, slash + 1) + name + suffix);
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string Reason(DWORD error, const std::wstring& path) { return FailureReason(error, Utf8FromWide(path)); }

std::string NameOf(const std::wstring& path) {
  return "« " + Utf8FromWide(path.substr(path.find_last_of(L'\\') + 1)) + " »";
}

// Where the profile functions look for `file`: a bare name lies in the Windows folder.
std::wstring FullPath(const std::string& file) {
  std::wstring wide;
  if (!WideFromUtf8(file, &wide) || wide.empty()) return {};
  if (file.find_first_of("\\/:") == std::string::npos) {
    std::wstring windows;
    if (!WideFromUtf8(GetWindowsDirectory(MAX_PATH).path, &windows)) return {};
    wide = windows + L"\\" + wide;
  }
  std::wstring full(GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr), L'\0');
  const DWORD n =
      full.empty() ? 0 : GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  full.resize(n < full.size() ? n : 0);
  return full;
}

// GetFullPathNameW makes NUL, COM1... (with any extension, in any folder) \\.\NUL, \\.\COM1.
bool DeviceNamespace(const std::wstring& path, bool* pipe) {
  if (!StartsWith(path, L"\\\\.\\")) return false;
  const std::wstring rest = Upper(path.substr(4));
  if ((rest.size() >= 2 && rest[1] == L':') || StartsWith(rest, L"UNC\\")) return false;
  *pipe = StartsWith(rest, L"PIPE\\");
  return true;
}

Kind Classify(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(Long(path).c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return Kind::Directory;
  if (attributes == INVALID_FILE_ATTRIBUTES && GetLastError() == ERROR_FILE_NOT_FOUND) return Kind::Missing;
  // Wine gives a host FIFO or device no attributes. An open without access
  // rights tells them apart, and waits for no writer at a FIFO.
  const HANDLE h = CreateFileW(Long(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return attributes == INVALID_FILE_ATTRIBUTES ? Kind::Unknown : Kind::Regular;
  const DWORD type = GetFileType(h);
  CloseHandle(h);
  return type == FILE_TYPE_PIPE ? Kind::Fifo : type == FILE_TYPE_CHAR ? Kind::Device : Kind::Regular;
}

// One name for every spelling of a folder: its final path (short names, links
// and mapped drives resolved) when it exists, without regard to case.
std::wstring Canonical(const std::wstring& folder) {
  std::wstring canonical = folder;
  const HANDLE h = CreateFileW(Long(folder).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h != INVALID_HANDLE_VALUE) {
    std::wstring final(32768, L'\0');
    const DWORD n = GetFinalPathNameByHandleW(h, final.data(), static_cast<DWORD>(final.size()),
                                              FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    CloseHandle(h);
    if (n > 0 && n < final.size()) {
      final.resize(n);
      canonical = StartsWith(final, L"\\\\?\\UNC\\") ? L"\\\\" + final.substr(8)
                  : StartsWith(final, L"\\\\?\\")    ? final.substr(4)
                                                     : final;
    }
  }
  while (canonical.size() > 1 && canonical.back() == L'\\') canonical.pop_back();
  canonical = Upper(canonical);
  for (wchar_t& c : canonical)
    if (c == L'\\') c = L'/';  // a mutex name holds no backslash past its namespace
  return canonical;
}

Folder& FolderOf(const std::wstring& spelling) {
  auto [it, fresh] = g.folders.try_emplace(Upper(spelling));
  Folder& folder = it->second;
  if (!fresh) return folder;
  folder.canonical = Canonical(spelling);
  const std::wstring prefix = L"Global\\IL3_Setup:";
  const std::wstring name = prefix.size() + folder.canonical.size() < MAX_PATH ? prefix + folder.canonical
                                                                               : prefix + Hash(folder.canonical, 16);
  folder.lock = &g.locks[name];
  Lock& lock = *folder.lock;
  if (lock.mutex != nullptr || !lock.failure.empty()) return folder;  // another spelling, met already
  // A NULL DACL: a run of another user (or elevated) can take a lock that this one created.
  SECURITY_DESCRIPTOR everyone;
  InitializeSecurityDescriptor(&everyone, SECURITY_DESCRIPTOR_REVISION);
  SetSecurityDescriptorDacl(&everyone, TRUE, nullptr, FALSE);
  SECURITY_ATTRIBUTES security{sizeof security, &everyone, FALSE};
  HANDLE mutex = CreateMutexW(&security, FALSE, name.c_str());
  // Where the global namespace is refused, the session's own still serialises its runs.
  if (mutex == nullptr) mutex = CreateMutexW(&security, FALSE, name.substr(name.find(L'\\') + 1).c_str());
  if (mutex == nullptr) {
    lock.failure = "verrou du dossier impossible (erreur Windows " + std::to_string(GetLastError()) + ")";
    return folder;
  }
  const DWORD waited = WaitForSingleObject(mutex, kPatienceMs);
  if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) {  // abandoned: its holder was killed
    lock.mutex = mutex;
    return folder;
  }
  lock.failure = waited == WAIT_TIMEOUT
                     ? "le dossier est verrouillé par un autre IL3_Setup depuis plus de 60 s"
                     : "verrou du dossier impossible (erreur Windows " + std::to_string(GetLastError()) + ")";
  CloseHandle(mutex);
  return folder;
}

DWORD Flush(const std::wstring& path) {
  const HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return GetLastError();
  const DWORD error = FlushFileBuffers(h) ? 0 : GetLastError();
  CloseHandle(h);
  return error;
}

// A scanner may hold a fresh file open for a moment: a few tries before giving up.
template <class Attempt>
DWORD Retrying(Attempt attempt) {
  for (int n = 1;; ++n) {
    const DWORD error = attempt();
    if ((error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) || n == 10) return error;
    Sleep(25 * n);
  }
}

DWORD Remove(const std::wstring& path) {
  return Retrying([&]() -> DWORD {
    if (DeleteFileW(path.c_str())) return 0;
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return 0;
    if (error == ERROR_ACCESS_DENIED) SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);  // read-only
    return error;
  });
}

// The journal's bytes written back into the file itself, which so keeps its
// security, its links and its place; then its attributes of before.
DWORD PutBack(const std::wstring& journal, const std::wstring& path) {
  const HANDLE from = CreateFileW(journal.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (from == INVALID_HANDLE_VALUE) return GetLastError();
  const DWORD now = GetFileAttributesW(path.c_str());
  if (now != INVALID_FILE_ATTRIBUTES && (now & FILE_ATTRIBUTE_READONLY))
    SetFileAttributesW(path.c_str(), now & ~FILE_ATTRIBUTE_READONLY);
  const HANDLE to =
      CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD error = to == INVALID_HANDLE_VALUE ? GetLastError() : 0;
  static char buffer[64 * 1024];
  for (DWORD n = 0; error == 0;) {
    if (!ReadFile(from, buffer, sizeof buffer, &n, nullptr)) error = GetLastError();
    if (error != 0 || n == 0) break;
    DWORD written = 0;
    if (!WriteFile(to, buffer, n, &written, nullptr) || written != n)
      error = GetLastError() ? GetLastError() : ERROR_WRITE_FAULT;
  }
  if (error == 0 && !SetEndOfFile(to)) error = GetLastError();
  if (error == 0 && !FlushFileBuffers(to)) error = GetLastError();
  if (to != INVALID_HANDLE_VALUE) CloseHandle(to);
  CloseHandle(from);
  const DWORD before = GetFileAttributesW(journal.c_str());
  if (error == 0 && before != INVALID_FILE_ATTRIBUTES)
    SetFileAttributesW(path.c_str(), before);
  else if (now != INVALID_FILE_ATTRIBUTES)
    SetFileAttributesW(path.c_str(), now);
  return error;
}

// What a killed command left beside the file: the old file put back, or the
// half-made new one removed, then the journal or mark. An unfinished copy of a
// journal means that the file was not written yet.
void Recover(File& f) {
  const std::wstring journal = Beside(f.path, kJournal), mark = Beside(f.path, kNew),
                     copying = Beside(f.path, kCopying);
  DWORD error = 0;
  std::wstring failed;
  if (Exists(journal)) {
    if ((error = PutBack(journal, Long(f.path))) != 0)
      failed = f.path;
    else if ((error = Remove(journal)) != 0)
      failed = journal;
  } else if (Exists(mark)) {
    if (Classify(f.path) == Kind::Regular && (error = Remove(Long(f.path))) != 0)
      failed = f.path;
    else if ((error = Remove(mark)) != 0)
      failed = mark;
  } else {
    Remove(copying);
    return;
  }
  Remove(copying);
  if (error != 0)
    f.unwritable = "le fichier laissé par une commande interrompue n'a pas pu être remis comme avant (" +
                   NameOf(failed) + " : " + Reason(error, failed) + ")";
  f.kind = Classify(f.path);
}

File& Touch(const std::string& file) {
  if (const auto it = g.byName.find(file); it != g.byName.end()) return *it->second;
  const std::wstring path = FullPath(file);
  bool pipe = false;
  const bool device = !path.empty() && DeviceNamespace(path, &pipe);
  Folder* folder = nullptr;
  std::wstring key = Upper(path);
  if (!path.empty() && !device) {
    const size_t slash = path.find_last_of(L'\\');
    folder = &FolderOf(path.substr(0, slash == 2 && path[1] == L':' ? 3 : slash));
    // One entry for the file whatever spelling of its folder reaches it: else
    // a second spelling would take this command's own journal for a dead one's.
    key = folder->canonical + L"/" + Upper(path.substr(slash + 1));
  }
  auto [it, fresh] = g.byPath.try_emplace(key);
  if (fresh) {
    it->second = std::make_unique<File>();
    File& f = *it->second;
    f.name = file;
    f.path = path;
    g.order.push_back(&f);
    if (device) {
      f.kind = pipe ? Kind::Fifo : Kind::Device;
    } else if (folder != nullptr) {  // else no full path: the profile functions fail on it and say why
      f.kind = Classify(path);
      if (folder->lock->mutex == nullptr)
        f.unwritable = folder->lock->failure;  // another run may be writing: what it keeps beside the file is its own
      else if (f.kind == Kind::Regular || f.kind == Kind::Missing)
        Recover(f);
    }
    if (f.kind == Kind::Fifo) f.refusal = kFifo;
    if (f.kind == Kind::Device) f.refusal = kDevice;
  }
  g.byName.emplace(file, it->second.get());
  return *it->second;
}

// Before the first write: the file as it was, flushed to disk before it changes.
std::string Guard(File& f) {
  const std::wstring path = Long(f.path);
  const DWORD attributes = GetFileAttributesW(path.c_str());
  // A folder in its place, or no folder to make it in: the call is refused and says why.
  if (attributes == INVALID_FILE_ATTRIBUTES && GetLastError() != ERROR_FILE_NOT_FOUND) return {};
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return {};
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    const std::wstring copying = Beside(f.path, kCopying), journal = Beside(f.path, kJournal);
    DWORD error = CopyFileW(path.c_str(), copying.c_str(), FALSE) ? 0 : GetLastError();
    if (error == 0) {
      SetFileAttributesW(copying.c_str(), FILE_ATTRIBUTE_NORMAL);
      error = Flush(copying);
    }
    // Renamed once whole: a journal is never cut.
    if (error == 0)
      error = Retrying([&]() -> DWORD {
        return MoveFileExW(copying.c_str(), journal.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
                   ? 0
                   : GetLastError();
      });
    if (error != 0) {
      Remove(copying);
      return "copie de reprise " + NameOf(journal) + " impossible avant d'écrire (" + Reason(error, copying) + ")";
    }
    SetFileAttributesW(journal.c_str(), attributes);  // given back with the bytes
    f.guarded = true;
    return {};
  }
  const std::wstring mark = Beside(f.path, kNew);
  const HANDLE h = CreateFileW(mark.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h != INVALID_HANDLE_VALUE) {
    FlushFileBuffers(h);
    CloseHandle(h);
    f.guarded = true;
    return {};
  }
  switch (const DWORD error = GetLastError()) {
    case ERROR_FILE_EXISTS:
      f.guarded = true;
      return {};
    case ERROR_FILE_NOT_FOUND:  // Wine's answer for a missing drive
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
      return {};  // no file can be made there either: the call fails and says why
    default:
      return "marque de fichier nouveau " + NameOf(mark) + " impossible avant d'écrire (" + Reason(error, mark) + ")";
  }
}

std::vector<SaveFailure> Finish() {
  std::vector<SaveFailure> failures;
  std::map<File*, std::string> unflushed;
  // Every file is on disk before any journal goes.
  for (File* f : g.order) {
    if (!f->guarded || !f->written || !Exists(Long(f->path))) continue;
    const DWORD error = Flush(Long(f->path));
    // A file that cannot be opened to be flushed is in the system's cache all the same.
    if (error != 0 && error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION)
      unflushed[f] = Reason(error, f->path);
  }
  for (File* f : g.order) {
    if (!f->guarded) continue;
    const std::wstring journal = Beside(f->path, kJournal), mark = Beside(f->path, kNew);
    if (const auto it = unflushed.find(f); it != unflushed.end()) {
      Recover(*f);  // as the next command would: the old file, whole
      failures.push_back({f->name, "écriture sur le disque non confirmée (" + it->second + ")"});
      continue;
    }
    const std::wstring& left = Exists(journal) ? journal : mark;
    if (const DWORD error = Remove(left); error != 0) {
      Recover(*f);
      failures.push_back({f->name, NameOf(left) + " impossible à supprimer (" + Reason(error, left) + ")"});
    }
  }
  for (auto& [name, lock] : g.locks) {
    if (lock.mutex == nullptr) continue;
    ReleaseMutex(lock.mutex);
    CloseHandle(lock.mutex);
  }
  g = Command{};
  return failures;
}

}  // namespace

std::string BeforeRead(const std::string& file) { return Touch(file).refusal; }

std::string BeforeWrite(const std::string& file) {
  File& f = Touch(file);
  if (!f.refusal.empty()) return f.refusal;
  if (!f.unwritable.empty()) return f.unwritable;
  if (!f.guarded && f.kind != Kind::Directory) {
    if (std::string why = Guard(f); !why.empty()) return why;
  }
  f.written = true;
  return {};
}

OwnCommand::OwnCommand() : own_(g.depth == 0) {
  if (own_) BeginCommand();
}

OwnCommand::~OwnCommand() {
  if (own_) EndCommand();
}

std::vector<SaveFailure> OwnCommand::End() {
  if (!own_) return {};
  own_ = false;
  return EndCommand();
}

}  // namespace platform::win32

namespace platform {

void BeginCommand() { ++win32::g.depth; }

std::vector<SaveFailure> EndCommand() {
  if (win32::g.depth > 1) {
    --win32::g.depth;
    return {};
  }
  return win32::Finish();
}

}  // namespace platform
