#include "text/to_narrow.h"

#include "text/failure.h"

namespace m2v::text {
namespace {

// Half-width forms of U+30A1 (ァ) to U+30F3 (ン); an empty entry has none (ヮ ヰ ヱ).
constexpr const char16_t* kHalfWidthKatakana[] = {
    u"ｧ",  u"ｱ",  u"ｨ", u"ｲ",  u"ｩ",  u"ｳ",  u"ｪ",  u"ｴ",  u"ｫ",  u"ｵ",   // ァ-オ
    u"ｶ",  u"ｶﾞ", u"ｷ", u"ｷﾞ", u"ｸ",  u"ｸﾞ", u"ｹ",  u"ｹﾞ", u"ｺ",  u"ｺﾞ",  // カ-ゴ
    u"ｻ",  u"ｻﾞ", u"ｼ", u"ｼﾞ", u"ｽ",  u"ｽﾞ", u"ｾ",  u"ｾﾞ", u"ｿ",  u"ｿﾞ",  // サ-ゾ
    u"ﾀ",  u"ﾀﾞ", u"ﾁ", u"ﾁﾞ", u"ｯ",  u"ﾂ",  u"ﾂﾞ", u"ﾃ",  u"ﾃﾞ", u"ﾄ",   // タ-ト
    u"ﾄﾞ", u"ﾅ",  u"ﾆ", u"ﾇ",  u"ﾈ",  u"ﾉ",  u"ﾊ",  u"ﾊﾞ", u"ﾊﾟ", u"ﾋ",   // ド-ヒ
    u"ﾋﾞ", u"ﾋﾟ", u"ﾌ", u"ﾌﾞ", u"ﾌﾟ", u"ﾍ",  u"ﾍﾞ", u"ﾍﾟ", u"ﾎ",  u"ﾎﾞ",  // ビ-ボ
    u"ﾎﾟ", u"ﾏ",  u"ﾐ", u"ﾑ",  u"ﾒ",  u"ﾓ",  u"ｬ",  u"ﾔ",  u"ｭ",  u"ﾕ",   // ポ-ユ
    u"ｮ",  u"ﾖ",  u"ﾗ", u"ﾘ",  u"ﾙ",  u"ﾚ",  u"ﾛ",  u"",   u"ﾜ",  u"",    // ョ-ヰ
    u"",   u"ｦ",  u"ﾝ",                                                   // ヱ-ン
};
static_assert(std::size(kHalfWidthKatakana) == 0x30F3 - 0x30A1 + 1);

}  // namespace

std::u16string_view HalfWidthKatakana(char16_t c) {
  if (c < u'\u30A1' || c > u'\u30F3') return {};
  return kHalfWidthKatakana[c - 0x30A1];
}

std::u16string ToNarrow(std::u16string_view text) {
  if (text.size() > 32767) throw Failure(u"文字列が長すぎます（32,767 文字まで）。");
  std::u16string result;
  result.reserve(text.size());
  for (char16_t c : text) {
    if (c >= u'\uFF10' && c <= u'\uFF3A') {
      // Digits, ":;<=>?@" and capitals sit 0xFEE0 above their ASCII forms.
      result.push_back(static_cast<char16_t>(c - 0xFEE0));
    } else if (const std::u16string_view half = HalfWidthKatakana(c); !half.empty()) {
      result += half;
    } else {
      result.push_back(c);
    }
  }
  return result;
}

}  // namespace m2v::text
