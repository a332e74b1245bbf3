#include "setup_window/qt/choix_dossier_qt.h"

#include <QDir>
#include <QFileDialog>
#include <QListView>
#include <QUrl>
#include <filesystem>
#include <system_error>

#include "platform/platform.h"

namespace fenetre::qt {

namespace fs = std::filesystem;

std::string DossierHoteDeDepart(const std::string& dossierWindows) {
  const std::string hote = platform::HostPathOf(dossierWindows);
  if (hote.empty()) return {};
  std::error_code ec;
  fs::path p(hote);
  // A start folder that names a file, or is missing, opens on what does exist above it.
  while (!p.empty() && !fs::is_directory(p, ec)) {
    const fs::path parent = p.parent_path();
    if (parent == p) break;
    p = parent;
  }
  return p.string();
}

std::string CheminWindows(const std::string& dossierHote) { return platform::WindowsPathOf(dossierHote); }

bool HorsDesLecteurs(const std::string& cheminWindows) {
  return cheminWindows.size() >= 2 && (cheminWindows[0] == 'Z' || cheminWindows[0] == 'z') && cheminWindows[1] == ':';
}

std::optional<std::string> ChoisirDossier(const Selecteur& selecteur, QWidget* parent, const std::string& titre,
                                          const std::string& dossierInitial) {
  if (!selecteur) return std::nullopt;
  const std::optional<std::string> choix = selecteur(parent, titre, DossierHoteDeDepart(dossierInitial));
  if (!choix || choix->empty()) return std::nullopt;
  return CheminWindows(*choix);
}

std::vector<Lieu> LieuxDesLecteurs() {
  std::vector<Lieu> lieux;
  for (char d = 'A'; d <= 'Z'; ++d) {
    const std::string lecteur = std::string(1, d) + ":";
    const std::string hote = platform::HostPathOf(lecteur + "\\");
    std::error_code ec;
    if (!hote.empty() && fs::is_directory(hote, ec)) lieux.push_back({lecteur, hote});
  }
  return lieux;
}

namespace {

QString cheminPropre(const std::string& hote) { return QDir::cleanPath(QString::fromStdString(hote)); }

// The places list names a folder after its last component ("drive_c", "d:");
// the window speaks of drives, so each is renamed after its letter, and again
// whenever the list refreshes a name.
void nommerLesLieux(QFileDialog* dialogue, const std::vector<Lieu>& lieux) {
  auto* liste = dialogue->findChild<QListView*>(QStringLiteral("sidebar"));
  QAbstractItemModel* modele = liste ? liste->model() : nullptr;
  if (!modele) return;
  constexpr int kRoleUrl = Qt::UserRole + 1;  // where the list keeps each place's address
  const auto nommer = [modele, lieux] {
    for (int r = 0; r < modele->rowCount(); ++r) {
      const QModelIndex i = modele->index(r, 0);
      const QString chemin = QDir::cleanPath(i.data(kRoleUrl).toUrl().toLocalFile());
      for (const Lieu& l : lieux) {
        const QString nom = QString::fromStdString(l.lecteur);
        if (chemin == cheminPropre(l.dossierHote) && i.data().toString() != nom) modele->setData(i, nom);
      }
    }
  };
  nommer();
  QObject::connect(modele, &QAbstractItemModel::dataChanged, liste, nommer);
}

}  // namespace

std::unique_ptr<QFileDialog> CreerDialogueDossier(QWidget* parent, const std::string& titre,
                                                  const std::string& dossierHote) {
  auto dialogue = std::make_unique<QFileDialog>(parent, QString::fromStdString(titre), QString::fromStdString(dossierHote));
  dialogue->setOptions(QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
  dialogue->setFileMode(QFileDialog::Directory);
  const std::vector<Lieu> lieux = LieuxDesLecteurs();
  QList<QUrl> adresses;
  for (const Lieu& l : lieux) adresses << QUrl::fromLocalFile(cheminPropre(l.dossierHote));
  dialogue->setSidebarUrls(adresses);
  nommerLesLieux(dialogue.get(), lieux);
  return dialogue;
}

std::optional<std::string> SelecteurQFileDialog(QWidget* parent, const std::string& titre,
                                                const std::string& dossierHote) {
  const std::unique_ptr<QFileDialog> dialogue = CreerDialogueDossier(parent, titre, dossierHote);
  if (dialogue->exec() != QDialog::Accepted) return std::nullopt;
  const QStringList choix = dialogue->selectedFiles();
  if (choix.isEmpty() || choix.first().isEmpty()) return std::nullopt;
  return choix.first().toStdString();
}

}  // namespace fenetre::qt
