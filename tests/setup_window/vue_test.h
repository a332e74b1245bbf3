// A view that records what the presenter shows, and answers the folder chooser from a script.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "setup_window/vue_memoire.h"

struct MessageVu {
  std::string texte;
  int style;
};
struct QuestionVue {
  std::string texte;
  int style;
  fenetre::Boutons boutons;
};

class VueTest : public fenetre::VueMemoire {
 public:
  void MessageBox(const std::string& texte, int style) override { messages.push_back({texte, style}); }
  std::optional<std::string> ChoisirDossier(const std::string& titre, const std::string& depart) override {
    titres.push_back(titre);
    departs.push_back(depart);
    if (reponses.empty()) return std::nullopt;
    auto r = reponses.front();
    reponses.pop_front();
    return r;
  }
  // Answered from `reponsesQuestions`; with none left, as the silent mode: no answer.
  std::optional<bool> Question(const std::string& texte, int style, fenetre::Boutons boutons) override {
    questions.push_back({texte, style, boutons});
    if (reponsesQuestions.empty()) return std::nullopt;
    const bool r = reponsesQuestions.front();
    reponsesQuestions.pop_front();
    return r;
  }
  void DefinirStatut(const std::string& texte) override {
    VueMemoire::DefinirStatut(texte);
    statuts.push_back(texte);
  }

  void DefinirAvancement(const std::string& texte) override { avancements.push_back(texte); }

  std::vector<MessageVu> messages;
  std::vector<std::string> statuts;
  std::vector<std::string> avancements;  // every text the progress panel was given, in turn
  std::vector<std::string> titres, departs;
  std::deque<std::optional<std::string>> reponses;
  std::vector<QuestionVue> questions;
  std::deque<bool> reponsesQuestions;
};
