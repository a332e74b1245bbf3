// The window driven as a user drives it: typing, clicking, and what it shows,
// over a sandboxed C: drive.
#include <QApplication>
#include <QLabel>
#include <QtTest>
#include <memory>

#include "banc_fenetre.h"
#include "services/lib_systeme.h"

using fenetre::Nom;

namespace {

const QString kTitre = QStringLiteral("Installation d'Ilvane");

// Counts the paint events a widget receives.
class CompteurPeintures : public QObject {
 public:
  int n = 0;
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) ++n;
    return false;
  }
};

}  // namespace

class VueQtTest : public QObject {
  Q_OBJECT
  std::unique_ptr<Banc> b;

 private slots:
  void init() { b = std::make_unique<Banc>(); }
  void cleanup() { b.reset(); }

  void premierDemarrage() {
    b->frm.Form_Load();
    QCOMPARE(b->Zone(Nom::TexteNomRadio)->text(), QStringLiteral("Nom de votre Radio"));
    QCOMPARE(b->Zone(Nom::TexteNomStation, 0)->text(), QStringLiteral("Nom de la Station 1"));
    for (int k = 1; k < 5; ++k) QCOMPARE(b->Zone(Nom::TexteNomStation, k)->text(), QString());
    QCOMPARE(b->Zone(Nom::TexteCleGUID)->text(), QString());
    for (int i = 0; i < 6; ++i) {
      QCOMPARE(b->Texte(Nom::TexteDossier, i), std::string(fenetre::kDossiers[i].defaut));
      QCOMPARE(b->Fond(i), fenetre::kRouge);
      QCOMPARE(b->Zone(Nom::TexteDossier, i)->palette().color(QPalette::Base), QColor(Qt::red));
    }
    // The normal colour is the platform's own text-box background.
    QCOMPARE(b->Zone(Nom::TexteNomRadio)->palette().color(QPalette::Base),
             QApplication::palette(b->Zone(Nom::TexteNomRadio)).color(QPalette::Base));
    QVERIFY(b->FondNormal() != fenetre::kRouge);
    QVERIFY(b->messages.empty());
  }

  void chargementDUneExecutionPrecedente() {
    const std::string config = b->box.Win() + "Kelvaro\\Config\\";
    VerificationEtCreationRepertoire(b->box.Win() + "App\\Settings\\");
    VerificationEtCreationRepertoire(config);
    b->box.Write(b->box.Win() + "App\\Settings\\IL3_Config.ini",
                 "[Site]\r\nLib=Radio \xC9t\xE9\r\nGUID=ABC-1\r\nDossier_Config_Global=" + config + "\r\n");
    b->box.Write(config + "IL3_Systeme.ini",
                 "[Base_01]\r\nDossier_Data=D:\\Datas\\\r\n[Base_01_Station_02]\r\nLib=Nord\r\n"
                 "[Dossiers_Sons_Mus]\r\n00=D:\\Media\\Sons\\Musique\\\r\n");
    b->frm.Form_Load();
    QCOMPARE(b->Zone(Nom::TexteNomRadio)->text(), QStringLiteral("Radio \u00C9t\u00E9"));
    QCOMPARE(b->Zone(Nom::TexteCleGUID)->text(), QStringLiteral("ABC-1"));
    QCOMPARE(b->Zone(Nom::TexteNomStation, 0)->text(), QStringLiteral("Nom de la Station 1"));
    QCOMPARE(b->Zone(Nom::TexteNomStation, 1)->text(), QStringLiteral("Nord"));
    QCOMPARE(b->Texte(Nom::TexteDossier, 1), config);
    QCOMPARE(b->Fond(1), b->FondNormal());
    QCOMPARE(b->Zone(Nom::TexteDossier, 1)->palette().color(QPalette::Base),
             b->Zone(Nom::TexteNomRadio)->palette().color(QPalette::Base));
    QCOMPARE(b->Texte(Nom::TexteDossier, 4), std::string("D:\\Media\\Sons\\"));
    QCOMPARE(b->Texte(Nom::TexteDossier, 5), std::string("D:\\Datas\\"));
  }

