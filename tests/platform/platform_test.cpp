#include "platform/platform.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "support/file_bytes.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"
#include "text/utf.h"

namespace m2v::platform {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::WriteBytes;
using ::testing::ElementsAre;

std::string Narrow(const std::u16string& text) { return text::Utf16ToUtf8(text); }

// A scratch drive D:, backed by a temporary folder; drive-form paths below it are built
// with At(). On Windows the scratch folder keeps its native drive.
class FilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(host_root_);
#ifndef _WIN32
    table_.emplace(tmp_ / "sys");
    table_->MapDrive('D', host_root_);
#endif
    const std::optional<std::u16string> root = ToDrivePath(host_root_);
    ASSERT_TRUE(root.has_value());
    root_ = *root;
    if (root_.back() != u'\\') root_ += u'\\';
  }

  std::u16string At(std::u16string_view rel) const { return root_ + std::u16string(rel); }
  fs::path Host(const fs::path& rel) const { return host_root_ / rel; }

  test::TempDir tmp_;
  fs::path host_root_ = tmp_ / "d";
  std::u16string root_;
#ifndef _WIN32
  std::optional<test::DriveTable> table_;
#endif
};

TEST_F(FilesTest, ExistenceTellsFoldersFromFiles) {
  fs::create_directories(Host("FOLDER"));
  WriteBytes(Host("FOLDER/DATA.TXT"), "x");
  struct Case {
    const char16_t* rel;
    bool folder, file, entry;
  };
  const Case cases[] = {
      {u"FOLDER", true, false, true},
      {u"FOLDER\\", true, false, true},
      {u"FOLDER\\DATA.TXT", false, true, true},
      {u"FOLDER\\MISSING.TXT", false, false, false},
      {u"FOLDER\\DATA.TXT\\BELOW", false, false, false},
      {u"FOLDER\\DATA.TXT\\", false, false, false},
  };
  for (const Case& c : cases) {
    const std::u16string path = At(c.rel);
    EXPECT_EQ(FolderExists(path), c.folder) << Narrow(path);
    EXPECT_EQ(FileExists(path), c.file) << Narrow(path);
    EXPECT_EQ(EntryExists(path), c.entry) << Narrow(path);
  }
  EXPECT_FALSE(FolderExists(u""));
  EXPECT_FALSE(EntryExists(u""));
}

TEST_F(FilesTest, FileSizeCountsBytesOfRegularFilesOnly) {
  WriteBytes(Host("FIVE.TXT"), "12345");
  WriteBytes(Host("EMPTY.TXT"), "");
  fs::create_directories(Host("FOLDER"));
  EXPECT_EQ(FileSize(At(u"FIVE.TXT")), 5);
  EXPECT_EQ(FileSize(At(u"EMPTY.TXT")), 0);
  EXPECT_EQ(FileSize(At(u"FOLDER")), -1);
  EXPECT_EQ(FileSize(At(u"MISSING.TXT")), -1);
}

TEST_F(FilesTest, CreateFolderMakesOneLevelOnly) {
  EXPECT_TRUE(CreateFolder(At(u"OUT")));
  EXPECT_TRUE(fs::is_directory(Host("OUT")));
  EXPECT_FALSE(CreateFolder(At(u"OUT"))) << "already there";
  EXPECT_FALSE(CreateFolder(At(u"NO\\PARENT")));
  EXPECT_FALSE(fs::exists(Host("NO")));
}

TEST_F(FilesTest, RemoveFileLeavesFoldersAlone) {
  WriteBytes(Host("GONE.TXT"), "x");
  fs::create_directories(Host("KEEP"));
  EXPECT_TRUE(RemoveFile(At(u"GONE.TXT")));
  EXPECT_FALSE(fs::exists(Host("GONE.TXT")));
  EXPECT_FALSE(RemoveFile(At(u"GONE.TXT")));
  EXPECT_FALSE(RemoveFile(At(u"KEEP")));
  EXPECT_TRUE(fs::is_directory(Host("KEEP")));
}

