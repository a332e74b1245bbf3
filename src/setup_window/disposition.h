// The window's controls, in tab order, with their captions and positions in
// twips (15 twips are one pixel at 96 dpi). Both views build the window from it.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace fenetre {

inline constexpr std::string_view kCaption = "Installation d'Ilvane";
inline constexpr int kLargeurClient = 11430;  // twips
inline constexpr int kHauteurClient = 6540;
inline constexpr int kTwipsParPixel = 15;     // at 96 dpi

enum class Sorte { Label, TextBox, Button, StatusBar };

enum class Nom {
  Label,
  TexteNomRadio,
  TexteNomStation,
  TexteCleGUID,
  TexteDossier,
  CommandDossier,
  CommandDossierCreer,
  CommandCreerSettings,
  CommandQuitter,
  StatusBarMain,
};

struct Controle {
  Nom nom;
  int index;  // -1 for a control that is not part of an array
  Sorte sorte;
  std::string_view texte;
  int gauche, haut, largeur, hauteur;
  // The caption with its access key marked by "&" (Alt and the letter); empty for none.
  std::string_view clavier = {};
};

// The folder rows: caption, caption width, and start-up default of row i.
struct LigneDossier {
  std::string_view libelle;
  int largeurLibelle;
  std::string_view defaut;
  std::string_view clavier;  // the caption with its access key, which takes the focus to the row's field
};
// The access keys of the rows and of the four buttons below them never collide:
// D S G Q, and A C L P N T.
inline constexpr std::array<LigneDossier, 6> kDossiers{{
    {"Dossier de l'application", 1620, "C:\\Kelvaro\\Ilvane\\", "Dossier de l'&application"},
    {"Dossier Config", 1020, "C:\\Kelvaro\\Ilvane\\Config\\", "Dossier &Config"},
    {"Dossier Log technique", 1590, "C:\\Journix\\", "Dossier &Log technique"},
    {"Dossier Log Pub", 1170, "C:\\Journix\\Pub\\", "Dossier Log &Pub"},
    {"Dossier Sons", 930, "C:\\IL_Sons\\Sons\\", "Dossier So&ns"},
    {"Dossier Datas", 990, "C:\\IL_Data\\Data\\", "Dossier Da&tas"},
}};
inline constexpr int kStations = 5;
// The start text of the first station box, the longest one a box starts with.
inline constexpr std::wstring_view kDepartStation1 = L"Nom de la Station 1";

inline constexpr std::array<std::string_view, 3> kBoutonsSettings{
    "Créer les dossiers", "Créer les paramètres structurels", "Créer les paramètres généraux"};
inline constexpr std::array<std::string_view, 3> kBoutonsSettingsClavier{
    "Créer les &dossiers", "Créer les paramètres &structurels", "Créer les paramètres &généraux"};

// Every control, in tab order.
constexpr std::array<Controle, 39> Controles() {
  std::array<Controle, 39> c{};
  int n = 0;
  c[n++] = {Nom::Label, 6, Sorte::Label, "Nom de la Radio", 240, 300, 1185, 195};
  c[n++] = {Nom::TexteNomRadio, -1, Sorte::TextBox, "", 2220, 240, 4635, 315};
  c[n++] = {Nom::Label, 7, Sorte::Label, "Nom des Stations", 240, 720, 1245, 195};
  for (int i = 0; i < kStations; ++i) c[n++] = {Nom::TexteNomStation, i, Sorte::TextBox, "", 2220 + 1560 * i, 660, 1515, 315};
  c[n++] = {Nom::Label, 0, Sorte::Label, kDossiers[0].libelle, 240, 1620, kDossiers[0].largeurLibelle, 195,
            kDossiers[0].clavier};
  c[n++] = {Nom::Label, 8, Sorte::Label, "Clé GUID", 240, 1140, 675, 195};
  c[n++] = {Nom::TexteCleGUID, -1, Sorte::TextBox, "", 2220, 1080, 4635, 315};
  for (int i = 0; i < 6; ++i) {
    const int haut = 1560 + 420 * i;
    c[n++] = {Nom::TexteDossier, i, Sorte::TextBox, "", 2220, haut, 7755, 315};
    c[n++] = {Nom::CommandDossier, i, Sorte::Button, "...", 10080, haut, 495, 315};
    c[n++] = {Nom::CommandDossierCreer, i, Sorte::Button, "Créer", 10680, haut, 675, 315};
    if (i < 5)  // the caption of the next row
      c[n++] = {Nom::Label, i + 1, Sorte::Label, kDossiers[i + 1].libelle, 240, 2040 + 420 * i,
                kDossiers[i + 1].largeurLibelle, 195, kDossiers[i + 1].clavier};
  }
  c[n++] = {Nom::CommandCreerSettings, 0, Sorte::Button, kBoutonsSettings[0], 2220, 4560, 1515, 375,
            kBoutonsSettingsClavier[0]};
  c[n++] = {Nom::CommandCreerSettings, 1, Sorte::Button, kBoutonsSettings[1], 3840, 4560, 2415, 375,
            kBoutonsSettingsClavier[1]};
  c[n++] = {Nom::CommandCreerSettings, 2, Sorte::Button, kBoutonsSettings[2], 6360, 4560, 2415, 375,
            kBoutonsSettingsClavier[2]};
  // Last: tabbing to the general button never lands on the one that closes the window.
  c[n++] = {Nom::CommandQuitter, -1, Sorte::Button, "Quitter", 10380, 5760, 975, 375, "&Quitter"};
  c[n++] = {Nom::StatusBarMain, -1, Sorte::StatusBar, "", 0, 6225, 11430, 315};
  return c;
}

// What a screen reader announces for a control: a text box by its label's
// caption (the stations numbered after the one label they share), a row's
// "..." and "Créer" by their action and the row. Empty where the control's own
// caption says it (labels, the other buttons, the status bar).
inline std::string NomAccessible(Nom nom, int index) {
  const auto libelle = [](int i) {
    for (const Controle& c : Controles())
      if (c.nom == Nom::Label && c.index == i) return std::string(c.texte);
    return std::string();
  };
  const auto ligne = [index] { return std::string(kDossiers[static_cast<size_t>(index)].libelle); };
  switch (nom) {
    case Nom::TexteNomRadio: return libelle(6);
    case Nom::TexteNomStation: return libelle(7) + " " + std::to_string(index + 1);
    case Nom::TexteCleGUID: return libelle(8);
    case Nom::TexteDossier: return ligne();
    case Nom::CommandDossier: return "Parcourir: " + ligne();
    case Nom::CommandDossierCreer: return "Créer: " + ligne();
    default: return {};
  }
}

}  // namespace fenetre
