#include "app/rapport_sortie.h"

#include <cstdio>

namespace app {
namespace {

std::string pluriel(size_t n, const char* un, const char* plusieurs) {
  return std::to_string(n) + " " + (n > 1 ? plusieurs : un);
}

std::string resume(const journal::Fichier& f) {
  std::vector<std::string> parties;
  if (f.cree) parties.push_back("fichier créé");
  if (f.nombreAjoutees()) parties.push_back(pluriel(f.nombreAjoutees(), "clé ajoutée", "clés ajoutées"));
  if (!f.modifiees.empty()) parties.push_back(pluriel(f.modifiees.size(), "valeur modifiée", "valeurs modifiées"));
  size_t cles = 0, sections = 0;
  for (const journal::CleSupprimee& s : f.supprimees) ++(s.cle.empty() ? sections : cles);
  if (cles) parties.push_back(pluriel(cles, "clé supprimée", "clés supprimées"));
  if (sections) parties.push_back(pluriel(sections, "section supprimée", "sections supprimées"));
  if (!f.sauvegarde.empty()) parties.push_back("sauvegarde " + f.sauvegarde);
  if (!f.restauree.empty()) parties.push_back("remis depuis " + f.restauree);
  std::string t;
  for (const std::string& p : parties) t += (t.empty() ? "" : ", ") + p;
  return t;
}

// Length of the UTF-8 sequence starting at s[i], 0 when it is not one.
size_t sequenceUtf8(const std::string& s, size_t i) {
  const auto c = static_cast<unsigned char>(s[i]);
  size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
  if (n == 0 || i + n > s.size()) return 0;
  for (size_t k = 1; k < n; ++k)
    if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 0;
  if (n == 2 && c < 0xC2) return 0;  // overlong
  return n;
}

class Json {
 public:
  Json& brut(const std::string& t) {
    out_ += t;
    return *this;
  }
  Json& texte(const std::string& t) { return brut(TexteJson(t)); }
  Json& cle(const char* nom) { return virgule().texte(nom).brut(": "); }
  Json& virgule() {
    if (!premier_) out_ += ", ";
    premier_ = false;
    return *this;
  }
  Json& ouvre(char c) {
    out_ += c;
    premier_ = true;
    return *this;
  }
  Json& ferme(char c) {
    out_ += c;
    premier_ = false;
    return *this;
  }
  Json& paire(const char* nom, const std::string& valeur) { return cle(nom).texte(valeur); }
  Json& booleen(const char* nom, bool v) { return cle(nom).brut(v ? "true" : "false"); }
  const std::string& resultat() const { return out_; }

