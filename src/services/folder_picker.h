// The folder picker: opens a modal chooser on the folder a field names and
// returns the chosen folder with one trailing backslash, or "*" for nothing.
#pragma once

#include <functional>
#include <optional>
#include <string>

// The folder the chooser opens on; kept between calls.
extern std::string DossierInitial;

// The modal chooser of the window: (title, start folder) → a file-system folder, or nullopt on cancel.
using ChoixDossier = std::function<std::optional<std::string>(const std::string& titre, const std::string& depart)>;

std::string FolderSelect(const ChoixDossier& choisir, const std::string& depart, const std::string& titre);

// The path the chooser selects on opening: DossierInitial without its trailing backslash.
std::string SelectionInitiale(const std::string& dossierInitial);
