// The Windows half of the seam against the real file system, in a folder of
// its own under the temporary folder. Code-page cases assume code page 1252,
// which wine-run pins; elsewhere they are skipped.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/win32_api.h"

namespace {

using platform::Listing;

const std::string kUnwritable = "\xe6\x97\xa5";  // 日: no place in code page 1252

std::string RawBytes(const std::string& path) {
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "<missing>";
  std::string bytes(GetFileSize(file, nullptr), '\0');
  DWORD read = 0;
  ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(file);
  return bytes.substr(0, read);
}

void WriteRaw(const std::string& path, const std::string& bytes) {
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

// A drive letter that names nothing on this machine.
std::string MissingDrive() {
  const DWORD drives = GetLogicalDrives();
  for (char letter = 'Q'; letter <= 'Y'; ++letter) {
    if ((drives & (1u << (letter - 'A'))) == 0) return std::string(1, letter) + ":";
  }
  return "Q:";
}

class Win32Platform : public testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, temp);
    dir_ = std::string(temp) + "il3-platform-" + std::to_string(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryA(dir_.c_str(), nullptr)) << dir_;
    WriteRaw(In("ten.txt"), "0123456789");
    WriteRaw(In("empty.txt"), "");
    ASSERT_TRUE(CreateDirectoryA(In("sub").c_str(), nullptr));
    platform::Configure({});
  }
  void TearDown() override { RemoveTree(dir_); }

  std::string In(const std::string& name) const { return dir_ + "\\" + name; }
  static bool Latin1CodePage() { return GetACP() == 1252; }

  static void RemoveTree(const std::string& dir) {
    WIN32_FIND_DATAA entry;
    const HANDLE found = FindFirstFileA((dir + "\\*").c_str(), &entry);
    if (found != INVALID_HANDLE_VALUE) {
      do {
        const std::string name = entry.cFileName;
        if (name == "." || name == "..") continue;
        const std::string path = dir + "\\" + name;
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          RemoveTree(path);
        } else {
          DeleteFileA(path.c_str());
        }
      } while (FindNextFileA(found, &entry));
      FindClose(found);
    }
    RemoveDirectoryA(dir.c_str());
  }

  std::string dir_;
};

TEST_F(Win32Platform, ListDirectoryTellsFoundMissingAndUnlistable) {
  const std::string drive = MissingDrive();
  const struct {
    std::string pattern;
    Listing expected;
  } cases[] = {
      {dir_, Listing::Found},
      {dir_ + "\\", Listing::Found},  // the folder's own entries
      {In("SUB"), Listing::Found},    // names match whatever their case
      {In("*.txt"), Listing::Found},
      {In("ten.txt"), Listing::Found},
      {In("nope"), Listing::NotFound},
      {In("nope\\"), Listing::NotFound},
      {In("nope\\deeper\\"), Listing::NotFound},
      {In("ten.txt\\x"), Listing::NotFound},  // a file where a folder should be
      {In("ten.txt\\"), Listing::NotFound},
      {"", Listing::NotFound},
      {"C:", Listing::Found},  // the drive's root
      {drive, Listing::BadName},
      {drive + "\\x", Listing::BadName},
      {drive + "\\", Listing::BadName},
      {"1:\\x", Listing::BadName},
      {"\\\\no-such-server\\share\\x", Listing::BadName},
      {In("a|b"), Listing::BadName},
      {In("a:b"), Listing::BadName},
      {In("a\tb"), Listing::BadName},
      {In(kUnwritable), Listing::BadName},
      {In(std::string("ten.txt\0x", 9)), Listing::BadName},  // never cut at the NUL
  };
  for (const auto& c : cases) {
    EXPECT_EQ(platform::ListDirectory(c.pattern), c.expected) << c.pattern;
  }
}

TEST_F(Win32Platform, FindFirstFileNeedsTheEntryItself) {
  EXPECT_TRUE(platform::FindFirstFile(dir_));
  EXPECT_TRUE(platform::FindFirstFile(In("t*.txt")));
  EXPECT_FALSE(platform::FindFirstFile(dir_ + "\\"));
  EXPECT_FALSE(platform::FindFirstFile(In("nope")));
  EXPECT_FALSE(platform::FindFirstFile(MissingDrive() + "\\x"));
  EXPECT_FALSE(platform::FindFirstFile(""));
}

