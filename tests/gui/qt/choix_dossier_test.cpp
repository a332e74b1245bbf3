// The folder dialog's two mappings: a Windows start folder to the host folder
// it opens on, and the chosen host folder back to its Windows spelling.
#include <QtTest>
#include <filesystem>
#include <fstream>
#include <memory>

#include "setup_window/qt/choix_dossier_qt.h"
#include "support/sandbox.h"

namespace fs = std::filesystem;
using fenetre::qt::ChoisirDossier;

class ChoixDossierTest : public QObject {
  Q_OBJECT
  std::unique_ptr<Sandbox> box;

  // {W}: the sandbox's Windows folder; {H}: its host folder; {P}: the prefix.
  std::string developpe(QString t) const {
    const QString h = QString::fromStdString(box->Host());
    t.replace("{W}", QString::fromStdString(box->Win()));
    t.replace("{H}", h.left(h.size() - 1));
    t.replace("{P}", QString::fromStdString(box->Prefix()));
    return t.toStdString();
  }

 private slots:
  void init() {
    box = std::make_unique<Sandbox>();
    fs::create_directories(box->Host() + "Existe/Sous");
    std::ofstream(box->Host() + "Existe/fichier.txt") << "x";
    // D: is a folder inside C:, so that a path in it has two spellings.
    fs::create_directories(box->Prefix() + "/dosdevices");
    fs::create_directory_symlink(box->Host() + "Existe", box->Prefix() + "/dosdevices/d:");
  }
  void cleanup() { box.reset(); }

  void ouvertureSurLeDossierHote_data() {
    QTest::addColumn<QString>("windows");
    QTest::addColumn<QString>("hote");
    QTest::newRow("existing") << "{W}Existe\\"
                              << "{H}/Existe";
    QTest::newRow("other case") << "c:\\SANDBOX\\existe\\SOUS\\"
                                << "{H}/Existe/Sous";
    QTest::newRow("missing levels") << "{W}Existe\\Absent\\Plus\\"
                                    << "{H}/Existe";
    QTest::newRow("a file") << "{W}Existe\\fichier.txt"
                            << "{H}/Existe";
    QTest::newRow("drive root") << "C:\\"
                                << "{P}/drive_c";
    QTest::newRow("through D:") << "D:\\Sous\\"
                                << "{P}/dosdevices/d:/Sous";
    QTest::newRow("missing drive") << "Q:\\Rien\\"
                                   << "";
  }

  void ouvertureSurLeDossierHote() {
    QFETCH(QString, windows);
    QFETCH(QString, hote);
    std::string attendu = developpe(hote);
    std::string obtenu = fenetre::qt::DossierHoteDeDepart(developpe(windows));
    if (!obtenu.empty() && obtenu.back() == '/' && obtenu.size() > 1) obtenu.pop_back();
    QCOMPARE(obtenu, attendu);
  }

  void orthographeWindows_data() {
    QTest::addColumn<QString>("hote");
    QTest::addColumn<QString>("windows");
    QTest::newRow("in C:") << "{H}"
                           << "C:\\sandbox";
    QTest::newRow("C: root") << "{P}/drive_c"
                             << "C:\\";
    QTest::newRow("deepest drive wins") << "{H}/Existe/Sous"
                                        << "D:\\Sous";
    QTest::newRow("a drive root inside another drive") << "{H}/Existe"
                                                       << "D:\\";
    QTest::newRow("outside every drive") << "/usr/share"
                                         << "Z:\\usr\\share";
    QTest::newRow("host root") << "/"
                               << "Z:\\";
  }

  void orthographeWindows() {
    QFETCH(QString, hote);
    QFETCH(QString, windows);
    QCOMPARE(fenetre::qt::CheminWindows(developpe(hote)), developpe(windows));
  }

  void choixParLeSelecteur() {
    std::string ouvertSur, titreVu;
    std::optional<std::string> reponse = box->Host() + "Existe/Sous";
    const fenetre::qt::Selecteur stub = [&](QWidget*, const std::string& titre, const std::string& dossier) {
      titreVu = titre;
      ouvertSur = dossier;
      return reponse;
    };
    QCOMPARE(ChoisirDossier(stub, nullptr, "Choisir", box->Win() + "Existe\\"), std::optional<std::string>("D:\\Sous"));
    QCOMPARE(titreVu, std::string("Choisir"));
    QCOMPARE(ouvertSur, box->Host() + "Existe");

    reponse = std::nullopt;
    QCOMPARE(ChoisirDossier(stub, nullptr, "", box->Win()), std::optional<std::string>());
    reponse = "";
    QCOMPARE(ChoisirDossier(stub, nullptr, "", box->Win()), std::optional<std::string>());
    QCOMPARE(ChoisirDossier(nullptr, nullptr, "", box->Win()), std::optional<std::string>());
  }
};

int TesterChoixDossier(int argc, char** argv) {
  ChoixDossierTest t;
  return QTest::qExec(&t, argc, argv);
}

#include "choix_dossier_test.moc"
