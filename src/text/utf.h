#pragma once

// UTF-8 <-> UTF-16 for host file names and terminal output. Survey text never passes here:
// it is CP932 on disk (see cp932.h).

#include <string>
#include <string_view>

namespace m2v::text {

// Invalid UTF-8 becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view text);
// Lone surrogates become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);

}  // namespace m2v::text
