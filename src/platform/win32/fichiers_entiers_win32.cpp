// Whole profile files on Windows: the names they hold, as the profile functions
// list them, a file put back whole (a restore), and the backups beside it.
#include <algorithm>
#include <vector>

#include "platform/win32/commands_win32.h"
#include "platform/win32/win32_api.h"

namespace platform {
namespace {

using win32::AnsiText;

// A double-NUL-terminated list as the profile functions return it, grown until it fits.
template <class F>
std::vector<std::string> liste(F&& appel) {
  std::vector<char> tampon;
  DWORD n = 0;
  for (DWORD taille = 4096;; taille *= 2) {
    tampon.assign(taille, '\0');
    n = appel(tampon.data(), taille);
    if (n < taille - 2 || taille >= (64u << 20)) break;
  }
  std::vector<std::string> noms;
  for (size_t i = 0; i < n;) {
    const size_t fin = std::find(tampon.begin() + static_cast<long>(i), tampon.begin() + static_cast<long>(n), '\0') -
                       tampon.begin();
    noms.push_back(FromAnsi(std::string(tampon.data() + i, fin - i)));
    i = fin + 1;
  }
  return noms;
}

bool memeNom(const std::string& a, const std::string& b) {
  std::wstring x, y;
  return win32::WideFromUtf8(a, &x) && win32::WideFromUtf8(b, &y) &&
         CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, x.c_str(), -1, y.c_str(), -1) == CSTR_EQUAL;
}

}  // namespace

std::optional<std::vector<std::string>> ProfileSectionNames(const std::string& file) {
  std::string f;
  if (!AnsiText(file, &f)) return std::nullopt;
  win32::OwnCommand command;
  if (!win32::BeforeRead(file).empty()) return std::nullopt;  // a FIFO or a device: no file to read
  const uint32_t a = GetAttributes(file);
  if (a == kInvalidAttributes || (a & kAttrDirectory)) return std::nullopt;
  return liste([&](char* t, DWORD n) { return GetPrivateProfileSectionNamesA(t, n, f.c_str()); });
}

std::optional<std::vector<std::string>> ProfileKeyNames(const std::string& file, const std::string& section) {
  std::string f, s;
  if (!AnsiText(file, &f) || !AnsiText(section, &s)) return std::nullopt;
  win32::OwnCommand command;
  const std::optional<std::vector<std::string>> sections = ProfileSectionNames(file);
  // An empty list does not tell a missing section from an empty one: the names do.
  std::string cherche = section;
  cherche.erase(0, cherche.find_first_not_of(' '));
  cherche.erase(cherche.find_last_not_of(' ') + 1);
  if (!sections || std::none_of(sections->begin(), sections->end(),
                                [&](const std::string& n) { return memeNom(n, cherche); }))
    return std::nullopt;
  return liste([&](char* t, DWORD n) { return GetPrivateProfileStringA(s.c_str(), nullptr, "", t, n, f.c_str()); });
}

bool ReplaceWholeFile(const std::string& file, const std::string& bytes, std::string* reason) {
  std::wstring cible;
  if (!win32::WideFromUtf8(file, &cible)) return (*reason = "nom de fichier incorrect", false);
  // Under the folder's lock, over what a killed command's journal puts back.
  win32::OwnCommand command;
  if (std::string why = win32::BeforeRead(file); !why.empty()) return (*reason = std::move(why), false);
  const std::wstring temporaire = cible + L".il3-restauration";
  HANDLE h = CreateFileW(temporaire.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return (*reason = "accès refusé", false);
  DWORD ecrits = 0;
  const bool ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &ecrits, nullptr) &&
                  ecrits == bytes.size() && FlushFileBuffers(h);
  CloseHandle(h);
  // One rename replaces the old file whole: a reader sees the old one or the new one. ReplaceFileW
  // keeps the old file's attributes and access rights on the new one.
  if (!ok || (!ReplaceFileW(cible.c_str(), temporaire.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) &&
              !MoveFileExW(temporaire.c_str(), cible.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))) {
    DeleteFileW(temporaire.c_str());
    *reason = ok ? "remplacement du fichier refusé" : "écriture impossible (disque plein ?)";
    return false;
  }
  return true;
}

std::vector<std::string> FilesMatching(const std::string& folder, const std::string& pattern) {
  std::vector<std::string> noms;
  std::wstring motif;
  if (!win32::WideFromUtf8(folder + pattern, &motif)) return noms;
  WIN32_FIND_DATAW d{};
  HANDLE h = FindFirstFileW(motif.c_str(), &d);
  if (h == INVALID_HANDLE_VALUE) return noms;
  do {
    if (!(d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) noms.push_back(win32::Utf8FromWide(d.cFileName));
  } while (FindNextFileW(h, &d));
  FindClose(h);
  return noms;
}

bool DeleteOneFile(const std::string& path) {
  std::wstring w;
  return win32::WideFromUtf8(path, &w) && DeleteFileW(w.c_str());
}

}  // namespace platform
