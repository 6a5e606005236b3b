#include "text/num_value.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <string>

#include "text/failure.h"
#include "text/text_util.h"

namespace m2v::text {
namespace {

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// The number test: blanks around, sign, digits with at most one point, an exponent.
// Returns the text in the form from_chars reads, or nothing when it is no number.
std::optional<std::string> NumberSyntax(std::u16string_view text) {
  const std::u16string trimmed = Trim(text);
  std::size_t i = 0;
  std::string out;
  if (i < trimmed.size() && (trimmed[i] == u'+' || trimmed[i] == u'-')) {
    if (trimmed[i] == u'-') out.push_back('-');
    ++i;
  }
  std::string mantissa;
  bool digits = false;
  bool point = false;
  for (; i < trimmed.size(); ++i) {
    const char16_t c = trimmed[i];
    if (IsDigit(c)) {
      mantissa.push_back(static_cast<char>(c));
      digits = true;
    } else if (c == u'.' && !point) {
      mantissa.push_back('.');
      point = true;
    } else {
      break;
    }
  }
  if (!digits) return std::nullopt;
  out += mantissa;
  if (i < trimmed.size() &&
      (trimmed[i] == u'e' || trimmed[i] == u'E' || trimmed[i] == u'd' || trimmed[i] == u'D')) {
    out.push_back('e');
    ++i;
    if (i < trimmed.size() && (trimmed[i] == u'+' || trimmed[i] == u'-')) {
      out.push_back(static_cast<char>(trimmed[i]));
      ++i;
    }
    bool exponent_digits = false;
    for (; i < trimmed.size() && IsDigit(trimmed[i]); ++i) {
      out.push_back(static_cast<char>(trimmed[i]));
      exponent_digits = true;
    }
    if (!exponent_digits) return std::nullopt;
  }
  if (i != trimmed.size()) return std::nullopt;
  return out;
}

}  // namespace

float NumValue(std::u16string_view text) {
  const std::optional<std::string> number = NumberSyntax(text);
  if (!number) return 0.0f;
  float value = 0.0f;
  const char* first = number->data();
  const char* last = first + number->size();
  const auto [ptr, ec] = std::from_chars(first, last, value);
  if (ec == std::errc::result_out_of_range) {
    double wide = 0.0;
    std::from_chars(first, last, wide);
    if (std::isinf(wide) || std::fabs(wide) > std::numeric_limits<float>::max()) {
      throw Failure(u"数値が大きすぎます: " + std::u16string(text));
    }
    return 0.0f;  // too small for single precision
  }
  if (ec != std::errc() || ptr != last) return 0.0f;
  return value;
}

std::int16_t ToInt16(float value) {
  const float rounded = std::nearbyint(value);  // the default rounding: halves to even
  if (!(rounded >= -32768.0f && rounded <= 32767.0f)) {
    throw Failure(u"数値が 16 ビット整数の範囲を超えています。");
  }
  return static_cast<std::int16_t>(rounded);
}

}  // namespace m2v::text
