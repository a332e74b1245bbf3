// Randomised checks over many small files: untouched text survives byte for
// byte, every accepted write reads back, and the index kept across edits always
// agrees with a fresh parse of the same bytes. Seeds are fixed, so a failure
// reproduces.
#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "ini/profile_document.h"
#include "ini/profile_lookup.h"
#include "ini/profile_text.h"

namespace {

// Bytes that matter to the format, weighted towards structure.
constexpr char kAlphabet[] = "[[]]==;; \t\v\r\n\r\n\"'abAB\xE9\xC9\xFF\x9F\x8A\x9A#";

class Gen {
 public:
  explicit Gen(uint32_t seed) : rng_(seed) {}
  size_t Below(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(rng_); }
  bool OneIn(size_t n) { return Below(n) == 0; }
  std::string Text(size_t maxLen) {
    std::string s(Below(maxLen + 1), ' ');
    for (char& c : s) c = OneIn(40) ? '\0' : kAlphabet[Below(sizeof kAlphabet - 1)];
    return s;
  }
  std::string Word() {
    static const char* const kWords[] = {"a", "A", "b", "k", "K", "S", "s", "\xE9t\xE9", "\xC9T\xC9", ""};
    return kWords[Below(std::size(kWords))];
  }
  std::string Name() { return OneIn(4) ? Text(4) : (OneIn(5) ? " " : "") + Word(); }
  std::string Line() {
    switch (Below(6)) {
      case 0: return "[" + Name() + (OneIn(5) ? "" : "]");
      case 1: return Name() + "=" + Text(5);
      case 2: return ";" + Text(4);
      case 3: return "";
      default: return Text(8);
    }
  }
  std::string File() {
    std::string s;
    const size_t lines = Below(12);
    for (size_t i = 0; i < lines; ++i) {
      static const char* const kEols[] = {"\r\n", "\r\n", "\n", "\r"};
      s += Line() + (i + 1 == lines && OneIn(3) ? "" : kEols[Below(4)]);
    }
    return s;
  }

