// Windows paths on the host: drives, case, wildcards, attributes, code page.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "platform/platform.h"
#include "platform/posix/drives.h"
#include "support/sandbox.h"

namespace fs = std::filesystem;
using platform::Listing;

namespace {

class Posix : public ::testing::Test {
 protected:
  fs::path P(const std::string& rel) const { return fs::path(s.Prefix()) / rel; }
  fs::path H(const std::string& rel) const { return fs::path(s.Host()) / rel; }
  std::string W(const std::string& rel) const { return s.Win() + rel; }
  Sandbox s;
};

TEST_F(Posix, DrivesMapLikeWine) {
  fs::create_directories(P("elsewhere/Data"));
  fs::create_directories(P("dosdevices"));
  fs::create_directory_symlink(P("elsewhere"), P("dosdevices/d:"));
  s.Write(W("a.ini"), "x");
  const struct {
    std::string chemin;
    Listing attendu;
  } cas[] = {
      {W("a.ini"), Listing::Found},
      {"c:\\windows\\", Listing::Found},
      {"D:\\Data", Listing::Found},
      {"d:\\data\\", Listing::Found},
      {"D:\\Nothing", Listing::NotFound},
      {"Z:" + P("drive_c/sandbox/a.ini").string(), Listing::Found},
      {"Q:\\", Listing::BadName},
      {"Q:\\a.ini", Listing::BadName},
      {"Q:\\*.ini", Listing::BadName},
      {"\\\\srv\\share\\x", Listing::BadName},
  };
  for (const auto& c : cas) EXPECT_EQ(platform::ListDirectory(c.chemin), c.attendu) << c.chemin;
}

TEST_F(Posix, ADosdevicesLinkWinsOverDriveC) {
  fs::create_directories(P("other/only-here"));
  fs::create_directories(P("dosdevices"));
  fs::create_directory_symlink(P("other"), P("dosdevices/c:"));
  EXPECT_EQ(platform::ListDirectory("C:\\only-here"), Listing::Found);
  EXPECT_EQ(platform::ListDirectory("C:\\sandbox\\"), Listing::NotFound);
}

TEST_F(Posix, EveryOperationFailsOnAMissingDrive) {
  int32_t numero = 0;
  EXPECT_FALSE(platform::FindFirstFile("Q:\\a.ini"));
  EXPECT_FALSE(platform::MakeDirectory("Q:\\a", &numero));
  EXPECT_EQ(numero, 76);
  EXPECT_FALSE(platform::CreateDirectory("Q:\\a"));
  EXPECT_FALSE(platform::CreateDirectoryEx("C:\\windows", "Q:\\a"));
  EXPECT_EQ(platform::GetAttributes("Q:\\a.ini"), platform::kInvalidAttributes);
  EXPECT_FALSE(platform::SetAttributes("Q:\\a.ini", 32));
  EXPECT_EQ(platform::FileSize("Q:\\a.ini"), -1);
  std::string raison;
  EXPECT_EQ(platform::ProfileWrite("Q:\\a.ini", "S", "K", "v", &raison), 0);
  EXPECT_FALSE(raison.empty());
  EXPECT_EQ(platform::ProfileRead("Q:\\a.ini", "S", "K", "def"), "def");
}

TEST_F(Posix, NamesMatchWithoutRegardToCase) {
  fs::create_directories(H("Kelvaro"));
  s.Write(W("Kelvaro\\Site.ini"), "[S]\r\nK=1\r\n");
  EXPECT_EQ(platform::ListDirectory(W("KELVARO")), Listing::Found);
  EXPECT_TRUE(platform::FindFirstFile(W("kelvaro\\SITE.INI")));
  EXPECT_EQ(platform::FileSize(W("KELVARO\\site.ini")), 10);
  EXPECT_EQ(platform::ProfileRead(W("KELVARO\\SITE.ini"), "s", "k", ""), "1");

  int32_t numero = -1;
  EXPECT_TRUE(platform::MakeDirectory(W("KELVARO\\Ilvane"), &numero));
  EXPECT_EQ(numero, 0);
  EXPECT_TRUE(platform::CreateDirectory(W("kelvaro\\ilvane\\Sons")));
  EXPECT_TRUE(fs::is_directory(H("Kelvaro/Ilvane/Sons")));
  EXPECT_FALSE(fs::exists(H("KELVARO")));
  // An existing folder, in any spelling, is not made again.
  EXPECT_FALSE(platform::MakeDirectory(W("kelvaro"), &numero));
  EXPECT_EQ(numero, 75);
  EXPECT_FALSE(platform::MakeDirectory(W("Absent\\Sub"), &numero));
  EXPECT_EQ(numero, 76);
  EXPECT_FALSE(platform::CreateDirectory(W("Absent\\Sub")));
  fs::create_directories(H("Données/Œuvres"));
  EXPECT_EQ(platform::ListDirectory(W("DONNÉES\\œuvres")), Listing::Found);
  EXPECT_TRUE(platform::CreateDirectoryEx("C:\\windows", W("Absent")));
}

// A folder's entries are compared one by one, plain names by a shorter way than
// accented ones: both ways must agree with Windows.
TEST(NomsDeFichiers, TheSameNameWhateverTheCaseOfItsLetters) {
  const struct {
    const char *a, *b;
    bool meme;
  } cas[] = {
      {"Kv_Sys.ini", "KV_SYS.INI", true},     {"kv_sys.ini", "Kv_Sys.ini", true},
      {"Kv_Sys.ini", "Kv_Sys.in", false},     {"Kv_Sys.ini", "Kv_Sys.inj", false},
      {"a[b", "A{B", false},                  {"@", "`", false},
      {"Été", "éTÉ", true},                   {"Ete", "Été", false},
      {"E", "\xC9", false},                  {"\xC9", "\xC9", true},
      {"ÿ", "Ÿ", true},                       {"", "", true},
  };
  for (const auto& c : cas) EXPECT_EQ(platform::posix::SameName(c.a, c.b), c.meme) << c.a << " / " << c.b;
}

TEST_F(Posix, NamesWindowsRefusesAreNotCreated) {
  for (const std::string& nom : {"a<b", "a>b", "a|b", "a\"b", "a:b", "a*b", "a?b", "a\tb"}) {
    int32_t numero = 0;
    EXPECT_FALSE(platform::MakeDirectory(W(nom), &numero)) << nom;
    EXPECT_EQ(numero, 52) << nom;
    EXPECT_FALSE(platform::CreateDirectory(W(nom))) << nom;
    std::string raison;
    EXPECT_EQ(platform::ProfileWrite(W(nom + ".ini"), "S", "K", "v", &raison), 0) << nom;
    EXPECT_EQ(raison, "nom de fichier incorrect") << nom;
  }
  EXPECT_TRUE(fs::is_empty(s.Host()));
}

TEST_F(Posix, WildcardsMatchTheLastComponent) {
  s.Write(W("a.ini"), "");
  s.Write(W("ab.INI"), "");
  s.Write(W("readme"), "");
  const struct {
    std::string motif;
    Listing attendu;
  } cas[] = {
      {"*.ini", Listing::Found},     {"?.ini", Listing::Found},      {"??.ini", Listing::Found},
      {"???.ini", Listing::NotFound}, {"A*.INI", Listing::Found},     {"*.txt", Listing::NotFound},
      {"read*", Listing::Found},     {"readme.*", Listing::Found},   {"b*", Listing::NotFound},
      {"", Listing::Found},           // the trailing backslash lists the folder itself
  };
  for (const auto& c : cas) EXPECT_EQ(platform::ListDirectory(W(c.motif)), c.attendu) << c.motif;
  EXPECT_EQ(platform::ListDirectory(W("a.ini\\")), Listing::NotFound);
  EXPECT_EQ(platform::ListDirectory(W("Nowhere\\*.ini")), Listing::NotFound);
  EXPECT_TRUE(platform::FindFirstFile(W("*.ini")));
  EXPECT_FALSE(platform::FindFirstFile(s.Win()));  // a trailing backslash matches nothing
}

TEST_F(Posix, AttributesAndSizes) {
  fs::create_directories(H("Dir"));
  s.Write(W("f.ini"), "12345");
  EXPECT_EQ(platform::GetAttributes(W("Dir")), 16u);
  EXPECT_EQ(platform::GetAttributes(W("f.ini")), 32u);
  EXPECT_EQ(platform::GetAttributes(W("none")), platform::kInvalidAttributes);

  EXPECT_TRUE(platform::SetAttributes(W("f.ini"), 33));
  EXPECT_EQ(platform::GetAttributes(W("f.ini")), 33u);
  EXPECT_EQ(fs::status(H("f.ini")).permissions() & fs::perms::owner_write, fs::perms::none);
  std::string raison;
  EXPECT_EQ(platform::ProfileWrite(W("f.ini"), "S", "K", "v", &raison), 0);  // even for root
  EXPECT_EQ(s.Read(W("f.ini")), "12345");
  EXPECT_TRUE(platform::SetAttributes(W("f.ini"), 32));
  EXPECT_EQ(platform::GetAttributes(W("f.ini")), 32u);
  EXPECT_EQ(platform::ProfileWrite(W("f.ini"), "S", "K", "v", &raison), 1);

  EXPECT_EQ(platform::FileSize(W("Dir")), -1);
  EXPECT_EQ(platform::FileSize(W("none")), -1);
  s.Write(W("g.ini"), "");
  EXPECT_EQ(platform::FileSize(W("g.ini")), 0);
}

TEST_F(Posix, WhatTheProgramKnowsOfItsSystem) {
  const platform::WindowsDirectory w = platform::GetWindowsDirectory(255);
  EXPECT_EQ(w.path, "C:\\windows");
  EXPECT_EQ(w.count, 10u);
  EXPECT_EQ(platform::GetWindowsDirectory(5).path, "");
  EXPECT_EQ(platform::GetVersion().platformId, 0u);
  EXPECT_EQ(platform::ProgramFolder(), "C:\\sandbox\\App\\");
}

TEST_F(Posix, ProgramFolderIsWhereTheExecutableLiesOnADrive) {
  platform::Configure({s.Prefix(), ""});
  // The host's root (Z:) is no place to install into.
  EXPECT_EQ(platform::ProgramFolder(), "C:\\Kelvaro\\Ilvane\\");
  fs::create_directories(P("dosdevices"));
  fs::create_directory_symlink(fs::read_symlink("/proc/self/exe").parent_path().parent_path(), P("dosdevices/e:"));
  EXPECT_EQ(platform::ProgramFolder(), "E:\\" + fs::read_symlink("/proc/self/exe").parent_path().filename().string());
  platform::Configure({s.Prefix(), "C:\\sandbox\\App\\"});
}

TEST(CodePage, EveryByteRoundTrips) {
  for (int b = 0; b < 256; ++b) {
    const std::string octet(1, static_cast<char>(b));
    std::string retour;
    ASSERT_TRUE(platform::ToAnsi(platform::FromAnsi(octet), &retour)) << b;
    EXPECT_EQ(retour, octet) << b;
  }
}

TEST(CodePage, KnownCharacters) {
  const struct {
    std::string octet, utf8;
  } cas[] = {
      {"\x80", "€"},       {"\x9C", "œ"},       {"\xE9", "é"},       {"\xFF", "ÿ"},       {"\x81", "\xC2\x81"},
      {"\x8D", "\xC2\x8D"}, {"\x8F", "\xC2\x8F"}, {"\x90", "\xC2\x90"}, {"\x9D", "\xC2\x9D"}, {"\xA0", "\xC2\xA0"},
  };
  for (const auto& c : cas) EXPECT_EQ(platform::FromAnsi(c.octet), c.utf8) << c.utf8;
}

TEST(CodePage, WhatTheCodePageCannotHoldIsRefused) {
  for (const std::string& t : {std::string("\xC4\x80"), std::string("Ж"), std::string("\xE2\x9D\xA4"),
                               std::string("\xF0\x9F\x98\x80"), std::string("\xC0\x8A"), std::string("\xE0\x80\x80"),
                               std::string("\x80"), std::string("\xC3"), std::string("\xFF")}) {
    std::string sortie = "untouched";
    EXPECT_FALSE(platform::ToAnsi(t, &sortie)) << t;
    EXPECT_EQ(sortie, "untouched");
  }
}

}  // namespace

