// What the suite, which runs on Windows, can read: texts and paths that Windows
// would refuse, or read as something else, are refused before anything is written.
#pragma once

#include <string>

// Empty when the text is valid UTF-8 that Windows-1252 can hold; else a French reason.
std::string RefusTexte(const std::string& texte);

// Empty when Windows can use the path as it is written: the text checks above, no
// character Windows refuses in a name, no device name (CON, NUL, COM1...) as a
// component, and at most 259 characters. Else a French reason.
std::string RefusChemin(const std::string& chemin);

// True for an absolute Windows path: a drive letter, ":" and "\", or \\server\share.
bool CheminAbsolu(const std::string& chemin);
