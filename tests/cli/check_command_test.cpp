#include "cli/check_command.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <sstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "cli/cli.h"
#include "convert/sha256.h"
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
      f + ": " + std::to_string(bytes.size()) + " バイト, SHA-256 " + convert::Sha256Hex(bytes) +
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
  EXPECT_EQ(files[0]["sha256"], convert::Sha256Hex(bytes));
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
  // File names that do not exist come back as typed, in the file's object.
  const std::string names[] = {
      "",
      "plain",
      "quote \" backslash \\ slash /",
      "D:\\IN\\HOLE1.ddf",
      "controls \x01\x1f\t\r\n\b\f\x7f end"s,
      "nul \0 inside"s,
      "全角「（」と～",
  };
  for (const std::string& name : names) {
    Check({"--json", "--patdat", "D:\\PATDAT", "--", name});
    EXPECT_EQ(nlohmann::json::parse(out_.str())["file"], name) << name;
  }
  // Bytes that are no UTF-8 (an argument in another encoding) still give valid JSON.
  Check({"--json", "--patdat", "D:\\PATDAT", "a\x82\xA0z"});
  EXPECT_EQ(nlohmann::json::parse(out_.str())["file"], "a\xEF\xBF\xBD\xEF\xBF\xBDz");

  // Text of the survey, in a message.
  test::WriteBytes(Host("IN/ESC.ddf"),
                   test::SjisLines({"$A 1", "1.00", "泥\x1B]0;x\x07炭", "", "", "", ""}));
  Check({"--json", "--patdat", "D:\\PATDAT", "D:\\IN\\ESC.ddf"});
  const nlohmann::json findings = nlohmann::json::parse(out_.str())["findings"];
  EXPECT_TRUE(std::any_of(findings.begin(), findings.end(), [](const nlohmann::json& f) {
    return f["message"].get<std::string>().find("「泥\x1B]0;x\x07炭」") != std::string::npos;
  })) << out_.str();
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
      {{"--patdat", "D:\\NONE", "D:\\IN\\S.ddf"}, 1, "パターンフォルダ D:\\NONE がありません。"},
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

TEST_F(CheckCommandTest, TablesAreListedInTheSurveyFormWithTheUserCodesLeft) {
  // The fixture's tables: a dead code for a name, a user code the soil table alone holds,
  // names with "（" and ",", and user records the soil table lacks.
  ASSERT_EQ(Check({"--tables", "--patdat", "D:\\PATDAT"}), 0) << err_.str();
  const std::string soil = test::ReadBytes(Table("KISHITU.TXT"));
  const std::string user = test::ReadBytes(Table("XKISHITU.TXT"));
  const std::string s = "D:\\PATDAT\\KISHITU.TXT";
  const std::string u = "D:\\PATDAT\\XKISHITU.TXT";
  const std::string text = out_.str();
  EXPECT_TRUE(text.starts_with(s + ": " + std::to_string(soil.size()) + " バイト, SHA-256 " +
                               convert::Sha256Hex(soil) + "\n"));
  EXPECT_THAT(text,
              HasSubstr(s +
                        ":4: 警告: コード 2010 は、次のユーザーコードの数え始め（2006）より"
                        "後にあります。前の行 + 1 だけで数えると、新しい土質名にこのコードが"
                        "もう一度付きます。変換はこのコードを飛ばします。 [would-duplicate]\n" +
                        s +
                        ":4: 警告: 土質名「シルト」には KISHITU.TXT の 7 行目のコード 5010 "
                        "もあります。コード 5000～5499 の範囲が先に探されるため、変換は常に"
                        "コード 5010 を使い、この行のコード 2010 は使われません。 "
                        "[name-two-codes]\n"));
  EXPECT_THAT(text, HasSubstr(s + ": エラー 0 件、警告 6 件、情報 0 件\n" + u + ": " +
                              std::to_string(user.size()) + " バイト, SHA-256 " +
                              convert::Sha256Hex(user) + "\n" + u + ":1: 情報: "));
  EXPECT_TRUE(text.ends_with(u + ": 次のユーザーコード 2006、3999 までに残り 1993 個\n" + u +
                             ": エラー 0 件、警告 1 件、情報 6 件\n"));
}

