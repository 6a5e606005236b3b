#pragma once

#include <string>
#include <string_view>

namespace m2v::common {

// Full-width digits, capital letters (and U+FF1A-U+FF20 as ":;<=>?@") and katakana to
// half width; a voiced katakana becomes two characters. Throws Failure beyond 32,767
// characters.
std::u16string ToNarrow(std::u16string_view text);

}  // namespace m2v::common
