#include "diff_script.h"

#include <sstream>

namespace profile_diff {

std::string Hex(std::string_view bytes) {
  if (bytes.empty()) return ".";
  static const char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  for (unsigned char c : bytes) {
    hex += kDigits[c >> 4];
    hex += kDigits[c & 15];
  }
  return hex;
}

std::string Unhex(std::string_view hex) {
  if (hex == ".") return {};
  auto nibble = [](char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; };
  std::string bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes += static_cast<char>(nibble(hex[i]) << 4 | nibble(hex[i + 1]));
  }
  return bytes;
}

std::vector<Case> ReadScript(std::istream& in) {
  std::vector<Case> cases;
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string tag, a, b, c;
    fields >> tag >> a >> b >> c;
    if (tag == "C") {
      cases.push_back({a, std::nullopt, {}});
    } else if (cases.empty()) {
      continue;
    } else if (tag == "I") {
      cases.back().initial = Unhex(a);
    } else if (tag == "W" || tag == "R" || tag == "S" || tag == "K") {
      cases.back().ops.push_back({tag[0], Unhex(a), Unhex(b), Unhex(c)});
    }
  }
  return cases;
}

void WriteScript(std::ostream& out, const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    out << "C " << c.name << '\n';
    if (c.initial) out << "I " << Hex(*c.initial) << '\n';
    for (const Op& op : c.ops) {
      out << op.kind << ' ' << Hex(op.section) << ' ' << Hex(op.key);
      if (op.kind == 'W') out << ' ' << Hex(op.value);
      out << '\n';
    }
  }
}

std::vector<Result> ReadResults(std::istream& in) {
  std::vector<Result> results;
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string tag, a;
    fields >> tag >> a;
    if (tag == "C") {
      results.push_back({a, {}, std::nullopt});
      continue;
    }
    if (results.empty()) continue;
    std::optional<std::string> bytes;
    if (a != "!") bytes = Unhex(a);
    if (tag == "R") results.back().reads.push_back(bytes);
    if (tag == "F") results.back().file = bytes;
  }
  return results;
}

void WriteResult(std::ostream& out, const Result& result) {
  out << "C " << result.name << '\n';
  for (const auto& read : result.reads) out << "R " << (read ? Hex(*read) : "!") << '\n';
  out << "F " << (result.file ? Hex(*result.file) : "!") << '\n';
}

}  // namespace profile_diff
