// --log FILE: what a run writes on its standard output and error, also
// appended to FILE once it ends, after a line with the time and the command.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace app {

class JournalFichier {
 public:
  // Starts copying standard output and error; nothing happens without a path.
  JournalFichier(std::string chemin, const std::vector<std::string>& arguments, const std::string& programme);
  ~JournalFichier();
  JournalFichier(const JournalFichier&) = delete;
  JournalFichier& operator=(const JournalFichier&) = delete;
  // Appends the run to the file; false, with the reason on standard error, when it cannot.
  bool Terminer(int statut);

 private:
  struct Copie;
  std::string chemin_, ligne_;
  std::unique_ptr<Copie> copie_;
};

}  // namespace app
