#include "cli/batch_command.h"

#include <filesystem>
#include <sstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "cli/cli.h"
#include "support/pattern_folder.h"
#include "test_paths.h"

namespace m2v::cli {
namespace {

namespace fs = std::filesystem;
using test::SjisLines;
using ::testing::HasSubstr;

// Two layers, one of them a name the tables lack, and one penetration test.
const std::vector<std::string_view> kSurveyA = {"$A 2", "1.00", "泥炭", "", "", "", "",
                                                "2.00", "粘土", "",     "", "", "", "$C 1",
                                                "1.00", "10",   "",     "", "", ""};
// "$A" announces two records and holds one.
const std::vector<std::string_view> kMalformed = {"$A 2", "1.00", "粘土", "", "", "", ""};
// The name survey A teaches the tables.
const std::vector<std::string_view> kSurveyC = {"$A 1", "1.00", "泥炭", "", "", "", ""};

constexpr char kPastEnd[] =
    "変換元ファイルの $A セクション（1 行目）は 2 件（12 行）を予告していますが、"
    "ファイルがその前に終わっています。";

class BatchCommandTest : public ::testing::Test, public test::PatternFolderFixture {
 protected:
  BatchCommandTest() {
    fs::copy(fs::path(M2V_TEST_DATA_DIR) / "runs" / "full_run" / "patdat", Host("PATDAT"));
    test::WriteBytes(Host("IN/A.ddf"), SjisLines(kSurveyA));
    test::WriteBytes(Host("IN/B.ddf"), SjisLines(kMalformed));
    test::WriteBytes(Host("IN/C.ddf"), SjisLines(kSurveyC));
  }

  int Batch(const std::vector<std::string>& args) {
    out_.str("");
    err_.str("");
    return RunBatch(args, out_, err_);
  }

