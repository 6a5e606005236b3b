// io_floor SURVEY PATDAT REF_OUT REF_PATDAT SCRATCH [--durable]
//
// The least a run can do with the same bytes: reads the survey and every file of the pattern
// folder PATDAT once, then writes, once each and in one piece, a file of the same size as every
// output file of a reference run (REF_OUT) and every table the reference run changed
// (REF_PATDAT), into SCRATCH. With --durable every table that changed is written the way the
// tables' crash safety asks: through a work file that is written, synced and renamed over the
// table, and the folder synced.
// Prints the bytes read and written.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + file.string());
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// `size` bytes taken from `source` over and over.
std::string Filled(const std::string& source, std::uintmax_t size) {
  std::string bytes;
  bytes.reserve(size);
  while (bytes.size() < size) {
    bytes.append(source, 0, std::min<std::size_t>(source.size(), size - bytes.size()));
  }
  return bytes;
}

void WriteAll(const fs::path& file, const std::string& bytes, bool sync) {
  const int fd = open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) throw std::runtime_error("cannot create " + file.string());
  const bool ok = write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()) &&
                  (!sync || fsync(fd) == 0);
  if (close(fd) != 0 || !ok) throw std::runtime_error("cannot write " + file.string());
}

void SyncFolder(const fs::path& folder) {
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    fsync(fd);
    close(fd);
  }
}

std::vector<fs::path> RegularFiles(const fs::path& folder) {
  std::vector<fs::path> files;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    if (entry.is_regular_file()) files.push_back(entry.path());
  }
  return files;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 6 && !(argc == 7 && std::string_view(argv[6]) == "--durable")) {
    std::cerr << "usage: io_floor SURVEY PATDAT REF_OUT REF_PATDAT SCRATCH [--durable]\n";
    return 2;
  }
  try {
    const fs::path scratch = argv[5];
    const bool durable = argc == 7;
    fs::create_directories(scratch / "out");
    fs::create_directories(scratch / "patdat");

    std::uintmax_t read_bytes = 0;
    std::string source = ReadAll(argv[1]);
    read_bytes += source.size();
    std::vector<std::pair<std::string, std::uintmax_t>> before;  // table name, size
    for (const fs::path& table : RegularFiles(argv[2])) {
      const std::string bytes = ReadAll(table);
      read_bytes += bytes.size();
      before.emplace_back(table.filename().string(), bytes.size());
    }
    if (source.empty()) source = "\r\n";

    std::uintmax_t written_bytes = 0;
    for (const fs::path& file : RegularFiles(argv[3])) {
      const std::string bytes = Filled(source, fs::file_size(file));
      WriteAll(scratch / "out" / file.filename(), bytes, false);
      written_bytes += bytes.size();
    }
    for (const auto& [name, size] : before) {
      const std::uintmax_t after_size = fs::file_size(fs::path(argv[4]) / name);
      if (after_size == size) continue;
      const std::string bytes = Filled(source, after_size);
      const fs::path table = scratch / "patdat" / name;
      if (durable) {
        const fs::path work = scratch / "patdat" / (name + ".TMP");
        WriteAll(work, bytes, true);
        if (std::rename(work.c_str(), table.c_str()) != 0) {
          throw std::runtime_error("cannot rename " + work.string());
        }
        SyncFolder(scratch / "patdat");
      } else {
        WriteAll(table, bytes, false);
      }
      written_bytes += bytes.size();
    }
    std::cout << read_bytes << " " << written_bytes << "\n";
  } catch (const std::exception& error) {
    std::cerr << "io_floor: " << error.what() << "\n";
    return 1;
  }
  return 0;
}
