// The recorder of scripts/power-cut-test, preloaded into the converter: it logs every fsync
// and, for every rename, the bytes the renamed file holds at that instant, so that the states
// a power cut could leave between them can be built afterwards. Logs to the folder named by
// M2V_POWER_CUT_LOG; does nothing without it.
//   log lines:  fsync<TAB>PATH      rename<TAB>FROM<TAB>TO<TAB>BYTES_FILE

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

namespace fs = std::filesystem;

template <typename Function>
Function Real(const char* name) {
  return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

void Log(const std::string& line) {
  const char* folder = std::getenv("M2V_POWER_CUT_LOG");
  if (folder == nullptr) return;
  std::ofstream(fs::path(folder) / "log", std::ios::app) << line << '\n';
}

}  // namespace

extern "C" int fsync(int fd) {
  static const auto real = Real<int (*)(int)>("fsync");
  std::error_code ec;
  const fs::path path = fs::read_symlink("/proc/self/fd/" + std::to_string(fd), ec);
  Log("fsync\t" + path.string());
  return real(fd);
}

extern "C" int rename(const char* from, const char* to) {
  static const auto real = Real<int (*)(const char*, const char*)>("rename");
  static int count = 0;
  if (const char* folder = std::getenv("M2V_POWER_CUT_LOG")) {
    const fs::path kept = fs::path(folder) / ("rename-" + std::to_string(++count) + ".bytes");
    std::ifstream in(from, std::ios::binary);
    std::ofstream(kept, std::ios::binary)
        << std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    std::error_code ec;
    Log(std::string("rename\t") + fs::absolute(from, ec).string() + '\t' +
        fs::absolute(to, ec).string() + '\t' + kept.string());
  }
  return real(from, to);
}
