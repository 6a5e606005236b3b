#include "text/field_split.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "text/failure.h"

namespace m2v::text {
namespace {

using ::testing::ElementsAre;

TEST(FieldSplitTest, CountsAndSplitsAtEachDelimiter) {
  struct Case {
    std::u16string text;
    std::u16string delims;
    int count;
    std::vector<std::u16string> fields;  // entries 1 .. count + 1
  };
  const Case cases[] = {
      {u"C:\\DATA\\OUT\\", u"\\", 3, {u"C:", u"DATA", u"OUT", u""}},
      {u"C:\\", u"\\", 1, {u"C:", u""}},
      {u"", u"\\", 0, {u""}},
      {u"A\\\\B", u"\\", 2, {u"A", u"", u"B"}},
      {u"\\X", u"\\", 1, {u"", u"X"}},
      {u"a,b;c", u",;", 2, {u"a", u"b", u"c"}},
      {u"D:\\ソ表\\能", u"\\", 2, {u"D:", u"ソ表", u"能"}},  // trail bytes 0x5C are no "\"
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CountDelims(c.text, c.delims), c.count);
    std::vector<std::u16string> fields(257);
    SplitFields(c.text, c.delims, fields);
    EXPECT_EQ(std::vector<std::u16string>(fields.begin() + 1, fields.begin() + 1 + c.count + 1),
              c.fields);
  }
  EXPECT_EQ(CountDelims(u"a,b", u",,"), 2);  // a delimiter listed twice counts twice
}

TEST(FieldSplitTest, LeavesEntryZeroAndHigherEntriesUntouched) {
  std::vector<std::u16string> fields(6, u"old");
  SplitFields(u"D:\\A\\B\\C", u"\\", fields);
  SplitFields(u"E:\\X", u"\\", fields);
  EXPECT_THAT(fields, ElementsAre(u"old", u"E:", u"X", u"B", u"C", u"old"));
}

TEST(FieldSplitTest, TooManyFieldsIsAFailureAfterTheFieldsThatFit) {
  std::vector<std::u16string> fields(3);
  EXPECT_THROW(SplitFields(u"a\\b\\c", u"\\", fields), Failure);
  EXPECT_THAT(fields, ElementsAre(u"", u"a", u"b"));
  EXPECT_THROW(CountDelims(std::u16string(32768, u'\\'), u"\\"), Failure);
}

}  // namespace
}  // namespace m2v::text
