// The window's program as il3-setup starts it: what the loader's words say is
// missing, what the user reads, the word the program sends once it runs, and
// the folder it counts as its own.
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "app/ouverture_fenetre.h"
#include "platform/platform.h"
#include "platform/posix/program_start.h"
#include "support/sandbox.h"

namespace {

using Echec = platform::ProgramRun::Failure;

TEST(FenetreLancement, MissingLibraryFromTheLoadersListing) {
  const struct {
    const char* listing;
    const char* library;
  } cas[] = {
      {"\tlinux-vdso.so.1 (0x00007ffd)\n\tlibQt6Widgets.so.6 => not found\n\tlibc.so.6 => /lib/libc.so.6 (0x7f)\n",
       "libQt6Widgets.so.6"},
      {"\tlibQt6Gui.so.6 => not found\n\tlibQt6Core.so.6 => not found\n", "libQt6Gui.so.6"},
      {"\tlibfoo.so => not found\r\n", "libfoo.so"},
      {"\tlibc.so.6 => /lib/x86_64-linux-gnu/libc.so.6 (0x00007f)\n", ""},
      {"\tnot a dynamic executable\n", ""},
      {"something => not found\n", "something"},
      {"two words => not found\n", ""},
      {" => not found\n", ""},
      {"", ""},
  };
  for (const auto& c : cas)
    EXPECT_EQ(platform::posix::MissingLibraryInTrace(c.listing), c.library) << "[" << c.listing << "]";
}

TEST(FenetreLancement, MissingLibraryFromTheLoadersError) {
  const struct {
    const char* words;
    const char* library;
  } cas[] = {
      {"il3-setup: error while loading shared libraries: libQt6Widgets.so.6: cannot open shared object file: No such "
       "file or directory\n",
       "libQt6Widgets.so.6"},
      {"/usr/lib/il3-setup/il3-setup-window: symbol lookup error: undefined symbol: _ZN7QWidget4showEv\n", ""},
      {"il3-setup: error while loading shared libraries: libX.so: wrong ELF class: ELFCLASS32\n", ""},
      {"error while loading shared libraries: \nlibX.so: cannot open shared object file\n", ""},
      {"", ""},
  };
  for (const auto& c : cas) EXPECT_EQ(platform::posix::MissingLibraryInError(c.words), c.library) << c.words;
}

TEST(FenetreLancement, LoaderWordsOnOneLine) {
  EXPECT_EQ(platform::posix::LoaderWords("il3-setup: symbol lookup error: x\n\n  \nsecond\n", "il3-setup"),
            "symbol lookup error: x; second");
  EXPECT_EQ(platform::posix::LoaderWords("autre: words\n", "il3-setup"), "autre: words") << "only its own name";
  EXPECT_EQ(platform::posix::LoaderWords("", "il3-setup"), "");
  // Cut between characters, never inside one.
  std::string long_;
  for (int i = 0; i < 200; ++i) long_ += "é";
  const std::string coupe = platform::posix::LoaderWords(long_, "");
  EXPECT_LT(coupe.size(), 310u);
  EXPECT_EQ(coupe.substr(coupe.size() - 3), "…");
  EXPECT_EQ(coupe.substr(0, coupe.size() - 3).size() % 2, 0u) << coupe;
}

TEST(FenetreLancement, WhatTheUserReads) {
  const struct {
    Echec failure;
    const char* library;
    const char* detail;
    std::vector<std::string> words;
    std::vector<std::string> not_;
  } cas[] = {
      {Echec::Missing, "", "", {"la fenêtre n'est pas installée", "le programme /p/il3-setup-window est introuvable"}, {}},
      {Echec::LibraryMissing,
       "libQt6Widgets.so.6",
       "",
       {"la bibliothèque libQt6Widgets.so.6 est introuvable", "le programme /p/il3-setup-window en a besoin",
        "Qt 6 n'est pas installé: paquet libqt6widgets6"},
       {}},
      {Echec::LibraryMissing, "libfoo.so.1", "", {"la bibliothèque libfoo.so.1 est introuvable"}, {"Qt 6"}},
      {Echec::Unusable,
       "",
       "Exec format error",
       {"la fenêtre ne peut s'ouvrir", "/p/il3-setup-window est inutilisable (Exec format error)"},
       {"module"}},
  };
  for (const auto& c : cas) {
    platform::ProgramRun r;
    r.failure = c.failure;
    r.path = "/p/il3-setup-window";
    r.library = c.library;
    r.detail = c.detail;
    const std::string motif = app::MotifFenetreAbsente(r);
    for (const std::string& w : c.words) EXPECT_NE(motif.find(w), std::string::npos) << motif << " / " << w;
    for (const std::string& w : c.not_) EXPECT_EQ(motif.find(w), std::string::npos) << motif << " / " << w;
  }
}

// The word on a pipe, the variables gone; nothing written where no pipe was left.
TEST(FenetreLancement, TheStartedProgramSaysItRuns) {
  Sandbox s;
  const auto demarrer = [](const std::string& lancement, const char* lanceur) {
    ::setenv("IL3_LANCEMENT", lancement.c_str(), 1);
    ::setenv("IL3_LANCEUR", lanceur, 1);
    const std::string starter = platform::ProgramStarted();
    EXPECT_EQ(std::getenv("IL3_LANCEMENT"), nullptr) << lancement;
    EXPECT_EQ(std::getenv("IL3_LANCEUR"), nullptr) << lancement;
    return starter;
  };
  int tube[2];
  ASSERT_EQ(::pipe(tube), 0);
  const int pret = ::dup(tube[1]);
  EXPECT_EQ(demarrer(std::to_string(pret) + ",-1", "/opt/il3/bin/il3-setup"), "/opt/il3/bin/il3-setup");
  char mot = 0;
  EXPECT_EQ(::read(tube[0], &mot, 1), 1);
  EXPECT_EQ(mot, 'P');
  EXPECT_EQ(::fcntl(pret, F_GETFD), -1) << "closed once written";

  const int dossier = ::open(".", O_RDONLY | O_DIRECTORY);
  ASSERT_GE(dossier, 0);
  const struct {
    std::string lancement;
    const char* attendu;
  } autres[] = {
      {std::to_string(dossier) + ",-1", "/x/il3-setup"},  // no pipe: left alone
      {"1,2", "/x/il3-setup"},                            // the standard three are not the starter's
      {"pas un nombre", ""},
      {std::to_string(dossier) + ",", ""},
  };
  for (const auto& c : autres) EXPECT_EQ(demarrer(c.lancement, "/x/il3-setup"), c.attendu) << c.lancement;
  EXPECT_NE(::fcntl(dossier, F_GETFD), -1) << "still open";
  EXPECT_EQ(platform::ProgramStarted(), "") << "started otherwise";
  ::close(dossier);
  ::close(tube[0]);
  ::close(tube[1]);
}

// The window's program lies in lib/il3-setup/: the site file goes where il3-setup would put it.
TEST(FenetreLancement, TheStartersFolderIsTheProgramsOwn) {
  Sandbox s;
  platform::Configure({s.Prefix(), ""});
  const std::string lanceur = s.Prefix() + "/drive_c/Outils/il3-setup";
  ::setenv("IL3_LANCEMENT", "-1,-1", 1);
  ::setenv("IL3_LANCEUR", lanceur.c_str(), 1);
  ASSERT_EQ(platform::ProgramStarted(), lanceur);
  EXPECT_EQ(platform::ProgramFolder(), "C:\\Outils");
  platform::Configure({s.Prefix(), "D:\\Ailleurs\\"});
  EXPECT_EQ(platform::ProgramFolder(), "D:\\Ailleurs\\") << "--app-dir still wins";
  platform::posix::SetStarter("");
}

}  // namespace
