// Saves on Linux: what a replaced file keeps, what is refused, the merge with
// another writer, the system's failures in French, and the temporary names.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <thread>

#include "platform/platform.h"
#include "platform/posix/profile_store.h"
#include "platform/posix/temp_names.h"
#include "support/sandbox.h"

namespace fs = std::filesystem;
using platform::posix::SaveFault;

namespace {

struct stat Lstat(const fs::path& p) {
  struct stat st {};
  ::lstat(p.c_str(), &st);
  return st;
}

std::string Attribute(const fs::path& p, const char* name) {
  char buf[256];
  const ssize_t n = ::getxattr(p.c_str(), name, buf, sizeof buf);
  return n < 0 ? "<none>" : std::string(buf, static_cast<size_t>(n));
}

// An access ACL in the kernel's format: owner rw, user 4242 r, group r, mask r, others nothing.
std::string Acl(uint16_t tagUser = 0x02) {
  std::string a;
  auto u32 = [&a](uint32_t v) { a.append(reinterpret_cast<const char*>(&v), 4); };
  auto entry = [&](uint16_t tag, uint16_t perm, uint32_t id) {
    a.append(reinterpret_cast<const char*>(&tag), 2);
    a.append(reinterpret_cast<const char*>(&perm), 2);
    u32(id);
  };
  u32(2);
  entry(0x01, 6, 0xFFFFFFFF);
  entry(tagUser, 4, 4242);
  entry(0x04, 4, 0xFFFFFFFF);
  entry(0x10, 4, 0xFFFFFFFF);
  entry(0x20, 0, 0xFFFFFFFF);
  return a;
}

bool French(const std::string& reason) {
  for (const char* english : {"No such", "denied", "too long", "No space", "Read-only", "exceeded", "error"})
    if (reason.find(english) != std::string::npos) return false;
  return !reason.empty();
}

class Save : public ::testing::Test {
 protected:
  void TearDown() override {
    platform::posix::SetSaveFaultForTesting(SaveFault::None);
    platform::EndCommand();
  }
  fs::path H(const std::string& rel) const { return fs::path(s.Host()) / rel; }
  std::string W(const std::string& rel) const { return s.Win() + rel; }
  int Write(const std::string& rel, const std::string& key, const std::string& value) {
    raison.clear();
    return platform::ProfileWrite(W(rel), "S", key, value, &raison);
  }
  size_t Leftovers() const {
    size_t n = 0;
    for (const auto& e : fs::directory_iterator(s.Host())) n += e.path().filename().string()[0] == '.';
    return n;
  }
  Sandbox s;
  std::string raison;
};

TEST_F(Save, AReplacedFileKeepsItsOwnerModeAndAttributes) {
  s.Write(W("a.ini"), "[S]\r\nK=1\r\n");
  const fs::path a = H("a.ini");
  ASSERT_EQ(::chmod(a.c_str(), 0640), 0);
  if (::setxattr(a.c_str(), "user.il3", "gardé", 6, 0) != 0) GTEST_SKIP() << "no extended attributes here";
  const std::string acl = Acl();
  ASSERT_EQ(::setxattr(a.c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0), 0);
  const bool root = ::geteuid() == 0;
  if (root) ASSERT_EQ(::chown(a.c_str(), 65534, 65534), 0);
  const struct stat avant = Lstat(a);

  EXPECT_EQ(Write("a.ini", "K", "2"), 1) << raison;
  const struct stat apres = Lstat(a);
  EXPECT_NE(apres.st_ino, avant.st_ino);  // replaced, not rewritten in place
  EXPECT_EQ(s.Read(W("a.ini")), "[S]\r\nK=2\r\n");
  EXPECT_EQ(apres.st_mode, avant.st_mode);
  EXPECT_EQ(apres.st_uid, avant.st_uid);
  EXPECT_EQ(apres.st_gid, avant.st_gid);
  EXPECT_EQ(Attribute(a, "user.il3"), std::string("gardé", 6));
  EXPECT_EQ(Attribute(a, "system.posix_acl_access"), acl);
  if (!root) GTEST_SKIP() << "the owner case needs root";
}

TEST_F(Save, AFolderDefaultAclDoesNotLandOnAReplacedFile) {
  s.Write(W("a.ini"), "[S]\r\nK=1\r\n");
  const std::string acl = Acl();
  if (::setxattr(s.Host().c_str(), "system.posix_acl_default", acl.data(), acl.size(), 0) != 0)
    GTEST_SKIP() << "no ACLs here";
  EXPECT_EQ(Write("a.ini", "K", "2"), 1) << raison;
  EXPECT_EQ(Attribute(H("a.ini"), "system.posix_acl_access"), "<none>");
  // A new file is made as the system makes new files: the folder's default applies.
  EXPECT_EQ(Write("b.ini", "K", "2"), 1) << raison;
  EXPECT_EQ(Attribute(H("b.ini"), "system.posix_acl_access"), acl);
}

TEST_F(Save, OnlyPlainFilesAreReplaced) {
  fs::create_directory(H("dossier.ini"));
  ASSERT_EQ(::mkfifo(H("tube.ini").c_str(), 0644), 0);
  const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  const std::string sockPath = H("prise.ini").string();
  ASSERT_LT(sockPath.size(), sizeof addr.sun_path);
  sockPath.copy(addr.sun_path, sockPath.size());
  ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  s.Write(W("lie.ini"), "[S]\r\nK=1\r\n");
  fs::create_hard_link(H("lie.ini"), H("autre-nom.ini"));
  const bool device = ::mknod(H("peripherique.ini").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
  const struct {
    std::string fichier;
    mode_t type;
    std::string raison;
  } cas[] = {
      {"dossier.ini", S_IFDIR, "dossier"},
      {"tube.ini", S_IFIFO, "tube"},
      {"prise.ini", S_IFSOCK, "socket"},
      {"lie.ini", S_IFREG, "liens physiques"},
      {"peripherique.ini", S_IFCHR, "périphérique"},  // "nul.ini" itself is a Windows device name
  };
  for (const auto& c : cas) {
    if (c.type == S_IFCHR && !device) continue;
    const ino_t avant = Lstat(H(c.fichier)).st_ino;
    EXPECT_EQ(Write(c.fichier, "K", "2"), 0) << c.fichier;
    EXPECT_NE(raison.find(c.raison), std::string::npos) << c.fichier << ": " << raison;
    EXPECT_EQ(Lstat(H(c.fichier)).st_mode & S_IFMT, c.type) << c.fichier;
    EXPECT_EQ(Lstat(H(c.fichier)).st_ino, avant) << c.fichier;
  }
  EXPECT_EQ(s.Read(W("autre-nom.ini")), "[S]\r\nK=1\r\n");
  ::close(sock);
}

TEST_F(Save, AFileThatBecomesAFifoDuringACommandIsLeftAlone) {
  s.Write(W("a.ini"), "[S]\r\nK=1\r\n");
  platform::BeginCommand();
  EXPECT_EQ(Write("a.ini", "K", "2"), 1);
  fs::remove(H("a.ini"));
  ASSERT_EQ(::mkfifo(H("a.ini").c_str(), 0644), 0);
  const auto echecs = platform::EndCommand();
  ASSERT_EQ(echecs.size(), 1u);
  EXPECT_NE(echecs[0].reason.find("tube"), std::string::npos) << echecs[0].reason;
  EXPECT_TRUE(S_ISFIFO(Lstat(H("a.ini")).st_mode));
  EXPECT_EQ(Leftovers(), 0u);
}

// A command writes all its files before it flushes and renames the first: one
// that cannot be saved, wherever it comes in the order, keeps none of the others
// from their save, and leaves nothing behind.
TEST_F(Save, OneFileThatCannotBeSavedKeepsNoneOfTheOthersFromTheirs) {
  fs::create_directories(H("sous"));
  const char* fichiers[] = {"a.ini", "b.ini", "c.ini", "sous\\d.ini"};
  for (const char* refuse : {"a.ini", "b.ini", "c.ini"}) {
    for (const char* f : fichiers) s.Write(W(f), "[S]\r\nK=1\r\n");
    platform::BeginCommand();
    for (const char* f : fichiers) ASSERT_EQ(Write(f, "K", "2"), 1) << f << ": " << raison;
    fs::remove(H(refuse));
    ASSERT_EQ(::mkfifo(H(refuse).c_str(), 0644), 0);
    const auto echecs = platform::EndCommand();
    ASSERT_EQ(echecs.size(), 1u) << refuse;
    EXPECT_EQ(echecs[0].file, W(refuse));
    for (const char* f : fichiers)
      if (std::string(f) != refuse) EXPECT_EQ(s.Read(W(f)), "[S]\r\nK=2\r\n") << refuse << ": " << f;
    EXPECT_TRUE(S_ISFIFO(Lstat(H(refuse)).st_mode));
    EXPECT_EQ(Leftovers(), 0u);
    fs::remove(H(refuse));
  }
}

TEST_F(Save, AChainOfLinksIsFollowedToItsTarget) {
  fs::create_directories(H("partage"));
  s.Write(W("partage\\commun.ini"), "[S]\r\nK=1\r\n");
  fs::create_symlink("partage/commun.ini", H("lien.ini"));
  fs::create_symlink("lien.ini", H("lien2.ini"));

  platform::BeginCommand();
  EXPECT_EQ(Write("lien.ini", "A", "1"), 1) << raison;
  EXPECT_EQ(Write("lien2.ini", "B", "2"), 1) << raison;
  EXPECT_TRUE(platform::EndCommand().empty());
  EXPECT_EQ(s.Read(W("partage\\commun.ini")), "[S]\r\nK=1\r\nA=1\r\nB=2\r\n");
  EXPECT_TRUE(fs::is_symlink(H("lien.ini")));
  EXPECT_TRUE(fs::is_symlink(H("lien2.ini")));
  EXPECT_EQ(Leftovers(), 0u);
}

TEST_F(Save, OneFolderUnderTwoSpellingsIsLockedOnce) {
  fs::create_directory_symlink(".", H("alias"));
  fs::create_symlink("a.ini", H("b.ini"));
  s.Write(W("a.ini"), "[S]\r\n");
  platform::BeginCommand();
  EXPECT_EQ(Write("alias\\a.ini", "A", "1"), 1) << raison;
  EXPECT_EQ(Write("b.ini", "B", "2"), 1) << raison;
  const auto echecs = platform::EndCommand();  // a second lock of the same folder would wait for ever
  EXPECT_TRUE(echecs.empty()) << echecs[0].reason;
  EXPECT_EQ(s.Read(W("a.ini")), "[S]\r\nA=1\r\nB=2\r\n");
}

TEST_F(Save, AnotherWritersChangeToTheSameKeyIsKept) {
  s.Write(W("a.ini"), "[S]\r\nK=1\r\nL=1\r\n");
  platform::BeginCommand();
  EXPECT_EQ(Write("a.ini", "K", "2"), 1);
  EXPECT_EQ(Write("a.ini", "L", "2"), 1);
  EXPECT_EQ(Write("a.ini", "L", "3"), 1);
  EXPECT_EQ(Write("a.ini", "M", "2"), 1);
  s.Write(W("a.ini"), "[S]\r\nK=autre\r\nL=1\r\nN=autre\r\n");
  EXPECT_TRUE(platform::EndCommand().empty());
  EXPECT_EQ(s.Read(W("a.ini")), "[S]\r\nK=autre\r\nL=3\r\nN=autre\r\nM=2\r\n");

  // A file removed meanwhile takes our writes afresh.
  platform::BeginCommand();
  EXPECT_EQ(Write("a.ini", "K", "4"), 1);
  fs::remove(H("a.ini"));
  EXPECT_TRUE(platform::EndCommand().empty());
  EXPECT_EQ(s.Read(W("a.ini")), "[S]\r\nK=4\r\n");
}

TEST_F(Save, AWriterThatOpenedTheOldFileBeforeTheSwapIsWaitedFor) {
  s.Write(W("a.ini"), "[S]\r\nK=1\r\n");
  const int autre = ::open(H("a.ini").c_str(), O_WRONLY | O_APPEND);
  ASSERT_GE(autre, 0);
  platform::BeginCommand();
  EXPECT_EQ(Write("a.ini", "L", "2"), 1);
  std::thread tardif([autre] {  // writes once our file has taken the name
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(::write(autre, "Tard=3\r\n", 8), 8);
    ::close(autre);
  });
  EXPECT_TRUE(platform::EndCommand().empty());
  tardif.join();
  EXPECT_EQ(s.Read(W("a.ini")), "[S]\r\nK=1\r\nTard=3\r\nL=2\r\n");
}

TEST_F(Save, SystemFailuresKeepTheOldFileAndSayWhyInFrench) {
  const std::string avant = "[S]\r\nK=1\r\n";
  const struct {
    SaveFault panne;
    int erreur;
    std::string raison;
  } cas[] = {
      {SaveFault::Write, ENOSPC, "disque plein"},
      {SaveFault::Write, EDQUOT, "quota disque dépassé"},
      {SaveFault::Rename, EROFS, "support en lecture seule"},
      {SaveFault::Rename, ENAMETOOLONG, "nom de fichier trop long"},
      {SaveFault::Write, EIO, "erreur d'entrée-sortie"},
      {SaveFault::Write, 9999, "erreur système n° 9999"},
  };
  for (const auto& c : cas) {
    s.Write(W("a.ini"), avant);
    platform::posix::SetSaveFaultForTesting(c.panne, c.erreur);
    platform::BeginCommand();
    EXPECT_EQ(Write("a.ini", "K", "2"), 1);
    const auto echecs = platform::EndCommand();
    ASSERT_EQ(echecs.size(), 1u) << c.raison;
    EXPECT_NE(echecs[0].reason.find(c.raison), std::string::npos) << echecs[0].reason;
    EXPECT_TRUE(French(echecs[0].reason)) << echecs[0].reason;
    EXPECT_EQ(s.Read(W("a.ini")), avant) << c.raison;
    EXPECT_EQ(Leftovers(), 0u) << c.raison;
  }
}

TEST_F(Save, LeftoversOfKilledSavesGoAtTheNextCommand) {
  s.Write(W("a.ini"), "[S]\r\nK=1\r\n");
  s.Write(W(".a.ini.il3-Xy12Z9"), "[S]\r\nK=");  // a save killed before its rename
  s.Write(W(".b.ini.il3-x"), "not ours");
  EXPECT_EQ(platform::ProfileRead(W("a.ini"), "S", "K", ""), "1");
  platform::BeginCommand();
  EXPECT_EQ(Write("a.ini", "K", "1"), 1);  // nothing to write
  EXPECT_TRUE(platform::EndCommand().empty());
  EXPECT_FALSE(fs::exists(H(".a.ini.il3-Xy12Z9")));
  EXPECT_TRUE(fs::exists(H(".b.ini.il3-x")));
}

TEST(TemporaryNames, FitTheNameLimitAndAreRecognised) {
  using platform::posix::IsTemporaryName;
  using platform::posix::TemporaryName;
  const std::string e = "\xC3\xA9";  // é, two bytes
  for (const std::string& nom : {std::string("Kv_Sys.ini"), std::string(244, 'n'), std::string(255, 'n'),
                                 std::string(242, 'n') + e + e + ".ini"}) {
    const std::string t = TemporaryName(nom, 255);
    EXPECT_LE(t.size(), 255u) << nom.size();
    EXPECT_TRUE(IsTemporaryName(t)) << t;
    EXPECT_NE(t.substr(t.size() - 4), ".ini");
    EXPECT_LT(static_cast<unsigned char>(t[t.size() - 12]), 0xC0) << "cut inside a character";
    EXPECT_NE(TemporaryName(nom, 255), t);
  }
  EXPECT_EQ(TemporaryName("Kv_Sys.ini", 255).rfind(".Kv_Sys.ini.il3-", 0), 0u);
  for (const char* pas : {"Kv_Sys.ini", ".Kv_Sys.ini", ".a.il3-12345", ".a.il3-12345!", "a.ini.il3-123456"})
    EXPECT_FALSE(IsTemporaryName(pas)) << pas;
}

}  // namespace
