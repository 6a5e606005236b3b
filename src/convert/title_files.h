#pragma once

#include <string>
#include <vector>

namespace m2v::convert {

// Writes Titl01.txt (entries 1..23 of first) and Titl02.txt (entries 1..41 of second) into
// folder, one trimmed entry a line. Throws text::Failure when a file cannot be written.
void WriteTitleFiles(const std::vector<std::u16string>& first,
                     const std::vector<std::u16string>& second, const std::u16string& folder);

}  // namespace m2v::convert
