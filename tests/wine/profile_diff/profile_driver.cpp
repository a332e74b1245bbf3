// Runs a differential script through the real profile functions (under Wine
// in our tests). Usage: profile_driver SCRIPT OUTPUT. Each case uses its own
// file in the current folder, so no cached copy of an earlier case is seen.
#include <windows.h>

#include <fstream>
#include <iostream>
#include <vector>

#include "diff_script.h"

namespace {

using profile_diff::Case;
using profile_diff::Result;

std::string FullPath(const std::string& name) {
  char buffer[MAX_PATH];
  const DWORD n = GetFullPathNameA(name.c_str(), MAX_PATH, buffer, nullptr);
  return std::string(buffer, n);
}

std::optional<std::string> ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Absent when two different defaults both come back unchanged.
std::optional<std::string> ReadKey(const std::string& section, const std::string& key, const std::string& file) {
  static std::vector<char> buffer(1 << 20);
  std::string got[2];
  const char* defaults[2] = {"\x01", "\x02"};
  for (int i = 0; i < 2; ++i) {
    const DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), defaults[i], buffer.data(),
                                             static_cast<DWORD>(buffer.size()), file.c_str());
    got[i].assign(buffer.data(), n);
  }
  if (got[0] == defaults[0] && got[1] == defaults[1]) return std::nullopt;
  return got[0];
}

Result Run(const Case& c, int index) {
  const std::string file = FullPath("case" + std::to_string(index) + ".ini");
  DeleteFileA(file.c_str());
  if (c.initial) std::ofstream(file, std::ios::binary) << *c.initial;
  Result result{c.name, {}, std::nullopt};
  for (const auto& op : c.ops) {
    if (op.kind == 'W') {
      WritePrivateProfileStringA(op.section.c_str(), op.key.c_str(), op.value.c_str(), file.c_str());
    } else if (op.kind == 'S' || op.kind == 'K') {
      static std::vector<char> liste(1 << 20);
      const DWORD n = op.kind == 'S'
                          ? GetPrivateProfileSectionNamesA(liste.data(), static_cast<DWORD>(liste.size()), file.c_str())
                          : GetPrivateProfileStringA(op.section.c_str(), nullptr, "", liste.data(),
                                                     static_cast<DWORD>(liste.size()), file.c_str());
      result.reads.push_back(std::string(liste.data(), n));
    } else {
      result.reads.push_back(ReadKey(op.section, op.key, file));
    }
  }
  result.file = ReadFileBytes(file);
  DeleteFileA(file.c_str());
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: profile_driver SCRIPT OUTPUT\n";
    return 2;
  }
  std::ifstream script(argv[1], std::ios::binary);
  std::ofstream out(argv[2], std::ios::binary);
  if (!script || !out) {
    std::cerr << "profile_driver: cannot open the script or the output\n";
    return 2;
  }
  const std::vector<Case> cases = profile_diff::ReadScript(script);
  for (size_t i = 0; i < cases.size(); ++i) profile_diff::WriteResult(out, Run(cases[i], static_cast<int>(i)));
  return out ? 0 : 1;
}
