#pragma once

// mirta2vesk-cli check [--tables] [--json] [--patdat DIR] SOURCE...
// Lists every finding of each survey file and writes nothing; --tables lists those of the
// pattern folder's soil tables first (SOURCE may then be left out). Exit status: 0 when no
// file has an error, 1 otherwise, 2 usage.

#include <iosfwd>
#include <string>
#include <vector>

namespace m2v::cli {

// args are those after "check".
int RunCheck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace m2v::cli
