// Profile writes: the status line, the checks, and the recovery ladder.
#include "services/lib_setup.h"

#include <algorithm>

#include "common/erreurs.h"
#include "common/lib_public.h"
#include "common/octets.h"
#include "platform/platform.h"
#include "services/journal.h"
#include "services/lib_systeme.h"

namespace {

constexpr size_t kValeurLaPlusLongue = 32766;

std::function<void(const std::string&)>& ligne() {
  static std::function<void(const std::string&)> f;
  return f;
}
std::string& derniereRaison() {
  static std::string r;
  return r;
}

// What would break the file's structure, or be changed into something else on
// the way to the code page, is refused instead of being written.
// `simples`: nothing refused, and the three texts are plain ASCII.
// `nomsPris`: the file and the names are known to be taken as they are.
std::string motifDeRefus(const std::string& fichier, const std::string& section, const std::string& cle,
                         const std::string& valeur, bool* simples, bool nomsPris) {
  if (nomsPris && valeur.size() <= kValeurLaPlusLongue && octets::Ordinaire(valeur)) {
    *simples = true;
    return {};
  }
  // Hundreds of keys in a row go to one file, most of them to the section of
  // the key before: the usual key is told in one scan of its name and value.
  thread_local std::string dernierFichier, derniereSection;
  if (fichier == dernierFichier && valeur.size() <= kValeurLaPlusLongue && octets::Ordinaire(cle, '=') &&
      octets::Ordinaire(valeur)) {
    const bool memeSection = section == derniereSection;
    if (memeSection || octets::Ordinaire(section, ']')) {
      if (const size_t d = cle.find_first_not_of(' '); d == std::string::npos || (cle[d] != '[' && cle[d] != ';')) {
        if (!memeSection) derniereSection = section;
        *simples = true;
        return {};
      }
    }
  }
  *simples = false;
  auto brise = [](const std::string& t) { return octets::Contient(t, '\r', '\n', '\0'); };
  // The usual key holds none of the bytes refused here: one scan of each text tells.
  if (octets::Contient(section, '\r', '\n', '\0', ']') || octets::Contient(cle, '\r', '\n', '\0', '=') ||
      brise(valeur)) {
    if (brise(section) || brise(cle) || brise(valeur)) return "saut de ligne ou caractère nul interdit";
    if (octets::Contient(section, ']')) return "« ] » interdit dans un nom de section";
    return "« = » interdit dans un nom de clé";
  }
  if (const size_t d = cle.find_first_not_of(' '); d != std::string::npos && (cle[d] == '[' || cle[d] == ';'))
    return "un nom de clé ne peut commencer par « [ » ou « ; »";
  auto horsPage = [simples](const std::string& t) {
    if (!octets::HorsAscii(t)) return false;
    *simples = false;
    return !platform::ToAnsi(t, nullptr);
  };
  if (fichier != dernierFichier) {
    if (horsPage(fichier)) return "caractère absent de la page de codes Windows-1252";
    dernierFichier = fichier;
  }
  *simples = true;
  if (horsPage(section) || horsPage(cle) || horsPage(valeur)) return "caractère absent de la page de codes Windows-1252";
  // Past this length Windows' profile functions do not carry a value whole, and the
  // stored one would be lost; it stays as it is, on both systems alike. (UTF-8 is
  // never shorter than the code page: most values need no conversion to tell.)
  std::string ansi;
  if (valeur.size() > kValeurLaPlusLongue && platform::ToAnsi(valeur, &ansi) && ansi.size() > kValeurLaPlusLongue)
    return "valeur trop longue pour les fonctions de profil de Windows (" + std::to_string(ansi.size()) +
           " caractères, " + std::to_string(kValeurLaPlusLongue) + " au plus)";
  return {};
}

}  // namespace

namespace {
// Asked twice per key: a plain flag, not the function's test behind its guard.
bool g_progressionAffichee = false;
}  // namespace

void DefinirLigneDeProgression(std::function<void(const std::string&)> sink) {
  ligne() = std::move(sink);
  g_progressionAffichee = static_cast<bool>(ligne());
}

bool ProgressionAffichee() { return g_progressionAffichee; }

void AfficherProgression(const std::string& texte) {
  if (ligne()) ligne()(texte);
}

void BilanEcritures::ajouter(const std::string& fichier, const std::string& raison) {
  for (EchecsFichier& f : fichiers_) {
    if (f.fichier == fichier) {
      ++f.nombre;
      return;
    }
  }
  fichiers_.push_back({fichier, 1, raison});
}

BilanEcritures& Bilan() {
  static BilanEcritures b;
  return b;
}

const std::string& DerniereRaison() { return derniereRaison(); }