namespace {

// Windows' own rules for names, which the host alone would not apply.
TEST_F(Posix, FolderNamesFollowWindowsRules) {
  int32_t numero = 0;
  // Trailing dots and blanks of every component go, as on Windows.
  ASSERT_TRUE(platform::MakeDirectory(W("Site."), &numero));
  EXPECT_TRUE(fs::is_directory(H("Site")));
  ASSERT_TRUE(platform::MakeDirectory(W("Site. \\Config"), &numero));
  EXPECT_TRUE(fs::is_directory(H("Site/Config")));
  EXPECT_EQ(platform::ListDirectory(W("Site..\\Config.\\")), Listing::Found);
  // Device names and over-long paths are refused like a bad name.
  for (const std::string& refuse :
       {W("CON"), W("nul\\COM1"), W("aux.txt"), W("Lpt9 .log"), W(std::string(260 - W("").size(), 'a'))}) {
    EXPECT_FALSE(platform::MakeDirectory(refuse, &numero)) << refuse;
    EXPECT_EQ(numero, 52) << refuse;
    std::string raison;
    EXPECT_EQ(platform::ProfileWrite(refuse + "\\x.ini", "S", "K", "v", &raison), 0) << refuse;
  }
  EXPECT_TRUE(platform::MakeDirectory(W(std::string(259 - W("").size(), 'a')), &numero));
  EXPECT_TRUE(platform::MakeDirectory(W("CONSOLE"), &numero)) << "only the device names themselves";
}

}  // namespace
