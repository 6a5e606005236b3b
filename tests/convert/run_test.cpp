// The order of the run's checks, what each refusal shows, and what a failure after the
// checks leaves behind, through a recording host.

#include "convert/run.h"

#include <filesystem>
#include <thread>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "coding/soil_tables.h"
#include "common/dest_path.h"
#include "convert/sha256.h"
#include "convert/survey_check.h"
#include "platform/platform.h"
#include "support/pattern_folder.h"
#include "support/recording_host.h"
#include "test_paths.h"
#include "text/utf.h"

namespace m2v::convert {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

std::string U8(std::u16string_view text) { return text::Utf16ToUtf8(text); }

class RunTest : public ::testing::Test, public test::PatternFolderFixture {
 protected:
  RunTest() {
    const fs::path data = fs::path(M2V_TEST_DATA_DIR) / "runs" / "full_run";
    fs::create_directories(Host("IN"));
    fs::copy_file(data / "source.ddf", Host("IN/source.ddf"));
    fs::copy(data / "patdat", Host("PATDAT"));
  }

  RunResult RunWith(test::RecordingHost& host) { return convert::Run({patdat}, host); }

  bool NothingWritten() const {
    return !fs::exists(Host("OUT")) && !fs::exists(Marker()) &&
           TableBytes("KISHITU.TXT") ==
               test::ReadBytes(fs::path(M2V_TEST_DATA_DIR) / "runs/full_run/patdat/KISHITU.TXT");
  }
};

TEST_F(RunTest, CompletedRunShowsProgressThenCompletionWithTheCursorBusyBetween) {
  test::RecordingHost host(u"D:\\IN\\source.ddf", u"D:\\OUT\\A\\B");
  host.answers = {true};
  const RunResult result = RunWith(host);
  EXPECT_EQ(result.outcome, RunOutcome::kCompleted);
  EXPECT_THAT(host.calls, ElementsAre("line " + U8(kProgressMessage), "events",
                                      "ask " + U8(kCreateFolderQuestion), "busy on",
                                      "line " + U8(kCompletionMessage), "busy off"));
  EXPECT_EQ(result.output_folder, u"D:\\OUT\\A\\B\\");
  EXPECT_EQ(result.files_written.size(), 8u);
  EXPECT_TRUE(fs::exists(Host("OUT/A/B/X6.TXT")));
}

TEST_F(RunTest, BadDestinationShowsTheBoxTitledWithTheFieldAndSelectsIt) {
  test::RecordingHost host(u"D:\\IN\\source.ddf", u"D:\\MY DATA");
  EXPECT_EQ(RunWith(host).outcome, RunOutcome::kRefused);
  EXPECT_THAT(host.calls, ElementsAre("line " + U8(kProgressMessage), "events",
                                      "box exclamation [D:\\MY DATA] " + U8(kBadPathMessage),
                                      "select", "line "));
}

TEST_F(RunTest, BadDriveNameShowsItsOwnMessageFirst) {
  test::RecordingHost host(u"D:\\IN\\source.ddf", u"OUT");
  EXPECT_EQ(RunWith(host).outcome, RunOutcome::kRefused);
  EXPECT_THAT(host.calls,
              ElementsAre("line " + U8(kProgressMessage), "events",
                          "box information [] " + U8(common::kDriveNameMessage),
                          "box exclamation [OUT] " + U8(kBadPathMessage), "select", "line "));
}

TEST_F(RunTest, SourceRefusalsComeBeforeTheDestinationFolderIsTouched) {
  test::WriteBytes(Host("IN/short.ddf"), test::SjisLines({"$A 2", "1.00", "粘土", "", "", ""}));
  test::WriteBytes(Host("IN/utf8.ddf"), "$A 1\r\n1.00\r\n\xE7\xA0\x82\r\n\r\n\r\n\r\n");
  fs::create_directories(Host("IN/folder.ddf"));
  const std::pair<std::u16string, std::string> cases[] = {
      {u"", U8(kNoSourceMessage)},
      {u"   ", U8(kNoSourceMessage)},
      {u"D:\\IN\\missing.ddf", U8(kNoSourceMessage)},
      {u"D:\\IN\\folder.ddf", U8(kNoSourceMessage)},
      {u"D:\\IN\\short.ddf", "$A セクション（1 行目）"},
      {u"D:\\IN\\utf8.ddf", "UTF-8"},
  };
  for (const auto& [source, message] : cases) {
    test::RecordingHost host(source, u"D:\\OUT");
    EXPECT_EQ(RunWith(host).outcome, RunOutcome::kRefused);
    ASSERT_EQ(host.calls.size(), 4u);
    EXPECT_THAT(host.calls[2], HasSubstr("box none [] "));
    EXPECT_THAT(host.calls[2], HasSubstr(message));
    EXPECT_EQ(host.calls[3], "line ");
    EXPECT_TRUE(NothingWritten());
  }
}

TEST_F(RunTest, DestinationLevelsAreCreatedTopDownOnlyAfterYes) {
  fs::create_directories(Host("OUT"));
  test::RecordingHost no(u"D:\\IN\\source.ddf", u"D:\\OUT\\A\\B");
  no.answers = {false};
  EXPECT_EQ(RunWith(no).outcome, RunOutcome::kRefused);
  EXPECT_EQ(no.calls.back(), "line ");
  EXPECT_EQ(std::count(no.calls.begin(), no.calls.end(), "ask " + U8(kCreateFolderQuestion)), 1);
  EXPECT_FALSE(fs::exists(Host("OUT/A")));

  test::RecordingHost yes(u"D:\\IN\\source.ddf", u"D:\\OUT\\A\\B");
  yes.answers = {true};
  EXPECT_EQ(RunWith(yes).outcome, RunOutcome::kCompleted);
  EXPECT_TRUE(fs::is_directory(Host("OUT/A/B")));

  test::RecordingHost again(u"D:\\IN\\source.ddf", u"D:\\OUT\\A\\B");
  EXPECT_EQ(RunWith(again).outcome, RunOutcome::kCompleted);  // nothing to ask
  EXPECT_EQ(std::count(again.calls.begin(), again.calls.end(), "ask " + U8(kCreateFolderQuestion)),
            0);
}

TEST_F(RunTest, OutputGoesIntoTheCheckedFolderNotTheRawFieldText) {
  ASSERT_TRUE(platform::SetCurrentFolder(u"D:\\IN"));
  test::RecordingHost host(u"D:\\IN\\source.ddf", u" D:OUT ");
  host.answers = {true};
  ASSERT_EQ(RunWith(host).outcome, RunOutcome::kCompleted);
  EXPECT_TRUE(fs::exists(Host("OUT/CNT.TXT")));
  EXPECT_FALSE(fs::exists(Host("IN/OUT")));
  // One folder level: the CNT.TXT pieces it lacks are empty lines.
  EXPECT_EQ(test::ReadBytes(Host("OUT/CNT.TXT")), "\r\n\r\n\r\n4   \r\n1\r\n\r\n\r\n\r\n\r\n\r\n");
}

TEST_F(RunTest, FailureAfterTheChecksIsReportedOnceAndKeepsWhatWasWritten) {
  fs::remove(Table("L23.txt"));
  test::WriteBytes(Table("L23.txt"), test::SjisLines({"1,a,b"}));  // ends inside a record
  test::RecordingHost host(u"D:\\IN\\source.ddf", u"D:\\OUT");
  host.answers = {true};
  const RunResult result = RunWith(host);
  EXPECT_EQ(result.outcome, RunOutcome::kFailed);
  ASSERT_GE(host.calls.size(), 4u);
  EXPECT_EQ(host.calls[host.calls.size() - 4], "busy on");
  EXPECT_EQ(host.calls[host.calls.size() - 3], "busy off");
  EXPECT_EQ(host.calls[host.calls.size() - 2], "line ");
  EXPECT_THAT(host.calls.back(), HasSubstr("failure D:\\PATDAT\\L23.txt"));
  EXPECT_EQ(std::count_if(host.calls.begin(), host.calls.end(),
                          [](const std::string& c) {
                            return c.find(U8(kCompletionMessage)) != std::string::npos;
                          }),
            0);
  EXPECT_TRUE(fs::exists(Host("OUT/X12.TXT")));  // the passes before it stay
  EXPECT_FALSE(fs::exists(Table("XKISHITU.TMP")));
}

TEST_F(RunTest, MissingCodeTableIsAFailureBeforeAnyOutput) {
  fs::remove(Table("L4.TXT"));
  test::RecordingHost host(u"D:\\IN\\source.ddf", u"D:\\OUT");
  host.answers = {true};
  EXPECT_EQ(RunWith(host).outcome, RunOutcome::kFailed);
  EXPECT_THAT(host.calls.back(), HasSubstr("L4.TXT"));
  EXPECT_TRUE(fs::is_empty(Host("OUT")));
}

TEST_F(RunTest, TooManyL4RowsIsAFailure) {
  std::vector<std::string> rows;
  for (int i = 1; i <= 51; ++i) rows.push_back(std::to_string(i) + ",x");
  test::WriteBytes(Table("L4.TXT"), test::SjisLines({rows.begin(), rows.end()}));
  test::RecordingHost host(u"D:\\IN\\source.ddf", u"D:\\OUT");
  host.answers = {true};
  EXPECT_EQ(RunWith(host).outcome, RunOutcome::kFailed);
  EXPECT_THAT(host.calls.back(), HasSubstr("50"));
}

TEST_F(RunTest, UnwritableDestinationFileIsAFailureNamingIt) {
  fs::create_directories(Host("OUT/X1.TXT"));  // a folder where a file must go
  test::RecordingHost host(u"D:\\IN\\source.ddf", u"D:\\OUT");
  EXPECT_EQ(RunWith(host).outcome, RunOutcome::kFailed);
  EXPECT_THAT(host.calls.back(), HasSubstr("X1.TXT"));
  EXPECT_TRUE(fs::exists(Host("OUT/CNT.TXT")));
}

// Tables the run cannot learn with: `check` says so as an error, and the run stops before its
// first output file, both tables as they were.
TEST_F(RunTest, TablesTheRunCannotLearnWithStopItBeforeAnyOutputAsCheckSays) {
  const std::string soil = TableBytes("KISHITU.TXT");
  const std::string user = TableBytes("XKISHITU.TXT");
  const std::string survey = test::ReadBytes(Host("IN/source.ddf"));
  struct Case {
    const char* name;
    const char* table;
    std::string bytes;
    const char* says;
  };
  const Case cases[] = {
      {"byte-order mark", "XKISHITU.TXT", "\xEF\xBB\xBF" + user, "Shift-JIS"},
      {"codes used up", "XKISHITU.TXT", test::SjisLines({"3999,最後の土,,,    ,0000"}),
       "使い切りました"},
      {"last record short", "KISHITU.TXT", soil + test::Sjis("5999,短い\r\n"), "項目が足りません"},
  };
  for (const Case& c : cases) {
    test::WriteBytes(Table(c.table), c.bytes);
    const std::vector<Finding> findings = CheckSurvey(survey, patdat);
    EXPECT_TRUE(std::any_of(findings.begin(), findings.end(), [](const Finding& f) {
      return f.severity == Severity::kError && f.rule == "table-failure";
    })) << c.name;
    test::RecordingHost host(u"D:\\IN\\source.ddf", u"D:\\OUT");
    host.answers = {true};
    EXPECT_EQ(RunWith(host).outcome, RunOutcome::kFailed) << c.name;
    EXPECT_THAT(host.calls.back(), HasSubstr(c.says)) << c.name;
    EXPECT_TRUE(fs::is_empty(Host("OUT"))) << c.name;
    EXPECT_EQ(TableBytes(c.table), c.bytes) << c.name;
    test::WriteBytes(Table("KISHITU.TXT"), soil);
    test::WriteBytes(Table("XKISHITU.TXT"), user);
  }
}

TEST_F(RunTest, SurveyWithoutAnySectionIsRefused) {
  test::WriteBytes(Host("IN/empty.ddf"), "");
  test::WriteBytes(Host("IN/text.ddf"), test::SjisLines({"ただのメモ", "A 1"}));
  for (const char16_t* source : {u"D:\\IN\\empty.ddf", u"D:\\IN\\text.ddf"}) {
    test::RecordingHost host(source, u"D:\\OUT");
    host.answers = {true};
    EXPECT_EQ(RunWith(host).outcome, RunOutcome::kRefused);
    EXPECT_THAT(host.calls, ::testing::Contains(HasSubstr("調査データがありません")));
    EXPECT_TRUE(NothingWritten());
  }
}

// The survey is read once: a file replaced while the run works is converted as it was read,
// and the hash the run gives is of those bytes.
TEST_F(RunTest, SurveyReplacedDuringTheRunIsConvertedAsItWasRead) {
  const std::string original = test::ReadBytes(Host("IN/source.ddf"));
  test::RecordingHost plain(u"D:\\IN\\source.ddf", u"D:\\PLAIN");
  plain.answers = {true};
  ASSERT_EQ(RunWith(plain).outcome, RunOutcome::kCompleted);

  test::HookHost host(u"D:\\IN\\source.ddf", u"D:\\OUT");
  host.answers = {true};
  host.on_busy = [this] {
    test::WriteBytes(Host("IN/source.ddf"),
                     test::SjisLines({"$A 1", "9.99", "別の土", "", "", "", "", "$C 0", "$K 0"}));
  };
  const RunResult result = RunWith(host);
  ASSERT_EQ(result.outcome, RunOutcome::kCompleted);
  EXPECT_EQ(result.source_sha256, convert::Sha256Hex(original));
  for (const char16_t* name : kOutputFiles) {
    const std::string file = U8(name);
    EXPECT_EQ(test::ReadBytes(Host("OUT/" + file)), test::ReadBytes(Host("PLAIN/" + file))) << file;
  }
}

#ifndef _WIN32
TEST_F(RunTest, LinksPlantedInTheDestinationAreReplacedNotWrittenThrough) {
  fs::create_directories(Host("OUT"));
  const std::string soil = TableBytes("KISHITU.TXT");
  fs::create_symlink("../PATDAT/KISHITU.TXT", Host("OUT/X6.TXT"));
  fs::create_symlink("../PATDAT/L4.TXT", Host("OUT/CNT.TXT"));
  const std::string l4 = TableBytes("L4.TXT");
  test::RecordingHost host(u"D:\\IN\\source.ddf", u"D:\\OUT");
  ASSERT_EQ(RunWith(host).outcome, RunOutcome::kCompleted);
  EXPECT_TRUE(TableBytes("KISHITU.TXT").starts_with(soil)) << "the soil table was overwritten";
  EXPECT_EQ(TableBytes("L4.TXT"), l4);
  for (const char* name : {"X6.TXT", "CNT.TXT"}) {
    EXPECT_FALSE(fs::is_symlink(Host("OUT/" + std::string(name)))) << name;
  }
}
#endif

// Another run holds the pattern folder: this one says it waits, and when it gives up it has
// written nothing; when the other run ends in time it goes on.
TEST_F(RunTest, RunWaitsForAnotherRunOnThePatternFolderAndGivesUpHavingWrittenNothing) {
  auto held = std::make_unique<platform::FolderLock>(patdat, std::chrono::milliseconds(0));
  ASSERT_EQ(held->state(), platform::FolderLock::State::kLocked);
  test::RecordingHost waiting(u"D:\\IN\\source.ddf", u"D:\\OUT");
  waiting.answers = {true};
  const RunResult gave_up = convert::Run({patdat, std::chrono::milliseconds(200)}, waiting);
  EXPECT_EQ(gave_up.outcome, RunOutcome::kFailed);
  EXPECT_THAT(waiting.calls, ::testing::Contains("line " + U8(kWaitingForTablesMessage)));
  EXPECT_THAT(waiting.calls.back(), HasSubstr("他の変換が土質テーブルを更新中です"));
  EXPECT_TRUE(fs::is_empty(Host("OUT")));
  EXPECT_FALSE(fs::exists(Marker()));

  std::thread other_run_ends([&held] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    held.reset();
  });
  test::RecordingHost patient(u"D:\\IN\\source.ddf", u"D:\\OUT");
  const RunResult done = convert::Run({patdat, std::chrono::seconds(30)}, patient);
  other_run_ends.join();
  EXPECT_EQ(done.outcome, RunOutcome::kCompleted);
  EXPECT_THAT(patient.calls, ::testing::Contains("line " + U8(kWaitingForTablesMessage)));
}

TEST_F(RunTest, FolderThatCannotBeCreatedSaysTheSystemsReason) {
  test::RecordingHost host(u"D:\\IN\\source.ddf", u"D:\\OUT\\" + std::u16string(300, u'N'));
  host.answers = {true};
  EXPECT_EQ(RunWith(host).outcome, RunOutcome::kFailed);
  const std::string reason = U8(platform::LastErrorText());
  EXPECT_THAT(host.calls.back(), HasSubstr("フォルダを作成できません。（"));
  EXPECT_THAT(host.calls.back(), ::testing::Not(HasSubstr("フォルダを作成できません。\n")));
}

}  // namespace
}  // namespace m2v::convert
