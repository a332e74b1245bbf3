// Byte-exact outcomes of writes, as the Windows profile functions leave a file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ini/profile_document.h"

using namespace std::string_literals;

namespace {

struct Op {
  std::string section, key, value;
};

struct WriteCase {
  const char* name;
  std::string initial;
  std::vector<Op> writes;
  std::string expected;
};

const std::vector<WriteCase>& WriteCases() {
  static const std::vector<WriteCase> cases = {
      {"NewFile", "", {{"App", "key", "string"}}, "[App]\r\nkey=string\r\n"},
      {"EmptyValue", "", {{"App", "key", ""}}, "[App]\r\nkey=\r\n"},
      {"BuildUpInCallOrder",
       "",
       {{"App1", "key1", "string1"},
        {"App1", "key2", "string2"},
        {"App1", "key3", "string3"},
        {"App2", "key4", "string4"},
        {"App3", "key5", "string5"}},
       "[App1]\r\nkey1=string1\r\nkey2=string2\r\nkey3=string3\r\n[App2]\r\nkey4=string4\r\n"
       "[App3]\r\nkey5=string5\r\n"},
      {"NulJunkBeforeFirstSectionKept",
       "Data \0 before \0 first \0 section"s,
       {{"section1", "key1", "string1"}},
       "Data \0 before \0 first \0 section\r\n[section1]\r\nkey1=string1\r\n"s},
      {"AfterFinalLfNoSeparator",
       "\xFE\xFF\0\r\0\n"s,
       {{"SectionName", "TestKey", "TestValue"}},
       "\xFE\xFF\0\r\0\n[SectionName]\r\nTestKey=TestValue\r\n"s},
      {"Utf8BomIsContent",
       "\xEF\xBB\xBF",
       {{"S", "TestKey", "TestValue"}},
       "\xEF\xBB\xBF\r\n[S]\r\nTestKey=TestValue\r\n"},
      {"BareCrAtEndGetsCrLf", "x\r", {{"S", "k", "v"}}, "x\r\r\n[S]\r\nk=v\r\n"},
      {"TrailingBlankLineStaysBeforeNewSection",
       "[A]\r\na=1\r\n\r\n",
       {{"B", "b", "2"}},
       "[A]\r\na=1\r\n\r\n[B]\r\nb=2\r\n"},
      {"NewKeysSlipInFrontOfTrailingComments",
       ";comment0\r\n[S]\r\n;comment1\r\nb=value\r\n;comment2\r\na=value\r\n",
       {{"S", "z", ""}, {"S", ";x", ""}, {"S", "y", ""}, {"S", "a", ""}, {"S", "b", ""}},
       ";comment0\r\n[S]\r\n;comment1\r\nb=\r\n;comment2\r\na=\r\nz=\r\ny=\r\n;x=\r\n"},
      {"CommentKeysNeverCountAsLastKey",
       "",
       {{"S", "z", ""}, {"S", ";y", ""}, {"S", "a", ""}, {"S", ";b", ""}, {"S", ";c", ""}},
       "[S]\r\nz=\r\na=\r\n;c=\r\n;b=\r\n;y=\r\n"},
      {"BlankLinesActLikeComments",
       "[A]\r\na=1\r\n\r\n[B]\r\n",
       {{"A", "c", "3"}},
       "[A]\r\na=1\r\nc=3\r\n\r\n[B]\r\n"},
      {"KeylessSectionTakesKeyAfterHeader",
       "[A]\r\n;c\r\nno equals\r\n[B]\r\n",
       {{"A", "k", "v"}},
       "[A]\r\nk=v\r\n;c\r\nno equals\r\n[B]\r\n"},
      {"ExistingKeysKeepTheirPlace",
       "[S]\r\nb=value\r\na=value\r\n",
       {{"S", "z", ""}, {"S", "b", ""}, {"S", "y", ""}, {"S", "a", ""}},
       "[S]\r\nb=\r\na=\r\nz=\r\ny=\r\n"},
      {"UpdateKeepsFileSpellingAndTerminatesLastLine",
       "[SectionName]\r\nTestKey=TestValue",
       {{"SECTIONNAME", "TESTKEY", "TestValue2"}},
       "[SectionName]\r\nTestKey=TestValue2\r\n"},
      {"UpdateCaseOnlyChange", "[S]\r\nk=Value\r\n", {{"s", "K", "value"}}, "[S]\r\nk=value\r\n"},
      {"SpacedLineRewrittenCanonically",
       "[S]\r\n  Key = old  \r\nx=1\r\n",
       {{"S", "key", "new"}},
       "[S]\r\nKey=new\r\nx=1\r\n"},
      {"FirstDuplicateKeyUpdated", "[S]\r\nk=1\r\nk=2\r\n", {{"S", "k", "3"}}, "[S]\r\nk=3\r\nk=2\r\n"},
      {"FirstDuplicateSectionUsed",
       "[S]\r\na=1\r\n[s]\r\nb=2\r\n",
       {{"S", "b", "3"}},
       "[S]\r\na=1\r\nb=3\r\n[s]\r\nb=2\r\n"},
      {"KeysBeforeFirstHeaderUnreachable",
       "k=1\r\n[S]\r\n",
       {{"", "k", "2"}},
       "k=1\r\n[S]\r\n[]\r\nk=2\r\n"},
      {"OuterSpacesOfNamesStripped", "", {{" sec ", " key ", "v"}}, "[sec]\r\nkey=v\r\n"},
      {"TabsInNamesKept", "", {{"\tsec\t", "\tkey\t", "v"}}, "[\tsec\t]\r\n\tkey\t=v\r\n"},
      {"ValueVerbatim", "", {{"S", "key", " value "}}, "[S]\r\nkey= value \r\n"},
      {"QuotesVerbatim", "", {{"S", "k", "\"q\""}}, "[S]\r\nk=\"q\"\r\n"},
      {"RawNames",
       "",
       {{"sec]whoops", "a", "1"}, {"[sec", "b", "2"}, {";section", "c", "3"}, {"", "", "4"}},
       "[sec]whoops]\r\na=1\r\n[[sec]\r\nb=2\r\n[;section]\r\nc=3\r\n[]\r\n=4\r\n"},
      {"CommentKeyWrittenTwice",
       "",
       {{"S", ";key", "TestValue"}, {"S", ";key", "TestValue"}},
       "[S]\r\n;key=TestValue\r\n;key=TestValue\r\n"},
      {"InsertAfterUnterminatedLastKey", "[S]\r\na=1", {{"S", "b", "2"}}, "[S]\r\na=1\r\nb=2\r\n"},
      {"UnterminatedTrailingCommentStaysOpen",
       "[S]\r\na=1\r\n;c",
       {{"S", "b", "2"}},
       "[S]\r\na=1\r\nb=2\r\n;c"},
      {"InsertAfterUnterminatedHeader", "[S]", {{"S", "b", "2"}}, "[S]\r\nb=2\r\n"},
      {"ForeignLineEndsKept", "[S]\na=1\n[T]\rc=3\r", {{"S", "b", "2"}, {"T", "c", "4"}},
       "[S]\na=1\nb=2\r\n[T]\rc=4\r"},
      {"HeaderWithoutBracketTolerated", "[S  \r\na=1\r\n", {{"S", "b", "2"}}, "[S  \r\na=1\r\nb=2\r\n"},
      {"TextAfterBracketIgnored", "[S]k=1\r\n", {{"S", "k", "2"}}, "[S]k=1\r\nk=2\r\n"},
      {"AccentedNamesFold",
       "[\xC9t\xE9]\r\ncl\xE9=1\r\n",  // [Été] clé=1
       {{"\xE9T\xC9", "CL\xC9", "2"}},
       "[\xC9t\xE9]\r\ncl\xE9=2\r\n"},
      {"MultiplicationSignDoesNotFold", "[\xD7]\r\nk=1\r\n", {{"\xF7", "k", "2"}},
       "[\xD7]\r\nk=1\r\n[\xF7]\r\nk=2\r\n"},
      {"ArgumentsEndAtNul", "", {{"S\0x"s, "k\0y"s, "v\0z"s}}, "[S]\r\nk=v\r\n"},
      {"LineBreakInValueWrittenRaw",
       "[S]\r\nk=1\r\n",
       {{"S", "k", "a\r\nb=2"}, {"S", "b", "3"}},
       "[S]\r\nk=a\r\nb=3\r\n"},
      {"KeyThatReadsAsHeaderSplitsSection",
       "[S]\r\na=1\r\n;t\r\n",
       {{"S", "[x", "1"}, {"S", "y", "2"}, {"x=1", "z", "3"}},
       "[S]\r\na=1\r\ny=2\r\n[x=1\r\nz=3\r\n;t\r\n"},
  };
  return cases;
}

// Its name is what CTest lists beside the test: short and the same on every run.
void PrintTo(const WriteCase& c, std::ostream* os) { *os << c.name; }

class ProfileWrite : public testing::TestWithParam<WriteCase> {};

TEST_P(ProfileWrite, LeavesExpectedBytes) {
  const WriteCase& c = GetParam();
  ini::ProfileDocument doc(c.initial);
  for (const Op& op : c.writes) doc.Write(op.section, op.key, op.value);
  EXPECT_EQ(doc.Serialize(), c.expected);
  // The incremental index must agree with a fresh read of the same bytes.
  const ini::ProfileDocument fresh(doc.Serialize());
  for (const Op& op : c.writes) {
    EXPECT_EQ(doc.Read(op.section, op.key), fresh.Read(op.section, op.key)) << op.section << "/" << op.key;
  }
}

INSTANTIATE_TEST_SUITE_P(Golden, ProfileWrite, testing::ValuesIn(WriteCases()),
                         [](const auto& info) { return std::string(info.param.name); });

struct ChangeCase {
  const char* name;
  std::string initial;
  Op write;
  bool changed;
  std::string expected;
};

TEST(ProfileWriteResult, TrueOnlyWhenBytesChange) {
  const std::vector<ChangeCase> cases = {
      {"same value", "[S]\r\nk=v\r\n", {"S", "k", "v"}, false, "[S]\r\nk=v\r\n"},
      {"same value, other case of names", "[S]\r\nk=v\r\n", {"s", "K", "v"}, false, "[S]\r\nk=v\r\n"},
      {"same value, unterminated", "[S]\r\nk=v", {"S", "k", "v"}, false, "[S]\r\nk=v"},
      {"same trimmed value keeps spacing", "[S]\r\n k = v \r\n", {"S", "k", "v"}, false,
       "[S]\r\n k = v \r\n"},
      {"same quoted value", "[S]\r\nk=\"v\"\r\n", {"S", "k", "\"v\""}, false, "[S]\r\nk=\"v\"\r\n"},
      {"value differs only by case", "[S]\r\nk=v\r\n", {"S", "k", "V"}, true, "[S]\r\nk=V\r\n"},
      {"unquoted value replaces quoted", "[S]\r\nk=\"v\"\r\n", {"S", "k", "v"}, true, "[S]\r\nk=v\r\n"},
      {"leading blank rewrites identical line", "[S]\r\nk= v\r\n", {"S", "k", " v"}, false,
       "[S]\r\nk= v\r\n"},
      {"new key", "[S]\r\nk=v\r\n", {"S", "j", "v"}, true, "[S]\r\nk=v\r\nj=v\r\n"},
      {"new section", "", {"S", "k", ""}, true, "[S]\r\nk=\r\n"},
  };
  for (const ChangeCase& c : cases) {
    ini::ProfileDocument doc(c.initial);
    EXPECT_EQ(doc.Write(c.write.section, c.write.key, c.write.value), c.changed) << c.name;
    EXPECT_EQ(doc.Serialize(), c.expected) << c.name;
  }
}

TEST(ProfileDocumentCopy, CopyIsIndependent) {
  ini::ProfileDocument a("[S]\r\nk=1\r\n");
  ini::ProfileDocument b = a;
  b.Write("S", "k", "2");
  b.Write("S", "j", "3");
  EXPECT_EQ(a.Serialize(), "[S]\r\nk=1\r\n");
  EXPECT_EQ(a.Read("S", "j"), std::nullopt);
  EXPECT_EQ(b.Read("S", "k"), "2");
  a = b;
  b.Write("S", "k", "4");
  EXPECT_EQ(a.Read("S", "k"), "2");
  ini::ProfileDocument moved = std::move(b);
  moved.Write("S", "z", "5");
  EXPECT_EQ(moved.Serialize(), "[S]\r\nk=4\r\nj=3\r\nz=5\r\n");
}

}  // namespace
