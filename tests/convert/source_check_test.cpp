#include "convert/source_check.h"

#include <gtest/gtest.h>

#include "support/file_bytes.h"

namespace m2v::convert {
namespace {

using test::SjisLines;

std::vector<std::string> Rules(const std::vector<Finding>& findings) {
  std::vector<std::string> rules;
  for (const Finding& f : findings) rules.push_back(f.rule + "@" + std::to_string(f.line));
  return rules;
}

std::vector<std::string_view> Header(int count) {
  static std::vector<std::string> storage;
  storage.assign(1, "$Z " + std::to_string(count));
  for (int i = 0; i < count; ++i) storage.push_back("h");
  return {storage.begin(), storage.end()};
}

TEST(SourceCheckTest, AcceptsCompleteSections) {
  std::vector<std::string_view> lines = Header(33);
  for (std::string_view l : {"$A 1", "1.00", "砂", "",   "",  "",     "",     "$C2,9", "a", "b",
                             "c",    "d",    "e",  "f",  "g", "h",    "i",    "j",     "k", "l",
                             "$K 2", "0.50", "",   "砂", "",  "\x01", "$E 0", "$X 99"}) {
    lines.push_back(l);
  }
  EXPECT_TRUE(CheckSourceBytes(SjisLines(lines)).empty());
  // One section, even an empty one, is a survey.
  EXPECT_TRUE(CheckSourceBytes("$E 0\r\n").empty());
}

TEST(SourceCheckTest, RefusesAFileWithoutAnySection) {
  for (const std::string bytes : {"", "\r\n\r\n", "A 1\r\nZ 2\r\n", " $A 1\r\n", "$B 1\r\n"}) {
    const std::vector<Finding> findings = CheckSourceBytes(bytes);
    EXPECT_EQ(Rules(findings), std::vector<std::string>{"no-survey-data@0"}) << bytes;
    ASSERT_FALSE(findings.empty());
    EXPECT_NE(findings[0].message.find(u"調査データがありません"), std::u16string::npos);
  }
}

TEST(SourceCheckTest, FindsBodiesThatRunPastTheEnd) {
  struct Case {
    std::vector<std::string_view> lines;
    std::vector<std::string> rules;
  };
  const Case cases[] = {
      {{"$A 2", "1", "2", "3", "4", "5", "6", "7"}, {"body-past-end@1"}},
      {{"x", "$C 1", "1", "2", "3", "4", "5"}, {"body-past-end@2"}},
      {{"$E 1,", "1", "2", "3", "4", "5", "6"}, {}},
      {{"$K 2", "1", "", "a", "\x01", "2", "", "b"}, {"body-past-end@1"}},  // no closing line
      {{"$K 1", "1", "", "a", "b"}, {"body-past-end@1"}},     // the record runs to its end
      {{"$K 1", "1", "", "\x01", "2", "", "c", "\x01"}, {}},  // a record without text
      {{"$Z 40", "a"}, {"body-past-end@1"}},
      {{"$Z -1"}, {"bad-count@1"}},
      {{"$A 99999"}, {"bad-count@1"}},
      {{"$A -3"}, {}},
  };
  for (const Case& c : cases) EXPECT_EQ(Rules(CheckSourceBytes(SjisLines(c.lines))), c.rules);
  EXPECT_EQ(Rules(CheckSourceBytes(SjisLines(Header(32)))),
            std::vector<std::string>{"short-header@1"});
}

TEST(SourceCheckTest, NamesBytesThatAreNotCp932WithLineAndOffset) {
  const std::vector<Finding> findings = CheckSourceBytes("$A 0\r\nab\x80\r\n\xFF");
  EXPECT_EQ(Rules(findings), (std::vector<std::string>{"not-cp932@2", "not-cp932@3"}));
  EXPECT_NE(findings[0].message.find(u"9 バイト目"), std::u16string::npos);
}

TEST(SourceCheckTest, RecognisesAFileSavedAsUtf8) {
  EXPECT_EQ(Rules(CheckSourceBytes("$A 1\r\n1\r\n\xE7\xA0\x82\r\n\r\n\r\n\r\n")),
            std::vector<std::string>{"utf8@0"});
  EXPECT_EQ(Rules(CheckSourceBytes("\xEF\xBB\xBF$A 0\r\n")), std::vector<std::string>{"utf8@0"});
}

}  // namespace
}  // namespace m2v::convert
