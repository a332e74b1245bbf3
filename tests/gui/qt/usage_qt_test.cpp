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

QString depuisUtf8(const std::string& t) { return QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size())); }

QString sansEsperluette(QString t) { return t.remove(QLatin1Char('&')); }

bool sauver(const QImage& image, const char* nom) {
  const QString chemin = QStringLiteral(IL3_ARTEFACTS "/") + QLatin1String(nom);
  qInfo("screenshot: %s", qPrintable(chemin));
  return image.save(chemin);
}

// The window's frame as estimated, and every control, inside `zone`.
void verifierDansLaZone(const fenetre::qt::VueQt& vue, const QRect& zone) {
  const QRect cadre(vue.pos(), vue.size() + fenetre::qt::kMargeCadre);
  QVERIFY2(zone.contains(cadre), qPrintable(QStringLiteral("frame %1,%2 %3x%4")
                                                .arg(cadre.x()).arg(cadre.y()).arg(cadre.width()).arg(cadre.height())));
  for (const fenetre::Controle& c : fenetre::Controles()) {
    const QWidget* w = vue.Controle(c.nom, c.index);
    QVERIFY(QRect(QPoint(), vue.size()).contains(w->geometry()));
    QVERIFY(zone.contains(w->geometry().translated(vue.pos())));
  }
  // Fixed for the window manager too: no maximise button, no resize.
  QCOMPARE(vue.minimumSize(), vue.maximumSize());
  QVERIFY(!(vue.windowFlags() & Qt::WindowMaximizeButtonHint));
  QVERIFY(vue.windowFlags() & Qt::WindowMinimizeButtonHint);
  QVERIFY(vue.windowFlags() & Qt::WindowCloseButtonHint);
}

