#include "support/temp_dir.h"

#include <cstdlib>
#include <stdexcept>
#include <system_error>

namespace m2v::test {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "m2vtest_XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ec;
  // A test may leave read-only folders behind; make them writable so they can go.
  for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
  }
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(path_, ec);
}

DriveTable::DriveTable(const std::filesystem::path& sysdir) : sysdir_(sysdir) {
  if (const char* old = std::getenv("MIRTA2VESK_SYSDIR")) {
    previous_ = old;
    had_previous_ = true;
  }
  std::filesystem::create_directories(sysdir_ / "dosdevices");
  setenv("MIRTA2VESK_SYSDIR", sysdir_.c_str(), 1);
}

DriveTable::~DriveTable() {
  if (had_previous_) {
    setenv("MIRTA2VESK_SYSDIR", previous_.c_str(), 1);
  } else {
    unsetenv("MIRTA2VESK_SYSDIR");
  }
}

void DriveTable::MapDrive(char letter, const std::filesystem::path& root) {
  std::filesystem::create_directories(root);
  const char name[] = {static_cast<char>(letter | 0x20), ':', '\0'};
  std::filesystem::path link = sysdir_ / "dosdevices" / name;
  std::error_code ec;
  std::filesystem::remove(link, ec);
  std::filesystem::create_directory_symlink(root, link);
}

}  // namespace m2v::test
