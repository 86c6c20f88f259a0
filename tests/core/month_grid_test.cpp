// What the month window is built from: the dates of the model, the text typed into its boxes, the rota
// and the 56 cells of a month.
#include <gtest/gtest.h>

#include <algorithm>

#include "number_text.h"
#include "rota.h"

namespace sutograf {
namespace {

constexpr std::uint32_t kMagenta = 0xFF00FF, kBlue = 0xFF0000, kRed = 0x0000FF, kYellow = 0x00FFFF;

int floorMod4(std::int32_t s) { return ((s % 4) + 4) % 4; }
std::string nameOf(const auto& info) { return info.param.name; }

// Every day of the model once, from the day before it: its fields follow the day before, its texts read
// back, its weekday turns over (31.12.0099 was a Thursday), its watch follows the four-day cycle for every
// offset (day 0, 30.12.1899, is watch 1 with offset 0), and the grid of the month it begins holds the
// month's days in the layout the window's columns rely on, the 1st framed as today.
void expectMonthGrid(Date first, const CivilDate& c) {
    const auto grid = Setka_Raschet(static_cast<float>(c.year), static_cast<float>(c.month), 2, first);
    if ((c.year == 100 && c.month == 1) || (c.year == 9999 && c.month == 12)) {
        ASSERT_FALSE(grid.has_value()) << "its days leave the years 100 to 9999";
        return;
    }
    ASSERT_TRUE(grid.has_value()) << c.month << "." << c.year;
    // Monday on top: the 1st lies in the second column, on the row of its weekday.
    const int at = 6 + weekdayOf(first);
    ASSERT_EQ(grid->todayCell, at);
    for (const YacheykaSetki& cell : grid->cells) {
        const int watch = (floorMod4(cell.date.serial) + 2) % 4 + 1;
        ASSERT_EQ(cell.date.serial, first.serial - at + cell.k);
        ASSERT_EQ(cell.dayText, std::to_string(dayOf(cell.date)));
        ASSERT_EQ(cell.inMonth, monthOf(cell.date) == c.month);
        ASSERT_EQ(cell.isToday, cell.k == at);
        ASSERT_EQ(cell.watch, watch);
        ASSERT_EQ(cell.tooltip, shortDateText(cell.date) + ", " + std::to_string(watch) + " караул");
    }
}

TEST(Sweep, EveryDayOfTheModel) {
    ASSERT_EQ(dateOf(1899, 12, 30), Date{0});
    CivilDate prev{99, 12, 31};
    for (std::int32_t s = kFirstDate.serial; s <= kLastDate.serial; ++s) {
        const Date d{s};
        const CivilDate c = civilOf(d);
        const bool sameMonth = c.year == prev.year && c.month == prev.month && c.day == prev.day + 1;
        const bool nextMonth = c.year == prev.year && c.month == prev.month + 1 && c.day == 1;
        const bool nextYear = c.year == prev.year + 1 && c.month == 1 && c.day == 1 && prev.month == 12;
        ASSERT_TRUE(sameMonth || nextMonth || nextYear) << "serial " << s;
        ASSERT_EQ(dateFromText(shortDateText(d)), d) << shortDateText(d);
        ASSERT_EQ(dateFromIso(isoDateText(d)), d) << isoDateText(d);
        ASSERT_EQ(weekdayOf(d), (s - kFirstDate.serial + 4) % 7 + 1) << "serial " << s;
        for (int offset = 0; offset < 4; ++offset) {
            ASSERT_EQ(watchOn(d, static_cast<float>(offset)), (floorMod4(s) + offset) % 4 + 1) << s;
        }
        if (c.day == 1) {
            expectMonthGrid(d, c);
            if (::testing::Test::HasFatalFailure()) {
                return;
            }
        }
        prev = c;
    }
    EXPECT_EQ(shortDateText(kLastDate), "31.12.9999");
    EXPECT_EQ(isoDateText(kFirstDate), "0100-01-01");
    EXPECT_EQ(dateOf(99, 12, 31), std::nullopt);
    EXPECT_EQ(dateOf(10000, 1, 1), std::nullopt);
}

// Text typed into the window's boxes: the number it reads as, written back as the program writes it, the
// whole number it rounds to (to nearest, ties to even, within the int16 range) and the date it names.
struct TypedText {
    const char* name;
    std::string_view text;
    const char* number = nullptr; // nullptr: no number
    int whole = 0;
    const char* date = nullptr; // as shortDateText; nullptr: no date
};
class Typed : public ::testing::TestWithParam<TypedText> {};

TEST_P(Typed, ReadsAsANumberAndAsADate) {
    const auto& c = GetParam();
    const auto value = textToSingle(c.text);
    EXPECT_EQ(value ? numberText(*value) : "no number", c.number ? c.number : "no number");
    EXPECT_EQ(value ? toInt16(*value) : 0, c.whole);
    const auto d = dateFromText(c.text);
    EXPECT_EQ(d ? shortDateText(*d) : "no date", c.date ? c.date : "no date");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Typed,
    ::testing::Values(
        // Numbers, and text that is none: the number as written back and the whole number it rounds to.
        TypedText{"Year", "2011", "2011", 2011}, TypedText{"HalfYearRoundsToEven", "2011.5", "2011.5", 2012},
        TypedText{"HalfRoundsDownToEven", "2.5", "2.5", 2}, TypedText{"MinusOneAndAHalf", "-1.5", "-1.5", -2},
        TypedText{"Plus", "+3", "3", 3}, TypedText{"Blanks", " \t2 ", "2", 2},
        TypedText{"Exponent", "1e3", "1000", 1000}, TypedText{"LeadingPoint", ".5", "0.5", 0},
        TypedText{"NoDotsSaturates", "132011", "132011", 32767},
        TypedText{"MinusBillionSaturates", "-1e9", "-1000000000", -32768},
        TypedText{"HugeIsNoYear", "1e20", "100000002004087734272", 32767}, TypedText{"Comma", "1,5"},
        TypedText{"DoubleSign", "--1"}, TypedText{"LoneSign", "-"}, TypedText{"BeyondFloat", "1e39"},
        TypedText{"NulInside", {"1\0002", 3}},
        // Dates, and text that names none: no number, and the date.
        TypedText{"ShortFields", "1.3.2011", nullptr, 0, "01.03.2011"},
        TypedText{"Year0Is2000", "1.3.0", nullptr, 0, "01.03.2000"},
        TypedText{"Year29Is2029", "1.3.29", nullptr, 0, "01.03.2029"},
        TypedText{"Year30Is1930", "1.3.30", nullptr, 0, "01.03.1930"},
        TypedText{"Year201AsWritten", "1.3.201", nullptr, 0, "01.03.0201"},
        TypedText{"NoLeapDay2100", "29.2.2100"}, TypedText{"Month13", "1.13.2011"},
        TypedText{"FiveDigitYear", "1.3.10000"}, TypedText{"NegativeYear", "1.3.-5"},
        TypedText{"Blank", "1. 3.2011"}, TypedText{"Empty", ""}),
    [](const auto& info) { return nameOf(info); });

// x - floor(x) for a tiny negative x rounds to 1; the answer must stay inside [0, 1).
TEST(Ost, ATinyNegativeStaysBelowOne) { EXPECT_LT(Ost(-1e-10f), 1.0f); }

// Offsets that only a hand-edited file could give: which remainders m (0..3) still get a watch.
struct OddOffset {
    const char* name;
    float offset;
    std::array<std::optional<int>, 4> watchForM;
};
class OddOffsets : public ::testing::TestWithParam<OddOffset> {};

TEST_P(OddOffsets, FollowTheSingleSubtraction) {
    for (int m = 0; m < 4; ++m) {
        EXPECT_EQ(watchOn(Date{40544 + m}, GetParam().offset), GetParam().watchForM[m]) << "m = " << m;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, OddOffsets,
                         ::testing::Values(
                             // The watch for the remainders 0, 1, 2 and 3.
                             OddOffset{"Four", 4.0f, {1, 2, 3, 4}},
                             OddOffset{"Five", 5.0f, {2, 3, 4, std::nullopt}},
                             OddOffset{"MinusOne", -1.0f, {std::nullopt, 1, 2, 3}},
                             OddOffset{"OneAndAHalf", 1.5f, {}}),
                         [](const auto& info) { return nameOf(info); });

// The worked month, with today 09.03.2011 in cell 16: each cell's tooltip names its date and watch.
TEST(SetkaRaschet, March2011CellByCell) {
    const auto grid = Setka_Raschet(2011, 3, 0, dateFromText("09.03.2011").value());
    ASSERT_TRUE(grid.has_value());
    const std::tuple<int, const char*, std::uint32_t> expected[] = {
        {0, "21.02.2011, 4 караул", kGreyText},  {7, "28.02.2011, 3 караул", kGreyText},
        {8, "01.03.2011, 4 караул", kYellow},    {9, "02.03.2011, 1 караул", kMagenta},
        {10, "03.03.2011, 2 караул", kBlue},     {11, "04.03.2011, 3 караул", kRed},
        {16, "09.03.2011, 4 караул", kYellow},   {38, "31.03.2011, 2 караул", kBlue},
        {39, "01.04.2011, 3 караул", kGreyText}, {55, "17.04.2011, 3 караул", kGreyText}};
    for (const auto& [k, tooltip, colour] : expected) {
        EXPECT_EQ(grid->cells[k].tooltip, std::string_view(tooltip)) << k;
        EXPECT_EQ(grid->cells[k].colour, colour) << k;
    }
    EXPECT_EQ(grid->todayCell, 16);
    // With offset 1.5 no day has a watch: no colour and no tooltip, but the other months' days go grey.
    const auto noWatch = Setka_Raschet(2011, 3, 1.5f, Date{0});
    for (const auto& cell : noWatch->cells) {
        EXPECT_FALSE(cell.tooltip.has_value());
        EXPECT_EQ(cell.colour, cell.inMonth ? std::nullopt : std::optional<std::uint32_t>(kGreyText));
    }
}

// The month as the window's boxes hold it, pinned against the calendar: cell 0 and the cell framed as
// today, a grey cell too, and none when today lies outside the 56 days. A row without cell 0 gives no grid.
struct GridCase {
    const char* name;
    const char *year, *month;
    const char* today = "";
    std::optional<int> todayCell = std::nullopt;
    const char* cell0 = nullptr;
};
class MonthGrid : public ::testing::TestWithParam<GridCase> {};

TEST_P(MonthGrid, StartsOnTheMondayOfTheWeekBeforeAndFramesToday) {
    const auto& c = GetParam();
    const auto grid = gridFromText(c.year, c.month, 0, dateFromText(c.today).value_or(Date{0}));
    ASSERT_EQ(grid.has_value(), c.cell0 != nullptr);
    if (grid) {
        EXPECT_EQ(shortDateText(grid->cells[0].date), c.cell0);
        EXPECT_EQ(grid->todayCell, c.todayCell);
        EXPECT_EQ(std::count_if(grid->cells.begin(), grid->cells.end(), [](auto& x) { return x.isToday; }),
                  c.todayCell ? 1 : 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MonthGrid,
    ::testing::Values(
        // The month typed into the boxes, today, today's cell and cell 0.
        GridCase{"StartsOnMonday", "2010", "2", "01.02.2010", 7, "25.01.2010"},
        GridCase{"StartsOnSunday", "2011", "5", "01.05.2011", 13, "18.04.2011"},
        GridCase{"DecemberRunsIntoJanuary", "2011", "12", "15.01.2012", 55, "21.11.2011"},
        GridCase{"JanuaryStartsInDecember", "2012", "1", "01.01.2012", 13, "19.12.2011"},
        GridCase{"LeapFebruary2000", "2000", "2", "01.03.2000", 37, "24.01.2000"},
        GridCase{"February2100HasNoLeapDay", "2100", "2", "01.03.2100", 35, "25.01.2100"},
        GridCase{"TodayInTheFirstGreyCell", "2011", "3", "21.02.2011", 0, "21.02.2011"},
        GridCase{"TodayAfterTheGrid", "2011", "3", "18.04.2011", {}, "21.02.2011"},
        GridCase{"TwoDigitYear", "11", "3", "", {}, "21.02.2011"}, GridCase{"YearWithALetter", "2011г", "3"},
        GridCase{"FractionalYear", "2011.5", "3"}, GridCase{"MonthNotANumber", "2011", "Март"}),
    [](const auto& info) { return nameOf(info); });

} // namespace
} // namespace sutograf
