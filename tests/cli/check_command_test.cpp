#include "cli/check_command.h"

#include <filesystem>
#include <map>
#include <sstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "cli/cli.h"
#include "cli/json_text.h"
#include "common/sha256.h"
#include "support/pattern_folder.h"
#include "test_paths.h"

namespace m2v::cli {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

// A survey with one warning in each of two sections and a soil name the tables lack.
const std::vector<std::string_view> kSurvey = {"$A 2", "123.4567", "泥炭", "", "", "", "",
                                               "2.00", "粘土",     "",     "", "", "", "$C 1",
                                               "1.00", "50/1",     "",     "", "", ""};
// "$A" announces two records and holds one.
const std::vector<std::string_view> kShortSurvey = {"$A 2", "1.00", "粘土", "", "", "", ""};

// Every file under a folder with its bytes.
std::map<std::string, std::string> Snapshot(const fs::path& root) {
  std::map<std::string, std::string> files;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
    if (entry.is_regular_file()) {
      files[fs::relative(entry.path(), root).string()] = test::ReadBytes(entry.path());
    }
  }
  return files;
}

class CheckCommandTest : public ::testing::Test, public test::PatternFolderFixture {
 protected:
  CheckCommandTest() {
    fs::copy(fs::path(M2V_TEST_DATA_DIR) / "runs" / "full_run" / "patdat", Host("PATDAT"));
    test::WriteBytes(Host("IN/S.ddf"), test::SjisLines(kSurvey));
    test::WriteBytes(Host("IN/E.ddf"), test::SjisLines(kShortSurvey));
  }

  int Check(const std::vector<std::string>& args) {
    out_.str("");
    err_.str("");
    return RunCheck(args, out_, err_);
  }

  std::ostringstream out_;
  std::ostringstream err_;
};

TEST_F(CheckCommandTest, ListsEveryFindingOneALineWithItsSectionAndRule) {
  ASSERT_EQ(Check({"--patdat", "D:\\PATDAT", "D:\\IN\\S.ddf"}), 0) << err_.str();
  const std::string bytes = test::SjisLines(kSurvey);
  const std::string f = "D:\\IN\\S.ddf";
  EXPECT_EQ(
      out_.str(),
      f + ": " + std::to_string(bytes.size()) + " バイト, SHA-256 " + common::Sha256Hex(bytes) +
          "\n" + f +
          ": 情報: $Z セクションはありません。CNT.TXT、Titl01.txt、Titl02.txt は作られません。"
          " [section-count]\n" +
          f + ": 情報: $K セクションはありません。X12.TXT は作られません。 [section-count]\n" + f +
          ": 情報: $E セクションはありません。X6.TXT は作られません。 [section-count]\n" + f +
          ":1: 情報: $A セクション: 2 件 [$A section-count]\n" + f +
          ":2: 警告: 深度「123.4567」は 7 文字を超えています。X1.TXT には右の 7 文字「23.4567」"
          "だけが書かれます。 [$A long-label]\n" +
          f +
          ":3: 情報: 新しい土質名「泥炭」にユーザーコード 2006 が付きます（KISHITU.TXT と "
          "XKISHITU.TXT に追加）。 [$A new-soil-name]\n" +
          f + ":14: 情報: $C セクション: 1 件 [$C section-count]\n" + f +
          ":16: 警告: N 値 1500 は 3 文字を超えています。X5.TXT には「500」だけが書かれます。 "
          "[$C n-value-cut]\n" +
          f + ": エラー 0 件、警告 2 件、情報 6 件\n");
}

// An escape sequence in a survey must not reach the terminal as one.
TEST_F(CheckCommandTest, ControlCharactersFromTheSurveyAreShownEscaped) {
  test::WriteBytes(Host("IN/ESC.ddf"),
                   test::SjisLines({"$A 1", "1.00", "泥\x1B]0;x\x07炭", "", "", "", ""}));
  ASSERT_EQ(Check({"--patdat", "D:\\PATDAT", "D:\\IN\\ESC.ddf"}), 0) << err_.str();
  EXPECT_THAT(out_.str(), HasSubstr("「泥\\x1B]0;x\\x07炭」"));
  EXPECT_EQ(out_.str().find_first_of("\x1B\x07"), std::string::npos);
}

