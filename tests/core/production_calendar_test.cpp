#include <gtest/gtest.h>

#include <fstream>

#include "production_calendar.h"
#include "working_time.h"

namespace sutograf {
namespace {

// A row of a table prints as its name.
template <class Row>
requires requires(Row r) { r.name; }
void PrintTo(const Row& r, std::ostream* os) { *os << r.name; }

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
    EXPECT_EQ(shipped().sourceOf(2027), NormSource::Provisional);
    for (Date d = ymd(2027, 1, 1); d <= ymd(2027, 12, 31); ++d.serial) {
        ASSERT_EQ(rulesOnly.kindOf(d), shipped().kindOf(d)) << shortDateText(d);
        const std::string note = rulesOnly.noteOf(d);
        ASSERT_EQ(note.empty() ? note : note + " (предварительно)", shipped().noteOf(d)) << shortDateText(d);
    }
}

// Days as the windows show them, with a user's file for 2031 and 2027 laid over the shipped table: years
// the table does not list follow the Labour Code, and a year the user lists replaces the whole year.
struct DayCase {
    const char* name;
    const char* date;
    DayKind kind;
    const char* note;
    NormSource source; // of the date's year
};
class CalendarDays : public ::testing::TestWithParam<DayCase> {};

TEST_P(CalendarDays, KindNoteAndSourceOfTheYear) {
    ProductionCalendar cal = shipped();
    cal.overlay(ProductionCalendar::fromCsv("date,kind,note\n2031-03-10,dayoff\n2027-01-11,dayoff,x\n"));
    const Date d = dateFromText(GetParam().date).value();
    EXPECT_EQ(cal.kindOf(d), GetParam().kind);
    EXPECT_EQ(cal.noteOf(d), GetParam().note);
    EXPECT_EQ(cal.sourceOf(yearOf(d)), GetParam().source);
}

using enum DayKind;
using enum NormSource;
constexpr const char* kShort = "предпраздничный день (сокращён на 1 час)";
INSTANTIATE_TEST_SUITE_P(
    Cases, CalendarDays,
    ::testing::Values(
        DayCase{"JanuaryHolidaysOnAWeekendDoNotMove", "09.01.2030", Ordinary, "", GeneralRules},
        DayCase{"WeekendHolidayMovesToMonday", "25.02.2030", DayOff, "перенос с 23.02.2030", GeneralRules},
        DayCase{"FridayBeforeASaturdayHolidayIsShort", "22.02.2030", Short, kShort, GeneralRules},
        DayCase{"NewYearsEveIsShort", "31.12.2030", Short, kShort, GeneralRules},
        DayCase{"Before2013ChristmasEveIsShort", "06.01.2010", Short, kShort, GeneralRules},
        DayCase{"UserDayOffWithoutANote", "10.03.2031", DayOff, "выходной день (перенос)", Decree},
        DayCase{"RuleDaysOffGoWithAUserYear", "24.02.2031", Ordinary, "", Decree},
        DayCase{"UserYearReplacesTheProvisional", "05.01.2027", Ordinary, "", Decree},
        DayCase{"YearsTheUserDoesNotListStay", "01.01.2025", Holiday, "Новогодние каникулы", Decree}),
    [](const auto& info) { return nameOf(info); });

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

// Notepad's byte-order mark, CRLF and blank lines are read as meant; a hundred thousand bad lines give a
// capped list that counts the rest.
TEST(DamagedCsv, AHugeDamagedNotepadFileKeepsItsRowsAndGivesACappedList) {
    std::string text = "\xEF\xBB\xBF\r\ndate,kind,note\r\n\r\n2030-03-11,dayoff\r\n";
    for (std::size_t i = 0; i < 100'000 + ProductionCalendar::kMaxErrors + 21; ++i) {
        text += "2030-01-01;holiday\r\n";
    }
    std::vector<CalendarError> errors;
    EXPECT_EQ(ProductionCalendar::fromCsv(text, &errors).kindOf(ymd(2030, 3, 11)), DayKind::DayOff);
    ASSERT_EQ(errors.size(), ProductionCalendar::kMaxErrors + 1);
    EXPECT_EQ(errors[0].line, 5);
    EXPECT_EQ(errors.back().line, 5 + static_cast<int>(ProductionCalendar::kMaxErrors));
    EXPECT_EQ(errors.back().message, "… и ещё 100021 строка с ошибкой");
}

} // namespace
} // namespace sutograf
