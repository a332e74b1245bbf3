// The one seam between the program and the operating system. Nothing above
// it includes a system header. Paths are Windows paths and every string is
// UTF-8; each implementation converts at its own edge.
//
// win32/: the real Windows calls. posix/: Windows paths mapped into a
// Wine-style prefix, and the Windows-exact profile engine.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// ---- Start-up ---------------------------------------------------------------

struct Options {
  std::string root;    // POSIX: the prefix holding the drives; empty = $WINEPREFIX, else ~/.wine
  std::string appDir;  // the program's own folder, Windows spelling; empty = where the program lies
};
// Called once by main() before anything else; tests call it with their sandbox.
void Configure(const Options& options);

// The program's arguments (after the program name), in UTF-8. Also makes
// standard output and error carry UTF-8 text.
std::vector<std::string> Arguments(int argc, char** argv);

// ---- Files and folders --------------------------------------------------------

// Outcome of a directory listing of a path pattern (the last component may hold
// * and ?), folders included. A trailing backslash lists the folder's own entries.
enum class Listing {
  Found,     // at least one entry
  NotFound,  // nothing matches
  BadName,   // the path cannot be listed at all: missing drive, invalid name
};
Listing ListDirectory(const std::string& pattern);

// Why the path cannot be reached although its drive exists: a link on the way
// that is not safe to follow (POSIX), in French; empty otherwise.
std::string PathRefusal(const std::string& path);

// Why a folder that could not be made is missing, in French: a missing drive,
// a file in the way, no right to write where it goes...; empty when unknown.
std::string FolderFailureReason(const std::string& path);

// Where the files go, for the window to show: on POSIX the prefix and how it was
// chosen (--root, WINEPREFIX or ~/.wine); empty on Windows, whose drives are real.
std::string WhereFilesGo();
// POSIX: the prefix folder, when it has no C: drive; empty otherwise, and on Windows.
std::string PrefixWithoutDriveC();
// POSIX: makes the prefix's C: drive and its Windows folder; false with a French reason.
bool CreatePrefix(std::string* reason);

// FindFirstFileA semantics: the pattern itself must match an entry (a trailing
// backslash matches nothing). True when an entry was found.
bool FindFirstFile(const std::string& pattern);

// The plain make-directory operation; false when the folder was not made.
// `error` receives the run-time error number (52, 75 or 76) on failure.
bool MakeDirectory(const std::string& path, int32_t* error);
// CreateDirectoryA with default security.
bool CreateDirectory(const std::string& path);
// CreateDirectoryExA: the new folder takes the template folder's attributes.
bool CreateDirectoryEx(const std::string& templateFolder, const std::string& path);

inline constexpr uint32_t kAttrReadOnly = 1;
inline constexpr uint32_t kAttrDirectory = 16;
inline constexpr uint32_t kAttrArchive = 32;
inline constexpr uint32_t kInvalidAttributes = 0xFFFFFFFFu;
// GetFileAttributesA; kInvalidAttributes when the path does not exist.
uint32_t GetAttributes(const std::string& path);
// SetFileAttributesA; false when refused.
bool SetAttributes(const std::string& path, uint32_t attributes);

// _lopen + GetFileSize (low 32 bits) + _lclose: -1 when the file cannot be opened.
int32_t FileSize(const std::string& path);

// A copy of the file `from` made as the new file `to`; an existing `to` is never
// touched (Exists). The copy keeps the original's bytes, and on POSIX its owner
// and mode where the system lets it.
enum class Copy { Done, Exists, Failed };
Copy CopyToNewFile(const std::string& from, const std::string& to, std::string* reason);

// ---- System -------------------------------------------------------------------

// GetWindowsDirectoryA into a buffer of `size` characters: the count it returns
// and the text. Count 0 on failure.
struct WindowsDirectory {
  uint32_t count = 0;
  std::string path;
};
WindowsDirectory GetWindowsDirectory(uint32_t size);

// GetVersionExA with the extended record (size field 156).
struct VersionInfo {
  bool ok = false;  // the call returned nonzero
  uint32_t platformId = 0;
  uint32_t major = 0;
  uint32_t minor = 0;
};
VersionInfo GetVersion();

// The folder that holds the running program (POSIX: the program that started
// this one, see ProgramStarted), Windows spelling, without a trailing backslash required.
std::string ProgramFolder();

// ---- Profile files --------------------------------------------------------------

// GetPrivateProfileStringA(section, key, default): the whole value, never cut.
std::string ProfileRead(const std::string& file, const std::string& section, const std::string& key,
                        const std::string& defaultValue);

// What the caller of a write has checked of its texts: Plain when none of the
// section, key and value holds a byte beyond ASCII, a NUL or a line break, so
// that the engine need not look again (a run writes a thousand keys).
enum class WriteTexts { Unchecked, Plain };
// What a write did to the file, where the system can tell: the key was new to
// it, or its value changed. Unknown on Windows, whose profile functions do not say.
enum class WriteEffect { Unknown, Added, Changed };

// WritePrivateProfileStringA(section, key, value): returns what the call returns
// (1 on success, 0 on failure); `reason` receives a French explanation on failure.
int ProfileWrite(const std::string& file, const std::string& section, const std::string& key,
                 const std::string& value, std::string* reason, WriteTexts texts = WriteTexts::Unchecked,
                 WriteEffect* effect = nullptr);

