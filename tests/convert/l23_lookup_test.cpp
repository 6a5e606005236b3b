#include "convert/l23_lookup.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "common/file_cache.h"
#include "support/file_bytes.h"
#include "support/temp_dir.h"
#include "text/failure.h"

namespace m2v::convert {
namespace {

namespace fs = std::filesystem;

class L23LookupTest : public ::testing::Test {
 protected:
  L23LookupTest() : drives_(dir_ / "sys") {
    drives_.MapDrive('D', dir_ / "d");
    patdat_ = drives_.Root('D') + u"PATDAT\\";
  }
  void Table(const std::vector<std::string_view>& lines) {
    test::WriteBytes(dir_ / "d" / "PATDAT" / "L23.txt", test::SjisLines(lines));
  }
  test::TempDir dir_;
  test::DriveTable drives_;
  std::u16string patdat_;
};

TEST_F(L23LookupTest, FindsFieldOneOfTheFirstRecordWhoseFieldThreeMatches) {
  Table({"12,x,砂礫,y", "A1,x,Abc,y", "B2,x,Abc,y", "C3,粘土,z,粘土", "D4,x,\"ガス,管\",y",
         "E5,x,ｶﾞﾗ,y", "F6,x,すな,y", "G7,x, 礫 ,y"});
  const std::pair<std::u16string, std::u16string> cases[] = {
      {u"砂礫", u"12"},   {u"ABC", u"A1"},  // letter case
      {u"ａｂｃ", u"A1"},                   // width
      {u"粘土", u"  "},                     // fields 2 and 4 are not compared
      {u"C3", u"  "},     {u"ガス,管", u"D4"},
      {u"ガラ", u"E5"},  // half-width katakana with its voiced mark
      {u"スナ", u"F6"},  // hiragana and katakana
      {u"礫", u"G7"},    // blanks around an unquoted field are not part of it
      {u" 礫", u"  "},   // the key is not trimmed
      {u"", u"  "},
  };
  for (const auto& [key, code] : cases) EXPECT_EQ(LookupL23(patdat_, key), code);
}

TEST_F(L23LookupTest, MissingOrEmptyTableGivesTwoBlanks) {
  EXPECT_EQ(LookupL23(patdat_, u"砂"), u"  ");
  Table({});
  EXPECT_EQ(LookupL23(patdat_, u"砂"), u"  ");
}

TEST_F(L23LookupTest, TableEndingInsideARecordIsAFailureUnlessTheKeyIsFoundFirst) {
  Table({"1,a,砂,b", "2,c"});
  EXPECT_EQ(LookupL23(patdat_, u"砂"), u"1");
  EXPECT_THROW(LookupL23(patdat_, u"礫"), text::Failure);
}

TEST_F(L23LookupTest, InsideARunTheKeptTableAnswersAsTheFileDoesNow) {
  common::FileCacheScope scope;
  Table({"1,a,砂,b", "2,c,ｶﾞﾗ,d", "3,e,砂,f", "4,g"});
  EXPECT_EQ(LookupL23(patdat_, u"砂"), u"1");
  EXPECT_EQ(LookupL23(patdat_, u"がら"), u"2");
  EXPECT_THROW(LookupL23(patdat_, u"礫"), text::Failure);

  Table({"5,a,礫,b", "6,c,砂,d"});
  EXPECT_EQ(LookupL23(patdat_, u"礫"), u"5");
  EXPECT_EQ(LookupL23(patdat_, u"砂"), u"6");
  EXPECT_EQ(LookupL23(patdat_, u"がら"), u"  ");

  Table({});
  EXPECT_EQ(LookupL23(patdat_, u"砂"), u"  ");
  fs::remove(dir_ / "d" / "PATDAT" / "L23.txt");
  EXPECT_EQ(LookupL23(patdat_, u"砂"), u"  ");
  test::WriteBytes(dir_ / "d" / "PATDAT" / "L23.txt", "7,a,\x82,b\r\n");
  EXPECT_THROW(LookupL23(patdat_, u"砂"), text::Failure);
}

TEST(L23CompareTest, IsBlindToCaseWidthAndKanaOnly) {
  EXPECT_TRUE(TextEqualsIgnoringCaseWidthKana(u"ｱｲｳﾊﾟｰ", u"アイウパー"));
  EXPECT_TRUE(TextEqualsIgnoringCaseWidthKana(u"ぱいぷ", u"ﾊﾟｲﾌﾟ"));
  EXPECT_TRUE(TextEqualsIgnoringCaseWidthKana(u"Ｎｏ．１", u"no.1"));
  EXPECT_FALSE(TextEqualsIgnoringCaseWidthKana(u"ハ", u"パ"));
  EXPECT_FALSE(TextEqualsIgnoringCaseWidthKana(u"砂", u"沙"));
  EXPECT_FALSE(TextEqualsIgnoringCaseWidthKana(u"AB", u"ABC"));
}

}  // namespace
}  // namespace m2v::convert
