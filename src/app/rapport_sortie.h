// The run's report as scripts read it: `changed:` and `kept:` lines (with the
// keys under --diff), or one JSON document.
#pragma once

#include <string>
#include <vector>

#include "services/journal.h"

namespace app {

struct Message {
  std::string sorte;  // "info", "warning" or "error"
  std::string texte;
  std::string code;   // stable, for programs: what the French text says
};

// The stable code of a message of the program, from its text.
std::string CodeDuMessage(const std::string& texte);
// One message a line: the line breaks inside a message become single blanks.
std::string SurUneLigne(const std::string& texte);

// One line per created folder and changed file, then one per kept value, then
// one per station an update no longer counts.
std::string LignesDuRapport(const journal::Rapport& rapport, bool diff);

// Without an update, when stored values won over the fields: how many, and what
// an update would do with them. Empty otherwise.
std::string AvertissementGardees(const journal::Rapport& rapport, bool miseAJour);

std::string DocumentJson(const journal::Rapport& rapport, const std::vector<Message>& messages, bool echec,
                         bool verification);
// ini list --json.
std::string DocumentJsonListe(const std::string& fichier, const std::string* section,
                              const std::vector<std::string>& noms);

// A JSON string literal of UTF-8 text; bytes that are not UTF-8 become U+FFFD.
std::string TexteJson(const std::string& texte);

}  // namespace app
