// Plain ASCII text: the same bytes in UTF-8 and in Windows-1252, so that most
// of the suite's text, and every path, needs no conversion at all.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

namespace platform::posix {

// Eight bytes at a time: it is asked of every key several times.
inline bool IsAscii(const std::string& s) {
  const char* p = s.data();
  size_t n = s.size();
  for (; n >= 8; p += 8, n -= 8) {
    uint64_t w;
    std::memcpy(&w, p, 8);
    if (w & 0x8080808080808080ull) return false;
  }
  for (; n > 0; ++p, --n)
    if (static_cast<unsigned char>(*p) >= 0x80) return false;
  return true;
}

}  // namespace platform::posix
