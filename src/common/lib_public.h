// Path, name and number helpers shared by every folder and file operation.
// They work on text only and never touch the disk.
#pragma once

#include <cstdint>
#include <string>

// Gives a folder path exactly one trailing separator; an empty path stays empty.
std::string CheckRep(const std::string& chemin, const std::string& separateur);

// Turns typed folder text into a usable folder path (no trailing backslash added).
std::string NettoieNomDeDossier(const std::string& texte);

// False when the path holds a character the profile functions must never see.
bool NomFichierCorrect(const std::string& chemin);

// The split of a file path: folder with its trailing backslash, name, extension with its dot.
struct RepFicExtType {
  std::string Rep;
  std::string Fic;
  std::string Ext;
};
// The one shared record, overwritten by each call of EclateRepFicExt.
extern RepFicExtType RepFicExt;
void EclateRepFicExt(const std::string& chemin);

// A number as fixed-width text: N2S(7, 2, 0, "0") is "07".
std::string N2S(double valeur, int16_t largeur, int16_t decimales, const std::string& remplissage);

// Leading and trailing blanks (spaces) removed, as the program trims typed text.
std::string Trim(const std::string& texte);
