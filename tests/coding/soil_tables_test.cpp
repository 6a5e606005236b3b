#include "coding/soil_tables.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "common/failure.h"
#include "support/pattern_folder.h"

namespace m2v::coding {
namespace {

using test::Sjis;
using test::SjisLines;

class SoilTablesTest : public ::testing::Test, public test::PatternFolderFixture {};

TEST_F(SoilTablesTest, NewUserCodeFollowsTheLastLineBelow4000BeforeTheInsertionPoint) {
  struct Case {
    std::vector<std::string_view> table;
    const char* code;
    std::size_t insert_at;  // line index of the new record
  };
  const Case cases[] = {
      {{"2000,a,,,,", "2005,b,,,,", "9000,c,,,,"}, "2006", 2},
      {{}, "2000", 0},
      {{"4000,a,,,,", "2500,b,,,,"}, "2000", 0},  // lines after the first 4000 are not read
      {{"1000,a,,,,", "1999,b,,,,"}, "2000", 2},
      {{"2100,a,,,,", "", "5000,b,,,,"}, "2000", 2},  // a blank line counts as 0
      {{"2100,a,,,,", "xyz", "2200,b,,,,"}, "2201", 3},
      {{"3998,a,,,,"}, "3999", 1},
      {{"21,a,,,,"}, "2000", 1},  // only the first four characters are the code
  };
  for (const Case& c : cases) {
    WriteTable("XKISHITU.TXT", c.table);
    const SoilRecord record = AddUserSoilRecord(patdat, u"新しい土", u"t");
    EXPECT_EQ(record[0], test::Utf16(c.code));
    std::vector<std::string_view> expected = c.table;
    const std::string line = std::string(c.code) + ",新しい土,t,t,    ,0000";
    expected.insert(expected.begin() + static_cast<std::ptrdiff_t>(c.insert_at), line);
    EXPECT_EQ(TableBytes("XKISHITU.TXT"), SjisLines(expected)) << c.code;
    EXPECT_FALSE(std::filesystem::exists(Table("XKISHITU.TMP")));
  }
}

TEST_F(SoilTablesTest, UsedUpUserCodesStopWithBothTablesUntouched) {
  WriteTable("XKISHITU.TXT", {"2000,a,,,,", "3999,z,,,,", "9000,end,,,,"});
  const std::string before = TableBytes("XKISHITU.TXT");
  EXPECT_THROW(AddUserSoilRecord(patdat, u"新しい土", u""), common::Failure);
  EXPECT_EQ(TableBytes("XKISHITU.TXT"), before);
  EXPECT_FALSE(std::filesystem::exists(Table("XKISHITU.TMP")));
}

TEST_F(SoilTablesTest, CopiedLinesKeepTheirBytes) {
  // 0xED40 reads as U+7E8A, which CP932 writes as 0xFA5C: a decode and encode would change
  // it. A lone LF line end becomes CR LF, the line itself stays.
  const std::string odd = std::string("2001,") + "\xED\x40" + ",,,,\n2002,x,,,,\r\n";
  test::WriteBytes(Table("XKISHITU.TXT"), odd + "9000,end\r\n");
  AddUserSoilRecord(patdat, u"土", u"");
  EXPECT_EQ(TableBytes("XKISHITU.TXT"), std::string("2001,") + "\xED\x40" +
                                            ",,,,\r\n2002,x,,,,\r\n" +
                                            Sjis("2003,土,,,    ,0000\r\n") + "9000,end\r\n");
}

TEST_F(SoilTablesTest, TablesAreFoundWhateverTheLetterCaseOfTheirNames) {
  WriteTable("kishitu.txt", {"5012,粘土,,,,"});
  WriteTable("xkishitu.TXT", {"2000,a,,,,"});
  EXPECT_TRUE(FindSoilRecordInAnyRange(patdat, kSoilTable, u"粘土"));
  AddUserSoilRecord(patdat, u"b", u"");
  EXPECT_EQ(TableBytes("xkishitu.TXT"), SjisLines({"2000,a,,,,", "2001,b,,,    ,0000"}));
  AppendSoilRecord(patdat, {u"2001", u"b", u"", u"", u"    ", u"0000"});
  EXPECT_EQ(TableBytes("kishitu.txt"), SjisLines({"5012,粘土,,,,", "2001,b,,,    ,0000"}));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Table("")),
                          std::filesystem::directory_iterator()),
            2);
}

TEST_F(SoilTablesTest, FindSoilRecordSearchesOneRange) {
  WriteTable("KISHITU.TXT", {"2010,砂,,,,", "5010,砂,,,,", "310,砂（細）,x,,,"});
  EXPECT_EQ((*FindSoilRecord(patdat, kSoilTable, u"砂", SearchRange::k1000To3999))[0], u"2010");
  const std::optional<SoilRecord> third =
      FindSoilRecord(patdat, kSoilTable, u"砂", SearchRange::k1To999);
  ASSERT_TRUE(third);
  EXPECT_EQ((*third)[1], u"砂");
  EXPECT_FALSE(FindSoilRecord(patdat, kSoilTable, u"礫", SearchRange::k5000To5499));
}

TEST_F(SoilTablesTest, PrepareSoilTableCreatesAnEmptyTableAndKeepsAnExistingOne) {
  std::filesystem::create_directories(Table(""));
  PrepareSoilTable(patdat);
  EXPECT_EQ(TableBytes("KISHITU.TXT"), "");
  test::WriteBytes(Table("KISHITU.TXT"), "5012,a,,,,");  // no final line end
  PrepareSoilTable(patdat);
  EXPECT_EQ(TableBytes("KISHITU.TXT"), "5012,a,,,,");
}

}  // namespace
}  // namespace m2v::coding