 private:
  std::string out_;
  bool premier_ = true;
};

void gardees(Json& j, const journal::Fichier& f, bool avecChemin) {
  for (const journal::ValeurGardee& g : f.gardees) {
    j.virgule().ouvre('{');
    if (avecChemin) j.paire("path", f.chemin);
    j.paire("section", g.section).paire("key", g.cle).paire("stored", g.stockee).paire("offered", g.proposee);
    j.booleen("tuned", g.regleeALaMain).ferme('}');
  }
}

// "[Section]" for a section, "[Section] Key" for a key.
std::string adresse(const journal::StationNonComptee& s) {
  return "[" + s.section + "]" + (s.cle.empty() ? "" : " " + s.cle);
}

// Every message the program shows, by how its text starts; the longer first.
constexpr struct {
  const char* debut;
  const char* code;
} kCodes[] = {
    {"Dossiers créés, sauf", "dossiers-non-crees"},
    {"Dossiers créés", "dossiers-crees"},
    {"Le dossier existe déjà", "dossier-existe-deja"},
    {"Le dossier Config ne possède pas", "config-sans-sous-dossier-config"},
    {"Dossier de config non trouvé", "dossier-config-introuvable"},
    {"Paramétrage créé ou MAJ, sauf", "parametrage-incomplet"},
    {"Paramétrage créé ou MAJ", "parametrage-fait"},
    {"Rien n'a été écrit: Windows ne pourrait pas lire", "texte-illisible-windows"},
    {"La station ", "station-vide"},
    {"Le nom de la radio est encore l'exemple", "exemple-radio"},
    {"Le nom de la station 1 est encore l'exemple", "exemple-station"},
    {"le lecteur C: n'existe pas", "lecteur-c-absent"},
    {"Le préfixe ", "prefixe-non-cree"},
    {"Automation Error", "erreur-automation"},
    {"Fichiers remis", "restauration-faite"},
    {"Rien à remettre", "restauration-inutile"},
    {"Restauration refusée", "restauration-refusee"},
    {"Aucune sauvegarde", "aucune-sauvegarde"},
    {"Fragment", "fragment-illisible"},
    {"Clés du fragment hors de toute section", "fragment-cles-hors-section"},
};

}  // namespace

std::string SurUneLigne(const std::string& texte) {
  std::string out;
  bool blanc = false;
  for (char c : texte) {
    if (c == '\r' || c == '\n') {
      blanc = true;
      continue;
    }
    if (blanc && !out.empty()) out += ' ';
    blanc = false;
    out += c;
  }
  return out;
}

std::string CodeDuMessage(const std::string& texte) {
  for (const auto& c : kCodes)
    if (texte.rfind(c.debut, 0) == 0) return c.code;
  // The closing warning of kept values starts with their count.
  if (texte.find(" diffèrent de ce qui est demandé") != std::string::npos ||
      texte.find(" diffère de ce qui est demandé") != std::string::npos)
    return "valeurs-gardees";
  return "message";
}

std::string TexteJson(const std::string& texte) {
  std::string out = "\"";
  for (size_t i = 0; i < texte.size();) {
    const auto c = static_cast<unsigned char>(texte[i]);
    const size_t n = sequenceUtf8(texte, i);
    if (n == 0) {
      out += "\\ufffd";
      ++i;
      continue;
    }
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c == 0x7F) {
      char e[8];
      std::snprintf(e, sizeof e, "\\u%04x", c);
      out += e;
    } else {
      out.append(texte, i, n);
    }
    i += n;
  }
  return out + "\"";
}

std::string LignesDuRapport(const journal::Rapport& rapport, bool diff) {
  std::string t;
  for (const std::string& d : rapport.dossiers) t += "changed: " + d + ": dossier créé\n";
  for (const std::string& s : rapport.sauvegardesRetirees) t += "changed: " + s + ": sauvegarde retirée\n";
  for (const journal::Fichier& f : rapport.fichiers) {
    if (!f.change()) continue;
    t += "changed: " + f.chemin + ": " + resume(f) + "\n";
    if (!diff) continue;
    for (const journal::CleAjoutee& a : f.ajoutees) t += "+ [" + a.section + "] " + a.cle + "=" + a.valeur + "\n";
    for (const journal::ValeurModifiee& m : f.modifiees)
      t += "~ [" + m.section + "] " + m.cle + ": " + m.avant + " -> " + m.apres + "\n";
    for (const journal::CleSupprimee& s : f.supprimees)
      t += "- [" + s.section + "]" + (s.cle.empty() ? "" : " " + s.cle) + "\n";
  }
  for (const journal::Fichier& f : rapport.fichiers)
    for (const journal::ValeurGardee& g : f.gardees)
      t += "kept: " + f.chemin + ": [" + g.section + "] " + g.cle + "=" + g.stockee + " (proposé: " + g.proposee +
           (g.raison.empty() ? "" : "; " + g.raison) + ")\n";
  for (const journal::Fichier& f : rapport.fichiers) {
    for (size_t i = 0; i < f.nonComptees.size();) {
      const int station = f.nonComptees[i].station;
      std::string liste;
      for (; i < f.nonComptees.size() && f.nonComptees[i].station == station; ++i)
        liste += (liste.empty() ? "" : ", ") + adresse(f.nonComptees[i]);
      t += "uncounted: " + f.chemin + ": station " + std::to_string(station) + ": " + liste +
           " (gardées, plus comptées)\n";
    }
  }
  return t;
}

