#include "app/ligne_de_commande.h"

#include <map>

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
    if (!libres.empty() && libres[0] == "ini") {  // everything after "ini" is its own
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
    if (opt == "--silent") {
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

  const bool rapport = c.verification || c.diff || c.sauvegarde || c.json || c.miseAJour;
  if (!libres.empty() && libres[0] == "ini") {
    if (rapport) {
      a.erreur = "--check, --diff, --backup, --json et --update sont des options de --silent, pas de « ini »";
      return a;
    }
    if (silencieux || !c.champs.empty()) {
      a.erreur = "« ini » ne se combine pas avec --silent ni avec les champs de la fenêtre";
      return a;
    }
    if (libres.size() >= 2 && libres[1] == "get" && (libres.size() == 5 || libres.size() == 6)) {
      c.mode = Mode::IniGet;
    } else if (libres.size() >= 2 && libres[1] == "set" && libres.size() == 6) {
      c.mode = Mode::IniSet;
    } else if (libres.size() >= 2 && libres[1] == "del" && (libres.size() == 4 || libres.size() == 5)) {
      c.mode = Mode::IniDel;
    } else {
      a.erreur =
          "usage: ini get FICHIER SECTION CLE [DEFAUT] | ini set FICHIER SECTION CLE VALEUR | ini del FICHIER SECTION "
          "[CLE]";
      return a;
    }
    c.ini.assign(libres.begin() + 2, libres.end());
    return a;
  }

  if (!silencieux) {
    if (!libres.empty() || !c.champs.empty() || c.verbeux || rapport) {
      a.erreur = libres.empty() ? "les champs, --verbose, --check, --diff, --backup, --json et --update demandent --silent"
                                : "« " + libres[0] + " »: une action demande --silent";
      return a;
    }
    return a;  // the window
  }
  c.mode = Mode::Silencieux;
  if (libres.empty()) {
    a.erreur = "--silent sans action: rien à faire (folders, structural ou general)";
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

std::string Aide(const std::string& p, bool avecRoot) {
  const std::string root = avecRoot ? "[--root DOSSIER] " : "";
  const std::string r = avecRoot ? "--root /srv/site " : "";
  std::string t =
      "Installation d'Ilvane: dossiers et fichiers de paramètres d'un site.\n\n"
      "  " + p + " " + root + "[--app-dir CHEMIN]\n"
      "      ouvre la fenêtre.\n"
      "  " + p + " --silent " + root + "[--app-dir CHEMIN] [--radio TEXTE] [--guid TEXTE]\n"
      "      [--station N=TEXTE]... [--folder I=TEXTE]... [--verbose]\n"
      "      [--check] [--diff] [--backup] [--json] [--update] ACTION...\n"
      "      sans fenêtre: ACTION est folders, structural ou general (les trois boutons),\n"
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
      "      Sortie 0: tout a réussi; 1: un échec a été signalé; 2: ligne de commande incorrecte.\n"
      "  " + p + " " + root + "ini get FICHIER SECTION CLE [DEFAUT]\n"
      "  " + p + " " + root + "ini set FICHIER SECTION CLE VALEUR\n"
      "  " + p + " " + root + "ini del FICHIER SECTION [CLE]\n"
      "      lit, écrit ou supprime une clé (ou sans CLE toute la section) d'un fichier INI,\n"
      "      avec la sémantique de la suite. get sans DEFAUT: sortie 1 et la raison quand\n"
      "      le fichier, la section ou la clé manque. set et del: une ligne changed: quand\n"
      "      le fichier change, sortie 1 et la raison quand il ne peut l'être.\n\n";
  if (avecRoot)
    t += "  --root DOSSIER   le préfixe qui contient les lecteurs: DOSSIER/drive_c est C:,\n"
         "                   DOSSIER/dosdevices/x: est X:; par défaut $WINEPREFIX, sinon ~/.wine.\n";
  t += "  --app-dir CHEMIN le dossier du programme, où se trouve Settings\\IL3_Config.ini.\n\n"
       "Exemples:\n"
       "  " + p + " --silent " + r + "--radio \"Radio Sud\" --station 1=Studio folders structural general\n"
       "  " + p + " --silent " + r + "--check --diff general\n"
       "  " + p + " --silent " + r + "--check --diff --update --radio \"Radio Sud FM\" --station 2=Antenne general\n"
       "  " + p + " --silent " + r + "--backup --json general\n"
       "  " + p + " " + r + "ini get C:\\Kelvaro\\Ilvane\\Config\\Kv_Sys.ini Div_Radio Nom_Radio\n"
       "  " + p + " " + r + "ini del C:\\Kelvaro\\Ilvane\\Config\\KV_Pub.ini Essai Cle\n";
  return t;
}

}  // namespace app
