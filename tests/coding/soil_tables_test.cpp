#include "coding/soil_tables.h"

#include <chrono>
#include <filesystem>
#include <thread>

#include <gtest/gtest.h>

#include "common/file_cache.h"
#include "platform/platform.h"
#include "support/pattern_folder.h"
#include "support/scoped_env.h"
#include "text/failure.h"

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
  EXPECT_THROW(AddUserSoilRecord(patdat, u"新しい土", u""), text::Failure);
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

// A user who never ran the program has no system directory yet; the marker makes it. Where
// no folder can hold the marker the append is reported, not passed over.
TEST(SoilTableMarker, MakesItsFolderAndReportsWhereNoneCanHoldIt) {
  test::TempDir tmp;
  const test::ScopedEnv sysdir("MIRTA2VESK_SYSDIR", (tmp / "home" / "cfg").string().c_str());
  std::filesystem::create_directories(tmp / "PATDAT");
  const std::optional<std::u16string> patdat = platform::ToDrivePath(tmp / "PATDAT");
  ASSERT_TRUE(patdat.has_value());
  const SoilRecord record = {u"2000", u"粘土", u"", u"", u"    ", u"0000"};

  AppendSoilRecord(*patdat + u"\\", record);
  EXPECT_TRUE(std::filesystem::exists(tmp / "home" / "cfg" / "PATADD.txt"));

  test::WriteBytes(tmp / "home" / "file", "");
  const test::ScopedEnv blocked("MIRTA2VESK_SYSDIR",
                                (tmp / "home" / "file" / "cfg").string().c_str());
  try {
    AppendSoilRecord(*patdat + u"\\", record);
    ADD_FAILURE() << "no failure";
  } catch (const text::Failure& failure) {
    EXPECT_NE(failure.message().find(u"PATADD.txt\nファイルを作成できません。"),
              std::u16string::npos);
  }
  EXPECT_EQ(test::ReadBytes(tmp / "PATDAT" / "KISHITU.TXT"),
            SjisLines({"2000,粘土,,,    ,0000", "2000,粘土,,,    ,0000"}));
}

// Inside a run the tables are kept in memory; they must answer as the files do now.
class KeptSoilTablesTest : public SoilTablesTest {
 protected:
  std::u16string CodeOf(std::u16string_view name, std::u16string_view table = kSoilTable) {
    const std::optional<SoilRecord> record = FindSoilRecordInAnyRange(patdat, table, name);
    return record ? (*record)[0] : u"none";
  }
  // Another program writes the table (same size, same modification time) once the file
  // system's clock has moved on from the last write, as any later edit would.
  void RewriteKeepingSizeAndTime(std::string_view name,
                                 const std::vector<std::string_view>& lines) {
    const std::filesystem::file_time_type modified = std::filesystem::last_write_time(Table(name));
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    const std::string before = TableBytes(name);
    WriteTable(name, lines);
    ASSERT_EQ(TableBytes(name).size(), before.size());
    std::filesystem::last_write_time(Table(name), modified);
  }

  common::FileCacheScope scope_;
};

TEST_F(KeptSoilTablesTest, AChangeByAnotherProgramIsSeenByTheNextLookUp) {
  WriteTable("KISHITU.TXT", {"5012,粘土,,,,", "0310,砂,,,,"});
  // Old enough that its stamp alone is trusted.
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
  EXPECT_EQ(CodeOf(u"粘土"), u"5012");
  EXPECT_EQ(CodeOf(u"礫"), u"none");

  RewriteKeepingSizeAndTime("KISHITU.TXT", {"5013,粘土,,,,", "0310,礫,,,,"});
  EXPECT_EQ(CodeOf(u"粘土"), u"5013");
  EXPECT_EQ(CodeOf(u"礫"), u"0310");

  test::WriteBytes(Table("KISHITU.TXT"), TableBytes("KISHITU.TXT") + Sjis("5020,砂,,,,\r\n"));
  EXPECT_EQ(CodeOf(u"砂"), u"5020");

  // Replaced through another file of the same size, as editors save.
  WriteTable("KISHITU.NEW", {"5099,砂,,,,", "0310,礫,,,,", "5020,粘,,,,"});
  std::filesystem::rename(Table("KISHITU.NEW"), Table("KISHITU.TXT"));
  EXPECT_EQ(CodeOf(u"砂"), u"5099");
  EXPECT_EQ(CodeOf(u"粘土"), u"none");

  std::filesystem::remove(Table("KISHITU.TXT"));
  EXPECT_EQ(CodeOf(u"砂"), u"none");
}

