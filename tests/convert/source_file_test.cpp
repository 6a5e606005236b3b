#include "convert/source_file.h"

#include <gtest/gtest.h>

#include "common/text_file.h"
#include "text/failure.h"

namespace m2v::convert {
namespace {

TEST(SectionCountTest, ReadsTheCountByTheRuleOfEachMarker) {
  const std::pair<std::u16string, int> cases[] = {
      {u"$C   12,xyz", 12}, {u"$C12", 12},  {u"$C2,15", 2},  {u"$C 3, 4", 3},
      {u"$Z 40   ", 40},    {u"$A  7 ", 7}, {u"$K 5", 5},    {u"$E3", 3},
      {u"$A 2.5", 2},       {u"$A 3.5", 4}, {u"$E -2", -2},  {u"$A x", 0},
      {u"$C", 0},           {u"", 0},       {u"$K 12,3", 0},  // only "$C" cuts at ","
  };
  for (const auto& [line, count] : cases) EXPECT_EQ(SectionCount(line), count) << line.size();
  EXPECT_THROW(SectionCount(u"$A 40000"), text::Failure);
}

TEST(FindSectionTest, TakesTheFirstLineThatBeginsWithTheMarker) {
  common::LineReader reader(u"s", {{u" $A 9", u"$A 2", u"x", u"$A 5"}, {}});
  EXPECT_EQ(FindSection(reader, u"$A"), u"$A 2");
  EXPECT_EQ(reader.ReadLine(), u"x");
  common::LineReader none(u"s", {{u"$a 1", u"$C 1"}, {}});
  EXPECT_EQ(FindSection(none, u"$A"), u"");
}

TEST(ControlLineTest, OnlyALineStartingWithACodeBelow32EndsARecord) {
  EXPECT_TRUE(IsControlLine(u"\x01"));
  EXPECT_TRUE(IsControlLine(u"\tx"));
  EXPECT_FALSE(IsControlLine(u""));
  EXPECT_FALSE(IsControlLine(u" \x01"));
}

// The one reading of "$K" that the pass, the source check and check share.
TEST(DepthTextsTest, ReadRecordByRecordUntilTheCountIsSpentAndCarryTheDepthForward) {
  const std::vector<std::u16string> lines = {
      u"$K 3",  u"1.00", u"",     u"a",   u"\x01",  // record at line 2: depth "0.00", text line 4
      u"2.00)", u"",     u"\x01",                   // line 6: no text, its depth still carries
      u"3.00",  u"",     u"b",    u"c",   u"d",
      u"\x01",  // line 9: count spent at "c", "d" read too
      u"4.00",  u"",     u"e",    u"\x01"};
  const DepthTextSection section = ReadDepthTexts(lines, 1, 3);
  ASSERT_EQ(section.records.size(), 3u);
  EXPECT_FALSE(section.ends_inside);
  EXPECT_EQ(section.next, 14u);
  EXPECT_EQ(section.past_count_line, 13);
  EXPECT_EQ(section.records[0].depth, u"0.00");
  EXPECT_EQ(section.records[0].depth_line, 0);
  EXPECT_EQ(section.records[0].text_lines, std::vector<int>{4});
  EXPECT_EQ(section.records[1].first_line, 6);
  EXPECT_TRUE(section.records[1].text_lines.empty());
  EXPECT_EQ(section.records[2].depth, u"2.00)");
  EXPECT_EQ(section.records[2].depth_line, 6);
  EXPECT_EQ(section.records[2].text_lines, (std::vector<int>{11, 12, 13}));

  const DepthTextSection cut = ReadDepthTexts(lines, 1, 6);
  EXPECT_TRUE(cut.ends_inside);
  EXPECT_EQ(cut.next, lines.size());
  EXPECT_TRUE(ReadDepthTexts(lines, 1, 0).records.empty());
  EXPECT_TRUE(ReadDepthTexts(lines, 1, -2).records.empty());
}

}  // namespace
}  // namespace m2v::convert
