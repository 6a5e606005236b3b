#pragma once

// JSON text for the machine-readable output of the check: strings escaped so that any
// file name or message reads back exactly.

#include <string>
#include <string_view>

namespace m2v::cli {

// A JSON string literal, quotes included, of UTF-8 text. Invalid UTF-8 becomes U+FFFD, so
// the result is always valid JSON.
std::string JsonString(std::string_view utf8);

}  // namespace m2v::cli
