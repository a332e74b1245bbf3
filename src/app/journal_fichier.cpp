#include "app/journal_fichier.h"

#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <streambuf>

namespace app {

// A stream buffer that passes everything on and keeps a copy.
class Dedoublement : public std::streambuf {
 public:
  Dedoublement(std::streambuf* suite, std::string* copie) : suite_(suite), copie_(copie) {}

 protected:
  int overflow(int c) override {
    if (c == traits_type::eof()) return traits_type::not_eof(c);
    copie_->push_back(static_cast<char>(c));
    return suite_->sputc(static_cast<char>(c));
  }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    copie_->append(s, static_cast<size_t>(n));
    return suite_->sputn(s, n);
  }
  int sync() override { return suite_->pubsync(); }

 private:
  std::streambuf* suite_;
  std::string* copie_;
};

struct JournalFichier::Copie {
  std::string texte;
  Dedoublement sortie, erreur;
  std::streambuf *ancienneSortie, *ancienneErreur;
  Copie()
      : sortie(std::cout.rdbuf(), &texte), erreur(std::cerr.rdbuf(), &texte),
        ancienneSortie(std::cout.rdbuf(&sortie)), ancienneErreur(std::cerr.rdbuf(&erreur)) {}
  ~Copie() {
    std::cout.flush();
    std::cerr.flush();
    std::cout.rdbuf(ancienneSortie);
    std::cerr.rdbuf(ancienneErreur);
  }
};

JournalFichier::JournalFichier(std::string chemin, const std::vector<std::string>& arguments,
                               const std::string& programme)
    : chemin_(std::move(chemin)) {
  if (chemin_.empty()) return;
  ligne_ = programme;
  for (const std::string& a : arguments)
    ligne_ += a.find_first_of(" \t\\'\"") == std::string::npos && !a.empty() ? " " + a : " '" + a + "'";
  copie_ = std::make_unique<Copie>();
}

JournalFichier::~JournalFichier() = default;

bool JournalFichier::Terminer(int statut) {
  if (!copie_) return true;
  const std::string texte = std::move(copie_->texte);
  copie_.reset();
  char quand[32] = "";
  const std::time_t t = std::time(nullptr);
  if (const std::tm* local = std::localtime(&t)) std::strftime(quand, sizeof quand, "%Y-%m-%d %H:%M:%S", local);
  std::ofstream f(std::filesystem::path(reinterpret_cast<const char8_t*>(chemin_.c_str())), std::ios::app | std::ios::binary);
  f << "=== " << quand << " " << ligne_ << "\n" << texte << "=== statut " << statut << "\n";
  f.flush();
  if (f) return true;
  std::cerr << "--log " << chemin_ << ": écriture impossible\n";
  return false;
}

}  // namespace app
