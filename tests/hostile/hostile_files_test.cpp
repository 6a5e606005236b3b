// Runs against folders and files that fight back: read-only, vanished, full, of the wrong
// kind, huge, holding NUL bytes. Each must end in a refusal or one failure report that
// names what went wrong, and the soil tables must come out whole, without a lost record.

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "coding/soil_tables.h"
#include "common/text_file.h"
#include "convert/pattern_folder_setting.h"
#include "convert/run.h"
#include "convert/survey_check.h"
#include "platform/platform.h"
#include "support/pattern_folder.h"
#include "support/recording_host.h"
#include "test_paths.h"
#include "text/text_util.h"
#include "text/utf.h"

namespace m2v::convert {
namespace {

namespace fs = std::filesystem;
using test::Sjis;
using test::SjisLines;
using ::testing::HasSubstr;

std::string U8(std::u16string_view text) { return text::Utf16ToUtf8(text); }

// Mounts made by a test stay inside its own process: a test that dies leaves none behind.
// Empty when mounting is possible, else why not.
std::string PrivateMounts() {
  static const std::string reason = []() -> std::string {
    if (unshare(CLONE_NEWNS) != 0) return "cannot make a mount namespace (no CAP_SYS_ADMIN)";
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
      return "cannot make the mounts private";
    }
    return "";
  }();
  return reason;
}

// A mount of this process, undone when the object goes.
class Mount {
 public:
  ~Mount() {
    if (!point_.empty()) umount2(point_.c_str(), MNT_DETACH);
  }
  // Mounts a tmpfs of `bytes` on `point`. Empty when done, else why not.
  std::string SmallDisk(const fs::path& point, std::size_t bytes) {
    if (std::string why = PrivateMounts(); !why.empty()) return why;
    const std::string options = "size=" + std::to_string(bytes);
    if (mount("tmpfs", point.c_str(), "tmpfs", 0, options.c_str()) != 0) {
      return "cannot mount a tmpfs";
    }
    point_ = point;
    return "";
  }
  // Makes `folder` read-only: a read-only bind mount for root, whom permissions do not
  // stop; the permission bits for anyone else. Empty when done, else why not.
  std::string ReadOnly(const fs::path& folder) {
    if (geteuid() != 0) {
      for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::remove);
      }
      fs::permissions(folder, fs::perms::owner_write, fs::perm_options::remove);
      return "";
    }
    if (std::string why = PrivateMounts(); !why.empty()) return why;
    if (mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) != 0) {
      return "cannot bind-mount";
    }
    point_ = folder;
    if (mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0) {
      return "cannot make a bind mount read-only";
    }
    return "";
  }

 private:
  fs::path point_;
};

