#include "banc_fenetre.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMessageBox>
#include <memory>

using fenetre::Nom;

namespace {

fenetre::qt::OptionsVue options(Banc* b, double dpi, QRect zone) {
  fenetre::qt::OptionsVue o;
  o.dpi = dpi;
  o.zone = zone;
  o.boite = [b](QWidget*, const fenetre::qt::Message& m) {
    b->messages.push_back(m);
    b->statutsAuMessage.push_back(b->vue.PanneauStatut()->text());
    if (m.boutons == QMessageBox::Ok || b->reponsesBoites.empty()) return m.defaut;
    const QMessageBox::StandardButton r = b->reponsesBoites.front();
    b->reponsesBoites.pop_front();
    return r;
  };
  o.selecteur = [b](QWidget*, const std::string& titre, const std::string& dossierHote) {
    b->demandes.emplace_back(titre, dossierHote);
    std::optional<std::string> r;
    if (!b->reponses.empty()) {
      r = b->reponses.front();
      b->reponses.pop_front();
    }
    return r;
  };
  return o;
}

}  // namespace

bool Photographier(const fenetre::qt::Message& m, QWidget* parent, const char* nom) {
  const std::unique_ptr<QMessageBox> boite = fenetre::qt::CreerQMessageBox(parent, m);
  boite->show();
  QCoreApplication::processEvents();
  const QString chemin = QStringLiteral(IL3_ARTEFACTS "/") + QLatin1String(nom);
  qInfo("screenshot: %s", qPrintable(chemin));
  return boite->grab().toImage().save(chemin);
}

Banc::Banc(double dpi, QRect zone) : vue(options(this, dpi, zone)), frm(vue) {
  vue.Relier(&frm);
  frm.Form_Initialize();
}

QLineEdit* Banc::Zone(Nom nom, int index) const { return qobject_cast<QLineEdit*>(vue.Controle(nom, index)); }

QPushButton* Banc::Bouton(Nom nom, int index) const { return qobject_cast<QPushButton*>(vue.Controle(nom, index)); }

void Banc::DossiersDuBac() {
  const char* noms[] = {"App\\", "Kelvaro\\Config\\", "Log\\", "Log\\Pub\\", "Sons\\", "Data\\"};
  for (int i = 0; i < 6; ++i) vue.DefinirTexte(Nom::TexteDossier, i, box.Win() + noms[i]);
}
