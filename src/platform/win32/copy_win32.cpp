// The copy a backup needs: a new file, never one that exists.
#include "platform/win32/commands_win32.h"
#include "platform/win32/win32_api.h"

namespace platform {

Copy CopyToNewFile(const std::string& from, const std::string& to, std::string* reason) {
  std::string ansiFrom, ansiTo;
  if (!win32::AnsiText(from, &ansiFrom) || !win32::AnsiText(to, &ansiTo)) {
    if (reason) *reason = "nom de copie incorrect";
    return Copy::Failed;
  }
  // A backup copies the file as a killed command's journal puts it back.
  win32::OwnCommand command;
  if (std::string why = win32::BeforeRead(from); !why.empty()) {
    if (reason) *reason = std::move(why);
    return Copy::Failed;
  }
  if (CopyFileA(ansiFrom.c_str(), ansiTo.c_str(), TRUE)) return Copy::Done;
  const DWORD error = GetLastError();
  if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) return Copy::Exists;
  if (reason) {
    switch (error) {
      case ERROR_ACCESS_DENIED:
        *reason = "accès refusé";
        break;
      case ERROR_DISK_FULL:
      case ERROR_HANDLE_DISK_FULL:
        *reason = "disque plein";
        break;
      case ERROR_FILE_NOT_FOUND:
      case ERROR_PATH_NOT_FOUND:
        *reason = "fichier introuvable";
        break;
      default:
        *reason = "erreur Windows " + std::to_string(error);
    }
  }
  return Copy::Failed;
}

}  // namespace platform
