// Profile files on Linux: immediate failures, the cache, commands and safe saves.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "platform/platform.h"
#include "platform/posix/profile_store.h"
#include "support/sandbox.h"

namespace fs = std::filesystem;
using platform::posix::SaveFault;

namespace {

struct stat Stat(const fs::path& p) {
  struct stat st {};
  ::stat(p.c_str(), &st);
  return st;
}

class Profile : public ::testing::Test {
 protected:
  void TearDown() override {
    platform::posix::SetSaveFaultForTesting(SaveFault::None);
    platform::EndCommand();
  }
  fs::path H(const std::string& rel) const { return fs::path(s.Host()) / rel; }
  std::string W(const std::string& rel) const { return s.Win() + rel; }
  int Write(const std::string& rel, const std::string& section, const std::string& key, const std::string& value) {
    raison.clear();
    return platform::ProfileWrite(W(rel), section, key, value, &raison);
  }
  std::string Read(const std::string& rel, const std::string& section, const std::string& key) {
    return platform::ProfileRead(W(rel), section, key, "<def>");
  }
  size_t FilesIn(const fs::path& dir) const {
    return static_cast<size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
  }

  Sandbox s;
  std::string raison;
};

TEST_F(Profile, WritesThatCannotSucceedFailAtOnce) {
  fs::create_directories(H("Dir.ini"));
  s.Write(W("ro.ini"), "[S]\r\nK=1\r\n");
  s.SetReadOnly(W("ro.ini"), true);
  const struct {
    std::string fichier, raison;
  } cas[] = {
      {"Absent\\a.ini", "dossier introuvable"},
      {"ro.ini", "fichier en lecture seule"},
      {"Dir.ini", ""},
      {"x\\", ""},
  };
  platform::BeginCommand();
  for (const auto& c : cas) {
    EXPECT_EQ(Write(c.fichier, "S", "K", "2"), 0) << c.fichier;
    if (!c.raison.empty()) EXPECT_EQ(raison, c.raison) << c.fichier;
    EXPECT_FALSE(raison.empty()) << c.fichier;
  }
  EXPECT_TRUE(platform::EndCommand().empty());
  EXPECT_FALSE(fs::exists(H("Absent")));
  EXPECT_EQ(s.Read(W("ro.ini")), "[S]\r\nK=1\r\n");
}

// The writer's recovery ladder within one command: each failure is seen at once,
// and once mended the same file takes every later key.
TEST_F(Profile, AFailedWriteIsCheckedAgainOnceMended) {
  s.Write(W("ro.ini"), "[S]\r\nK=1\r\n");
  s.SetReadOnly(W("ro.ini"), true);
  platform::BeginCommand();
  EXPECT_EQ(Write("ro.ini", "S", "K", "2"), 0);
  EXPECT_EQ(raison, "fichier en lecture seule");
  EXPECT_EQ(Write("Neuf\\a.ini", "S", "K", "2"), 0);
  EXPECT_EQ(raison, "dossier introuvable");
  s.SetReadOnly(W("ro.ini"), false);
  fs::create_directories(H("Neuf"));
  for (const char* fichier : {"ro.ini", "Neuf\\a.ini"}) {
    EXPECT_EQ(Write(fichier, "S", "K", "2"), 1) << fichier << ": " << raison;
    EXPECT_EQ(Write(fichier, "S", "L", "3"), 1) << fichier << ": " << raison;
  }
  fs::create_directories(H("Dossier.ini"));
  EXPECT_EQ(Write("Dossier.ini", "S", "K", "2"), 0);
  EXPECT_EQ(Write("Dossier.ini", "S", "K", "2"), 0) << "a failure is never remembered as a success";
  EXPECT_TRUE(platform::EndCommand().empty());
  EXPECT_EQ(s.Read(W("ro.ini")), "[S]\r\nK=2\r\nL=3\r\n");
  EXPECT_EQ(s.Read(W("Neuf\\a.ini")), "[S]\r\nK=2\r\nL=3\r\n");
}

TEST_F(Profile, ABareFileNameLivesInTheWindowsFolder) {
  EXPECT_EQ(platform::ProfileWrite("il3test.ini", "S", "K", "v", &raison), 1);
  EXPECT_EQ(s.Read("C:\\windows\\il3test.ini"), "[S]\r\nK=v\r\n");
  EXPECT_EQ(platform::ProfileRead("IL3TEST.INI", "S", "K", ""), "v");
}

TEST_F(Profile, AFileChangedBehindOurBackIsReadAgain) {
  s.Write(W("a.ini"), "[S]\r\nK=1\r\n");
  EXPECT_EQ(Read("a.ini", "S", "K"), "1");
  s.Write(W("a.ini"), "[S]\r\nK=2\r\n");  // same size, same inode, at once
  EXPECT_EQ(Read("a.ini", "S", "K"), "2");
  fs::remove(H("a.ini"));
  EXPECT_EQ(Read("a.ini", "S", "K"), "<def>");
  EXPECT_EQ(Write("a.ini", "S", "L", "3"), 1);
  EXPECT_EQ(s.Read(W("a.ini")), "[S]\r\nL=3\r\n");
}

TEST_F(Profile, AChangeWithinTheTimestampGranularityIsSeen) {
  // Coarse file-system clocks give two quick writes of the same size the same
  // identity: same inode, size and modification time.
  s.Write(W("a.ini"), "[S]\r\nK=1\r\n");
  const struct stat avant = Stat(H("a.ini"));
  EXPECT_EQ(Read("a.ini", "S", "K"), "1");
  s.Write(W("a.ini"), "[S]\r\nK=2\r\n");
  const struct timespec temps[2] = {avant.st_atim, avant.st_mtim};
  ASSERT_EQ(::utimensat(AT_FDCWD, H("a.ini").c_str(), temps, 0), 0);
  EXPECT_EQ(Read("a.ini", "S", "K"), "2");
}

TEST_F(Profile, OurOwnWriteIsNotMistakenForAnOutsideChange) {
  EXPECT_EQ(Write("a.ini", "S", "K", "1"), 1);
  s.Write(W("a.ini"), "[S]\r\nK=9\r\n");
  EXPECT_EQ(Read("a.ini", "S", "K"), "9");
  EXPECT_EQ(Write("a.ini", "S", "L", "2"), 1);
  EXPECT_EQ(s.Read(W("a.ini")), "[S]\r\nK=9\r\nL=2\r\n");
}

TEST_F(Profile, ACommandWritesEachFileOnceAtItsEnd) {
  s.Write(W("a.ini"), "[S]\r\nK=0\r\n");
  const ino_t avant = Stat(H("a.ini")).st_ino;
  platform::BeginCommand();
  for (int i = 1; i <= 50; ++i) EXPECT_EQ(Write("a.ini", "S", "K" + std::to_string(i), std::to_string(i)), 1);
  EXPECT_EQ(Write("b.ini", "T", "X", "y"), 1);
  EXPECT_EQ(Read("a.ini", "S", "K50"), "50");
  EXPECT_EQ(Read("b.ini", "T", "X"), "y");
  EXPECT_EQ(s.Read(W("a.ini")), "[S]\r\nK=0\r\n");
  EXPECT_FALSE(fs::exists(H("b.ini")));
  EXPECT_EQ(Stat(H("a.ini")).st_ino, avant);

  EXPECT_TRUE(platform::EndCommand().empty());
  EXPECT_EQ(Read("a.ini", "S", "K50"), "50");
  EXPECT_EQ(s.Read(W("b.ini")), "[T]\r\nX=y\r\n");
  EXPECT_EQ(FilesIn(s.Host()), 2u);  // no temporary file left
}

TEST_F(Profile, ANewFileIsOneFileWhateverTheCaseOfItsName) {
  platform::BeginCommand();
  EXPECT_EQ(Write("New.ini", "S", "A", "1"), 1);
  EXPECT_EQ(Write("NEW.INI", "s", "B", "2"), 1);
  EXPECT_EQ(Read("new.ini", "S", "A"), "1");
  EXPECT_TRUE(platform::EndCommand().empty());
  EXPECT_EQ(FilesIn(s.Host()), 1u);
  EXPECT_EQ(s.Read(W("New.ini")), "[S]\r\nA=1\r\nB=2\r\n");
}

TEST_F(Profile, NestedCommandsSaveAtTheOutermostEnd) {
  platform::BeginCommand();
  platform::BeginCommand();
  EXPECT_EQ(Write("a.ini", "S", "K", "v"), 1);
  EXPECT_TRUE(platform::EndCommand().empty());
  EXPECT_FALSE(fs::exists(H("a.ini")));
  EXPECT_TRUE(platform::EndCommand().empty());
  EXPECT_TRUE(fs::exists(H("a.ini")));
}

TEST_F(Profile, WritingTheStoredValueAgainLeavesTheFileAlone) {
  s.Write(W("a.ini"), "[S]\r\nK = v \r\n");
  const struct stat avant = Stat(H("a.ini"));
  EXPECT_EQ(Write("a.ini", "s", "k", "v"), 1);
  platform::BeginCommand();
  EXPECT_EQ(Write("a.ini", "S", "K", "v"), 1);
  EXPECT_TRUE(platform::EndCommand().empty());
  const struct stat apres = Stat(H("a.ini"));
  EXPECT_EQ(apres.st_ino, avant.st_ino);
  EXPECT_EQ(apres.st_mtim.tv_sec, avant.st_mtim.tv_sec);
  EXPECT_EQ(apres.st_mtim.tv_nsec, avant.st_mtim.tv_nsec);
  EXPECT_EQ(s.Read(W("a.ini")), "[S]\r\nK = v \r\n");
}

// The report trusts it to take a key without looking it up: a key is "added"
// only when the file did not hold it, under any spelling.
TEST_F(Profile, AWriteSaysWhetherItsKeyWasNewToTheFile) {
  using E = platform::WriteEffect;
  s.Write(W("e.ini"), "[S]\r\nK=1\r\n");
  const struct {
    const char *section, *cle, *valeur;
    E effet;
  } cas[] = {
      {"S", "K", "2", E::Changed},   {"s", "k", "2", E::Unknown},  // the file holds it already: nothing done
      {"S", "Neuve", "x", E::Added}, {"S", "NEUVE", "y", E::Changed},
      {"T", "K", "z", E::Added},     // a new section
  };
  platform::BeginCommand();
  for (const auto& c : cas) {
    E effet = E::Added;
    EXPECT_EQ(platform::ProfileWrite(W("e.ini"), c.section, c.cle, c.valeur, &raison, platform::WriteTexts::Plain,
                                     &effet),
              1);
    EXPECT_EQ(effet, c.effet) << c.section << " " << c.cle << " " << c.valeur;
  }
  EXPECT_TRUE(platform::EndCommand().empty());
  EXPECT_EQ(s.Read(W("e.ini")), "[S]\r\nK=2\r\nNeuve=y\r\n[T]\r\nK=z\r\n");
}

TEST_F(Profile, AFailedSaveKeepsTheOldFileWhole) {
  const std::string avant = "; keep me\r\n[S]\r\nK=1\r\n";
  for (SaveFault panne : {SaveFault::Write, SaveFault::Rename}) {
    s.Write(W("a.ini"), avant);
    platform::posix::SetSaveFaultForTesting(panne);
    EXPECT_EQ(Write("a.ini", "S", "K", "2"), 0);
    EXPECT_FALSE(raison.empty());
    EXPECT_EQ(s.Read(W("a.ini")), avant);
    EXPECT_EQ(FilesIn(s.Host()), 1u);

    platform::BeginCommand();
    EXPECT_EQ(Write("a.ini", "S", "K", "3"), 1);
    const auto echecs = platform::EndCommand();
    ASSERT_EQ(echecs.size(), 1u);
    EXPECT_EQ(echecs[0].file, W("a.ini"));
    EXPECT_FALSE(echecs[0].reason.empty());
    EXPECT_EQ(s.Read(W("a.ini")), avant);
    EXPECT_EQ(FilesIn(s.Host()), 1u);
    // What is on disk is the truth again.
    EXPECT_EQ(Read("a.ini", "S", "K"), "1");
    platform::posix::SetSaveFaultForTesting(SaveFault::None);
  }
}

TEST_F(Profile, AnOutsideChangeDuringACommandIsKept) {
  s.Write(W("a.ini"), "[S]\r\nK=1\r\n");
  platform::BeginCommand();
  EXPECT_EQ(Write("a.ini", "S", "K", "2"), 1);
  s.Write(W("a.ini"), "[S]\r\nK=1\r\nAutre=x\r\n[U]\r\nZ=z\r\n");
  EXPECT_TRUE(platform::EndCommand().empty());
  EXPECT_EQ(s.Read(W("a.ini")), "[S]\r\nK=2\r\nAutre=x\r\n[U]\r\nZ=z\r\n");
}

TEST_F(Profile, AccentedTextIsStoredAsWindows1252Bytes) {
  EXPECT_EQ(Write("a.ini", "Général", "Clé", "été €"), 1);
  EXPECT_EQ(s.Read(W("a.ini")), "[G\xE9n\xE9ral]\r\nCl\xE9=\xE9t\xE9 \x80\r\n");
  EXPECT_EQ(Read("a.ini", "GÉNÉRAL", "CLÉ"), "été €");
  EXPECT_EQ(Write("a.ini", "S", "K", "Ж"), 0);
  EXPECT_FALSE(raison.empty());
}

TEST_F(Profile, NewFilesGetOrdinaryPermissions) {
  EXPECT_EQ(Write("a.ini", "S", "K", "v"), 1);
  EXPECT_NE(Stat(H("a.ini")).st_mode & S_IWUSR, 0u);
  s.Write(W("b.ini"), "[S]\r\n");
  fs::permissions(H("b.ini"), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(Write("b.ini", "S", "K", "v"), 1);
  EXPECT_EQ(fs::status(H("b.ini")).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

}  // namespace