TEST_F(CheckCommandTest, JsonGivesOneObjectPerFileThatReadsBack) {
  EXPECT_EQ(Check({"--json", "--patdat", "D:\\PATDAT", "D:\\IN\\S.ddf", "D:\\IN\\E.ddf",
                   "D:\\IN\\none.ddf"}),
            kExitRefused);
  std::istringstream lines(out_.str());
  std::vector<nlohmann::json> files;
  for (std::string line; std::getline(lines, line);) files.push_back(nlohmann::json::parse(line));
  ASSERT_EQ(files.size(), 3u);

  const std::string bytes = test::SjisLines(kSurvey);
  EXPECT_EQ(files[0]["file"], "D:\\IN\\S.ddf");
  EXPECT_EQ(files[0]["size"], bytes.size());
  EXPECT_EQ(files[0]["sha256"], common::Sha256Hex(bytes));
  const nlohmann::json& findings = files[0]["findings"];
  ASSERT_EQ(findings.size(), 8u);
  EXPECT_EQ(findings[4], (nlohmann::json{
                             {"severity", "warning"},
                             {"severity_text", "警告"},
                             {"rule", "long-label"},
                             {"section", "$A"},
                             {"line", 2},
                             {"message",
                              "深度「123.4567」は 7 文字を超えています。X1.TXT には右の 7 文字"
                              "「23.4567」だけが書かれます。"},
                         }));
  EXPECT_EQ(findings[0]["section"], "");
  EXPECT_EQ(findings[0]["line"], 0);

  // After the four sections it lacks, the error on the marker line.
  EXPECT_EQ(files[1]["findings"][4]["severity"], "error");
  EXPECT_EQ(files[1]["findings"][4]["severity_text"], "エラー");
  EXPECT_EQ(files[1]["findings"][4]["rule"], "body-past-end");
  EXPECT_EQ(files[1]["findings"][4]["line"], 1);

  EXPECT_EQ(files[2]["size"], nullptr);
  EXPECT_EQ(files[2]["sha256"], nullptr);
  EXPECT_EQ(files[2]["findings"][0]["rule"], "no-file");
}

TEST_F(CheckCommandTest, JsonStringsReadBackExactly) {
  using namespace std::string_literals;
  const std::string texts[] = {
      "",
      "plain",
      "quote \" backslash \\ slash /",
      "D:\\IN\\HOLE1.ddf",
      "controls \x01\x1f\t\r\n\b\f end"s,
      "nul \0 inside"s,
      "全角「（」と～",
  };
  for (const std::string& text : texts) {
    EXPECT_EQ(nlohmann::json::parse(JsonString(text)).get<std::string>(), text) << text;
  }
  // Bytes that are no UTF-8 (an argument in another encoding) still give valid JSON.
  EXPECT_EQ(nlohmann::json::parse(JsonString("a\x82\xA0z")).get<std::string>(),
            "a\xEF\xBF\xBD\xEF\xBF\xBDz");
}

TEST_F(CheckCommandTest, ChangesNothingInThePatternFolderOrTheSystemFolder) {
  const fs::path sysdir = dir_.path() / "sys";
  test::WriteBytes(sysdir / "PatdatV5.ini", "x\r\nD:\\PATDAT\\\r\n");
  const auto patdat_before = Snapshot(Host("PATDAT"));
  const auto sysdir_before = Snapshot(sysdir);
  // Names new to the tables, one the user table knows, one with "（".
  test::WriteBytes(Host("IN/N.ddf"),
                   test::SjisLines({"$A 3", "1", "泥炭", "", "", "", "", "2", "礫混じり砂", "", "",
                                    "", "", "3", "砂（細砂）", "", "", "", ""}));
  EXPECT_EQ(Check({"D:\\IN\\N.ddf", "D:\\IN\\S.ddf"}), 0) << err_.str();
  EXPECT_THAT(out_.str(), HasSubstr("[$A adopted-soil-name]"));
  EXPECT_EQ(Snapshot(Host("PATDAT")), patdat_before);
  EXPECT_EQ(Snapshot(sysdir), sysdir_before);
  EXPECT_FALSE(fs::exists(Marker()));

  // An empty settings file stays where it is (the window's start-up would remove it).
  test::WriteBytes(sysdir / "PatdatV5.ini", "");
  EXPECT_EQ(Check({"D:\\IN\\S.ddf"}), kExitRefused);
  EXPECT_THAT(err_.str(), HasSubstr(" PATDAT の設定がありません."));
  EXPECT_TRUE(fs::exists(sysdir / "PatdatV5.ini"));
}

TEST_F(CheckCommandTest, ExitStatusSaysWhetherAnyFileHasAnError) {
  struct Case {
    std::vector<std::string> args;
    int status;
    const char* err;
  };
  const Case cases[] = {
      {{"--patdat", "D:\\PATDAT", "D:\\IN\\S.ddf"}, 0, ""},
      {{"--patdat", "D:\\PATDAT", "D:\\IN\\S.ddf", "D:\\IN\\E.ddf"}, 1, ""},
      {{"--patdat", "D:\\PATDAT", "D:\\IN\\none.ddf"}, 1, ""},
      {{"--patdat", "D:\\NONE", "D:\\IN\\S.ddf"}, 1, " PATDAT の設定がありません."},
      {{"--patdat", "D:\\PATDAT"}, 2, "使い方"},
      {{"--patdat"}, 2, "--patdat"},
      {{"--yes", "D:\\IN\\S.ddf"}, 2, "不明なオプション: --yes"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Check(c.args), c.status) << c.args.back();
    EXPECT_THAT(err_.str(), HasSubstr(c.err));
  }
  // The host path of a survey reaches it as well, and the command is reached from the top.
  std::istringstream in;
  EXPECT_EQ(RunCli({"check", "--patdat", "D:\\PATDAT", (dir_.path() / "d/IN/S.ddf").string()}, in,
                   out_, err_, false),
            0);
}

}  // namespace
}  // namespace m2v::cli
