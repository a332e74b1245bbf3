// INI text is 8-bit text in the active ANSI code page; the program's strings
// are UTF-8. A character the code page cannot hold is refused, never replaced.
#include <algorithm>

#include "platform/win32/win32_api.h"

namespace platform {
namespace {

using win32::WideFromUtf8;

size_t SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xF0) return 4;
  if (lead >= 0xE0) return 3;
  if (lead >= 0xC0) return 2;
  return 1;
}

}  // namespace

bool ToAnsi(const std::string& utf8, std::string* ansi) {
  // Callers that only ask whether the text fits pass no output.
  std::string ignored;
  std::string& out = ansi != nullptr ? *ansi : ignored;
  out.clear();
  std::wstring wide;
  if (!WideFromUtf8(utf8, &wide)) return false;
  if (wide.empty()) return true;
  // With UTF-8 as the system code page every character fits, and the
  // conversion below would reject its flags.
  if (GetACP() == CP_UTF8) {
    out = utf8;
    return true;
  }
  const int length = static_cast<int>(wide.size());
  BOOL usedDefault = FALSE;
  const int count =
      WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), length, nullptr, 0, nullptr, &usedDefault);
  if (count <= 0 || usedDefault) return false;
  std::string converted(static_cast<size_t>(count), '\0');
  usedDefault = FALSE;
  if (WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), length, converted.data(), count, nullptr,
                          &usedDefault) != count ||
      usedDefault) {
    return false;
  }
  out = std::move(converted);
  return true;
}

std::string FromAnsi(const std::string& ansi) {
  if (ansi.empty()) return {};
  const int length = static_cast<int>(ansi.size());
  const int count = MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, nullptr, 0);
  if (count <= 0) return {};
  std::wstring wide(static_cast<size_t>(count), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, wide.data(), count);
  return win32::Utf8FromWide(wide);
}

namespace win32 {

bool WideFromUtf8(const std::string& utf8, std::wstring* wide) {
  wide->clear();
  if (utf8.empty()) return true;
  const int length = static_cast<int>(utf8.size());
  const int count = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, nullptr, 0);
  if (count <= 0) return false;
  wide->resize(static_cast<size_t>(count));
  return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, wide->data(), count) == count;
}

bool AnsiText(const std::string& utf8, std::string* ansi) {
  return utf8.find('\0') == std::string::npos && ToAnsi(utf8, ansi);
}

std::string Utf8FromWide(const std::wstring& wide) {
  if (wide.empty()) return {};
  const int length = static_cast<int>(wide.size());
  const int count = WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
  if (count <= 0) return {};
  std::string out(static_cast<size_t>(count), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, out.data(), count, nullptr, nullptr);
  return out;
}

std::string FirstUnwritable(const std::string& utf8) {
  for (size_t at = 0; at < utf8.size();) {
    const size_t length = std::min(SequenceLength(static_cast<unsigned char>(utf8[at])), utf8.size() - at);
    const std::string character = utf8.substr(at, length);
    if (!ToAnsi(character, nullptr)) {
      std::wstring wide;
      return WideFromUtf8(character, &wide) ? character : std::string("\xEF\xBF\xBD");  // U+FFFD
    }
    at += length;
  }
  return {};
}

}  // namespace win32
}  // namespace platform
