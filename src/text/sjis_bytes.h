#pragma once

// Lengths and ranges of a text measured in the bytes of its CP932 form.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace m2v::text {

// Throws Failure beyond 32,767 bytes. A character without a CP932 form counts as "?".
std::int16_t SjisByteLen(std::u16string_view text);

// Bytes start (1-based) to start + length - 1 of the CP932 form, as text; all to the end
// when length is absent. A double-byte character cut by the range is left out.
// Throws Failure for start < 1 or length < 0.
std::u16string SjisMid(std::u16string_view text, int start,
                       std::optional<int> length = std::nullopt);

}  // namespace m2v::text
