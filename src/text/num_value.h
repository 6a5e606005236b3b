#pragma once

// The one way a text field becomes a number.

#include <cstdint>
#include <string_view>

namespace m2v::text {

// The value in single precision (round to nearest), or 0 when the text is no number:
// blanks around, an optional sign, digits with at most one decimal point, an optional
// exponent. Throws Failure when the number is beyond the single-precision range.
float NumValue(std::u16string_view text);

// A number rounded to the nearest whole number, halves to even, as a 16-bit counter.
// Throws Failure outside -32768..32767.
std::int16_t ToInt16(float value);

}  // namespace m2v::text
