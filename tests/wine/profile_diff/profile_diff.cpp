// The Linux side of the differential test against Wine's profile functions.
//
//   profile_diff generate SCRIPT [SEED] [COUNT]   curated cases + COUNT random cases of each kind
//   profile_diff native SCRIPT OUTPUT             run the script on our engine
//   profile_diff compare SCRIPT WINE_OUTPUT       run ours, compare with Wine's answers; 1 on any difference
//   profile_diff selfcheck                        the generator's canonical files are in Wine's form
//
// Points where Wine 8.0 was found to differ from Windows (we follow Windows; each
// is a k- case, run and shown but never failed, and kept out of the random cases):
//  1. NUL bytes: Wine ends a line at a NUL and loses the rest when it rewrites
//     the file; Windows keeps untouched bytes, NULs included.
//  2. UTF-8 and UTF-16BE BOMs: Wine decodes the file as UTF-8 / UTF-16BE; Windows
//     reads them as ANSI bytes (a BOM glued to "[S]" hides that header).
//  3. Where a new key goes: Wine appends after the section's last line of any
//     kind (comments, lines without '='); Windows inserts right after the last
//     key line. Affects keys written after comment lines (also keys written
//     as ";x"), and a section that has only comments.
//  4. Blank lines, spacing inside untouched lines, text after ']': Wine drops
//     or normalises them on every rewrite; Windows edits in place.
//  5. Lines before the first header: Wine reads and writes them as section "";
//     Windows never reaches them. Writing section "": Wine writes its keys at
//     the top with no header; Windows appends "[]". Reading "[]": Wine returns
//     the first "" section, i.e. the headerless lines.
//  6. Name arguments: when writing, Wine strips all leading blanks (tab too)
//     and keeps trailing ones (spaces too); when reading
//     it strips blanks at both ends. Windows strips spaces (0x20) only, at both
//     ends, and keeps tabs, so "\tS" does not find "[S]".
//  7. Values written: Wine strips leading blanks, and trailing ones whenever it
//     re-reads the file for a later write; Windows writes the value verbatim.
//  8. Section names: Wine ends the name at the LAST ']' on the line; Windows at
//     the first. A '[' line without ']' is not a header for Wine; it is for Windows.
//  9. Case folding: Wine matches names case-insensitively for ASCII letters
//     only; Windows also folds the Windows-1252 accented letters (É/é, Œ/œ, Ÿ/ÿ...).
// 10. Blanks trimmed around values on read: Wine also trims form feed and
//     0x1A; Windows only space, tab and VT.
// 11. A file ending in a bare CR: Wine rewrites it; Windows appends "\r\n" first.
// 12. Comment lines: Wine finds ";k=1" when asked for key ";k"; Windows never
//     returns a comment line.
// 13. Long values: Wine fails to write a value of 32,767 to 65,535 bytes and
//     cuts a longer one to its length modulo 65,536; Windows writes any length.
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

#include "diff_cases.h"
#include "diff_script.h"
#include "ini/profile_document.h"
#include "ini/profile_lookup.h"
#include "wine_canonical.h"

