// The form in which Wine's profile writer leaves a file: it parses the whole
// file and writes every line back from its own structure, so blank lines go,
// spacing around names, '=' and values goes, and every line ends in CRLF.
// Used to compare files that did not start in that form.
#pragma once

#include <string>
#include <string_view>

namespace profile_diff {

std::string WineCanonical(std::string_view bytes);

}  // namespace profile_diff
