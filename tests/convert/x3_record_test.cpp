#include "convert/x3_record.h"

#include <gtest/gtest.h>

#include "common/text_file.h"
#include "support/file_bytes.h"
#include "support/temp_dir.h"
#include "text/failure.h"

namespace m2v::convert {
namespace {

class X3RecordTest : public ::testing::Test {
 protected:
  X3RecordTest() : drives_(dir_ / "sys") { drives_.MapDrive('D', dir_ / "d"); }

  // The line WriteX3Record writes, without its CR LF; empty when it writes nothing.
  std::string Write(std::int16_t& counter, std::u16string_view label,
                    std::u16string_view description) {
    common::TextWriter out = common::TextWriter::Create(drives_.Root('D') + u"X3.TXT");
    WriteX3Record(counter, label, description, table_, out);
    out.Close();
    return test::ReadBytes(dir_ / "d" / "X3.TXT");
  }

  test::TempDir dir_;
  test::DriveTable drives_;
  CodeTable table_{{u"21", u"5", u"8", u"7", u"12", u"123", u"0", u"x", u"9", u"-3"},
                   {u"暗", u"灰", u"褐", u"黄", u"緑", u"青", u"白", u"黒", u"暗", u"赤"}};
};

TEST_F(X3RecordTest, CodesEachPartsFirstThreeCharacters) {
  struct Case {
    std::u16string label;
    std::u16string description;
    const char* line;
  };
  const Case cases[] = {
      {u"1.50", u"暗灰～褐", "  1,   1.50,2105  ,暗灰,08    ,褐,～"},
      {u"2", u"灰～", "  1,      2,05    ,灰,      ,,"},
      {u"3", u"～褐", "  1,      3,      ,,08    ,褐,～"},
      {u"4", u"灰～褐～黒", "  1,      4,05    ,灰,08    ,褐～黒,～"},  // 黒's code is no number
      {u"5", u"黄緑青褐", "  1,      5,071223,黄緑青褐,      ,,"},      // a fourth is not coded
      {u"6", u"紫橙", "  1,      6,      ,紫橙,      ,,"},
      {u"7", u"白灰", "  1,      7,  05  ,白灰,      ,,"},  // "0" takes a slot
      {u"12345678", u"赤", "  1,2345678,-3    ,赤,      ,,"},
      {u"8", u" 灰 ～ 褐", "  1,      8,05    , 灰 ,08    , 褐,～"},  // parts are not trimmed
  };
  for (const Case& c : cases) {
    std::int16_t counter = 1;
    EXPECT_EQ(Write(counter, c.label, c.description), test::Sjis(c.line) + "\r\n");
    EXPECT_EQ(counter, 2);
  }
}

TEST_F(X3RecordTest, BlankDescriptionWritesNothing) {
  std::int16_t counter = 5;
  EXPECT_EQ(Write(counter, u"1", u"   "), "");
  EXPECT_EQ(counter, 5);
}

TEST_F(X3RecordTest, CounterShowsItsLastThreeDigitsAndStopsBeforeOverflow) {
  std::int16_t counter = 1000;
  EXPECT_EQ(Write(counter, u"1", u"灰"), test::Sjis("000,      1,05    ,灰,      ,,\r\n"));
  counter = 32767;
  EXPECT_THROW(Write(counter, u"1", u"灰"), text::Failure);
  EXPECT_EQ(counter, 32767);
}

}  // namespace
}  // namespace m2v::convert
