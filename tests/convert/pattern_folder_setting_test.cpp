#include "convert/pattern_folder_setting.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "support/file_bytes.h"
#include "support/temp_dir.h"

namespace m2v::convert {
namespace {

namespace fs = std::filesystem;

class PatternFolderSettingTest : public ::testing::Test {
 protected:
  PatternFolderSettingTest() : drives_(dir_ / "sys") { drives_.MapDrive('D', dir_ / "d"); }
  fs::path Ini() const { return dir_ / "sys" / "PatdatV5.ini"; }
  test::TempDir dir_;
  test::DriveTable drives_;
};

TEST_F(PatternFolderSettingTest, ReadsTheFirstFieldOfLineTwo) {
  const std::pair<std::string, std::u16string> cases[] = {
      {"D:\\OTHER\\\r\nD:\\PATDAT\\\r\n", u"D:\\PATDAT\\"},
      {"x\r\n   D:\\PAT DAT\\   \r\nignored\r\n", u"D:\\PAT DAT\\"},
      {"x\r\n\"D:\\A,B\\\",rest\r\n", u"D:\\A,B\\"},
      {"x\r\nD:\\PATDAT\\,rest", u"D:\\PATDAT\\"},
      {"x\nD:\\LF\\\n", u"D:\\LF\\"},
      {"x\r\n", u""},  // one line: no setting
      {"x\r\n\r\n", u""},
  };
  for (const auto& [bytes, folder] : cases) {
    test::WriteBytes(Ini(), bytes);
    EXPECT_EQ(ReadPatternFolder(), folder);
    EXPECT_TRUE(fs::exists(Ini()));
  }
  test::WriteBytes(Ini(), test::Sjis("x\r\nD:\\現場データ\\\r\n"));
  EXPECT_EQ(ReadPatternFolder(), u"D:\\現場データ\\");
}

TEST_F(PatternFolderSettingTest, MissingFileStaysMissingAndAnEmptyOneIsRemoved) {
  EXPECT_EQ(ReadPatternFolder(), u"");
  EXPECT_FALSE(fs::exists(Ini()));
  test::WriteBytes(Ini(), "");
  EXPECT_EQ(ReadPatternFolder(), u"");
  EXPECT_FALSE(fs::exists(Ini()));
}

TEST_F(PatternFolderSettingTest, StartUpCheckDropsTheLastCharacter) {
  fs::create_directories(dir_ / "d" / "PATDAT");
  EXPECT_TRUE(PatternFolderExists(u"D:\\PATDAT\\"));
  EXPECT_TRUE(PatternFolderExists(u"D:\\patdat\\"));
  EXPECT_FALSE(PatternFolderExists(u"D:\\PATDAT"));  // without "\" the name loses its "T"
  EXPECT_FALSE(PatternFolderExists(u"D:\\NONE\\"));
  EXPECT_FALSE(PatternFolderExists(u""));
}

}  // namespace
}  // namespace m2v::convert
