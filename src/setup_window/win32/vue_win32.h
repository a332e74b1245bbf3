// The setup window on Windows: one top-level window whose controls are built
// from the control table, and the presenter's view contract over them.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "setup_window/frm_main.h"
#include "setup_window/vue.h"
#include "setup_window/win32/api_fenetre.h"
#include "setup_window/win32/echelle_dpi.h"
#include "setup_window/win32/objets_gdi.h"

namespace fenetre::win32 {

// A modal message box: owner, text, title, MessageBoxW's type; the button
// pressed (IDOK, IDYES...). Tests put a recorder in its place.
using BoiteMessage =
    std::function<int(HWND proprietaire, const std::wstring& texte, const std::wstring& titre, UINT type)>;
// The modal folder chooser: owner, prompt, folder to open on.
using Selecteur = std::function<std::optional<std::string>(HWND proprietaire, const std::string& titre,
                                                           const std::string& dossierInitial)>;

int AfficherMessageBoxW(HWND proprietaire, const std::wstring& texte, const std::wstring& titre, UINT type);

// MessageBoxW's type for a style value of the program: one OK button and the
// icon (16 critical, 32 question, 48 exclamation, 64 information; anything else none).
UINT TypeDeBoite(int style);
// A question's: OK and Cancel, or Yes and No with No the default button.
UINT TypeDeQuestion(int style, Boutons boutons);

// What tests replace: the dpi, and the two modal windows.
struct OptionsVue {
  int dpi = 0;  // 0: IL3_DPI, else the monitor's
  BoiteMessage boite = AfficherMessageBoxW;
  Selecteur selecteur;  // empty: the shell's folder browser
};

class VueWin32 : public Vue {
 public:
  explicit VueWin32(OptionsVue options = {});
  ~VueWin32() override;
  VueWin32(const VueWin32&) = delete;
  VueWin32& operator=(const VueWin32&) = delete;

  // The presenter that receives the window's events.
  void Relier(Frm_Main* presentateur) { presentateur_ = presentateur; }

  // Null when the window could not be created, or once it is destroyed.
  HWND Fenetre() const { return fenetre_; }
  // The window of a control of the table, or null.
  HWND Controle(Nom nom, int index) const;
  // The dpi the window is laid out at: its monitor's, or less when the window
  // would not fit the monitor's work area at that one.
  int Dpi() const { return echelle_.Dpi(); }
  // The tooltip control of the folder fields.
  HWND Bulles() const { return bulles_; }

  // Shows the window with the focus on the first field.
  void Afficher(int commande);
  // Runs the message loop until the window is closed; the exit status.
  int BoucleDeMessages();

  std::string Texte(Nom nom, int index) const override;
  void DefinirTexte(Nom nom, int index, const std::string& texte) override;
  uint32_t CouleurFond(Nom nom, int index) const override;
  void DefinirCouleurFond(Nom nom, int index, uint32_t couleur) override;
  void DefinirInfoBulle(Nom nom, int index, const std::string& texte) override;
  void DefinirStatut(const std::string& texte) override;
  void DefinirAvancement(const std::string& texte) override;
  void MessageBox(const std::string& texte, int style) override;
  std::optional<bool> Question(const std::string& texte, int style, Boutons boutons) override;
  std::optional<std::string> ChoisirDossier(const std::string& titre, const std::string& dossierInitial) override;
  void TraiterEvenements() override;
  void Fermer() override;

 private:
  struct Element {
    fenetre::Controle ligne;
    HWND fenetre;
  };

  static LRESULT CALLBACK Procedure(HWND fenetre, UINT message, WPARAM w, LPARAM l);
  LRESULT traiter(UINT message, WPARAM w, LPARAM l);
  void creerControles();
  void creerBulles();
  int dpiQuiTient(int dpi, const RECT* suggere) const;
  void disposer(const RECT* suggere);
  void commande(int id, int notification, HWND controle);
  bool raccourci(const MSG& m);
  const Element* element(Nom nom, int index) const;
  HFONT policeAjustee(const Element& e, RECT* place);
  HBRUSH pinceau(COLORREF couleur);

  OptionsVue options_;
  Echelle echelle_{USER_DEFAULT_SCREEN_DPI};
  HWND fenetre_ = nullptr;
  HWND bulles_ = nullptr;  // owned by the window, destroyed with it
  std::vector<Element> elements_;  // in tab order
  Police police_;
  std::map<LONG, Police> policesReduites_;  // by height, for captions too wide for their button
  std::map<COLORREF, Pinceau> pinceaux_;
  std::map<HWND, COLORREF> fonds_;  // fields whose background is not the default
  Icone grandeIcone_, petiteIcone_;
  HWND focus_ = nullptr;  // the control that had the focus when the window was deactivated
  bool destructionParObjet_ = false;
  Frm_Main* presentateur_ = nullptr;
};

}  // namespace fenetre::win32
