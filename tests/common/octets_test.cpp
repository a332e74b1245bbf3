// The byte scans against a plain loop: every length around the word and block
// sizes, the byte looked for at every place, so that no tail or overlap is missed.
#include <gtest/gtest.h>

#include <string>

#include "common/octets.h"

namespace {

bool ordinaireLent(const std::string& s, char refuse) {
  for (unsigned char c : s)
    if (c >= 0x80 || c == '\0' || c == '\r' || c == '\n' || c == static_cast<unsigned char>(refuse)) return false;
  return true;
}

TEST(Octets, EveryScanAgreesWithAPlainLoopAtEveryLengthAndPlace) {
  for (size_t n = 0; n <= 70; ++n) {
    const std::string base(n, 'a');
    EXPECT_TRUE(octets::Ordinaire(base, '=')) << n;
    EXPECT_FALSE(octets::Contient(base, '\r', '\n', '\0')) << n;
    EXPECT_FALSE(octets::HorsAscii(base)) << n;
    EXPECT_EQ(octets::PremierSaut(base), std::string::npos) << n;
    for (size_t at = 0; at < n; ++at) {
      for (const char c : {'\0', '\r', '\n', '=', ']', '\x80', '\xE9', '\xFF'}) {
        std::string s = base;
        s[at] = c;
        EXPECT_EQ(octets::Ordinaire(s, '='), ordinaireLent(s, '=')) << n << " " << at << " " << int(c);
        EXPECT_EQ(octets::Ordinaire(s), ordinaireLent(s, '\n')) << n << " " << at << " " << int(c);
        EXPECT_EQ(octets::Contient(s, '\r', '\n', '\0'), c == '\r' || c == '\n' || c == '\0') << n << " " << at;
        EXPECT_EQ(octets::Contient(s, ']'), c == ']') << n << " " << at;
        EXPECT_EQ(octets::HorsAscii(s), static_cast<unsigned char>(c) >= 0x80) << n << " " << at;
        EXPECT_EQ(octets::PremierSaut(s), s.find_first_of("\r\n")) << n << " " << at;
        // A second break after the first: the first is the one found.
        if (at + 1 < n) {
          s[at + 1] = '\n';
          EXPECT_EQ(octets::PremierSaut(s), s.find_first_of("\r\n")) << n << " " << at;
        }
      }
    }
  }
}

}  // namespace