TEST_F(FilesTest, WriteReplacingLeavesOnlyTheNewTarget) {
  WriteBytes(Host("CNT.TXT"), "old contents");
  WriteBytes(Host("CNT.TMP"), "stale work file of a run that was killed");
  for (bool durable : {false, true}) {
    ASSERT_TRUE(WriteReplacing(At(u"CNT.TXT"), At(u"CNT.TMP"), "new", durable));
    EXPECT_EQ(ReadBytes(Host("CNT.TXT")), "new");
    EXPECT_THAT(ListFiles(root_), ElementsAre(u"CNT.TXT"));
  }
  // A missing target is simply created.
  ASSERT_TRUE(WriteReplacing(At(u"X3.TXT"), At(u"X3.TMP"), "first", false));
  EXPECT_EQ(ReadBytes(Host("X3.TXT")), "first");
  EXPECT_FALSE(fs::exists(Host("X3.TMP")));
}

TEST_F(FilesTest, WriteReplacingFailureLeavesTheTarget) {
  WriteBytes(Host("CNT.TXT"), "old");
  fs::create_directories(Host("FOLDER.TMP"));
  EXPECT_FALSE(WriteReplacing(At(u"CNT.TXT"), At(u"FOLDER.TMP"), "new", true));
  EXPECT_EQ(ReadBytes(Host("CNT.TXT")), "old");
  EXPECT_TRUE(fs::is_directory(Host("FOLDER.TMP")));

  fs::create_directories(Host("X1.TXT"));
  EXPECT_FALSE(WriteReplacing(At(u"X1.TXT"), At(u"X1.TMP"), "new", false));
  EXPECT_FALSE(LastErrorText().empty());
  EXPECT_TRUE(fs::is_directory(Host("X1.TXT")));
  EXPECT_FALSE(fs::exists(Host("X1.TMP")));
}

#ifndef _WIN32
// A co-worker's links in a shared folder: neither the work file's name nor the target's
// name may lead the write to another file.
TEST_F(FilesTest, WriteReplacingNeverWritesThroughALink) {
  WriteBytes(Host("VICTIM.TXT"), "precious");
  fs::create_symlink(Host("VICTIM.TXT"), Host("XKISHITU.TMP"));
  fs::create_symlink(Host("VICTIM.TXT"), Host("X6.TXT"));
  ASSERT_TRUE(WriteReplacing(At(u"XKISHITU.TXT"), At(u"XKISHITU.TMP"), "table", true));
  ASSERT_TRUE(WriteReplacing(At(u"X6.TXT"), At(u"X6.TXT.tmp"), "output", false));
  EXPECT_EQ(ReadBytes(Host("VICTIM.TXT")), "precious");
  EXPECT_FALSE(fs::is_symlink(Host("XKISHITU.TXT")));
  EXPECT_FALSE(fs::is_symlink(Host("X6.TXT")));
  EXPECT_EQ(ReadBytes(Host("XKISHITU.TXT")), "table");
  EXPECT_EQ(ReadBytes(Host("X6.TXT")), "output");
  EXPECT_FALSE(fs::exists(fs::symlink_status(Host("XKISHITU.TMP"))));

  // A dangling link under the work file's name goes the same way.
  fs::create_symlink(Host("NOWHERE.TXT"), Host("XKISHITU.TMP"));
  ASSERT_TRUE(WriteReplacing(At(u"XKISHITU.TXT"), At(u"XKISHITU.TMP"), "again", true));
  EXPECT_FALSE(fs::exists(Host("NOWHERE.TXT")));
}

TEST_F(FilesTest, SamePathFollowsLinksAndIgnoresCase) {
  WriteBytes(Host("KISHITU.TXT"), "");
  fs::create_directories(Host("OUT"));
  fs::create_directory_symlink(Host("OUT"), Host("LINKED"));
  EXPECT_TRUE(SamePath(At(u"kishitu.txt"), At(u"KISHITU.TXT")));
  EXPECT_TRUE(SamePath(At(u"LINKED\\X1.TXT"), At(u"OUT\\x1.txt"))) << "not created yet";
  EXPECT_TRUE(SamePath(At(u"OUT\\..\\KISHITU.TXT"), At(u"KISHITU.TXT")));
  EXPECT_FALSE(SamePath(At(u"OUT\\X1.TXT"), At(u"OUT\\X3.TXT")));
  EXPECT_FALSE(SamePath(At(u"OUT"), At(u"KISHITU.TXT")));
}
#endif

