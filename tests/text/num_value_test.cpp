#include "text/num_value.h"

#include <gtest/gtest.h>

#include "text/failure.h"

namespace m2v::text {
namespace {

struct NumCase {
  std::u16string text;
  float value;
};

class NumValueTest : public ::testing::TestWithParam<NumCase> {};

TEST_P(NumValueTest, GivesTheSinglePrecisionValueOrZero) {
  // Exact float comparison on purpose: the value must be the nearest float.
  EXPECT_EQ(NumValue(GetParam().text), GetParam().value) << "text size " << GetParam().text.size();
}

INSTANTIATE_TEST_SUITE_P(
    Texts, NumValueTest,
    ::testing::Values(NumCase{u"12.5", 12.5f}, NumCase{u" 3 ", 3.0f}, NumCase{u"-0.5", -0.5f},
                      NumCase{u"+7", 7.0f}, NumCase{u"1.1", 1.1f}, NumCase{u"0.1", 0.1f},
                      NumCase{u"5.", 5.0f}, NumCase{u".25", 0.25f}, NumCase{u"1e3", 1000.0f},
                      NumCase{u"2.5E-1", 0.25f}, NumCase{u" 30", 30.0f}, NumCase{u" 12", 12.0f},
                      NumCase{u"", 0.0f}, NumCase{u"   ", 0.0f}, NumCase{u"abc", 0.0f},
                      NumCase{u"1.2.3", 0.0f}, NumCase{u"12a", 0.0f}, NumCase{u"-", 0.0f},
                      NumCase{u".", 0.0f}, NumCase{u"1e", 0.0f}, NumCase{u"１２", 0.0f},
                      NumCase{u"1 2", 0.0f}, NumCase{u"50/12", 0.0f}, NumCase{u"1e-60", 0.0f}));

TEST(NumValueTest, IsSinglePrecisionNotDouble) {
  EXPECT_NE(static_cast<double>(NumValue(u"1.1")), 1.1);
  EXPECT_EQ(static_cast<double>(NumValue(u"1.1")), static_cast<double>(1.1f));
}

TEST(NumValueTest, NumberBeyondSinglePrecisionIsAFailure) {
  EXPECT_THROW(NumValue(u"1e39"), Failure);
  EXPECT_THROW(NumValue(u"-" + std::u16string(60, u'9')), Failure);
  EXPECT_EQ(NumValue(u"3e38"), 3e38f);
}

TEST(ToInt16Test, RoundsHalvesToEvenAndRefusesOverflow) {
  EXPECT_EQ(ToInt16(2.5f), 2);
  EXPECT_EQ(ToInt16(3.5f), 4);
  EXPECT_EQ(ToInt16(-2.5f), -2);
  EXPECT_EQ(ToInt16(12.4f), 12);
  EXPECT_EQ(ToInt16(32767.0f), 32767);
  EXPECT_EQ(ToInt16(-32768.0f), -32768);
  EXPECT_THROW(ToInt16(32767.5f), Failure);  // rounds to 32768
  EXPECT_THROW(ToInt16(-40000.0f), Failure);
}

}  // namespace
}  // namespace m2v::text
