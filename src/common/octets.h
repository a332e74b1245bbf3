// Byte scans of the texts every key of a run goes through: a run checks
// thousands of names, paths and values, some of them long.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace octets {

// A text is read as words of eight bytes, the last one ending with it (and
// overlapping the one before); a shorter text makes one word of its own bytes,
// repeated. Every byte is in some word, no word holds a byte the text does not,
// two texts of one length are cut alike, and no loop runs over single bytes.
inline uint64_t Mot(const char* p) {
  uint64_t w;
  std::memcpy(&w, p, 8);
  return w;
}
inline uint64_t MotCourt(const char* p, size_t n) {  // 0 < n < 8
  if (n >= 4) {
    uint32_t a, b;
    std::memcpy(&a, p, 4);
    std::memcpy(&b, p + n - 4, 4);
    return uint64_t{a} | uint64_t{b} << 32;
  }
  const uint64_t trois = uint64_t{static_cast<unsigned char>(p[0])} |
                         uint64_t{static_cast<unsigned char>(p[n / 2])} << 8 |
                         uint64_t{static_cast<unsigned char>(p[n - 1])} << 16;
  return trois | trois << 24 | trois << 48;
}

// `f` for each word of `s`, in order, until it returns true; whether one did.
template <class F>
bool UnMot(std::string_view s, F f) {
  const char* p = s.data();
  const size_t n = s.size();
  if (n == 0) return false;
  if (n < 8) return f(MotCourt(p, n));
  for (size_t i = 0; i + 8 < n; i += 8)
    if (f(Mot(p + i))) return true;
  return f(Mot(p + n - 8));
}

#if defined(__SSE2__)
// Sixteen bytes at a time, the last block ending with the text (and overlapping
// the one before): `f` gets the mask of each block, until it returns true.
template <class F>
bool UnBloc(std::string_view s, F f) {
  const char* p = s.data();
  const size_t n = s.size();
  for (size_t i = 0; i + 16 < n; i += 16)
    if (f(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i)))) return true;
  return f(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + n - 16)));
}
#endif

// Whether `s` holds one of the bytes `cs`: word by word for a short text, where a
// library search would cost more than it scans, sixteen bytes at a time for a
// longer one (one vectorised search per byte where the processor has no SSE2).
template <class... C>
bool Contient(std::string_view s, C... cs) {
#if defined(__SSE2__)
  if (s.size() >= 16)
    return UnBloc(s, [cs...](__m128i b) {
      return _mm_movemask_epi8((_mm_cmpeq_epi8(b, _mm_set1_epi8(static_cast<char>(cs))) | ...)) != 0;
    });
#else
  if (s.size() >= 64) return ((std::memchr(s.data(), static_cast<unsigned char>(cs), s.size()) != nullptr) || ...);
#endif
  constexpr uint64_t kUns = 0x0101010101010101ULL, kHauts = 0x8080808080808080ULL;
  // Exact for "some byte of w is c", whatever the other bytes hold.
  return UnMot(s, [cs...](uint64_t w) {
    auto zeros = [](uint64_t x) { return (x - kUns) & ~x & kHauts; };
    return (zeros(w ^ (kUns * static_cast<unsigned char>(cs))) | ...) != 0;
  });
}

// Whether `s` is plain ASCII without a NUL or a line break, and without any of
// the bytes `cs`: what almost every name and value of a run is, in one scan.
template <class... C>
bool Ordinaire(std::string_view s, C... cs) {
#if defined(__SSE2__)
  if (s.size() >= 16)
    return !UnBloc(s, [cs...](__m128i b) {
      __m128i refus = _mm_cmpeq_epi8(b, _mm_setzero_si128()) | _mm_cmpeq_epi8(b, _mm_set1_epi8('\r')) |
                      _mm_cmpeq_epi8(b, _mm_set1_epi8('\n')) | b;
      ((refus |= _mm_cmpeq_epi8(b, _mm_set1_epi8(static_cast<char>(cs)))), ...);
      return _mm_movemask_epi8(refus) != 0;
    });
#endif
  constexpr uint64_t kUns = 0x0101010101010101ULL, kHauts = 0x8080808080808080ULL;
  return !UnMot(s, [cs...](uint64_t w) {
    auto zeros = [](uint64_t x) { return (x - kUns) & ~x & kHauts; };
    uint64_t refus = (w & kHauts) | zeros(w) | zeros(w ^ (kUns * '\r')) | zeros(w ^ (kUns * '\n'));
    ((refus |= zeros(w ^ (kUns * static_cast<unsigned char>(cs)))), ...);
    return refus != 0;
  });
}

// Whether `s` holds a byte of 0x80 or more.
inline bool HorsAscii(std::string_view s) {
#if defined(__SSE2__)
  if (s.size() >= 16) return UnBloc(s, [](__m128i b) { return _mm_movemask_epi8(b) != 0; });
#endif
  return UnMot(s, [](uint64_t w) { return (w & 0x8080808080808080ULL) != 0; });
}

// Where the first CR or LF of `s` is, or npos: a file's lines are cut at them,
// sixteen bytes looked at a time.
inline size_t PremierSaut(std::string_view s) {
  const char* p = s.data();
  const size_t n = s.size();
  size_t i = 0;
#if defined(__SSE2__)
  const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n');
  for (; i + 16 <= n; i += 16) {
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
    if (const int m = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(b, cr), _mm_cmpeq_epi8(b, lf))))
      return i + static_cast<size_t>(__builtin_ctz(static_cast<unsigned>(m)));
  }
#endif
  for (; i < n; ++i)
    if (p[i] == '\r' || p[i] == '\n') return i;
  return std::string_view::npos;
}

}  // namespace octets
