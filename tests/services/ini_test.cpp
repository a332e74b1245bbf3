// Reading and writing one key: the status line, the checks, the recovery ladder.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/erreurs.h"
#include "platform/platform.h"
#include "services/lib_setup.h"
#include "services/lib_systeme.h"
#include "support/sandbox.h"

namespace fs = std::filesystem;

namespace {

class Ini : public ::testing::Test {
 protected:
  void SetUp() override {
    DefinirLigneDeProgression([this](const std::string& l) { lignes.push_back(l); });
    DefinirCrochetsRapporteur({nullptr, [this] { ++rapports; }});
  }
  void TearDown() override { ResetServices(); }
  std::string W(const std::string& rel) const { return s.Win() + rel; }

  Sandbox s;
  std::vector<std::string> lignes;
  int rapports = 0;
};

TEST_F(Ini, EveryWriteShowsItsFourPartsFirst) {
  EXPECT_TRUE(EcritureIni(W("a.ini"), "Sect", "Cle", "Val"));
  EXPECT_FALSE(EcritureIni(W("a.ini"), "   ", "Cle", "Val"));
  EXPECT_EQ(lignes, (std::vector<std::string>{W("a.ini") + " |Sect | Cle | Val", W("a.ini") + " |    | Cle | Val"}));
}

TEST_F(Ini, InvalidArgumentsWriteNothingAndCountAsUnwritten) {
  const struct {
    std::string fichier, section, cle;
  } cas[] = {
      {W("a.ini"), "   ", "Cle"}, {W("a.ini"), "S", ""},    {W("a.ini"), "", "  "},
      {W("a*.ini"), "S", "K"},   {W("a?.ini"), "S", "K"}, {W("a\".ini"), "S", "K"},
      {W("a|b.ini"), "S", "K"},
  };
  for (const auto& c : cas) {
    EXPECT_FALSE(EcritureIni(c.fichier, c.section, c.cle, "v")) << c.fichier << " [" << c.section << "]";
    EXPECT_EQ(LectureIni(c.fichier, "S", "K", "défaut"), "défaut");
  }
  EXPECT_TRUE(fs::is_empty(s.Host()));
  // No error report, but the command that asked learns of every refused key.
  int refuses = 0;
  for (const EchecsFichier& f : Bilan().fichiers()) refuses += f.nombre;
  EXPECT_EQ(refuses, 7);
  EXPECT_EQ(Bilan().fichiers()[0].premiereRaison, "section ou cl\xC3\xA9 vide");
  EXPECT_EQ(Bilan().fichiers()[1].premiereRaison, "nom de fichier incorrect");
  EXPECT_EQ(rapports, 0);
}

TEST_F(Ini, ReadReturnsTheStoredValueOrTheDefault) {
  s.Write(W("a.ini"), "[S]\r\nVide=\r\nBlancs =  x y  \r\nQuotes=\"  q \"\r\nAccent=\xE9t\xE9\r\n");
  const struct {
    std::string fichier, section, cle, attendu;
  } cas[] = {
      {W("a.ini"), "S", "Vide", ""},
      {W("a.ini"), "S", "Blancs", "x y"},
      {W("a.ini"), "S", "Quotes", "  q "},
      {W("a.ini"), "s", "ACCENT", "été"},
      {W("a.ini"), "S", "Absente", "déf"},
      {W("a.ini"), "T", "Vide", "déf"},
      {W("absent.ini"), "S", "Vide", "déf"},
      {"Q:\\a.ini", "S", "Vide", "déf"},
  };
  for (const auto& c : cas) EXPECT_EQ(LectureIni(c.fichier, c.section, c.cle, "déf"), c.attendu) << c.cle;
}

TEST_F(Ini, ReadThenWriteBackKeepsEveryValueWhole) {
  const std::string longue(300, 'x');
  const std::string avant = "; comment\r\n[S]\r\nLongue=" + longue + "\r\nVide=\r\nInconnue=1\r\n";
  s.Write(W("a.ini"), avant);
  for (const char* cle : {"Longue", "Vide"}) {
    const std::string v = LectureIni(W("a.ini"), "S", cle, "défaut");
    EXPECT_EQ(v, cle == std::string("Longue") ? longue : "");
    EXPECT_TRUE(EcritureIni(W("a.ini"), "S", cle, v));
  }
  EXPECT_EQ(s.Read(W("a.ini")), avant);
}

TEST_F(Ini, AValueTooLongForWindowsIsNeverWrittenBack) {
  for (const size_t n : {size_t{32766}, size_t{32767}, size_t{40000}}) {
    const std::string avant = "[S]\r\nLongue=" + std::string(n, 'x') + "\r\nAutre=1\r\n";
    s.Write(W("a.ini"), avant);
    Bilan().vider();
    const std::string v = LectureIni(W("a.ini"), "S", "Longue", "");
    EXPECT_EQ(v.size(), n);
    EXPECT_EQ(EcritureIni(W("a.ini"), "S", "Longue", v), n <= 32766) << n;
    EXPECT_TRUE(EcritureIni(W("a.ini"), "S", "Autre", "2"));
    EXPECT_EQ(s.Read(W("a.ini")), "[S]\r\nLongue=" + std::string(n, 'x') + "\r\nAutre=2\r\n") << n;
    if (n > 32766) {
      ASSERT_EQ(Bilan().fichiers().size(), 1u);
      EXPECT_NE(Bilan().fichiers()[0].premiereRaison.find("[S] Longue"), std::string::npos);
    }
  }
}

TEST_F(Ini, AWriteIntoAMissingFolderCreatesTheFolderChain) {
  EXPECT_TRUE(EcritureIni(W("a\\b\\x.ini"), "S", "K", "été"));
  EXPECT_EQ(s.Read(W("a\\b\\x.ini")), "[S]\r\nK=\xE9t\xE9\r\n");
  EXPECT_EQ(CacheDossiers.DernierDossier, W("a\\b\\"));
  EXPECT_TRUE(Bilan().vide());
}

TEST_F(Ini, AReadOnlyFileIsMadeWritable) {
  if (SousWine()) GTEST_SKIP() << "Wine writes read-only files for root; Windows does not";
  s.Write(W("a.ini"), "[S]\r\nK=1\r\n");
  s.SetReadOnly(W("a.ini"), true);
  EXPECT_TRUE(EcritureIni(W("a.ini"), "S", "K", "2"));
  EXPECT_EQ(LectureIni(W("a.ini"), "S", "K", ""), "2");
  EXPECT_EQ(platform::GetAttributes(W("a.ini")), 32u);
}

TEST_F(Ini, AReadOnlyEmptyFileFailsAndIsRecorded) {
  if (SousWine()) GTEST_SKIP() << "Wine writes read-only files for root; Windows does not";
  s.Write(W("a.ini"), "");
  s.SetReadOnly(W("a.ini"), true);
  EXPECT_FALSE(EcritureIni(W("a.ini"), "S", "K", "1"));
  EXPECT_FALSE(EcritureIni(W("a.ini"), "S", "L", "2"));
  EXPECT_EQ(s.Read(W("a.ini")), "");
  EXPECT_EQ(platform::GetAttributes(W("a.ini")), 33u);
  ASSERT_EQ(Bilan().fichiers().size(), 1u);
  EXPECT_EQ(Bilan().fichiers()[0].fichier, W("a.ini"));
  EXPECT_EQ(Bilan().fichiers()[0].nombre, 2);
  EXPECT_FALSE(Bilan().fichiers()[0].premiereRaison.empty());
  EXPECT_FALSE(DerniereRaison().empty());
  EXPECT_EQ(rapports, 0);
}

TEST_F(Ini, AnEmptyValueIsWrittenAndKept) {
  EXPECT_TRUE(EcritureIni(W("a.ini"), "S", "K", ""));
  EXPECT_EQ(LectureIni(W("a.ini"), "S", "K", "défaut"), "");
  EXPECT_EQ(s.Read(W("a.ini")), "[S]\r\nK=\r\n");
}

TEST_F(Ini, WhatWouldBreakTheFileIsRefused) {
  const std::string avant = "[S]\r\nK=1\r\n";
  s.Write(W("a.ini"), avant);
  const struct {
    std::string fichier, section, cle, valeur;
  } cas[] = {
      {W("a.ini"), "S", "K", "a\rb"},
      {W("a.ini"), "S", "K", "a\nb"},
      {W("a.ini"), "S", "K", std::string("a\0b", 3)},
      {W("a.ini"), "S\n", "K", "v"},
      {W("a.ini"), "S", std::string("K\0", 2), "v"},
      {W("a.ini"), "S]", "K", "v"},
      {W("a.ini"), "S", "K=L", "v"},
      {W("a.ini"), "S", "[K", "v"},
      {W("a.ini"), "S", ";K", "v"},
      {W("a.ini"), "S", "  ;K", "v"},
      {W("a.ini"), "S", "K", "\xC4\x80"},        // U+0100
      {W("a.ini"), "S", "K", "Жар"},             // Cyrillic
      {W("a.ini"), "Ж", "K", "v"},
      {W("a.ini"), "S", "K", "\xE2\x9D\xA4"},    // U+2764
      {W("a.ini"), "S", "K", "\xC0\x8A"},        // an overlong line feed
      {W("a.ini"), "S", "K", "\xC0\x80"},        // an overlong NUL
      {W("a.ini"), "S", "K", "\xFF"},            // not UTF-8
      {W("Ж.ini"), "S", "K", "v"},
  };
  for (const auto& c : cas) {
    Bilan().vider();
    EXPECT_FALSE(EcritureIni(c.fichier, c.section, c.cle, c.valeur)) << c.section << "|" << c.cle << "|" << c.valeur;
    EXPECT_EQ(Bilan().fichiers().size(), 1u) << c.valeur;
    EXPECT_FALSE(DerniereRaison().empty()) << c.valeur;
  }
  EXPECT_EQ(s.Read(W("a.ini")), avant);
  EXPECT_FALSE(s.Exists(W("Ж.ini")));
}

TEST_F(Ini, WindowsLettersAreStoredAsSingleBytes) {
  EXPECT_TRUE(EcritureIni(W("a.ini"), "Sé", "Clé", "€ œ à"));
  EXPECT_EQ(s.Read(W("a.ini")), "[S\xE9]\r\nCl\xE9=\x80 \x9C \xE0\r\n");
  if (SousWine()) return;  // Wine folds only ASCII letters; Windows folds these too
  EXPECT_EQ(LectureIni(W("a.ini"), "SÉ", "CLÉ", ""), "€ œ à");
}

TEST_F(Ini, NewSectionsAndKeysLandAfterTheExistingOnes) {
  if (SousWine()) GTEST_SKIP() << "Wine puts a new key after trailing comments; Windows before them";
  s.Write(W("a.ini"), "[A]\r\nx=1\r\n; note\r\n[B]\r\ny=2\r\n");
  EXPECT_TRUE(EcritureIni(W("a.ini"), "a", "z", "3"));
  EXPECT_TRUE(EcritureIni(W("a.ini"), "C", "w", "4"));
  EXPECT_TRUE(EcritureIni(W("a.ini"), "B", "Y", "5"));
  EXPECT_EQ(s.Read(W("a.ini")), "[A]\r\nx=1\r\nz=3\r\n; note\r\n[B]\r\ny=5\r\n[C]\r\nw=4\r\n");
}

}  // namespace

