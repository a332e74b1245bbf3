// Files and folders: the listing test, the three ways to make a folder,
// attributes and size.
#include "platform/win32/win32_api.h"

namespace platform {
namespace {

using win32::AnsiText;

// Run-time error numbers of the plain make-directory operation.
constexpr int32_t kBadFileName = 52;
constexpr int32_t kPathFileAccess = 75;
constexpr int32_t kPathNotFound = 76;

bool StartsWith(const std::string& text, const char* start) { return text.rfind(start, 0) == 0; }

bool IsDevicePath(const std::string& path) { return StartsWith(path, "\\\\?\\") || StartsWith(path, "\\\\.\\"); }

// "X:\" or "\\server\share\"; empty for a relative or device path.
std::string RootOf(const std::string& path) {
  if (path.size() >= 2 && path[1] == ':') return path.substr(0, 2) + "\\";
  if (!StartsWith(path, "\\\\") || IsDevicePath(path)) return {};
  const size_t serverEnd = path.find('\\', 2);
  if (serverEnd == std::string::npos) return path + "\\";
  const size_t shareEnd = path.find('\\', serverEnd + 1);
  return shareEnd == std::string::npos ? path + "\\" : path.substr(0, shareEnd + 1);
}

int32_t MakeDirectoryError(DWORD error, const std::string& path) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return win32::RootMissing(path) ? kBadFileName : kPathNotFound;
    case ERROR_DIRECTORY:
      return kPathNotFound;
    case ERROR_INVALID_NAME:
      return win32::FileInTheWay(path) ? kPathNotFound : kBadFileName;
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_NOT_READY:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_FILENAME_EXCED_RANGE:
      return kBadFileName;
    default:  // exists already, access denied, write-protected, full...
      return kPathFileAccess;
  }
}

bool CreateWith(const std::string& path, BOOL inheritHandle, const char* templateFolder) {
  std::string ansi;
  if (!AnsiText(path, &ansi) || win32::HasForbiddenCharacter(path)) return false;
  SECURITY_ATTRIBUTES security{sizeof(SECURITY_ATTRIBUTES), nullptr, inheritHandle};
  if (templateFolder == nullptr) return CreateDirectoryA(ansi.c_str(), &security) != 0;
  return CreateDirectoryExA(templateFolder, ansi.c_str(), &security) != 0;
}

}  // namespace

Listing ListDirectory(const std::string& pattern) {
  if (pattern.empty()) return Listing::NotFound;
  // A folder's own entries are listed; a bare drive stands for its root.
  const bool bareDrive = pattern.size() == 2 && pattern[1] == ':';
  const std::string listed = pattern.back() == '\\' ? pattern + "*.*" : bareDrive ? pattern + "\\*.*" : pattern;
  std::string ansi;
  if (!AnsiText(listed, &ansi) || win32::HasForbiddenCharacter(listed)) return Listing::BadName;
  WIN32_FIND_DATAA entry;
  const HANDLE found = FindFirstFileA(ansi.c_str(), &entry);
  if (found != INVALID_HANDLE_VALUE) {
    FindClose(found);
    return Listing::Found;
  }
  switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_NO_MORE_FILES:
      return win32::RootMissing(listed) ? Listing::BadName : Listing::NotFound;
    case ERROR_DIRECTORY:
    case ERROR_INVALID_NAME:
      return win32::FileInTheWay(listed) ? Listing::NotFound : Listing::BadName;
    default:
      return Listing::BadName;
  }
}

bool FindFirstFile(const std::string& pattern) {
  std::string ansi;
  if (!AnsiText(pattern, &ansi)) return false;
  WIN32_FIND_DATAA entry;
  const HANDLE found = FindFirstFileA(ansi.c_str(), &entry);
  if (found == INVALID_HANDLE_VALUE) return false;
  FindClose(found);
  return true;
}

bool MakeDirectory(const std::string& path, int32_t* error) {
  int32_t failure = 0;
  std::string ansi;
  if (path.empty()) {
    failure = kPathNotFound;
  } else if (!AnsiText(path, &ansi) || win32::HasForbiddenCharacter(path)) {
    failure = kBadFileName;
  } else if (!CreateDirectoryA(ansi.c_str(), nullptr)) {
    failure = MakeDirectoryError(GetLastError(), path);
  }
  if (error != nullptr) *error = failure;
  return failure == 0;
}

bool CreateDirectory(const std::string& path) { return CreateWith(path, FALSE, nullptr); }

bool CreateDirectoryEx(const std::string& templateFolder, const std::string& path) {
  std::string ansiTemplate;
  if (!AnsiText(templateFolder, &ansiTemplate)) return false;
  return CreateWith(path, TRUE, ansiTemplate.c_str());
}

uint32_t GetAttributes(const std::string& path) {
  std::string ansi;
  if (!AnsiText(path, &ansi)) return kInvalidAttributes;
  return GetFileAttributesA(ansi.c_str());
}

bool SetAttributes(const std::string& path, uint32_t attributes) {
  std::string ansi;
  return AnsiText(path, &ansi) && SetFileAttributesA(ansi.c_str(), attributes) != 0;
}

int32_t FileSize(const std::string& path) {
  std::string ansi;
  if (!AnsiText(path, &ansi)) return -1;
  const HFILE file = _lopen(ansi.c_str(), OF_READ);
  if (file == HFILE_ERROR) return -1;
  // Sizes of 4 GiB and more keep only their low 32 bits, as the callers expect.
  const DWORD low = GetFileSize(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(file)), nullptr);
  _lclose(file);
  return static_cast<int32_t>(low);
}

namespace win32 {

bool RootMissing(const std::string& path) {
  std::string root;
  if (!AnsiText(RootOf(path), &root) || root.empty()) return false;
  return GetDriveTypeA(root.c_str()) == DRIVE_NO_ROOT_DIR;
}

bool FileInTheWay(const std::string& path) {
  const size_t last = path.find_last_of('\\', path.size() >= 2 ? path.size() - 2 : 0);
  if (last == std::string::npos) return false;
  for (size_t end = path.find('\\'); end != std::string::npos && end <= last; end = path.find('\\', end + 1)) {
    std::string level;
    if (end == 0 || path[end - 1] == ':' || path[end - 1] == '\\' || !AnsiText(path.substr(0, end), &level)) {
      continue;
    }
    const DWORD attributes = GetFileAttributesA(level.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return true;
  }
  return false;
}

bool HasForbiddenCharacter(const std::string& path) {
  const size_t start = IsDevicePath(path) ? 4 : 0;
  for (size_t at = start; at < path.size(); ++at) {
    const auto c = static_cast<unsigned char>(path[at]);
    if (c < 32 || c == '|') return true;
    if (c == ':' && at != start + 1) return true;
  }
  return false;
}

}  // namespace win32
}  // namespace platform
