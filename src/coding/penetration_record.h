#pragma once

// One standard penetration test: blows and penetration of the whole test and of its three
// 10 cm increments, and the N value, the blows scaled to 30 cm.

#include <array>
#include <cstdint>
#include <string>

namespace m2v::common {
class TextWriter;
}

namespace m2v::coding {

// lines[0] is the label, lines[1] the whole test ("50/12"), lines[2..4] the increments,
// lines[5] unused.
using PenetrationLines = std::array<std::u16string, 6>;

// The N value text: blows(1) when penetration(1) is 0 or no number, else
// 30 / penetration × blows in single precision, truncated toward zero.
std::u16string PenetrationNValue(const std::u16string& blows, const std::u16string& penetration);

// Writes the 47-character line of X5.TXT and advances record_number. Throws
// text::Failure when record_number would pass 32,767 (nothing is written then).
void ConvertPenetrationRecord(std::int16_t& record_number, const PenetrationLines& lines,
                              common::TextWriter& penetration_file);

}  // namespace m2v::coding
