#include "diff_cases.h"

#include <random>
#include <string>

namespace profile_diff {
namespace {

Op W(std::string s, std::string k, std::string v) { return {'W', std::move(s), std::move(k), std::move(v)}; }
Op R(std::string s, std::string k) { return {'R', std::move(s), std::move(k), {}}; }
Op Sections() { return {'S', {}, {}, {}}; }
Op Cles(std::string s) { return {'K', std::move(s), {}, {}}; }
Case Make(std::string name, std::optional<std::string> initial, std::vector<Op> ops) {
  return {std::move(name), std::move(initial), std::move(ops)};
}

}  // namespace

std::vector<Case> CuratedCases() {
  using namespace std::string_literals;
  const std::optional<std::string> none;
  return {
      // What ini list answers: the enumerations, as Windows lists them.
      Make("x-list-sections-in-order-with-duplicates", "[A]\r\nx=1\r\n[ B ]\r\n[a]\r\ny=2\r\n[]\r\nz=3\r\n",
           {Sections(), Cles("a"), Cles("B")}),
      Make("x-list-keys-without-comments-or-bare-lines", "[S]\r\nname1=val1\r\n; note\r\nname3\r\nname1=2\r\n=vide\r\n",
           {Cles("S"), Cles("s")}),
      Make("x-list-missing-file-or-section", none, {Sections(), Cles("S")}),
      Make("x-list-after-writes", none, {W("B", "k", "1"), W("A", "j", "2"), W("B", "i", "3"), Sections(), Cles("B")}),
      Make("x-new-file", none, {W("App", "key", "string"), R("app", "KEY")}),
      Make("x-empty-file-empty-value", "", {W("App", "key", ""), R("App", "key")}),
      Make("x-build-up", none,
           {W("App1", "key1", "string1"), W("App1", "key2", "string2"), W("App1", "key3", "string3"),
            W("App2", "key4", "string4"), W("App3", "key5", "string5"), R("App1", "key2")}),
      Make("x-update-in-place", "[S]\r\nb=value\r\na=value\r\n",
           {W("S", "z", ""), W("S", "b", ""), W("S", "y", ""), W("S", "a", "")}),
      Make("x-update-keeps-file-spelling", "[SectionName]\r\nTestKey=TestValue\r\n",
           {W("SECTIONNAME", "TESTKEY", "TestValue2"), R("sectionname", "testkey")}),
      Make("x-update-terminates-last-line", "[SectionName]\r\nTestKey=TestValue",
           {W("SectionName", "TESTKEY", "TestValue2")}),
      Make("x-insert-after-unterminated", "[S]\r\na=1", {W("S", "b", "2")}),
      Make("x-same-value-touches-nothing", "[S]\r\nk=v\r\n", {W("s", "K", "v")}),
      Make("x-same-value-unterminated", "[S]\r\nk=v", {W("S", "k", "v")}),
      Make("x-duplicate-key-first-wins", "[S]\r\nk=1\r\nK=2\r\n", {R("S", "k"), W("S", "k", "3"), R("S", "K")}),
      Make("x-duplicate-section-first-wins", "[S]\r\na=1\r\n[s]\r\nb=2\r\n",
           {R("S", "b"), W("S", "b", "3"), R("s", "b")}),
      Make("x-leading-spaces-of-names", none, {W(" sec", "  key", "v"), R("sec", "key"), R("  sec  ", " key  ")}),
      Make("x-case-insensitive-ascii", "[Section]\r\nName1=val1\r\n", {R("sECTION", "NaMe1"), W("SECTION", "NAME1", "x")}),
      Make("x-quotes-on-read", "[S]\r\nname2=\"val2\"\r\nb='v'\r\nc=\"'v'\"\r\nd=\"v'\r\ne=\"\r\nf=''\r\n",
           {R("S", "name2"), R("S", "b"), R("S", "c"), R("S", "d"), R("S", "e"), R("S", "f")}),
      Make("x-quotes-written-verbatim", none, {W("S", "k", "\"q\""), R("S", "k")}),
      Make("x-semicolon-in-value", "[S]\r\nkey=;nocomment\r\n", {R("S", "key"), W("S", "key", ";x")}),
      Make("x-hash-is-a-key", "[S]\r\n#c=1\r\n", {R("S", "#c")}),
      Make("x-comment-not-a-key", "[S]\r\n;k=1\r\nj=2\r\n", {R("S", "k"), R("S", "j")}),
      Make("x-line-without-equals", "[S]\r\nname3\r\nk=1\r\n", {R("S", "name3")}),
      Make("x-empty-key-name", "[s]\r\n=val_no_key\r\n", {R("s", ""), W("s", "", "v2")}),
      Make("x-first-equals-splits", "[S]\r\nk=a=b\r\n", {R("S", "k")}),
      Make("x-eight-bit-bytes", none,
           {W("S\xE9", "cl\xE9", "\x80\x81\x8D\x8F\x90\x9D\xA0\xFF"), R("S\xE9", "cl\xE9")}),
      Make("x-long-value", none, {W("S", "k", std::string(30000, 'x')), R("S", "k")}),
      Make("w-spacing-on-read", "[S]\r\n\tTestKey\t=\t TestValue \t\r\n", {R("S", "testkey"), W("S", "j", "1")}),
      Make("w-spaced-header", "[ section1 ]\r\nk=1\r\n[\tx\t]\r\nk=2\r\n", {R("section1", "k"), R("x", "k"), W("x", "j", "3")}),
      Make("w-blank-lines-and-comments",
           ";comment0\r\n\r\n[S]\r\n;comment1\r\nb=value\r\n\r\n;comment2\r\na=value\r\n\r\n",
           {W("S", "z", ""), W("S", "b", "1"), W("T", "y", "2"), R("S", "b")}),
      Make("w-rewrite-spaced-line", "[S]\r\n  Key = old  \r\nx=1\r\n", {W("S", "key", "new"), R("S", "KEY")}),
      Make("w-same-value-spaced-line", "\r\n[S]\r\n  k = v  \r\n", {W("S", "K", "v")}),
      Make("w-cr-only", "[S]\rk=1\rj=2\r", {R("S", "j"), W("S", "i", "3")}),
      Make("w-lf-only", "[Test]\nProfileInt=123\n", {R("Test", "ProfileInt"), W("Test", "x", "1")}),
      // Known points where Wine differs from Windows; we follow Windows.
      Make("k-nul-before-first-section", "Data \0 before \0 first \0 section"s, {W("section1", "key1", "string1")}),
      Make("k-utf8-bom", "\xEF\xBB\xBF[S]\r\nk=1\r\n[T]\r\nk=2\r\n", {R("S", "k"), R("T", "k"), W("T", "j", "3")}),
      Make("k-utf16be-bom", "\xFE\xFF\0\r\0\n"s, {W("SectionName", "TestKey", "TestValue")}),
      Make("k-new-key-before-trailing-comments",
           ";comment0\r\n[S]\r\n;comment1\r\nb=value\r\n;comment2\r\na=value\r\n",
           {W("S", "z", ""), W("S", ";x", ""), W("S", "y", ""), W("S", "a", ""), W("S", "b", "")}),
      Make("k-comment-keys-written", none,
           {W("S", "z", ""), W("S", ";y", ""), W("S", "a", ""), W("S", ";b", ""), W("S", ";c", "")}),
      Make("k-new-key-in-keyless-section", "[A]\r\n;c\r\n[B]\r\n", {W("A", "k", "v")}),
      Make("k-blank-lines-kept", "[A]\r\na=1\r\n\r\n[B]\r\n", {W("A", "c", "3"), W("C", "d", "4")}),
      Make("k-keys-before-first-header", "key=v\r\n[S]\r\n", {R("", "key"), W("", "key", "2")}),
      Make("k-empty-section-name", "\r\nkey=val_no_section\r\n[]\r\nkey=val_e_section\r\n", {R("", "key")}),
      Make("k-write-empty-section-name", none, {W("", "k", "v"), W("A", "k", "v")}),
      Make("k-tab-in-names", none, {W("\tsec\t", "\tkey\t", "v"), R("\tsec\t", "\tkey\t")}),
      Make("k-trailing-spaces-of-names", none, {W("sec ", "key  ", "v"), R("sec", "key")}),
      Make("k-comment-read-by-its-text", "[S]\r\n;k=1\r\nj=2\r\n", {R("S", ";k")}),
      Make("k-very-long-values", none,
           {W("S", "a", std::string(40000, 'x')), W("S", "b", std::string(70000, 'y')), R("S", "b")}),
      Make("k-tab-in-read-arguments", "[S]\r\nkey=1\r\n", {R("\tS", "key"), R("S", "key\t")}),
      Make("k-value-verbatim", none, {W("S", "a", " value "), W("S", "b", "\tv\t"), W("S", "c", "v ")}),
      Make("k-name-ends-at-first-bracket", "[sec]whoops]\r\nk=1\r\n[sec][sec2]\r\nj=2\r\n",
           {R("sec", "k"), R("sec]whoops", "k"), W("x", "y", "z")}),
      Make("k-text-after-bracket", "[S]key=value\r\n", {R("S", "key"), W("S", "j", "1")}),
      Make("k-missing-closing-bracket", "[SectionName   \r\nk=1\r\n", {R("SectionName", "k"), W("SectionName", "j", "2")}),
      Make("k-accented-case-folding", "[\xC9t\xE9]\r\ncl\xE9=1\r\n[\x8A\x8C\x8E\x9F]\r\nk=2\r\n",
           {R("\xE9T\xC9", "CL\xC9"), R("\x9A\x9C\x9E\xFF", "K"), W("\xE9T\xC9", "CL\xC9", "3")}),
      Make("k-form-feed-is-not-blank", "[S]\r\nk=\fv\x1A\r\n", {R("S", "k")}),
      Make("k-bare-cr-at-end", "x\r", {W("S", "k", "v")}),
  };
}

}  // namespace profile_diff
