#include "cli/run_account.h"

#include <ctime>
#include <filesystem>
#include <regex>
#include <sstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "cli/cli.h"
#include "cli/command_support.h"
#include "common/version.h"
#include "convert/sha256.h"
#include "support/pattern_folder.h"
#include "support/scoped_env.h"
#include "test_paths.h"
#include "text/utf.h"

namespace m2v::cli {
namespace {

namespace fs = std::filesystem;
using test::Sjis;
using test::SjisLines;

// Sets TZ for the life of the object.
class TimeZone {
 public:
  explicit TimeZone(const char* zone) : variable_("TZ", zone) { tzset(); }

 private:
  // Members go in reverse order: the zone is read again once TZ is back.
  struct Reread {
    ~Reread() { tzset(); }
  } reread_;
  test::ScopedEnv variable_;
};

class RunAccountTest : public ::testing::Test, public test::PatternFolderFixture {
 protected:
  RunAccountTest() {
    fs::copy(fs::path(M2V_TEST_DATA_DIR) / "runs" / "full_run" / "patdat", Host("PATDAT"));
    test::WriteBytes(Host("IN/A.ddf"), SjisLines({"$A 2", "1.00",       "泥炭", "", "", "", "",
                                                  "2.00", "礫混じり砂", "",     "", "", "", "$C 1",
                                                  "1.00", "10",         "",     "", "", ""}));
  }

  int Cli(const std::vector<std::string>& args) {
    std::istringstream in;
    out_.str("");
    err_.str("");
    return RunCli(args, in, out_, err_, false);
  }

  std::string Hash(std::string_view rel) const {
    return convert::Sha256Hex(test::ReadBytes(Host(rel)));
  }

  // The time the report names: checked against the pattern, then put into the expectation.
  std::string ReportTime() const {
    const std::string report = test::ReadBytes(Host("report.txt"));
    std::smatch match;
    const std::regex time(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d[+-]\d\d:\d\d)");
    if (!std::regex_search(report, match, time)) return "(no time)";
    return match.str();
  }

