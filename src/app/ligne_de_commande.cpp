#include "app/ligne_de_commande.h"

#include <cctype>
#include <filesystem>
#include <map>
#include <system_error>

#include "common/lib_public.h"
#include "services/chemins_windows.h"

namespace app {
namespace {

// "N=TEXT" with N in [min, max]; the text may be empty or hold further "=".
bool numeroEtTexte(const std::string& v, int min, int max, int* n, std::string* texte) {
  const size_t eq = v.find('=');
  if (eq == std::string::npos || eq == 0 || eq > 2) return false;
  int x = 0;
  for (size_t i = 0; i < eq; ++i) {
    if (v[i] < '0' || v[i] > '9') return false;
    x = x * 10 + (v[i] - '0');
  }
  if (x < min || x > max) return false;
  *n = x;
  *texte = v.substr(eq + 1);
  return true;
}

// Empty when a folder field or --app-dir may take this text: blank (an empty
// field, as in the window) or an absolute Windows path that Windows can use.
// What a POSIX shell makes of C:\Kelvaro\Ilvane when it is not quoted.
bool barresMangees(const std::string& t) {
  return t.size() >= 3 && std::isalpha(static_cast<unsigned char>(t[0])) && t[1] == ':' &&
         std::isalpha(static_cast<unsigned char>(t[2]));
}
constexpr const char* kIndiceBarres =
    " (les barres obliques inverses ont-elles été mangées par le shell ? mettez le chemin entre apostrophes)";

std::string refusDossier(const std::string& quoi, const std::string& texte) {
  if (Trim(texte).empty()) return {};
  if (std::string r = RefusChemin(texte); !r.empty()) return quoi + ": " + r + " (reçu: «" + texte + "»)";
  if (CheminAbsolu(texte)) return {};
  std::string r = quoi + " attend un chemin Windows absolu, tel que C:\\Kelvaro\\Ilvane\\ ou \\\\serveur\\partage\\ (reçu: «" +
                  texte + "»)";
#ifdef _WIN32
  if (texte[0] == '/') r += "; un chemin Windows commence par une lettre de lecteur (C:\\) ou par \\\\";
#else
  if (texte[0] == '/') r += "; c'est un chemin Linux: les dossiers sont ceux de Windows (C: est --root/drive_c)";
#endif
  if (barresMangees(texte)) r += kIndiceBarres;
  return r;
}

}  // namespace

Analyse AnalyserLigne(const std::vector<std::string>& args) {
  Analyse a;
  Commande& c = a.commande;
  bool silencieux = false;
  std::vector<std::string> libres;
  const std::map<std::string, int> actions{{"folders", 0}, {"structural", 1}, {"general", 2}};

  for (size_t i = 0; i < args.size(); ++i) {
    std::string opt = args[i];
    std::string valeur;
    bool aValeur = false;
    if (opt.rfind("--", 0) == 0 && opt.find('=') != std::string::npos) {
      valeur = opt.substr(opt.find('=') + 1);
      opt.resize(opt.find('='));
      aValeur = true;
    }
    auto suivante = [&](const char* nom) -> bool {
      if (aValeur) return true;
      if (i + 1 >= args.size()) {
        a.erreur = std::string("l'option ") + nom + " attend une valeur";
        return false;
      }
      valeur = args[++i];
      return true;
    };
    // After "ini", its own words; the report's options may still come anywhere.
    const bool optionDuRapport = opt == "--check" || opt == "--diff" || opt == "--backup" || opt == "--json" ||
                                 opt == "--detailed-exitcode" || opt == "--missing-only" || opt == "--log" ||
                                 opt == "--backup-keep";
    if (!libres.empty() && libres[0] == "ini" && !optionDuRapport) {
      libres.push_back(args[i]);
      continue;
    }
    if (opt == "--help" || opt == "-h" || (i == 0 && opt == "/?")) {
      c.mode = Mode::Aide;
      return a;
    }
    if (opt == "--version") {
      c.mode = Mode::Version;
      return a;
    }
    // Windows installers' own spelling, for the administrators used to it.
    if (opt == "--silent" || opt == "/SILENT" || opt == "/silent" || opt == "/Silent") {
      silencieux = true;
    } else if (opt == "--verbose") {
      c.verbeux = true;
    } else if (opt == "--check") {
      c.verification = true;
    } else if (opt == "--diff") {
      c.diff = true;
    } else if (opt == "--backup") {
      c.sauvegarde = true;
    } else if (opt == "--json") {
      c.json = true;
    } else if (opt == "--update") {
      c.miseAJour = true;
    } else if (opt == "--detailed-exitcode") {
      c.codeDetaille = true;
    } else if (opt == "--missing-only") {
      c.manquantesSeules = true;
    } else if (opt == "--force") {
      c.forcer = true;
    } else if (opt == "--log") {
      if (!suivante("--log")) return a;
      if (valeur.empty()) {
        a.erreur = "--log attend un fichier";
        return a;
      }
      c.journal = valeur;
    } else if (opt == "--backup-keep") {
      if (!suivante("--backup-keep")) return a;
      if (valeur.empty() || valeur.size() > 4 || valeur.find_first_not_of("0123456789") != std::string::npos ||
          std::stoi(valeur) < 1) {
        a.erreur = "--backup-keep attend un nombre de 1 à 9999 (reçu: «" + valeur + "»)";
        return a;
      }
      c.garderSauvegardes = std::stoi(valeur);
    } else if (opt == "--root") {
      if (!suivante("--root")) return a;
      if (valeur.empty()) {
        a.erreur = "--root est vide (une variable non définie?): il attend le dossier du préfixe";
        return a;
      }
      c.root = valeur;
    } else if (opt == "--app-dir") {
      if (!suivante("--app-dir")) return a;
      if (a.erreur = refusDossier("--app-dir", valeur); !a.erreur.empty()) return a;
      c.appDir = valeur;
    } else if (opt == "--radio" || opt == "--guid") {
      if (!suivante(opt.c_str())) return a;
      if (std::string r = RefusTexte(valeur); !r.empty()) {
        a.erreur = opt + ": " + r;
        return a;
      }
      c.champs.emplace_back(opt.substr(2), valeur);
    } else if (opt == "--station" || opt == "--folder") {
      if (!suivante(opt.c_str())) return a;
      const bool station = opt == "--station";
      int n = 0;
      std::string texte;
      if (!numeroEtTexte(valeur, station ? 1 : 0, 5, &n, &texte)) {
        a.erreur = station ? "--station attend N=TEXTE, N de 1 à 5 (reçu: «" + valeur + "»)"
                           : "--folder attend I=TEXTE, I de 0 à 5 (reçu: «" + valeur + "»)";
        return a;
      }
      const std::string quoi = opt + " " + std::to_string(n);
      a.erreur = station ? RefusTexte(texte) : refusDossier(quoi, texte);
      if (station && !a.erreur.empty()) a.erreur = quoi + ": " + a.erreur;
      if (!a.erreur.empty()) return a;
      c.champs.emplace_back((station ? "station " : "folder ") + std::to_string(n), texte);
    } else if (opt.rfind("--", 0) == 0 && opt.size() > 2) {
      a.erreur = "option inconnue: " + opt;
      return a;
    } else {
      libres.push_back(args[i]);
    }
  }

  const bool rapport = c.verification || c.diff || c.sauvegarde || c.json || c.miseAJour || c.codeDetaille;
  if (c.codeDetaille && !c.verification) {
    a.erreur = "--detailed-exitcode va avec --check: il dit par le statut si quelque chose changerait";
    return a;
  }
  if (c.manquantesSeules && (libres.size() < 2 || libres[0] != "ini" || libres[1] != "merge")) {
    a.erreur = "--missing-only est une option de « ini merge »";
    return a;
  }
  if (!libres.empty() && libres[0] == "ini") {
    if (c.miseAJour || c.garderSauvegardes >= 0 || c.forcer) {
      a.erreur = "--update, --backup-keep et --force sont des options de --silent, pas de « ini »";
      return a;
    }
    if (silencieux || !c.champs.empty()) {
      a.erreur = "« ini » ne se combine pas avec --silent ni avec les champs de la fenêtre";
      return a;
    }
    const std::string verbe = libres.size() >= 2 ? libres[1] : "";
    const size_t n = libres.size();
    if (verbe == "get" && (n == 5 || n == 6)) {
      c.mode = Mode::IniGet;
    } else if (verbe == "set" && n == 6) {
      c.mode = Mode::IniSet;
    } else if (verbe == "del" && (n == 4 || n == 5)) {
      c.mode = Mode::IniDel;
    } else if (verbe == "list" && (n == 3 || n == 4)) {
      c.mode = Mode::IniList;
    } else if (verbe == "merge" && n == 4) {
      c.mode = Mode::IniMerge;
    } else {
      a.erreur =
          "usage: ini get FICHIER SECTION CLE [DEFAUT] | ini set FICHIER SECTION CLE VALEUR | ini del FICHIER SECTION "
          "[CLE] | ini list FICHIER [SECTION] | ini merge FICHIER FRAGMENT";
      return a;
    }
    // What writes nothing takes no report option but --json (list) .
    const bool lecture = c.mode == Mode::IniGet || c.mode == Mode::IniList;
    if (lecture && (c.verification || c.diff || c.sauvegarde || (c.json && c.mode == Mode::IniGet))) {
      a.erreur = "« ini " + verbe + " » ne change rien: --check, --diff et --backup n'y ont pas de sens";
      return a;
    }
    c.ini.assign(libres.begin() + 2, libres.end());
    for (size_t k = 0; k < c.ini.size() && k < (c.mode == Mode::IniMerge ? 2u : 1u); ++k)
      if (barresMangees(c.ini[k])) {
        a.erreur = "« " + c.ini[k] + " » n'est pas un chemin complet" + kIndiceBarres;
        return a;
      }
    return a;
  }

  if (!silencieux) {
    if (!libres.empty() || !c.champs.empty() || c.verbeux || rapport || !c.journal.empty() || c.garderSauvegardes >= 0) {
      a.erreur = libres.empty() ? "les champs, --verbose, --check, --diff, --backup, --json, --update et --log demandent --silent"
                                : "« " + libres[0] + " »: une action demande --silent";
      return a;
    }
    return a;  // the window
  }
  c.mode = Mode::Silencieux;
  if (libres.empty()) {
    a.erreur = "--silent sans action: rien à faire (folders, structural, general ou restore)";
    return a;
  }
  if (libres[0] == "restore") {
    if (libres.size() > 2 || !c.champs.empty() || c.miseAJour) {
      a.erreur = "usage: --silent restore [HORODATAGE] (sans champs ni autre action)";
      return a;
    }
    c.mode = Mode::Restore;
    if (libres.size() == 2) c.horodatage = libres[1];
    return a;
  }
  if (c.forcer) {
    a.erreur = "--force est une option de « restore »";
    return a;
  }
  for (const std::string& l : libres) {
    auto it = actions.find(l);
    if (it == actions.end()) {
      a.erreur = "action inconnue: « " + l + " » (folders, structural ou general)";
      return a;
    }
    c.actions.push_back(it->second);
  }
  return a;
}

std::string RefusRacine(const Commande& c) {
  if (c.root.empty()) return {};
#ifdef _WIN32
  return "--root n'existe que sous Linux; sous Windows les lecteurs sont les vrais";
#else
  std::error_code ec;
  if (std::filesystem::is_directory(c.root, ec)) return {};
  return "--root " + c.root + ": ce dossier n'existe pas (le préfixe qui contient drive_c)";
#endif
}

std::string Aide(const std::string& p, bool avecRoot) {
  const std::string root = avecRoot ? "[--root DOSSIER] " : "";
  const std::string r = avecRoot ? "--root /srv/site " : "";
  std::string t =
      "Installation d'Ilvane: dossiers et fichiers de paramètres d'un site.\n\n"
      "  " + p + " " + root + "[--app-dir CHEMIN]\n"
      "      ouvre la fenêtre.\n"
      "  " + p + " --silent " + root + "[--app-dir CHEMIN] [--radio TEXTE] [--guid TEXTE]\n"
      "      [--station N=TEXTE]... [--folder I=TEXTE]... [--verbose]\n"
      "      [--check [--detailed-exitcode]] [--diff] [--backup [--backup-keep N]] [--json]\n"
      "      [--update] [--log FICHIER] ACTION...\n"
      "      sans fenêtre (/SILENT aussi): ACTION est folders, structural ou general (les trois boutons),\n"
      "      exécutées dans l'ordre donné. Stations N de 1 à 5; dossiers I: 0 application,\n"
      "      1 configuration, 2 log technique, 3 log pub, 4 sons, 5 données, en chemins\n"
      "      Windows absolus (C:\\... ou \\\\serveur\\partage\\...); un texte vide vide le champ.\n"
      "      Chaque message est une ligne info:, warning: ou error:. Suivent une ligne\n"
      "      « changed: CHEMIN: résumé » par dossier créé et par fichier modifié (aucune:\n"
      "      rien n'a changé), puis une ligne « kept: » par valeur enregistrée gardée\n"
      "      contre celle de la fenêtre (nom de la radio, stations, dossiers).\n"
      "      --check   n'écrit rien, ne crée rien: dit ce que le même passage changerait.\n"
      "      --diff    sous chaque fichier, « + [Section] Clé=valeur » par clé ajoutée et\n"
      "                « ~ [Section] Clé: avant -> après » par valeur modifiée.\n"
      "      --backup  avant la première modification d'un fichier existant, en garde une\n"
      "                copie NOM.AAAAMMJJ-HHMMSS.bak à côté de lui.\n"
      "      --json    un seul document JSON sur la sortie standard, et rien d'autre:\n"
      "                changed, failed, check, messages, folders, files, kept, uncounted.\n"
      "      --update  applique les champs (nom de la radio, stations et leur nombre, dossiers)\n"
      "                aux clés qui en sont tirées et qui suivaient une disposition antérieure:\n"
      "                un renommage, une station ajoutée ou retirée, un dossier déplacé. Une\n"
      "                valeur réglée à la main reste, en ligne kept:.\n"
      "      --detailed-exitcode  avec --check: sortie 3 quand quelque chose changerait, 0 sinon.\n"
      "      --backup-keep N      après le passage, ne garde que les N sauvegardes les plus récentes\n"
      "                de chaque fichier.\n"
      "      --log FICHIER        ajoute les lignes du passage à FICHIER, avec la date et la commande.\n"
      "      Sortie 0: tout a réussi; 1: un échec a été signalé; 2: ligne de commande incorrecte.\n"
      "  " + p + " --silent " + root + "[--force] [--json] restore [HORODATAGE]\n"
      "      remet les fichiers de la dernière série de sauvegardes (ou de celle d'HORODATAGE,\n"
      "      AAAAMMJJ-HHMMSS), d'un bloc; refuse quand un fichier a changé depuis (sauf --force).\n"
      "  " + p + " " + root + "ini get FICHIER SECTION CLE [DEFAUT]\n"
      "  " + p + " " + root + "ini set FICHIER SECTION CLE VALEUR\n"
      "  " + p + " " + root + "ini del FICHIER SECTION [CLE]\n"
      "  " + p + " " + root + "[--json] ini list FICHIER [SECTION]\n"
      "  " + p + " " + root + "ini merge [--missing-only] FICHIER FRAGMENT\n"
      "      lit, écrit ou supprime une clé (ou sans CLE toute la section) d'un fichier INI,\n"
      "      avec la sémantique de la suite. get sans DEFAUT: sortie 1 et la raison quand\n"
      "      le fichier, la section ou la clé manque. list: les sections, ou les clés d'une\n"
      "      section, une par ligne, comme Windows les énumère. merge: chaque clé du fichier\n"
      "      FRAGMENT (Windows-1252, ou UTF-8 avec sa marque), dans son ordre; --missing-only:\n"
      "      seulement celles qui manquent. set, del et merge: une ligne changed: quand le\n"
      "      fichier change, sortie 1 et la raison quand il ne peut l'être; ils prennent\n"
      "      --check [--detailed-exitcode], --diff, --backup et --json comme --silent.\n\n";
  if (avecRoot)
    t += "  --root DOSSIER   le préfixe qui contient les lecteurs: DOSSIER/drive_c est C:,\n"
         "                   DOSSIER/dosdevices/x: est X:; par défaut $WINEPREFIX, sinon ~/.wine.\n";
  // A POSIX shell eats the backslashes of an unquoted Windows path: the examples quote them.
  const std::string q = avecRoot ? "'" : "\"";
  t += "  --app-dir CHEMIN le dossier du programme, où se trouve Settings\\IL3_Config.ini.\n\n"
       "Exemples";
  t += avecRoot ? " (les chemins Windows entre apostrophes, pour que le shell garde leurs \\):\n" : ":\n";
  t += "  " + p + " --silent " + r + "--radio \"Radio Sud\" --station 1=Studio folders structural general\n"
       "  " + p + " --silent " + r + "--check --diff general\n"
       "  " + p + " --silent " + r + "--check --diff --update --radio \"Radio Sud FM\" --station 2=Antenne general\n"
       "  " + p + " --silent " + r + "--backup --json general\n"
       "  " + p + " --silent " + r + "restore\n"
       "  " + p + " " + r + "ini get " + q + "C:\\Kelvaro\\Ilvane\\Config\\Kv_Sys.ini" + q + " Div_Radio Nom_Radio\n"
       "  " + p + " " + r + "ini del " + q + "C:\\Kelvaro\\Ilvane\\Config\\KV_Pub.ini" + q + " Essai Cle\n"
       "  " + p + " " + r + "ini merge --check --diff " + q + "C:\\Kelvaro\\Ilvane\\Config\\KV_Pub.ini" + q +
       " reglage.ini\n";
  return t;
}

}  // namespace app