  void cheminTapeCaractereParCaractere() {
    const std::string cible = b->box.Win() + "Sons\\";
    VerificationEtCreationRepertoire(cible);
    const std::string bac = b->box.Win();
    QLineEdit* zone = b->Zone(Nom::TexteDossier, 4);
    zone->setFocus();
    b->vue.DefinirTexte(Nom::TexteDossier, 4, "");
    std::string tape;
    for (char c : cible) {
      QTest::keyClick(zone, c);
      tape += c;
      QCOMPARE(zone->text().toStdString(), tape);
      const bool existe = tape == cible || tape == cible.substr(0, cible.size() - 1) || tape == "C:" ||
                          tape == "C:\\" || tape == bac || tape == bac.substr(0, bac.size() - 1);
      QVERIFY2(b->Fond(4) == (existe ? b->FondNormal() : fenetre::kRouge), tape.c_str());
    }
    QTest::keyClick(zone, 'x');
    QCOMPARE(b->Fond(4), fenetre::kRouge);
    QTest::keyClick(zone, Qt::Key_Backspace);
    QCOMPARE(b->Fond(4), b->FondNormal());
  }

  void memeTexteSansEvenement() {
    b->frm.Form_Load();
    b->vue.DefinirCouleurFond(Nom::TexteDossier, 2, 0x00FF00);
    b->vue.DefinirTexte(Nom::TexteDossier, 2, "C:\\Journix\\");
    QCOMPARE(b->Fond(2), 0x00FF00u);  // no change event: the colour stays as it was
    b->vue.DefinirTexte(Nom::TexteDossier, 2, b->box.Win());
    QCOMPARE(b->Fond(2), b->FondNormal());
  }

  void boutonCreer() {
    b->vue.DefinirTexte(Nom::TexteDossier, 2, "   ");
    QTest::mouseClick(b->Bouton(Nom::CommandDossierCreer, 2), Qt::LeftButton);
    QVERIFY(b->messages.empty());

    const std::string profond = b->box.Win() + "Un\\Deux\\";
    b->vue.DefinirTexte(Nom::TexteDossier, 2, profond);
    QCOMPARE(b->Fond(2), fenetre::kRouge);
    QTest::mouseClick(b->Bouton(Nom::CommandDossierCreer, 2), Qt::LeftButton);
    QVERIFY(b->box.Exists(profond));
    QCOMPARE(b->Fond(2), b->FondNormal());
    QVERIFY(b->messages.empty());

    QTest::mouseClick(b->Bouton(Nom::CommandDossierCreer, 2), Qt::LeftButton);
    QCOMPARE(b->messages.size(), size_t(1));
    QCOMPARE(b->messages[0].icone, QMessageBox::Warning);
    QCOMPARE(b->messages[0].titre, kTitre);
    QCOMPARE(b->messages[0].texte,
             QStringLiteral("Le dossier existe d\u00E9j\u00E0:\n\n") + QString::fromStdString(profond));
  }

  void boutonParcourir() {
    const std::string hote = b->box.Host();  // ends with '/'
    QDir().mkpath(QString::fromStdString(hote + "Choisi"));
    b->vue.DefinirTexte(Nom::TexteDossier, 4, b->box.Win() + "Sons\\Pub");
    b->reponses = {hote + "Choisi", std::nullopt, hote + "Nouveau/Dossier"};

    QTest::mouseClick(b->Bouton(Nom::CommandDossier, 4), Qt::LeftButton);
    QCOMPARE(b->demandes.size(), size_t(1));
    QCOMPARE(b->demandes[0].first, std::string("S\xC3\xA9lectionnez un dossier: "));
    // C:\sandbox\Sons\ does not exist: the dialog opens on the sandbox itself.
    QCOMPARE(b->demandes[0].second, hote.substr(0, hote.size() - 1));
    QCOMPARE(b->Texte(Nom::TexteDossier, 4), b->box.Win() + "Choisi\\");
    QCOMPARE(b->Fond(4), b->FondNormal());

    QTest::mouseClick(b->Bouton(Nom::CommandDossier, 4), Qt::LeftButton);  // cancelled
    QCOMPARE(b->demandes.back().second, hote + "Choisi");
    QCOMPARE(b->Texte(Nom::TexteDossier, 4), b->box.Win() + "Choisi\\");

    // A folder that is gone by the time the dialog closes is created.
    QTest::mouseClick(b->Bouton(Nom::CommandDossier, 4), Qt::LeftButton);
    QCOMPARE(b->Texte(Nom::TexteDossier, 4), b->box.Win() + "Nouveau\\Dossier\\");
    QVERIFY(b->box.Exists(b->box.Win() + "Nouveau\\Dossier\\"));
    QCOMPARE(b->Fond(4), b->FondNormal());
    QVERIFY(b->messages.empty());
  }

