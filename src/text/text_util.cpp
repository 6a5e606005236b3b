#include "text/text_util.h"

#include <string>

namespace m2v::text {

std::u16string Trim(std::u16string_view text) {
  const std::size_t first = text.find_first_not_of(u' ');
  if (first == std::u16string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(u' ');
  return std::u16string(text.substr(first, last - first + 1));
}

std::u16string TrimEnd(std::u16string_view text) {
  const std::size_t last = text.find_last_not_of(u' ');
  if (last == std::u16string_view::npos) return {};
  return std::u16string(text.substr(0, last + 1));
}

bool IsBlank(std::u16string_view text) {
  return text.find_first_not_of(u' ') == std::u16string_view::npos;
}

std::u16string RightAlign(std::u16string_view text, std::size_t width) {
  if (text.size() >= width) return std::u16string(text.substr(text.size() - width));
  return std::u16string(width - text.size(), u' ') + std::u16string(text);
}

std::u16string DecimalText(long long value) {
  const std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

}  // namespace m2v::text