namespace profile_diff {
namespace {

Result RunNative(const Case& c) {
  std::optional<ini::ProfileDocument> doc;
  if (c.initial) doc.emplace(*c.initial);
  Result result{c.name, {}, std::nullopt};
  for (const Op& op : c.ops) {
    if (op.kind == 'W') {
      if (!doc) doc.emplace();
      doc->Write(op.section, op.key, op.value);
    } else if (op.kind == 'S' || op.kind == 'K') {
      // The names as the enumeration hands them over: each ended by a NUL.
      const std::string bytes = doc ? doc->Serialize() : std::string();
      std::vector<std::string> names;
      if (op.kind == 'S')
        names = ini::SectionNames(bytes);
      else if (auto keys = ini::KeyNames(bytes, op.section))
        names = *keys;
      std::string joined;
      for (const std::string& n : names) joined.append(n).push_back('\0');
      result.reads.push_back(joined);
    } else {
      result.reads.push_back(doc ? doc->Read(op.section, op.key) : std::nullopt);
    }
  }
  if (doc) result.file = doc->Serialize();
  return result;
}

std::string Show(const std::optional<std::string>& bytes) {
  if (!bytes) return "(absent)";
  std::string out = "\"";
  for (unsigned char c : *bytes) {
    static const char kDigits[] = "0123456789ABCDEF";
    if (c == '\r') out += "\\r";
    else if (c == '\n') out += "\\n";
    else if (c == '\t') out += "\\t";
    else if (c == '"' || c == '\\') out += std::string("\\") + static_cast<char>(c);
    else if (c < 0x20 || c >= 0x7F) out += std::string("\\x") + kDigits[c >> 4] + kDigits[c & 15];
    else out += static_cast<char>(c);
  }
  return out + "\"";
}

// Empty when the two sides agree, else what differs.
std::string Difference(const Case& c, const Result& ours, const Result& wine) {
  std::string diff;
  for (size_t i = 0; i < ours.reads.size() || i < wine.reads.size(); ++i) {
    const auto a = i < ours.reads.size() ? ours.reads[i] : std::nullopt;
    const auto b = i < wine.reads.size() ? wine.reads[i] : std::nullopt;
    if (a != b) diff += "  read " + std::to_string(i) + ": ours " + Show(a) + ", wine " + Show(b) + "\n";
  }
  std::optional<std::string> expected = ours.file;
  // Wine rewrites a changed file in its own form; an unchanged one stays as it was.
  if (c.name.rfind("w-", 0) == 0 && ours.file && ours.file != c.initial) expected = WineCanonical(*ours.file);
  if (expected != wine.file) {
    diff += "  file: ours " + Show(ours.file) + "\n";
    if (expected != ours.file) diff += "        ours in Wine's form " + Show(expected) + "\n";
    diff += "        wine " + Show(wine.file) + "\n";
  }
  return diff;
}

// Byte-for-byte comparison of x- cases is only fair when the file starts in
// the form Wine writes; a generator slip would show up as false differences.
int SelfCheck() {
  int bad = 0;
  for (const Case& c : RandomCases(20240601, 300)) {
    if (c.name.rfind("x-", 0) == 0 && c.initial && WineCanonical(*c.initial) != *c.initial) {
      ++bad;
      std::cout << "not in Wine's form: " << c.name << " " << Show(c.initial) << "\n";
    }
  }
  return bad == 0 ? 0 : 1;
}

int Compare(const std::vector<Case>& cases, const std::vector<Result>& wine) {
  if (wine.size() != cases.size()) {
    std::cerr << "profile_diff: " << cases.size() << " cases but " << wine.size() << " answers from Wine\n";
    return 1;
  }
  int failures = 0, known = 0, ops = 0;
  for (size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    ops += static_cast<int>(c.ops.size());
    const std::string diff = Difference(c, RunNative(c), wine[i]);
    if (c.name.rfind("k-", 0) == 0) {
      known += !diff.empty();
      std::cout << (diff.empty() ? "known difference not seen: " : "known difference: ") << c.name << "\n" << diff;
    } else if (!diff.empty() || wine[i].name != c.name) {
      ++failures;
      std::cout << "DIFFERENCE " << c.name << " (initial " << Show(c.initial) << ")\n" << diff;
    }
  }
  std::cout << cases.size() << " cases, " << ops << " operations: " << failures << " differences, " << known
            << " known Wine/Windows differences shown\n";
  return failures == 0 ? 0 : 1;
}

}  // namespace
}  // namespace profile_diff

int main(int argc, char** argv) {
  using namespace profile_diff;
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "generate" && argc >= 3) {
    std::vector<Case> cases = CuratedCases();
    const uint32_t seed = argc > 3 ? static_cast<uint32_t>(std::strtoul(argv[3], nullptr, 10)) : 20240601;
    const int count = argc > 4 ? std::atoi(argv[4]) : 300;
    for (Case& c : RandomCases(seed, count)) cases.push_back(std::move(c));
    std::ofstream out(argv[2], std::ios::binary);
    WriteScript(out, cases);
    return out ? 0 : 1;
  }
  if (command == "selfcheck") return SelfCheck();
  if ((command == "native" || command == "compare") && argc == 4) {
    std::ifstream script(argv[2], std::ios::binary), other(argv[3], std::ios::binary);
    const std::vector<Case> cases = ReadScript(script);
    if (command == "compare") return other ? Compare(cases, ReadResults(other)) : 1;
    std::ofstream out(argv[3], std::ios::binary);
    for (const Case& c : cases) WriteResult(out, RunNative(c));
    return out ? 0 : 1;
  }
  std::cerr << "usage: profile_diff generate SCRIPT [SEED] [COUNT] | native SCRIPT OUTPUT"
               " | compare SCRIPT WINE_OUTPUT | selfcheck\n";
  return 2;
}