  void troisBoutonsDeParametrage() {
    b->DossiersDuBac();
    const std::string config = b->box.Win() + "Kelvaro\\Config\\";
    QTest::mouseClick(b->Bouton(Nom::CommandCreerSettings, 0), Qt::LeftButton);
    QCOMPARE(b->messages.size(), size_t(1));
    QCOMPARE(b->messages[0].icone, QMessageBox::Information);
    QCOMPARE(b->messages[0].titre, kTitre);
    QCOMPARE(b->messages[0].texte, QStringLiteral("Dossiers cr\u00E9\u00E9s"));
    // The progress line showed the last folder created while the box was up.
    QCOMPARE(b->statutsAuMessage[0], QString::fromStdString(b->box.Win() + "Data\\"));
    QCOMPARE(b->vue.PanneauStatut()->text(), QString());
    for (int i = 0; i < 6; ++i) QCOMPARE(b->Fond(i), b->FondNormal());

    QTest::mouseClick(b->Bouton(Nom::CommandCreerSettings, 1), Qt::LeftButton);
    QTest::mouseClick(b->Bouton(Nom::CommandCreerSettings, 2), Qt::LeftButton);
    QCOMPARE(b->messages.size(), size_t(3));
    for (int k : {1, 2}) {
      QCOMPARE(b->messages[k].icone, QMessageBox::Information);
      QCOMPARE(b->messages[k].texte, QStringLiteral("Param\u00E9trage cr\u00E9\u00E9 ou MAJ"));
      QVERIFY(!b->statutsAuMessage[k].isEmpty());  // the last key written
    }
    QVERIFY(b->box.Exists(b->box.Win() + "App\\Settings\\IL3_Config.ini"));
    QVERIFY(b->box.Exists(config + "Kv_Sys.ini"));
    QVERIFY(b->box.Exists(config + "KV_Mus.ini"));
    QCOMPARE(b->vue.PanneauStatut()->text(), QString());

    b->vue.DefinirTexte(Nom::TexteDossier, 1, b->box.Win() + "Absent\\Config\\");
    QTest::mouseClick(b->Bouton(Nom::CommandCreerSettings, 2), Qt::LeftButton);
    QCOMPARE(b->messages.back().icone, QMessageBox::Critical);
    QCOMPARE(b->messages.back().texte, QStringLiteral("Dossier de config non trouv\u00E9:\n\n") +
                                           QString::fromStdString(b->box.Win() + "Absent\\Config\\") +
                                           QStringLiteral("\n\nCr\u00E9ez-le d'abord avec \u00AB Cr\u00E9er les dossiers \u00BB."));
  }

  void ligneDeProgressionPeinteAussitot() {
    b->vue.show();
    QVERIFY(QTest::qWaitForWindowExposed(&b->vue));
    QCoreApplication::processEvents();
    CompteurPeintures compteur;
    b->vue.PanneauStatut()->installEventFilter(&compteur);
    b->vue.DefinirStatut("C:\\Journix\\");
    QVERIFY(compteur.n > 0);  // painted before control goes back to the event loop
    QCOMPARE(b->Texte(Nom::StatusBarMain), std::string("C:\\Journix\\"));
  }

  void quitterFermeSansQuestion() {
    b->vue.show();
    QVERIFY(QTest::qWaitForWindowExposed(&b->vue));
    b->vue.DefinirTexte(Nom::TexteNomRadio, -1, "modifié");
    QTest::mouseClick(b->Bouton(Nom::CommandQuitter), Qt::LeftButton);
    QVERIFY(!b->vue.isVisible());
    QVERIFY(b->messages.empty());
  }

  void stylesDesBoites_data() {
    QTest::addColumn<int>("style");
    QTest::addColumn<QMessageBox::Icon>("icone");
    QTest::newRow("critical") << 16 << QMessageBox::Critical;
    QTest::newRow("exclamation") << 48 << QMessageBox::Warning;
    QTest::newRow("information") << 64 << QMessageBox::Information;
    QTest::newRow("none") << 0 << QMessageBox::NoIcon;
  }

  void stylesDesBoites() {
    QFETCH(int, style);
    QFETCH(QMessageBox::Icon, icone);
    b->vue.MessageBox("Automation Error !!!\r\n\r\nSub: Frm_Main:Form_Load:0", style);
    QCOMPARE(b->messages.size(), size_t(1));
    QCOMPARE(b->messages[0].icone, icone);
    QCOMPARE(b->messages[0].titre, kTitre);
    QCOMPARE(b->messages[0].texte, QStringLiteral("Automation Error !!!\n\nSub: Frm_Main:Form_Load:0"));
  }
};

int TesterVue(int argc, char** argv) {
  VueQtTest t;
  return QTest::qExec(&t, argc, argv);
}

#include "vue_qt_test.moc"
