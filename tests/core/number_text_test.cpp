#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "number_text.h"

namespace sutograf {
namespace {

TEST(NumberText, WholeNumbersArePlainDigits) {
    EXPECT_EQ(numberText(2011), "2011");
    EXPECT_EQ(numberText(0), "0");
    EXPECT_EQ(numberText(-3), "-3");
    EXPECT_EQ(numberText(12), "12");
    EXPECT_EQ(numberText(99999), "99999");
}

TEST(NumberText, FractionsAndHugeValuesNeverLookLikeAYear) {
    EXPECT_EQ(numberText(2011.5), "2011.5");
    EXPECT_EQ(numberText(1e20), "1e+20");
}

struct SingleCase {
    const char* name;
    const char* text;
    std::optional<float> expected;
};

void PrintTo(const SingleCase& c, std::ostream* os) { *os << c.name; }

class TextToSingle : public ::testing::TestWithParam<SingleCase> {};

TEST_P(TextToSingle, Reads) { EXPECT_EQ(textToSingle(GetParam().text), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Cases, TextToSingle,
    ::testing::Values(SingleCase{"Year", "2011", 2011.0f}, SingleCase{"Fraction", "2011.5", 2011.5f},
                      SingleCase{"Negative", "-5", -5.0f}, SingleCase{"Plus", "+3", 3.0f},
                      SingleCase{"Blanks", " \t2 ", 2.0f}, SingleCase{"Exponent", "1e3", 1000.0f},
                      SingleCase{"LeadingPoint", ".5", 0.5f}, SingleCase{"Empty", "", std::nullopt},
                      SingleCase{"Letters", "abc", std::nullopt},
                      SingleCase{"TrailingLetter", "2011a", std::nullopt},
                      SingleCase{"Comma", "1,5", std::nullopt}, SingleCase{"Inf", "inf", std::nullopt},
                      SingleCase{"NaN", "nan", std::nullopt}, SingleCase{"DoubleSign", "--1", std::nullopt},
                      SingleCase{"LoneSign", "-", std::nullopt}, SingleCase{"Hex", "0x10", std::nullopt},
                      SingleCase{"BeyondFloat", "1e39", std::nullopt},
                      SingleCase{"InnerBlank", "20 11", std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TextToSingle, StopsAtNothingButTheWholeText) {
    const std::string withNul("1\0"
                              "2",
                              3);
    EXPECT_EQ(textToSingle(withNul), std::nullopt);
}

TEST(ToInt16, RoundsHalfToEven) {
    EXPECT_EQ(toInt16(1.5f), 2);
    EXPECT_EQ(toInt16(2.5f), 2);
    EXPECT_EQ(toInt16(-0.5f), 0);
    EXPECT_EQ(toInt16(-1.5f), -2);
    EXPECT_EQ(toInt16(2.4999f), 2);
    EXPECT_EQ(toInt16(3.0f), 3);
}

TEST(ToInt16, SaturatesInsteadOfOverflowing) {
    EXPECT_EQ(toInt16(1e9f), 32767);
    EXPECT_EQ(toInt16(-1e9f), -32768);
    EXPECT_EQ(toInt16(std::numeric_limits<float>::quiet_NaN()), 0);
}

} // namespace
} // namespace sutograf
