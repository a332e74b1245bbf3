// One key looked up in a file's text without building its document: what a
// process that reads a single key and ends (a script's `ini get`) needs.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ini {

// Exactly ProfileDocument(bytes).Read(section, key), scanning the lines only as
// far as the first section of that name; `sectionFound`, when given, receives
// ProfileDocument(bytes).HasSection(section).
std::optional<std::string> ReadKey(std::string_view bytes, std::string_view section, std::string_view key,
                                   bool* sectionFound = nullptr);

}  // namespace ini
