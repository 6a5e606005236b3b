#include "convert/header_step.h"

#include <gtest/gtest.h>

#include "support/pattern_folder.h"
#include "text/failure.h"

namespace m2v::convert {
namespace {

Survey ReadSurvey(const std::u16string& path) {
  return Survey::FromBytes(path, common::ReadFileBytes(path));
}

TEST(YearTextTest, CountsEraYearsFromTheirStart) {
  const std::pair<std::u16string, std::u16string> cases[] = {
      {u"63", u" 1988"},    {u"3", u" 1991"},   {u"41", u" 1966"},  {u"40", u" 2028"},
      {u"65", u" 2053"},    {u"64", u" 1989"},  {u"2", u" 1990"},   {u"0", u" 1988"},
      {u"", u" 1988"},      {u"abc", u" 1988"}, {u" 5 ", u" 1993"}, {u"-2000", u"-12"},
      {u"2.5", u" 1990.5"},
  };
  for (const auto& [field, year] : cases) EXPECT_EQ(YearText(field), year);
}

class CodeTableTest : public ::testing::Test, public test::PatternFolderFixture {};

TEST_F(CodeTableTest, L1FindsTheRegionNarrowedUpperCasedAndTrimmed) {
  WriteTable("L1.TXT", {"13,TOKYO", "22,ｼｽﾞｵｶ", "27,\"OSAKA\"", "99,tokyo", "01,A B"});
  const std::pair<std::u16string, std::u16string> cases[] = {
      {u"ＴＯＫＹＯ", u"13"}, {u"tokyo", u"13"},    {u"  Tokyo  ", u"13"},
      {u"シズオカ", u"22"},   {u"ｓｈｉｚｕ", u""}, {u"osaka", u"27"},
      {u"ａ ｂ", u""},        {u"A B", u"01"},      {u"京都", u""},
  };
  for (const auto& [region, code] : cases) EXPECT_EQ(LookupL1(patdat, region), code);
}

TEST_F(CodeTableTest, L4KeepsUpToFiftyRowsInFileOrder) {
  WriteTable("L4.TXT", {"21,暗", " 5 , 灰 ", "\"8\",褐"});
  const convert::CodeTable table = LoadL4Table(patdat);
  EXPECT_EQ(table.codes, (std::vector<std::u16string>{u"21", u"5", u"8"}));
  EXPECT_EQ(table.names, (std::vector<std::u16string>{u"暗", u"灰", u"褐"}));

  WriteTable("L4.TXT", {});
  EXPECT_EQ(LoadL4Table(patdat).size(), 0u);

  std::vector<std::string> rows(50, "1,x");
  WriteTable("L4.TXT", {rows.begin(), rows.end()});
  EXPECT_EQ(LoadL4Table(patdat).size(), 50u);
  rows.push_back("2,y");
  WriteTable("L4.TXT", {rows.begin(), rows.end()});
  EXPECT_THROW(LoadL4Table(patdat), text::Failure);
}

TEST_F(CodeTableTest, HeaderFieldsGoToTheirTitleLines) {
  std::vector<std::string> lines = {"$Z 33   "};
  for (int i = 1; i <= 33; ++i) lines.push_back(" f" + std::to_string(i) + " ");
  lines[4] = "63";
  lines[7] = "3";
  lines[10] = "ＴＯＫＹＯ";
  lines[11] = "++1";
  test::WriteBytes(Host("IN/s.ddf"), test::SjisLines({lines.begin(), lines.end()}));
  WriteTable("L1.TXT", {"13,TOKYO"});
  std::filesystem::create_directories(Host("OUT"));
  ASSERT_TRUE(HeaderStep(ReadSurvey(At(u"IN\\s.ddf")), At(u"OUT\\"), patdat));
  EXPECT_EQ(test::ReadBytes(Host("OUT/Titl01.txt")),
            test::SjisLines({"f1", "", "", "1988", "f5", "f6",  "1991", "f8", "f9",  "f2", "", "",
                             "",   "", "", "",     "",   "f31", "",     "",   "f14", "",   ""}));
  std::vector<std::string_view> second(41, "");
  second[16] = "13";
  second[17] = "ＴＯＫＹＯ";
  second[18] = "+1";
  second[19] = "f33";
  second[22] = "f13";
  EXPECT_EQ(test::ReadBytes(Host("OUT/Titl02.txt")), test::SjisLines(second));
  EXPECT_EQ(TableBytes("KISHITU.TXT"), "");  // prepared
}

TEST_F(CodeTableTest, NoHeaderMeansNoHeaderFilesAndNoSoilTable) {
  test::WriteBytes(Host("IN/s.ddf"), test::SjisLines({"$C 1", "1", "2", "", "", "", ""}));
  std::filesystem::create_directories(Host("OUT"));
  std::filesystem::create_directories(Table(""));
  EXPECT_FALSE(HeaderStep(ReadSurvey(At(u"IN\\s.ddf")), At(u"OUT\\"), patdat));
  EXPECT_TRUE(std::filesystem::is_empty(Host("OUT")));
  EXPECT_FALSE(std::filesystem::exists(Table("KISHITU.TXT")));
}

}  // namespace
}  // namespace m2v::convert
