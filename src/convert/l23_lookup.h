#pragma once

#include <string>
#include <string_view>

namespace m2v::convert {

// Field 1 of the first L23.txt record whose field 3 equals key, compared blind to letter
// case, to full and half width and to hiragana and katakana; "  " (two blanks) when none
// matches or the file is missing or empty. Throws Failure when the file cannot be read or
// ends inside a record. Inside a FileCacheScope the file is read once and checked against
// the disk before every look-up.
std::u16string LookupL23(const std::u16string& pattern_folder, std::u16string_view key);

// The comparison LookupL23 uses.
bool TextEqualsIgnoringCaseWidthKana(std::u16string_view a, std::u16string_view b);

}  // namespace m2v::convert
