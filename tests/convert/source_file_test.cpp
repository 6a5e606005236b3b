#include "convert/source_file.h"

#include <gtest/gtest.h>

#include "common/text_file.h"
#include "text/failure.h"
#include "text/text_util.h"
#include "text/utf.h"

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
  const std::vector<std::u16string> lines = {u" $A 9", u"$A 2", u"x", u"$A 5"};
  const SectionPlace place = FindSection(lines, u"$A");
  EXPECT_TRUE(place.found());
  EXPECT_EQ(place.marker_line, 2);
  EXPECT_EQ(place.text, u"$A 2");
  EXPECT_EQ(lines[place.body], u"x");
  const SectionPlace none = FindSection({u"$a 1", u"$C 1"}, u"$A");
  EXPECT_FALSE(none.found());
  EXPECT_EQ(SectionCount(none.text), 0);
}

// How many records a pass uses before it fails on a file that ends inside the count.
TEST(ReadRecordsTest, ReadsTheRecordsTheFileHoldsWholeAndSaysWhenItEndsInsideTheCount) {
  struct Case {
    int lines_after_body;
    int count;
    int record_lines;
    int whole;
    bool ends_inside;
  };
  const Case cases[] = {
      {12, 2, 6, 2, false},   {13, 2, 6, 2, false},  {11, 2, 6, 1, true},   {5, 1, 6, 0, true},
      {0, 1, 6, 0, true},     {0, 0, 6, 0, false},   {12, -3, 6, 0, false}, {12, 32767, 6, 2, true},
      {33, 33, 1, 33, false}, {32, 33, 1, 32, true},
  };
  for (const Case& c : cases) {
    std::vector<std::u16string> lines = {u"$C"};
    for (int i = 1; i <= c.lines_after_body; ++i) lines.push_back(text::DecimalText(i));
    const SectionRecords records = ReadRecords(lines, 1, c.count, c.record_lines);
    SCOPED_TRACE(testing::Message() << c.lines_after_body << " lines, count " << c.count);
    EXPECT_EQ(records.whole, c.whole);
    EXPECT_EQ(records.ends_inside, c.ends_inside);
    EXPECT_EQ(records.lines.size(), static_cast<std::size_t>(c.whole * c.record_lines));
    EXPECT_EQ(records.last_line(), 1 + c.whole * c.record_lines);
    if (c.whole > 0) {
      const int r = c.whole - 1;
      EXPECT_EQ(records.LineNumber(r, c.record_lines), records.last_line());
      EXPECT_EQ(records.Line(r, 1), text::DecimalText(r * c.record_lines + 1));
    }
  }
}

TEST(SurveyTest, HoldsThePlaceOfEverySectionAndItsBytesThatAreNotCp932) {
  // "$A" twice: the first is its place; "$K" never stands at a line's start.
  const Survey survey = Survey::FromBytes(u"D:\\S.ddf",
                                          "$Z 0\r\n$A 1\r\n$A 2\r\n x$K\r\n$C 1,3\r\n"
                                          "$E 0\r\n\x81\r\n");
  EXPECT_EQ(survey.name(), u"D:\\S.ddf");
  ASSERT_EQ(survey.lines().size(), 7u);
  for (const char16_t* marker : kSectionMarkers) {
    const SectionPlace expected = FindSection(survey.lines(), marker);
    const SectionPlace& place = survey.Section(marker);
    EXPECT_EQ(place.marker_line, expected.marker_line) << text::Utf16ToUtf8(marker);
    EXPECT_EQ(place.text, expected.text);
    EXPECT_EQ(place.body, expected.body);
  }
  EXPECT_EQ(survey.Section(kLayerMarker).marker_line, 2);
  EXPECT_FALSE(survey.Section(kDepthTextMarker).found());
  ASSERT_EQ(survey.bad_bytes().size(), 1u);
  EXPECT_EQ(survey.bad_bytes()[0].line, 7);
}

TEST(SurveyTest, FailsPastTheEndAsReadingOnPastTheLastLineFails) {
  const Survey survey(u"D:\\S.ddf", common::TextLines{{u"$C 1", u"a", u"b"}, {}});
  common::LineReader reader(u"D:\\S.ddf", common::TextLines{{u"$C 1", u"a", u"b"}, {}});
  for (int i = 0; i < 3; ++i) reader.ReadLine();
  std::u16string expected;
  try {
    reader.ReadLine();
  } catch (const text::Failure& failure) {
    expected = failure.message();
  }
  ASSERT_FALSE(expected.empty());
  std::u16string message;
  try {
    survey.FailPastEnd();
  } catch (const text::Failure& failure) {
    message = failure.message();
  }
  EXPECT_EQ(message, expected);
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
