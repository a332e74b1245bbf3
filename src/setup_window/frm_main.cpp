#include "setup_window/frm_main.h"

#include <utility>

#include "common/erreurs.h"
#include "common/lib_public.h"
#include "platform/platform.h"
#include "services/chemins_windows.h"
#include "services/folder_picker.h"
#include "services/journal.h"
#include "services/lib_setup.h"
#include "services/lib_systeme.h"
#include "settings/settings.h"

namespace fenetre {

namespace {
constexpr const char* kCrLf = "\r\n";

// Where the final "\Musique" (or "\Musique\") of a stored music folder starts; npos without one.
size_t finMusique(const std::string& m) {
  for (const char* fin : {"\\Musique", "\\Musique\\"}) {
    const size_t n = std::char_traits<char>::length(fin);
    if (m.size() >= n && m.compare(m.size() - n, n, fin) == 0) return m.size() - n;
  }
  return std::string::npos;
}
}  // namespace

std::string InfoBulleDossier(const std::string& texte, bool existe) {
  if (existe) return {};
  std::string raison;
  if (Trim(texte).empty())
    raison = "le champ est vide";
  else if (raison = RefusChemin(texte); raison.empty() && !CheminAbsolu(texte))
    raison = "ce n'est pas un chemin absolu (C:\\... ou \\\\serveur\\partage\\...)";
  std::string bulle = "Ce dossier n'existe pas.";
  if (!raison.empty()) bulle += std::string(kCrLf) + "Ce texte n'est pas un chemin de dossier utilisable: " + raison + ".";
  return bulle;
}

Frm_Main::Frm_Main(Vue& vue) : vue_(vue) {
  DefinirCrochetsRapporteur({[this](const std::string& texte, int style) { vue_.MessageBox(texte, style); },
                             [this] { vue_.TraiterEvenements(); }});
  DefinirLigneDeProgression([this](const std::string& texte) { vue_.DefinirStatut(texte); });
}

Frm_Main::~Frm_Main() {
  DefinirCrochetsRapporteur({});
  DefinirLigneDeProgression({});
}

void Frm_Main::message(const std::string& texte, int style) { vue_.MessageBox(texte, style); }

void Frm_Main::Form_Initialize() {
  Procedure("Frm_Main:Form_Initialize").etape([] {
    DossierApplication = CheckRep(platform::ProgramFolder(), "\\");
  });
}

void Frm_Main::Form_Load() {
  // One command for the loading: the few files it reads are resolved once, not per key.
  platform::BeginCommand();
  Procedure p("Frm_Main:Form_Load");
  p.etape([&] { vue_.DefinirTexte(Nom::TexteNomRadio, -1, "Nom de votre Radio"); });
  p.etape([&] { vue_.DefinirTexte(Nom::TexteNomStation, 0, "Nom de la Station 1"); });
  for (int i = 0; i < 6; ++i)
    p.etape([&] { vue_.DefinirTexte(Nom::TexteDossier, i, std::string(kDossiers[i].defaut)); });

  // What an earlier run stored replaces the defaults; a missing file leaves them.
  p.etape([] { GetOSDisplayString(); });
  const std::string site = DossierApplication + "Settings\\IL3_Config.ini";
  p.etape([&] {
    vue_.DefinirTexte(Nom::TexteNomRadio, -1, LectureIni(site, "Site", "Lib", vue_.Texte(Nom::TexteNomRadio, -1)));
  });
  p.etape([&] { vue_.DefinirTexte(Nom::TexteCleGUID, -1, LectureIni(site, "Site", "GUID", "")); });
  p.etape([&] {
    vue_.DefinirTexte(Nom::TexteDossier, 1, LectureIni(site, "Site", "Dossier_Config_Global", dossier(1)));
  });
  std::string systeme;
  p.etape([&] { systeme = CheckRep(dossier(1), "\\") + "IL3_Systeme.ini"; });
  for (int k = 0; k < kStations; ++k) {
    p.etape([&] {
      const std::string section = "Base_01_Station_" + N2S(k + 1, 2, 0, "0");
      vue_.DefinirTexte(Nom::TexteNomStation, k,
                        LectureIni(systeme, section, "Lib", vue_.Texte(Nom::TexteNomStation, k)));
    });
  }
  p.etape([&] {
    // The stored music folder is the sounds folder followed by "Musique\": only
    // that last "Musique" goes, so a sounds folder that holds one keeps it.
    const std::string m = LectureIni(systeme, "Dossiers_Sons_Mus", "00", dossier(4));
    const size_t pos = finMusique(m);
    if (pos != std::string::npos && pos > 0) vue_.DefinirTexte(Nom::TexteDossier, 4, CheckRep(m.substr(0, pos), "\\"));
  });
  p.etape([&] { vue_.DefinirTexte(Nom::TexteDossier, 5, LectureIni(systeme, "Base_01", "Dossier_Data", dossier(5))); });
  // The application and log folders come back from the folder table the general
  // button stored, so that a second run does not create the defaults beside them.
  const std::string kvSys = CheckRep(dossier(1), "\\") + "Kv_Sys.ini";
  for (const auto& [index, cle] : {std::pair{0, "REPPRG"}, std::pair{2, "REPLOG"}, std::pair{3, "REPLOGPUB"}})
    p.etape([&] { vue_.DefinirTexte(Nom::TexteDossier, index, LectureIni(kvSys, "Repertoires", cle, dossier(index))); });
  platform::EndCommand();  // nothing written: nothing to save
}

void Frm_Main::TexteDossier_Change(int index) {
  Procedure("Frm_Main:TexteDossier_Change").etape([&] {
    // Blanks alone would list the current folder: they name no folder.
    const std::string texte = dossier(index);
    const bool present = !Trim(texte).empty() && DossierPresent(texte);
    vue_.DefinirCouleurFond(Nom::TexteDossier, index, present ? vue_.CouleurFond(Nom::TexteNomRadio, -1) : kRouge);
    vue_.DefinirInfoBulle(Nom::TexteDossier, index, InfoBulleDossier(texte, present));
  });
}

void Frm_Main::CommandDossier_Click(int index) {
  Procedure("Frm_Main:CommandDossier_Click").etape([&] {
    const std::string r = FolderSelect(
        [this](const std::string& titre, const std::string& depart) { return vue_.ChoisirDossier(titre, depart); },
        dossier(index), "");
    if (r != "*") vue_.DefinirTexte(Nom::TexteDossier, index, r);
  });
}

void Frm_Main::CommandDossierCreer_Click(int index) {
  Procedure("Frm_Main:CommandDossierCreer_Click").etape([&] {
    const std::string texte = dossier(index);
    if (Trim(texte).empty()) return;
    if (DossierPresent(texte)) {
      message(std::string("Le dossier existe déjà:") + kCrLf + kCrLf + texte, kStyleExclamation);
      return;
    }
    VerificationEtCreationRepertoire(texte);
    TexteDossier_Change(index);
  });
}

void Frm_Main::CommandQuitter_Click() {
  Procedure("Frm_Main:CommandQuitter_Click").etape([&] { vue_.Fermer(); });
}

void Frm_Main::Clic(Nom nom, int index) {
  switch (nom) {
    case Nom::CommandDossier: return CommandDossier_Click(index);
    case Nom::CommandDossierCreer: return CommandDossierCreer_Click(index);
    case Nom::CommandCreerSettings: return CommandCreerSettings_Click(static_cast<int16_t>(index));
    case Nom::CommandQuitter: return CommandQuitter_Click();
    default: return;
  }
}

void Frm_Main::CommandCreerSettings_Click(int16_t index) {
  Procedure p("Frm_Main:CommandCreerSettings_Click");
  std::string dossiers[6];
  p.etape([&] {
    for (int i = 0; i < 6; ++i) dossiers[i] = CheckRep(dossier(i), "\\");
  });
  std::string parentConfig = dossiers[1];
  p.etape([&] {
    const size_t pos = dossiers[1].find("\\Config");
    if (pos == std::string::npos || pos == 0)
      message("Le dossier Config ne possède pas de sous-dossier \\Config", kStyleExclamation);
    else
      parentConfig = CheckRep(dossiers[1].substr(0, pos), "\\");
  });
  p.etape([&] {
    if (index == 0)
      brancheDossiers();
    else if (index == 1 || index == 2)
      brancheEcriture(index, dossiers[1], parentConfig, dossiers);
  });
  p.etape([&] { vue_.DefinirStatut(""); });
}

void Frm_Main::brancheDossiers() {
  Procedure p("Frm_Main:CommandCreerSettings_Click");
  for (int i = 0; i < 6; ++i) {
    p.etape([&] {
      const std::string texte = dossier(i);
      if (Trim(texte).empty() || DossierPresent(texte)) return;
      if (!RefusChemin(texte).empty()) return;  // Windows could not use it: listed below with the reason
      vue_.DefinirStatut(texte);
      VerificationEtCreationRepertoire(texte);
      TexteDossier_Change(i);
    });
  }
  // Success is claimed only when every filled field now names a folder.
  std::string manquants;
  for (int i = 0; i < 6; ++i) {
    const std::string texte = dossier(i);
    if (Trim(texte).empty() || DossierPresent(texte)) continue;
    const std::string refus = RefusChemin(texte);
    manquants += kCrLf + texte + (refus.empty() ? "" : " (" + refus + ")");
  }
  if (manquants.empty()) {
    message("Dossiers créés", kStyleInformation);
  } else {
    echecSignale_ = true;
    message(std::string("Dossiers créés, sauf ceux-ci, qui n'ont pas pu être créés:") + kCrLf + manquants,
            kStyleExclamation);
  }
}

bool Frm_Main::configurationPresente() {
  const std::string texte = dossier(1);
  // The files go into this folder: an empty field, a pattern or a file name names none,
  // whatever a directory listing of it would say.
  if (DossierExiste(texte)) return true;
  echecSignale_ = true;
  message(std::string("Dossier de config non trouvé:") + kCrLf + kCrLf + texte, kStyleCritique);
  return false;
}

// The first field that the branch writes and whose text Windows could not read,
// with the reason; empty when all can be read.
std::string Frm_Main::champIllisible(int16_t index) const {
  for (int i = 0; i < 6; ++i) {
    if (index == 1 && i != 1) continue;  // the structural branch stores the configuration folder only
    if (std::string r = RefusChemin(dossier(i)); !Trim(dossier(i)).empty() && !r.empty())
      return std::string(kDossiers[i].libelle) + ": " + dossier(i) + " (" + r + ")";
  }
  const std::pair<Nom, int> textes[] = {{Nom::TexteNomRadio, -1}, {Nom::TexteCleGUID, -1}, {Nom::TexteNomStation, 0},
                                        {Nom::TexteNomStation, 1}, {Nom::TexteNomStation, 2}, {Nom::TexteNomStation, 3},
                                        {Nom::TexteNomStation, 4}};
  for (const auto& [nom, i] : textes) {
    if (index == 1 && nom == Nom::TexteNomStation) continue;
    if (std::string r = RefusTexte(vue_.Texte(nom, i)); !r.empty()) return vue_.Texte(nom, i) + " (" + r + ")";
  }
  return {};
}

void Frm_Main::brancheEcriture(int16_t index, const std::string& dossierConfig, const std::string& parentConfig,
                               const std::string (&dossiers)[6]) {
  if (!configurationPresente()) return;
  // Refused before the first key, rather than key by key in every file.
  if (const std::string illisible = champIllisible(index); !illisible.empty()) {
    echecSignale_ = true;
    message(std::string("Rien n'a été écrit: Windows ne pourrait pas lire ce texte:") + kCrLf + kCrLf + illisible,
            kStyleCritique);
    return;
  }
  Bilan().vider();
  platform::BeginCommand();
  Procedure p("Frm_Main:CommandCreerSettings_Click");
  if (index == 1) {
    p.etape([&] {
      settings::EcrireParametresStructurels(dossierConfig, vue_.Texte(Nom::TexteNomRadio, -1),
                                            vue_.Texte(Nom::TexteCleGUID, -1));
    });
  } else {
    p.etape([&] {
      settings::Entrees e{dossiers[0], dossiers[1], dossiers[2], dossiers[3], dossiers[4], dossiers[5],
                          parentConfig, vue_.Texte(Nom::TexteNomRadio, -1), {}};
      for (int i = 0; i < kStations; ++i) {
        std::string station = vue_.Texte(Nom::TexteNomStation, i);
        if (Trim(station).empty()) break;
        e.stations.push_back(station);
      }
      settings::EcrireParametresGeneraux(e);
    });
  }
  const std::vector<platform::SaveFailure> nonEnregistres = platform::EndCommand();

  std::string echecs;
  for (const EchecsFichier& f : Bilan().fichiers())
    echecs += std::string(kCrLf) + f.fichier + ": " + std::to_string(f.nombre) +
              (f.nombre > 1 ? " clés non écrites (" : " clé non écrite (") + f.premiereRaison + ")";
  for (const platform::SaveFailure& f : nonEnregistres) journal::Annuler(f.file);
  for (const platform::SaveFailure& f : nonEnregistres)
    echecs += std::string(kCrLf) + f.file + ": modifications non enregistrées (" + f.reason + ")";
  if (echecs.empty()) {
    message("Paramétrage créé ou MAJ", kStyleInformation);
  } else {
    echecSignale_ = true;
    message(std::string("Paramétrage créé ou MAJ, sauf:") + kCrLf + echecs, kStyleExclamation);
  }
}

}  // namespace fenetre
