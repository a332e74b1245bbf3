// The failure convention: record, report quietly, go on.
#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/erreurs.h"
#include "support/sandbox.h"

namespace {

struct Message {
  std::string texte;
  int style;
};

class Rapporteur : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetServices();
    DefinirCrochetsRapporteur({[this](const std::string& t, int s) { messages.push_back({t, s}); },
                               [this] {
                                 ++passes;
                                 if (pendantLesEvenements) pendantLesEvenements();
                               }});
  }
  void TearDown() override { ResetServices(); }

  std::vector<Message> messages;
  int passes = 0;
  std::function<void()> pendantLesEvenements;
};

TEST_F(Rapporteur, AnOrdinaryFailureIsRecordedAbsorbedAndTheProcedureGoesOn) {
  Procedure p("Frm_Main:CommandCreerSettings_Click");
  ErreurLigne = 42;
  bool suite = false;
  EXPECT_FALSE(p.etape([] { throw ErreurExecution(5, "Argument incorrect", "VBA"); }));
  EXPECT_TRUE(p.etape([&] { suite = true; }));
  EXPECT_TRUE(suite);
  EXPECT_EQ(ErreurNumero, 5);
  EXPECT_EQ(ErreurSource, "VBA");
  EXPECT_EQ(ErreurDescription, "Argument incorrect");
  EXPECT_EQ(ErreurLigne, 0);
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(passes, 1);  // the reporter still lets the window breathe
  EXPECT_FALSE(GestionEnCours);
}

TEST_F(Rapporteur, ForeignExceptionsGetTheProgramsNumbers) {
  const struct {
    std::function<void()> lance;
    int32_t numero;
    std::string description;
  } cas[] = {
      {[] { throw std::bad_alloc(); }, erreur::MemoireInsuffisante, "Mémoire insuffisante"},
      {[] { throw std::runtime_error("boom"); }, erreur::AppelIncorrect, "boom"},
      {[] { throw 3; }, erreur::AppelIncorrect, "Erreur inconnue"},
  };
  for (const auto& c : cas) {
    EXPECT_FALSE(Procedure("Lib_Public:CheckRep").etape(c.lance));
    EXPECT_EQ(ErreurNumero, c.numero);
    EXPECT_EQ(ErreurDescription, c.description);
  }
  EXPECT_TRUE(messages.empty());
}

TEST_F(Rapporteur, OnlyADisconnectedAutomationObjectIsShown) {
  Procedure("Frm_Main:Form_Load").etape([] { throw ErreurExecution(erreur::AutomationDeconnectee, "x"); });
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].texte, "Automation Error !!!\r\n\r\nSub: Frm_Main:Form_Load:0");
  EXPECT_EQ(messages[0].style, 16);
  EXPECT_FALSE(GestionEnCours);

  ErreurNumero = 0;
  GestionDesErreurs("Frm_Main:Form_Load");
  EXPECT_EQ(messages.size(), 1u);
}

TEST_F(Rapporteur, NumbersAProcedureHandlesItselfAreRecordedButNotReported) {
  Procedure p("Lib_Systeme:VerificationEtCreationRepertoire");
  for (int32_t n : {52, 75, 76}) {
    EXPECT_FALSE(p.etape([n] { throw ErreurExecution(n, "chemin"); }, {52, 75, 76}));
    EXPECT_EQ(ErreurNumero, n);
  }
  EXPECT_EQ(passes, 0);
  p.etape([] { throw ErreurExecution(53, "fichier"); }, {52, 75, 76});
  EXPECT_EQ(passes, 1);
}

TEST_F(Rapporteur, AFailureDuringAReportInProgressIsDropped) {
  bool suiteImbriquee = false;
  pendantLesEvenements = [&] {
    pendantLesEvenements = nullptr;
    EXPECT_TRUE(GestionEnCours);
    Procedure p("Frm_Main:TexteDossier_Change");
    p.etape([] { throw ErreurExecution(erreur::AutomationDeconnectee, "imbriquée"); });
    p.etape([&] { suiteImbriquee = true; });
  };
  Procedure("Frm_Main:CommandDossier_Click").etape([] { throw ErreurExecution(5, "premier"); });
  EXPECT_TRUE(suiteImbriquee);
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(passes, 1);
  EXPECT_FALSE(GestionEnCours);
}

TEST_F(Rapporteur, AFailingHookNeitherEscapesNorLeavesTheReporterBusy) {
  DefinirCrochetsRapporteur({[](const std::string&, int) { throw std::runtime_error("boîte"); },
                             [this] {
                               ++passes;
                               throw std::runtime_error("boucle");
                             }});
  ErreurNumero = erreur::AutomationDeconnectee;
  EXPECT_NO_THROW(GestionDesErreurs("Frm_Main:Form_Load"));
  EXPECT_EQ(passes, 1);  // the event pass still runs after the message failed
  EXPECT_FALSE(GestionEnCours);
}

}  // namespace
