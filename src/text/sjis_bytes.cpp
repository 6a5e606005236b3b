#include "text/sjis_bytes.h"

#include "text/cp932.h"
#include "text/failure.h"

namespace m2v::text {

std::int16_t SjisByteLen(std::u16string_view text) {
  const std::size_t length = EncodeCp932(text).size();
  if (length > 32767) throw Failure(u"文字列が長すぎます（32,767 バイトまで）。");
  return static_cast<std::int16_t>(length);
}

std::u16string SjisMid(std::u16string_view text, int start, std::optional<int> length) {
  if (start < 1 || (length && *length < 0)) {
    throw Failure(u"SjisMid の引数が正しくありません。");
  }
  const std::size_t first = static_cast<std::size_t>(start - 1);
  const std::size_t end =
      length ? first + static_cast<std::size_t>(*length) : static_cast<std::size_t>(-1);
  // Walk the characters with their byte spans, so that a double-byte character the range
  // cuts in two is left out instead of decoding half of it as something else.
  std::u16string result;
  std::size_t offset = 0;
  for (std::size_t i = 0; i < text.size() && offset < end;) {
    const bool pair = i + 1 < text.size() && text[i] >= 0xD800 && text[i] <= 0xDBFF &&
                      text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
    const std::u16string_view unit = text.substr(i, pair ? 2 : 1);
    const std::size_t bytes = unit[0] < 0x80 ? 1 : EncodeCp932(unit).size();
    if (offset >= first && offset + bytes <= end) result += unit;
    offset += bytes;
    i += unit.size();
  }
  return result;
}

}  // namespace m2v::text