// A key read as ProfileRead reads it into `*value`, handed to `choose`, which
// may change it and says whether to write it and whether its texts are plain,
// then written as ProfileWrite writes it (`*written` its result, `effect`):
// the file found and the key looked up once, for the thousand keys of a
// settings command. False, before anything is read, where the system cannot do
// it in one pass (outside a command, a file not yet written to in it, names a
// write would not take as they are); the caller then reads and writes the usual
// way. So `choose` only sees a file a write of this command took already, and
// names a write takes as they are: plain ASCII without a NUL or a line break, no
// "]" in the section, no "=" in the key, a key not starting with "[" or ";".
using ChooseValue = bool (*)(void* context, std::string& value, WriteTexts* texts);
bool ProfileReadThenWrite(const std::string& file, const std::string& section, const std::string& key,
                          const std::string& defaultValue, ChooseValue choose, void* context, std::string* value,
                          int* written, std::string* reason, WriteEffect* effect);

// WritePrivateProfileStringA with a null value (`key` given: the key goes) or a
// null key (the whole section goes). Same return and reason as ProfileWrite.
int ProfileDelete(const std::string& file, const std::string& section, const std::optional<std::string>& key,
                  std::string* reason);

// GetPrivateProfileSectionNamesA: the file's section names, in its order, its
// duplicates included; nullopt when there is no file to read.
std::optional<std::vector<std::string>> ProfileSectionNames(const std::string& file);
// GetPrivateProfileStringA with no key name: the key names of the section, as
// above; nullopt when the file or the section is missing.
std::optional<std::vector<std::string>> ProfileKeyNames(const std::string& file, const std::string& section);

// A whole file put in place of another, atomically, keeping what the old one
// was (owner, mode) and the folder's other writers out while it happens; the
// file named must exist. False with a French reason.
bool ReplaceWholeFile(const std::string& file, const std::string& bytes, std::string* reason);
// The names of the entries of `folder` (a Windows path ending with "\") that
// match `pattern` (* and ?), in no particular order.
std::vector<std::string> FilesMatching(const std::string& folder, const std::string& pattern);
// Deletes one file; false when it is not a plain file or cannot be deleted.
bool DeleteOneFile(const std::string& path);

// A profile file's bytes as the next read sees them (within a command on POSIX,
// with the command's writes). A bare name lives in the Windows folder.
struct ProfileFile {
  enum class State { Missing, Unreadable, Read };
  State state = State::Missing;
  std::string bytes;   // Read
  std::string reason;  // Unreadable: French
};
ProfileFile ProfileBytes(const std::string& file);

// A command groups profile writes: on POSIX each changed file is kept in memory
// and written once when the command ends. On Windows the command holds a lock
// on each folder it touches, and a copy of each file before its first write,
// put back by the next command should this one be killed.
void BeginCommand();
struct SaveFailure {
  std::string file;    // Windows path
  std::string reason;  // French explanation
};
// Writes every changed file; returns the files that could not be saved (their old content is intact).
std::vector<SaveFailure> EndCommand();

// ---- The window -------------------------------------------------------------------

// The host's own spelling of a Windows folder, for the host's folder dialog to
// open on: on Windows the path itself; on POSIX its place in the prefix, existing
// components in their real spelling. Empty when its drive does not exist.
std::string HostPathOf(const std::string& windowsPath);
// The Windows spelling of a folder the host's dialog returned: on Windows the path
// itself; on POSIX through the deepest drive that holds it, else Z: followed by
// the host path, as Wine shows the host.
std::string WindowsPathOf(const std::string& hostPath);

// True when a window can be shown: always on Windows; on POSIX a reachable local
// X display, a Wayland display, a remote X display, or a window platform named
// in QT_QPA_PLATFORM.
bool DisplayAvailable();

// A program of the suite's own, beside this one (POSIX: the window, kept out of
// this program so that headless runs never map a toolkit). It lies at
// `relativePath` from the folder of the running executable and gets `argv` as
// is, argv[0] included. Once it runs (its libraries loaded, its main called:
// it calls ProgramStarted) it is waited for; interrupts and termination
// requests reach it, and when one ends it, this program ends the same way.
struct ProgramRun {
  enum class Failure { None, Missing, LibraryMissing, Unusable };
  Failure failure = Failure::None;
  int status = 0;       // None: the program's exit status (128 + N when signal N ended it)
  std::string path;     // the program's host path
  std::string library;  // LibraryMissing: the library the system could not find
  std::string detail;   // Unusable: the system's own words
};
ProgramRun RunProgram(const std::string& relativePath, char** argv);

// Called first by a program that RunProgram may have started: tells the starter
// that it runs, and from then on ProgramFolder is the starter's folder. Returns
// the starter's executable, or empty when started otherwise.
std::string ProgramStarted();

// ---- Code page ---------------------------------------------------------------------

// UTF-8 to the ANSI code page; false when a character has no place in it.
bool ToAnsi(const std::string& utf8, std::string* ansi);
// The ANSI code page to UTF-8 (every byte has a character).
std::string FromAnsi(const std::string& ansi);

}  // namespace platform
