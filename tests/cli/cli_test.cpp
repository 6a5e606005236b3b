#include "cli/cli.h"

#include <filesystem>
#include <sstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "common/version.h"
#include "platform/platform.h"
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
       "パターンフォルダ D:\\NONE がありません。"},
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

// "--" ends the options: a survey whose name begins with "-" is named after it.
TEST_F(CliTest, EveryCommandTakesANameBeginningWithADashAfterTheEndOfOptions) {
  fs::copy_file(Host("IN/source.ddf"), Host("IN/-x.ddf"));
  ASSERT_TRUE(platform::SetCurrentFolder(u"D:\\IN"));
  const std::string size = std::to_string(fs::file_size(Host("IN/-x.ddf")));

  EXPECT_EQ(Cli({"check", "--patdat", "D:\\PATDAT", "-x.ddf"}), kExitUsage);
  EXPECT_THAT(err_.str(), HasSubstr("不明なオプション: -x.ddf\n"));
  EXPECT_EQ(Cli({"check", "--patdat", "D:\\PATDAT", "--", "-x.ddf"}), kExitConverted) << err_.str();
  EXPECT_TRUE(out_.str().starts_with("-x.ddf: " + size + " バイト"));

  EXPECT_EQ(Cli({"--patdat", "D:\\PATDAT", "--yes", "--", "-x.ddf", "D:\\OUT\\H"}), kExitConverted)
      << err_.str();
  EXPECT_TRUE(fs::exists(Host("OUT/H/X1.TXT")));
  EXPECT_EQ(Cli({"batch", "--into", "D:\\B", "--patdat", "D:\\PATDAT", "--", "-x.ddf"}),
            kExitConverted)
      << err_.str();
  EXPECT_TRUE(fs::exists(Host("B/-x/X1.TXT")));
  // Before "--" became the end, it was taken as the source and "-x.ddf" as the destination.
  EXPECT_EQ(Cli({"--patdat", "D:\\PATDAT", "--", "-x.ddf"}), kExitUsage);
  EXPECT_THAT(err_.str(), HasSubstr("使い方"));
}

TEST_F(CliTest, AMissingPatternFolderIsNamedAsTypedUnlessTheSettingGaveIt) {
  const std::string host = (dir_.path() / "d" / "NOPE").string();
  const std::string no_setting = " PATDAT の設定がありません.\n";
  struct Case {
    std::vector<std::string> args;
    std::string err;
  };
  const Case cases[] = {
      {{"--patdat", "D:\\NOPE\\", "--yes", "D:\\IN\\source.ddf", "D:\\OUT"},
       "パターンフォルダ D:\\NOPE\\ がありません。\n"},
      {{"check", "--patdat", host, "D:\\IN\\source.ddf"},
       "パターンフォルダ " + host + " がありません。\n"},
      {{"check", "--tables", "--patdat", "D:\\PATDAT\\L1.TXT\\x"},
       "パターンフォルダ D:\\PATDAT\\L1.TXT\\x がありません。\n"},
      {{"batch", "--into", "D:\\OUT", "--patdat", "D:\\NO\x1B[2J", "D:\\IN\\source.ddf"},
       "パターンフォルダ D:\\NO\\x1B[2J がありません。\n"},
      {{"--patdat", "", "--yes", "D:\\IN\\source.ddf", "D:\\OUT"}, no_setting},
      // The setting names a folder that is not there: the window's words, which point at it.
      {{"--yes", "D:\\IN\\source.ddf", "D:\\OUT"}, no_setting},
      {{"check", "D:\\IN\\source.ddf"}, no_setting},
      {{"batch", "--into", "D:\\OUT", "D:\\IN\\source.ddf"}, no_setting},
  };
  test::WriteBytes(dir_.path() / "sys" / "PatdatV5.ini", "x\r\nD:\\NOPE\\\r\n");
  for (const Case& c : cases) {
    EXPECT_EQ(Cli(c.args), kExitRefused) << c.err;
    EXPECT_EQ(err_.str(), c.err);
    EXPECT_EQ(out_.str(), "");
  }
  EXPECT_FALSE(fs::exists(Host("OUT")));
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
