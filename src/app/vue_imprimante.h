// The silent mode's view: every message the window would show becomes a line
// (or, for JSON, an entry of the document), and nothing is ever asked.
#pragma once

#include <iostream>
#include <string>
#include <vector>

#include "app/rapport_sortie.h"
#include "setup_window/vue_memoire.h"

namespace app {

class VueImprimante : public fenetre::VueMemoire {
 public:
  VueImprimante(bool verbeux, bool json) : verbeux_(verbeux), json_(json) {}
  void MessageBox(const std::string& texte, int style) override {
    Dire(style == fenetre::kStyleCritique      ? "error"
         : style == fenetre::kStyleExclamation ? "warning"
                                               : "info",
         SurUneLigne(texte));
  }
  // JSON keeps the messages for its document; otherwise each is a line at once.
  void Dire(const char* sorte, const std::string& texte) {
    if (json_)
      messages_.push_back({sorte, texte, CodeDuMessage(texte)});
    else
      std::cout << sorte << ": " << texte << std::endl;
  }
  void DefinirStatut(const std::string& texte) override {
    VueMemoire::DefinirStatut(texte);
    if (verbeux_ && !texte.empty()) std::cerr << texte << '\n';
  }
  std::optional<std::string> ChoisirDossier(const std::string&, const std::string&) override { return std::nullopt; }
  const std::vector<Message>& Messages() const { return messages_; }

 private:
  bool verbeux_;
  bool json_;
  std::vector<Message> messages_;
};

}  // namespace app
