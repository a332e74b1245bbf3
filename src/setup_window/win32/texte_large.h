// The window works in UTF-8 like the rest of the program; the W calls take
// UTF-16. These two convert at that edge.
#pragma once

#include <string>

namespace fenetre::win32 {

std::wstring Large(const std::string& utf8);
// An unpaired surrogate becomes U+FFFD.
std::string Etroit(const std::wstring& utf16);
std::string Etroit(const wchar_t* utf16);

}  // namespace fenetre::win32
