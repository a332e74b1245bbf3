#include "setup_window/qt/vue_qt.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <algorithm>

#include "setup_window/qt/icone_fenetre.h"
#include "setup_window/qt/police_fenetre.h"

namespace fenetre::qt {

namespace {

double dpiEcran() {
  const QScreen* ecran = QGuiApplication::primaryScreen();
  return ecran ? ecran->logicalDotsPerInch() : 96.0;
}

QRect zoneEcran(const OptionsVue& o) {
  if (!o.zone.isEmpty()) return o.zone;
  const QScreen* ecran = QGuiApplication::primaryScreen();
  return ecran ? ecran->availableGeometry() : QRect();
}

// The dpi asked for, or less when the window would not fit the screen's area at it.
double dpiQuiTient(const OptionsVue& o, const QRect& zone) {
  const double dpi = o.dpi > 0 ? o.dpi : dpiEcran();
  if (zone.isEmpty()) return dpi;
  return DpiQuiTient(dpi, zone.width(), zone.height(), kMargeCadre.width(), kMargeCadre.height());
}

QString depuisUtf8(const std::string& t) { return QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size())); }

uint32_t versBgr(const QColor& c) {
  return static_cast<uint32_t>(c.red()) | static_cast<uint32_t>(c.green()) << 8 | static_cast<uint32_t>(c.blue()) << 16;
}

QColor depuisBgr(uint32_t v) { return QColor(v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF); }

}  // namespace

VueQt::VueQt(OptionsVue options)
    : options_(std::move(options)), zone_(zoneEcran(options_)), echelle_(dpiQuiTient(options_, zone_)) {
  // A fixed-size window: a title, a system menu, minimise and close, and
  // nothing that would resize it.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  setWindowTitle(QString::fromUtf8(kCaption.data(), static_cast<qsizetype>(kCaption.size())));
  setWindowIcon(IconeFenetre());
  setFixedSize(echelle_.Pixels(kLargeurClient), echelle_.Pixels(kHauteurClient));
  setFont(PoliceFenetre(echelle_));

  QWidget* precedent = nullptr;
  for (const fenetre::Controle& c : Controles()) {
    QWidget* w = creer(c);
    w->setGeometry(rectangle(c.gauche, c.haut, c.largeur, c.hauteur));
    controles_[{c.nom, c.index}] = w;
    if (const std::string nom = NomAccessible(c.nom, c.index); !nom.empty()) w->setAccessibleName(depuisUtf8(nom));
    AjusterAuLibelle(w, echelle_);
    if (c.sorte == Sorte::TextBox || c.sorte == Sorte::Button) {
      if (precedent) setTabOrder(precedent, w);
      precedent = w;
    }
  }
  // A folder row's caption gives the focus to the row's field.
  for (size_t i = 0; i < kDossiers.size(); ++i)
    if (auto* libelle = qobject_cast<QLabel*>(Controle(Nom::Label, static_cast<int>(i))))
      libelle->setBuddy(Controle(Nom::TexteDossier, static_cast<int>(i)));
  Controle(Nom::TexteNomRadio, -1)->setFocus();

  // Centred, frame included; a window that fills the area starts at its corner.
  if (!zone_.isEmpty()) {
    const QSize cadre = size() + kMargeCadre;
    move(zone_.topLeft() + QPoint(std::max(0, (zone_.width() - cadre.width()) / 2),
                                  std::max(0, (zone_.height() - cadre.height()) / 2)));
  }
}

QRect VueQt::rectangle(int gauche, int haut, int largeur, int hauteur) const {
  // Edges are scaled, not sizes, so that neighbours stay neighbours at any dpi.
  const int x = echelle_.Pixels(gauche), y = echelle_.Pixels(haut);
  return QRect(x, y, echelle_.Pixels(gauche + largeur) - x, echelle_.Pixels(haut + hauteur) - y);
}

QWidget* VueQt::creer(const fenetre::Controle& c) {
  // A caption with an access key shows it underlined; Alt and the letter reach it.
  const std::string_view legende = c.clavier.empty() || c.sorte == Sorte::TextBox ? c.texte : c.clavier;
  const QString texte = QString::fromUtf8(legende.data(), static_cast<qsizetype>(legende.size()));
  switch (c.sorte) {
    case Sorte::Label:
      return new QLabel(texte, this);
    case Sorte::TextBox: {
      auto* zone = new QLineEdit(texte, this);
      if (c.nom == Nom::TexteDossier) {
        const int index = c.index;
        connect(zone, &QLineEdit::textChanged, this, [this, index] {
          if (presentateur_) presentateur_->TexteDossier_Change(index);
        });
      }
      return zone;
    }
    case Sorte::Button: {
      auto* bouton = new QPushButton(texte, this);
      // Enter presses the focused button, as on Windows; outside a dialog Qt
      // leaves that to Space alone unless asked.
      bouton->setAutoDefault(true);
      connect(bouton, &QPushButton::clicked, this, [this, nom = c.nom, index = c.index] { clic(nom, index); });
      return bouton;
    }
    case Sorte::StatusBar:
      break;
  }
  barre_ = new QStatusBar(this);
  barre_->setSizeGripEnabled(false);
  panneau_ = new QLabel(texte, barre_);
  panneau_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  barre_->addWidget(panneau_, 1);
  // How far a general run is, shown only while one runs.
  avancement_ = new QLabel(barre_);
  avancement_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  avancement_->setTextFormat(Qt::PlainText);
  avancement_->hide();
  barre_->addPermanentWidget(avancement_);
  // Where the files go, in its own panel: the title stays the caption every box
  // takes, and the progress line keeps the first panel to itself.
  lieu_ = new QLabel(barre_);
  lieu_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  lieu_->setTextFormat(Qt::PlainText);
  lieu_->hide();
  barre_->addPermanentWidget(lieu_);
  return barre_;
}

