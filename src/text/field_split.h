#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace m2v::text {

// Number of characters of text that occur in delims (a delimiter listed twice counts
// twice). Counts characters, so the trail byte 0x5C of "ソ" is never a "\".
// Throws Failure above 32,767.
std::int16_t CountDelims(std::u16string_view text, std::u16string_view delims);

// Writes the fields of text to fields[1] .. fields[n + 1]; entry 0 and higher entries
// keep what they held. Throws Failure when fields is too short (the fields before stay).
void SplitFields(std::u16string_view text, std::u16string_view delims,
                 std::vector<std::u16string>& fields);

}  // namespace m2v::text
