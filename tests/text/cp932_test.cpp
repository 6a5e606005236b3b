#include "text/cp932.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace m2v::text {
namespace {

using ::testing::ElementsAre;

struct RoundTrip {
  std::u16string text;
  std::string bytes;
};

class Cp932RoundTripTest : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(Cp932RoundTripTest, DecodesAndEncodesTheWindowsTable) {
  const RoundTrip& c = GetParam();
  const DecodedText decoded = DecodeCp932(c.bytes);
  EXPECT_EQ(decoded.text, c.text);
  EXPECT_TRUE(decoded.bad_bytes.empty());
  EXPECT_EQ(EncodeCp932(c.text), c.bytes);
  EXPECT_TRUE(HasCp932Form(c.text));
}

INSTANTIATE_TEST_SUITE_P(
    Characters, Cp932RoundTripTest,
    ::testing::Values(RoundTrip{u"ABC 1,\\", "ABC 1,\\"},      // 0x5C stays a backslash
                      RoundTrip{u"～", "\x81\x60"},            // U+FF5E, not U+301C
                      RoundTrip{u"－", "\x81\x7C"},            // U+FF0D
                      RoundTrip{u"∥", "\x81\x61"},             // U+2225
                      RoundTrip{u"￢", "\x81\xCA"},            // U+FFE2
                      RoundTrip{u"＼", "\x81\x5F"},            // U+FF3C
                      RoundTrip{u"ｶﾞｰ", "\xB6\xDE\xB0"},       // half-width katakana
                      RoundTrip{u"ソ表", "\x83\x5C\x95\x5C"},  // trail byte 0x5C
                      RoundTrip{u"\uE000", "\xF0\x40"},        // user-defined area
                      RoundTrip{u"ⅰ", "\xFA\x40"},             // NEC-selected IBM duplicate
                      RoundTrip{u"砂混じり粘土",
                                "\x8D\xBB\x8D\xAC\x82\xB6\x82\xE8\x94\x53\x93\x79"},
                      RoundTrip{u"", ""}));

TEST(Cp932Test, ReportsEveryByteThatIsNotCp932AndGoesOn) {
  // 0x80, 0xA0 and 0xFD-0xFF are refused on every platform; a lead byte with a bad trail
  // is one bad byte, and the trail then reads as itself.
  const DecodedText decoded =
      DecodeCp932(std::string("A\x80"
                              "B\xA0\xFD\x81 C\x82",
                              9));
  EXPECT_EQ(decoded.text, u"A\uFFFDB\uFFFD\uFFFD\uFFFD C\uFFFD");
  EXPECT_THAT(decoded.bad_bytes, ElementsAre(1, 3, 4, 5, 8));
}

TEST(Cp932Test, ReportsUtf8AsBadBytes) {
  const DecodedText decoded = DecodeCp932("\xE7\xA0\x82");  // "砂" saved as UTF-8
  EXPECT_FALSE(decoded.bad_bytes.empty());
}

TEST(Cp932Test, WritesQuestionMarkForCharactersWithoutAnExactForm) {
  // glibc would map the first five one way; Windows without best fit writes "?".
  EXPECT_EQ(EncodeCp932(u"a\u301C\u2212\u2016\u00A5\u203E\u00E9b"), "a??????b");
  EXPECT_EQ(EncodeCp932(u"\U0001F600x"), "?x");                       // outside the BMP
  EXPECT_EQ(EncodeCp932(std::u16string(1, u'\xD800') + u"x"), "?x");  // lone surrogate
  EXPECT_FALSE(HasCp932Form(u"砂\u301C"));
  EXPECT_TRUE(HasCp932Form(u"砂～"));
  // glibc maps these to codes of other characters, Windows to bytes no one reads back.
  EXPECT_EQ(EncodeCp932(u"\u00A2\u00A3\u00AC\u2014|\u0080\uF8F0\uF8F1\uF8F2\uF8F3"), "????|?????");
}

}  // namespace
}  // namespace m2v::text
