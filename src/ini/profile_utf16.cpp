#include "ini/profile_utf16.h"

#include <array>
#include <cstdint>

namespace ini {
namespace {

// Windows-1252's 0x80-0x9F; the five bytes it leaves undefined map as Windows maps them.
constexpr std::array<char16_t, 32> kHaut = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr char kHex[] = "0123456789abcdef";
constexpr size_t kEscape = 7;  // NUL and six hex digits
constexpr uint32_t kOctetSeul = 0xFFFF00;  // beyond every code point: a lone last byte

void escape(std::string& out, uint32_t valeur) {
  out += '\0';
  for (int shift = 20; shift >= 0; shift -= 4) out += kHex[(valeur >> shift) & 0xF];
}

// The byte of the code page for a character, or -1.
int octet(uint32_t c) {
  if (c == 0) return -1;  // a NUL in the text is kept as an escape
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<int>(c);
  for (size_t i = 0; i < kHaut.size(); ++i)
    if (kHaut[i] == c) return static_cast<int>(0x80 + i);
  return -1;
}

void unite(std::string& out, uint32_t u) {
  out += static_cast<char>(u & 0xFF);
  out += static_cast<char>(u >> 8);
}

}  // namespace

bool IsUtf16Le(std::string_view bytes) { return bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE'; }

std::string Utf16LeToImage(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() / 2);
  const auto u16 = [&](size_t i) {
    return static_cast<uint32_t>(static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8));
  };
  size_t i = 0;
  for (; i + 1 < bytes.size(); i += 2) {
    uint32_t c = u16(i);
    if (c >= 0xD800 && c <= 0xDBFF && i + 3 < bytes.size() && u16(i + 2) >= 0xDC00 && u16(i + 2) <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (u16(i + 2) - 0xDC00);
      i += 2;
    }
    const int b = octet(c);
    if (b >= 0)
      out += static_cast<char>(b);
    else
      escape(out, c);
  }
  if (i < bytes.size()) escape(out, kOctetSeul | static_cast<unsigned char>(bytes[i]));  // a last lone byte
  return out;
}

std::string ImageToUtf16Le(std::string_view image) {
  std::string out;
  out.reserve(image.size() * 2);
  for (size_t i = 0; i < image.size(); ++i) {
    const auto b = static_cast<unsigned char>(image[i]);
    if (b == 0 && i + kEscape <= image.size()) {
      uint32_t c = 0;
      for (size_t k = 1; k < kEscape; ++k) {
        const char h = image[i + k];
        c = (c << 4) | static_cast<uint32_t>(h <= '9' ? h - '0' : h - 'a' + 10);
      }
      i += kEscape - 1;
      if (c >= kOctetSeul) {
        out += static_cast<char>(c & 0xFF);
      } else if (c >= 0x10000) {
        unite(out, 0xD800 + ((c - 0x10000) >> 10));
        unite(out, 0xDC00 + ((c - 0x10000) & 0x3FF));
      } else {
        unite(out, c);
      }
      continue;
    }
    unite(out, b >= 0x80 && b <= 0x9F ? kHaut[b - 0x80] : b);
  }
  return out;
}

std::string ImageForAnsi(std::string_view value) {
  std::string out;
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '\0' && i + kEscape <= value.size()) {
      out += '?';
      i += kEscape - 1;
    } else {
      out += value[i];
    }
  }
  return out;
}

}  // namespace ini
