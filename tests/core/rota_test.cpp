#include <gtest/gtest.h>

#include "rota.h"

namespace sutograf {
namespace {

constexpr std::uint32_t kMagenta = 0xFF00FF, kBlue = 0xFF0000, kRed = 0x0000FF, kYellow = 0x00FFFF;

Date dmy(const char* text) { return dateFromText(text).value(); }
int floorMod4(std::int32_t s) { return ((s % 4) + 4) % 4; }
std::string nameOf(const auto& info) { return info.param.name; }

TEST(Ost, UsesTheFloorNotTruncation) {
    EXPECT_EQ(Ost(2.75f), 0.75f);
    EXPECT_EQ(Ost(-0.25f), 0.75f);
    EXPECT_EQ(Ost(-3.0f), 0.0f);
    EXPECT_LT(Ost(-1e-10f), 1.0f);
}

// The whole range against plain integer arithmetic: one wrong day anywhere is a missed shift.
// Day -1 (29.12.1899) is watch 4 and day 0 watch 1 with offset 0; 01.01.2011 is watch offset + 1.
TEST(RotaSweep, EveryDayMatchesTheFourDayCycleForEveryOffset) {
    for (int offset = 0; offset < 4; ++offset) {
        ASSERT_EQ(watchOn(dmy("01.01.2011"), static_cast<float>(offset)), offset + 1);
        for (std::int32_t s = kFirstDate.serial; s <= kLastDate.serial; ++s) {
            ASSERT_EQ(watchOn(Date{s}, static_cast<float>(offset)), (floorMod4(s) + offset) % 4 + 1) << s;
        }
    }
}

// Offsets that only a hand-edited file could give: which remainders m (0..3) still get a watch.
struct OddOffset {
    const char* name;
    float offset;
    std::array<std::optional<int>, 4> watchForM;
};
void PrintTo(const OddOffset& c, std::ostream* os) { *os << c.name; }
class OddOffsets : public ::testing::TestWithParam<OddOffset> {};

TEST_P(OddOffsets, FollowTheSingleSubtraction) {
    for (int m = 0; m < 4; ++m) {
        EXPECT_EQ(watchOn(Date{40544 + m}, GetParam().offset), GetParam().watchForM[m]) << "m = " << m;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, OddOffsets,
                         ::testing::Values(OddOffset{"Four", 4.0f, {1, 2, 3, 4}},
                                           OddOffset{"Five", 5.0f, {2, 3, 4, std::nullopt}},
                                           OddOffset{"MinusOne", -1.0f, {std::nullopt, 1, 2, 3}},
                                           OddOffset{"OneAndAHalf", 1.5f, {}}, OddOffset{"Eight", 8.0f, {}}),
                         [](const auto& info) { return nameOf(info); });

TEST(SetkaRaschet, March2011CellByCell) {
    const auto grid = Setka_Raschet(2011, 3, 0, dmy("09.03.2011"));
    ASSERT_TRUE(grid.has_value());
    const struct {
        int k;
        const char *date, *dayText;
        int watch;
        std::uint32_t colour;
    } expected[] = {
        {0, "21.02.2011", "21", 4, kGreyText}, {7, "28.02.2011", "28", 3, kGreyText},
        {8, "01.03.2011", "1", 4, kYellow},    {9, "02.03.2011", "2", 1, kMagenta},
        {10, "03.03.2011", "3", 2, kBlue},     {11, "04.03.2011", "4", 3, kRed},
        {16, "09.03.2011", "9", 4, kYellow},   {38, "31.03.2011", "31", 2, kBlue},
        {39, "01.04.2011", "1", 3, kGreyText}, {55, "17.04.2011", "17", 3, kGreyText},
    };
    for (const auto& e : expected) {
        SCOPED_TRACE(e.k);
        const YacheykaSetki& cell = grid->cells[e.k];
        EXPECT_EQ(shortDateText(cell.date), e.date);
        EXPECT_EQ(cell.dayText, e.dayText);
        EXPECT_EQ(cell.watch, e.watch);
        EXPECT_EQ(cell.colour, e.colour);
        EXPECT_EQ(cell.tooltip, std::string(e.date) + ", " + std::to_string(e.watch) + " караул");
        EXPECT_EQ(cell.inMonth, e.colour != kGreyText);
        EXPECT_EQ(cell.isToday, e.k == 16);
    }
    EXPECT_EQ(grid->todayCell, 16);
}

// Pinned against the calendar; the sweep below checks the same shape against our own date model.
struct MonthShape {
    const char* name;
    float year, month;
    int firstCell;              // the cell of the 1st
    const char *cell0, *cell55; // dates of the first and last cells
};
void PrintTo(const MonthShape& c, std::ostream* os) { *os << c.name; }
class MonthShapes : public ::testing::TestWithParam<MonthShape> {};

TEST_P(MonthShapes, StartOnTheMondayOfTheWeekBefore) {
    const auto& p = GetParam();
    const auto grid = Setka_Raschet(p.year, p.month, 0, Date{0});
    ASSERT_TRUE(grid.has_value());
    EXPECT_EQ(grid->cells[p.firstCell].dayText, "1");
    EXPECT_TRUE(grid->cells[p.firstCell].inMonth);
    EXPECT_FALSE(grid->cells[p.firstCell - 1].inMonth);
    EXPECT_EQ(shortDateText(grid->cells[0].date), p.cell0);
    EXPECT_EQ(shortDateText(grid->cells[55].date), p.cell55);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MonthShapes,
    ::testing::Values(MonthShape{"StartsOnMonday", 2010, 2, 7, "25.01.2010", "21.03.2010"},
                      MonthShape{"StartsOnSunday", 2011, 5, 13, "18.04.2011", "12.06.2011"},
                      MonthShape{"December", 2011, 12, 10, "21.11.2011", "15.01.2012"},
                      MonthShape{"January", 2012, 1, 13, "19.12.2011", "12.02.2012"},
                      MonthShape{"LeapFebruary2000", 2000, 2, 8, "24.01.2000", "19.03.2000"},
                      MonthShape{"February2100", 2100, 2, 7, "25.01.2100", "21.03.2100"},
                      MonthShape{"TwoDigitYear", 11, 3, 8, "21.02.2011", "17.04.2011"},
                      MonthShape{"FirstMonthInRange", 100, 2, 7, "25.01.0100", "21.03.0100"},
                      MonthShape{"LastMonthInRange", 9999, 11, 7, "25.10.9999", "19.12.9999"}),
    [](const auto& info) { return nameOf(info); });

TEST(SetkaRaschet, TodayIsFramedAlsoInAGreyCellAndNowhereOutside) {
    EXPECT_EQ(Setka_Raschet(2011, 3, 0, dmy("21.02.2011"))->todayCell, 0);
    EXPECT_EQ(Setka_Raschet(2011, 3, 0, dmy("17.04.2011"))->todayCell, 55);
    const auto outside = Setka_Raschet(2011, 3, 0, dmy("18.04.2011"));
    EXPECT_EQ(outside->todayCell, std::nullopt);
    EXPECT_TRUE(
        std::none_of(outside->cells.begin(), outside->cells.end(), [](const auto& c) { return c.isToday; }));
}

TEST(SetkaRaschet, DaysWithoutAWatchHaveNoColourOrTooltipButStillGoGrey) {
    const auto grid = Setka_Raschet(2011, 3, 1.5f, Date{0});
    for (const auto& cell : grid->cells) {
        EXPECT_FALSE(cell.tooltip.has_value());
        EXPECT_EQ(cell.colour, cell.inMonth ? std::nullopt : std::optional<std::uint32_t>(kGreyText));
    }
}

// Every month of every year: the layout that the window's columns rely on, and the rota in each cell.
TEST(SetkaRaschetSweep, EveryMonthKeepsItsShape) {
    for (int year = 100; year <= 9999; ++year) {
        for (int month = 1; month <= 12; ++month) {
            const auto d1 = dateOf(year, month, 1).value();
            const auto grid = Setka_Raschet(static_cast<float>(year), static_cast<float>(month), 2, d1);
            if ((year == 100 && month == 1) || (year == 9999 && month == 12)) {
                ASSERT_FALSE(grid.has_value()) << "its days leave the years 100 to 9999";
                continue;
            }
            ASSERT_TRUE(grid.has_value()) << month << "." << year;
            const int w = weekdayOf(d1);
            ASSERT_EQ(grid->todayCell, w + 6);
            ASSERT_EQ(weekdayOf(grid->cells[0].date), 1);
            for (const YacheykaSetki& cell : grid->cells) {
                ASSERT_EQ(cell.date.serial, d1.serial - (w + 7) + cell.k + 1);
                ASSERT_EQ(cell.dayText, std::to_string(dayOf(cell.date)));
                ASSERT_EQ(cell.inMonth, monthOf(cell.date) == month);
                ASSERT_EQ(cell.watch, (floorMod4(cell.date.serial) + 2) % 4 + 1);
                ASSERT_TRUE(!cell.inMonth || (cell.k >= 7 && cell.k < 49)) << "columns 0 and 7 lie outside";
            }
        }
    }
}

struct YearText {
    const char* name;
    const char *year, *month;
    const char* firstCell; // date of cell 0, or nullptr for no grid
};
void PrintTo(const YearText& c, std::ostream* os) { *os << c.name; }
class GridFromText : public ::testing::TestWithParam<YearText> {};

TEST_P(GridFromText, TakesOnlyTextThatNamesAMonth) {
    const auto& c = GetParam();
    const auto grid = gridFromText(c.year, c.month, 0, Date{0});
    ASSERT_EQ(grid.has_value(), c.firstCell != nullptr);
    if (grid) {
        EXPECT_EQ(shortDateText(grid->cells[0].date), c.firstCell);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GridFromText,
    ::testing::Values(
        YearText{"Year", "2011", "3", "21.02.2011"}, YearText{"Blanks", " 2011 ", "3", "21.02.2011"},
        YearText{"FirstDigitOfATypedYear", "2", "3", "18.02.2002"}, YearText{"Empty", "", "3", nullptr},
        YearText{"Letters", "2011г", "3", nullptr}, YearText{"Fraction", "2011.5", "3", nullptr},
        YearText{"Negative", "-5", "3", nullptr}, YearText{"FiveDigits", "99999", "3", nullptr},
        YearText{"Huge", "1e20", "3", nullptr}, YearText{"MonthNotANumber", "2011", "Март", nullptr},
        YearText{"MonthZero", "2011", "0", nullptr}, YearText{"Month13", "2011", "13", nullptr}),
    [](const auto& info) { return nameOf(info); });

} // namespace
} // namespace sutograf
