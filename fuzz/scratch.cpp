#include "scratch.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

namespace m2v::fuzz {

namespace fs = std::filesystem;

namespace {

fs::path ScratchParent() {
  if (const char* tmp = std::getenv("TMPDIR"); tmp != nullptr && *tmp == '/') return tmp;
  if (access("/dev/shm", W_OK) == 0) return "/dev/shm";
  return fs::temp_directory_path();
}

}  // namespace

Scratch::Scratch() {
  std::string pattern = (ScratchParent() / "m2vfuzz_XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed: " + pattern);
  path_ = pattern;
  fs::create_directories(path_ / "sys" / "dosdevices");
  setenv("MIRTA2VESK_SYSDIR", (path_ / "sys").c_str(), 1);
}

Scratch::~Scratch() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

void Scratch::MapDrive(char letter, const fs::path& root) const {
  fs::create_directories(root);
  const char name[] = {static_cast<char>(letter | 0x20), ':', '\0'};
  fs::create_directory_symlink(root, path_ / "sys" / "dosdevices" / name);
}

std::string ReadFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + file.string());
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const fs::path& file, std::string_view bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

void Broken(std::string_view what) {
  std::fprintf(stderr, "invariant broken: %.*s\n", static_cast<int>(what.size()), what.data());
  std::abort();
}

}  // namespace m2v::fuzz