TEST_F(Win32Platform, MakeDirectoryGivesTheRunTimeErrorNumber) {
  const struct {
    std::string path;
    bool made;
    int32_t error;
  } cases[] = {
      {In("new"), true, 0},
      {In("new"), false, 75},  // exists already
      {In("slash\\"), true, 0},
      {In("ten.txt"), false, 75},
      {In("nope\\x"), false, 76},
      {In("ten.txt\\x"), false, 76},
      {"", false, 76},
      {MissingDrive() + "\\x", false, 52},
      {In("a|b"), false, 52},
      {In("a*b"), false, 52},
      {In("a?b"), false, 52},
      {In(kUnwritable), false, 52},
      {In(std::string("n\0ul", 4)), false, 52},
  };
  for (const auto& c : cases) {
    int32_t error = -1;
    EXPECT_EQ(platform::MakeDirectory(c.path, &error), c.made) << c.path;
    EXPECT_EQ(error, c.error) << c.path;
  }
  EXPECT_EQ(GetFileAttributesA(In("n").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(platform::MakeDirectory(In("no-error-wanted"), nullptr));
}

TEST_F(Win32Platform, CreateDirectoryAndCreateDirectoryEx) {
  EXPECT_TRUE(platform::CreateDirectory(In("a")));
  EXPECT_FALSE(platform::CreateDirectory(In("a")));
  EXPECT_FALSE(platform::CreateDirectory(In("nope\\a")));
  EXPECT_FALSE(platform::CreateDirectory(In("x|y")));
  EXPECT_FALSE(platform::CreateDirectory(MissingDrive() + "\\a"));
  EXPECT_EQ(platform::GetAttributes(In("a")) & platform::kAttrDirectory, platform::kAttrDirectory);

  EXPECT_TRUE(platform::CreateDirectoryEx(In("sub"), In("b")));
  EXPECT_EQ(platform::GetAttributes(In("b")) & platform::kAttrDirectory, platform::kAttrDirectory);
  EXPECT_FALSE(platform::CreateDirectoryEx(In("sub"), In("b")));
  EXPECT_FALSE(platform::CreateDirectoryEx(In("sub"), In("nope\\b")));
  EXPECT_FALSE(platform::CreateDirectoryEx(In(kUnwritable), In("c")));
}

TEST_F(Win32Platform, AttributesAndSize) {
  EXPECT_EQ(platform::GetAttributes(In("ten.txt")) & platform::kAttrDirectory, 0u);
  EXPECT_NE(platform::GetAttributes(In("sub")) & platform::kAttrDirectory, 0u);
  EXPECT_EQ(platform::GetAttributes(In("nope")), platform::kInvalidAttributes);
  EXPECT_EQ(platform::GetAttributes(In(kUnwritable)), platform::kInvalidAttributes);

  ASSERT_TRUE(platform::SetAttributes(In("ten.txt"), platform::kAttrReadOnly | platform::kAttrArchive));
  EXPECT_EQ(platform::GetAttributes(In("ten.txt")), platform::kAttrReadOnly | platform::kAttrArchive);
  ASSERT_TRUE(platform::SetAttributes(In("ten.txt"), platform::kAttrArchive));
  EXPECT_EQ(platform::GetAttributes(In("ten.txt")), platform::kAttrArchive);
  EXPECT_FALSE(platform::SetAttributes(In("nope"), platform::kAttrArchive));

  EXPECT_EQ(platform::FileSize(In("ten.txt")), 10);
  EXPECT_EQ(platform::FileSize(In("empty.txt")), 0);
  EXPECT_EQ(platform::FileSize(In("sub")), -1);
  EXPECT_EQ(platform::FileSize(In("nope")), -1);
  EXPECT_EQ(platform::FileSize(MissingDrive() + "\\x"), -1);
}

TEST_F(Win32Platform, SystemQueries) {
  char expected[MAX_PATH + 1] = {};
  const UINT length = GetWindowsDirectoryA(expected, MAX_PATH);
  const auto windows = platform::GetWindowsDirectory(255);
  EXPECT_EQ(windows.count, length);
  EXPECT_EQ(windows.path, expected);
  const auto tooSmall = platform::GetWindowsDirectory(3);
  EXPECT_GT(tooSmall.count, 3u);  // the size it would need
  EXPECT_EQ(tooSmall.path, "");

  const auto version = platform::GetVersion();
  EXPECT_TRUE(version.ok);
  EXPECT_EQ(version.platformId, 2u);
  EXPECT_GE(version.major, 5u);

  const std::string folder = platform::ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_NE(folder.back(), '\\');
  EXPECT_EQ(platform::ListDirectory(folder), Listing::Found);
  platform::Configure({"", "C:\\Kelvaro\\Ilvane\\"});
  EXPECT_EQ(platform::ProgramFolder(), "C:\\Kelvaro\\Ilvane\\");
}

TEST_F(Win32Platform, ProfileReadGivesLongValuesWhole) {
  const std::string file = In("long.ini");
  std::string reason;
  // Around the first buffer's size, where a value is cut or not.
  for (size_t length : {0u, 1u, 254u, 255u, 256u, 257u, 511u, 512u, 10000u}) {
    const std::string value(length, 'v');
    ASSERT_EQ(platform::ProfileWrite(file, "Section", "Key", value, &reason), 1) << reason;
    EXPECT_EQ(platform::ProfileRead(file, "section", "KEY", "default"), value) << length;
  }
  EXPECT_EQ(platform::ProfileRead(file, "Section", "Other", "default"), "default");
  EXPECT_EQ(platform::ProfileRead(In("missing.ini"), "Section", "Key", ""), "");
  EXPECT_EQ(platform::ProfileRead(In(kUnwritable), "Section", "Key", "default"), "default");
  EXPECT_EQ(platform::ProfileRead(file, "Section", "Other", kUnwritable), kUnwritable);
}

TEST_F(Win32Platform, ProfileTextIsInTheCodePage) {
  if (!Latin1CodePage()) GTEST_SKIP() << "code page " << GetACP();
  const std::string file = In("accents.ini");
  std::string reason;
  ASSERT_EQ(platform::ProfileWrite(file, "Stations", "Nom", "\xc3\x89t\xc3\xa9 \xe2\x82\xac", &reason), 1);
  EXPECT_EQ(RawBytes(file), "[Stations]\r\nNom=\xc9t\xe9 \x80\r\n");
  EXPECT_EQ(platform::ProfileRead(file, "Stations", "Nom", ""), "\xc3\x89t\xc3\xa9 \xe2\x82\xac");
  EXPECT_EQ(platform::ProfileRead(file, "Stations", "Absent", "d\xc3\xa9""faut"), "d\xc3\xa9""faut");
}

TEST_F(Win32Platform, ProfileWriteRefusalsSayWhy) {
  if (!Latin1CodePage()) GTEST_SKIP() << "code page " << GetACP();
  WriteRaw(In("kept.ini"), "[S]\r\nk=old\r\n");
  const std::string codePage = "caractère impossible à écrire dans la page de codes du fichier : «";
  const struct {
    std::string file, section, key, value, reason;
  } cases[] = {
      {In("kept.ini"), "S", "k", "a" + kUnwritable + "z", codePage + kUnwritable + "»"},
      {In("kept.ini"), "S" + kUnwritable, "k", "v", codePage + kUnwritable + "»"},
      {In("kept.ini"), "S", kUnwritable, "v", codePage + kUnwritable + "»"},
      {In("kept.ini"), "S", "k", "\xff", codePage + "\xef\xbf\xbd»"},  // not UTF-8 at all
      {In("kept.ini"), "S", "k", std::string("a\0b", 3), "caractère nul impossible à écrire dans le fichier"},
      {In(kUnwritable + ".ini"), "S", "k", "v",
       "nom de fichier impossible à écrire dans la page de codes : «" + kUnwritable + "»"},
      {In("nope\\x.ini"), "S", "k", "v", "dossier introuvable"},
      {In("ten.txt\\x.ini"), "S", "k", "v", "dossier introuvable"},
      {MissingDrive() + "\\x.ini", "S", "k", "v", "lecteur introuvable"},
      {In("a<b.ini"), "S", "k", "v", "nom de fichier incorrect"},
      {In("sub"), "S", "k", "v", "le chemin désigne un dossier"},
  };
  for (const auto& c : cases) {
    std::string reason;
    EXPECT_EQ(platform::ProfileWrite(c.file, c.section, c.key, c.value, &reason), 0) << c.file;
    EXPECT_EQ(reason, c.reason) << c.file;
  }
  EXPECT_EQ(RawBytes(In("kept.ini")), "[S]\r\nk=old\r\n");
}

TEST_F(Win32Platform, CodePageConversion) {
  if (!Latin1CodePage()) GTEST_SKIP() << "code page " << GetACP();
  const struct {
    std::string utf8;
    bool fits;
    std::string ansi;
  } cases[] = {
      {"", true, ""},
      {"abc", true, "abc"},
      {"\xc3\xa9\xe2\x82\xac\xc5\x93", true, "\xe9\x80\x9c"},  // é € œ
      {"\xc2\x81", true, "\x81"},                              // the code page's unassigned bytes round-trip
      {"\xc5\x81", false, ""},                                 // Ł: a best fit would write L
      {"\xe2\x80\x8b", false, ""},                             // zero-width space
      {kUnwritable, false, ""},
      {"\xf0\x9f\x8e\xb5", false, ""},  // outside the BMP
      {"\xff", false, ""},              // not UTF-8
      {"\xc3", false, ""},              // cut UTF-8
  };
  for (const auto& c : cases) {
    std::string ansi = "stale";
    EXPECT_EQ(platform::ToAnsi(c.utf8, &ansi), c.fits) << c.utf8;
    EXPECT_EQ(platform::ToAnsi(c.utf8, nullptr), c.fits) << c.utf8;  // only asking whether it fits
    if (c.fits) {
      EXPECT_EQ(ansi, c.ansi) << c.utf8;
      EXPECT_EQ(platform::FromAnsi(ansi), c.utf8);
    }
  }
  EXPECT_EQ(platform::win32::FirstUnwritable("ok \xc3\xa9 " + kUnwritable + " \xc5\x81"), kUnwritable);
  EXPECT_EQ(platform::win32::FirstUnwritable("ok \xc3\xa9"), "");
}

TEST_F(Win32Platform, CommandsAreNoOps) {
  platform::BeginCommand();
  std::string reason;
  ASSERT_EQ(platform::ProfileWrite(In("now.ini"), "S", "k", "v", &reason), 1);
  EXPECT_EQ(RawBytes(In("now.ini")), "[S]\r\nk=v\r\n");  // written at once, not at the end
  EXPECT_TRUE(platform::EndCommand().empty());
}

}  // namespace
