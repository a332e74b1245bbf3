#include "common/erreurs.h"

#include <iostream>
#include <new>

int32_t ErreurNumero = 0;
std::string ErreurSource;
std::string ErreurDescription;
int32_t ErreurLigne = 0;
bool GestionEnCours = false;

namespace {
CrochetsRapporteur& crochets() {
  static CrochetsRapporteur c;
  return c;
}
}  // namespace

ErreurExecution::ErreurExecution(int32_t numero, std::string description, std::string source)
    : numero_(numero), description_(std::move(description)), source_(std::move(source)) {}

void DefinirCrochetsRapporteur(CrochetsRapporteur c) { crochets() = std::move(c); }

void EnregistrerErreurCourante(std::exception_ptr e) {
  ErreurLigne = 0;  // the procedures carry no line numbers
  try {
    std::rethrow_exception(e);
  } catch (const ErreurExecution& x) {
    ErreurNumero = x.numero();
    ErreurSource = x.source();
    ErreurDescription = x.description();
  } catch (const std::bad_alloc&) {
    ErreurNumero = erreur::MemoireInsuffisante;
    ErreurSource = "IL3_Setup";
    ErreurDescription = "Mémoire insuffisante";
  } catch (const std::exception& x) {
    ErreurNumero = erreur::AppelIncorrect;
    ErreurSource = "IL3_Setup";
    ErreurDescription = x.what();
  } catch (...) {
    ErreurNumero = erreur::AppelIncorrect;
    ErreurSource = "IL3_Setup";
    ErreurDescription = "Erreur inconnue";
  }
}

void Procedure::echec(std::exception_ptr e, std::initializer_list<int32_t> traites) {
  EnregistrerErreurCourante(e);
  for (int32_t n : traites)
    if (n == ErreurNumero) return;
  GestionDesErreurs(suite_ ? std::string(nom_) + suite_() : std::string(nom_));
}

void GestionDesErreurs(const std::string& procedure) {
  if (GestionEnCours) return;
  GestionEnCours = true;
  // Every step is skipped on failure; the flag is always lowered again.
  try {
    if (ErreurNumero == erreur::AutomationDeconnectee) {
      const std::string texte = "Automation Error !!!\r\n\r\nSub: " + procedure + ":" +
                                std::to_string(ErreurLigne);
      if (crochets().messageBox)
        crochets().messageBox(texte, 16);
      else
        std::cerr << "error: " << texte << '\n';
    }
  } catch (...) {
  }
  try {
    if (crochets().traiterEvenements) crochets().traiterEvenements();
  } catch (...) {
  }
  GestionEnCours = false;
}
