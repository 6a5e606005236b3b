#pragma once

// A scratch folder for a fuzz target: the system directory with its drive table, and
// drive roots below it. It lives in $TMPDIR when set, else on /dev/shm when there is one
// (a run syncs the user soil table for every name it learns; a disk would make that the
// whole cost), else in the usual temporary folder. Removed when the object goes.

#include <filesystem>
#include <string>
#include <string_view>

namespace m2v::fuzz {

class Scratch {
 public:
  Scratch();
  ~Scratch();
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::filesystem::path& rel) const { return path_ / rel; }

  // Makes `root` (created when missing) the root of drive `letter`.
  void MapDrive(char letter, const std::filesystem::path& root) const;

 private:
  std::filesystem::path path_;
};

std::string ReadFile(const std::filesystem::path& file);
void WriteFile(const std::filesystem::path& file, std::string_view bytes);

// Stops the process with a message when an invariant of the code under test is broken, so
// that libFuzzer keeps the input that broke it.
[[noreturn]] void Broken(std::string_view what);
inline void Require(bool holds, std::string_view what) {
  if (!holds) Broken(what);
}

}  // namespace m2v::fuzz
