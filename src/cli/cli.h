#pragma once

// mirta2vesk-cli: the conversion run without a window.
//   mirta2vesk-cli [--patdat DIR] [--yes|--no] [--report FILE] SOURCE DEST
//   mirta2vesk-cli check [--json] [--patdat DIR] SOURCE...
//   mirta2vesk-cli check --tables [--json] [--patdat DIR] [SOURCE...]
//   mirta2vesk-cli batch --into DEST_ROOT [--patdat DIR] [--report FILE] SOURCE...
// Exit status: 0 converted, 1 refused by a check, 2 usage, 3 failed during the conversion
// (check: 0 when no file has an error, 1 otherwise).

#include <iosfwd>
#include <string>
#include <vector>

namespace m2v::cli {

inline constexpr int kExitConverted = 0;
inline constexpr int kExitRefused = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitFailed = 3;

// args excludes the program name. `interactive` says whether `in` is a terminal.
int RunCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
           std::ostream& err, bool interactive);

}  // namespace m2v::cli
