#include "common/file_cache.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "common/text_file.h"
#include "support/file_bytes.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"
#include "text/failure.h"

namespace m2v::common {
namespace {

namespace fs = std::filesystem;

class FileCacheTest : public ::testing::Test {
 protected:
  FileCacheTest() { drives_.MapDrive('D', dir_ / "d"); }
  ~FileCacheTest() override { SetFileCachesEnabled(true); }
  fs::path Host(const char* name) const { return dir_ / "d" / name; }
  // The drive-form path of a file in the folder that stands for D:.
  std::u16string Typed(const char16_t* name) const { return drives_.Root('D') + name; }

  test::TempDir dir_;
  test::DriveTable drives_{dir_ / "sys"};
  test::ScopedEnv no_cache_{"MIRTA2VESK_NO_CACHE", nullptr};
};

TEST_F(FileCacheTest, KeepsOnlyInsideAScopeAndOnlyWhenCachesAreOn) {
  EXPECT_FALSE(FileCachingActive());
  {
    FileCacheScope scope;
    EXPECT_TRUE(FileCachingActive());
    {
      FileCacheScope inner;
      EXPECT_TRUE(FileCachingActive());
    }
    EXPECT_TRUE(FileCachingActive());
  }
  EXPECT_FALSE(FileCachingActive());

  const char* const off[] = {"1", "yes"};
  for (const char* value : off) {
    no_cache_.Set(value);
    FileCacheScope scope;
    EXPECT_FALSE(FileCachingActive()) << value;
  }
  for (const char* value : {"", "0"}) {
    no_cache_.Set(value);
    FileCacheScope scope;
    EXPECT_TRUE(FileCachingActive()) << value;
  }

  SetFileCachesEnabled(false);
  {
    FileCacheScope scope;
    EXPECT_FALSE(FileCachingActive());
    // What the outermost scope decided holds for the scope's whole life.
    SetFileCachesEnabled(true);
    FileCacheScope inner;
    EXPECT_FALSE(FileCachingActive());
  }
  no_cache_.Set("1");
  FileCacheScope scope;
  EXPECT_TRUE(FileCachingActive()) << "the process setting overrides the environment";
}

TEST_F(FileCacheTest, KeptLinesFollowTheFile) {
  FileCacheScope scope;
  test::WriteBytes(Host("s.ddf"), "a\r\nb\r\n");
  EXPECT_EQ(LineReader::Open(Typed(u"s.ddf")).lines(), (std::vector<std::u16string>{u"a", u"b"}));
  test::WriteBytes(Host("s.ddf"), "a\r\nb\r\nc\r\n");
  LineReader reader = LineReader::Open(Typed(u"s.ddf"));
  EXPECT_EQ(reader.lines(), (std::vector<std::u16string>{u"a", u"b", u"c"}));
  EXPECT_EQ(reader.ReadLine(), u"a");
  EXPECT_EQ(LineReader::Open(Typed(u"s.ddf")).ReadLine(), u"a")
      << "each reader reads from the start";

  // A file that is gone, or not CP932, fails as it fails outside a scope.
  auto failure_of = [this](const char16_t* name) {
    const std::u16string path = Typed(name);
    try {
      LineReader::Open(path);
    } catch (const text::Failure& failure) {
      return failure.message();
    }
    return std::u16string(u"no failure");
  };
  fs::remove(Host("s.ddf"));
  const std::u16string kept = failure_of(u"s.ddf");
  test::WriteBytes(Host("bad.ddf"), "a\r\n\x82\r\n");
  const std::u16string kept_bad = failure_of(u"bad.ddf");
  SetFileCachesEnabled(false);
  FileCacheScope uncached;
  EXPECT_EQ(kept, failure_of(u"s.ddf"));
  EXPECT_EQ(kept_bad, failure_of(u"bad.ddf"));
  EXPECT_NE(kept, u"no failure");
  EXPECT_NE(kept_bad, u"no failure");
}

TEST_F(FileCacheTest, AWriteByAnotherProgramNextToOursIsReadBack) {
  test::WriteBytes(Host("t.txt"), "abc");
  CachedFile file;
  EXPECT_FALSE(file.Refresh(Typed(u"missing.txt")));
  ASSERT_TRUE(file.Refresh(Typed(u"t.txt")));
  EXPECT_EQ(file.bytes(), "abc");
  const std::uint64_t version = file.version();

  // This process appends "def"; another appends "ghi" before the cache hears of it.
  const std::optional<platform::FileStamp> before = file.stamp();
  test::WriteBytes(Host("t.txt"), "abcdefghi");
  file.Wrote(Typed(u"t.txt"), "abcdef", before);
  ASSERT_TRUE(file.Refresh(Typed(u"t.txt")));
  EXPECT_EQ(file.bytes(), "abcdefghi");
  EXPECT_GT(file.version(), version);

  fs::remove(Host("t.txt"));
  EXPECT_FALSE(file.Refresh(Typed(u"t.txt")));
  EXPECT_EQ(file.bytes(), "");
}

// A folder the run holds locked is looked at once: later changes inside it are not read
// again until the scope ends; a file outside it still is.
TEST_F(FileCacheTest, SteadyFolderIsCheckedOnceForTheScope) {
  test::WriteBytes(Host("PATDAT/L23.txt"), "1,a,b,c\r\n");
  test::WriteBytes(Host("other.txt"), "x");
  const std::u16string inside = Typed(u"PATDAT\\L23.txt");
  const std::u16string outside = Typed(u"other.txt");
  {
    FileCacheScope scope;
    KeepFolderSteady(Typed(u"PATDAT\\"));
    CachedFile kept_inside;
    CachedFile kept_outside;
    ASSERT_TRUE(kept_inside.Refresh(inside));
    ASSERT_TRUE(kept_outside.Refresh(outside));
    test::WriteBytes(Host("PATDAT/L23.txt"), "2,changed,b,c\r\n");
    test::WriteBytes(Host("other.txt"), "longer");
    ASSERT_TRUE(kept_inside.Refresh(inside));
    ASSERT_TRUE(kept_outside.Refresh(outside));
    EXPECT_EQ(kept_inside.bytes(), "1,a,b,c\r\n");
    EXPECT_EQ(kept_outside.bytes(), "longer");
  }
  FileCacheScope next_run;
  CachedFile kept;
  ASSERT_TRUE(kept.Refresh(inside));
  EXPECT_EQ(kept.bytes(), "2,changed,b,c\r\n");
}

}  // namespace
}  // namespace m2v::common