std::string AvertissementGardees(const journal::Rapport& rapport, bool miseAJour) {
  if (miseAJour) return {};
  size_t n = 0, applicables = 0;
  for (const journal::Fichier& f : rapport.fichiers) {
    n += f.gardees.size();
    for (const journal::ValeurGardee& g : f.gardees) applicables += g.regleeALaMain ? 0 : 1;
  }
  // Values tuned by hand stay under an update too: their kept: lines say enough.
  if (applicables == 0) return {};
  std::string t = n > 1 ? std::to_string(n) + " valeurs enregistrées diffèrent de ce qui est demandé et sont gardées"
                        : "1 valeur enregistrée diffère de ce qui est demandé et est gardée";
  if (applicables == n)
    t += n > 1 ? ": --update les applique" : ": --update l'applique";
  else
    t += ": --update en applique " + std::to_string(applicables) +
         (n - applicables > 1 ? ", les " + std::to_string(n - applicables) + " réglées à la main restent"
                              : ", celle réglée à la main reste");
  return t + " (lignes kept:)";
}

std::string DocumentJson(const journal::Rapport& rapport, const std::vector<Message>& messages, bool echec,
                         bool verification) {
  Json j;
  j.ouvre('{').cle("version").brut("1");
  j.booleen("changed", rapport.change()).booleen("failed", echec).booleen("check", verification);
  j.cle("messages").ouvre('[');
  for (const Message& m : messages)
    j.virgule().ouvre('{').paire("kind", m.sorte).paire("code", m.code).paire("text", m.texte).ferme('}');
  j.ferme(']').cle("folders").ouvre('[');
  for (const std::string& d : rapport.dossiers) j.virgule().texte(d);
  j.ferme(']').cle("files").ouvre('[');
  for (const journal::Fichier& f : rapport.fichiers) {
    if (!f.change()) continue;
    j.virgule().ouvre('{').paire("path", f.chemin).booleen("created", f.cree).cle("backup");
    if (f.sauvegarde.empty())
      j.brut("null");
    else
      j.texte(f.sauvegarde);
    j.cle("restored_from");
    if (f.restauree.empty())
      j.brut("null");
    else
      j.texte(f.restauree);
    j.cle("added").ouvre('[');
    for (const journal::CleAjoutee& a : f.ajoutees)
      j.virgule().ouvre('{').paire("section", a.section).paire("key", a.cle).paire("value", a.valeur).ferme('}');
    j.ferme(']').cle("changed").ouvre('[');
    for (const journal::ValeurModifiee& m : f.modifiees)
      j.virgule()
          .ouvre('{')
          .paire("section", m.section)
          .paire("key", m.cle)
          .paire("before", m.avant)
          .paire("after", m.apres)
          .ferme('}');
    j.ferme(']').cle("kept").ouvre('[');
    gardees(j, f, false);
    j.ferme(']').ferme('}');
  }
  // Every kept value, also of the files the run left unchanged.
  j.ferme(']').cle("kept").ouvre('[');
  for (const journal::Fichier& f : rapport.fichiers) gardees(j, f, true);
  // The stations an update no longer counts, with what of them stays.
  j.ferme(']').cle("uncounted").ouvre('[');
  for (const journal::Fichier& f : rapport.fichiers)
    for (const journal::StationNonComptee& s : f.nonComptees) {
      j.virgule().ouvre('{').paire("path", f.chemin).cle("station").brut(std::to_string(s.station));
      j.paire("section", s.section).cle("key");
      if (s.cle.empty())
        j.brut("null");
      else
        j.texte(s.cle);
      j.ferme('}');
    }
  // The backups --backup-keep removed.
  j.ferme(']').cle("removed_backups").ouvre('[');
  for (const std::string& s : rapport.sauvegardesRetirees) j.virgule().texte(s);
  j.ferme(']').ferme('}');
  return j.resultat() + "\n";
}

std::string DocumentJsonListe(const std::string& fichier, const std::string* section,
                              const std::vector<std::string>& noms) {
  Json j;
  j.ouvre('{').cle("version").brut("1").paire("path", fichier).cle("section");
  if (section)
    j.texte(*section);
  else
    j.brut("null");
  j.cle("names").ouvre('[');
  for (const std::string& n : noms) j.virgule().texte(n);
  j.ferme(']').ferme('}');
  return j.resultat() + "\n";
}

}  // namespace app
