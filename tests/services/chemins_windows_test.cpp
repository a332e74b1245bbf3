// What Windows could read: the checks made before anything is written.
#include "services/chemins_windows.h"

#include <gtest/gtest.h>

namespace {

TEST(CheminsWindows, RefusesWhatWindowsCannotRead) {
  const struct {
    std::string chemin;
    const char* motif;  // a word of the reason; nullptr when accepted
  } cas[] = {
      {"C:\\Kelvaro\\Ilvane\\Config\\", nullptr},
      {"\\\\srv\\share\\Sons\\", nullptr},
      {"C:\\Radio \xC3\xA9t\xC3\xA9\\", nullptr},
      {"C:\\CONSOLE\\com10\\", nullptr},
      {"C:\\\xE4\xB8\xAD\\", "page de codes"},
      {"C:\\\xFF\\", "UTF-8"},
      {"C:\\\xC0\x8A", "UTF-8"},  // an overlong line feed
      {"C:\\\xED\xA0\x80", "UTF-8"},  // a surrogate
      {"C:\\CON\\", "p\xC3\xA9riph\xC3\xA9rique"},
      {"C:\\x\\nul.txt", "p\xC3\xA9riph\xC3\xA9rique"},
      {"C:\\x\\Com3 .log\\", "p\xC3\xA9riph\xC3\xA9rique"},
      {"C:\\a*\\", "interdit"},
      {"C:\\a\tb\\", "interdit"},
      {"C:\\a:b\\", "interdit"},
      {"C:\\" + std::string(255, 'a') + "\\", nullptr},
      {"C:\\" + std::string(257, 'a'), "trop long"},
      // 259 characters of the code page, 260 bytes of UTF-8.
      {"C:\\" + std::string(128, 'a') + std::string(65, 'b') + "\xC3\xA9" + std::string(62, 'c'), nullptr},
  };
  for (const auto& c : cas) {
    const std::string r = RefusChemin(c.chemin);
    if (!c.motif)
      EXPECT_EQ(r, "") << c.chemin;
    else
      EXPECT_NE(r.find(c.motif), std::string::npos) << c.chemin << " -> " << r;
  }
}

TEST(CheminsWindows, AbsolutePathsOnly) {
  for (const char* oui : {"C:\\", "d:\\x", "\\\\srv\\share", "\\\\srv\\share\\x\\"}) EXPECT_TRUE(CheminAbsolu(oui)) << oui;
  for (const char* non : {"C:", "C:x", "\\Config\\", "Config\\", "/srv/site/", "\\\\srv", "\\\\srv\\", "\\\\\\x\\y", ""})
    EXPECT_FALSE(CheminAbsolu(non)) << non;
}

}  // namespace
