// The order of the run's checks, what each refusal shows, and what a failure after the
// checks leaves behind, through a recording host.

#include "convert/run.h"

#include <filesystem>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "common/dest_path.h"
#include "common/utf.h"
#include "platform/platform.h"
#include "support/pattern_folder.h"
#include "support/recording_host.h"
#include "test_paths.h"

namespace m2v::convert {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

std::string U8(std::u16string_view text) { return common::Utf16ToUtf8(text); }

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

}  // namespace
}  // namespace m2v::convert
