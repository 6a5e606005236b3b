#include "text/field_split.h"

#include "text/failure.h"

namespace m2v::text {

std::int16_t CountDelims(std::u16string_view text, std::u16string_view delims) {
  long count = 0;
  for (char16_t d : delims) {
    for (char16_t c : text) count += c == d ? 1 : 0;
  }
  if (count > 32767) throw Failure(u"区切り文字が多すぎます（32,767 個まで）。");
  return static_cast<std::int16_t>(count);
}

void SplitFields(std::u16string_view text, std::u16string_view delims,
                 std::vector<std::u16string>& fields) {
  std::size_t k = 1;
  std::size_t start = 0;
  auto put = [&](std::size_t end) {
    if (k >= fields.size()) throw Failure(u"区切りが多すぎます（" + std::u16string(text) + u"）");
    fields[k++] = std::u16string(text.substr(start, end - start));
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (delims.find(text[i]) != std::u16string_view::npos) {
      put(i);
      start = i + 1;
    }
  }
  put(text.size());
}

}  // namespace m2v::text