namespace {

// Every refusal is an unwritten key the command must own up to.
void refuser(const std::string& fichier, std::string raison) {
  derniereRaison() = raison;
  Bilan().ajouter(fichier, std::move(raison));
}

// The checks of a write, before it is made: false when it is refused (and
// recorded so). `simples`: the texts are plain; `change`: the write changes the file.
// `nomVerifie`: the caller found the file's name correct already; `nomsPris`: the
// system took this file and these names as they are (a one-pass write).
bool verifier(const std::string& fichier, const std::string& section, const std::string& cle,
              const std::string& valeur, bool* simples, bool* change, bool nomVerifie = false,
              bool nomsPris = false) {
  if (ProgressionAffichee()) AfficherProgression(fichier + " |" + section + " | " + cle + " | " + valeur);
  if (std::string& r = derniereRaison(); !r.empty()) r.clear();
  auto vide = [](const std::string& t) {
    return t.empty() || (t[0] == ' ' && t.find_first_not_of(' ') == std::string::npos);
  };
  if (vide(section) || vide(cle)) return refuser(fichier, "section ou clé vide"), false;
  if (!nomVerifie && !NomFichierCorrect(fichier)) return refuser(fichier, "nom de fichier incorrect"), false;
  // Named, so that a technician finds the line that holds, say, a NUL byte.
  if (std::string refus = motifDeRefus(fichier, section, cle, valeur, simples, nomsPris); !refus.empty())
    return refuser(fichier, refus + " dans [" + section + "] " + cle), false;
  if (std::string refus; !journal::AvantEcriture(fichier, section, cle, valeur, change, &refus))
    return refuser(fichier, refus), false;
  return true;
}

// A step that failed before it said why: what the shared variables recorded.
void echecSansRaison(const std::string& fichier) {
  if (!derniereRaison().empty()) return;
  derniereRaison() = ErreurNumero == erreur::MemoireInsuffisante ? "mémoire insuffisante" : ErreurDescription;
  Bilan().ajouter(fichier, derniereRaison());
}

}  // namespace

bool EcritureIni(const std::string& fichier, const std::string& section, const std::string& cle,
                 const std::string& valeur) {
  bool ecrit = false;
  Procedure p("Lib_Setup:EcritureIni");
  const bool fini = p.etape([&] {
    bool simples = false, change = true;
    if (!verifier(fichier, section, cle, valeur, &simples, &change)) return;
    std::string raison;
    platform::WriteEffect effet = platform::WriteEffect::Unknown;
    // A check run asks whether the write would be taken, and writes nothing.
    auto ecrire = [&] {
      if (journal::Simulation()) return journal::EcriturePossible(fichier, &raison);
      return platform::ProfileWrite(fichier, section, cle, valeur, &raison,
                                    simples ? platform::WriteTexts::Plain : platform::WriteTexts::Unchecked,
                                    &effet) == 1;
    };
    auto noter = [&] {
      ecrit = true;
      if (change) journal::Ecrit(fichier, section, cle, valeur, effet);
    };
    if (ecrire()) return noter();
    if (const size_t b = fichier.find_last_of('\\'); b != std::string::npos)
      VerificationEtCreationRepertoire(fichier.substr(0, b + 1));
    if (ecrire()) return noter();
    File_RemoveFlag(fichier, 1);
    if (ecrire()) return noter();
    refuser(fichier, raison);
  });
  if (!fini && !ecrit) echecSansRaison(fichier);
  return ecrit;
}

bool LireEtEcrireIni(const std::string& fichier, const std::string& section, const std::string& cle,
                     const std::string& defaut, void (*choisir)(void*, std::string&), void* contexte) {
  // The usual way, read then write, where one pass cannot stand for it: a check
  // run reads the shadow of the files, a shown progress line wants its text.
  auto usuel = [&] {
    std::string v = LectureIni(fichier, section, cle, defaut);
    choisir(contexte, v);
    return EcritureIni(fichier, section, cle, v);
  };
  if (journal::Simulation() || ProgressionAffichee() || !NomFichierCorrect(fichier)) return usuel();
  struct Passe {
    const std::string &fichier, &section, &cle;
    void (*choisir)(void*, std::string&);
    void* contexte;
    bool verifiee = false, change = true;
  } passe{fichier, section, cle, choisir, contexte};
  auto choix = [](void* c, std::string& v, platform::WriteTexts* textes) {
    Passe& p = *static_cast<Passe*>(c);
    p.choisir(p.contexte, v);
    bool simples = false;
    // Called only for a file and names a write took as they are: the value alone is looked at.
    if (!verifier(p.fichier, p.section, p.cle, v, &simples, &p.change, true, true)) return false;
    p.verifiee = true;
    *textes = simples ? platform::WriteTexts::Plain : platform::WriteTexts::Unchecked;
    return true;
  };
  bool ouverte = false, ecrit = false;
  Procedure p("Lib_Setup:EcritureIni");
  const bool fini = p.etape([&] {
    int resultat = 0;
    std::string raison;
    platform::WriteEffect effet = platform::WriteEffect::Unknown;
    static std::string v;  // kept from key to key: no allocation per key
    ouverte = platform::ProfileReadThenWrite(fichier, section, cle, defaut, choix, &passe, &v, &resultat, &raison,
                                             &effet);
    if (!ouverte || !passe.verifiee) return;
    // The one pass writes what it can in memory; anything else goes the usual way.
    if (resultat != 1) {
      ecrit = EcritureIni(fichier, section, cle, v);
      return;
    }
    ecrit = true;
    if (passe.change) journal::Ecrit(fichier, section, cle, v, effet);
  });
  if (!ouverte && fini) return usuel();
  if (!fini && !ecrit) echecSansRaison(fichier);
  return ecrit;
}