// Where the table puts a control at the window's scale: edges scaled, as the view does.
QRect placeAttendue(const fenetre::qt::Echelle& e, const fenetre::Controle& c) {
  const int x = e.Pixels(c.gauche), y = e.Pixels(c.haut);
  return QRect(x, y, e.Pixels(c.gauche + c.largeur) - x, e.Pixels(c.haut + c.hauteur) - y);
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

  void dialoguesDeQtEnFrancais() {
    QVERIFY2(francais_, "qtbase_fr.qm not found in Qt's translations folder (package qt6-translations-l10n)");
    // The text boxes' context menu.
    std::unique_ptr<QMenu> menu(b->Zone(Nom::TexteNomRadio)->createStandardContextMenu());
    QStringList entrees;
    for (const QAction* a : menu->actions()) entrees << sansEsperluette(a->text()).section(QLatin1Char('\t'), 0, 0);
    QVERIFY2(entrees.contains(QStringLiteral("Copier")) && entrees.contains(QStringLiteral("Coller")) &&
                 entrees.contains(QStringLiteral("Tout s\u00E9lectionner")),
             qPrintable(entrees.join(QLatin1Char('|'))));
    // A message box's button, the same words as the folder dialog's.
    QCOMPARE(sansEsperluette(QDialogButtonBox(QDialogButtonBox::Cancel).button(QDialogButtonBox::Cancel)->text()),
             QStringLiteral("Annuler"));
  }

  void dialogueDossierEnFrancaisAvecLesLecteurs() {
    namespace fs = std::filesystem;
    fs::create_directories(b->box.Host() + "Sons");
    fs::create_directories(b->box.Prefix() + "/dosdevices");
    fs::create_directory_symlink(b->box.Host() + "Sons", b->box.Prefix() + "/dosdevices/d:");
    const std::string depart = fenetre::qt::DossierHoteDeDepart(b->box.Win() + "Sons\\");
    auto dialogue = fenetre::qt::CreerDialogueDossier(&b->vue, "S\xC3\xA9lectionnez un dossier: ", depart);
    QCOMPARE(dialogue->windowTitle(), QStringLiteral("S\u00E9lectionnez un dossier: "));
    QCOMPARE(QDir::cleanPath(dialogue->directory().absolutePath()), QDir::cleanPath(QString::fromStdString(depart)));

    auto* boutons = dialogue->findChild<QDialogButtonBox*>();
    QVERIFY(boutons);
    QCOMPARE(sansEsperluette(boutons->button(QDialogButtonBox::Open)->text()), QStringLiteral("Choisir"));
    QCOMPARE(sansEsperluette(boutons->button(QDialogButtonBox::Cancel)->text()), QStringLiteral("Annuler"));
    QStringList libelles;
    for (const QLabel* l : dialogue->findChildren<QLabel*>()) libelles << l->text();
    QVERIFY2(libelles.contains(QStringLiteral("Voir dans :")), qPrintable(libelles.join(QLatin1Char('|'))));

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
    b->vue.DefinirTexte(Nom::TexteDossier, 4, "Sons");
    QCOMPARE(zone->toolTip(), QStringLiteral("Ce dossier n'existe pas.\nCe texte n'est pas un chemin de dossier "
                                             "utilisable: ce n'est pas un chemin absolu (C:\\... ou "
                                             "\\\\serveur\\partage\\...)."));
    b->vue.DefinirTexte(Nom::TexteDossier, 4, b->box.Win());
    QCOMPARE(zone->toolTip(), QString());
    QCOMPARE(b->Zone(Nom::TexteNomRadio)->toolTip(), QString());

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
    QCOMPARE(b->messages[0].texte, QStringLiteral("Le dossier existe d\u00E9j\u00E0:\n\n") + depuisUtf8(b->box.Win()));
    b->Zone(Nom::TexteDossier, 3)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(b->messages.size(), size_t(3));
    b->Bouton(Nom::CommandQuitter)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QVERIFY(!b->vue.isVisible());
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
  }

  void chaqueEcranToutAccessible() {
    QFETCH(double, dpi);
    QFETCH(QRect, zone);
    QFETCH(bool, reduite);
    Banc banc(dpi, zone);
    const fenetre::qt::VueQt& vue = banc.vue;
    const double obtenu = vue.Dimensions().Dpi();
    if (reduite) {
      QVERIFY2(obtenu < dpi, qPrintable(QString::number(obtenu)));
      // As large as fits: a dpi more would not.
      const fenetre::qt::Echelle plus(obtenu + 1);
      QVERIFY(plus.Pixels(fenetre::kLargeurClient) + fenetre::qt::kMargeCadre.width() > zone.width() ||
              plus.Pixels(fenetre::kHauteurClient) + fenetre::qt::kMargeCadre.height() > zone.height());
    } else {
      QCOMPARE(obtenu, dpi);
    }
    verifierDansLaZone(vue, zone);
    // The same layout, at the scale it got.
    for (const fenetre::Controle& c : fenetre::Controles()) {
      if (c.sorte == fenetre::Sorte::StatusBar) continue;
      QCOMPARE(vue.Controle(c.nom, c.index)->geometry(), placeAttendue(vue.Dimensions(), c));
    }
    QCOMPARE(vue.size(), QSize(vue.Dimensions().Pixels(fenetre::kLargeurClient),
                               vue.Dimensions().Pixels(fenetre::kHauteurClient)));
    qInfo("%s: %.0f dpi asked, %.1f dpi laid out, window %dx%d", QTest::currentDataTag(), dpi, obtenu,
          vue.width(), vue.height());
  }

  void capturesA192Dpi() {
    const struct {
      QRect zone;
      const char* nom;
    } cas[] = {{QRect(0, 0, 2560, 1600), "fenetre-qt-192.png"}, {QRect(0, 0, 1280, 800), "fenetre-qt-192-1280x800.png"}};
    for (const auto& c : cas) {
      Banc banc(192, c.zone);
      banc.frm.Form_Load();
      banc.vue.DefinirTexte(Nom::TexteDossier, 2, banc.box.Win());
      banc.vue.show();
      QVERIFY(QTest::qWaitForWindowExposed(&banc.vue));
      QVERIFY(sauver(banc.vue.grab().toImage(), c.nom));
    }
  }

  void nomsAccessibles() {
    const struct {
      Nom nom;
      int index;
      const char* attendu;
    } cas[] = {
        {Nom::TexteNomRadio, -1, "Nom de la Radio"},
        {Nom::TexteNomStation, 0, "Nom des Stations 1"},
        {Nom::TexteNomStation, 4, "Nom des Stations 5"},
        {Nom::TexteCleGUID, -1, "Cl\xC3\xA9 GUID"},
        {Nom::TexteDossier, 0, "Dossier de l'application"},
        {Nom::TexteDossier, 4, "Dossier Sons"},
        {Nom::CommandDossier, 4, "Parcourir: Dossier Sons"},
        {Nom::CommandDossierCreer, 4, "Cr\xC3\xA9"
                                      "er: Dossier Sons"},
        {Nom::CommandDossierCreer, 1, "Cr\xC3\xA9"
                                      "er: Dossier Config"},
        {Nom::CommandCreerSettings, 2, "Cr\xC3\xA9"
                                       "er les param\xC3\xA8tres g\xC3\xA9n\xC3\xA9raux"},
        {Nom::CommandQuitter, -1, "Quitter"},
    };
    for (const auto& c : cas) {
      QAccessibleInterface* a = QAccessible::queryAccessibleInterface(b->vue.Controle(c.nom, c.index));
      QVERIFY(a);
      QCOMPARE(a->text(QAccessible::Name), QString::fromUtf8(c.attendu));
    }
    // Every text box and button has a name, and no two share one.
    QSet<QString> vus;
    for (const fenetre::Controle& c : fenetre::Controles()) {
      if (c.sorte != fenetre::Sorte::TextBox && c.sorte != fenetre::Sorte::Button) continue;
      const QString n = QAccessible::queryAccessibleInterface(b->vue.Controle(c.nom, c.index))->text(QAccessible::Name);
      QVERIFY2(!n.isEmpty() && !vus.contains(n), qPrintable(n));
      vus.insert(n);
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
    const QRect zone = ecran->availableGeometry();
    const double dpi = ecran->logicalDotsPerInch();
    const fenetre::qt::Echelle voulue(dpi);
    const bool tient = voulue.Pixels(fenetre::kLargeurClient) + fenetre::qt::kMargeCadre.width() <= zone.width() &&
                       voulue.Pixels(fenetre::kHauteurClient) + fenetre::qt::kMargeCadre.height() <= zone.height();
    if (tient)
      QCOMPARE(banc.vue.Dimensions().Dpi(), dpi);
    else
      QVERIFY(banc.vue.Dimensions().Dpi() < dpi);
    verifierDansLaZone(banc.vue, zone);
    banc.vue.show();
    QVERIFY(QTest::qWaitForWindowExposed(&banc.vue));
    QVERIFY(zone.contains(banc.vue.frameGeometry()));
    qInfo("screen %dx%d (logical, device pixel ratio %.2f), %.0f dpi: laid out at %.1f dpi, window %dx%d",
          zone.width(), zone.height(), ecran->devicePixelRatio(), dpi, banc.vue.Dimensions().Dpi(), banc.vue.width(),
          banc.vue.height());
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
