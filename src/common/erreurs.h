// The failure convention every procedure follows: an unexpected failure is
// recorded in the shared error variables, handed to the reporter under
// "Module:Procedure", and the procedure goes on with its next step. Nothing
// propagates to the caller.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <initializer_list>
#include <string>

// Error numbers that keep their meaning across the program.
namespace erreur {
inline constexpr int32_t AppelIncorrect = 5;        // invalid procedure call or argument
inline constexpr int32_t Depassement = 6;           // overflow
inline constexpr int32_t MemoireInsuffisante = 7;
inline constexpr int32_t NomFichierIncorrect = 52;  // bad file name or number
inline constexpr int32_t AccesChemin = 75;          // path or file access error
inline constexpr int32_t CheminIntrouvable = 76;    // path not found
inline constexpr int32_t AutomationDeconnectee = -2147417848;  // 0x80010108
}  // namespace erreur

// A run-time failure with the program's error number.
class ErreurExecution : public std::exception {
 public:
  ErreurExecution(int32_t numero, std::string description, std::string source = "IL3_Setup");
  const char* what() const noexcept override { return description_.c_str(); }
  int32_t numero() const { return numero_; }
  const std::string& source() const { return source_; }
  const std::string& description() const { return description_; }

 private:
  int32_t numero_;
  std::string description_;
  std::string source_;
};

// The shared error variables: one set for the whole run, overwritten by every handler.
extern int32_t ErreurNumero;
extern std::string ErreurSource;
extern std::string ErreurDescription;
extern int32_t ErreurLigne;
// True while GestionDesErreurs runs.
extern bool GestionEnCours;

// The central reporter. Shows a message only for an automation object that has
// disconnected; absorbs everything else. Reads the shared variables.
void GestionDesErreurs(const std::string& procedure);

// What the reporter needs from the window; the window installs its own, tests
// capture them. Without a window the message goes to standard error.
struct CrochetsRapporteur {
  std::function<void(const std::string& texte, int style)> messageBox;
  std::function<void()> traiterEvenements;
};
void DefinirCrochetsRapporteur(CrochetsRapporteur crochets);

// Records the exception currently being handled into the shared variables.
void EnregistrerErreurCourante(std::exception_ptr e);

// The handler every procedure carries. Construct it with "Module:Procedure";
// run each step through it. A step that throws is recorded and reported (unless
// its number is one the procedure handles itself) and the procedure goes on.
class Procedure {
 public:
  // Names are literals: a procedure costs nothing until one of its steps fails.
  explicit Procedure(const char* nom) : nom_(nom) {}
  // A name completed only when a failure is reported (for names that carry an argument).
  Procedure(const char* nom, std::function<std::string()> suite) : nom_(nom), suite_(std::move(suite)) {}

  // Runs one step; returns false when it failed.
  template <class F>
  bool etape(F&& f) {
    return etape(std::forward<F>(f), {});
  }

  // As above, but failures whose number is in `traites` are recorded and not
  // reported: the procedure deals with them itself.
  template <class F>
  bool etape(F&& f, std::initializer_list<int32_t> traites) {
    try {
      f();
      return true;
    } catch (...) {
      echec(std::current_exception(), traites);
      return false;
    }
  }

  const char* nom() const { return nom_; }

 private:
  void echec(std::exception_ptr e, std::initializer_list<int32_t> traites);
  const char* nom_;
  std::function<std::string()> suite_;
};
