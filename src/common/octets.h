// Byte scans of the texts every key of a run goes through: a run checks
// thousands of names, paths and values, some of them long.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

namespace octets {

// Whether `s` holds one of the bytes `cs`. A short text is read as words of
// eight bytes, the last one ending with it (overlapping the one before), where
// a library search would cost more than it scans; a long one with one
// vectorised search per byte.
template <class... C>
bool Contient(std::string_view s, C... cs) {
  const char* p = s.data();
  const size_t n = s.size();
  if (n >= 64) return ((std::memchr(p, static_cast<unsigned char>(cs), n) != nullptr) || ...);
  constexpr uint64_t kUns = 0x0101010101010101ULL, kHauts = 0x8080808080808080ULL;
  // Exact for "some byte of w is c", whatever the other bytes hold.
  auto marque = [cs...](uint64_t w) {
    auto zeros = [](uint64_t x) { return (x - kUns) & ~x & kHauts; };
    return (zeros(w ^ (kUns * static_cast<unsigned char>(cs))) | ...) != 0;
  };
  auto mot = [](const char* q) {
    uint64_t w;
    std::memcpy(&w, q, 8);
    return w;
  };
  if (n >= 8) {
    for (size_t i = 0; i + 8 < n; i += 8)
      if (marque(mot(p + i))) return true;
    return marque(mot(p + n - 8));
  }
  if (n >= 4) {
    uint32_t a, b;
    std::memcpy(&a, p, 4);
    std::memcpy(&b, p + n - 4, 4);
    return marque(uint64_t{a} | uint64_t{b} << 32);
  }
  for (size_t i = 0; i < n; ++i)
    if (((p[i] == cs) || ...)) return true;
  return false;
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