  std::ostringstream out_;
  std::ostringstream err_;
};

TEST_F(RunAccountTest, ListsWhatTheRunTaughtTheTablesAndTheFilesItWrote) {
  ASSERT_EQ(Cli({"--patdat", "D:\\PATDAT", "--yes", "D:\\IN\\A.ddf", "D:\\OUT\\A"}), 0)
      << err_.str();
  EXPECT_EQ(out_.str(),
            "D:\\OUT\\A\\X1.TXT\n"
            "D:\\OUT\\A\\X3.TXT\n"
            "D:\\OUT\\A\\X5.TXT\n"
            "土質名を学習: 2006 泥炭（新しいユーザーコード）\n"
            "土質名を学習: 2003 礫混じり砂（XKISHITU.TXT から採用）\n");
}

TEST_F(RunAccountTest, ReportHoldsVersionTimeAndTheHashOfEveryFile) {
  ASSERT_EQ(Cli({"--patdat", "D:\\PATDAT", "--yes", "--report", "D:\\report.txt", "D:\\IN\\A.ddf",
                 "D:\\OUT\\A"}),
            0)
      << err_.str();
  EXPECT_EQ(test::ReadBytes(Host("report.txt")),
            SjisLines({
                "mirta2vesk 変換レポート",
                "バージョン: " M2V_VERSION,
                "作成日時: " + ReportTime(),
                "パターンフォルダ: D:\\PATDAT\\",
                "",
                "変換元: D:\\IN\\A.ddf",
                "変換元の SHA-256: " + Hash("IN/A.ddf"),
                "変換先: D:\\OUT\\A\\",
                "結果: 変換完了",
                "学習した土質名: 2 件",
                "  2006 泥炭（新しいユーザーコード）",
                "  2003 礫混じり砂（XKISHITU.TXT から採用）",
                "書き出したファイル: 3 件",
                "  D:\\OUT\\A\\X1.TXT  SHA-256 " + Hash("OUT/A/X1.TXT"),
                "  D:\\OUT\\A\\X3.TXT  SHA-256 " + Hash("OUT/A/X3.TXT"),
                "  D:\\OUT\\A\\X5.TXT  SHA-256 " + Hash("OUT/A/X5.TXT"),
            }));
}

TEST_F(RunAccountTest, ReportOfARefusedRunSaysWhy) {
  test::WriteBytes(Host("IN/B.ddf"), SjisLines({"$A 2", "1.00", "粘土", "", "", "", ""}));
  EXPECT_EQ(
      Cli({"--patdat", "D:\\PATDAT", "--report", "D:\\report.txt", "D:\\IN\\B.ddf", "D:\\OUT\\B"}),
      kExitRefused);
  EXPECT_EQ(out_.str(), "");
  EXPECT_EQ(test::ReadBytes(Host("report.txt")),
            SjisLines({
                "mirta2vesk 変換レポート",
                "バージョン: " M2V_VERSION,
                "作成日時: " + ReportTime(),
                "パターンフォルダ: D:\\PATDAT\\",
                "",
                "変換元: D:\\IN\\B.ddf",
                "変換元の SHA-256: " + Hash("IN/B.ddf"),
                "変換先: D:\\OUT\\B",
                "結果: 中止（変換元ファイルの $A セクション（1 行目）は 2 件（12 行）を予告して"
                "いますが、ファイルがその前に終わっています。）",
                "学習した土質名: 0 件",
                "書き出したファイル: 0 件",
            }));
}

TEST_F(RunAccountTest, ABatchReportHoldsEverySurvey) {
  test::WriteBytes(Host("IN/C.ddf"), SjisLines({"$A 1", "1.00", "泥炭", "", "", "", ""}));
  ASSERT_EQ(Cli({"batch", "--into", "D:\\OUT", "--patdat", "D:\\PATDAT", "--report",
                 "D:\\report.txt", "D:\\IN\\A.ddf", "D:\\IN\\C.ddf"}),
            0)
      << err_.str();
  const std::string report = test::ReadBytes(Host("report.txt"));
  EXPECT_THAT(report, ::testing::HasSubstr(SjisLines({
                          "変換元: D:\\IN\\C.ddf",
                          "変換元の SHA-256: " + Hash("IN/C.ddf"),
                          "変換先: D:\\OUT\\C\\",
                          "結果: 変換完了",
                          "学習した土質名: 0 件",
                          "書き出したファイル: 2 件",
                          "  D:\\OUT\\C\\X1.TXT  SHA-256 " + Hash("OUT/C/X1.TXT"),
                          "  D:\\OUT\\C\\X3.TXT  SHA-256 " + Hash("OUT/C/X3.TXT"),
                      })));
  EXPECT_THAT(report, ::testing::HasSubstr(Sjis("変換元: D:\\IN\\A.ddf\r\n")));

  // A report that cannot be written stops the command before anything is converted.
  EXPECT_EQ(Cli({"--patdat", "D:\\PATDAT", "--yes", "--report", "D:\\NO\\SUCH\\report.txt",
                 "D:\\IN\\A.ddf", "D:\\NEW\\A"}),
            kExitUsage);
  EXPECT_THAT(err_.str(), ::testing::HasSubstr("D:\\NO\\SUCH\\report.txt"));
  EXPECT_FALSE(std::filesystem::exists(Host("NEW")));
}

// Each of these reports would have replaced data the user keeps: the command refuses it
// before converting anything, and every file stays as it was.
TEST_F(RunAccountTest, ReportThatWouldReplaceASurveyAnOutputOrATableIsRefused) {
  test::WriteBytes(Host("IN/B.ddf"), test::ReadBytes(Host("IN/A.ddf")));
  test::WriteBytes(Host("OUT/A/X1.TXT"), "earlier output\r\n");
  struct Case {
    const char* report;
    bool batch;
    const char* says;
  };
  const Case cases[] = {
      {"D:\\PATDAT\\kishitu.txt", false, "パターンフォルダ"},
      {"D:\\PATDAT\\REPORT.TXT", false, "パターンフォルダ"},
      {"D:\\in\\a.DDF", false, "変換元ファイル"},
      {"D:\\OUT\\A\\x1.txt", false, "変換で書き出すファイル"},
      {"D:\\OUT\\A\\X1.TXT.tmp", false, "変換で書き出すファイル"},
      {"D:\\IN\\B.ddf", true, "変換元ファイル"},
      {"D:\\OUT\\B\\CNT.TXT", true, "変換で書き出すファイル"},
  };
  const auto before = [&] {
    std::vector<std::string> bytes;
    for (const char* file :
         {"PATDAT/KISHITU.TXT", "PATDAT/XKISHITU.TXT", "IN/A.ddf", "IN/B.ddf", "OUT/A/X1.TXT"}) {
      bytes.push_back(test::ReadBytes(Host(file)));
    }
    return bytes;
  };
  const std::vector<std::string> kept = before();
  for (const Case& c : cases) {
    const int status = c.batch ? Cli({"batch", "--into", "D:\\OUT", "--patdat", "D:\\PATDAT",
                                      "--report", c.report, "D:\\IN\\A.ddf", "D:\\IN\\B.ddf"})
                               : Cli({"--patdat", "D:\\PATDAT", "--yes", "--report", c.report,
                                      "D:\\IN\\A.ddf", "D:\\OUT\\A"});
    EXPECT_EQ(status, kExitUsage) << c.report;
    EXPECT_THAT(err_.str(), ::testing::HasSubstr(c.says)) << c.report;
    EXPECT_EQ(out_.str(), "") << c.report;
    EXPECT_EQ(before(), kept) << c.report;
    EXPECT_FALSE(fs::exists(Host("OUT/B"))) << c.report;
    EXPECT_FALSE(fs::exists(Host("PATDAT/REPORT.TXT"))) << c.report;
  }
}

// A survey replaced while it is converted: the report hashes the bytes that were converted.
TEST_F(RunAccountTest, ReportHashesTheBytesConvertedNotTheFileAfterwards) {
  const std::string converted = test::ReadBytes(Host("IN/A.ddf"));
  ASSERT_EQ(Cli({"--patdat", "D:\\PATDAT", "--yes", "--report", "D:\\report.txt", "D:\\IN\\A.ddf",
                 "D:\\OUT\\A"}),
            0)
      << err_.str();
  EXPECT_THAT(test::ReadBytes(Host("report.txt")),
              ::testing::HasSubstr(Sjis("変換元の SHA-256: " + convert::Sha256Hex(converted))));
}

TEST(TerminalTextTest, ShowsControlCharactersEscaped) {
  EXPECT_EQ(TerminalText(u"砂\x1B[2J\x07礫\t\x7F\x85"), "砂\\x1B[2J\\x07礫\\x09\\x7F\\x85");
  EXPECT_EQ(TerminalText(u"D:\\PATDAT\\KISHITU.TXT\nエラー"), "D:\\PATDAT\\KISHITU.TXT\nエラー");
}

TEST(LocalTimeTextTest, GivesIso8601WithTheOffset) {
  const auto epoch = std::chrono::system_clock::from_time_t(0);
  const std::pair<const char*, const char*> cases[] = {
      {"UTC0", "1970-01-01T00:00:00+00:00"},
      {"JST-9", "1970-01-01T09:00:00+09:00"},
      {"XYZ+3:30", "1969-12-31T20:30:00-03:30"},
  };
  for (const auto& [zone, text] : cases) {
    TimeZone tz(zone);
    EXPECT_EQ(text::Utf16ToUtf8(LocalTimeText(epoch)), text) << zone;
  }
}

}  // namespace
}  // namespace m2v::cli
