#include "setup_window/win32/texte_large.h"

#include <cwchar>

#include "setup_window/win32/api_fenetre.h"

namespace fenetre::win32 {

std::wstring Large(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring large(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), large.data(), n);
  return large;
}

std::string Etroit(const std::wstring& utf16) {
  if (utf16.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()), nullptr, 0, nullptr, nullptr);
  std::string etroit(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()), etroit.data(), n, nullptr, nullptr);
  return etroit;
}

std::string Etroit(const wchar_t* utf16) { return utf16 ? Etroit(std::wstring(utf16)) : std::string(); }

}  // namespace fenetre::win32
