// Small text tests the services share.
#pragma once

#include <string>

// Case-insensitive substring test, as the folder caches compare paths.
bool ContientSansCasse(const std::string& texte, const std::string& motif);

// The text in upper case as Windows folds names: the letters of Windows-1252,
// accented ones included. Two names that fold alike name one file.
std::string MajusculesWindows(const std::string& texte);
