#include "convert/source_file.h"

#include <gtest/gtest.h>

#include "common/failure.h"
#include "common/text_file.h"

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
  EXPECT_THROW(SectionCount(u"$A 40000"), common::Failure);
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

}  // namespace
}  // namespace m2v::convert
