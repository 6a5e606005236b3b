#pragma once

// One record of X3.TXT: a two-part description ("暗灰～褐") with each part's first three
// characters coded through the one-character code table of L4.TXT.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace m2v::common {
class TextWriter;
}

namespace m2v::convert {

// L4.TXT: row i is (codes[i], names[i]); names are one character each.
struct CodeTable {
  std::vector<std::u16string> codes;
  std::vector<std::u16string> names;
  std::size_t size() const { return codes.size(); }
};

// Writes one line and advances counter; a blank description writes nothing.
// Throws Failure when counter would pass 32,767 or a code is beyond 16 bits.
void WriteX3Record(std::int16_t& counter, std::u16string_view label,
                   std::u16string_view description, const CodeTable& table,
                   common::TextWriter& out);

}  // namespace m2v::convert
