// Names compare folded without a folded copy: the word-at-a-time hash and
// equality must agree with the byte-by-byte fold for every length and byte.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "common/octets.h"
#include "ini/profile_document.h"
#include "ini/profile_text.h"

namespace {

// Every byte with a different case partner, and bytes that have none.
const std::string kLettres = "AZaz\xC0\xDE\xE0\xFE\x8A\x9A\x8C\x9C\x8E\x9E\x9F\xFF";
const std::string kAutres = "09_ \t\x01\xD7\xF7\x80\xA0";

char Partenaire(char c) {
  for (int i = 0; i < 256; ++i)
    if (static_cast<char>(i) != c && ini::FoldCase(static_cast<char>(i)) == ini::FoldCase(c)) return static_cast<char>(i);
  return c;
}

TEST(FoldedNames, HashAndEqualityAgreeWithTheFoldAtEveryLengthAndPosition) {
  std::mt19937 aleas(7);
  const std::string octets = kLettres + kAutres;
  const ini::FoldedHash hash;
  const ini::FoldedEqual egal;
  for (size_t n = 0; n <= 70; ++n) {
    std::string nom;
    for (size_t i = 0; i < n; ++i) nom += octets[aleas() % octets.size()];
    for (size_t i = 0; i < n; ++i) {
      std::string autreCasse = nom, autre = nom;
      autreCasse[i] = Partenaire(nom[i]);
      autre[i] = ini::FoldCase(nom[i]) == '0' ? '1' : '0';
      EXPECT_TRUE(egal(nom, autreCasse)) << n << " " << i;
      EXPECT_EQ(hash(nom), hash(autreCasse)) << n << " " << i;
      EXPECT_EQ(egal(nom, autre), ini::FoldName(nom) == ini::FoldName(autre)) << n << " " << i;
    }
    EXPECT_FALSE(egal(nom, nom + "x"));
  }
}

// The word-at-a-time scans: the first NUL, any line break, any byte past ASCII, at every length
// and position, among bytes that a borrow could mistake for them.
TEST(FoldedNames, ScansFindTheFirstByteAtEveryLengthAndPosition) {
  for (size_t n = 0; n <= 80; ++n) for (const char octet : {'\xFF', '\x01', '\x0B'}) {
    const std::string fond(n, octet);
    EXPECT_EQ(ini::UpToNul(fond), fond);
    EXPECT_FALSE(ini::HasLineBreak(fond));
    for (size_t i = 0; i < n; ++i) {
      std::string t = fond;
      t[i] = '\0';
      if (i + 1 < n) t[n - 1] = '\0';
      EXPECT_EQ(ini::UpToNul(t).size(), i) << n << " " << i;
      std::string haut(n, octet == '\xFF' ? 'a' : octet);
      haut[i] = '\x80';
      EXPECT_TRUE(octets::HorsAscii(haut)) << n << " " << i;
      EXPECT_FALSE(octets::HorsAscii(std::string(n, 'a'))) << n;
      for (const char saut : {'\r', '\n'}) {
        t = fond;
        t[i] = saut;
        EXPECT_TRUE(ini::HasLineBreak(t)) << n << " " << i;
      }
    }
  }
}

// The index holds views into the lines: a line rewritten again and again, short
// and long, is still found under any spelling, and deleted whole.
TEST(FoldedNames, ARewrittenLineIsFoundUnderAnySpelling) {
  ini::ProfileDocument d("[Sec]\r\nUne_Cle_Longue_De_Plus_De_Seize=1\r\nB=2\r\n");
  for (int i = 0; i < 40; ++i) {
    const std::string valeur(static_cast<size_t>(i % 3 == 0 ? 2 : 40 + i), static_cast<char>('a' + i % 26));
    ASSERT_TRUE(d.Write("SEC", i % 2 ? "une_cle_longue_de_plus_de_seize" : "UNE_CLE_LONGUE_DE_PLUS_DE_SEIZE", valeur));
    EXPECT_EQ(d.Read("sec", "Une_Cle_Longue_De_Plus_De_Seize"), valeur);
  }
  EXPECT_TRUE(d.DeleteKey("sec", "UNE_cle_longue_de_plus_de_seize"));
  EXPECT_EQ(d.Serialize(), "[Sec]\r\nB=2\r\n");
}

}  // namespace