TEST_F(CheckCommandTest, TablesJsonReadsBackAndAnErrorGivesStatus1) {
  test::WriteBytes(Table("KISHITU.TXT"),
                   test::SjisLines({"5001,粘土,a,b,c,d,e", "5002,砂,a,b,c,d", "5003,泥,a,b,c"}));
  fs::remove(Table("XKISHITU.TXT"));
  EXPECT_EQ(Check({"--tables", "--json", "--patdat", "D:\\PATDAT"}), kExitRefused);
  std::istringstream lines(out_.str());
  std::vector<nlohmann::json> files;
  for (std::string line; std::getline(lines, line);) files.push_back(nlohmann::json::parse(line));
  ASSERT_EQ(files.size(), 2u);

  EXPECT_EQ(files[0]["file"], "D:\\PATDAT\\KISHITU.TXT");
  EXPECT_EQ(files[0]["size"], test::ReadBytes(Table("KISHITU.TXT")).size());
  EXPECT_FALSE(files[0].contains("next_user_code"));
  const nlohmann::json& findings = files[0]["findings"];
  ASSERT_EQ(findings.size(), 4u);
  EXPECT_EQ(findings[0]["rule"], "field-count");
  EXPECT_EQ(findings[1], (nlohmann::json{
                             {"severity", "error"},
                             {"severity_text", "エラー"},
                             {"rule", "shifted-record"},
                             {"section", ""},
                             {"line", 1},
                             {"message",
                              "この行の 7 項目目から 2 行目の 5 項目目までが 1 つのレコードとして"
                              "読まれます: コード「e」、土質名「5002」。このコードはどの検索範囲"
                              "にも入らないため、このレコードはどの土質名にも一致しません。"},
                         }));
  EXPECT_EQ(findings[2]["line"], 2);
  EXPECT_EQ(findings[3]["line"], 3);

  EXPECT_EQ(files[1]["file"], "D:\\PATDAT\\XKISHITU.TXT");
  EXPECT_EQ(files[1]["size"], nullptr);
  EXPECT_EQ(files[1]["sha256"], nullptr);
  EXPECT_EQ(files[1]["next_user_code"], 2000);
  EXPECT_EQ(files[1]["user_codes_left"], 2000);
  ASSERT_EQ(files[1]["findings"].size(), 1u);
  EXPECT_EQ(files[1]["findings"][0]["rule"], "no-table");
  EXPECT_EQ(files[1]["findings"][0]["severity"], "information");
  EXPECT_EQ(files[1]["findings"][0]["line"], 0);

  // Used up: no next code.
  test::WriteBytes(Table("XKISHITU.TXT"), test::SjisLines({"3999,z,,,,"}));
  test::WriteBytes(Table("KISHITU.TXT"), test::SjisLines({"3999,z,,,,"}));
  EXPECT_EQ(Check({"--tables", "--json", "--patdat", "D:\\PATDAT"}), kExitRefused);
  const nlohmann::json used_up = nlohmann::json::parse(out_.str().substr(out_.str().find("\n{")));
  EXPECT_EQ(used_up["next_user_code"], nullptr);
  EXPECT_EQ(used_up["user_codes_left"], 0);
  EXPECT_EQ(used_up["findings"][0]["rule"], "codes-used-up");
  Check({"--tables", "--patdat", "D:\\PATDAT"});
  EXPECT_THAT(out_.str(), HasSubstr("D:\\PATDAT\\XKISHITU.TXT: ユーザーコードは残っていません\n"));
}

TEST_F(CheckCommandTest, TablesComeBeforeTheSurveysAndChangeNothing) {
  const auto patdat_before = Snapshot(Host("PATDAT"));
  EXPECT_EQ(Check({"--patdat", "D:\\PATDAT", "D:\\IN\\S.ddf", "--tables", "--json"}), 0)
      << err_.str();
  std::istringstream lines(out_.str());
  std::vector<std::string> files;
  for (std::string line; std::getline(lines, line);) {
    files.push_back(nlohmann::json::parse(line)["file"]);
  }
  EXPECT_EQ(files, (std::vector<std::string>{"D:\\PATDAT\\KISHITU.TXT", "D:\\PATDAT\\XKISHITU.TXT",
                                             "D:\\IN\\S.ddf"}));
  EXPECT_EQ(Snapshot(Host("PATDAT")), patdat_before);
  EXPECT_FALSE(fs::exists(Marker()));

  EXPECT_EQ(Check({"--tables", "--patdat", "D:\\NONE"}), kExitRefused);
  EXPECT_THAT(err_.str(), HasSubstr("パターンフォルダ D:\\NONE がありません。"));
  EXPECT_EQ(Check({"--patdat", "D:\\PATDAT"}), kExitUsage);
  EXPECT_THAT(err_.str(), HasSubstr("--tables"));
}

}  // namespace
}  // namespace m2v::cli
