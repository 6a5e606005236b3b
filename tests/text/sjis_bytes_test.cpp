#include "text/sjis_bytes.h"

#include <gtest/gtest.h>

#include "text/failure.h"

namespace m2v::text {
namespace {

TEST(SjisByteLenTest, CountsBytesOfTheCp932Form) {
  EXPECT_EQ(SjisByteLen(u"ABC"), 3);
  EXPECT_EQ(SjisByteLen(u"漢字A"), 5);
  EXPECT_EQ(SjisByteLen(u"ｶﾅ"), 2);
  EXPECT_EQ(SjisByteLen(u""), 0);
  EXPECT_EQ(SjisByteLen(u"\u301C"), 1);  // no exact form: one "?"
  EXPECT_EQ(SjisByteLen(std::u16string(16383, u'漢') + u"A"), 32767);
  EXPECT_THROW(SjisByteLen(std::u16string(16384, u'漢')), Failure);
}

TEST(SjisMidTest, TakesAByteRange) {
  struct Case {
    std::u16string text;
    int start;
    std::optional<int> length;
    std::u16string expected;
  };
  const Case cases[] = {
      {u"C:\\DATA", 2, 1, u":"},
      {u"ABCDEF", 1, 4, u"ABCD"},
      {u"AB", 1, 4, u"AB"},
      {u"AB", 5, 1, u""},
      {u"現場12", 1, 4, u"現場"},
      {u"A現場", 1, 4, u"A現"},  // the cut 場 is left out
      {u"漢:", 2, 1, u""},       // the trail byte of 漢 is no ":"
      {u"ｶﾅ漢字", 2, std::nullopt, u"ﾅ漢字"},
      {u"ABC", 1, 0, u""},
  };
  for (const Case& c : cases) EXPECT_EQ(SjisMid(c.text, c.start, c.length), c.expected);
}

TEST(SjisMidTest, RefusesInvalidArguments) {
  EXPECT_THROW(SjisMid(u"AB", 0, 1), Failure);
  EXPECT_THROW(SjisMid(u"AB", 1, -1), Failure);
}

}  // namespace
}  // namespace m2v::text
