#include "setup_window/win32/choix_dossier_win32.h"

#include "services/folder_picker.h"
#include "setup_window/win32/texte_large.h"

namespace fenetre::win32 {

namespace {

// Runs inside the browser's modal loop. Returns 0 for every message.
int CALLBACK rappelParcourir(HWND dialogue, UINT message, LPARAM, LPARAM selection) {
  if (message == BFFM_INITIALIZED && selection) {
    SendMessageW(dialogue, BFFM_SETSELECTIONW, TRUE, selection);
    // Once more when the dialog's own start-up is over: Wine's browser may
    // not have its tree ready yet when it reports itself initialised. The
    // text outlives the dialog, which is modal.
    PostMessageW(dialogue, BFFM_SETSELECTIONW, TRUE, selection);
  }
  return 0;
}

}  // namespace

std::optional<std::string> ChoisirDossierShell(HWND proprietaire, const std::string& titre,
                                               const std::string& dossierInitial) {
  const std::wstring invite = Large(titre);
  const std::wstring selection = Large(SelectionInitiale(dossierInitial));
  wchar_t nomAffiche[MAX_PATH] = {};

  BROWSEINFOW infos{};
  infos.hwndOwner = proprietaire;
  infos.pidlRoot = nullptr;
  infos.pszDisplayName = nomAffiche;
  infos.lpszTitle = invite.c_str();
  infos.ulFlags = kOptionsParcourir;
  infos.lpfn = rappelParcourir;
  // The selection travels in the callback's data rather than in a global.
  infos.lParam = reinterpret_cast<LPARAM>(selection.c_str());

  PIDLIST_ABSOLUTE liste = SHBrowseForFolderW(&infos);
  std::optional<std::string> choix;
  if (liste) {
    wchar_t chemin[MAX_PATH] = {};
    if (SHGetPathFromIDListW(liste, chemin)) choix = Etroit(chemin);
  }
  CoTaskMemFree(liste);  // null on cancel, which it accepts
  return choix;
}

}  // namespace fenetre::win32
