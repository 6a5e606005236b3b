#include "text/to_narrow.h"

#include <gtest/gtest.h>

#include "text/failure.h"

namespace m2v::text {
namespace {

TEST(ToNarrowTest, NarrowsDigitsCapitalsAndKatakana) {
  const std::pair<std::u16string, std::u16string> cases[] = {
      {u"ＡＢ１２ガー", u"AB12ｶﾞー"},  // the long-vowel mark stays full-width
      {u"パピプペポ", u"ﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ"},
      {u"ァアッンヲ", u"ｧｱｯﾝｦ"},
      {u"ヮヰヱヴヵヶ・", u"ヮヰヱヴヵヶ・"},  // no half-width form, or above ン
      {u"：；＜＝＞？＠", u":;<=>?@"},
      {u"ｚａｂｃ", u"ｚａｂｃ"},  // full-width lower case stays
      {u"あ漢Ab1ｶ", u"あ漢Ab1ｶ"},
      {u"", u""},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(ToNarrow(in), out);
}

TEST(ToNarrowTest, TextBeyondItsLimitIsAFailure) {
  EXPECT_EQ(ToNarrow(std::u16string(32767, u'Ａ')), std::u16string(32767, u'A'));
  EXPECT_THROW(ToNarrow(std::u16string(32768, u'A')), Failure);
}

}  // namespace
}  // namespace m2v::text
