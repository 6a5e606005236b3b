// The check of the soil tables agrees with the run: on each pattern folder where the check
// says the run will fail, read a shifted record or give a code twice, a real conversion
// shows it.

#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "coding/soil_table_check.h"
#include "convert/run.h"
#include "support/pattern_folder.h"
#include "support/recording_host.h"
#include "test_paths.h"
#include "text/cp932.h"
#include "text/utf.h"

namespace m2v::coding {
namespace {

namespace fs = std::filesystem;
using test::SjisLines;
using ::testing::Contains;
using ::testing::HasSubstr;

std::string U8(std::u16string_view text) { return text::Utf16ToUtf8(text); }

class SoilTableCheckRunTest : public ::testing::Test, public test::PatternFolderFixture {
 protected:
  SoilTableCheckRunTest() {
    // The code tables the passes read; the soil tables are each test's own.
    fs::copy(fs::path(M2V_TEST_DATA_DIR) / "runs" / "full_run" / "patdat", Host("PATDAT"));
  }

  void Tables(const std::string& soil, const std::string& user) {
    test::WriteBytes(Table("KISHITU.TXT"), soil);
    test::WriteBytes(Table("XKISHITU.TXT"), user);
  }

  // Every finding of the check, as "S:line rule" (KISHITU.TXT) or "U:line rule" (XKISHITU.TXT),
  // errors only.
  std::vector<std::string> Errors() {
    const SoilTableReport report = CheckSoilTables(ReadSoilTableFiles(patdat));
    std::vector<std::string> errors;
    for (const auto& [table, findings] : {std::pair{"S:", &report.soil}, {"U:", &report.user}}) {
      for (const TableFinding& f : *findings) {
        if (f.severity == TableSeverity::kError) {
          errors.push_back(table + std::to_string(f.line) + " " + f.rule);
        }
      }
    }
    return errors;
  }

  std::u16string Message(const std::string& rule) {
    const SoilTableReport report = CheckSoilTables(ReadSoilTableFiles(patdat));
    for (const auto* findings : {&report.soil, &report.user}) {
      for (const TableFinding& f : *findings) {
        if (f.rule == rule) return f.message;
      }
    }
    return {};
  }

  // Converts a survey of one layer per name into D:\OUT.
  convert::RunResult Convert(const std::vector<std::string>& names) {
    std::vector<std::string> lines = {"$A " + std::to_string(names.size())};
    for (std::size_t i = 0; i < names.size(); ++i) {
      lines.insert(lines.end(), {std::to_string(i + 1) + ".00", names[i], "", "", "", ""});
    }
    test::WriteBytes(Host("IN/source.ddf"), SjisLines({lines.begin(), lines.end()}));
    host_ = test::RecordingHost(u"D:\\IN\\source.ddf", u"D:\\OUT");
    host_.answers = {true};
    return convert::Run({patdat}, host_);
  }

  // Code and name of each line of X1.TXT.
  std::vector<std::string> LayerCodes() {
    const std::string text = U8(text::DecodeCp932(test::ReadBytes(Host("OUT/X1.TXT"))).text);
    std::vector<std::string> codes;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      const std::size_t third = line.find(',', line.find(',') + 1);
      codes.push_back(line.substr(third + 1));
    }
    return codes;
  }

  std::string Failure() const { return host_.calls.empty() ? "" : host_.calls.back(); }

