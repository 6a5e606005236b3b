#pragma once

// A scratch folder for one test, removed with everything in it when the object goes.
// Its name has no dot and no blank, so its drive-form path passes the destination check.

#include <filesystem>
#include <map>
#include <string>

#include "support/scoped_env.h"

namespace m2v::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::filesystem::path& rel) const { return path_ / rel; }

 private:
  std::filesystem::path path_;
};

// Points the system directory at `sysdir` for the life of the object, and gives the
// drive table one drive per call of MapDrive. Restores the environment afterwards.
// Windows has no drive table, only its own drives: there a mapped folder stays a folder
// of its real drive, and Root() gives its drive-form path instead of the drive's root.
class DriveTable {
 public:
  explicit DriveTable(const std::filesystem::path& sysdir);
  DriveTable(const DriveTable&) = delete;
  DriveTable& operator=(const DriveTable&) = delete;

  // Makes `root` the root of drive `letter` ('D'); creates `root` when missing.
  void MapDrive(char letter, const std::filesystem::path& root);
  // The drive-form path that reaches the root of a mapped drive, ending with "\": "D:\"
  // (Windows: the mapped folder's own path, "C:\...\d\").
  std::u16string Root(char letter) const;
  const std::filesystem::path& sysdir() const { return sysdir_; }

 private:
  std::filesystem::path sysdir_;
  ScopedEnv sysdir_variable_;
  std::map<char, std::filesystem::path> roots_;
};

}  // namespace m2v::test
