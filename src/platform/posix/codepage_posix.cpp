// Windows-1252, the code page of the suite's files. Only 0x80-0x9F differ from
// Latin-1; the five bytes the code page leaves undefined map to U+0081, U+008D,
// U+008F, U+0090 and U+009D, as Windows maps them, so that every byte
// round-trips. The table is written out: loading iconv's converters cost a
// headless run more than all its conversions.
#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "common/octets.h"
#include "platform/platform.h"

namespace platform {
namespace {

constexpr char16_t kC1[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// Every key of a settings run goes through here several times: the way back
// is an array for the first 256 code points and a short sorted list beyond.
struct Table {
  std::array<char32_t, 256> toUnicode{};
  std::array<int16_t, 256> fromLow{};                       // -1: no byte
  std::vector<std::pair<char32_t, unsigned char>> fromHigh;  // sorted by code point
  Table() {
    fromLow.fill(-1);
    for (int b = 0; b < 256; ++b) {
      const char32_t cp = b >= 0x80 && b < 0xA0 ? kC1[b - 0x80] : static_cast<char32_t>(b);
      toUnicode[b] = cp;
      if (cp < 0x100)
        fromLow[cp] = static_cast<int16_t>(b);
      else
        fromHigh.emplace_back(cp, static_cast<unsigned char>(b));
    }
    std::sort(fromHigh.begin(), fromHigh.end());
  }
  int byteOf(char32_t cp) const {
    if (cp < 0x100) return fromLow[cp];
    const auto it = std::lower_bound(fromHigh.begin(), fromHigh.end(), std::make_pair(cp, static_cast<unsigned char>(0)));
    return it != fromHigh.end() && it->first == cp ? it->second : -1;
  }
};

const Table& table() {
  static const Table t;
  return t;
}

void appendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace

bool ToAnsi(const std::string& utf8, std::string* ansi) {
  if (!octets::HorsAscii(utf8)) {
    if (ansi) *ansi = utf8;
    return true;
  }
  const Table& t = table();
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    if (b < 0x80) {
      out += static_cast<char>(b);
      ++i;
      continue;
    }
    const int extra = b >= 0xF8 ? -1 : b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : -1;
    if (extra < 0 || i + extra >= utf8.size()) return false;
    char32_t cp = b & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
      const auto c = static_cast<unsigned char>(utf8[i + k]);
      if ((c & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (c & 0x3F);
    }
    // An overlong form would smuggle a line break or a NUL past the writer's checks.
    constexpr char32_t kShortest[] = {0, 0x80, 0x800, 0x10000};
    if (cp < kShortest[extra]) return false;
    i += extra + 1;
    const int byte = t.byteOf(cp);
    if (byte < 0) return false;
    out += static_cast<char>(byte);
  }
  if (ansi) *ansi = std::move(out);
  return true;
}

std::string FromAnsi(const std::string& ansi) {
  if (!octets::HorsAscii(ansi)) return ansi;
  const Table& t = table();
  std::string out;
  out.reserve(ansi.size() + ansi.size() / 8);
  for (unsigned char b : ansi) appendUtf8(out, t.toUnicode[b]);
  return out;
}

}  // namespace platform