  std::ostringstream out_;
  std::ostringstream err_;
};

TEST_F(BatchCommandTest, ConvertsEachSurveyInOrderAndGoesOnAfterARefusal) {
  EXPECT_EQ(Batch({"--into", "D:\\OUT", "--patdat", "D:\\PATDAT", "D:\\IN\\A.ddf", "D:\\IN\\B.ddf",
                   "D:\\IN\\C.ddf"}),
            kExitRefused)
      << err_.str();
  EXPECT_EQ(out_.str(), std::string("[1/3] 変換完了: D:\\IN\\A.ddf -> D:\\OUT\\A\\\n"
                                    "D:\\OUT\\A\\X1.TXT\n"
                                    "D:\\OUT\\A\\X3.TXT\n"
                                    "D:\\OUT\\A\\X5.TXT\n"
                                    "土質名を学習: 2006 泥炭（新しいユーザーコード）\n"
                                    "[2/3] 中止: D:\\IN\\B.ddf -> D:\\OUT\\B\\: ") +
                            kPastEnd +
                            "\n"
                            "[3/3] 変換完了: D:\\IN\\C.ddf -> D:\\OUT\\C\\\n"
                            "D:\\OUT\\C\\X1.TXT\n"
                            "D:\\OUT\\C\\X3.TXT\n"
                            "\n"
                            "変換完了 2 件、中止 1 件、失敗 0 件\n"
                            "  変換完了: D:\\IN\\A.ddf -> D:\\OUT\\A\\\n"
                            "  中止: D:\\IN\\B.ddf -> D:\\OUT\\B\\: " +
                            kPastEnd +
                            "\n"
                            "  変換完了: D:\\IN\\C.ddf -> D:\\OUT\\C\\\n");
  // C found the code A gave out: the surveys share the tables, one after another.
  EXPECT_EQ(test::ReadBytes(Host("OUT/C/X1.TXT")), test::Sjis("  1,   1.00,2006,泥炭\r\n"));
  EXPECT_TRUE(fs::exists(Host("OUT/A/X5.TXT")));
  EXPECT_FALSE(fs::exists(Host("OUT/B")));
}

TEST_F(BatchCommandTest, RefusesFolderNamesTheDestinationCheckRefusesAndSaysWhy) {
  test::WriteBytes(Host("IN/MY HOLE.ddf"), SjisLines(kSurveyC));
  test::WriteBytes(Host("IN/HOLE.1234.ddf"), SjisLines(kSurveyC));
  test::WriteBytes(Host("IN/sub/a.ddf"), SjisLines(kSurveyC));
  test::WriteBytes(Host("IN/..ddf"), SjisLines(kSurveyC));  // would write into D:\OUT itself
  fs::remove(Table("L1.TXT"));
  std::vector<std::string_view> header(34, "h");
  header[0] = "$Z 33";
  test::WriteBytes(Host("IN/Z.ddf"), SjisLines(header));  // needs L1.TXT: fails
  EXPECT_EQ(Batch({"--patdat", "D:\\PATDAT", "--into", "D:\\OUT", "D:\\IN\\A.ddf",
                   "D:\\IN\\MY HOLE.ddf", "D:\\IN\\HOLE.1234.ddf", "D:\\IN\\sub\\a.ddf",
                   "D:\\IN\\none.ddf", "D:\\IN\\Z.ddf", "D:\\IN\\..ddf"}),
            kExitFailed);
  const std::string out = out_.str();
  const std::string summary = out.substr(out.find("\n\n") + 2);
  EXPECT_THAT(summary, HasSubstr("変換完了 1 件、中止 5 件、失敗 1 件\n"));
  EXPECT_THAT(summary, HasSubstr("中止: D:\\IN\\..ddf -> D:\\OUT\\.\\: フォルダ名「.」は"
                                 "変換先フォルダの名前にできません"));
  EXPECT_FALSE(fs::exists(Host("OUT/CNT.TXT")));
  EXPECT_THAT(summary, HasSubstr("中止: D:\\IN\\MY HOLE.ddf -> D:\\OUT\\MY HOLE\\: フォルダ名「MY "
                                 "HOLE」は変換先フォルダの名前にできません"));
  EXPECT_THAT(summary, HasSubstr("中止: D:\\IN\\HOLE.1234.ddf -> D:\\OUT\\HOLE.1234\\: "
                                 "フォルダ名「HOLE.1234」は変換先フォルダの名前にできません"));
  EXPECT_THAT(summary, HasSubstr("中止: D:\\IN\\sub\\a.ddf -> D:\\OUT\\a\\: フォルダ名「a」"
                                 "の調査がこのバッチで先に変換されています。"));
  EXPECT_THAT(summary, HasSubstr("中止: D:\\IN\\none.ddf -> D:\\OUT\\none\\: "
                                 "変換元ファイルが選択されていません。"));
  EXPECT_THAT(summary, HasSubstr("失敗: D:\\IN\\Z.ddf -> D:\\OUT\\Z\\: D:\\PATDAT\\L1.TXT "));
  EXPECT_FALSE(fs::exists(Host("OUT/MY HOLE")));
  EXPECT_FALSE(fs::exists(Host("OUT/HOLE.1234")));
  EXPECT_TRUE(fs::is_directory(Host("OUT/Z")));  // it failed after the checks
}

TEST_F(BatchCommandTest, UsageAndADestinationRootTheCheckRefuses) {
  struct Case {
    std::vector<std::string> args;
    int status;
    const char* err;
  };
  const Case cases[] = {
      {{"--patdat", "D:\\PATDAT", "D:\\IN\\A.ddf"}, kExitUsage, "--into"},
      {{"--into", "D:\\OUT", "--patdat", "D:\\PATDAT"}, kExitUsage, "--into"},
      {{"--into"}, kExitUsage, "--into には値を指定してください。"},
      {{"--yes", "--into", "D:\\OUT", "D:\\IN\\A.ddf"}, kExitUsage, "不明なオプション: --yes"},
      {{"--into", "D:\\A B", "--patdat", "D:\\PATDAT", "D:\\IN\\A.ddf"},
       kExitRefused,
       "[D:\\A B] 指定されたパスは正しくありません。"},
      {{"--into", "OUT", "--patdat", "D:\\PATDAT", "D:\\IN\\A.ddf"},
       kExitRefused,
       "規定値のドライブ名が正しくありません。"},
      {{"--into", "D:\\OUT", "--patdat", "D:\\NONE", "D:\\IN\\A.ddf"},
       kExitRefused,
       "パターンフォルダ D:\\NONE がありません。"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Batch(c.args), c.status) << c.err;
    EXPECT_THAT(err_.str(), HasSubstr(c.err));
  }
  EXPECT_FALSE(fs::exists(Host("OUT")));

  std::istringstream in;
  EXPECT_EQ(RunCli({"batch", "--into", "D:\\OUT", "--patdat", "D:\\PATDAT", "D:\\IN\\A.ddf"}, in,
                   out_, err_, false),
            kExitConverted);
  EXPECT_TRUE(fs::exists(Host("OUT/A/X1.TXT")));
}

}  // namespace
}  // namespace m2v::cli
