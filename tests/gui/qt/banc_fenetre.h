// The Qt window over a sandbox, with recorders in place of its two modal
// windows (message box, folder dialog) and the presenter behind it.
#pragma once

#include <QLineEdit>
#include <QPushButton>
#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "setup_window/frm_main.h"
#include "setup_window/qt/vue_qt.h"
#include "support/sandbox.h"

struct Banc {
  // The window at 96 dpi (or `dpi`, on a screen area of `zone`), initialised;
  // loading is left to each test.
  explicit Banc(double dpi = 96, QRect zone = {});

  QLineEdit* Zone(fenetre::Nom nom, int index = -1) const;
  QPushButton* Bouton(fenetre::Nom nom, int index = -1) const;
  uint32_t Fond(int dossier) const { return vue.CouleurFond(fenetre::Nom::TexteDossier, dossier); }
  uint32_t FondNormal() const { return vue.CouleurFond(fenetre::Nom::TexteNomRadio, -1); }
  std::string Texte(fenetre::Nom nom, int index = -1) const { return vue.Texte(nom, index); }
  // Every folder field inside the sandbox; the configuration folder a real "\Config".
  void DossiersDuBac();

  Sandbox box;
  std::vector<fenetre::qt::Message> messages;
  std::vector<QString> statutsAuMessage;                      // the progress line when each box opened
  std::vector<std::pair<std::string, std::string>> demandes;  // the chooser's title and host folder
  std::deque<std::optional<std::string>> reponses;            // what the chooser answers, in turn
  std::deque<QMessageBox::StandardButton> reponsesBoites;      // what the questions answer; none: their default button
  fenetre::qt::VueQt vue;
  fenetre::Frm_Main frm;
};

// The box `m` as the user sees it, left as a screenshot in the build folder.
bool Photographier(const fenetre::qt::Message& m, QWidget* parent, const char* nom);

// Each group of tests, run by the test program's main.
int TesterDisposition(int argc, char** argv);
int TesterVue(int argc, char** argv);
int TesterChoixDossier(int argc, char** argv);
int TesterUsage(int argc, char** argv, bool francais);
int TesterEcran(int argc, char** argv);
int TesterChangement(int argc, char** argv);
