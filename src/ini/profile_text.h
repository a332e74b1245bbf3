// Byte-level rules of the profile file format: which bytes are blanks, how
// names compare, and what one line of a file means. Everything here works on
// Windows-1252 bytes and is shared by reads, writes and the tests.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "common/octets.h"

namespace ini {

// Inline: every name and value of a run goes through them, several times.
// Blanks that the profile functions trim around names and values inside the
// file: space, tab and vertical tab (and nothing else).
inline bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v'; }
inline std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}
// Call arguments lose their outer spaces (0x20) only; a tab stays part of the name.
inline std::string_view TrimSpaces(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}
// What a C string argument holds: the bytes before the first NUL.
inline std::string_view UpToNul(std::string_view s) {
  return octets::Contient(s, '\0') ? s.substr(0, s.find('\0')) : s;
}
inline bool HasLineBreak(std::string_view s) { return octets::Contient(s, '\n', '\r'); }
// One outer pair of matching quotes (' or ") removed, as single-key reads do.
std::string_view Unquote(std::string_view s);

// Case folding of Windows-1252 letters as the profile functions compare names.
char FoldCase(char c);
std::string FoldName(std::string_view name);

// Hash and equality of names under that folding, for maps that look names up
// as they come, without building a folded copy first.
struct FoldedHash {
  using is_transparent = void;
  size_t operator()(std::string_view name) const;
};
struct FoldedEqual {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const;
};

enum class LineKind { kOther, kHeader, kKey, kComment };
struct LineInfo {
  LineKind kind = LineKind::kOther;
  std::string_view name;   // header: text between '[' and the first ']' trimmed; key: before '=' trimmed
  std::string_view value;  // key: everything after the first '=', untrimmed
};
// What one line (without its terminator) is to the profile functions.
LineInfo ClassifyLine(std::string_view line);

}  // namespace ini
