#include "platform/marker.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "support/file_bytes.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"
#include "text/utf.h"

namespace m2v::platform {
namespace {

namespace fs = std::filesystem;

// Two candidate folders below a scratch folder: "program", where the marker belongs, and
// "user\m2v", a folder of the user's own that may not exist yet. A regular file named
// "blocked" stands where a folder would have to be, so nothing can be written below it
// (a permission would not stop root).
class PlaceMarkerTest : public ::testing::Test {
 protected:
  void SetUp() override {
#ifndef _WIN32
    table_.emplace(tmp_ / "sys");
    table_->MapDrive('D', tmp_ / "d");
#endif
    fs::create_directories(tmp_ / "d" / "program");
    test::WriteBytes(tmp_ / "d" / "blocked", "");
    const std::optional<std::u16string> root = ToDrivePath(tmp_ / "d");
    ASSERT_TRUE(root.has_value());
    root_ = *root;
    if (root_.back() != u'\\') root_ += u'\\';
  }

  std::u16string At(const std::u16string& rel) const { return root_ + rel; }
  bool Exists(const fs::path& rel) const { return fs::exists(tmp_ / "d" / rel); }

  test::TempDir tmp_;
#ifndef _WIN32
  std::optional<test::DriveTable> table_;
#endif
  std::u16string root_;
};

TEST_F(PlaceMarkerTest, GoesWhereItCanAndIsFoundThereAgain) {
  const std::u16string program = At(u"program");
  const std::u16string user = At(u"user\\m2v");
  const std::u16string blocked = At(u"blocked\\bin");

  // The program's own folder when it can be written; the other folder is not even made.
  EXPECT_EQ(PlaceMarker({program, user}, u"PATADD.txt"), program + u"\\PATADD.txt");
  EXPECT_TRUE(Exists("program/PATADD.txt"));
  EXPECT_FALSE(Exists("user"));
  EXPECT_EQ(test::ReadBytes(tmp_ / "d" / "program" / "PATADD.txt"), "");

  // A program folder that cannot be written: the user's folder, its levels made.
  EXPECT_EQ(PlaceMarker({blocked, user}, u"PATADD.txt"), user + u"\\PATADD.txt");
  EXPECT_TRUE(Exists("user/m2v/PATADD.txt"));

  // Once there, a later run finds it there even when the first folder could take one now,
  // and does not write a second.
  fs::remove(tmp_ / "d" / "program" / "PATADD.txt");
  EXPECT_EQ(PlaceMarker({program, user}, u"PATADD.txt"), user + u"\\PATADD.txt");
  EXPECT_FALSE(Exists("program/PATADD.txt"));

  // A marker that stands in a folder that cannot be written is simply found.
  test::WriteBytes(tmp_ / "d" / "program" / "PATADD.txt", "");
  EXPECT_EQ(PlaceMarker({blocked, program}, u"PATADD.txt"), program + u"\\PATADD.txt");

  // The name is matched without regard to letter case, as the run's other files are.
  EXPECT_FALSE(PlaceMarker({program}, u"patadd.TXT").empty());
  EXPECT_EQ(std::distance(fs::directory_iterator(tmp_ / "d" / "program"), {}), 1);
}

TEST_F(PlaceMarkerTest, NoFolderThatCanHoldItIsAnEmptyResult) {
  EXPECT_EQ(PlaceMarker({At(u"blocked\\bin"), At(u"blocked\\user")}, u"PATADD.txt"), u"");
  EXPECT_EQ(PlaceMarker({}, u"PATADD.txt"), u"");
  EXPECT_EQ(PlaceMarker({u""}, u"PATADD.txt"), u"");
}

#ifdef _WIN32
TEST(MarkerFolders, TheProgramFolderThenTheUsersLocalApplicationData) {
  test::TempDir tmp;
  const test::ScopedEnv no_own("MIRTA2VESK_SYSDIR", nullptr);
  const test::ScopedEnv local("LOCALAPPDATA", "c:\\Users\\site\\AppData\\Local\\");
  const std::vector<std::u16string> expected = {ProgramFolder(),
                                                u"C:\\Users\\site\\AppData\\Local\\mirta2vesk"};
  EXPECT_EQ(MarkerFolders(), expected);

  const test::ScopedEnv own("MIRTA2VESK_SYSDIR", (tmp / "sys").string().c_str());
  EXPECT_EQ(MarkerFolders(), std::vector<std::u16string>{SysDir()});
}
#endif

}  // namespace
}  // namespace m2v::platform
