#pragma once

// Whole files as bytes, and CP932 text made from UTF-8 literals, for byte-for-byte checks.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace m2v::test {

std::string ReadBytes(const std::filesystem::path& file);
void WriteBytes(const std::filesystem::path& file, std::string_view bytes);

// CP932 bytes of a UTF-8 literal (throws when a character has no CP932 form).
std::string Sjis(std::string_view utf8);
// UTF-16 of a UTF-8 literal, for comparisons with the core's text.
std::u16string Utf16(std::string_view utf8);
// CP932 lines, each followed by CR LF.
std::string SjisLines(const std::vector<std::string_view>& utf8_lines);

}  // namespace m2v::test
