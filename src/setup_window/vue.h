// What the presenter needs of a window. The Win32 view, the Qt view, the silent
// mode's printing view and the tests' fake view implement it. Every call comes on
// the window's one thread.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "setup_window/disposition.h"

namespace fenetre {

inline constexpr int kStyleCritique = 16;
inline constexpr int kStyleExclamation = 48;
inline constexpr int kStyleInformation = 64;
inline constexpr uint32_t kRouge = 255;  // red in the lowest byte, then green, then blue

// The buttons of a question box.
enum class Boutons {
  OkAnnuler,  // OK is the default button
  OuiNon,     // Non is the default button: answering without reading changes nothing
};

class Vue {
 public:
  virtual ~Vue() = default;

  // The text of a text box (`index` -1 for a control outside an array).
  virtual std::string Texte(Nom nom, int index) const = 0;
  // Sets it as typing would: a change raises the control's change event (for a
  // folder field, the presenter's TexteDossier_Change); the same text raises nothing.
  virtual void DefinirTexte(Nom nom, int index, const std::string& texte) = 0;

  // Background colours, in the 0x00BBGGRR layout.
  virtual uint32_t CouleurFond(Nom nom, int index) const = 0;
  virtual void DefinirCouleurFond(Nom nom, int index, uint32_t couleur) = 0;

  // The text shown when the pointer rests on a control; empty for none. Lines
  // are separated by CR LF. A view without a pointer may ignore it.
  virtual void DefinirInfoBulle(Nom, int, const std::string&) {}

  // The first panel of the status bar.
  virtual void DefinirStatut(const std::string& texte) = 0;
  // Where the files go (the prefix on Linux), shown for as long as the window is
  // open; a view with no room for it, or a system where it goes without saying, ignores it.
  virtual void DefinirLieu(const std::string&) {}
  // How far the general button's run is ("Fichier 2 sur 4: IL3_Systeme.ini"),
  // in a panel of its own beside the progress line; empty when it is over.
  virtual void DefinirAvancement(const std::string&) {}

  // A modal message box with one OK button, the window's caption as title and
  // the icon of `style` (16 critical, 48 exclamation, 64 information).
  virtual void MessageBox(const std::string& texte, int style) = 0;

  // A modal question with the window's caption as title: true for OK or Oui.
  // Nothing when the view cannot ask (the silent mode): the presenter then
  // says what it does instead.
  virtual std::optional<bool> Question(const std::string&, int, Boutons) { return std::nullopt; }

  // The modal folder chooser, opened on `dossierInitial` (a Windows folder path),
  // with `titre` as its prompt. A file-system folder path, or nullopt on cancel.
  virtual std::optional<std::string> ChoisirDossier(const std::string& titre, const std::string& dossierInitial) = 0;

  // One pass of the message loop, so that the window repaints during long work.
  virtual void TraiterEvenements() = 0;

  // Unloads the window; the program ends.
  virtual void Fermer() = 0;
};

}  // namespace fenetre
