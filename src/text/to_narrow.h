#pragma once

#include <string>
#include <string_view>

namespace m2v::text {

// Full-width digits, capital letters (and U+FF1A-U+FF20 as ":;<=>?@") and katakana to
// half width; a voiced katakana becomes two characters. Throws Failure beyond 32,767
// characters.
std::u16string ToNarrow(std::u16string_view text);

// The half-width form of a full-width katakana ァ..ン ("ｶﾞ" for ガ); empty when it has none.
std::u16string_view HalfWidthKatakana(char16_t c);

}  // namespace m2v::text
