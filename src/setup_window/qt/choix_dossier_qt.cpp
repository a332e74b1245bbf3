#include "setup_window/qt/choix_dossier_qt.h"

#include <QFileDialog>
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

std::optional<std::string> ChoisirDossier(const Selecteur& selecteur, QWidget* parent, const std::string& titre,
                                          const std::string& dossierInitial) {
  if (!selecteur) return std::nullopt;
  const std::optional<std::string> choix = selecteur(parent, titre, DossierHoteDeDepart(dossierInitial));
  if (!choix || choix->empty()) return std::nullopt;
  return CheminWindows(*choix);
}

std::optional<std::string> SelecteurQFileDialog(QWidget* parent, const std::string& titre,
                                                const std::string& dossierHote) {
  const QString choix = QFileDialog::getExistingDirectory(
      parent, QString::fromStdString(titre), QString::fromStdString(dossierHote), QFileDialog::ShowDirsOnly);
  if (choix.isEmpty()) return std::nullopt;
  return choix.toStdString();
}

}  // namespace fenetre::qt
