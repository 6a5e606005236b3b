#include "coding/penetration_record.h"

#include <gtest/gtest.h>

#include "common/text_file.h"
#include "support/file_bytes.h"
#include "support/temp_dir.h"
#include "text/failure.h"

namespace m2v::coding {
namespace {

class PenetrationRecordTest : public ::testing::Test {
 protected:
  PenetrationRecordTest() : drives_(dir_ / "sys") { drives_.MapDrive('D', dir_ / "d"); }

  std::string Convert(std::int16_t& number, const PenetrationLines& lines) {
    common::TextWriter out = common::TextWriter::Create(drives_.Root('D') + u"X5.TXT");
    ConvertPenetrationRecord(number, lines, out);
    out.Close();
    return test::ReadBytes(dir_ / "d" / "X5.TXT");
  }

  test::TempDir dir_;
  test::DriveTable drives_;
};

TEST_F(PenetrationRecordTest, WritesTheFortySevenCharacterLine) {
  struct Case {
    PenetrationLines lines;
    const char* expected;
  };
  const Case cases[] = {
      {{u"12.30", u"15", u"3", u"4/10", u"", u"x"},
       "  1,  12.30, 15, 15, 30,  3, 10,  4, 10,   ,   "},
      {{u"1.15", u"50/12", u"", u"", u"", u""}, "  1,   1.15, 50,125, 12,   ,   ,   ,   ,   ,   "},
      {{u"1", u"50/7", u"", u"", u"", u""}, "  1,      1, 50,214,  7,   ,   ,   ,   ,   ,   "},
      {{u"1", u"50/1", u"", u"", u"", u""}, "  1,      1, 50,500,  1,   ,   ,   ,   ,   ,   "},
      {{u"1", u"", u"", u"", u"", u""}, "  1,      1,   ,   ,   ,   ,   ,   ,   ,   ,   "},
      {{u"1", u"   ", u"", u"", u"", u""}, "  1,      1,   ,  0, 30,   ,   ,   ,   ,   ,   "},
      {{u"1", u"50/", u"", u"", u"", u""}, "  1,      1, 50, 50,   ,   ,   ,   ,   ,   ,   "},
      {{u"1", u"/12", u"", u"", u"", u""}, "  1,      1,   ,  0, 12,   ,   ,   ,   ,   ,   "},
      {{u"1", u"1234/56", u"", u"", u"", u""}, "  1,      1,234,125, 56,   ,   ,   ,   ,   ,   "},
      {{u"1", u"5/1/2", u"", u"", u"", u""}, "  1,      1,  5,  5,1/2,   ,   ,   ,   ,   ,   "},
      {{u"123456789", u"-6", u" 8 ", u"", u"", u""},
       "  1,3456789, -6, -6, 30, 8 , 10,   ,   ,   ,   "},
      {{u"1", u"30/45", u"", u"", u"", u""}, "  1,      1, 30, 20, 45,   ,   ,   ,   ,   ,   "},
  };
  for (const Case& c : cases) {
    std::int16_t number = 1;
    EXPECT_EQ(Convert(number, c.lines), std::string(c.expected) + "\r\n");
    EXPECT_EQ(number, 2);
  }
}

TEST(PenetrationNValueTest, IsComputedInSinglePrecisionAndTruncated) {
  // 30 / 7 * 50 is 214.28..; 30 / 0.3 * 3 is 299.99997 in single precision.
  EXPECT_EQ(PenetrationNValue(u" 50", u"  7"), u"214");
  EXPECT_EQ(PenetrationNValue(u"  3", u"0.3"), u"299");
  EXPECT_EQ(PenetrationNValue(u"-50", u" 12"), u"-125");
  EXPECT_EQ(PenetrationNValue(u" 50", u"abc"), u" 50");
  EXPECT_EQ(PenetrationNValue(u"abc", u" 30"), u"0");
}

TEST_F(PenetrationRecordTest, RecordNumberShowsLastThreeDigitsAndStopsBeforeOverflow) {
  std::int16_t number = 1234;
  EXPECT_EQ(Convert(number, {u"1", u"9", u"", u"", u"", u""}),
            "234,      1,  9,  9, 30,   ,   ,   ,   ,   ,   \r\n");
  number = 32767;
  EXPECT_THROW(Convert(number, {u"1", u"9", u"", u"", u"", u""}), text::Failure);
}

}  // namespace
}  // namespace m2v::coding
