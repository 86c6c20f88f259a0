#include <gtest/gtest.h>

#include <fstream>
#include <random>

#include "production_calendar.h"
#include "working_time.h"

namespace sutograf {
namespace {

Date ymd(int y, int m, int d) { return dateOf(y, m, d).value(); }
const ProductionCalendar& shipped() { return ProductionCalendar::builtIn(); }
std::string nameOf(const auto& info) { return info.param.name; }

// The norm of every month and year of the published table. Thirteen of the months hold a shortened Saturday,
// which loses them 8 hours when it is not counted as a working day.
TEST(Norms, EveryMonthAndYearOf2011To2027MatchesThePublishedNorm) {
    std::ifstream file(SUTOGRAF_NORMS_CSV);
    file.ignore(100, '\n');
    int rows = 0, y = 0, m = 0, days = 0, hours = 0;
    for (char comma = 0; file >> y >> comma >> m >> comma >> days >> comma >> hours; ++rows) {
        const Period p = rowPeriod(y, m == 0 ? kYearRow : static_cast<std::size_t>(m - 1));
        EXPECT_EQ(shipped().normMinutes(p.first, p.last), hours * 60) << y << '-' << m;
    }
    EXPECT_EQ(rows, 17 * 13);
}

// No transfer decree for 2027 yet: its shipped rows are what the general rule gives, day by day.
TEST(RuleYears, TheRuleGivesTheProvisional2027Table) {
    const ProductionCalendar rulesOnly = ProductionCalendar::fromCsv("date,kind,note\n");
    for (Date d = ymd(2027, 1, 1); d <= ymd(2027, 12, 31); ++d.serial) {
        ASSERT_EQ(rulesOnly.kindOf(d), shipped().kindOf(d)) << shortDateText(d);
        const std::string note = rulesOnly.noteOf(d);
        ASSERT_EQ(note.empty() ? note : note + " (предварительно)", shipped().noteOf(d)) << shortDateText(d);
    }
}

struct RuleDayCase {
    const char* name;
    Date date;
    DayKind kind;
    const char* note;
};
class RuleDays : public ::testing::TestWithParam<RuleDayCase> {};

TEST_P(RuleDays, OutsideTheTableFollowTheLabourCode) {
    EXPECT_EQ(shipped().kindOf(GetParam().date), GetParam().kind);
    EXPECT_EQ(shipped().noteOf(GetParam().date), GetParam().note);
}

constexpr const char* kShort = "предпраздничный день (сокращён на 1 час)";
INSTANTIATE_TEST_SUITE_P(
    Cases, RuleDays,
    ::testing::Values(
        RuleDayCase{"JanuaryHolidaysOnAWeekendDoNotMove", ymd(2030, 1, 9), DayKind::Ordinary, ""},
        RuleDayCase{"WeekendHolidayMovesToMonday", ymd(2030, 2, 25), DayKind::DayOff, "перенос с 23.02.2030"},
        RuleDayCase{"FridayBeforeASaturdayHolidayIsShort", ymd(2030, 2, 22), DayKind::Short, kShort},
        RuleDayCase{"NewYearsEveIsShort", ymd(2030, 12, 31), DayKind::Short, kShort},
        RuleDayCase{"Before2013ChristmasEveIsShort", ymd(2010, 1, 6), DayKind::Short, kShort}),
    [](const auto& info) { return nameOf(info); });

TEST(Overlay, AUserYearReplacesTheWholeYearAndEndsItsProvisionalMark) {
    ProductionCalendar cal = shipped();
    EXPECT_EQ(cal.sourceOf(2027), NormSource::Provisional);
    EXPECT_EQ(cal.sourceOf(2030), NormSource::GeneralRules);
    cal.overlay(ProductionCalendar::fromCsv("date,kind,note\n2030-03-11,dayoff,x\n2027-01-11,dayoff,x\n"));
    EXPECT_EQ(cal.sourceOf(2027), NormSource::Decree);
    EXPECT_EQ(cal.kindOf(ymd(2030, 3, 11)), DayKind::DayOff);
    EXPECT_EQ(cal.kindOf(ymd(2030, 2, 25)), DayKind::Ordinary) << "the rule's moved day off is gone";
    EXPECT_EQ(cal.kindOf(ymd(2027, 1, 5)), DayKind::Ordinary) << "2027 is the user's alone";
    EXPECT_EQ(cal.kindOf(ymd(2025, 1, 1)), DayKind::Holiday) << "years the user does not list stay";
}

// A user's calendar.csv with one fault after its header; the good row after the fault, with commas in
// its note, is kept.
struct DamagedCase {
    const char* name;
    const char* rows;
    int line;
    const char* message;
};
class DamagedCsv : public ::testing::TestWithParam<DamagedCase> {};

TEST_P(DamagedCsv, NamesTheLineAndKeepsTheGoodRows) {
    std::vector<CalendarError> errors;
    const auto cal = ProductionCalendar::fromCsv(
        "date,kind,note\n" + std::string(GetParam().rows) + "\n2030-03-11,dayoff,a, b\n", &errors);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].line, GetParam().line);
    EXPECT_EQ(errors[0].message, GetParam().message);
    EXPECT_EQ(cal.noteOf(ymd(2030, 3, 11)), "a, b");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DamagedCsv,
    ::testing::Values(
        DamagedCase{"MisspelledDate", "2030-02-30,holiday", 2, "неверная дата \"2030-02-30\""},
        DamagedCase{"MisspelledKind", "2030-01-01,holyday,x", 2, "неизвестный вид дня \"holyday\""},
        DamagedCase{"MissingKind", "2030-01-01", 2, "не хватает поля"},
        DamagedCase{"SecondHeader", "2030-01-01,holiday\ndate,kind,note", 3, "повторный заголовок"},
        DamagedCase{"SavedInWindows1251", "2030-01-01,holiday,\xcf\xf0", 2, "текст не в кодировке UTF-8"},
        DamagedCase{"DateTwice", "2030-01-01,holiday\n2030-01-01,dayoff", 3, "повторная дата 2030-01-01"},
        DamagedCase{"WorkdayOnAWeekday", "2030-03-12,workday", 2, "workday на будний день 2030-03-12"},
        DamagedCase{"DayOffOnASaturday", "2030-03-16,dayoff", 2, "dayoff на выходной день 2030-03-16"}),
    [](const auto& info) { return nameOf(info); });

