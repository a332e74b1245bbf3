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
constexpr int kStyleQuestion = 32;
// How many kept values the closing box names before it only counts them.
constexpr size_t kGardeesNommees = 5;

// DossierParentConfig: the configuration folder cut before its first "\Config";
// nothing when it holds none past its first character.
std::optional<std::string> parentDeConfig(const std::string& config) {
  const size_t pos = config.find("\\Config");
  if (pos == std::string::npos || pos == 0) return std::nullopt;
  return CheckRep(config.substr(0, pos), "\\");
}

// True when the file holds no value under that key.
bool absente(const std::string& fichier, const std::string& section, const std::string& cle) {
  return !LectureIniPresente(fichier, section, cle);
}

std::string pluriel(size_t n, const std::string& un, const std::string& plusieurs) {
  return std::to_string(n) + " " + (n > 1 ? plusieurs : un);
}

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
  // An update that removed stations lowered the stored count and left their
  // sections: the stations above the count are no longer the site's.
  int comptees = kStations;
  p.etape([&] {
    const std::string n = LectureIni(systeme, "Base_01", "NbStation", "");
    if (n.size() == 1 && n[0] >= '0' && n[0] <= '5') comptees = n[0] - '0';
  });
  for (int k = 0; k < comptees; ++k) {
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
  p.etape([&] { vue_.DefinirLieu(platform::WhereFilesGo()); });
  // What the general button will judge the stored values against.
  p.etape([&] {
    std::string d[6];
    for (int i = 0; i < 6; ++i) d[i] = CheckRep(dossier(i), "\\");
    chargee_ = settings::DispositionDe(entrees(d, parentDeConfig(d[1]).value_or(d[1])));
  });
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

bool Frm_Main::surC(const std::string& chemin) const {
  const std::string t = Trim(chemin);
  return t.size() >= 2 && (t[0] == 'C' || t[0] == 'c') && t[1] == ':';
}

// A prefix without a C: drive (a fresh account, a mistyped --root) is said once,
// at the first button that would write on C:, with an offer to make it.
void Frm_Main::prefixeSansLecteurC(bool besoin) {
  if (!besoin || prefixeDemande_) return;
  const std::string prefixe = platform::PrefixWithoutDriveC();
  if (prefixe.empty()) return;
  prefixeDemande_ = true;
  const std::optional<bool> oui = vue_.Question(
      "Le préfixe " + prefixe + " n'a pas de lecteur C: (le dossier " + prefixe +
          "/drive_c manque): rien ne peut y être écrit." + kCrLf + kCrLf + "Créer le préfixe " + prefixe + " ?",
      kStyleExclamation, Boutons::OuiNon);
  if (!oui || !*oui) return;
  if (std::string raison; !platform::CreatePrefix(&raison)) {
    message("Le préfixe " + prefixe + " n'a pas pu être créé: " + raison, kStyleCritique);
    return;
  }
  for (int i = 0; i < 6; ++i) TexteDossier_Change(i);
}

void Frm_Main::CommandDossierCreer_Click(int index) {
  Procedure("Frm_Main:CommandDossierCreer_Click").etape([&] {
    const std::string texte = dossier(index);
    if (Trim(texte).empty()) return;
    prefixeSansLecteurC(surC(texte));
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
  p.etape([&] {
    bool besoin = index == 1 && surC(DossierApplication);
    for (int i = 0; i < 6; ++i) besoin = besoin || ((index == 0 || i == 1) && surC(dossier(i)));
    prefixeSansLecteurC(besoin);
  });
  std::string dossiers[6];
  p.etape([&] {
    for (int i = 0; i < 6; ++i) dossiers[i] = CheckRep(dossier(i), "\\");
  });
  std::string parentConfig = dossiers[1];
  p.etape([&] {
    if (const std::optional<std::string> parent = parentDeConfig(dossiers[1]))
      parentConfig = *parent;
    else
      message("Le dossier Config ne possède pas de sous-dossier \\Config", kStyleExclamation);
  });
  p.etape([&] {
    if (index == 0)
      brancheDossiers();
    else if (index == 1 || index == 2)
      brancheEcriture(index, parentConfig, dossiers);
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
    std::string refus = RefusChemin(texte);
    if (refus.empty()) refus = platform::FolderFailureReason(texte);
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
  // After the text: why, when a link on the way is refused or the drive is
  // missing; what to do first, when the folder is simply not made yet.
  std::string suite;
  if (!Trim(texte).empty() && RefusChemin(texte).empty()) {
    suite = platform::PathRefusal(texte);
    if (suite.empty() && platform::GetAttributes(texte) == platform::kInvalidAttributes) {
      const std::string raison = platform::FolderFailureReason(texte);
      suite = raison.rfind("lecteur ", 0) == 0 || raison.rfind("partage ", 0) == 0
                  ? raison
                  : "Créez-le d'abord avec « Créer les dossiers ».";
    }
  }
  message(std::string("Dossier de config non trouvé:") + kCrLf + kCrLf + texte +
              (suite.empty() ? "" : std::string(kCrLf) + kCrLf + suite),
          kStyleCritique);
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

settings::Entrees Frm_Main::entrees(const std::string (&d)[6], const std::string& parentConfig) const {
  settings::Entrees e{d[0], d[1], d[2], d[3], d[4], d[5], parentConfig, vue_.Texte(Nom::TexteNomRadio, -1), {}};
  for (int i = 0; i < kStations; ++i) {
    std::string station = vue_.Texte(Nom::TexteNomStation, i);
    if (Trim(station).empty()) break;
    e.stations.push_back(station);
  }
  return e;
}

bool Frm_Main::confirmer(const std::string& question, const std::string& avertissement, Boutons boutons) {
  if (const std::optional<bool> r = vue_.Question(question, kStyleExclamation, boutons)) return *r;
  message(avertissement, kStyleExclamation);
  return true;
}

// The count stops at the first empty station box: a name after it would be
// silently left out, so the user hears of it before anything is written.
bool Frm_Main::stationsSansTrou() {
  int vide = 0;  // the first empty station's number
  for (int k = 1; k <= kStations; ++k) {
    const bool rempli = !Trim(vue_.Texte(Nom::TexteNomStation, k - 1)).empty();
    if (!rempli && vide == 0) vide = k;
    if (!rempli || vide == 0) continue;
    const std::string t = "La station " + std::to_string(vide) + " est vide: " +
                          (vide + 1 == kStations ? std::string("la station 5 ne sera pas créée.")
                                                 : "les stations " + std::to_string(vide + 1) + " à 5 ne seront pas créées.");
    return confirmer(t, t, Boutons::OkAnnuler);
  }
  return true;
}

// The start texts are examples: written as names, no later run would replace
// them. Asked only where the file holds no value yet (a stored one wins anyway).
bool Frm_Main::exemplesConfirmes(int16_t index, const settings::Entrees& e) {
  const std::string site = DossierApplication + "Settings\\IL3_Config.ini";
  const std::string kvSys = e.config + "Kv_Sys.ini", il3 = e.config + "IL3_Systeme.ini";
  auto demander = [&](const std::string& quoi, const char* exemple) {
    const std::string t = quoi + " est encore l'exemple « " + exemple + " »";
    return confirmer(t + ". Écrire quand même ?", t + ": il est écrit tel quel.", Boutons::OuiNon);
  };
  if (e.nomRadio == settings::kExempleRadio) {
    const bool ecrit = index == 1 ? absente(site, "Site", "Lib")
                                  : absente(kvSys, "Div_Radio", "Nom_Radio") || absente(il3, "Base_01", "Lib");
    if (ecrit && !demander("Le nom de la radio", settings::kExempleRadio)) return false;
  }
  if (index == 2 && !e.stations.empty() && e.stations[0] == settings::kExempleStation1 &&
      (absente(kvSys, "Div_Radio", "Station_001") || absente(il3, "Base_01_Station_01", "Lib")) &&
      !demander("Le nom de la station 1", settings::kExempleStation1))
    return false;
  return true;
}

std::string Frm_Main::ecrire(int16_t index, const settings::Entrees& e, bool miseAJour, settings::BilanGeneral* bilan) {
  Bilan().vider();
  platform::BeginCommand();
  Procedure p("Frm_Main:CommandCreerSettings_Click");
  if (index == 1) {
    p.etape([&] {
      settings::EcrireParametresStructurels(e.config, vue_.Texte(Nom::TexteNomRadio, -1),
                                            vue_.Texte(Nom::TexteCleGUID, -1));
    });
  } else {
    settings::OptionsGenerales options{miseAJour, chargee_, {}};
    options.avancement = [this](int n, int total, const std::string& fichier) {
      vue_.DefinirAvancement("Fichier " + std::to_string(n) + " sur " + std::to_string(total) + ": " +
                             fichier.substr(fichier.find_last_of('\\') + 1));
    };
    p.etape([&] { *bilan = settings::EcrireParametresGeneraux(e, options); });
  }
  const std::vector<platform::SaveFailure> nonEnregistres = platform::EndCommand();
  vue_.DefinirAvancement("");

  std::string echecs;
  for (const EchecsFichier& f : Bilan().fichiers())
    echecs += std::string(kCrLf) + f.fichier + ": " + std::to_string(f.nombre) +
              (f.nombre > 1 ? " clés non écrites (" : " clé non écrite (") + f.premiereRaison + ")";
  for (const platform::SaveFailure& f : nonEnregistres) journal::Annuler(f.file);
  for (const platform::SaveFailure& f : nonEnregistres)
    echecs += std::string(kCrLf) + f.file + ": modifications non enregistrées (" + f.reason + ")";
  return echecs;
}

void Frm_Main::brancheEcriture(int16_t index, const std::string& parentConfig, const std::string (&dossiers)[6]) {
  if (!configurationPresente()) return;
  // Refused before the first key, rather than key by key in every file.
  if (const std::string illisible = champIllisible(index); !illisible.empty()) {
    echecSignale_ = true;
    message(std::string("Rien n'a été écrit: Windows ne pourrait pas lire ce texte:") + kCrLf + kCrLf + illisible,
            kStyleCritique);
    return;
  }
  const settings::Entrees e = entrees(dossiers, parentConfig);
  if (index == 2 && !stationsSansTrou()) return;
  if (!exemplesConfirmes(index, e)) return;
  settings::BilanGeneral bilan;
  if (const std::string echecs = ecrire(index, e, miseAJour_.value_or(false), &bilan); !echecs.empty()) {
    echecSignale_ = true;
    message(std::string("Paramétrage créé ou MAJ, sauf:") + kCrLf + echecs, kStyleExclamation);
    return;
  }
  // The silent mode reports kept values in its own lines.
  if (index == 2 && !miseAJour_) return finGenerale(e, bilan);
  message("Paramétrage créé ou MAJ", kStyleInformation);
}

// The window's closing box of the general button: the stored values that won
// over the fields, and whether to apply the fields where they followed an earlier layout.
void Frm_Main::finGenerale(const settings::Entrees& e, const settings::BilanGeneral& bilan) {
  std::string t = "Paramétrage créé ou MAJ";
  const size_t n = bilan.gardees.size();
  if (n == 0) return message(t, kStyleInformation);
  t += std::string(kCrLf) + kCrLf +
       (n > 1 ? std::to_string(n) + " valeurs enregistrées diffèrent de la fenêtre et ont été gardées:"
              : std::string("1 valeur enregistrée diffère de la fenêtre et a été gardée:"));
  for (size_t i = 0; i < n && i < kGardeesNommees; ++i) {
    const settings::ValeurGardee& g = bilan.gardees[i];
    t += std::string(kCrLf) + "[" + g.section + "] " + g.cle + ": gardé « " + g.stockee + " », fenêtre « " + g.proposee +
         " »" + (g.regleeALaMain ? " (réglée à la main)" : "");
  }
  if (n > kGardeesNommees) t += std::string(kCrLf) + "et " + pluriel(n - kGardeesNommees, "autre", "autres");
  const size_t applicables = static_cast<size_t>(bilan.applicables());
  if (applicables == 0) {
    t += std::string(kCrLf) + kCrLf + (n > 1 ? "Réglées à la main, elles restent." : "Réglée à la main, elle reste.");
    return message(t, kStyleInformation);
  }
  t += std::string(kCrLf) + kCrLf + "Appliquer les valeurs de la fenêtre ?";
  if (applicables < n)
    t += std::string(kCrLf) + "(" +
         pluriel(n - applicables, "valeur réglée à la main reste", "valeurs réglées à la main restent") + ")";
  const std::optional<bool> oui = vue_.Question(t, kStyleQuestion, Boutons::OuiNon);
  if (!oui || !*oui) return;  // Non: the files stay as the stored values made them

  settings::BilanGeneral apres;
  if (const std::string echecs = ecrire(2, e, true, &apres); !echecs.empty()) {
    echecSignale_ = true;
    message(std::string("Paramétrage créé ou MAJ, sauf:") + kCrLf + echecs, kStyleExclamation);
    return;
  }
  // The files now record the window's layout.
  chargee_ = settings::DispositionDe(e);
  std::string fin = std::string("Paramétrage créé ou MAJ") + kCrLf + kCrLf +
                    pluriel(static_cast<size_t>(apres.appliquees), "valeur de la fenêtre appliquée.",
                            "valeurs de la fenêtre appliquées.");
  if (!apres.gardees.empty())
    fin += std::string(kCrLf) + pluriel(apres.gardees.size(), "valeur réglée à la main gardée.",
                                        "valeurs réglées à la main gardées.");
  for (int station : apres.stationsNonComptees)
    fin += std::string(kCrLf) + "La station " + std::to_string(station) +
           " n'est plus comptée: ses sections restent dans les fichiers.";
  message(fin, kStyleInformation);
}

}  // namespace fenetre