TEST_F(FilesTest, ListsSeparateFoldersFromFilesInCodeUnitOrder) {
  // No names that differ in case alone: a Windows folder cannot hold both.
  for (const char8_t* folder : {u8"b", u8"C", u8"調査", u8"a1"}) {
    fs::create_directories(Host(folder));
  }
  for (const char8_t* file : {u8"z.ddf", u8"HOLE.DDF", u8"孔１.ddf"}) {
    WriteBytes(Host(file), "");
  }
  EXPECT_THAT(ListFolders(root_), ElementsAre(u"C", u"a1", u"b", u"調査"));
  EXPECT_THAT(ListFiles(root_), ElementsAre(u"HOLE.DDF", u"z.ddf", u"孔１.ddf"));
  EXPECT_THAT(ListFiles(At(u"MISSING")), ElementsAre());
  EXPECT_THAT(ListFolders(At(u"z.ddf")), ElementsAre());
}

TEST_F(FilesTest, FolderLockIsHeldByOneHolderAtATime) {
  fs::create_directories(Host("PATDAT"));
  using State = FolderLock::State;
  {
    const FolderLock first(At(u"PATDAT\\"), std::chrono::milliseconds(0));
    ASSERT_EQ(first.state(), State::kLocked);
    const FolderLock second(At(u"PATDAT"), std::chrono::milliseconds(30));
    EXPECT_EQ(second.state(), State::kBusy);
  }
  EXPECT_TRUE(fs::is_empty(Host("PATDAT"))) << "no lock file is left behind";
  const FolderLock again(At(u"PATDAT"), std::chrono::milliseconds(0));
  EXPECT_EQ(again.state(), State::kLocked);
  EXPECT_EQ(FolderLock(At(u"MISSING"), std::chrono::milliseconds(0)).state(), State::kUnavailable);
}

TEST_F(FilesTest, NonAsciiNamesReachTheSameHostEntries) {
  ASSERT_TRUE(CreateFolder(At(u"調査")));
  ASSERT_TRUE(CreateFolder(At(u"調査\\孔１")));
  EXPECT_TRUE(fs::is_directory(Host(u8"調査/孔１")));
  WriteBytes(Host(u8"調査/孔１/柱状図.txt"), "abc");
  EXPECT_EQ(FileSize(At(u"調査\\孔１\\柱状図.txt")), 3);
  EXPECT_THAT(ListFiles(At(u"調査\\孔１")), ElementsAre(u"柱状図.txt"));
}

TEST(PlatformText, QPRTrimDropsTrailingBlanksOnly) {
  struct Case {
    std::u16string in, out;
  };
  const Case cases[] = {
      {u"C:\\WINDOWS\\SYSTEM   ", u"C:\\WINDOWS\\SYSTEM"},
      {u"  lead kept ", u"  lead kept"},
      {u"   ", u""},
      {u"", u""},
      {u"inner  blanks", u"inner  blanks"},
  };
  for (const Case& c : cases) EXPECT_EQ(QPRTrim(c.in), c.out) << Narrow(c.in);
}

TEST(ProgramFolder, HoldsTheRunningProgram) {
  const std::u16string folder = ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_NE(folder.back(), u'\\');
#ifdef _WIN32
  EXPECT_TRUE(FileExists(folder + u"\\platform_test.exe")) << Narrow(folder);
#else
  EXPECT_TRUE(FileExists(folder + u"\\platform_test")) << Narrow(folder);
#endif
}

#ifndef _WIN32

// The drive table of the POSIX build: <system directory>/dosdevices/<letter>:.
class DriveTableTest : public ::testing::Test {
 protected:
  // Host paths come back with symbolic links resolved (the temporary folder may be one).
  fs::path Real(const fs::path& path) const { return fs::weakly_canonical(path); }
  std::u16string Typed(const fs::path& path) const { return text::Utf8ToUtf16(path.string()); }

  test::TempDir tmp_;
  test::DriveTable table_{tmp_ / "sys"};
};

TEST_F(DriveTableTest, ReadsDriveEntriesOfEitherCaseAndSkipsDevices) {
  table_.MapDrive('D', tmp_ / "d");
  // An upper-case entry that is itself the root folder rather than a link to it.
  const fs::path e_root = tmp_ / "sys" / "dosdevices" / "E:";
  WriteBytes(e_root / "INNER.TXT", "e");
  fs::create_directory_symlink(tmp_ / "d", tmp_ / "sys" / "dosdevices" / "d::");
  WriteBytes(tmp_ / "sys" / "dosdevices" / "com1", "");

  EXPECT_THAT(Drives(), ElementsAre(u'D', u'E'));
  EXPECT_TRUE(FileExists(u"E:\\INNER.TXT"));
  EXPECT_EQ(ToHostPath(u"e:\\inner.txt"), Real(e_root / "INNER.TXT"));
  EXPECT_EQ(ToHostPath(u"D:\\"), Real(tmp_ / "d"));
  EXPECT_EQ(ToHostPath(u"Q:\\X"), std::nullopt);
  EXPECT_FALSE(CanSelectDrive(u'Z')) << "Z: is the host root only when no drive is mapped";
}

