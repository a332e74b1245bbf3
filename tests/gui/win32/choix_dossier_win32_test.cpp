// The shell's folder browser, the real one: opened on the right folder,
// answered through its edit box, cancelled. Reached from a timer inside its
// modal loop.
//
// Wine's browser returns the tree's selection and ignores what is typed in
// the edit box, where Windows takes a typed folder: the answer is typed and
// selected both, so that either reading gives it.
#include <gtest/gtest.h>

#include <memory>

#include "banc_win32.h"
#include "services/lib_systeme.h"
#include "setup_window/win32/choix_dossier_win32.h"

using fenetre::Nom;

namespace {

// The browser's edit box: 14148 on Windows; Wine gives that id to its caption
// and 14149 to the box.
int idZoneDeSaisie() { return SousWine() ? 14149 : 14148; }

// What the browser showed when it was found, and how it was answered.
struct Parcours {
  bool trouve = false;
  std::wstring invite;       // the static that holds the prompt
  std::wstring selection;    // the tree's selected item
  std::wstring parent;       // and its parent item
  std::wstring zoneDeSaisie;  // the edit box's text, null when there is none
  bool zoneTrouvee = false;
};

std::wstring texteElement(HWND arbre, HTREEITEM element) {
  wchar_t texte[MAX_PATH] = {};
  TVITEMW item{};
  item.mask = TVIF_TEXT;
  item.hItem = element;
  item.pszText = texte;
  item.cchTextMax = MAX_PATH;
  if (!element || !SendMessageW(arbre, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return {};
  return texte;
}

// Looks at the browser owned by `proprietaire` once it shows `attendu` selected
// (or after two seconds), and answers it: the path typed in its edit box then
// OK, or Cancel when `saisie` is empty.
std::function<bool()> repondre(HWND proprietaire, Parcours* p, std::wstring attendu, std::wstring saisie,
                               std::wstring capture = L"") {
  auto tics = std::make_shared<int>(0);
  return [=] {
    HWND dialogue = DialogueDe(proprietaire);
    if (!dialogue) return false;
    p->trouve = true;
    // The shell fills its tree after the dialog shows on the first use.
    HWND arbre = GetDlgItem(dialogue, 14145);
    const std::wstring choisi = texteElement(
        arbre, reinterpret_cast<HTREEITEM>(SendMessageW(arbre, TVM_GETNEXTITEM, TVGN_CARET, 0)));
    if (choisi != attendu && ++*tics < 40) return false;
    for (HWND s : Enfants(dialogue, L"Static")) {
      const std::wstring t = TexteFenetre(s);
      if (t.find(L"lectionnez") != std::wstring::npos || t.find(L"Choisir") != std::wstring::npos) p->invite = t;
    }
    for (HWND arbre : Enfants(dialogue, WC_TREEVIEWW)) {
      auto courant = reinterpret_cast<HTREEITEM>(SendMessageW(arbre, TVM_GETNEXTITEM, TVGN_CARET, 0));
      p->selection = texteElement(arbre, courant);
      p->parent = texteElement(
          arbre, reinterpret_cast<HTREEITEM>(SendMessageW(arbre, TVM_GETNEXTITEM, TVGN_PARENT,
                                                          reinterpret_cast<LPARAM>(courant))));
    }
    if (!capture.empty()) CapturerFenetre(dialogue, CheminDepuisHote(IL3_ARTEFACTS) + L"\\" + capture);
    HWND zone = GetDlgItem(dialogue, idZoneDeSaisie());
    p->zoneTrouvee = zone && ClasseDe(zone) == L"Edit" && IsWindowVisible(zone);
    p->zoneDeSaisie = TexteFenetre(zone);
    if (saisie.empty()) {
      PostMessageW(GetDlgItem(dialogue, IDCANCEL), BM_CLICK, 0, 0);
    } else {
      SetWindowTextW(zone, saisie.c_str());
      SendMessageW(dialogue, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(saisie.c_str()));
      PostMessageW(GetDlgItem(dialogue, IDOK), BM_CLICK, 0, 0);
    }
    return true;
  };
}

std::wstring dernierElement(const std::string& dossier) {
  std::string d = dossier;
  if (!d.empty() && d.back() == '\\') d.pop_back();
  return Large(d.substr(d.rfind('\\') + 1));
}

}  // namespace

TEST(ChoixDossier, OuvertSurLeDossierEtReponduParSaZoneDeSaisie) {
  Banc b(false);
  const std::string depart = b.box.Win() + "Depart\\";
  const std::string tape = b.box.Win() + "Tape";
  VerificationEtCreationRepertoire(depart);
  VerificationEtCreationRepertoire(tape);

  Parcours p;
  PendantLeModal(repondre(b.F(), &p, L"Depart", Large(tape)));
  const auto r = fenetre::win32::ChoisirDossierShell(b.F(), "Choisir le dossier des sons", depart);
  ASSERT_TRUE(p.trouve);
  EXPECT_EQ(p.invite, L"Choisir le dossier des sons");
  // Opened on the folder itself: selected, below the sandbox, and named in the edit box.
  EXPECT_TRUE(p.zoneTrouvee);
  EXPECT_EQ(p.zoneDeSaisie, L"Depart");
  EXPECT_EQ(p.selection, L"Depart");
  EXPECT_EQ(p.parent, dernierElement(b.box.Win()));
  ASSERT_TRUE(r.has_value());
  EXPECT_EQ(*r, tape);
}

TEST(ChoixDossier, Annule) {
  Banc b(false);
  Parcours p;
  PendantLeModal(repondre(b.F(), &p, dernierElement(b.box.Win()), L""));
  const auto r = fenetre::win32::ChoisirDossierShell(b.F(), "Choisir", b.box.Win());
  ASSERT_TRUE(p.trouve);
  EXPECT_EQ(p.selection, dernierElement(b.box.Win()));
  EXPECT_FALSE(r.has_value());
}

// "..." of a folder row, end to end through the real browser.
TEST(ChoixDossier, BoutonParcourirDeLaFenetre) {
  Banc b(false);
  const std::string sons = b.box.Win() + "Sons\\";
  const std::string autre = b.box.Win() + "Autre";
  VerificationEtCreationRepertoire(sons);
  VerificationEtCreationRepertoire(autre);
  b.Ecrire(Nom::TexteDossier, 4, Large(sons));

  Parcours p;
  PendantLeModal(repondre(b.F(), &p, L"Sons", Large(autre), L"parcourir_win32.bmp"));
  b.Cliquer(Nom::CommandDossier, 4);
  ASSERT_TRUE(p.trouve);
  EXPECT_EQ(p.invite, L"S\u00E9lectionnez un dossier: ");
  EXPECT_EQ(p.selection, L"Sons");
  EXPECT_EQ(Etroit(b.TexteDe(Nom::TexteDossier, 4)), autre + "\\");
  EXPECT_EQ(b.FondPeint(4), GetSysColor(COLOR_WINDOW));

  // Cancelled: the field keeps its text and colour.
  Parcours annule;
  PendantLeModal(repondre(b.F(), &annule, L"Autre", L""));
  b.Cliquer(Nom::CommandDossier, 4);
  ASSERT_TRUE(annule.trouve);
  EXPECT_EQ(annule.selection, L"Autre");
  EXPECT_EQ(Etroit(b.TexteDe(Nom::TexteDossier, 4)), autre + "\\");
  EXPECT_EQ(b.FondPeint(4), GetSysColor(COLOR_WINDOW));
}