void VueQt::clic(Nom nom, int index) {
  if (presentateur_) presentateur_->Clic(nom, index);
}

QWidget* VueQt::Controle(Nom nom, int index) const {
  auto it = controles_.find({nom, index});
  return it == controles_.end() ? nullptr : it->second;
}

QLineEdit* VueQt::zoneTexte(Nom nom, int index) const { return qobject_cast<QLineEdit*>(Controle(nom, index)); }

std::string VueQt::Texte(Nom nom, int index) const {
  const QWidget* w = Controle(nom, index);
  if (const auto* zone = qobject_cast<const QLineEdit*>(w)) return zone->text().toStdString();
  // Captions read as shown, without the mark of their access key.
  if (const auto* bouton = qobject_cast<const QPushButton*>(w)) return QString(bouton->text()).remove(QLatin1Char('&')).toStdString();
  if (const auto* libelle = qobject_cast<const QLabel*>(w)) return QString(libelle->text()).remove(QLatin1Char('&')).toStdString();
  if (w && w == barre_) return panneau_->text().toStdString();
  return {};
}

void VueQt::DefinirTexte(Nom nom, int index, const std::string& texte) {
  const QString t = QString::fromStdString(texte);
  QWidget* w = Controle(nom, index);
  if (auto* zone = qobject_cast<QLineEdit*>(w)) {
    if (zone->text() != t) zone->setText(t);  // the change event follows from textChanged
  } else if (auto* bouton = qobject_cast<QPushButton*>(w)) {
    bouton->setText(t);
  } else if (auto* libelle = qobject_cast<QLabel*>(w)) {
    libelle->setText(t);
  } else if (w && w == barre_) {
    DefinirStatut(texte);
  }
}

uint32_t VueQt::CouleurFond(Nom nom, int index) const {
  const QWidget* w = Controle(nom, index);
  if (!w) return 0;
  return versBgr(w->palette().color(qobject_cast<const QLineEdit*>(w) ? QPalette::Base : QPalette::Window));
}

void VueQt::DefinirCouleurFond(Nom nom, int index, uint32_t couleur) {
  QLineEdit* zone = zoneTexte(nom, index);
  if (!zone) return;
  // The normal colour goes back to the inherited palette, so that the field
  // follows the desktop's theme like every other text box.
  if (couleur == CouleurFond(Nom::TexteNomRadio, -1)) {
    zone->setPalette(QPalette());
    return;
  }
  QPalette p = zone->palette();
  p.setColor(QPalette::Base, depuisBgr(couleur));
  zone->setPalette(p);
}

void VueQt::DefinirInfoBulle(Nom nom, int index, const std::string& texte) {
  QWidget* w = Controle(nom, index);
  if (!w) return;
  QString t = depuisUtf8(texte);
  t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  w->setToolTip(t);
}

void VueQt::DefinirStatut(const std::string& texte) {
  panneau_->setText(QString::fromStdString(texte));
  // Long work runs on this thread: paint now, not when the event loop is back.
  panneau_->repaint();
}

void VueQt::MessageBox(const std::string& texte, int style) {
  if (options_.boite) options_.boite(this, {IconeDuStyle(style), windowTitle(), TexteAffichable(texte)});
}

std::optional<bool> VueQt::Question(const std::string& texte, int style, Boutons boutons) {
  if (!options_.boite) return std::nullopt;
  const bool ouiNon = boutons == Boutons::OuiNon;
  const Message m{IconeDuStyle(style), windowTitle(), TexteAffichable(texte),
                  ouiNon ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok | QMessageBox::Cancel,
                  ouiNon ? QMessageBox::No : QMessageBox::Ok};
  const QMessageBox::StandardButton r = options_.boite(this, m);
  return r == QMessageBox::Yes || r == QMessageBox::Ok;
}

void VueQt::DefinirAvancement(const std::string& texte) {
  avancement_->setText(QString::fromStdString(texte));
  avancement_->setVisible(!texte.empty());
  // Painted now, as the progress line is: the run holds this thread.
  barre_->repaint();
}

void VueQt::DefinirLieu(const std::string& texte) {
  lieu_->setText(QString::fromStdString(texte));
  lieu_->setToolTip(lieu_->text());
  lieu_->setVisible(!texte.empty());
}

std::optional<std::string> VueQt::ChoisirDossier(const std::string& titre, const std::string& dossierInitial) {
  const std::optional<std::string> choix = qt::ChoisirDossier(options_.selecteur, this, titre, dossierInitial);
  if (!choix || !qt::HorsDesLecteurs(*choix)) return choix;
  const std::optional<bool> oui = Question(
      "Ce dossier n'est sur aucun lecteur du préfixe: il s'écrirait " + *choix +
          ", sur le lecteur Z:, par lequel Wine montre tout cet ordinateur. La suite, sous Windows, n'aura pas ce "
          "lecteur." + "\r\n\r\nL'utiliser quand même ?",
      kStyleExclamation, Boutons::OuiNon);
  return oui && *oui ? choix : std::nullopt;
}

void VueQt::TraiterEvenements() { QCoreApplication::processEvents(); }

void VueQt::Fermer() { close(); }

}  // namespace fenetre::qt