// Notepad's byte-order mark, CRLF and blank lines are read as meant; megabytes of junk give a capped list.
TEST(DamagedCsv, TenMegabytesOfJunkAfterANotepadFileKeepItsRowsAndGiveACappedList) {
    constexpr std::size_t kJunkLines = 100'000 + ProductionCalendar::kMaxErrors + 21;
    std::mt19937 random(2030);
    std::string text = "\xEF\xBB\xBF\r\ndate,kind,note\r\n\r\n2030-03-11,dayoff\r\n";
    for (std::size_t i = 0; i < kJunkLines * 101; ++i) {
        const char c = static_cast<char>(random());
        text += i % 101 == 100 ? '\n' : c == '\n' ? 'x' : c;
    }
    std::vector<CalendarError> errors;
    const auto cal = ProductionCalendar::fromCsv(text, &errors);
    ASSERT_EQ(errors.size(), ProductionCalendar::kMaxErrors + 1);
    EXPECT_EQ(errors[0].line, 5);
    EXPECT_EQ(errors.back().line, 5 + static_cast<int>(ProductionCalendar::kMaxErrors));
    EXPECT_EQ(errors.back().message, "… и ещё 100021 строка с ошибкой");
    EXPECT_EQ(cal.noteOf(ymd(2030, 3, 11)), "выходной день (перенос)") << "a row without a note";
}

} // namespace
} // namespace sutograf