 private:
  std::mt19937 rng_;
};

bool NameReadsBack(std::string_view name, bool isKey) {
  name = ini::TrimSpaces(name);
  if (ini::TrimBlanks(name) != name || name.find_first_of(std::string_view("\r\n\0]", 4)) != name.npos) {
    return false;
  }
  return !isKey || (name.find('=') == name.npos && (name.empty() || (name[0] != ';' && name[0] != '[')));
}

bool ValueReadsBack(std::string_view v) {
  return !ini::HasLineBreak(v) && v.find('\0') == v.npos && ini::TrimBlanks(v) == v &&
         ini::Unquote(v) == v;
}

TEST(ProfileRandom, UntouchedTextRoundTrips) {
  Gen gen(1);
  for (int i = 0; i < 20000; ++i) {
    const std::string bytes = gen.OneIn(2) ? gen.File() : gen.Text(40);
    ASSERT_EQ(ini::ProfileDocument(bytes).Serialize(), bytes);
  }
  std::mt19937 rng(2);
  for (int i = 0; i < 2000; ++i) {  // any byte at all
    std::string bytes(rng() % 200, '\0');
    for (char& c : bytes) c = static_cast<char>(rng());
    ASSERT_EQ(ini::ProfileDocument(bytes).Serialize(), bytes);
  }
}

TEST(ProfileRandom, WritesReadBackAndIndexMatchesFreshParse) {
  Gen gen(3);
  for (int round = 0; round < 1500; ++round) {
    const std::string initial = gen.File();
    ini::ProfileDocument doc(initial);
    std::vector<std::pair<std::string, std::string>> probes;
    for (int op = 0; op < 25; ++op) {
      const std::string section = gen.Name(), key = gen.Name();
      const std::string value = gen.OneIn(3) ? gen.Text(6) : gen.Word();
      probes.emplace_back(section, key);
      const std::string before = doc.Serialize();
      const bool changed = doc.Write(section, key, value);
      const std::string after = doc.Serialize();
      ASSERT_EQ(changed, before != after) << "initial: " << testing::PrintToString(initial);
      if (NameReadsBack(section, false) && NameReadsBack(key, true) && ValueReadsBack(value)) {
        ASSERT_EQ(doc.Read(section, key), value) << testing::PrintToString(after);
      }
      const ini::ProfileDocument fresh(after);
      for (const auto& [s, k] : probes) {
        ASSERT_EQ(doc.Read(s, k), fresh.Read(s, k)) << testing::PrintToString(after);
      }
    }
  }
}

// A read and its write made in one pass (the key looked up once) leave what a
// Read then a WritePlain leave, even with the document changed in between.
TEST(ProfileRandom, AReadAndItsWriteInOnePassMatchReadThenWrite) {
  Gen gen(5);
  auto plain = [](const std::string& t) { return t.find_first_of(std::string_view("\r\n\0", 3)) == t.npos; };
  for (int round = 0; round < 1500; ++round) {
    const std::string initial = gen.File();
    ini::ProfileDocument une(initial), deux(initial);
    for (int op = 0; op < 25; ++op) {
      const std::string section = gen.Name(), key = gen.Name(), value = gen.OneIn(3) ? gen.Text(6) : gen.Word();
      if (!plain(section) || !plain(key) || !plain(value)) continue;
      ini::ProfileDocument::Place place;
      ASSERT_EQ(une.Find(section, key, &place), deux.Read(section, key));
      const bool entre = gen.OneIn(6);  // another write between the two halves
      if (entre) {  // the very key, or one beside it
        const std::string autre = gen.OneIn(2) ? section : section + "x";
        une.WritePlain(autre, key, value + "y");
        deux.WritePlain(autre, key, value + "y");
      }
      bool ajoutee1 = false, ajoutee2 = false;
      ASSERT_EQ(une.WriteAt(place, value, &ajoutee1), deux.WritePlain(section, key, value, &ajoutee2));
      ASSERT_EQ(ajoutee1, ajoutee2);
      ASSERT_EQ(une.Serialize(), deux.Serialize()) << testing::PrintToString(initial);
    }
  }
}

// A single key looked up in the bytes gives what the whole document gives, on
// files full of repeated sections, keys before any header, odd line ends.
TEST(ProfileRandom, ALookupInTheBytesReadsAsTheDocument) {
  Gen gen(4);
  for (int round = 0; round < 20000; ++round) {
    const std::string bytes = gen.OneIn(8) ? gen.Text(40) : gen.File() + gen.File();
    const ini::ProfileDocument doc(bytes);
    for (int probe = 0; probe < 6; ++probe) {
      const std::string section = gen.Name(), key = gen.Name();
      bool sectionFound = false;
      ASSERT_EQ(ini::ReadKey(bytes, section, key, &sectionFound), doc.Read(section, key))
          << testing::PrintToString(bytes) << " [" << section << "] " << key;
      ASSERT_EQ(sectionFound, doc.HasSection(section)) << testing::PrintToString(bytes) << " [" << section << "]";
    }
  }
}

// Reads and writes must not scan the file: a document of 100,000 keys is
// built and then updated one key at a time, which would take minutes if
// each call were linear in the file size.
TEST(ProfileScale, HundredThousandKeysStayCheap) {
  const auto start = std::chrono::steady_clock::now();
  ini::ProfileDocument doc;
  for (int i = 0; i < 100000; ++i) doc.Write("S" + std::to_string(i % 7), "key" + std::to_string(i), "v");
  for (int i = 0; i < 100000; ++i) {
    const std::string section = "s" + std::to_string(i % 7), key = "KEY" + std::to_string(i);
    ASSERT_EQ(doc.Read(section, key), "v");
    doc.Write(section, key, "w" + std::to_string(i));
  }
  EXPECT_EQ(doc.Read("S3", "key99998"), "w99998");
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_LT(seconds, 10.0);
}

}  // namespace
