#include <gtest/gtest.h>

#include <limits>

#include "number_text.h"

namespace sutograf {
namespace {

// A row of a table prints as its name.
template <class Row>
requires requires(Row r) { r.name; }
void PrintTo(const Row& r, std::ostream* os) { *os << r.name; }

// What a number typed into a box reads as, how the program writes it back, and the whole number it
// rounds to (to nearest, ties to even, within the int16 range).
struct NumberCase {
    const char* name;
    std::string_view text;
    std::optional<float> value = std::nullopt; // no number
    const char* written = "";
    int whole = 0;
};
class TypedNumber : public ::testing::TestWithParam<NumberCase> {};

TEST_P(TypedNumber, ReadsWritesAndRounds) {
    const auto& c = GetParam();
    ASSERT_EQ(textToSingle(c.text), c.value);
    if (c.value) {
        EXPECT_EQ(numberText(*c.value), c.written);
        EXPECT_EQ(toInt16(*c.value), c.whole);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TypedNumber,
    ::testing::Values(NumberCase{"Year", "2011", 2011.0f, "2011", 2011},
                      NumberCase{"Zero", "0", 0.0f, "0", 0},
                      NumberCase{"FractionRoundsToEvenYear", "2011.5", 2011.5f, "2011.5", 2012},
                      NumberCase{"HalfRoundsDownToEven", "2.5", 2.5f, "2.5", 2},
                      NumberCase{"NegativeHalfRoundsToEven", "-1.5", -1.5f, "-1.5", -2},
                      NumberCase{"Plus", "+3", 3.0f, "3", 3}, NumberCase{"Blanks", " \t2 ", 2.0f, "2", 2},
                      NumberCase{"Exponent", "1e3", 1000.0f, "1000", 1000},
                      NumberCase{"LeadingPoint", ".5", 0.5f, "0.5", 0},
                      NumberCase{"BillionSaturates", "1e9", 1e9f, "1000000000", 32767},
                      NumberCase{"MinusBillionSaturates", "-1e9", -1e9f, "-1000000000", -32768},
                      NumberCase{"HugeIsNoYear", "1e20", 1e20f, "100000002004087734272", 32767},
                      NumberCase{"Empty", ""}, NumberCase{"TrailingLetter", "2011a"},
                      NumberCase{"Comma", "1,5"}, NumberCase{"Inf", "inf"}, NumberCase{"NaN", "nan"},
                      NumberCase{"DoubleSign", "--1"}, NumberCase{"LoneSign", "-"},
                      NumberCase{"BeyondFloat", "1e39"}, NumberCase{"InnerBlank", "20 11"},
                      NumberCase{"NulInside", {"1\0002", 3}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ToInt16, NaNGivesZero) { EXPECT_EQ(toInt16(std::numeric_limits<float>::quiet_NaN()), 0); }

} // namespace
} // namespace sutograf
