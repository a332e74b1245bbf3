// The window as the control table describes it: kinds, captions, places at a
// given dpi, tab order, first focus, icon; and a screenshot to look at.
#include <QApplication>
#include <QLabel>
#include <QStatusBar>
#include <QStyleOptionButton>
#include <QtTest>
#include <memory>

#include "banc_fenetre.h"
#include "setup_window/qt/icone_fenetre.h"

using fenetre::Nom;
using fenetre::Sorte;

namespace {

QString libelle(std::string_view t) { return QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size())); }
// The caption as the widget holds it: with the mark of its access key, if any.
QString legende(const fenetre::Controle& c) { return libelle(c.clavier.empty() ? c.texte : c.clavier); }

QString nomDe(const fenetre::Controle& c) {
  return QStringLiteral("control %1(%2)").arg(static_cast<int>(c.nom)).arg(c.index);
}

bool prendLeFocus(const fenetre::Controle& c) { return c.sorte == Sorte::TextBox || c.sorte == Sorte::Button; }

}  // namespace

class DispositionTest : public QObject {
  Q_OBJECT

 private slots:
  void controlesALaPlaceDuTableau_data() {
    QTest::addColumn<double>("dpi");
    QTest::newRow("96 dpi") << 96.0;
    QTest::newRow("192 dpi") << 192.0;
  }

  void controlesALaPlaceDuTableau() {
    QFETCH(double, dpi);
    fenetre::qt::OptionsVue o;
    o.dpi = dpi;
    o.zone = QRect(0, 0, 3840, 2160);  // room enough: the window keeps the scale asked for
    fenetre::qt::VueQt vue(o);
    // Every position of the table is a whole number of pixels at these dpi.
    const auto px = [dpi](int twips) { return static_cast<int>(twips * dpi / 1440); };
    QCOMPARE(vue.windowTitle(), QStringLiteral("Installation d'Ilvane"));
    QCOMPARE(vue.size(), QSize(px(11430), px(6540)));
    QCOMPARE(vue.minimumSize(), vue.maximumSize());
    for (const fenetre::Controle& c : fenetre::Controles()) {
      QWidget* w = vue.Controle(c.nom, c.index);
      QVERIFY2(w, qPrintable(nomDe(c)));
      QCOMPARE(w->parentWidget(), &vue);
      QVERIFY2(w->geometry() == QRect(px(c.gauche), px(c.haut), px(c.largeur), px(c.hauteur)), qPrintable(nomDe(c)));
      switch (c.sorte) {
        case Sorte::Label:
          QVERIFY2(qobject_cast<QLabel*>(w), qPrintable(nomDe(c)));
          QCOMPARE(qobject_cast<QLabel*>(w)->text(), legende(c));
          break;
        case Sorte::TextBox:
          QVERIFY2(qobject_cast<QLineEdit*>(w), qPrintable(nomDe(c)));
          QCOMPARE(qobject_cast<QLineEdit*>(w)->text(), QString());
          break;
        case Sorte::Button:
          QVERIFY2(qobject_cast<QPushButton*>(w), qPrintable(nomDe(c)));
          QCOMPARE(qobject_cast<QPushButton*>(w)->text(), legende(c));
          break;
        case Sorte::StatusBar:
          QVERIFY(qobject_cast<QStatusBar*>(w));
          QVERIFY(vue.PanneauStatut()->parentWidget() == w);
          break;
      }
    }
    // The folder captions, the settings buttons and the accents, spelt out once more.
    QCOMPARE(vue.Texte(Nom::Label, 0), std::string("Dossier de l'application"));
    QCOMPARE(vue.Texte(Nom::Label, 8), std::string("Cl\xC3\xA9 GUID"));
    QCOMPARE(vue.Texte(Nom::CommandDossierCreer, 5), std::string("Cr\xC3\xA9"
                                                                 "er"));
    QCOMPARE(vue.Texte(Nom::CommandCreerSettings, 1), std::string("Cr\xC3\xA9"
                                                                  "er les param\xC3\xA8tres structurels"));
  }

