// The folder chooser of the Linux window. The program speaks Windows paths; the
// dialog shows the host's folders. The two mappings are kept apart from the
// dialog so that they can be tested without opening one.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QFileDialog;
class QWidget;

namespace fenetre::qt {

// A modal chooser: (parent, title, host folder to open on) → the chosen host
// folder, or nullopt when cancelled.
using Selecteur = std::function<std::optional<std::string>(QWidget* parent, const std::string& titre,
                                                           const std::string& dossierHote)>;

// The host folder on which to open for a Windows folder: the folder itself, or
// its deepest existing parent; empty when its drive does not exist.
std::string DossierHoteDeDepart(const std::string& dossierWindows);

// The Windows spelling of a host folder: through the drive whose root holds it
// (the deepest one), else Z: followed by the host path, as Wine shows the host.
std::string CheminWindows(const std::string& dossierHote);
// True for a folder the prefix reaches only through Z:, the whole host as Wine
// shows it: a drive the suite on Windows will not have.
bool HorsDesLecteurs(const std::string& cheminWindows);

// Runs `selecteur` on the host folder of `dossierInitial` and returns the choice
// in its Windows spelling.
std::optional<std::string> ChoisirDossier(const Selecteur& selecteur, QWidget* parent, const std::string& titre,
                                          const std::string& dossierInitial);

// A drive of the prefix, as the dialog offers it among its places.
struct Lieu {
  std::string lecteur;      // "C:"
  std::string dossierHote;  // where its root lies on the host
};
// The drives whose root exists, in letter order.
std::vector<Lieu> LieuxDesLecteurs();

// The dialog, not yet shown: Qt's own rather than the desktop's, so that it
// speaks the program's language and lists the drives, by their letters, as its
// places; opened on `dossierHote`, folders only.
std::unique_ptr<QFileDialog> CreerDialogueDossier(QWidget* parent, const std::string& titre,
                                                  const std::string& dossierHote);

// The real dialog, modal.
std::optional<std::string> SelecteurQFileDialog(QWidget* parent, const std::string& titre,
                                                const std::string& dossierHote);

}  // namespace fenetre::qt
