// Files that start with the UTF-16LE mark stay UTF-16LE, read and written as Windows does.
#include <gtest/gtest.h>

#include <tuple>

#include "ini/profile_document.h"
#include "ini/profile_lookup.h"

namespace {

std::string U16(std::u16string_view s) {
  std::string out = "\xFF\xFE";
  for (char16_t c : s) {
    out += static_cast<char>(c & 0xFF);
    out += static_cast<char>(c >> 8);
  }
  return out;
}

TEST(ProfileUtf16, ReadAndWrittenAsUtf16) {
  const struct {
    const char* nom;
    std::u16string initial;
    std::string section, cle, valeur;  // Windows-1252, as the A functions take them
    std::u16string attendu;
  } cas[] = {
      {"BomOnly", u"", "Sec", "Key", "Val", u"\r\n[Sec]\r\nKey=Val\r\n"},
      {"NewKey", u"[S]\r\na=1\r\n", "S", "b", "\xE9t\xE9", u"[S]\r\na=1\r\nb=\u00E9t\u00E9\r\n"},
      {"Replace", u"[S]\r\nA = old\r\n", "s", "a", "\x80", u"[S]\r\nA=\u20AC\r\n"},
      // Characters the code page cannot hold stay in the lines nobody writes.
      {"OthersKept", u"; \u4E2D\U0001F600\r\n[\u00C9t\u00E9]\r\nk=\u4E2D\r\n", "\xC9T\xC9", "n", "1",
       u"; \u4E2D\U0001F600\r\n[\u00C9t\u00E9]\r\nk=\u4E2D\r\nn=1\r\n"},
  };
  for (const auto& c : cas) {
    ini::ProfileDocument doc(U16(c.initial));
    EXPECT_TRUE(doc.Write(c.section, c.cle, c.valeur)) << c.nom;
    EXPECT_EQ(doc.Serialize(), U16(c.attendu)) << c.nom;
    EXPECT_EQ(doc.Read(c.section, c.cle), c.valeur) << c.nom;
    EXPECT_EQ(ini::ProfileDocument(doc.Serialize()).Serialize(), U16(c.attendu)) << c.nom << ": round trip";
  }
}

TEST(ProfileUtf16, AFunctionsSeeAQuestionMarkWhereTheCodePageHasNoPlace) {
  const std::string file = U16(u"[S]\r\nk=a\u4E2Db\r\nw=\u00E9\u20AC\r\n");
  const ini::ProfileDocument doc(file);
  EXPECT_EQ(doc.Read("S", "k"), "a?b");
  EXPECT_EQ(doc.Read("s", "W"), "\xE9\x80");
  EXPECT_EQ(ini::ReadKey(file, "S", "k"), "a?b");
  // What `ini get` tells apart: no such section, or no such key in it.
  for (const auto& [section, cle, trouvee] : {std::tuple{"s", "k", true}, {"S", "absente", true}, {"T", "k", false}}) {
    bool sectionTrouvee = !trouvee;
    ini::ReadKey(file, section, cle, &sectionTrouvee);
    EXPECT_EQ(sectionTrouvee, trouvee) << section << " " << cle;
  }
  EXPECT_EQ(doc.Serialize(), file) << "nothing changes until a write";
  // Without the mark, the same bytes are no UTF-16 at all: nothing found.
  EXPECT_EQ(ini::ProfileDocument(file.substr(2)).Read("S", "k"), std::nullopt);
}

}  // namespace
