// io_floor SURVEY PATDAT REF_OUT REF_PATDAT SCRATCH [--durable REPLACES APPENDS]
//
// The least a run can do with the same bytes: reads the survey and every file of the pattern
// folder PATDAT once, then writes, once each and in one piece, a file of the same size as every
// output file of a reference run (REF_OUT) and every table the reference run changed
// (REF_PATDAT), into SCRATCH. With --durable it also makes the table updates that the tables'
// crash safety asks for: REPLACES replacements of the user soil table through a work file
// (written, synced, renamed, folder synced) and APPENDS one-line appends to the soil table,
// in place of the one write of those two tables.
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
  if (argc != 6 && argc != 9) {
    std::cerr << "usage: io_floor SURVEY PATDAT REF_OUT REF_PATDAT SCRATCH "
                 "[--durable REPLACES APPENDS]\n";
    return 2;
  }
  try {
    const fs::path scratch = argv[5];
    const bool durable = argc == 9;
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
    std::uintmax_t user_before = 0;
    std::uintmax_t user_after = 0;
    std::uintmax_t soil_before = 0;
    std::uintmax_t soil_after = 0;
    for (const auto& [name, size] : before) {
      const fs::path after = fs::path(argv[4]) / name;
      const std::uintmax_t after_size = fs::file_size(after);
      if (name == "XKISHITU.TXT") user_before = size, user_after = after_size;
      if (name == "KISHITU.TXT") soil_before = size, soil_after = after_size;
      // The durable updates below write these tables themselves.
      if (after_size == size || (durable && (name == "XKISHITU.TXT" || name == "KISHITU.TXT"))) {
        continue;
      }
      const std::string bytes = Filled(source, after_size);
      WriteAll(scratch / "patdat" / name, bytes, false);
      written_bytes += bytes.size();
    }

    if (durable) {
      const long replaces = std::atol(argv[7]);
      const long appends = std::atol(argv[8]);
      const fs::path work = scratch / "patdat" / "XKISHITU.TMP";
      for (long i = 1; i <= replaces; ++i) {
        // The table as it stood after the i-th insertion.
        const std::uintmax_t size = user_before + (user_after - user_before) *
                                                      static_cast<std::uintmax_t>(i) /
                                                      static_cast<std::uintmax_t>(replaces);
        const std::string bytes = Filled(source, size);
        WriteAll(work, bytes, true);
        if (std::rename(work.c_str(), (scratch / "patdat" / "XKISHITU.TXT").c_str()) != 0) {
          throw std::runtime_error("cannot rename " + work.string());
        }
        SyncFolder(scratch / "patdat");
        written_bytes += bytes.size();
      }
      const std::size_t line = appends > 0
                                   ? static_cast<std::size_t>((soil_after - soil_before) /
                                                              static_cast<std::uintmax_t>(appends))
                                   : 0;
      const std::string bytes = Filled(source, line);
      const fs::path soil = scratch / "patdat" / "KISHITU.TXT";
      for (long i = 0; i < appends; ++i) {
        const int fd = open(soil.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        if (fd < 0 || write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()) ||
            close(fd) != 0) {
          throw std::runtime_error("cannot append to " + soil.string());
        }
        written_bytes += bytes.size();
      }
    }
    std::cout << read_bytes << " " << written_bytes << "\n";
  } catch (const std::exception& error) {
    std::cerr << "io_floor: " << error.what() << "\n";
    return 1;
  }
  return 0;
}
