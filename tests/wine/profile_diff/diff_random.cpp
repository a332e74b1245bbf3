// Random cases for the differential test. Everything generated stays clear of
// the points where Wine differs from Windows (those are covered by the k-
// cases instead), so any disagreement here is a fault of ours:
//  - names vary the case of ASCII letters only: Wine does not fold accented
//    letters; we fold them, as Windows does;
//  - no section "" and no content before the first header is ever addressed;
//  - values written have no leading or trailing blanks (Wine trims them);
//  - name arguments carry extra spaces only, never tabs (Wine strips all blanks),
//    and trailing ones only when reading (Wine keeps them when writing);
//  - no NUL, BOM, form feed, text after ']' or header without ']' in files;
//  - no key is ever written that starts with ';' and, in every file, comments
//    and lines without '=' are followed by a key line of the same section
//    (Wine puts new keys after them; Windows before them).
#include <random>
#include <string>

#include "diff_cases.h"

namespace profile_diff {
namespace {

const char* const kSections[] = {"General", "Stations", "\xC9t\xE9", "\x8Cuvre", "Son 1", "x", "Radio_Pub", "\xC7" "a va"};
const char* const kKeys[] = {"k", "Key", "cl\xE9", "Nom_Long", "a b", "\xC0 faire", "v2", "\x9Fves", "DossierSons"};
const char* const kValues[] = {
    "", "1", "Hello World", "C:\\Kelvaro\\Ilvane\\", "\"quoted\"", "'single'", "\"mixed'", "a=b",
    ";semi", "#hash", "\xE9 \xE8 \xE0 \xE7 \x9C \xFF", "\x80\x81\x8D\x8F\x90\x9D", "tab\tinside",
    "[not a header]", "x]y", "0", "-1"};

class Gen {
 public:
  explicit Gen(uint32_t seed) : rng_(seed) {}
  size_t Below(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(rng_); }
  bool OneIn(size_t n) { return Below(n) == 0; }
  template <size_t N>
  std::string Pick(const char* const (&pool)[N]) { return pool[Below(N)]; }

  std::string Cased(std::string name) {
    for (char& c : name) {
      if (OneIn(3) && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) c ^= 0x20;
    }
    return name;
  }
  // Trailing spaces only where Wine strips them too: in read arguments.
  std::string Spaced(std::string name, bool trailing) {
    if (OneIn(4)) name = std::string(1 + Below(2), ' ') + name;
    if (trailing && OneIn(4)) name += std::string(1 + Below(2), ' ');
    return name;
  }
  std::string Value() {
    return OneIn(12) ? std::string(10 + Below(230), static_cast<char>('a' + Below(26))) : Pick(kValues);
  }
  std::string Blanks() {
    static const char* const kBlanks[] = {"", " ", "  ", "\t", " \t", "\v"};
    return kBlanks[Below(std::size(kBlanks))];
  }
  std::string Eol() { return OneIn(5) ? "\n" : (OneIn(6) ? "\r" : "\r\n"); }

 private:
  std::mt19937 rng_;
};

// Canonical form: "[name]" and "name=value" lines, CRLF, comments right before keys.
std::string CanonicalFile(Gen& g, std::vector<std::string>& sections, std::vector<std::string>& keys) {
  std::string file;
  for (size_t s = g.Below(5); s > 0; --s) {
    sections.push_back(g.Pick(kSections));
    file += "[" + g.Cased(sections.back()) + "]\r\n";
    for (size_t k = g.Below(6); k > 0; --k) {
      if (g.OneIn(5)) file += ";" + g.Pick(kValues) + "\r\n";
      keys.push_back(g.Pick(kKeys));
      file += g.Cased(keys.back()) + "=" + g.Value() + "\r\n";
    }
  }
  return file;
}

// Wild form: odd spacing, blank lines, mixed line ends, junk before the first header.
std::string WildFile(Gen& g, std::vector<std::string>& sections, std::vector<std::string>& keys) {
  std::string file;
  auto filler = [&] {
    static const char* const kFiller[] = {"; c = d", ";x", "  ;y=z", "noeq", " junk words "};
    return std::string(kFiller[g.Below(std::size(kFiller))]);
  };
  auto keyLine = [&](const std::string& key) {
    return g.Blanks() + g.Cased(key) + g.Blanks() + "=" + g.Blanks() + g.Value() + g.Blanks();
  };
  if (g.OneIn(3)) {
    for (size_t i = 1 + g.Below(3); i > 0; --i) file += (g.OneIn(2) ? filler() : keyLine("pre")) + g.Eol();
  }
  for (size_t s = 1 + g.Below(4); s > 0; --s) {
    sections.push_back(g.Pick(kSections));
    file += g.Blanks() + "[" + g.Blanks() + g.Cased(sections.back()) + g.Blanks() + "]" + g.Blanks() + g.Eol();
    for (size_t k = g.Below(6); k > 0; --k) {
      if (g.OneIn(4)) file += g.Blanks() + g.Eol();
      if (g.OneIn(4)) file += filler() + g.Eol();
      keys.push_back(g.Pick(kKeys));
      file += keyLine(keys.back()) + g.Eol();
    }
    if (g.OneIn(3)) file += g.Blanks() + g.Eol();
  }
  if (g.OneIn(3) && file.size() >= 2 && file.back() == '\n') file.resize(file.size() - (file[file.size() - 2] == '\r' ? 2 : 1));
  return file;
}

Case RandomCase(Gen& g, bool wild, int index) {
  std::vector<std::string> sections, keys;
  Case c;
  c.name = (wild ? "w-random-" : "x-random-") + std::to_string(index);
  if (wild || !g.OneIn(8)) c.initial = wild ? WildFile(g, sections, keys) : CanonicalFile(g, sections, keys);
  for (size_t n = 4 + g.Below(11); n > 0; --n) {
    std::string section = !sections.empty() && !g.OneIn(4) ? sections[g.Below(sections.size())] : g.Pick(kSections);
    std::string key = !keys.empty() && !g.OneIn(3) ? keys[g.Below(keys.size())] : g.Pick(kKeys);
    const bool read = g.OneIn(5);
    section = g.Spaced(g.Cased(section), read);
    key = g.Spaced(g.Cased(key), read);
    if (read) {
      c.ops.push_back({'R', section, key, {}});
    } else {
      c.ops.push_back({'W', section, key, g.Value()});
      if (g.OneIn(2)) c.ops.push_back({'R', g.Spaced(g.Cased(section), true), g.Spaced(g.Cased(key), true), {}});
    }
  }
  return c;
}

}  // namespace

std::vector<Case> RandomCases(uint32_t seed, int count) {
  Gen g(seed);
  std::vector<Case> cases;
  for (int i = 0; i < count; ++i) cases.push_back(RandomCase(g, false, i));
  for (int i = 0; i < count; ++i) cases.push_back(RandomCase(g, true, i));
  return cases;
}

}  // namespace profile_diff