TEST_F(DriveTableTest, WithNoDriveEntryZIsTheHostRoot) {
  EXPECT_THAT(Drives(), ElementsAre(u'Z'));
  EXPECT_TRUE(CanSelectDrive(u'Z'));
  EXPECT_EQ(ToHostPath(u"Z:\\"), fs::path("/"));
  EXPECT_EQ(ToHostPath(u"z:\\tmp\\..\\etc"), fs::path("/etc"));
  EXPECT_EQ(ToDrivePath("/"), u"Z:\\");
  std::u16string expected = u"Z:" + Typed(Real(tmp_ / "x"));
  std::replace(expected.begin(), expected.end(), u'/', u'\\');
  EXPECT_EQ(ToDrivePath(tmp_ / "x"), expected);
}

TEST_F(DriveTableTest, ComponentsMatchWithoutRegardToCase) {
  table_.MapDrive('D', tmp_ / "d");
  WriteBytes(tmp_ / "d" / "PATDAT" / "KISHITU.TXT", "k");
  const fs::path file = Real(tmp_ / "d" / "PATDAT" / "KISHITU.TXT");
  for (const char16_t* path :
       {u"D:\\PATDAT\\kishitu.txt", u"D:\\patdat\\KISHITU.txt", u"d:/Patdat/Kishitu.Txt",
        u"D:\\PATDAT\\..\\patdat\\.\\kishitu.TXT"}) {
    EXPECT_EQ(ToHostPath(path), file) << Narrow(path);
    EXPECT_TRUE(FileExists(path)) << Narrow(path);
  }
  // Missing components keep the case they were given, below a matched one too.
  EXPECT_EQ(ToHostPath(u"D:\\patdat\\New\\File.txt"),
            Real(tmp_ / "d" / "PATDAT") / "New" / "File.txt");
  // Only ASCII letters fold: full-width letters are other characters.
  EXPECT_FALSE(FileExists(u"D:\\PATDAT\\ＫＩＳＨＩＴＵ.TXT"));
}

TEST_F(DriveTableTest, PathHoldingANulNamesNothingRatherThanLeavingItsDrive) {
  table_.MapDrive('D', tmp_ / "d");
  // The system reads a name up to its NUL: this one would be the folder above D:'s root.
  const std::u16string path(u"D:\\..\0x", 7);
  EXPECT_EQ(ToHostPath(path), std::nullopt);
  EXPECT_FALSE(FolderExists(path));
  EXPECT_FALSE(EntryExists(path));
}

TEST_F(DriveTableTest, ExactNameWinsOverOneThatDiffersInCase) {
  table_.MapDrive('D', tmp_ / "d");
  WriteBytes(tmp_ / "d" / "a.txt", "lower");
  WriteBytes(tmp_ / "d" / "A.TXT", "upper");
  EXPECT_EQ(ToHostPath(u"D:\\a.txt"), Real(tmp_ / "d" / "a.txt"));
  EXPECT_EQ(ToHostPath(u"D:\\A.TXT"), Real(tmp_ / "d" / "A.TXT"));
  EXPECT_EQ(FileSize(u"D:\\A.TXT"), 5);
  EXPECT_EQ(FileSize(u"D:\\a.txt"), 5);
  EXPECT_EQ(ReadBytes(*ToHostPath(u"D:\\a.txt")), "lower");
}

TEST_F(DriveTableTest, DriveWithoutReadableRootCannotBeSelected) {
  table_.MapDrive('D', tmp_ / "d");
  table_.MapDrive('E', tmp_ / "e");
  table_.MapDrive('F', tmp_ / "f");
  fs::remove(tmp_ / "e");
  fs::remove(tmp_ / "f");
  WriteBytes(tmp_ / "f", "a file, not a folder");

  ASSERT_TRUE(SetCurrentDrive(u'D'));
  EXPECT_THAT(Drives(), ElementsAre(u'D', u'E', u'F'));
  for (char16_t drive : {u'E', u'F', u'Q', u'1'}) {
    EXPECT_FALSE(CanSelectDrive(drive)) << static_cast<char>(drive);
    EXPECT_FALSE(SetCurrentDrive(drive)) << static_cast<char>(drive);
    EXPECT_EQ(CurrentDrive(), u'D');
  }
  EXPECT_TRUE(CanSelectDrive(u'd'));
}

