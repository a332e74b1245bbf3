// "KV_Mus.ini": the music scales, the nine strategies with their parameters,
// slices, day types, clock groups, protections, and per strategy the
// transition grids of each scale and the hour tables of each weekday.
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/lib_public.h"
#include "settings/settings.h"

namespace settings {

namespace {

// Also the number of slices, day types and clock groups.
constexpr int kStrategies = 9;

using Suffixes = std::vector<std::pair<const char*, std::string_view>>;  // key suffix, default

// A 5 x 5 grid of "D<from>F<to>:O|N;", the outer loop on the scale step left.
std::string Grille(bool (*interdit)(int de, int vers)) {
  std::string s;
  for (int de = 1; de <= 5; ++de)
    for (int vers = 1; vers <= 5; ++vers)
      s.append({'D', static_cast<char>('0' + de), 'F', static_cast<char>('0' + vers), ':', interdit(de, vers) ? 'N' : 'O', ';'});
  return s;
}

struct Plage {
  int premiere, derniere;  // hours, inclusive
  const char* valeur;      // six digits
};
// "hh:vvvvvv;" for every hour 00 to 23.
std::string TableHoraire(std::initializer_list<Plage> plages) {
  std::string s;
  for (const Plage& p : plages)
    for (int h = p.premiere; h <= p.derniere; ++h) s.append(Chiffres(h)).append(":").append(p.valeur).append(";");
  return s;
}

// prefixe + "01", "02", ... with one default each.
void Liste(SortieDeCles& t, const char* section, const char* prefixe, std::initializer_list<const char*> defauts) {
  int n = 0;
  for (const char* d : defauts) t.Ajouter(section, Nom{prefixe, Chiffres(++n)}, d);
}

// "Strat_" + nn for every strategy, all with the same default.
void ParStrategie(SortieDeCles& t, const char* section, const char* defaut) {
  for (int n = 1; n <= kStrategies; ++n) t.Ajouter(section, Nom{"Strat_", Chiffres(n)}, defaut);
}

// prefixe + nn for every strategy, defaulting to a label followed by its number.
void Libelles(SortieDeCles& t, const char* section, const char* prefixe, const char* libelle) {
  for (int n = 1; n <= kStrategies; ++n) t.Ajouter(section, Nom{prefixe, Chiffres(n)}, Nom{libelle, Chiffres(n)});
}

void Cles(SortieDeCles& t, const char* section, std::initializer_list<std::pair<const char*, const char*>> cles) {
  for (const auto& [cle, defaut] : cles) t.Ajouter(section, cle, defaut);
}

// All suffixes of strategy nn before those of nn + 1.
void ParStrategieEtSuffixe(SortieDeCles& t, const char* section, const Suffixes& suffixes) {
  for (int n = 1; n <= kStrategies; ++n)
    for (const auto& [suffixe, defaut] : suffixes) t.Ajouter(section, Nom{"Strat_", Chiffres(n), suffixe}, defaut);
}

Suffixes ParJour(std::string_view defaut) {
  Suffixes s;
  for (const char* jour : {"_Lun", "_Mar", "_Mer", "_Jeu", "_Ven", "_Sam", "_Dim"}) s.emplace_back(jour, defaut);
  return s;
}

}  // namespace

void ClesKvMus(SortieDeCles& t) {
  const std::string grilleA = Grille([](int de, int vers) { return de == 1 && vers == 1; });
  const std::string grilleB = Grille([](int de, int vers) { return de - vers >= 3 || vers - de >= 3; });
  const std::string grilleC = Grille([](int de, int vers) { return de == vers; });
  const std::string tableQ = TableHoraire({{0, 5, "000005"},
                                           {6, 12, "020035"},
                                           {13, 16, "020040"},
                                           {17, 19, "020025"},
                                           {20, 22, "020040"},
                                           {23, 23, "000040"}});
  const std::string tableT = TableHoraire({{0, 5, "000100"}, {6, 22, "025100"}, {23, 23, "000100"}});

  Liste(t, "Mus_Couleur", "Couleur_", {"Suicide", "Triste", "Moyen", "Heureux", "Extase"});
  Liste(t, "Mus_Puissance", "Puissance_", {"Chuchotement", "Soft", "Normal", "Pêche", "Massacre"});
  Liste(t, "Mus_Style", "Style_", {"Seventies", "Eighties", "Nineties", "Toughties", "Tenties"});
  Liste(t, "Mus_Type", "Type_", {"Dans le format", "Cross-Over", "Hors format"});
  Liste(t, "Mus_Tempo", "Tempo_", {"Slow", "Medium Slow", "Medium", "Medium Fast", "Fast"});
  ParStrategie(t, "Mus_BPM_Variation", "P01:080/006;P02:100/006;P03:120/003;P04:130/003;P05:140/002;");
  ParStrategie(t, "Mus_Jour_Avant", "LUN:VEN;MAR:MAR;MER:MER;JEU:MAR;VEN:MER;SAM:SAM;DIM:DIM;");
  ParStrategie(t, "Mus_Liaison", "COU:09/14;PUI:11/14;STY:03/15;TYP:03/15;TEM:11/14;");
  Libelles(t, "Mus_Strategie", "Strat_", "Stratégie ");
  Libelles(t, "Mus_Tranche", "Tranche_", "Tranche ");
  Libelles(t, "Mus_TypeJour", "Type_", "Type ");
  Liste(t, "Mus_Lib_Divers", "Lib_", {"Fréquence", "Climat", "Nature"});
  Cles(t, "Mus_Programmation", {{"TYPE_JOURNEE_PAR_DEFAUT", "1"}});
  Libelles(t, "Mus_GroupeHorloge", "Type_", "Groupe d'horloge ");
  Cles(t, "Mus_Protection_Matin_AM", {{"Strat_01_17", "0708"},
                                      {"Strat_01_18", "0708"},
                                      {"Strat_02_17", "0708"},
                                      {"Strat_02_18", "0708"},
                                      {"Strat_03_17", "0708"},
                                      {"Strat_03_18", "0708"},
                                      {"Strat_08_16", "07"},
                                      {"Strat_08_17", "08"},
                                      {"Strat_08_18", "09"}});
  // Like every other key, these carry over the value stored under their own
  // name, so grids and hour tables tuned on site survive the next run.
  ParStrategieEtSuffixe(t, "Mus_Affinite",
                        {{"_Cou", grilleA}, {"_Pui", grilleB}, {"_Sty", grilleC}, {"_Typ", grilleA}, {"_Tem", grilleA}});
  ParStrategieEtSuffixe(t, "Mus_Quotas", ParJour(tableQ));
  ParStrategieEtSuffixe(t, "Mus_Talents", ParJour(tableT));
  ParStrategieEtSuffixe(t, "Mus_NewProd", ParJour(tableT));
}

}  // namespace settings