  void captionsEntieresDansLeurPlace() {
    fenetre::qt::OptionsVue o;
    o.dpi = 96;
    fenetre::qt::VueQt vue(o);
    for (const fenetre::Controle& c : fenetre::Controles()) {
      QWidget* w = vue.Controle(c.nom, c.index);
      int place = w->contentsRect().width();
      if (auto* b = qobject_cast<QPushButton*>(w)) {
        QStyleOptionButton option;
        option.initFrom(b);
        place = b->style()->subElementRect(QStyle::SE_PushButtonContents, &option, b).width();
      } else if (!qobject_cast<QLabel*>(w)) {
        continue;
      }
      const int largeur = w->fontMetrics().horizontalAdvance(libelle(c.texte));
      QVERIFY2(largeur <= place, qPrintable(nomDe(c) + QStringLiteral(" needs %1 px, has %2").arg(largeur).arg(place)));
      QVERIFY2(w->fontMetrics().height() <= w->height() + 1, qPrintable(nomDe(c)));
    }
  }

  void ordreDeTabulationEtPremierFocus() {
    fenetre::qt::VueQt vue;
    vue.show();
    QApplication::setActiveWindow(&vue);
    QVERIFY(QTest::qWaitForWindowActive(&vue));
    QCOMPARE(QApplication::focusWidget(), vue.Controle(Nom::TexteNomRadio, -1));

    std::vector<QWidget*> attendus;
    for (const fenetre::Controle& c : fenetre::Controles())
      if (prendLeFocus(c)) attendus.push_back(vue.Controle(c.nom, c.index));
    QCOMPARE(attendus.size(), size_t(29));
    for (size_t k = 1; k <= attendus.size(); ++k) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QCOMPARE(QApplication::focusWidget(), attendus[k % attendus.size()]);  // the last one wraps to the first
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), attendus.back());
  }

  void iconeEnQuatreTailles() {
    fenetre::qt::VueQt vue;
    const QList<QSize> tailles = vue.windowIcon().availableSizes();
    for (int t : fenetre::qt::kTaillesIcone) {
      QVERIFY2(tailles.contains(QSize(t, t)), qPrintable(QString::number(t)));
      const QImage image = fenetre::qt::ImageIcone(t).toImage();
      QCOMPARE(image.size(), QSize(t, t));
      QCOMPARE(qAlpha(image.pixel(0, 0)), 0);            // rounded corner
      QCOMPARE(qAlpha(image.pixel(t / 2, t - 3)), 255);  // the tile itself
    }
  }

  // The window as a user sees it, once loaded: kept as a PNG beside the tests.
  void captureDEcran() {
    Banc b;
    b.frm.Form_Load();
    b.vue.DefinirTexte(Nom::TexteDossier, 2, b.box.Win());
    b.vue.DefinirStatut("C:\\Kelvaro\\Ilvane\\Config\\Kv_Sys.ini  [Div_Radio]  NB_MAX = 1");
    b.vue.show();
    QVERIFY(QTest::qWaitForWindowExposed(&b.vue));
    const QImage image = b.vue.grab().toImage();
    const QString chemin = QStringLiteral(IL3_ARTEFACTS "/fenetre-qt.png");
    QVERIFY(image.save(chemin));
    qInfo("screenshot: %s", qPrintable(chemin));

    const auto centre = [&](Nom nom, int index) {
      return image.pixelColor(b.vue.Controle(nom, index)->geometry().center());
    };
    // Painted colours, not just palette entries: the style must honour them.
    QCOMPARE(centre(Nom::TexteDossier, 1), QColor(Qt::red));
    QVERIFY(centre(Nom::TexteDossier, 2) != QColor(Qt::red));
    QVERIFY(centre(Nom::TexteNomRadio, -1) != QColor(Qt::red));
  }
};

int TesterDisposition(int argc, char** argv) {
  DispositionTest t;
  return QTest::qExec(&t, argc, argv);
}

#include "disposition_qt_test.moc"
