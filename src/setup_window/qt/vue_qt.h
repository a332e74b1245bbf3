// The setup window on Linux: Qt widgets built from the control table, placed
// at its positions, and the presenter's view contract over them.
#pragma once

#include <QRect>
#include <QSize>
#include <QWidget>
#include <map>
#include <utility>

#include "setup_window/frm_main.h"
#include "setup_window/qt/boite_message_qt.h"
#include "setup_window/qt/choix_dossier_qt.h"
#include "setup_window/qt/echelle_twips.h"
#include "setup_window/vue.h"

class QLabel;
class QLineEdit;
class QStatusBar;

namespace fenetre::qt {

// What a window manager's frame is estimated to add around the client area
// before the window is shown (title bar and borders), in logical pixels.
inline const QSize kMargeCadre{16, 40};

// What tests replace: the dpi, the screen's area, and the two modal windows.
struct OptionsVue {
  double dpi = 0;  // 0: the screen's logical dpi
  QRect zone;      // empty: the available area of the primary screen
  BoiteMessage boite = AfficherQMessageBox;
  Selecteur selecteur = SelecteurQFileDialog;
};

class VueQt : public QWidget, public Vue {
 public:
  explicit VueQt(OptionsVue options = {});

  // The presenter that receives the window's events.
  void Relier(Frm_Main* presentateur) { presentateur_ = presentateur; }

  // The widget of a control of the table, or null.
  QWidget* Controle(Nom nom, int index) const;
  QLabel* PanneauStatut() const { return panneau_; }
  const Echelle& Dimensions() const { return echelle_; }

  std::string Texte(Nom nom, int index) const override;
  void DefinirTexte(Nom nom, int index, const std::string& texte) override;
  uint32_t CouleurFond(Nom nom, int index) const override;
  void DefinirCouleurFond(Nom nom, int index, uint32_t couleur) override;
  void DefinirInfoBulle(Nom nom, int index, const std::string& texte) override;
  void DefinirStatut(const std::string& texte) override;
  void DefinirLieu(const std::string& texte) override;
  void DefinirAvancement(const std::string& texte) override;
  QLabel* PanneauLieu() const { return lieu_; }
  QLabel* PanneauAvancement() const { return avancement_; }
  void MessageBox(const std::string& texte, int style) override;
  std::optional<bool> Question(const std::string& texte, int style, Boutons boutons) override;
  // A folder outside the prefix's own drives is taken only once the user agreed.
  std::optional<std::string> ChoisirDossier(const std::string& titre, const std::string& dossierInitial) override;
  void TraiterEvenements() override;
  void Fermer() override;

 private:
  QWidget* creer(const fenetre::Controle& c);
  void clic(Nom nom, int index);
  QRect rectangle(int gauche, int haut, int largeur, int hauteur) const;
  QLineEdit* zoneTexte(Nom nom, int index) const;

  OptionsVue options_;
  QRect zone_;  // where the window must fit; empty when unknown
  Echelle echelle_;
  std::map<std::pair<Nom, int>, QWidget*> controles_;
  QStatusBar* barre_ = nullptr;
  QLabel* panneau_ = nullptr;
  QLabel* lieu_ = nullptr;  // the second panel: where the files go
  QLabel* avancement_ = nullptr;  // how far a general run is, while it runs
  Frm_Main* presentateur_ = nullptr;
};

}  // namespace fenetre::qt
