// Deletions as WritePrivateProfileStringA performs them with a null value or key,
// and the change test a report relies on.
#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>

#include "ini/profile_document.h"

namespace {

struct DeleteCase {
  const char* name;
  std::string initial;
  const char* section;
  std::optional<std::string> key;  // nullopt: the whole section
  bool changed;
  std::string expected;
};

void PrintTo(const DeleteCase& c, std::ostream* os) { *os << c.name; }

class Delete : public testing::TestWithParam<DeleteCase> {};

TEST_P(Delete, LeavesTheBytesWindowsLeaves) {
  const DeleteCase& c = GetParam();
  ini::ProfileDocument d(c.initial);
  EXPECT_EQ(c.key ? d.DeleteKey(c.section, *c.key) : d.DeleteSection(c.section), c.changed);
  EXPECT_EQ(d.Serialize(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Profile, Delete,
    testing::Values(
        DeleteCase{"KeyLineWithItsTerminator", "[App3]\r\nkey5=string5\r\n", "App3", "key5", true, "[App3]\r\n"},
        DeleteCase{"KeyMatchedWithoutCase", "[S]\r\na=1\r\nB = 2\r\nc=3\r\n", " s ", "b", true, "[S]\r\na=1\r\nc=3\r\n"},
        DeleteCase{"MissingKeyChangesNothing", "[S]\r\na=1\r\n", "S", "x", false, "[S]\r\na=1\r\n"},
        DeleteCase{"CommentIsNoKey", "[S]\r\n;a=1\r\n", "S", ";a", false, "[S]\r\n;a=1\r\n"},
        DeleteCase{"OnlyTheFirstOccurrence", "[S]\r\na=1\r\na=2\r\n", "S", "a", true, "[S]\r\na=2\r\n"},
        DeleteCase{"SectionKeepsComments", ";comment0\r\n[S]\r\n;comment1\r\n[S2]\r\n;comment2\r\n", "S", std::nullopt,
                   true, ";comment0\r\n;comment1\r\n[S2]\r\n;comment2\r\n"},
        DeleteCase{"SectionRestUntouched", "[App1]\r\nk=1\r\nj=2\r\n[App2]\r\nkey4=string4\r\n", "app1", std::nullopt,
                   true, "[App2]\r\nkey4=string4\r\n"},
        DeleteCase{"MissingSectionChangesNothing", "[A]\r\nk=1\r\n", "B", std::nullopt, false, "[A]\r\nk=1\r\n"}),
    [](const testing::TestParamInfo<DeleteCase>& i) { return std::string(i.param.name); });

// After a deletion the document is indexed afresh: a later write lands where it
// would in the file read from disk.
TEST(Delete, LaterWritesSeeTheFileAsReadAgain) {
  ini::ProfileDocument d("[S]\r\na=1\r\nb=2\r\n[S]\r\nc=3\r\n");
  ASSERT_TRUE(d.DeleteKey("S", "b"));
  d.Write("S", "z", "9");
  EXPECT_EQ(d.Serialize(), "[S]\r\na=1\r\nz=9\r\n[S]\r\nc=3\r\n");
  ASSERT_TRUE(d.DeleteSection("S"));
  EXPECT_EQ(d.Read("S", "c"), "3");  // the second section of that name is the one reads find now
}

TEST(WouldChange, AgreesWithWrite) {
  const std::string file = "[S]\r\nsame=v\r\nspaced = v \r\nquoted=\"v\"\r\nnoeol=v";
  struct {
    const char* section;
    const char* key;
    const char* value;
  } writes[] = {{"S", "same", "v"},   {"S", "SAME", "w"}, {"S", "spaced", "v"}, {"S", "quoted", "v"},
                {"S", "quoted", "\"v\""}, {"S", "new", ""}, {"T", "k", "v"},     {"S", "noeol", "v"}};
  for (const auto& w : writes) {
    ini::ProfileDocument d(file);
    const bool predicted = d.WouldChange(w.section, w.key, w.value);
    EXPECT_EQ(predicted, d.Write(w.section, w.key, w.value)) << w.section << " " << w.key << "=" << w.value;
    EXPECT_TRUE(d.HasSection(w.section));
  }
}

}  // namespace
