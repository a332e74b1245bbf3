#include "wine_canonical.h"

#include <algorithm>

#include "ini/profile_text.h"

namespace profile_diff {

// Only valid for the files the generator makes: no NUL, no text after ']',
// every '[' line closed, blanks limited to space, tab and VT. Blank lines are
// dropped, so splitting at every CR and LF alike is enough.
std::string WineCanonical(std::string_view bytes) {
  std::string out;
  while (!bytes.empty()) {
    const size_t end = std::min(bytes.find_first_of("\r\n"), bytes.size());
    const std::string_view line = ini::TrimBlanks(bytes.substr(0, end));
    bytes.remove_prefix(std::min(end + 1, bytes.size()));
    if (line.empty()) continue;
    const size_t eq = line.find('=');
    const size_t close = line.rfind(']');
    if (line.front() == '[' && close != std::string_view::npos) {
      out += '[';
      out += ini::TrimBlanks(line.substr(1, close - 1));
      out += ']';
    } else if (eq != std::string_view::npos) {
      out += ini::TrimBlanks(line.substr(0, eq));
      out += '=';
      out += ini::TrimBlanks(line.substr(eq + 1));
    } else {
      out += line;
    }
    out += "\r\n";
  }
  return out;
}

}  // namespace profile_diff
