#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"

#ifdef _WIN32
#include <windows.h>

#include <shellapi.h>

#include "text/utf.h"
#else
#include <unistd.h>
#endif

namespace {

#ifdef _WIN32
// argv holds the arguments in the ANSI code page, which cannot carry a Japanese path on
// most machines; the wide command line holds them whole.
std::vector<std::string> Arguments() {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> args;
  for (int i = 1; wide != nullptr && i < count; ++i) {
    const std::wstring arg = wide[i];
    args.push_back(m2v::text::Utf16ToUtf8(std::u16string(arg.begin(), arg.end())));
  }
  LocalFree(wide);
  return args;
}

// _isatty also says yes for the NUL device.
bool InputIsTerminal() {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

// The messages are UTF-8: a console shows them right only in that code page. The console
// outlives the program, so its code page is given back.
class Utf8Console {
 public:
  Utf8Console() : previous_(GetConsoleOutputCP()) { SetConsoleOutputCP(CP_UTF8); }
  ~Utf8Console() { SetConsoleOutputCP(previous_); }
  Utf8Console(const Utf8Console&) = delete;
  Utf8Console& operator=(const Utf8Console&) = delete;

 private:
  UINT previous_;
};
#else
bool InputIsTerminal() { return isatty(STDIN_FILENO) != 0; }
#endif

}  // namespace

int main([[maybe_unused]] int argc, [[maybe_unused]] char** argv) {
#ifdef _WIN32
  const Utf8Console console;
  const std::vector<std::string> args = Arguments();
#else
  const std::vector<std::string> args(argv + 1, argv + argc);
#endif
  return m2v::cli::RunCli(args, std::cin, std::cout, std::cerr, InputIsTerminal());
}
