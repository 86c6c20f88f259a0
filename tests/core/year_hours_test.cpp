// What the year window is built from: the production calendar and its norms, a user's calendar file, and
// a watch's hours in any period.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <fstream>

#include "production_calendar.h"
#include "working_time.h"

namespace sutograf {

// duties/worked/night/holiday/norm
void PrintTo(const Hours& h, std::ostream* os) {
    *os << h.duties << '/' << h.workedMinutes << '/' << h.nightMinutes << '/' << h.holidayMinutes << '/'
        << h.normMinutes;
}

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

// A user's calendar.csv as Notepad saves it (a byte-order mark, CRLF) with a blank line after its header,
// then rows with one fault, repeated `times` times: the error names the line, and the good row after the
// faults, with commas in its note, is kept. Past kMaxErrors lines with errors, one entry counts the rest.
struct DamagedCase {
    const char* name;
    const char* rows;
    int line; // of the last error
    const char* message;
    int times = 1;
};
class DamagedCsv : public ::testing::TestWithParam<DamagedCase> {};

TEST_P(DamagedCsv, NamesTheLineAndKeepsTheGoodRows) {
    const auto& c = GetParam();
    std::string text = "\xEF\xBB\xBF"
                       "date,kind,note\r\n\r\n";
    for (int i = 0; i < c.times; ++i) {
        text += c.rows + std::string("\r\n");
    }
    std::vector<CalendarError> errors;
    const auto cal = ProductionCalendar::fromCsv(text + "2030-03-11,dayoff,a, b\r\n", &errors);
    ASSERT_EQ(errors.size(), std::min<std::size_t>(c.times, ProductionCalendar::kMaxErrors + 1));
    EXPECT_EQ(errors.back().line, c.line);
    EXPECT_EQ(errors.back().message, c.message);
    EXPECT_EQ(cal.noteOf(ymd(2030, 3, 11)), "a, b");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DamagedCsv,
    ::testing::Values(
        DamagedCase{"MisspelledDate", "2030-02-30,holiday", 3, "неверная дата \"2030-02-30\""},
        DamagedCase{"MisspelledKind", "2030-01-01,holyday,x", 3, "неизвестный вид дня \"holyday\""},
        DamagedCase{"MissingKind", "2030-01-01", 3, "не хватает поля"},
        DamagedCase{"SecondHeader", "2030-01-01,holiday\ndate,kind,note", 4, "повторный заголовок"},
        DamagedCase{"SavedInWindows1251", "2030-01-01,holiday,\xcf\xf0", 3, "текст не в кодировке UTF-8"},
        DamagedCase{"DateTwice", "2030-01-01,holiday\n2030-01-01,dayoff", 4, "повторная дата 2030-01-01"},
        DamagedCase{"WorkdayOnAWeekday", "2030-03-12,workday", 3, "workday на будний день 2030-03-12"},
        DamagedCase{"DayOffOnASaturday", "2030-03-16,dayoff", 3, "dayoff на выходной день 2030-03-16"},
        DamagedCase{"AHundredThousandBadLines", "2030-01-01;holiday", 103, "… и ещё 100021 строка с ошибкой",
                    100'121}),
    [](const auto& info) { return nameOf(info); });

// Figures worked out by hand, and the worked hours and the balance against the norm as the year window
// writes them. The rules are from 08:00 for 24 hours unless the row gives others. Watch 1 is on duty on
// 15.01.2025, watch 2 on 31.12.2024, watch 3 on 01.01.0100 and watch 2 on 31.12.9999; a duty that
// began before the model (watch 2 on 31.12.0099) is left out.
struct PinnedCase {
    const char* name;
    int watch;
    const char* first;
    int days;
    DutyRules rules;
    Hours expected; // duties/worked/night/holiday/norm
    const char *worked, *balance;
};
class PinnedHours : public ::testing::TestWithParam<PinnedCase> {};

TEST_P(PinnedHours, AsADutyOfficerCountsThem) {
    const auto& c = GetParam();
    const Date first = dateFromText(c.first).value();
    const Hours h = hoursOf(c.watch, first, Date{first.serial + c.days - 1}, 0, shipped(), c.rules);
    EXPECT_EQ(h, c.expected);
    EXPECT_EQ(hoursText(h.workedMinutes), c.worked);
    EXPECT_EQ(balanceText(h.workedMinutes - h.normMinutes), c.balance);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PinnedHours,
    ::testing::Values(
        PinnedCase{"DutyDayGets16h", 1, "15.01.2025", 1, {}, {1, 960, 120, 0, 480}, "16", "+8"},
        PinnedCase{"NextDayGets8h", 1, "16.01.2025", 1, {}, {0, 480, 360, 0, 480}, "8", "0"},
        PinnedCase{"NewYearsEveGivesJanuary8h", 2, "01.01.2025", 1, {}, {0, 480, 360, 480, 0}, "8", "+8"},
        PinnedCase{"AYear", 1, "01.01.2025", 365, {}, {91, 131040, 43680, 5280, 1972 * 60}, "2184", "+212"},
        PinnedCase{"HalfAnHourShort", 1, "15.01.2025", 1, {480, 450}, {1, 450, 0, 0, 480}, "7:30", "-0:30"},
        // 22 counted: the 2 hours of rest come off the end (06:00-08:00), so the night stays whole.
        PinnedCase{
            "TwentyTwoKeepTheNight", 1, "15.01.2025", 2, {480, 1320}, {1, 1320, 480, 0, 960}, "22", "+6"},
        PinnedCase{"ClampedTo24h", 1, "15.01.2025", 2, {-30, 5000}, {1, 1440, 480, 0, 960}, "24", "+8"},
        PinnedCase{"ClampedToAMinute", 1, "15.01.2025", 2, {2000, 0}, {1, 1, 1, 0, 960}, "0:01", "-15:59"},
        PinnedCase{"LastDay9999", 2, "31.12.9999", 1, {480, 1440, true}, {1, 1440, 480, 0, 420}, "24", "+17"},
        PinnedCase{"NoSpillFromBeforeTheModel", 2, "01.01.0100", 1, {}, {0, 0, 0, 0, 0}, "0", "0"},
        PinnedCase{"FirstDay0100", 3, "01.01.0100", 1, {}, {1, 960, 120, 960, 0}, "16", "+16"}),
    [](const auto& info) { return nameOf(info); });

// -INT_MIN does not fit an int. What the windows write reads back; what they never write does not.
TEST(HoursText, TheLowestIntIsWrittenWholeAndTextReadsBack) {
    EXPECT_EQ(hoursText(INT_MIN), "-35791394:08");
    for (const int minutes : {0, 1, 450, 1410, 1439, 1440}) {
        EXPECT_EQ(minutesFromText(minutes < 1440 ? clockText(minutes) : hoursText(minutes)), minutes);
    }
    for (const char* text : {"", "8:", "8:5", "8:60", "123", "-1", "+8", " 8", "8:00:00"}) {
        EXPECT_EQ(minutesFromText(text), std::nullopt) << text;
    }
}

} // namespace
} // namespace sutograf
