#include "common/dest_path.h"

#include <gtest/gtest.h>

#include "platform/platform.h"
#include "support/temp_dir.h"

namespace m2v::common {
namespace {

class DestPathTest : public ::testing::Test {
 protected:
  DestPathTest() : drives_(dir_ / "sys") {
    drives_.MapDrive('C', dir_ / "c");
    drives_.MapDrive('D', dir_ / "d");
  }
  test::TempDir dir_;
  test::DriveTable drives_;
};

TEST_F(DestPathTest, AcceptsAndNormalises) {
  const std::pair<std::u16string, std::u16string> cases[] = {
      {u"C:", u"C:\\"},
      {u" C: ", u"C:\\"},
      {u"C:\\", u"C:\\"},
      {u"C:\\DATA\\OUT", u"C:\\DATA\\OUT\\"},
      {u"C:DATA", u"C:\\DATA\\"},
      {u"D:\\SURVEY\\AB12CD\\HOLE1\\", u"D:\\SURVEY\\AB12CD\\HOLE1\\"},
      {u"C:\\ABCDEFGH.TXT", u"C:\\ABCDEFGH.TXT\\"},
      {u"C:\\LONGFOLDERNAME", u"C:\\LONGFOLDERNAME\\"},
      {u"C:\\A.漢", u"C:\\A.漢\\"},  // 1 + 1 + 2 bytes
      {u"C:\\現場\\ボーリング１", u"C:\\現場\\ボーリング１\\"},
  };
  for (const auto& [typed, normalised] : cases) {
    std::u16string path = typed;
    EXPECT_EQ(CheckDestPath(path), DestPathVerdict::kAccepted) << path.size();
    EXPECT_EQ(path, normalised);
  }
}

TEST_F(DestPathTest, RefusesWithTheDriveNameMessageOnlyWhenTheSecondByteIsNoColon) {
  for (const std::u16string typed : {u"", u"C", u"\\DATA", u"CD:\\", u"漢:\\", u"   "}) {
    std::u16string path = typed;
    EXPECT_EQ(CheckDestPath(path), DestPathVerdict::kBadDriveName);
  }
}

TEST_F(DestPathTest, RefusesSilently) {
  for (const std::u16string typed :
       {u"C:\\MY DATA", u"C:\\*.*", u"C:\\A?", u"C:\\DATA\\\\OUT", u"C:\\ABCDEFGHI.TXT",
        u"C:\\DATA.TEXT", u"C:\\A.B.C", u"C:\\漢字.TXT", u"1:\\DATA", u"Q:\\DATA",
        u"C:\\A\x01"
        u"B",
        u"C:\\A<B", u"C:\\A|B"}) {
    std::u16string path = typed;
    EXPECT_EQ(CheckDestPath(path), DestPathVerdict::kRefused);
  }
}

TEST_F(DestPathTest, SelectsTheDriveAndLeavesItWhenTheDriveIsUnknown) {
  std::u16string path = u"D:\\X";
  ASSERT_EQ(CheckDestPath(path), DestPathVerdict::kAccepted);
  EXPECT_EQ(platform::CurrentDrive(), u'D');
  path = u"Q:\\DATA";
  EXPECT_EQ(CheckDestPath(path), DestPathVerdict::kRefused);
  EXPECT_EQ(platform::CurrentDrive(), u'D');
  path = u"C:\\Y";
  ASSERT_EQ(CheckDestPath(path), DestPathVerdict::kAccepted);
  EXPECT_EQ(platform::CurrentDrive(), u'C');
}

TEST_F(DestPathTest, JudgesHugeFolderNamesWithoutOverflow) {
  std::u16string path = u"C:\\" + std::u16string(40000, u'漢');
  EXPECT_EQ(CheckDestPath(path), DestPathVerdict::kAccepted);
  path = u"C:\\A." + std::u16string(40000, u'漢');
  EXPECT_EQ(CheckDestPath(path), DestPathVerdict::kRefused);
}

}  // namespace
}  // namespace m2v::common
