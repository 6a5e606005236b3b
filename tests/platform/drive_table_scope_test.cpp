// Inside a DriveTableScope the drive table and exact path resolutions are kept; every answer
// must still be the one a fresh look-up would give.

#include <chrono>
#include <filesystem>
#include <thread>

#include <gtest/gtest.h>

#include "platform/platform.h"
#include "support/file_bytes.h"
#include "support/temp_dir.h"

namespace m2v::platform {
namespace {

namespace fs = std::filesystem;

#ifndef _WIN32

class DriveTableScopeTest : public ::testing::Test {
 protected:
  fs::path Real(const fs::path& path) const { return fs::weakly_canonical(path); }

  test::TempDir tmp_;
  test::DriveTable table_{tmp_ / "sys"};
  DriveTableScope scope_;
};

TEST_F(DriveTableScopeTest, ADriveMappedElsewhereDuringTheScopeIsSeenAtOnce) {
  test::WriteBytes(tmp_ / "one" / "T.TXT", "one");
  test::WriteBytes(tmp_ / "two" / "T.TXT", "two!");
  table_.MapDrive('D', tmp_ / "one");
  EXPECT_EQ(ToHostPath(u"D:\\T.TXT"), Real(tmp_ / "one" / "T.TXT"));
  EXPECT_EQ(FileSize(u"D:\\T.TXT"), 3);

  table_.MapDrive('D', tmp_ / "two");
  EXPECT_EQ(ToHostPath(u"D:\\T.TXT"), Real(tmp_ / "two" / "T.TXT"));
  EXPECT_EQ(FileSize(u"D:\\T.TXT"), 4);
  EXPECT_EQ(StampOf(u"D:\\T.TXT")->size, 4);

  fs::remove(tmp_ / "sys" / "dosdevices" / "d:");
  EXPECT_EQ(ToHostPath(u"D:\\T.TXT"), std::nullopt);
  EXPECT_FALSE(StampOf(u"D:\\T.TXT"));
}

TEST_F(DriveTableScopeTest, AFileThatGoesIsLookedUpAgainWithoutRegardToCase) {
  table_.MapDrive('D', tmp_ / "d");
  test::WriteBytes(tmp_ / "d" / "PATDAT" / "KISHITU.TXT", "upper");
  EXPECT_EQ(StampOf(u"D:\\PATDAT\\KISHITU.TXT")->size, 5);

  // The exact name goes; one that differs in case comes: the path now leads there.
  fs::remove(tmp_ / "d" / "PATDAT" / "KISHITU.TXT");
  test::WriteBytes(tmp_ / "d" / "PATDAT" / "kishitu.txt", "lower!");
  EXPECT_EQ(ToHostPath(u"D:\\PATDAT\\KISHITU.TXT"), Real(tmp_ / "d" / "PATDAT" / "kishitu.txt"));
  EXPECT_EQ(StampOf(u"D:\\PATDAT\\KISHITU.TXT")->size, 6);
  EXPECT_EQ(FileSize(u"D:\\PATDAT\\KISHITU.TXT"), 6);
}

TEST_F(DriveTableScopeTest, AnExactNameThatAppearsWinsOverTheOneMatchedWithoutCase) {
  table_.MapDrive('D', tmp_ / "d");
  test::WriteBytes(tmp_ / "d" / "a.txt", "lower");
  EXPECT_EQ(ToHostPath(u"D:\\A.TXT"), Real(tmp_ / "d" / "a.txt"));
  test::WriteBytes(tmp_ / "d" / "A.TXT", "upper!");
  EXPECT_EQ(ToHostPath(u"D:\\A.TXT"), Real(tmp_ / "d" / "A.TXT"));
  EXPECT_EQ(StampOf(u"D:\\A.TXT")->size, 6);
}

TEST_F(DriveTableScopeTest, ARelativePathFollowsTheCurrentFolder) {
  table_.MapDrive('D', tmp_ / "d");
  test::WriteBytes(tmp_ / "d" / "one" / "f.txt", "1");
  test::WriteBytes(tmp_ / "d" / "two" / "f.txt", "22");
  ASSERT_TRUE(SetCurrentFolder(u"D:\\one"));
  EXPECT_EQ(FileSize(u"D:f.txt"), 1);
  ASSERT_TRUE(SetCurrentFolder(u"D:\\two"));
  EXPECT_EQ(FileSize(u"D:f.txt"), 2);
  EXPECT_EQ(StampOf(u"D:f.txt")->size, 2);
}

#endif

TEST(FileStampTest, ChangesWithTheFileAndNamesOnlyRegularFiles) {
  test::TempDir tmp;
  test::DriveTable table(tmp / "sys");
  table.MapDrive('D', tmp / "d");
  const std::u16string root = table.Root('D');
  const std::u16string file = root + u"t.txt";
  test::WriteBytes(tmp / "d" / "t.txt", "abc");
  const std::optional<FileStamp> before = StampOf(file);
  ASSERT_TRUE(before);
  EXPECT_EQ(before->size, 3);
  EXPECT_EQ(StampOf(file), before);

  // Same size, and the old modification time put back: the change still shows, once the
  // file system's clock has ticked (a rewrite within one tick is what a stamp cannot see).
  const fs::file_time_type modified = fs::last_write_time(tmp / "d" / "t.txt");
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  test::WriteBytes(tmp / "d" / "t.txt", "xyz");
  fs::last_write_time(tmp / "d" / "t.txt", modified);
  EXPECT_NE(StampOf(file), before);

  EXPECT_FALSE(StampOf(root));
  EXPECT_FALSE(StampOf(root + u"missing.txt"));
  EXPECT_FALSE(StampOf(u""));
}

}  // namespace
}  // namespace m2v::platform