TEST_F(KeptSoilTablesTest, LinesAppendedByAnotherProgramBetweenOursAreKept) {
  WriteTable("KISHITU.TXT", {"5012,粘土,,,,"});
  EXPECT_EQ(CodeOf(u"a"), u"none");
  AppendSoilRecord(patdat, {u"2001", u"a", u"", u"", u"    ", u"0000"});
  EXPECT_EQ(CodeOf(u"a"), u"2001");
  test::WriteBytes(Table("KISHITU.TXT"), TableBytes("KISHITU.TXT") + Sjis("2002,b,,,,\r\n"));
  AppendSoilRecord(patdat, {u"2003", u"c", u"", u"", u"    ", u"0000"});
  EXPECT_EQ(CodeOf(u"b"), u"2002");
  EXPECT_EQ(CodeOf(u"c"), u"2003");
  EXPECT_EQ(TableBytes("KISHITU.TXT"),
            SjisLines({"5012,粘土,,,,", "2001,a,,,    ,0000", "2002,b,,,,", "2003,c,,,    ,0000"}));
}

TEST_F(KeptSoilTablesTest, TheUserTableAsAnotherProgramLeftItGetsTheNextCode) {
  WriteTable("XKISHITU.TXT", {"2000,a,,,,", "9000,end,,,,"});
  EXPECT_EQ(AddUserSoilRecord(patdat, u"b", u"")[0], u"2001");
  EXPECT_EQ(CodeOf(u"b", kUserSoilTable), u"2001");
  WriteTable("XKISHITU.TXT", {"2000,a,,,,", "2001,b,,,    ,0000", "2500,x,,,,", "9000,end,,,,"});
  EXPECT_EQ(AddUserSoilRecord(patdat, u"c", u"")[0], u"2501");
  EXPECT_EQ(CodeOf(u"x", kUserSoilTable), u"2500");
  EXPECT_EQ(CodeOf(u"c", kUserSoilTable), u"2501");
  EXPECT_EQ(TableBytes("XKISHITU.TXT"), SjisLines({"2000,a,,,,", "2001,b,,,    ,0000", "2500,x,,,,",
                                                   "2501,c,,,    ,0000", "9000,end,,,,"}));
}

TEST_F(KeptSoilTablesTest, RecordsInsertedByTheRunAreFoundInFileOrder) {
  // Lines after the first of 4000 or more keep their place whatever their value, so a record
  // the run inserts can come before an older one of its name: the first in the file wins.
  // ("礫（粗）" is searched for under "礫".) LF line ends, which the first rewrite turns into
  // CR LF, and a trailing blank line.
  test::WriteBytes(Table("XKISHITU.TXT"),
                   Sjis("1400,a,,,,\n4000,x,,,,\n1500,砂,,,,\n2100,礫,,,,\n  \n"));
  EXPECT_EQ(CodeOf(u"礫", kUserSoilTable), u"2100");
  EXPECT_EQ(AddUserSoilRecord(patdat, u"礫（粗）", u"")[0], u"2000");
  EXPECT_EQ(CodeOf(u"礫", kUserSoilTable), u"2000");
  EXPECT_EQ(CodeOf(u"砂", kUserSoilTable), u"1500");
  EXPECT_EQ(AddUserSoilRecord(patdat, u"砂（細）", u"")[0], u"2001");
  EXPECT_EQ(CodeOf(u"砂", kUserSoilTable), u"2001");
  EXPECT_EQ(CodeOf(u"礫", kUserSoilTable), u"2000");
  EXPECT_EQ(TableBytes("XKISHITU.TXT"),
            Sjis("1400,a,,,,\r\n2000,礫（粗）,,,    ,0000\r\n2001,砂（細）,,,    ,0000\r\n"
                 "4000,x,,,,\r\n1500,砂,,,,\r\n2100,礫,,,,\r\n  \r\n"));
}

}  // namespace
}  // namespace m2v::coding
