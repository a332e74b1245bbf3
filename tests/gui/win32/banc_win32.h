// The Win32 window over a sandbox, shown, with recorders in place of its two
// modal windows, the presenter behind it; and what the tests need to drive it
// through its own messages.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "setup_window/frm_main.h"
#include "setup_window/win32/vue_win32.h"
#include "support/sandbox.h"

struct MessageVu {
  HWND proprietaire;
  std::wstring texte, titre;
  UINT type;
  std::wstring statut;  // the progress line when the box opened
};

struct Banc {
  // Without recorders: the real MessageBoxW and the shell's folder browser.
  // At 96 dpi, or `dpi` (0: the monitor's).
  explicit Banc(bool recorders = true, int dpi = 96);
  ~Banc();

  HWND F() const { return vue.Fenetre(); }
  HWND C(fenetre::Nom nom, int index = -1) const { return vue.Controle(nom, index); }
  // WM_SETTEXT, as another program or an accessibility tool would set it.
  void Ecrire(fenetre::Nom nom, int index, const std::wstring& texte) const;
  // One character typed at the end of an edit box.
  void Frapper(fenetre::Nom nom, int index, wchar_t c) const;
  void Cliquer(fenetre::Nom nom, int index = -1) const;
  std::wstring TexteDe(fenetre::Nom nom, int index = -1) const;
  std::wstring Statut() const;
  // The colour of the brush the window gives a folder field to paint with.
  COLORREF FondPeint(int dossier) const;
  uint32_t Fond(int dossier) const { return vue.CouleurFond(fenetre::Nom::TexteDossier, dossier); }
  uint32_t FondNormal() const { return vue.CouleurFond(fenetre::Nom::TexteNomRadio, -1); }
  // Every folder field inside the sandbox; the configuration folder a real "\Config".
  void DossiersDuBac();

  Sandbox box;
  std::vector<MessageVu> messages;
  std::vector<std::pair<std::string, std::string>> demandes;  // the chooser's prompt and start folder
  std::deque<std::optional<std::string>> reponses;            // what the chooser answers, in turn
  std::deque<int> reponsesBoites;                              // what the questions answer; none: their default button
  fenetre::win32::VueWin32 vue;
  fenetre::Frm_Main frm;
};

// Runs the pending messages of this thread.
void Pomper();
// Removes a WM_QUIT left in this thread's queue; true when there was one.
bool RetirerQuit();

// Calls `action` from a timer of this thread, every 50 ms, until it returns
// true: the way to reach a modal window (message box, folder browser) from
// inside its own message loop. Gives up after `limite` ms, closing every
// dialog of the thread so that the test fails instead of hanging.
void PendantLeModal(std::function<bool()> action, int limite = 10000);

// The thread's visible dialog (class #32770) owned by `proprietaire`, or null.
HWND DialogueDe(HWND proprietaire);
// The child windows of `parent` with class `classe`, in z-order.
std::vector<HWND> Enfants(HWND parent, const wchar_t* classe);
std::wstring ClasseDe(HWND h);
std::wstring TexteFenetre(HWND h);
std::wstring Large(const std::string& utf8);
std::string Etroit(const std::wstring& utf16);

// A host path in Windows spelling (the drive Wine gives the host's root).
std::wstring CheminDepuisHote(const std::string& hote);
// Writes what `fenetre` shows, frame included, as a 24-bit BMP.
bool CapturerFenetre(HWND fenetre, const std::wstring& fichierBmp);
