// The window as a technician uses it: Qt's dialogs in French with the drives as
// places, a reason for red, the keyboard, a screen too small for the scale, and
// what a screen reader is told. Screenshots are left beside the tests.
#include <QAccessible>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHelpEvent>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QToolTip>
#include <QtTest>
#include <filesystem>
#include <memory>

#include "banc_fenetre.h"
#include "services/lib_systeme.h"
#include "setup_window/qt/choix_dossier_qt.h"

using fenetre::Nom;

namespace {

QString sansEsperluette(QString t) { return t.remove(QLatin1Char('&')); }

// QVERIFY returns from the function it is in; a helper that returns a value
// records the failure and goes on.
#define EXPECT_VRAI(condition) \
  static_cast<void>(QTest::qVerify(static_cast<bool>(condition), #condition, "", __FILE__, __LINE__))

bool sauver(const QImage& image, const char* nom) {
  const QString chemin = QStringLiteral(IL3_ARTEFACTS "/") + QLatin1String(nom);
  qInfo("screenshot: %s", qPrintable(chemin));
  return image.save(chemin);
}

// At `dpi` on a screen area `zone`: the scale asked for when the window fits,
// else the largest smaller one that does; the table's layout at that scale;
// the estimated frame and every control inside the zone; fixed size, no
// maximise button. True when the window was laid out smaller.
bool verifierEchelle(const fenetre::qt::VueQt& vue, double dpi, const QRect& zone) {
  const auto tient = [&zone](double d) {
    const fenetre::qt::Echelle e(d);
    return e.Pixels(fenetre::kLargeurClient) + fenetre::qt::kMargeCadre.width() <= zone.width() &&
           e.Pixels(fenetre::kHauteurClient) + fenetre::qt::kMargeCadre.height() <= zone.height();
  };
  const fenetre::qt::Echelle& e = vue.Dimensions();
  qInfo("%.0f dpi on %dx%d: laid out at %.1f dpi, window %dx%d", dpi, zone.width(), zone.height(), e.Dpi(),
        vue.width(), vue.height());
  EXPECT_VRAI(tient(e.Dpi()) && (e.Dpi() == dpi) == tient(dpi) && (e.Dpi() == dpi || !tient(e.Dpi() + 1)));
  EXPECT_VRAI(zone.contains(QRect(vue.pos(), vue.size() + fenetre::qt::kMargeCadre)));
  for (const fenetre::Controle& c : fenetre::Controles()) {
    const QRect r = vue.Controle(c.nom, c.index)->geometry();
    const int x = e.Pixels(c.gauche), y = e.Pixels(c.haut);
    if (c.sorte != fenetre::Sorte::StatusBar)
      EXPECT_VRAI(r == QRect(x, y, e.Pixels(c.gauche + c.largeur) - x, e.Pixels(c.haut + c.hauteur) - y));
    EXPECT_VRAI(zone.contains(r.translated(vue.pos())));
  }
  EXPECT_VRAI(vue.minimumSize() == vue.maximumSize() && !(vue.windowFlags() & Qt::WindowMaximizeButtonHint) &&
              (vue.windowFlags() & Qt::WindowMinimizeButtonHint) && (vue.windowFlags() & Qt::WindowCloseButtonHint));
  return e.Dpi() < dpi;
}

}  // namespace

class UsageTest : public QObject {
  Q_OBJECT
  bool francais_;
  std::unique_ptr<Banc> b;

 public:
  explicit UsageTest(bool francais) : francais_(francais) {}

 private slots:
  void init() { b = std::make_unique<Banc>(); }
  void cleanup() { b.reset(); }

  // Qt's own words in French: a text box's menu, the folder dialog, which
  // opens on the field's folder.
  void dialoguesDeQtEnFrancaisEtLecteurs() {
    QVERIFY2(francais_, "qtbase_fr.qm not found in Qt's translations folder (package qt6-translations-l10n)");
    std::unique_ptr<QMenu> menu(b->Zone(Nom::TexteNomRadio)->createStandardContextMenu());
    QStringList entrees;
    for (const QAction* a : menu->actions()) entrees << sansEsperluette(a->text()).section(QLatin1Char('\t'), 0, 0);
    QVERIFY2(entrees.contains(QStringLiteral("Copier")), qPrintable(entrees.join(QLatin1Char('|'))));

    namespace fs = std::filesystem;
    fs::create_directories(b->box.Host() + "Sons");
    fs::create_directories(b->box.Prefix() + "/dosdevices");
    fs::create_directory_symlink(b->box.Host() + "Sons", b->box.Prefix() + "/dosdevices/d:");
    const std::string depart = fenetre::qt::DossierHoteDeDepart(b->box.Win() + "Sons\\");
    auto dialogue = fenetre::qt::CreerDialogueDossier(&b->vue, "S\xC3\xA9lectionnez un dossier: ", depart);
    QCOMPARE(QDir::cleanPath(dialogue->directory().absolutePath()), QDir::cleanPath(QString::fromStdString(depart)));
    auto* boutons = dialogue->findChild<QDialogButtonBox*>();
    QVERIFY(boutons);
    QCOMPARE(sansEsperluette(boutons->button(QDialogButtonBox::Open)->text()), QStringLiteral("Choisir"));
    QCOMPARE(sansEsperluette(boutons->button(QDialogButtonBox::Cancel)->text()), QStringLiteral("Annuler"));

    // The places are the prefix's drives, by their letters: C:, the D: made
    // above, and Z:, the host's root, as Wine shows it.
    const auto* lieux = dialogue->findChild<QListView*>(QStringLiteral("sidebar"));
    QVERIFY(lieux);
    dialogue->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialogue.get()));
    QCoreApplication::processEvents();
    QStringList noms;
    for (int r = 0; r < lieux->model()->rowCount(); ++r) noms << lieux->model()->index(r, 0).data().toString();
    QCOMPARE(noms, (QStringList{QStringLiteral("C:"), QStringLiteral("D:"), QStringLiteral("Z:")}));
    QCOMPARE(QDir::cleanPath(lieux->model()->index(1, 0).data(Qt::UserRole + 1).toUrl().toLocalFile()),
             QDir::cleanPath(QString::fromStdString(b->box.Prefix() + "/dosdevices/d:")));
    QVERIFY(sauver(dialogue->grab().toImage(), "fenetre-qt-dossier.png"));
  }

