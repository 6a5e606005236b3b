#include "support/temp_dir.h"

#include <cstdlib>
#include <random>
#include <stdexcept>
#include <system_error>

#ifdef _WIN32
#include "platform/platform.h"
#endif

namespace m2v::test {

namespace {

#ifdef _WIN32
// No mkdtemp: a random name, tried until one is free.
std::filesystem::path MakeUniqueFolder(const std::filesystem::path& parent) {
  std::random_device seed;
  std::mt19937_64 random(seed());
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::filesystem::path candidate =
        parent / ("m2vtest_" + std::to_string(random() % 1000000000));
    std::error_code ec;
    if (std::filesystem::create_directory(candidate, ec)) return candidate;
  }
  throw std::runtime_error("cannot make a temporary folder");
}
#else
std::filesystem::path MakeUniqueFolder(const std::filesystem::path& parent) {
  std::string pattern = (parent / "m2vtest_XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  return pattern;
}
#endif

}  // namespace

TempDir::TempDir() : path_(MakeUniqueFolder(std::filesystem::temp_directory_path())) {}

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

DriveTable::DriveTable(const std::filesystem::path& sysdir)
    : sysdir_(sysdir), sysdir_variable_("MIRTA2VESK_SYSDIR", sysdir.string().c_str()) {
  std::filesystem::create_directories(sysdir_ / "dosdevices");
}

void DriveTable::MapDrive(char letter, const std::filesystem::path& root) {
  std::filesystem::create_directories(root);
  roots_[letter & ~0x20] = root;
#ifndef _WIN32
  const char name[] = {static_cast<char>(letter | 0x20), ':', '\0'};
  std::filesystem::path link = sysdir_ / "dosdevices" / name;
  std::error_code ec;
  std::filesystem::remove(link, ec);
  std::filesystem::create_directory_symlink(root, link);
#endif
}

std::u16string DriveTable::Root(char letter) const {
#ifdef _WIN32
  const auto mapped = roots_.find(static_cast<char>(letter & ~0x20));
  if (mapped == roots_.end()) throw std::logic_error("no folder stands for this drive");
  std::u16string root = platform::ToDrivePath(mapped->second).value();
  if (root.back() != u'\\') root += u'\\';
  return root;
#else
  return {static_cast<char16_t>(letter & ~0x20), u':', u'\\'};
#endif
}

}  // namespace m2v::test
