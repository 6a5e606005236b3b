#include "text/utf.h"

#include <gtest/gtest.h>

#include <string>

namespace m2v::text {
namespace {

struct Utf8Case {
  const char* what;
  std::string utf8;
  std::u16string utf16;
};

TEST(Utf8ToUtf16, DecodesWellFormedText) {
  const Utf8Case cases[] = {
      {"empty", "", u""},
      {"ascii with backslash", "D:\\PATDAT\\L1.TXT", u"D:\\PATDAT\\L1.TXT"},
      {"two-byte", "\xC3\xA9", u"\u00E9"},
      {"japanese folder name", "\xE8\xAA\xBF\xE6\x9F\xBB", u"調査"},
      {"half-width katakana", "\xEF\xBD\xB6\xEF\xBE\x85", u"ｶﾅ"},
      {"last BMP scalar", "\xEF\xBF\xBF", u"\uFFFF"},
      {"supplementary CJK as a surrogate pair", "\xF0\xA0\x80\x8B", u"\U0002000B"},
      {"highest scalar", "\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
      {"NUL inside", std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
  };
  for (const Utf8Case& c : cases) {
    EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16) << c.what;
  }
}

TEST(Utf8ToUtf16, ReplacesEachBrokenPieceAndResumesAtTheNextByte) {
  const Utf8Case cases[] = {
      {"lone continuation byte", "a\x80z", u"a\uFFFDz"},
      {"bytes that never start a sequence", "\xC0\xC1\xF5\xFF", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"overlong slash", "\xC0\xAF", u"\uFFFD\uFFFD"},
      {"overlong three-byte form", "\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},
      {"encoded surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
      {"past U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"truncated at the end", "ok\xE8\xAA", u"ok\uFFFD"},
      {"truncated before ASCII keeps the ASCII",
       "\xE3\x81"
       "A",
       u"\uFFFDA"},
      {"truncated four-byte before a good character", "\xF0\xA0\x80\xE8\xAA\xBF", u"\uFFFD調"},
  };
  for (const Utf8Case& c : cases) {
    EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16) << c.what;
  }
}

TEST(Utf16ToUtf8, ReplacesLoneSurrogates) {
  const Utf8Case cases[] = {
      {"pair", "\xF0\x9F\x98\x80", u"\U0001F600"},
      {"high at the end", "a\xEF\xBF\xBD", std::u16string{u'a', char16_t{0xD83D}}},
      {"low alone", "\xEF\xBF\xBDz", std::u16string{char16_t{0xDE00}, u'z'}},
      {"pair in reverse order", "\xEF\xBF\xBD\xEF\xBF\xBD",
       std::u16string{char16_t{0xDE00}, char16_t{0xD83D}}},
      {"high followed by a non-surrogate",
       "\xEF\xBF\xBD"
       "A",
       std::u16string{char16_t{0xD83D}, u'A'}},
  };
  for (const Utf8Case& c : cases) {
    EXPECT_EQ(Utf16ToUtf8(c.utf16), c.utf8) << c.what;
  }
}

// Every scalar value goes through both directions unchanged, which covers each boundary
// between sequence lengths and the edges of the surrogate block.
TEST(Utf, EveryScalarValueRoundTrips) {
  int failures = 0;
  for (char32_t cp = 0; cp <= 0x10FFFF && failures < 5; ++cp) {
    if (cp >= 0xD800 && cp <= 0xDFFF) continue;
    std::u16string utf16;
    if (cp < 0x10000) {
      utf16 = {static_cast<char16_t>(cp)};
    } else {
      utf16 = {static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)),
               static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF))};
    }
    const std::string utf8 = Utf16ToUtf8(utf16);
    const std::size_t expected_length = cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4;
    if (utf8.size() != expected_length || Utf8ToUtf16(utf8) != utf16) {
      ADD_FAILURE() << "U+" << std::hex << static_cast<unsigned long>(cp);
      ++failures;
    }
  }
}

}  // namespace
}  // namespace m2v::text
