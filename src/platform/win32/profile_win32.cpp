// Profile files through the Windows profile functions, in the ANSI code page.
#include <algorithm>
#include <vector>

#include "platform/win32/commands_win32.h"
#include "platform/win32/win32_api.h"

namespace platform {
namespace win32 {

std::string FailureReason(DWORD error, const std::string& file) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return win32::RootMissing(file) ? "lecteur introuvable" : "dossier introuvable";
    case ERROR_ACCESS_DENIED: {
      const uint32_t attributes = GetAttributes(file);
      if (attributes != kInvalidAttributes && (attributes & kAttrDirectory) != 0) return "le chemin désigne un dossier";
      if (attributes != kInvalidAttributes && (attributes & kAttrReadOnly) != 0) return "fichier en lecture seule";
      return "accès refusé";
    }
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return "fichier utilisé par un autre programme";
    case ERROR_WRITE_PROTECT:
      return "support protégé en écriture";
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_DISK_FULL:
      return "disque plein";
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_DIRECTORY:
    case ERROR_FILENAME_EXCED_RANGE:
      return "nom de fichier incorrect";
    case ERROR_INVALID_DRIVE:
      return "lecteur introuvable";
    case ERROR_NOT_READY:
      return "lecteur non prêt";
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
      return "chemin réseau introuvable";
    default:
      return "erreur Windows " + std::to_string(error);
  }
}

}  // namespace win32

namespace {

using win32::AnsiText;
using win32::FailureReason;

constexpr DWORD kFirstReadSize = 256;
// A profile value cannot be longer than this; it also bounds the growth should
// the call ever keep answering "buffer full".
constexpr DWORD kLargestReadSize = 64u * 1024u * 1024u;

// Why `text` cannot be handed to the A call.
std::string UnwritableReason(const std::string& text) {
  if (text.find('\0') != std::string::npos) return "caractère nul impossible à écrire dans le fichier";
  return "caractère impossible à écrire dans la page de codes du fichier : «" + win32::FirstUnwritable(text) + "»";
}

}  // namespace

std::string ProfileRead(const std::string& file, const std::string& section, const std::string& key,
                        const std::string& defaultValue) {
  std::string ansiFile, ansiSection, ansiKey, ansiDefault;
  if (!AnsiText(file, &ansiFile) || !AnsiText(section, &ansiSection) || !AnsiText(key, &ansiKey) ||
      !AnsiText(defaultValue, &ansiDefault)) {
    return defaultValue;
  }
  win32::OwnCommand command;
  // A FIFO or a device is never opened: it reads as a missing file, whose default loses its trailing blanks.
  if (!win32::BeforeRead(file).empty()) return defaultValue.substr(0, defaultValue.find_last_not_of(' ') + 1);
  // The call fills the buffer and answers size - 1 when the value did not fit;
  // a value cut here would be written back cut.
  std::vector<char> buffer;
  DWORD length = 0;
  for (DWORD size = kFirstReadSize;; size *= 2) {
    buffer.assign(size, '\0');
    length = GetPrivateProfileStringA(ansiSection.c_str(), ansiKey.c_str(), ansiDefault.c_str(), buffer.data(),
                                      size, ansiFile.c_str());
    if (length < size - 1 || size >= kLargestReadSize) break;
  }
  return FromAnsi(std::string(buffer.data(), std::min<size_t>(length, buffer.size())));
}

// Windows' profile functions have no such pass: the caller reads and writes.
bool ProfileReadThenWrite(const std::string&, const std::string&, const std::string&, const std::string&, ChooseValue,
                          void*, std::string*, int*, std::string*, WriteEffect*) {
  return false;
}

