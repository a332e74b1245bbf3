// What single-key reads return from a given file, as GetPrivateProfileStringA does.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "ini/profile_document.h"
#include "ini/profile_text.h"

using namespace std::string_literals;

namespace {

struct ReadCase {
  const char* what;
  std::string file;
  std::string section, key;
  std::optional<std::string> expected;  // nullopt: the caller's default
};

TEST(ProfileRead, Golden) {
  const std::optional<std::string> absent;
  const std::vector<ReadCase> cases = {
      // Values: blanks trimmed, one outer pair of matching quotes removed.
      {"quoted", "[S]\r\nname2=\"val2\"\r\n", "S", "name2", "val2"},
      {"blanks around quotes", "[S]\r\nk=  \"   v   \"  \r\n", "S", "k", "   v   "},
      {"outermost pair only", "[S]\r\nk=\"'v'\"\r\n", "S", "k", "'v'"},
      {"unmatched quotes", "[S]\r\nk=\"v'\r\n", "S", "k", "\"v'"},
      {"mixed quotes", "[S]\r\nk='\"v'\"\r\n", "S", "k", "'\"v'\""},
      {"lone quote", "[S]\r\nk=\"\r\n", "S", "k", "\""},
      {"empty quotes", "[S]\r\nk=''\r\n", "S", "k", ""},
      {"tab and VT trimmed", "[S]\r\nkey= TestValue\t\v\r\n", "S", "key", "TestValue"},
      {"form feed is not a blank", "[S]\r\nk=\fv\r\n", "S", "k", "\fv"},
      {"spaced key line", "[S]\r\n\tTestKey\t=x\r\n", "S", "TestKey", "x"},
      {"split at first equals", "[S]\r\nk=a=b\r\n", "S", "k", "a=b"},
      {"semicolon in value", "[S]\r\nkey=;nocomment\r\n", "S", "key", ";nocomment"},
      {"empty value is not absent", "[S]\r\nname2=\r\n", "S", "name2", ""},
      {"empty key name", "[s]\r\n=val_no_key\r\n", "s", "", "val_no_key"},
      {"value kept whole", "[S]\r\nk=" + std::string(70000, 'x') + "\r\n", "S", "k",
       std::string(70000, 'x')},
      {"NUL is an ordinary byte", "[S]\r\nk=a\0b\r\n"s, "S", "k", "a\0b"s},
      // Lines that are not keys.
      {"comment by its text", "[S]\r\n;k=1\r\n", "S", ";k", absent},
      {"comment by its name", "[S]\r\n  ;k=1\r\n", "S", "k", absent},
      {"hash is no comment", "[S]\r\n#c=1\r\n", "S", "#c", "1"},
      {"line without equals", "[S]\r\nname3\r\n", "S", "name3", absent},
      // Sections.
      {"header blanks trimmed", "[ section1 ]\r\nk=1\r\n", "section1", "k", "1"},
      {"header tabs trimmed", "[\tx\t]\r\nk=1\r\n", "x", "k", "1"},
      {"blanks before bracket", " \t[S]\r\nk=1\r\n", "S", "k", "1"},
      {"name ends at first bracket", "[sec]whoops]\r\nk=1\r\n", "sec", "k", "1"},
      {"second bracket pair ignored", "[sec][sec2]\r\nk=1\r\n", "sec", "k", "1"},
      {"text after bracket unreachable", "[S]key=value\r\n", "S", "key", absent},
      {"missing closing bracket", "[SectionName   \r\nk=1\r\n", "SectionName", "k", "1"},
      {"missing opening bracket", "SectionName]\r\nk=1\r\n", "SectionName", "k", absent},
      {"bracket inside name", "[[sec]\r\nk=1\r\n", "[sec", "k", "1"},
      {"empty section name", "\r\nkey=val_no_section\r\n[]\r\nkey=val_e_section\r\n", "", "key",
       "val_e_section"},
      {"keys before first header", "key=v\r\n[S]\r\n", "", "key", absent},
      {"first duplicate section only", "[S]\r\n[S]\r\nkey=v\r\n", "S", "key", absent},
      {"first duplicate key wins", "[S]\r\nk=1\r\nK=2\r\n", "S", "k", "1"},
      {"utf8 bom hides first header", "\xEF\xBB\xBF[S]\r\nk=1\r\n[T]\r\nk=2\r\n", "S", "k", absent},
      {"section after bom line reachable", "\xEF\xBB\xBF[S]\r\nk=1\r\n[T]\r\nk=2\r\n", "T", "k", "2"},
      // Line ends.
      {"CR only", "[S]\rk=1\rj=2\r", "S", "j", "2"},
      {"LF only", "[Test]\nProfileInt=123\n", "Test", "ProfileInt", "123"},
      {"LF CR is two ends", "[S]\n\rk=1", "S", "k", "1"},
      // Arguments: outer spaces go, other blanks stay, a NUL ends them.
      {"spaced arguments", "[S]\r\nkey=1\r\n", " S ", " key ", "1"},
      {"tab in section argument", "[S]\r\nkey=1\r\n", "\tS", "key", absent},
      {"tab in key argument", "[S]\r\nkey=1\r\n", "S", "key\t", absent},
      {"argument ends at NUL", "[S]\r\nkey=1\r\n", "S\0T"s, "key\0x"s, "1"},
      // Case folding of Windows-1252 letters.
      {"ascii case", "[S]\r\nname1=val1\r\n", "s", "NaMe1", "val1"},
      {"accented capitals", "[\xC0\xC9\xDE]\r\nk=1\r\n", "\xE0\xE9\xFE", "K", "1"},
      {"cp1252 row 0x80 pairs", "[\x8A\x8C\x8E\x9F]\r\nk=1\r\n", "\x9A\x9C\x9E\xFF", "k", "1"},
      {"times and divide differ", "[\xD7]\r\nk=1\r\n", "\xF7", "k", absent},
      {"sharp s has no capital", "[\xDF]\r\nk=1\r\n", "\xDF", "k", "1"},
      {"value keeps its case", "[S]\r\nk=\xC9t\xE9\r\n", "S", "K", "\xC9t\xE9"},
  };
  for (const ReadCase& c : cases) {
    const ini::ProfileDocument doc(c.file);
    EXPECT_EQ(doc.Read(c.section, c.key), c.expected) << c.what;
  }
}

TEST(ProfileRead, EmptyDocumentHasNothing) {
  const ini::ProfileDocument doc;
  EXPECT_TRUE(doc.Empty());
  EXPECT_EQ(doc.Read("", ""), std::nullopt);
  EXPECT_EQ(doc.Serialize(), "");
}

TEST(NormalizeDefault, RemovesTrailingSpacesOnly) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"default  ", "default"},       {"one two  ", "one two"}, {"   default   ", "   default"},
      {"d\t", "d\t"},                 {"d \r\n", "d \r\n"},     {"   ", ""},
      {"\"quoted\" ", "\"quoted\""},  {"", ""},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(ini::NormalizeDefault(in), out) << in;
}

TEST(ClassifyLine, Kinds) {
  using ini::LineKind;
  const std::vector<std::pair<std::string, LineKind>> cases = {
      {"", LineKind::kOther},          {" \t\v", LineKind::kOther},   {"x", LineKind::kOther},
      {"\v;c=1", LineKind::kComment},  {" [a=b", LineKind::kHeader},  {"a[=b", LineKind::kKey},
      {"=", LineKind::kKey},           {"\f;c=1", LineKind::kKey},    {"a]=1", LineKind::kKey},
  };
  for (const auto& [line, kind] : cases) EXPECT_EQ(ini::ClassifyLine(line).kind, kind) << line;
}

}  // namespace
