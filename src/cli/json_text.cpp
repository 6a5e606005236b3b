#include "cli/json_text.h"

#include "common/utf.h"

namespace m2v::cli {

std::string JsonString(std::string_view utf8) {
  static constexpr char kHex[] = "0123456789abcdef";
  const std::string text = common::Utf16ToUtf8(common::Utf8ToUtf16(utf8));
  std::string json = "\"";
  for (const char c : text) {
    switch (c) {
      case '"':
        json += "\\\"";
        break;
      case '\\':
        json += "\\\\";
        break;
      case '\n':
        json += "\\n";
        break;
      case '\r':
        json += "\\r";
        break;
      case '\t':
        json += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          json += "\\u00";
          json += kHex[(c >> 4) & 0x0F];
          json += kHex[c & 0x0F];
        } else {
          json += c;
        }
    }
  }
  return json + "\"";
}

}  // namespace m2v::cli
