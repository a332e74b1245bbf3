// One key looked up in a file's text without building its document: what a
// process that reads a single key and ends (a script's `ini get`) needs.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ini {

// Exactly ProfileDocument(bytes).Read(section, key), scanning the lines only as
// far as the first section of that name; `sectionFound`, when given, receives
// ProfileDocument(bytes).HasSection(section).
std::optional<std::string> ReadKey(std::string_view bytes, std::string_view section, std::string_view key,
                                   bool* sectionFound = nullptr);

// What GetPrivateProfileSectionNamesA lists: every header's name, in file
// order, duplicates included, but the empty one.
std::vector<std::string> SectionNames(std::string_view bytes);
// What GetPrivateProfileStringA lists with no key name: the key names of the
// first section of that name, in file order, duplicates included, without
// comments or lines that hold no "="; nullopt when there is no such section.
std::optional<std::vector<std::string>> KeyNames(std::string_view bytes, std::string_view section);

}  // namespace ini
