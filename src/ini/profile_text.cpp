#include "ini/profile_text.h"

#include <array>
#include <cstdint>

#include "common/octets.h"

namespace ini {
namespace {

// Lower-case partner of every Windows-1252 byte: ASCII letters, the accented
// capitals C0..DE except the multiplication sign D7, and the four capitals
// that cp1252 keeps in the 0x80 row (Š Œ Ž Ÿ).
constexpr std::array<char, 256> MakeFoldTable() {
  std::array<char, 256> table{};
  for (int i = 0; i < 256; ++i) {
    int folded = i;
    if ((i >= 'A' && i <= 'Z') || (i >= 0xC0 && i <= 0xDE && i != 0xD7)) folded = i + 0x20;
    if (i == 0x8A || i == 0x8C || i == 0x8E) folded = i + 0x10;
    if (i == 0x9F) folded = 0xFF;
    table[i] = static_cast<char>(folded);
  }
  return table;
}
constexpr std::array<char, 256> kFold = MakeFoldTable();

}  // namespace






std::string_view Unquote(std::string_view s) {
  if (s.size() >= 2 && (s.front() == '"' || s.front() == '\'') && s.back() == s.front()) {
    return s.substr(1, s.size() - 2);
  }
  return s;
}

char FoldCase(char c) { return kFold[static_cast<unsigned char>(c)]; }

std::string FoldName(std::string_view name) {
  std::string folded(name);
  for (char& c : folded) c = FoldCase(c);
  return folded;
}

namespace {

constexpr uint64_t kHighBits = 0x8080808080808080ULL;

// Eight bytes at a time: plain ASCII folds with arithmetic (0x20 added to each
// of 'A'..'Z'); a word with a byte of 0x80 or more goes through the table.
uint64_t FoldWord(uint64_t w) {
  if ((w & kHighBits) == 0) {
    const uint64_t fromA = w + 0x3F3F3F3F3F3F3F3FULL;  // high bit set where byte >= 'A'
    const uint64_t pastZ = w + 0x2525252525252525ULL;  // high bit set where byte > 'Z'
    return w | ((fromA & ~pastZ & kHighBits) >> 2);
  }
  uint64_t folded = 0;
  for (int i = 0; i < 8; ++i)
    folded |= uint64_t{static_cast<unsigned char>(FoldCase(static_cast<char>(w >> (8 * i))))} << (8 * i);
  return folded;
}

}  // namespace

size_t FoldedHash::operator()(std::string_view name) const {
  uint64_t h = name.size() * 0x9E3779B97F4A7C15ULL;
  octets::UnMot(name, [&h](uint64_t w) {
    h = (h ^ FoldWord(w)) * 0xFF51AFD7ED558CCDULL;
    h ^= h >> 29;
    return false;
  });
  return static_cast<size_t>(h);
}

bool FoldedEqual::operator()(std::string_view a, std::string_view b) const {
  const size_t n = a.size();
  if (n != b.size()) return false;
  if (n == 0) return true;
  auto same = [](uint64_t x, uint64_t y) { return x == y || FoldWord(x) == FoldWord(y); };
  const char *p = a.data(), *q = b.data();
  if (n < 8) return same(octets::MotCourt(p, n), octets::MotCourt(q, n));
  for (size_t i = 0; i + 8 < n; i += 8)
    if (!same(octets::Mot(p + i), octets::Mot(q + i))) return false;
  return same(octets::Mot(p + n - 8), octets::Mot(q + n - 8));
}

LineInfo ClassifyLine(std::string_view line) {
  std::string_view rest = line;
  while (!rest.empty() && IsBlank(rest.front())) rest.remove_prefix(1);
  if (rest.empty()) return {};
  if (rest.front() == ';') return {LineKind::kComment, {}, {}};
  if (rest.front() == '[') {
    // The name ends at the first ']', or at the end of the line when there is none.
    std::string_view name = rest.substr(1);
    name = name.substr(0, name.find(']'));
    return {LineKind::kHeader, TrimBlanks(name), {}};
  }
  const size_t eq = rest.find('=');
  if (eq == std::string_view::npos) return {};
  return {LineKind::kKey, TrimBlanks(rest.substr(0, eq)), rest.substr(eq + 1)};
}

}  // namespace ini