int ProfileWrite(const std::string& file, const std::string& section, const std::string& key,
                 const std::string& value, std::string* reason, WriteTexts, WriteEffect* effect) {
  if (effect) *effect = WriteEffect::Unknown;
  auto refuse = [reason](std::string why) {
    if (reason != nullptr) *reason = std::move(why);
    return 0;
  };
  std::string ansiFile, ansiSection, ansiKey, ansiValue;
  if (!AnsiText(file, &ansiFile)) {
    return refuse(file.find('\0') != std::string::npos
                      ? "nom de fichier incorrect"
                      : "nom de fichier impossible à écrire dans la page de codes : «" + win32::FirstUnwritable(file) + "»");
  }
  if (!AnsiText(section, &ansiSection)) return refuse(UnwritableReason(section));
  if (!AnsiText(key, &ansiKey)) return refuse(UnwritableReason(key));
  if (!AnsiText(value, &ansiValue)) return refuse(UnwritableReason(value));
  win32::OwnCommand command;
  if (std::string why = win32::BeforeWrite(file); !why.empty()) return refuse(std::move(why));
  SetLastError(ERROR_SUCCESS);
  const BOOL written =
      WritePrivateProfileStringA(ansiSection.c_str(), ansiKey.c_str(), ansiValue.c_str(), ansiFile.c_str());
  if (!written) return refuse(FailureReason(GetLastError(), file));
  if (const std::vector<SaveFailure> failures = command.End(); !failures.empty()) return refuse(failures[0].reason);
  return written;
}

int ProfileDelete(const std::string& file, const std::string& section, const std::optional<std::string>& key,
                  std::string* reason) {
  auto refuse = [reason](std::string why) {
    if (reason != nullptr) *reason = std::move(why);
    return 0;
  };
  std::string ansiFile, ansiSection, ansiKey;
  if (!AnsiText(file, &ansiFile)) return refuse("nom de fichier incorrect");
  if (!AnsiText(section, &ansiSection)) return refuse(UnwritableReason(section));
  if (key && !AnsiText(*key, &ansiKey)) return refuse(UnwritableReason(*key));
  win32::OwnCommand command;
  if (std::string why = win32::BeforeWrite(file); !why.empty()) return refuse(std::move(why));
  SetLastError(ERROR_SUCCESS);
  const BOOL done = WritePrivateProfileStringA(ansiSection.c_str(), key ? ansiKey.c_str() : nullptr, nullptr,
                                               ansiFile.c_str());
  if (!done) return refuse(FailureReason(GetLastError(), file));
  if (const std::vector<SaveFailure> failures = command.End(); !failures.empty()) return refuse(failures[0].reason);
  return done;
}

ProfileFile ProfileBytes(const std::string& file) {
  ProfileFile out;
  std::string path = file;
  // The profile functions look for a bare name in the Windows folder.
  if (file.find_first_of("\\/:") == std::string::npos) path = GetWindowsDirectory(MAX_PATH).path + "\\" + file;
  std::string ansi;
  if (!AnsiText(path, &ansi)) return out;
  win32::OwnCommand command;
  if (std::string why = win32::BeforeRead(file); !why.empty()) {
    out.state = ProfileFile::State::Unreadable;
    out.reason = std::move(why);
    return out;
  }
  const HANDLE h = CreateFileA(ansi.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_DRIVE ||
        error == ERROR_INVALID_NAME || error == ERROR_BAD_NETPATH || error == ERROR_BAD_NET_NAME)
      return out;
    out.state = ProfileFile::State::Unreadable;
    out.reason = FailureReason(error, path);
    return out;
  }
  char buffer[65536];
  DWORD n = 0;
  bool ok = true;
  while ((ok = ReadFile(h, buffer, sizeof buffer, &n, nullptr) != 0) && n > 0) out.bytes.append(buffer, n);
  const DWORD error = GetLastError();
  CloseHandle(h);
  if (!ok) {
    out.state = ProfileFile::State::Unreadable;
    out.reason = FailureReason(error, path);
    out.bytes.clear();
    return out;
  }
  out.state = ProfileFile::State::Read;
  return out;
}

}  // namespace platform