TEST_F(DriveTableTest, FullPathResolvesLikeWindows) {
  table_.MapDrive('D', tmp_ / "d");
  fs::create_directories(tmp_ / "d" / "A" / "B");
  ASSERT_TRUE(SetCurrentFolder(u"D:\\A\\B"));

  struct Case {
    std::u16string in, out;
  };
  const Case cases[] = {
      {u"D:\\X\\Y", u"D:\\X\\Y"},
      {u"d:\\x", u"D:\\x"},
      {u"D:x", u"D:\\A\\B\\x"},
      {u"D:", u"D:\\A\\B"},
      {u"D:\\", u"D:\\"},
      {u"\\x", u"D:\\x"},
      {u"x\\y", u"D:\\A\\B\\x\\y"},
      {u".", u"D:\\A\\B"},
      {u"..", u"D:\\A"},
      {u"..\\..\\..\\x", u"D:\\x"},
      {u"D:\\..", u"D:\\"},
      {u"D:\\A\\.\\B\\..\\C", u"D:\\A\\C"},
      {u"D:\\\\A\\\\\\B", u"D:\\A\\B"},
      {u"D:/A/B", u"D:\\A\\B"},
      {u"/:\\..\\x", u"D:\\x"},  // "/" is a separator, never a drive letter
      {u"D:\\A\\", u"D:\\A\\"},
      {u"D:\\A\\\\", u"D:\\A\\"},
      {u"x\\", u"D:\\A\\B\\x\\"},
      {u"D:\\A\\B\\..", u"D:\\A"},
      // A drive never made current: its root is its current folder. Nothing is looked up.
      {u"G:x\\y", u"G:\\x\\y"},
      {u"g:", u"G:\\"},
      {u"D:\\調査\\孔１", u"D:\\調査\\孔１"},
      {u"", u""},
  };
  for (const Case& c : cases) EXPECT_EQ(FullPath(c.in), c.out) << Narrow(c.in);
}

TEST_F(DriveTableTest, EachDriveKeepsItsOwnCurrentFolder) {
  table_.MapDrive('D', tmp_ / "d");
  table_.MapDrive('E', tmp_ / "e");
  table_.MapDrive('H', tmp_ / "h");
  fs::create_directories(tmp_ / "d" / "A");
  fs::create_directories(tmp_ / "e" / "b");
  WriteBytes(tmp_ / "d" / "FILE.TXT", "");

  ASSERT_TRUE(SetCurrentFolder(u"D:\\a"));
  ASSERT_TRUE(SetCurrentFolder(u"e:\\B\\"));
  EXPECT_EQ(CurrentDrive(), u'E');
  EXPECT_EQ(CurrentFolder(u'e'), u"E:\\B") << "typed case kept, trailing separator dropped";
  EXPECT_EQ(CurrentFolder(u'D'), u"D:\\a");
  EXPECT_EQ(CurrentFolder(u'H'), u"H:\\");
  EXPECT_EQ(FullPath(u"D:x"), u"D:\\a\\x");

  ASSERT_TRUE(SetCurrentDrive(u'D'));
  EXPECT_EQ(FullPath(u"x"), u"D:\\a\\x");
  EXPECT_EQ(FullPath(u"E:y"), u"E:\\B\\y");

  // Failures change nothing.
  EXPECT_FALSE(SetCurrentFolder(u"E:\\MISSING"));
  EXPECT_FALSE(SetCurrentFolder(u"D:\\FILE.TXT"));
  EXPECT_FALSE(SetCurrentFolder(u"Q:\\"));
  EXPECT_EQ(CurrentDrive(), u'D');
  EXPECT_EQ(CurrentFolder(u'D'), u"D:\\a");
  EXPECT_EQ(CurrentFolder(u'E'), u"E:\\B");

  // Relative to the current folder of the current drive.
  ASSERT_TRUE(SetCurrentFolder(u".."));
  EXPECT_EQ(CurrentFolder(u'D'), u"D:\\");
  ASSERT_TRUE(SetCurrentFolder(u"E:.."));
  EXPECT_EQ(CurrentDrive(), u'E');
  EXPECT_EQ(CurrentFolder(u'E'), u"E:\\");
}