namespace {

// Within a command, once a write took the file, its keys go in one pass; names a
// write would not take as they are still go the usual way, and are refused there
// with the same reason.
TEST_F(Ini, InOnePassTheNamesAWriteRefusesAreRefusedAsEver) {
  DefinirLigneDeProgression(nullptr);
  const std::string f = W("p.ini");
  platform::BeginCommand();
  ASSERT_TRUE(EcritureIni(f, "S", "Premiere", "1"));
  const struct {
    const char *section, *cle, *raison;
  } cas[] = {
      {"S", "a=b", "« = » interdit dans un nom de clé"},
      {"S", "  [x", "un nom de clé ne peut commencer par « [ » ou « ; »"},
      {"S", ";c", "un nom de clé ne peut commencer par « [ » ou « ; »"},
      {"s]t", "k", "« ] » interdit dans un nom de section"},
  };
  for (const auto& c : cas) {
    EXPECT_FALSE(LireEtEcrireIni(f, c.section, c.cle, "v", [](std::string&) {})) << c.cle;
    EXPECT_EQ(DerniereRaison(), std::string(c.raison) + " dans [" + c.section + "] " + c.cle);
  }
  EXPECT_FALSE(LireEtEcrireIni(f, "S", "k", "v", [](std::string& v) { v = "a\nb"; }));
  EXPECT_TRUE(LireEtEcrireIni(f, "S", "Seconde", "2", [](std::string&) {}));
  EXPECT_TRUE(platform::EndCommand().empty());
  EXPECT_EQ(s.Read(f), "[S]\r\nPremiere=1\r\nSeconde=2\r\n");
}

}  // namespace