  test::RecordingHost host_{u"", u""};
};

TEST_F(SoilTableCheckRunTest, BytesThatAreNotCp932StopTheRunAtTheFirstSoilName) {
  Tables(SjisLines({"5001,礫,a,b,c,d"}) + "5002,\x80,a,b,c,d\r\n", SjisLines({"9000,END,,,,"}));
  EXPECT_THAT(Errors(), Contains("S:2 not-cp932"));
  EXPECT_EQ(Convert({"礫"}).outcome, convert::RunOutcome::kFailed);
  EXPECT_THAT(Failure(), HasSubstr("failure D:\\PATDAT\\KISHITU.TXT"));
  EXPECT_THAT(Failure(), HasSubstr("Shift-JIS でない文字があります。（2 行目）"));
}

TEST_F(SoilTableCheckRunTest, AByteOrderMarkInTheUserTableStopsTheRunAtANewName) {
  Tables(SjisLines({"5001,礫,a,b,c,d"}),
         "\xEF\xBB\xBF" + SjisLines({"2000,砂,,,,", "9000,END,,,,"}));
  EXPECT_THAT(Errors(), Contains("U:1 bom"));
  EXPECT_EQ(Convert({"礫"}).outcome, convert::RunOutcome::kCompleted);  // the soil table knows it
  EXPECT_EQ(Convert({"礫", "泥"}).outcome, convert::RunOutcome::kFailed);
  EXPECT_THAT(Failure(), HasSubstr("failure D:\\PATDAT\\XKISHITU.TXT"));
}

TEST_F(SoilTableCheckRunTest, ATableEndingInsideARecordStopsTheRun) {
  Tables(SjisLines({"5001,礫,a,b,c,d", "5002,砂,a,b,c"}), SjisLines({"9000,END,,,,"}));
  EXPECT_THAT(Errors(), Contains("S:2 incomplete-record"));
  EXPECT_EQ(Convert({"礫"}).outcome, convert::RunOutcome::kFailed);
  EXPECT_THAT(Failure(), HasSubstr("最後のレコードの項目が足りません。（2 行目）"));
}

TEST_F(SoilTableCheckRunTest, ACodeBeyondANumberStopsTheRun) {
  Tables(SjisLines({"5001,礫,a,b,c,d", "1e99,砂,a,b,c,d"}), SjisLines({"9000,END,,,,"}));
  EXPECT_THAT(Errors(), Contains("S:2 bad-code"));
  EXPECT_EQ(Convert({"礫"}).outcome, convert::RunOutcome::kFailed);
  EXPECT_THAT(Failure(), HasSubstr("数値が大きすぎます: 1e99"));
}

TEST_F(SoilTableCheckRunTest, ATableThatIsAFolderStopsTheRun) {
  fs::remove(Table("KISHITU.TXT"));
  fs::create_directories(Table("KISHITU.TXT"));
  EXPECT_THAT(Errors(), Contains("S:0 unreadable"));
  EXPECT_EQ(Convert({"礫"}).outcome, convert::RunOutcome::kFailed);
  EXPECT_THAT(Failure(), HasSubstr("KISHITU.TXT"));
}

TEST_F(SoilTableCheckRunTest, UsedUpUserCodesStopTheRunAtANewName) {
  Tables(SjisLines({"5001,礫,a,b,c,d", "3999,z,,,,"}), SjisLines({"3999,z,,,,", "9000,END,,,,"}));
  EXPECT_THAT(Errors(), Contains("U:0 codes-used-up"));
  EXPECT_EQ(Convert({"礫"}).outcome, convert::RunOutcome::kCompleted);
  EXPECT_EQ(Convert({"泥"}).outcome, convert::RunOutcome::kFailed);
  EXPECT_THAT(Failure(), HasSubstr("使い切りました"));
}

TEST_F(SoilTableCheckRunTest, AShiftedRecordIsReadAsTheCheckNamesIt) {
  // Seven fields on line 1, five on line 3: the records between are read one field late.
  Tables(
      SjisLines({"5001,粘土,a,b,c,d,5010", "5002,砂,a,b,c,d", "5003,泥,a,b,c", "5004,礫,a,b,c,d"}),
      SjisLines({"9000,END,,,,"}));
  EXPECT_THAT(Errors(), Contains("S:1 shifted-record"));
  EXPECT_THAT(U8(Message("shifted-record")),
              HasSubstr("コード「5010」、土質名「5002」。変換はこれを土質名「5002」のコード"
                        "「5010」として探します。"));
  ASSERT_EQ(Convert({"5002", "砂", "粘土", "礫"}).outcome, convert::RunOutcome::kCompleted);
  // "5002" takes the code the check named; "砂" is not found at all and gets a new user code;
  // the whole records before and after the shift read as written.
  EXPECT_EQ(LayerCodes(),
            (std::vector<std::string>{"5010,5002", "2000,砂", "5001,粘土", "5004,礫"}));
}

TEST_F(SoilTableCheckRunTest, ACodeTheRuleCannotSeeIsGivenAgain) {
  // The user table's second record on line 1 holds 2001; no line begins with it.
  Tables(SjisLines({"2000,a,,,,0000"}), SjisLines({"2000,a,,,,0000,2001,b,,,,0000"}));
  EXPECT_THAT(Errors(), Contains("U:1 code-given-again"));
  // A new name before "b" is adopted: its code is nowhere a line's first field yet.
  ASSERT_EQ(Convert({"c", "b"}).outcome, convert::RunOutcome::kCompleted);
  EXPECT_EQ(LayerCodes(), (std::vector<std::string>{"2001,c", "2001,b"}));
}

TEST_F(SoilTableCheckRunTest, OneUserCodeOnTwoNamesReachesX1ForBoth) {
  Tables(SjisLines({"2000,砂,,,,0000"}), SjisLines({"2000,粘土,,,,0000", "9000,END,,,,"}));
  EXPECT_THAT(Errors(), Contains("U:1 code-two-names"));
  ASSERT_EQ(Convert({"砂", "粘土"}).outcome, convert::RunOutcome::kCompleted);
  EXPECT_EQ(LayerCodes(), (std::vector<std::string>{"2000,砂", "2000,粘土"}));
}

// Tables where "previous line + 1" alone meets no code already held: the next-code rule
// gives the same code with or without stepping over held codes.
TEST_F(SoilTableCheckRunTest, TheRunGivesTheNextCodeTheCheckNames) {
  struct Case {
    std::vector<std::string_view> soil;
    std::vector<std::string_view> user;
  };
  const Case cases[] = {
      {{"5001,礫,,,,"}, {}},
      {{"5001,礫,,,,", "2000,a,,,,"}, {"2000,a,,,,", "2001,b,,,,", "9000,END,,,,"}},
      {{}, {"1500,low,,,,", "1999,lower,,,,"}},
      {{"2000,a,,,,", "2007,x,,,,"}, {"2000,a,,,,", "2005,b,,,,", "9000,END,,,,"}},
      // Where the previous line + 1 is taken, both step over it.
      {{"2000,a,,,,"}, {"2000,a,,,,", "9000,END,,,,", "2001,late,,,,"}},
      {{"2000,a,,,,", "2001,b,,,,"}, {"2000,a,,,,", "2001,b,,,,", "", "9000,END,,,,"}},
  };
  for (const Case& c : cases) {
    Tables(SjisLines(c.soil), SjisLines(c.user));
    const std::optional<int> next = CheckSoilTables(ReadSoilTableFiles(patdat)).user_codes.next;
    ASSERT_TRUE(next);
    ASSERT_EQ(Convert({"新しい土"}).outcome, convert::RunOutcome::kCompleted);
    EXPECT_EQ(LayerCodes(), std::vector<std::string>{std::to_string(*next) + ",新しい土"})
        << c.user.size();
  }
}

}  // namespace
}  // namespace m2v::coding