TEST_F(DriveTableTest, HostPathsMapToTheDriveWithTheLongestRoot) {
  table_.MapDrive('D', tmp_ / "x");
  table_.MapDrive('E', tmp_ / "x" / "y");
  WriteBytes(tmp_ / "x" / "y" / "z" / "f.txt", "");
  fs::create_directories(tmp_ / "x" / "w");
  fs::create_directories(tmp_ / "outside");

  EXPECT_EQ(ToDrivePath(tmp_ / "x" / "y" / "z" / "f.txt"), u"E:\\z\\f.txt");
  EXPECT_EQ(ToDrivePath(tmp_ / "x" / "y"), u"E:\\");
  EXPECT_EQ(ToDrivePath(tmp_ / "x" / "w"), u"D:\\w");
  EXPECT_EQ(ToDrivePath(tmp_ / "x" / "y" / ".." / "w"), u"D:\\w");
  EXPECT_EQ(ToDrivePath(tmp_ / "x" / "yy"), u"D:\\yy") << "a prefix of whole names only";
  EXPECT_EQ(ToDrivePath(tmp_ / "outside"), std::nullopt);

  // A link into a drive maps to where it leads.
  fs::create_directory_symlink(tmp_ / "x" / "y" / "z", tmp_ / "outside" / "link");
  EXPECT_EQ(ToDrivePath(tmp_ / "outside" / "link" / "f.txt"), u"E:\\z\\f.txt");

  struct Case {
    std::u16string typed, drive_form;
  };
  const Case cases[] = {
      {Typed(tmp_ / "x" / "y" / "z" / "f.txt"), u"E:\\z\\f.txt"},
      {Typed(tmp_ / "x" / "w") + u"/", u"D:\\w\\"},
      {Typed(tmp_ / "x" / "y") + u"/", u"E:\\"},
      {Typed(tmp_ / "outside"), Typed(tmp_ / "outside")},
      {u"D:\\w", u"D:\\w"},
      {u"relative/x", u"relative/x"},
      {u"", u""},
  };
  for (const Case& c : cases) EXPECT_EQ(ToDriveForm(c.typed), c.drive_form) << Narrow(c.typed);
}

TEST_F(DriveTableTest, SysDirHonoursTheEnvironmentInDriveForm) {
  table_.MapDrive('D', tmp_.path());
  EXPECT_EQ(SysDir(), u"D:\\sys");
  EXPECT_EQ(MarkerFolders(), std::vector<std::u16string>{SysDir()});

  // At a drive's root it is still without the trailing "\" so that "\NAME" can follow.
  table_.MapDrive('D', tmp_ / "sys");
  EXPECT_EQ(SysDir(), u"D:");

  // No drive reaches it: the host path itself.
  table_.MapDrive('D', tmp_ / "elsewhere");
  EXPECT_EQ(SysDir(), Typed(tmp_ / "sys"));
}

TEST(SysDir, DefaultsToTheUserConfigurationFolder) {
  test::TempDir tmp;
  const test::ScopedEnv no_own("MIRTA2VESK_SYSDIR", nullptr);
  std::u16string expected;
  {
    const test::ScopedEnv xdg("XDG_CONFIG_HOME", (tmp / "cfg").c_str());
    // Its dosdevices folder does not exist, so Z: is "/" and the path is Z:-form.
    expected = u"Z:" + text::Utf8ToUtf16(fs::weakly_canonical(tmp / "cfg" / "mirta2vesk").string());
    std::replace(expected.begin(), expected.end(), u'/', u'\\');
    EXPECT_EQ(SysDir(), expected);
  }
  {
    const test::ScopedEnv no_xdg("XDG_CONFIG_HOME", nullptr);
    const test::ScopedEnv home("HOME", tmp.path().c_str());
    expected =
        u"Z:" + text::Utf8ToUtf16(fs::weakly_canonical(tmp / ".config" / "mirta2vesk").string());
    std::replace(expected.begin(), expected.end(), u'/', u'\\');
    EXPECT_EQ(SysDir(), expected);
  }
}

#endif  // _WIN32

}  // namespace
}  // namespace m2v::platform
