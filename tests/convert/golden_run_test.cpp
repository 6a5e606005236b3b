// Whole conversion runs over the hand-written folders of tests/data/runs, byte for byte.

#include <filesystem>
#include <fstream>
#include <set>

#include <gtest/gtest.h>

#include "convert/run.h"
#include "platform/platform.h"
#include "support/file_bytes.h"
#include "support/recording_host.h"
#include "support/temp_dir.h"
#include "test_paths.h"
#include "text/utf.h"

namespace m2v::convert {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Cases() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(fs::path(M2V_TEST_DATA_DIR) / "runs")) {
    if (entry.is_directory()) names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::set<std::string> FileNames(const fs::path& folder) {
  std::set<std::string> names;
  if (!fs::exists(folder)) return names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

// Every file of `expected` is in `actual` with the same bytes, and `actual` holds no other.
void ExpectSameFiles(const fs::path& expected, const fs::path& actual) {
  EXPECT_EQ(FileNames(actual), FileNames(expected)) << actual;
  for (const std::string& name : FileNames(expected)) {
    if (!fs::exists(actual / name)) continue;
    EXPECT_EQ(test::ReadBytes(actual / name), test::ReadBytes(expected / name))
        << "differs: " << name;
  }
}

class GoldenRunTest : public ::testing::TestWithParam<std::string> {
 protected:
  fs::path CaseDir() const { return fs::path(M2V_TEST_DATA_DIR) / "runs" / GetParam(); }

  std::u16string Destination() const {
    if (!fs::exists(CaseDir() / "dest.txt")) return u"D:\\SURVEY\\AB12CD\\HOLE1";
    std::string line = test::ReadBytes(CaseDir() / "dest.txt");
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    return text::Utf8ToUtf16(line);
  }

  RunResult RunOnce() {
    test::RecordingHost host(u"D:\\IN\\source.ddf", Destination());
    host.answers = {true};
    return convert::Run({u"D:\\PATDAT\\"}, host);
  }

  void SetUp() override {
    fs::create_directories(root_ / "IN");
    drives_.MapDrive('D', root_);
    fs::copy_file(CaseDir() / "source.ddf", root_ / "IN" / "source.ddf");
    if (fs::exists(CaseDir() / "patdat")) fs::copy(CaseDir() / "patdat", root_ / "PATDAT");
    fs::create_directories(root_ / "PATDAT");
  }

  test::TempDir dir_;
  fs::path root_ = dir_ / "d";
  test::DriveTable drives_{dir_ / "sys"};
};

TEST_P(GoldenRunTest, WritesTheExpectedFilesAndTables) {
  const RunResult result = RunOnce();
  ASSERT_EQ(result.outcome, RunOutcome::kCompleted);
  const fs::path out = platform::ToHostPath(result.output_folder).value();
  ExpectSameFiles(CaseDir() / "expected" / "out", out);
  ExpectSameFiles(CaseDir() / "expected" / "patdat", root_ / "PATDAT");
  EXPECT_EQ(fs::exists(dir_ / "sys" / "PATADD.txt"),
            fs::exists(CaseDir() / "expected" / "marker_created"));
  EXPECT_EQ(result.files_written.size(), FileNames(CaseDir() / "expected" / "out").size());
}

TEST_P(GoldenRunTest, SecondRunWritesTheSameFilesAndFindsWhatTheFirstTaught) {
  ASSERT_EQ(RunOnce().outcome, RunOutcome::kCompleted);
  const RunResult second = RunOnce();
  ASSERT_EQ(second.outcome, RunOutcome::kCompleted);
  // Only a name holding "（" can never be found, and is taught again (with a new code).
  for (const coding::LearnedSoilName& learned : second.learned) {
    EXPECT_NE(learned.name.find(u'（'), std::u16string::npos) << text::Utf16ToUtf8(learned.name);
  }
  if (second.learned.empty()) {
    ExpectSameFiles(CaseDir() / "expected" / "out",
                    platform::ToHostPath(second.output_folder).value());
  }
}

INSTANTIATE_TEST_SUITE_P(Runs, GoldenRunTest, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace m2v::convert
