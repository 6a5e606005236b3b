#pragma once

// Reads a survey file the way the passes will, before anything is written, and says what
// would go wrong: bytes that are not CP932, a file saved as UTF-8, a section whose body the
// file does not hold, a header too short for the header step.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "convert/source_file.h"

namespace m2v::convert {

enum class Severity { kError, kWarning, kInformation };

struct Finding {
  Severity severity;
  std::string rule;        // short and stable: "not-cp932", "body-past-end", ...
  std::u16string marker;   // the section, or empty for the whole file
  int line;                // 1-based line of the source file; 0 for the whole file
  std::u16string message;  // Japanese, for the person at the keyboard
};

// Every error of the file, in file order.
std::vector<Finding> CheckSourceBytes(std::string_view bytes);
// The same for the survey already made of those bytes.
std::vector<Finding> CheckSource(std::string_view bytes, const Survey& survey);

}  // namespace m2v::convert
