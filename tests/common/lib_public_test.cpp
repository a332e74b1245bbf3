// The text helpers every folder and file operation goes through.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "common/erreurs.h"
#include "common/lib_public.h"
#include "support/sandbox.h"

namespace {

struct Cas {
  std::string entree;
  std::string attendu;
};

TEST(CheckRep, GivesExactlyOneTrailingSeparator) {
  const Cas cas[] = {
      {"", ""},
      {"C:\\Sons", "C:\\Sons\\"},
      {"C:\\Sons\\", "C:\\Sons\\"},
      {"C:\\Sons\\\\", "C:\\Sons\\"},
      // A longer run loses only one separator.
      {"C:\\Sons\\\\\\", "C:\\Sons\\\\"},
      {"\\", "\\"},
      {"C:", "C:\\"},
  };
  for (const Cas& c : cas) EXPECT_EQ(CheckRep(c.entree, "\\"), c.attendu) << "[" << c.entree << "]";
}

TEST(NettoieNomDeDossier, CleansTypedFolderText) {
  const Cas cas[] = {
      // The slash becomes a blank; blanks before a backslash go.
      {"C:\\Mes Sons /Pub \\", "C:\\Mes Sons  Pub\\"},
      {"D:\\Data..\\x%y:z", "D:\\Data\\x%y z"},
      {"C:\\Radio 100%\\", "C:\\Radio 100%\\"},
      // Dot components, as Windows reads them: never above the drive or the share.
      {"C:\\Kelvaro\\..\\x\\", "C:\\x\\"},
      {"C:\\a\\.\\b\\..\\..\\..\\c", "C:\\c"},
      {"\\\\srv\\part\\..\\..\\x\\", "\\\\srv\\part\\x\\"},
      {"C:\\a\\b\\..", "C:\\a\\"},
      {"C:", "C:"},
      {"\\\\srv\\a:b", "\\\\srv\\a b"},
      // Blanks are trimmed before the drive is set aside, so its colon survives.
      {" C:\\x", "C:\\x"},
      {"   D:\\Sons  ", "D:\\Sons"},
      {"C:\\a*b?c\"d<e>f|g,h", "C:\\a b c d e f g h"},
      // Runs of exactly three blanks shrink to one, in one pass.
      {"C:\\a  b", "C:\\a  b"},
      {"C:\\a   b", "C:\\a b"},
      {"C:\\a    b", "C:\\a  b"},
      {"C:\\a      b", "C:\\a  b"},
      // "..." first, then "..": five dots leave nothing.
      {"C:\\a....b", "C:\\a.b"},
      {"C:\\a.....b", "C:\\ab"},
      // Any number of blanks before a backslash goes, however they arose.
      {"C:\\x    \\y \\", "C:\\x\\y\\"},
      {"C:\\x:", "C:\\x"},
      {"c::", "c:"},
      {"", ""},
      {"*?/ |", ""},
      {"C:\\Données\\Sons", "C:\\Données\\Sons"},
  };
  for (const Cas& c : cas) EXPECT_EQ(NettoieNomDeDossier(c.entree), c.attendu) << "[" << c.entree << "]";
}

TEST(NomFichierCorrect, RefusesOnlyWildcardsQuotesAndBar) {
  const struct {
    std::string chemin;
    bool correct;
  } cas[] = {
      {"C:\\IL_Data\\Data\\x.ini", true},
      {"", true},
      {"C:\\<a>:b.ini", true},
      {"C:\\a|b.ini", false},
      {"C:\\*.ini", false},
      {"C:\\a?.ini", false},
      {"C:\\\"a\".ini", false},
  };
  for (const auto& c : cas) EXPECT_EQ(NomFichierCorrect(c.chemin), c.correct) << c.chemin;
}

TEST(EclateRepFicExt, SplitsFolderNameAndExtension) {
  const struct {
    std::string chemin, rep, fic, ext;
  } cas[] = {
      {"C:\\a\\file.tar.gz", "C:\\a\\", "file.tar", ".gz"},
      {"C:\\my.dir\\file", "C:\\my.dir\\", "file", ""},
      {"file.txt", "", "file", ".txt"},
      {"C:\\a\\", "C:\\a\\", "", ""},
      {"   ", "", "", ""},
      {"", "", "", ""},
      {"  C:\\x\\y.ini  ", "C:\\x\\", "y", ".ini"},
      {"C:\\a\\.hidden", "C:\\a\\", "", ".hidden"},
      {"x", "", "x", ""},
      {"\\x.y", "\\", "x", ".y"},
      {"C:\\Sons\\Générique.wav", "C:\\Sons\\", "Générique", ".wav"},
  };
  for (const auto& c : cas) {
    RepFicExt = {"stale", "stale", "stale"};
    EclateRepFicExt(c.chemin);
    EXPECT_EQ(RepFicExt.Rep, c.rep) << "[" << c.chemin << "]";
    EXPECT_EQ(RepFicExt.Fic, c.fic) << "[" << c.chemin << "]";
    EXPECT_EQ(RepFicExt.Ext, c.ext) << "[" << c.chemin << "]";
  }
}

TEST(N2S, FormatsFixedWidthNumbers) {
  const struct {
    double valeur;
    int16_t largeur, decimales;
    std::string remplissage, attendu;
  } cas[] = {
      {5, 2, 0, "0", "05"},
      {12, 2, 0, "0", "12"},
      {123, 2, 0, "0", "23"},
      {0, 2, 0, "0", "00"},
      {7, 3, 0, "0", "007"},
      {2.5, 2, 0, "0", "03"},
      {2.4, 2, 0, "0", "02"},
      {0.5, 2, 0, "0", "01"},
      {5, 3, 0, "", "  5"},
      {5, 3, 0, "xy", "xx5"},
      // Negatives: the blank next to the digits, else a leading zero, else in front.
      {-5, 2, 0, "0", "-5"},
      {-25, 2, 0, "0", "-25"},
      {-5, 3, 0, " ", " -5"},
      {-5, 3, 0, "0", "-05"},
      {-123, 2, 0, "0", "-23"},
      // Above the 32-bit range the value is held at its largest.
      {1e12, 3, 0, "0", "647"},
      // Decimals keep the width: the first fill character makes room for the dot.
      {1.231, 6, 2, " ", "  1.24"},
      {0.301, 6, 2, " ", "  0.31"},
      {0.001, 6, 2, " ", "  0.01"},
      {-1.231, 6, 2, " ", " -1.24"},
      {12.5, 6, 1, "0", "0012.5"},
  };
  for (const auto& c : cas)
    EXPECT_EQ(N2S(c.valeur, c.largeur, c.decimales, c.remplissage), c.attendu)
        << c.valeur << " width " << c.largeur << " decimals " << c.decimales << " fill [" << c.remplissage << "]";
}

TEST(N2S, ImpossibleShapesAreReportedNotThrown) {
  const struct {
    int16_t largeur, decimales;
    int32_t numero;
  } cas[] = {
      {2, 2, erreur::AppelIncorrect},  // no room for the dot
      {3, 2, erreur::AppelIncorrect},  // no room for an integer part: ".50" is no answer
      {12, 10, erreur::Depassement},   // a scale of 10^10 is no 32-bit integer
      {20, 15, erreur::Depassement},
  };
  for (const auto& c : cas) {
    ResetServices();
    int rapports = 0;
    DefinirCrochetsRapporteur({nullptr, [&] { ++rapports; }});
    EXPECT_NO_THROW(N2S(1.5, c.largeur, c.decimales, "0"));
    EXPECT_EQ(ErreurNumero, c.numero) << c.largeur << "/" << c.decimales;
    EXPECT_EQ(rapports, 1) << c.largeur << "/" << c.decimales;
    EXPECT_NE(ErreurSource, "");
  }
  ResetServices();
  EXPECT_EQ(N2S(1.5, 4, 2, "0"), "1.50");
  EXPECT_EQ(N2S(1.5, 11, 9, "0"), "1.505000000");  // 0.005 is added before the scaling
}

}  // namespace
