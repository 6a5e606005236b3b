#include "cli/cli.h"

#include <filesystem>
#include <sstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "common/version.h"
#include "support/pattern_folder.h"
#include "test_paths.h"

namespace m2v::cli {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

class CliTest : public ::testing::Test, public test::PatternFolderFixture {
 protected:
  CliTest() {
    const fs::path data = fs::path(M2V_TEST_DATA_DIR) / "runs" / "full_run";
    fs::create_directories(Host("IN"));
    fs::copy_file(data / "source.ddf", Host("IN/source.ddf"));
    fs::copy(data / "patdat", Host("PATDAT"));
  }

  int Cli(std::vector<std::string> args, bool interactive = false, const std::string& input = "") {
    std::istringstream in(input);
    out_.str("");
    err_.str("");
    return RunCli(args, in, out_, err_, interactive);
  }

  std::ostringstream out_;
  std::ostringstream err_;
};

TEST_F(CliTest, ConvertsAndListsTheFilesWritten) {
  EXPECT_EQ(Cli({"--patdat", "D:\\PATDAT", "--yes", "D:\\IN\\source.ddf", "D:\\OUT\\HOLE1"}),
            kExitConverted);
  EXPECT_THAT(err_.str(), HasSubstr("変換が正常に終了しました。"));
  EXPECT_THAT(out_.str(), HasSubstr("D:\\OUT\\HOLE1\\X6.TXT\n"));
  EXPECT_TRUE(fs::exists(Host("OUT/HOLE1/CNT.TXT")));
}

TEST_F(CliTest, TakesHostPathsWhereDrivePathsAreExpected) {
  const std::string root = (dir_.path() / "d").string();
  EXPECT_EQ(Cli({"--patdat", root + "/PATDAT/", "--yes", root + "/IN/source.ddf", root + "/OUT"}),
            kExitConverted)
      << err_.str();
  EXPECT_TRUE(fs::exists(Host("OUT/X1.TXT")));
}

TEST_F(CliTest, AnswersTheCreateQuestionFromTheTerminalOrRefusesWithoutOne) {
  EXPECT_EQ(Cli({"--patdat", "D:\\PATDAT", "D:\\IN\\source.ddf", "D:\\OUT"}), kExitRefused);
  EXPECT_THAT(err_.str(), HasSubstr("フォルダがありません。新規作成しますか？"));
  EXPECT_FALSE(fs::exists(Host("OUT")));
  EXPECT_EQ(Cli({"--patdat", "D:\\PATDAT", "--no", "D:\\IN\\source.ddf", "D:\\OUT"}), kExitRefused);
  EXPECT_EQ(Cli({"--patdat", "D:\\PATDAT", "D:\\IN\\source.ddf", "D:\\OUT"}, true, "n\n"),
            kExitRefused);
  EXPECT_FALSE(fs::exists(Host("OUT")));
  EXPECT_EQ(Cli({"--patdat", "D:\\PATDAT", "D:\\IN\\source.ddf", "D:\\OUT"}, true, "y\n"),
            kExitConverted);
}

TEST_F(CliTest, ExitStatusSaysWhatHappened) {
  struct Case {
    std::vector<std::string> args;
    int status;
    const char* message;
  };
  const Case cases[] = {
      {{}, kExitUsage, "使い方"},
      {{"--patdat"}, kExitUsage, "--patdat"},
      {{"--bogus", "a", "b"}, kExitUsage, "--bogus"},
      {{"--yes", "--no", "a", "b"}, kExitUsage, "--yes"},
      {{"a"}, kExitUsage, "使い方"},
      {{"--patdat", "D:\\NONE", "D:\\IN\\source.ddf", "D:\\OUT"},
       kExitRefused,
       " PATDAT の設定がありません."},
      {{"a", "b"}, kExitRefused, " PATDAT の設定がありません."},  // no settings file
      {{"--patdat", "D:\\PATDAT", "D:\\IN\\none.ddf", "D:\\OUT"},
       kExitRefused,
       "変換元ファイルが選択されていません。"},
      {{"--patdat", "D:\\PATDAT", "D:\\IN\\source.ddf", "D:\\A B"},
       kExitRefused,
       "指定されたパスは正しくありません。"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Cli(c.args), c.status);
    EXPECT_THAT(err_.str(), HasSubstr(c.message));
  }
  fs::remove(Table("L1.TXT"));
  EXPECT_EQ(Cli({"--patdat", "D:\\PATDAT", "--yes", "D:\\IN\\source.ddf", "D:\\OUT"}), kExitFailed);
  EXPECT_THAT(err_.str(), HasSubstr("L1.TXT"));
}

TEST_F(CliTest, ReadsThePatternFolderFromTheSettingsFile) {
  test::WriteBytes(dir_.path() / "sys" / "PatdatV5.ini", "x\r\nD:\\PATDAT\\\r\n");
  EXPECT_EQ(Cli({"--yes", "D:\\IN\\source.ddf", "D:\\OUT"}), kExitConverted) << err_.str();
}

TEST_F(CliTest, HelpAndVersionGoToStandardOutput) {
  EXPECT_EQ(Cli({"--help"}), kExitConverted);
  EXPECT_THAT(out_.str(), HasSubstr("mirta2vesk-cli [--patdat DIR]"));
  EXPECT_EQ(Cli({"--version"}), kExitConverted);
  EXPECT_THAT(out_.str(), HasSubstr(M2V_VERSION));
}

}  // namespace
}  // namespace m2v::cli