// Writes a filler file into `folder` until its disk is full, to the last byte.
void FillDisk(const fs::path& folder) {
  const int fd = open((folder / "filler").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ASSERT_GE(fd, 0);
  const std::string block(4096, 'f');
  while (write(fd, block.data(), block.size()) == static_cast<ssize_t>(block.size())) {
  }
  while (write(fd, block.data(), 1) == 1) {
  }
  close(fd);
}

class HostileTest : public ::testing::Test, public test::PatternFolderFixture {
 protected:
  HostileTest() {
    const fs::path data = fs::path(M2V_TEST_DATA_DIR) / "runs" / "full_run";
    fs::create_directories(Host("IN"));
    fs::copy_file(data / "source.ddf", Host("IN/source.ddf"));
    fs::copy(data / "patdat", Host("PATDAT"));
  }

  // A survey of one header and of layers with these names.
  void WriteSurvey(const std::vector<std::string>& names, std::string extra = "",
                   std::string_view file = "IN/source.ddf") const {
    std::string bytes = test::ReadBytes(fs::path(M2V_TEST_DATA_DIR) / "runs/full_run/source.ddf");
    bytes = bytes.substr(bytes.find("$Z"));
    bytes = bytes.substr(0, bytes.find("$A"));  // the header section alone
    bytes += Sjis("$A " + std::to_string(names.size())) + "\r\n";
    for (std::size_t i = 0; i < names.size(); ++i) {
      bytes += Sjis(std::to_string(i + 1) + ".00\r\n" + names[i] + "\r\n\r\n\r\n\r\n\r\n");
    }
    test::WriteBytes(Host(file), bytes + extra);
  }

  RunResult RunInto(test::RecordingHost& host) {
    host.answers = {true};
    return convert::Run({patdat}, host);
  }

  void RememberTables() {
    soil_before_ = TableBytes("KISHITU.TXT");
    user_before_ = TableBytes("XKISHITU.TXT");
  }
  void ExpectTablesAsBefore() const {
    EXPECT_EQ(TableBytes("KISHITU.TXT"), soil_before_);
    EXPECT_EQ(TableBytes("XKISHITU.TXT"), user_before_);
    EXPECT_FALSE(fs::exists(Table("XKISHITU.TMP")));
  }

  // The run's last word is one failure report holding `part`, after the cursor went back.
  static void ExpectOneFailure(const test::RecordingHost& host, const std::string& part) {
    ASSERT_GE(host.calls.size(), 2u);
    EXPECT_THAT(host.calls.back(), HasSubstr("failure "));
    EXPECT_THAT(host.calls.back(), HasSubstr(part));
    EXPECT_EQ(std::count_if(host.calls.begin(), host.calls.end(),
                            [](const std::string& c) { return c.starts_with("failure "); }),
              1);
    EXPECT_EQ(host.calls[host.calls.size() - 2], "line ");
    EXPECT_THAT(host.calls, ::testing::Not(::testing::Contains("line " + U8(kCompletionMessage))));
  }

  std::string soil_before_;
  std::string user_before_;
};

TEST_F(HostileTest, ReadOnlyPatternFolderConvertsKnownNamesAndRefusesToLearn) {
  Mount read_only;
  if (std::string why = read_only.ReadOnly(Host("PATDAT")); !why.empty()) GTEST_SKIP() << why;
  RememberTables();

  WriteSurvey({"粘土", "シルト", "表土"});
  test::RecordingHost known(u"D:\\IN\\source.ddf", u"D:\\OUT");
  EXPECT_EQ(RunInto(known).outcome, RunOutcome::kCompleted);
  EXPECT_TRUE(fs::exists(Host("OUT/X1.TXT")));

  // Refused before the first output file: the outputs of the run before stay as they were.
  const std::string x1 = test::ReadBytes(Host("OUT/X1.TXT"));
  fs::remove(Host("OUT/CNT.TXT"));
  WriteSurvey({"粘土", "貝殻混じり腐植土"});  // a name no table knows
  test::RecordingHost learning(u"D:\\IN\\source.ddf", u"D:\\OUT");
  EXPECT_EQ(RunInto(learning).outcome, RunOutcome::kFailed);
  ExpectOneFailure(learning, "D:\\PATDAT\\");
  ExpectOneFailure(learning, U8(coding::kCannotLearnMessage));
  // check says the same before any run.
  const std::vector<Finding> findings = CheckSurvey(test::ReadBytes(Host("IN/source.ddf")), patdat);
  EXPECT_TRUE(std::any_of(findings.begin(), findings.end(), [](const Finding& f) {
    return f.severity == Severity::kError && f.rule == "tables-unwritable";
  }));

  WriteSurvey({"砂質粘土"});  // known to the user table only: adopted into the soil table
  test::RecordingHost adopting(u"D:\\IN\\source.ddf", u"D:\\OUT");
  EXPECT_EQ(RunInto(adopting).outcome, RunOutcome::kFailed);
  ExpectOneFailure(adopting, U8(coding::kCannotLearnMessage));
  ExpectTablesAsBefore();
  EXPECT_EQ(test::ReadBytes(Host("OUT/X1.TXT")), x1);
  EXPECT_FALSE(fs::exists(Host("OUT/CNT.TXT")));
}

TEST_F(HostileTest, ReadOnlyDestinationFailsAtItsFirstFileAndTouchesNoTable) {
  fs::create_directories(Host("OUT"));
  Mount read_only;
  if (std::string why = read_only.ReadOnly(Host("OUT")); !why.empty()) GTEST_SKIP() << why;
  RememberTables();
  test::RecordingHost host(u"D:\\IN\\source.ddf", u"D:\\OUT");
  EXPECT_EQ(RunInto(host).outcome, RunOutcome::kFailed);
  ExpectOneFailure(host, "D:\\OUT\\CNT.TXT");
  ExpectTablesAsBefore();
  EXPECT_TRUE(fs::is_empty(Host("OUT")));
}

TEST_F(HostileTest, DestinationThatVanishesAfterTheChecksIsAFailureNamingIt) {
  test::HookHost host(u"D:\\IN\\source.ddf", u"D:\\OUT\\HOLE1");
  host.on_busy = [this] { fs::remove_all(Host("OUT")); };
  RememberTables();
  EXPECT_EQ(RunInto(host).outcome, RunOutcome::kFailed);
  ExpectOneFailure(host, "D:\\OUT\\HOLE1\\CNT.TXT");
  ExpectTablesAsBefore();
}

TEST_F(HostileTest, DestinationOnADriveWhoseRootVanishedIsRefused) {
  drives_.MapDrive('E', dir_ / "e");
  fs::remove(dir_ / "e");
  test::RecordingHost host(u"D:\\IN\\source.ddf", u"E:\\OUT");
  EXPECT_EQ(RunInto(host).outcome, RunOutcome::kRefused);
  EXPECT_THAT(host.calls, ::testing::Contains("box exclamation [E:\\OUT] " + U8(kBadPathMessage)));
  EXPECT_FALSE(fs::exists(dir_ / "e"));
}

TEST_F(HostileTest, FullDestinationDiskIsAFailureNamingTheFile) {
  fs::create_directories(Host("OUT"));
  Mount disk;
  if (std::string why = disk.SmallDisk(Host("OUT"), 8192); !why.empty()) GTEST_SKIP() << why;
  FillDisk(Host("OUT"));
  RememberTables();
  test::RecordingHost host(u"D:\\IN\\source.ddf", u"D:\\OUT");
  EXPECT_EQ(RunInto(host).outcome, RunOutcome::kFailed);
  ExpectOneFailure(host, "D:\\OUT\\");
}

// Fills the small disk the pattern folder is on, leaving only the slack at the end of the
// last page of the soil table: too little for one more record.
class FullPatternDiskTest : public HostileTest {
 protected:
  std::string Prepare(Mount& disk) {
    const std::string soil = TableBytes("KISHITU.TXT");
    const std::string user = TableBytes("XKISHITU.TXT");
    fs::remove_all(Host("PATDAT"));
    fs::create_directories(Host("PATDAT"));
    if (std::string why = disk.SmallDisk(Host("PATDAT"), 64 * 1024); !why.empty()) return why;
    fs::copy(fs::path(M2V_TEST_DATA_DIR) / "runs/full_run/patdat", Host("PATDAT"),
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    // A soil table ending 5 bytes before a page boundary, by one record of the right length.
    const std::string head = soil + "0999,";
    const std::string tail = ",,,    ,0000\r\n";
    std::size_t name = (4096 - 5 - (head.size() + tail.size()) % 4096) % 4096;
    if (name == 0) name = 4096;
    test::WriteBytes(Table("KISHITU.TXT"), head + std::string(name, 'x') + tail);
    test::WriteBytes(Table("XKISHITU.TXT"), user);
    FillDisk(Host("PATDAT"));
    return "";
  }
};

TEST_F(FullPatternDiskTest, NewNameLeavesBothTablesWhole) {
  Mount disk;
  if (std::string why = Prepare(disk); !why.empty()) GTEST_SKIP() << why;
  RememberTables();
  WriteSurvey({"粘土", "貝殻混じり腐植土"});
  test::RecordingHost host(u"D:\\IN\\source.ddf", u"D:\\OUT");
  EXPECT_EQ(RunInto(host).outcome, RunOutcome::kFailed);
  ExpectOneFailure(host, "D:\\PATDAT\\XKISHITU");
  ExpectTablesAsBefore();
}

TEST_F(FullPatternDiskTest, AdoptedNameIsAppendedWholeOrNotAtAll) {
  Mount disk;
  if (std::string why = Prepare(disk); !why.empty()) GTEST_SKIP() << why;
  RememberTables();
  WriteSurvey({"砂質粘土"});  // known to the user table only
  test::RecordingHost host(u"D:\\IN\\source.ddf", u"D:\\OUT");
  EXPECT_EQ(RunInto(host).outcome, RunOutcome::kFailed);
  ExpectOneFailure(host, "D:\\PATDAT\\KISHITU.TXT");
  ExpectTablesAsBefore();

  // With room again, the same run learns the name and the table reads on.
  fs::remove(Host("PATDAT/filler"));
  test::RecordingHost again(u"D:\\IN\\source.ddf", u"D:\\OUT");
  EXPECT_EQ(RunInto(again).outcome, RunOutcome::kCompleted);
  EXPECT_EQ(TableBytes("KISHITU.TXT"), soil_before_ + Sjis("2005,砂質粘土,,,,0000\r\n"));
}

TEST_F(HostileTest, TablesThatAreFoldersAreFailuresNamingThem) {
  struct Case {
    const char* table;
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {"L4.TXT", {"粘土"}},
      {"KISHITU.TXT", {"粘土"}},
      {"XKISHITU.TXT", {"貝殻混じり腐植土"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.table);
    RememberTables();
    const std::string bytes = TableBytes(c.table);
    fs::remove(Table(c.table));
    fs::create_directories(Table(c.table));
    WriteSurvey(c.names);
    test::RecordingHost host(u"D:\\IN\\source.ddf", u"D:\\OUT");
    EXPECT_EQ(RunInto(host).outcome, RunOutcome::kFailed);
    ExpectOneFailure(host, std::string("D:\\PATDAT\\") + c.table);
    EXPECT_TRUE(fs::is_directory(Table(c.table)));
    fs::remove_all(Table(c.table));
    test::WriteBytes(Table(c.table), bytes);
    ExpectTablesAsBefore();
  }
}

TEST_F(HostileTest, MegabyteLinesInTheSourceAndInATable) {
  // A soil table holding a 1 MB record still serves the names after it.
  const std::string huge_name(1 << 20, 'k');
  test::WriteBytes(Table("KISHITU.TXT"),
                   "0001," + huge_name + ",,,    ,0000\r\n" + TableBytes("KISHITU.TXT"));
  WriteSurvey({"粘土", std::string(1 << 20, 's')});
  RememberTables();
  test::RecordingHost host(u"D:\\IN\\source.ddf", u"D:\\OUT");
  ASSERT_EQ(RunInto(host).outcome, RunOutcome::kCompleted);
  const std::string x1 = test::ReadBytes(Host("OUT/X1.TXT"));
  EXPECT_THAT(x1, HasSubstr(Sjis("  1,   1.00,5012,粘土\r\n")));
  EXPECT_THAT(x1, HasSubstr("  2,   2.00,2006," + std::string(1 << 20, 's') + "\r\n"));
  // The 1 MB name is learned as one whole record and found by the next run.
  EXPECT_EQ(TableBytes("KISHITU.TXT"),
            soil_before_ + "2006," + std::string(1 << 20, 's') + ",,,    ,0000\r\n");
  test::RecordingHost again(u"D:\\IN\\source.ddf", u"D:\\OUT");
  const RunResult second = RunInto(again);
  EXPECT_EQ(second.outcome, RunOutcome::kCompleted);
  EXPECT_TRUE(second.learned.empty());

  // A megabyte header field is more than the region look-up takes: a failure, not a crash.
  std::string bytes = test::ReadBytes(Host("IN/source.ddf"));
  const std::size_t region = bytes.find(Sjis("シズオカ"));
  ASSERT_NE(region, std::string::npos);
  bytes.replace(region, Sjis("シズオカ").size(), std::string(1 << 20, 'r'));
  test::WriteBytes(Host("IN/source.ddf"), bytes);
  test::RecordingHost header(u"D:\\IN\\source.ddf", u"D:\\OUT");
  EXPECT_EQ(RunInto(header).outcome, RunOutcome::kFailed);
  ExpectOneFailure(header, "32,767");
}

TEST_F(HostileTest, FiftyMegabyteSourceConverts) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "a minute and more under AddressSanitizer; the default build runs it";
#endif
  // An unread section of 50 MB before the sections the passes read.
  std::string bytes = "$B 1\r\n";
  const std::string line = Sjis("備考　") + std::string(90, '.') + "\r\n";
  bytes.reserve(50u << 20);
  while (bytes.size() < (50u << 20)) bytes += line;
  bytes += SjisLines({"$C 2", "1.15", "4", "5", "6", "30/2", "", "2.15", "50/12", "", "", "", ""});
  test::WriteBytes(Host("IN/source.ddf"), bytes);
  RememberTables();
  const auto start = std::chrono::steady_clock::now();
  test::RecordingHost host(u"D:\\IN\\source.ddf", u"D:\\OUT");
  ASSERT_EQ(RunInto(host).outcome, RunOutcome::kCompleted) << host.calls[2];
  const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start);
  EXPECT_EQ(test::ReadBytes(Host("OUT/X5.TXT")),
            SjisLines({"  1,   1.15,  4,  4, 30,  5, 10,  6, 10, 30,  2",
                       "  2,   2.15, 50,125, 12,   ,   ,   ,   ,   ,   "}));
  ExpectTablesAsBefore();
  RecordProperty("seconds", std::to_string(seconds.count()));
}

TEST_F(HostileTest, NulBytesInTheSourceAreTextLikeAnyOther) {
  const std::string name = Sjis("粘") + std::string(1, '\0') + Sjis("土");
  const char depth_texts[] = "$K 1\r\n1.00)\r\n1\r\na\0b\r\n\x01\r\n";
  const char x12[] = "  1,   0.00,\"a\0b\"\r\n";
  WriteSurvey({std::string("粘") + '\0' + "土", "粘土"},
              std::string(depth_texts, sizeof depth_texts - 1));
  test::RecordingHost host(u"D:\\IN\\source.ddf", u"D:\\OUT");
  ASSERT_EQ(RunInto(host).outcome, RunOutcome::kCompleted);
  EXPECT_THAT(test::ReadBytes(Host("OUT/X1.TXT")), HasSubstr("  1,   1.00,2006," + name + "\r\n"));
  EXPECT_EQ(test::ReadBytes(Host("OUT/X12.TXT")), std::string(x12, sizeof x12 - 1));
  test::RecordingHost again(u"D:\\IN\\source.ddf", u"D:\\OUT");
  const RunResult second = RunInto(again);
  EXPECT_EQ(second.outcome, RunOutcome::kCompleted);
  EXPECT_TRUE(second.learned.empty()) << "the table must hold the name with its NUL";
}

TEST_F(HostileTest, RunsAtOnceOnOnePatternFolderLoseNothingAndGiveNoCodeTwice) {
  constexpr int kRuns = 3;
  constexpr int kNames = 40;
  RememberTables();
  for (int run = 0; run < kRuns; ++run) {
    std::vector<std::string> names;
    for (int i = 0; i < kNames; ++i) {
      // Each run's own names, and one name all of them meet at once.
      names.push_back(i % 10 == 5 ? "共通の土" : "土" + std::to_string(run * 100 + i));
    }
    WriteSurvey(names, "", "IN/s" + std::to_string(run) + ".ddf");
  }
  std::vector<pid_t> children;
  for (int run = 0; run < kRuns; ++run) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      const std::u16string n = text::DecimalText(run);
      test::RecordingHost host(u"D:\\IN\\s" + n + u".ddf", u"D:\\OUT" + n);
      host.answers = {true};
      const RunResult result = convert::Run({patdat}, host);
      _exit(result.outcome == RunOutcome::kCompleted ? 0 : 1);
    }
    children.push_back(pid);
  }
  for (const pid_t pid : children) {
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }

  const std::string soil = TableBytes("KISHITU.TXT");
  ASSERT_TRUE(soil.starts_with(soil_before_));
  const std::vector<std::string_view> learned =
      common::SplitByteLines(std::string_view(soil).substr(soil_before_.size()));
  EXPECT_EQ(learned.size(), static_cast<std::size_t>(kRuns * (kNames - 4) + 1));
  const std::string user = TableBytes("XKISHITU.TXT");
  std::set<std::string> codes;
  std::set<std::string> names;
  for (const std::string_view line : learned) {
    const std::string_view code = line.substr(0, line.find(','));
    EXPECT_TRUE(codes.insert(std::string(code)).second) << "code given twice: " << code;
    EXPECT_TRUE(names.insert(std::string(line.substr(code.size()))).second) << line;
    EXPECT_NE(user.find(std::string(line.substr(0, line.find(",,,"))) + ",,,    ,0000\r\n"),
              std::string::npos)
        << "not in the user table: " << line;
  }
  for (const std::string_view old_line : common::SplitByteLines(user_before_)) {
    EXPECT_NE(user.find(std::string(old_line) + "\r\n"), std::string::npos) << "lost: " << old_line;
  }
  EXPECT_FALSE(fs::exists(Table("XKISHITU.TMP")));
}

TEST_F(HostileTest, NulInThePatternFolderSettingIsNoPatternFolder) {
  // Read up to its NUL, the setting would name the pattern folder D:\PATDAT\ itself.
  const char ini[] = "x\r\nD:\\PATDAT\0x\\\r\n";
  test::WriteBytes(dir_ / "sys" / "PatdatV5.ini", std::string(ini, sizeof ini - 1));
  const std::u16string setting = ReadPatternFolder();
  EXPECT_FALSE(PatternFolderExists(setting)) << U8(setting);
}

}  // namespace
}  // namespace m2v::convert
