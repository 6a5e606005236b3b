#pragma once

// The CP932 (Windows Japanese) codec. The same bytes give the same characters on every
// platform: 0x80, 0xA0 and 0xFD-0xFF are not CP932 (Windows alone would take 0x80), and a
// character without an exact CP932 form (one that does not decode back to itself, such as
// U+301C or U+00A5) is written as "?", as Windows does without best fit.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace m2v::text {

struct DecodedText {
  std::u16string text;                 // each bad byte is U+FFFD here
  std::vector<std::size_t> bad_bytes;  // offsets (0-based) of bytes that are not CP932
};

DecodedText DecodeCp932(std::string_view bytes);
std::string EncodeCp932(std::u16string_view text);

// True when every character of the text has an exact CP932 form.
bool HasCp932Form(std::u16string_view text);

}  // namespace m2v::text
