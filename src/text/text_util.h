#pragma once

// Small text helpers shared by the passes and the coding routines.

#include <string>
#include <string_view>

namespace m2v::text {

// Blanks (U+0020) removed at both ends; other white space stays, as the users' tools do.
std::u16string Trim(std::u16string_view text);
std::u16string TrimEnd(std::u16string_view text);
bool IsBlank(std::u16string_view text);

// The last `width` characters of `width` blanks followed by the text: right-aligned,
// a longer text loses characters on the left.
std::u16string RightAlign(std::u16string_view text, std::size_t width);

// Decimal text of a number ("-12").
std::u16string DecimalText(long long value);

}  // namespace m2v::text
