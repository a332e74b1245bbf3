// What the Windows half of the seam shares between its files. windows.h names
// several calls as macros (CreateDirectory, FindFirstFile...) that clash with
// the seam's own names, so they are undone here and the A calls named outright.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#undef CreateDirectory
#undef CreateDirectoryEx
#undef FindFirstFile
#undef GetWindowsDirectory

#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace platform::win32 {

// ToAnsi, also refusing a NUL: the A calls would stop there and act on a
// shorter name or value than the one asked for.
bool AnsiText(const std::string& utf8, std::string* ansi);

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf8FromWide(const std::wstring& wide);
// UTF-8 to UTF-16; false when `utf8` is not UTF-8.
bool WideFromUtf8(const std::string& utf8, std::wstring* wide);

// A Windows error met on `file`, in French, as the profile calls' failures say it.
std::string FailureReason(DWORD error, const std::string& file);

// The first character of `utf8` that the ANSI code page cannot hold, as UTF-8
// text; empty when the whole text converts. Used to say which one in a reason.
std::string FirstUnwritable(const std::string& utf8);

// The path helpers below take the UTF-8 path: in a double-byte code page a
// backslash byte may be the second half of a character, never in UTF-8.

// True when `path` starts with a drive or network share that does not exist.
// FindFirstFileA and CreateDirectoryA answer "file or path not found" for a
// missing drive, which the callers must tell apart from a missing folder.
bool RootMissing(const std::string& path);

// True when a folder level of `path` (not its last component) is a file:
// Windows calls that "path not found", Wine an invalid name.
bool FileInTheWay(const std::string& path);

// A character no Windows file name may hold (a control character, "|", or a
// colon other than the drive's). Wine lets some of them through where Windows
// refuses the name.
bool HasForbiddenCharacter(const std::string& path);

}  // namespace platform::win32
