// Byte scans of the texts every key of a run goes through: a run checks
// thousands of paths and values, some of them long.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

namespace octets {

// Whether `s` holds one of `cs`: one vectorised search per byte sought, or for
// a short text, where a search costs more than it scans, one pass.
template <class... C>
bool Contient(std::string_view s, C... cs) {
  if (s.size() < 32) {
    for (const char c : s)
      if (((c == cs) || ...)) return true;
    return false;
  }
  return ((std::memchr(s.data(), static_cast<unsigned char>(cs), s.size()) != nullptr) || ...);
}

// Whether `s` holds a byte of 0x80 or more, eight bytes at a time.
inline bool HorsAscii(std::string_view s) {
  size_t i = 0;
  for (; i + 8 <= s.size(); i += 8) {
    uint64_t w;
    std::memcpy(&w, s.data() + i, 8);
    if (w & 0x8080808080808080ULL) return true;
  }
  for (; i < s.size(); ++i)
    if (static_cast<unsigned char>(s[i]) >= 0x80) return true;
  return false;
}

}  // namespace octets
