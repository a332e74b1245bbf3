// Byte scans of the texts every key of a run goes through, eight bytes at a
// time: a run checks thousands of paths and values, some of them long.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

namespace octets {

constexpr uint64_t kUns = 0x0101010101010101ULL;
constexpr uint64_t kHauts = 0x8080808080808080ULL;

// Whether some byte of `w` is `c` (exact, whatever the other bytes hold).
constexpr bool Contient(uint64_t w, unsigned char c) {
  const uint64_t x = w ^ (kUns * c);
  return ((x - kUns) & ~x & kHauts) != 0;
}

// Whether `s` holds one of `cs`, or with `horsAscii` a byte of 0x80 or more.
template <class... C>
bool Contient(std::string_view s, bool horsAscii, C... cs) {
  size_t i = 0;
  for (; i + 8 <= s.size(); i += 8) {
    uint64_t w;
    std::memcpy(&w, s.data() + i, 8);
    if ((horsAscii && (w & kHauts)) || (Contient(w, static_cast<unsigned char>(cs)) || ...)) return true;
  }
  for (; i < s.size(); ++i) {
    const auto b = static_cast<unsigned char>(s[i]);
    if ((horsAscii && b >= 0x80) || ((b == static_cast<unsigned char>(cs)) || ...)) return true;
  }
  return false;
}

}  // namespace octets
