// A site whose layout changes, in the window: the closing box names the stored
// values that won and asks whether to apply the fields; a gap in the stations
// and the start texts are asked about before anything is written. Each box is
// left as a screenshot.
#include <QMessageBox>
#include <QtTest>
#include <memory>

#include "banc_fenetre.h"
#include "services/lib_systeme.h"

using fenetre::Nom;


class ChangementTest : public QObject {
  Q_OBJECT
  std::unique_ptr<Banc> b;

  void cliquer(int bouton) { QTest::mouseClick(b->Bouton(Nom::CommandCreerSettings, bouton), Qt::LeftButton); }
  std::string kvSys(const char* section, const char* cle) {
    return LectureIni(b->box.Win() + "Kelvaro\\Config\\Kv_Sys.ini", section, cle, "<absent>");
  }
  // A site written for "Radio Sud" and one station, then loaded again, as the next start shows it.
  void siteExistant() {
    b->frm.Form_Load();
    b->DossiersDuBac();
    cliquer(0);
    b->vue.DefinirTexte(Nom::TexteNomRadio, -1, "Radio Sud");
    b->vue.DefinirTexte(Nom::TexteNomStation, 0, "Studio");
    cliquer(1);
    cliquer(2);
    b->frm.Form_Load();
    b->messages.clear();
  }

 private slots:
  void init() { b = std::make_unique<Banc>(); }
  void cleanup() { b.reset(); }

  void ouiAppliqueLaFenetre() {
    siteExistant();
    b->vue.DefinirTexte(Nom::TexteNomRadio, -1, "Radio Sud FM");
    b->vue.DefinirTexte(Nom::TexteNomStation, 1, "Antenne");
    b->reponsesBoites = {QMessageBox::Yes};
    cliquer(2);
    QCOMPARE(b->messages.size(), size_t(2));
    const fenetre::qt::Message& q = b->messages[0];
    QCOMPARE(q.boutons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(q.defaut, QMessageBox::No);
    QVERIFY2(q.texte.startsWith(QString::fromUtf8(
                 "Paramétrage créé ou MAJ\n\n4 valeurs enregistrées diffèrent de la fenêtre et ont été gardées:\n"
                 "[Div_Radio] Nom_Radio: gardé « Radio Sud », fenêtre « Radio Sud FM »\n")),
             qPrintable(q.texte));
    QVERIFY(q.texte.endsWith(QString::fromUtf8("Appliquer les valeurs de la fenêtre ?")));
    QVERIFY(Photographier(q, &b->vue, "fenetre-qt-question.png"));
    QCOMPARE(b->messages[1].texte, QString::fromUtf8("Paramétrage créé ou MAJ\n\n4 valeurs de la fenêtre appliquées."));
    QCOMPARE(kvSys("Div_Radio", "Nom_Radio"), std::string("Radio Sud FM"));
    QCOMPARE(kvSys("Stations", "NB_MAX"), std::string("2"));
  }

  void nonGardeLesFichiers() {
    siteExistant();
    b->vue.DefinirTexte(Nom::TexteNomRadio, -1, "Radio Sud FM");
    cliquer(2);  // Enter: the default button, Non
    QCOMPARE(b->messages.size(), size_t(1));
    QCOMPARE(kvSys("Div_Radio", "Nom_Radio"), std::string("Radio Sud"));
  }

  void trouDansLesStations() {
    b->frm.Form_Load();
    b->DossiersDuBac();
    cliquer(0);
    b->vue.DefinirTexte(Nom::TexteNomRadio, -1, "Radio Sud");
    b->vue.DefinirTexte(Nom::TexteNomStation, 0, "");
    b->vue.DefinirTexte(Nom::TexteNomStation, 1, "Studio");
    b->messages.clear();
    b->reponsesBoites = {QMessageBox::Cancel};
    cliquer(2);
    QCOMPARE(b->messages.size(), size_t(1));
    QCOMPARE(b->messages[0].texte, QString::fromUtf8("La station 1 est vide: les stations 2 à 5 ne seront pas créées."));
    QCOMPARE(b->messages[0].boutons, QMessageBox::Ok | QMessageBox::Cancel);
    QVERIFY(Photographier(b->messages[0], &b->vue, "fenetre-qt-stations.png"));
    QCOMPARE(kvSys("Div_Radio", "Nom_Radio"), std::string("<absent>"));  // nothing written
  }

  void exempleDemandeAvantDEcrire() {
    b->frm.Form_Load();
    b->DossiersDuBac();
    cliquer(0);
    b->messages.clear();
    cliquer(1);  // Non, the default: nothing written
    QCOMPARE(b->messages.size(), size_t(1));
    QCOMPARE(b->messages[0].texte,
             QString::fromUtf8("Le nom de la radio est encore l'exemple « Nom de votre Radio ». Écrire quand même ?"));
    QCOMPARE(b->messages[0].defaut, QMessageBox::No);
    QVERIFY(Photographier(b->messages[0], &b->vue, "fenetre-qt-exemple.png"));
    QVERIFY(!b->box.Exists(b->box.Win() + "App\\Settings\\IL3_Config.ini"));
    b->reponsesBoites = {QMessageBox::Yes};
    cliquer(1);
    QVERIFY(b->box.Exists(b->box.Win() + "App\\Settings\\IL3_Config.ini"));
  }
};

int TesterChangement(int argc, char** argv) {
  ChangementTest t;
  return QTest::qExec(&t, argc, argv);
}

#include "changement_qt_test.moc"
