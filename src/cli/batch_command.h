#pragma once

// mirta2vesk-cli batch --into DEST_ROOT [--patdat DIR] [--report FILE] SOURCE...
// Converts each survey, in the order given, into DEST_ROOT\<file name without extension>\,
// answering the create-folder question with Yes and going on after a survey that was not
// converted; ends with a summary. Exit status: 0 all converted, 1 some refused, 2 usage,
// 3 some failed during the conversion.

#include <iosfwd>
#include <string>
#include <vector>

namespace m2v::cli {

// args are those after "batch".
int RunBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace m2v::cli
