// The script shared by both sides of the differential test. One record per
// line, every byte string in hex ("." for the empty string):
//   C name            a new case; its file starts absent
//   I hex             the file's initial bytes
//   W sec key value   WritePrivateProfileStringA
//   R sec key         GetPrivateProfileStringA
//   S . .             GetPrivateProfileSectionNamesA: the names, each ended by NUL
//   K sec .           GetPrivateProfileStringA with no key name: the section's keys, each ended by NUL
// Both sides answer with the same records, one case after another:
//   C name / R hex (or "R !" for absent) for each read / F hex (or "F !" when no file).
#pragma once

#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace profile_diff {

struct Op {
  char kind = 'R';  // 'R', 'W', 'S' or 'K'
  std::string section, key, value;
};

struct Case {
  std::string name;
  std::optional<std::string> initial;  // nullopt: no file
  std::vector<Op> ops;
};

std::string Hex(std::string_view bytes);
std::string Unhex(std::string_view hex);

std::vector<Case> ReadScript(std::istream& in);
void WriteScript(std::ostream& out, const std::vector<Case>& cases);

// One side's answer to one case.
struct Result {
  std::string name;
  std::vector<std::optional<std::string>> reads;
  std::optional<std::string> file;
};
std::vector<Result> ReadResults(std::istream& in);
void WriteResult(std::ostream& out, const Result& result);

}  // namespace profile_diff