  void infoBulleDuChampRouge() {
    const std::string absent = b->box.Win() + "Absent\\";
    b->vue.DefinirTexte(Nom::TexteDossier, 4, absent);
    QLineEdit* zone = b->Zone(Nom::TexteDossier, 4);
    QCOMPARE(zone->toolTip(), QStringLiteral("Ce dossier n'existe pas."));
    b->vue.DefinirTexte(Nom::TexteDossier, 4, b->box.Win());
    QCOMPARE(zone->toolTip(), QString());

    // Shown when the pointer rests on the field, as Qt shows any tooltip.
    b->frm.Form_Load();
    b->vue.show();
    QVERIFY(QTest::qWaitForWindowExposed(&b->vue));
    QLineEdit* rouge = b->Zone(Nom::TexteDossier, 1);
    const QPoint ici = rouge->rect().center();
    QHelpEvent survol(QEvent::ToolTip, ici, rouge->mapToGlobal(ici));
    QApplication::sendEvent(rouge, &survol);
    QTRY_VERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), QStringLiteral("Ce dossier n'existe pas."));

    // The window and its tooltip in one picture.
    QImage image = b->vue.grab().toImage();
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (!w->isVisible() || !w->inherits("QTipLabel")) continue;
      QPainter peintre(&image);
      peintre.drawImage(w->pos() - b->vue.geometry().topLeft(), w->grab().toImage());
    }
    QVERIFY(sauver(image, "fenetre-qt-bulle.png"));
    QToolTip::hideText();
  }

  // Enter presses the focused button, as Space does; in a text box, and
  // Escape anywhere, it does nothing.
  void clavierEntreeEspaceEchap() {
    b->vue.DefinirTexte(Nom::TexteDossier, 3, b->box.Win());
    b->vue.show();
    QApplication::setActiveWindow(&b->vue);
    QVERIFY(QTest::qWaitForWindowActive(&b->vue));
    const struct {
      Qt::Key touche;
      size_t messages;  // message boxes after the key, on "Créer" of an existing folder
    } cas[] = {{Qt::Key_Return, 1}, {Qt::Key_Enter, 2}, {Qt::Key_Space, 3}, {Qt::Key_Escape, 3}};
    b->Bouton(Nom::CommandDossierCreer, 3)->setFocus();
    for (const auto& c : cas) {
      QTest::keyClick(QApplication::focusWidget(), c.touche);
      QCOMPARE(b->messages.size(), c.messages);
      QVERIFY(b->vue.isVisible());
    }
    b->Zone(Nom::TexteDossier, 3)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(b->messages.size(), size_t(3));
    b->Bouton(Nom::CommandQuitter)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QVERIFY(!b->vue.isVisible());
  }

  // Alt and a letter: the buttons are pressed, a folder row's caption gives the
  // focus to its field; no two controls share a letter, and each is a letter
  // of its caption as shown.
  void raccourcisClavier() {
    QSet<QChar> vues;
    for (const fenetre::Controle& c : fenetre::Controles()) {
      if (c.clavier.empty()) continue;
      const QString k = QString::fromUtf8(c.clavier.data(), static_cast<qsizetype>(c.clavier.size()));
      QCOMPARE(sansEsperluette(k), QString::fromUtf8(c.texte.data(), static_cast<qsizetype>(c.texte.size())));
      const QChar lettre = k.at(k.indexOf(QLatin1Char('&')) + 1).toLower();
      QVERIFY2(!vues.contains(lettre), qPrintable(k));
      vues.insert(lettre);
    }
    QCOMPARE(vues.size(), 10);
    b->vue.show();
    QApplication::setActiveWindow(&b->vue);
    QVERIFY(QTest::qWaitForWindowActive(&b->vue));
    QTest::keyClick(&b->vue, Qt::Key_N, Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget(), b->vue.Controle(Nom::TexteDossier, 4));
    QTest::keyClick(&b->vue, Qt::Key_C, Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget(), b->vue.Controle(Nom::TexteDossier, 1));
    b->vue.DefinirTexte(Nom::TexteDossier, 1, b->box.Win() + "Absent\\");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_G, Qt::AltModifier);  // the general button, not a quit
    QTRY_VERIFY(!b->messages.empty());  // a button's access key clicks it as the mouse does, drawn pressed first
    QVERIFY(b->messages.back().texte.startsWith(QString::fromUtf8("Dossier de config non trouvé:")));
    QVERIFY(b->vue.isVisible());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Q, Qt::AltModifier);
    QTRY_VERIFY(!b->vue.isVisible());
  }

  // Where the files go is on screen; a prefix without C: is offered to be made;
  // a folder picked outside the prefix's drives is taken only on "Oui".
  void ouEcritLaFenetre() {
    b->frm.Form_Load();
    QCOMPARE(b->vue.PanneauLieu()->text(),
             QString::fromStdString("Pr\xC3\xA9" "fixe: " + b->box.Prefix() + " (--root)"));
    QVERIFY(b->vue.PanneauLieu()->isVisibleTo(&b->vue));
    QVERIFY(sauver(b->vue.grab().toImage(), "fenetre-qt-prefixe.png"));

    std::filesystem::rename(b->box.Prefix() + "/drive_c", b->box.Prefix() + "/ailleurs");
    b->reponsesBoites = {QMessageBox::Yes};
    QTest::mouseClick(b->Bouton(Nom::CommandCreerSettings, 0), Qt::LeftButton);
    QVERIFY(b->messages.size() >= 2);
    QCOMPARE(b->messages[0].texte, QString::fromStdString("Le pr\xC3\xA9" "fixe " + b->box.Prefix() +
                                                          " n'a pas de lecteur C: (le dossier " + b->box.Prefix() +
                                                          "/drive_c manque): rien ne peut y \xC3\xAA" "tre \xC3\xA9" "crit.\n\n"
                                                          "Cr\xC3\xA9" "er le pr\xC3\xA9" "fixe " + b->box.Prefix() + " ?"));
    QVERIFY(Photographier(b->messages[0], &b->vue, "fenetre-qt-prefixe-question.png"));
    QVERIFY(std::filesystem::is_directory(b->box.Prefix() + "/drive_c/windows"));
    QCOMPARE(b->messages.back().texte, QStringLiteral("Dossiers cr\u00E9\u00E9s"));

    // In the sandbox, but on no drive of the prefix but Z: (the picker makes what it returns).
    const std::string hors = b->box.Prefix() + "/hors-des-lecteurs";
    b->reponses = {hors, hors};
    const std::string avant = b->Texte(Nom::TexteDossier, 4);
    QTest::mouseClick(b->Bouton(Nom::CommandDossier, 4), Qt::LeftButton);  // Non, the default
    QVERIFY(b->messages.back().texte.startsWith(QStringLiteral("Ce dossier n'est sur aucun lecteur du pr\u00E9" "fixe: il s'\u00E9" "crirait Z:")));
    QCOMPARE(b->messages.back().defaut, QMessageBox::No);
    QVERIFY(Photographier(b->messages.back(), &b->vue, "fenetre-qt-hors-lecteurs.png"));
    QCOMPARE(b->Texte(Nom::TexteDossier, 4), avant);
    b->reponsesBoites = {QMessageBox::Yes};
    QTest::mouseClick(b->Bouton(Nom::CommandDossier, 4), Qt::LeftButton);
    QVERIFY2(b->Texte(Nom::TexteDossier, 4).rfind("Z:\\", 0) == 0, b->Texte(Nom::TexteDossier, 4).c_str());
  }

  // A general run says how far it is in a panel of its own, gone once it is over.
  void avancementDansSonPanneau() {
    b->frm.Form_Load();
    b->vue.DefinirAvancement("Fichier 2 sur 4: IL3_Systeme.ini");
    QVERIFY(b->vue.PanneauAvancement()->isVisibleTo(&b->vue));
    QCOMPARE(b->vue.PanneauAvancement()->text(), QStringLiteral("Fichier 2 sur 4: IL3_Systeme.ini"));
    QVERIFY(sauver(b->vue.grab().toImage(), "fenetre-qt-avancement.png"));
    b->DossiersDuBac();
    b->vue.DefinirTexte(Nom::TexteNomRadio, -1, "Radio Sud");
    b->vue.DefinirTexte(Nom::TexteNomStation, 0, "Studio");
    QTest::mouseClick(b->Bouton(Nom::CommandCreerSettings, 0), Qt::LeftButton);
    QTest::mouseClick(b->Bouton(Nom::CommandCreerSettings, 2), Qt::LeftButton);
    QCOMPARE(b->messages.back().texte, QStringLiteral("Param\u00E9trage cr\u00E9\u00E9 ou MAJ"));
    QVERIFY(!b->vue.PanneauAvancement()->isVisibleTo(&b->vue));
  }

  // Folders that could not be made, each with why.
  void dossiersNonCrees() {
    b->frm.Form_Load();
    b->DossiersDuBac();
    b->box.Write(b->box.Win() + "Fichier", "x");
    b->vue.DefinirTexte(Nom::TexteDossier, 2, "Q:\\Absent\\");
    b->vue.DefinirTexte(Nom::TexteDossier, 3, b->box.Win() + "Fichier\\Pub\\");
    QTest::mouseClick(b->Bouton(Nom::CommandCreerSettings, 0), Qt::LeftButton);
    const QString dit = b->messages.back().texte;
    QVERIFY2(dit.contains(QStringLiteral("Q:\\Absent\\ (lecteur Q: introuvable)")), qPrintable(dit));
    QVERIFY2(dit.contains(QStringLiteral("(un fichier porte le nom ")), qPrintable(dit));
    QVERIFY(Photographier(b->messages.back(), &b->vue, "fenetre-qt-dossiers-non-crees.png"));
  }

  void chaqueEcranToutAccessible_data() {
    QTest::addColumn<double>("dpi");
    QTest::addColumn<QRect>("zone");
    QTest::addColumn<bool>("reduite");
    const QRect ecran(0, 0, 1280, 800);
    QTest::newRow("96 dpi, 1280x800") << 96.0 << ecran << false;
    QTest::newRow("144 dpi, 1280x800") << 144.0 << ecran << false;
    QTest::newRow("192 dpi, 1280x800") << 192.0 << ecran << true;
    // QT_SCALE_FACTOR=2 on that screen: 640 x 400 logical pixels at 96 dpi.
    QTest::newRow("scale factor 2, 1280x800") << 96.0 << QRect(0, 0, 640, 400) << true;
    QTest::newRow("an area away from the origin") << 120.0 << QRect(1280, 24, 1280, 776) << false;
    QTest::newRow("192 dpi, 2560x1600") << 192.0 << QRect(0, 0, 2560, 1600) << false;
  }

  void chaqueEcranToutAccessible() {
    QFETCH(double, dpi);
    QFETCH(QRect, zone);
    QFETCH(bool, reduite);
    Banc banc(dpi, zone);
    QCOMPARE(verifierEchelle(banc.vue, dpi, zone), reduite);
    if (dpi == 192) {  // kept for people to look at
      banc.frm.Form_Load();
      banc.vue.show();
      QVERIFY(QTest::qWaitForWindowExposed(&banc.vue));
      QVERIFY(sauver(banc.vue.grab().toImage(), reduite ? "fenetre-qt-192-1280x800.png" : "fenetre-qt-192.png"));
    }
  }

  void nomsAccessibles() {
    const auto nom = [this](Nom n, int i) {
      return QAccessible::queryAccessibleInterface(b->vue.Controle(n, i))->text(QAccessible::Name);
    };
    QCOMPARE(nom(Nom::TexteNomStation, 0), QStringLiteral("Nom des Stations 1"));
    QCOMPARE(nom(Nom::TexteNomStation, 4), QStringLiteral("Nom des Stations 5"));
    QCOMPARE(nom(Nom::TexteDossier, 4), QStringLiteral("Dossier Sons"));
    QCOMPARE(nom(Nom::CommandDossier, 4), QStringLiteral("Parcourir: Dossier Sons"));
    QCOMPARE(nom(Nom::CommandDossierCreer, 4), QStringLiteral("Cr\u00E9er: Dossier Sons"));
    QCOMPARE(nom(Nom::CommandQuitter, -1), QStringLiteral("Quitter"));
    QSet<QString> vus;
    for (const fenetre::Controle& c : fenetre::Controles()) {
      if (c.sorte != fenetre::Sorte::TextBox && c.sorte != fenetre::Sorte::Button) continue;
      QVERIFY2(!nom(c.nom, c.index).isEmpty() && !vus.contains(nom(c.nom, c.index)), qPrintable(nom(c.nom, c.index)));
      vus.insert(nom(c.nom, c.index));
    }
  }
};

// The window on the screen Qt was started with (the test command gives it
// several: sizes, dpi, QT_SCALE_FACTOR).
class EcranTest : public QObject {
  Q_OBJECT

 private slots:
  void fenetreDansLEcran() {
    const QScreen* ecran = QGuiApplication::primaryScreen();
    QVERIFY(ecran);
    Banc banc(0);
    banc.frm.Form_Load();
    verifierEchelle(banc.vue, ecran->logicalDotsPerInch(), ecran->availableGeometry());
    banc.vue.show();
    QVERIFY(QTest::qWaitForWindowExposed(&banc.vue));
    QVERIFY(ecran->availableGeometry().contains(banc.vue.frameGeometry()));
    const QByteArray nom = "fenetre-qt-ecran-" + qgetenv("IL3_ECRAN") + ".png";
    QVERIFY(sauver(banc.vue.grab().toImage(), nom.constData()));
  }
};

int TesterUsage(int argc, char** argv, bool francais) {
  UsageTest t(francais);
  return QTest::qExec(&t, argc, argv);
}

int TesterEcran(int argc, char** argv) {
  EcranTest t;
  return QTest::qExec(&t, argc, argv);
}

#include "usage_qt_test.moc"
