// A person's days and hours against their own norm: leave, sickness, swaps, a move to another watch, and the
// overtime of each accounting period.
#include <gtest/gtest.h>

#include <climits>
#include <sstream>

#include "people.h"
#include "rota.h"

namespace sutograf {

void PrintTo(const Hours& h, std::ostream* os); // year_hours_test.cpp

namespace {

using enum Absence;
using enum NormReduction;

Date day(std::string_view dmy) { return dateFromText(dmy).value(); }
const ProductionCalendar& shipped() { return ProductionCalendar::builtIn(); }
std::string nameOf(const auto& info) { return info.param.name; }
// A failing row is printed by its name, never as bytes that hold addresses.
template <class Case>
requires requires(const Case& c) { c.name; }
void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

// As a timesheet clerk reads it: "duties worked night holiday norm-reduction=own | given taken | days off".
std::string text(const PersonHours& h) {
    std::ostringstream s;
    s << h.worked.duties << ' ' << hoursText(h.worked.workedMinutes) << ' '
      << hoursText(h.worked.nightMinutes) << ' ' << hoursText(h.worked.holidayMinutes) << ' '
      << hoursText(h.worked.normMinutes) << '-' << hoursText(h.reductionMinutes) << '='
      << hoursText(h.ownNormMinutes) << " | " << h.givenAway << ' ' << h.taken << " |";
    for (std::size_t k = 0; k < kAbsenceKinds; ++k) {
        if (h.absentDays[k] != 0) {
            s << ' ' << absenceCode(static_cast<Absence>(k)) << h.absentDays[k];
        }
    }
    return s.str();
}

constexpr PersonId kMe = 7, kMate = 8;

// A record as a test writes it, in pairs: "w1 1.1.2020" a watch from a day (w0: they leave), "ОТ
// 1.7.2025-28.7.2025" an absence by its letters ("??" a code this program does not know), "gives 31.8.2025"
// or "takes 9.5.2025" a duty swapped with a mate of another watch, "hours 36" the weekly hours.
struct Record {
    PersonRecord who;
    std::vector<DutySwap> swaps;
};
Record recordOf(const std::string& written) {
    Record r{{{kMe, "Иванов И. И.", "000007", 40}, {}, {}}, {}};
    std::istringstream in(written);
    for (std::string key, arg; in >> key >> arg;) {
        const auto dash = arg.find('-');
        const Date from = key == "hours" ? Date{} : day(std::string_view(arg).substr(0, dash));
        if (key == "hours") {
            r.who.person.weeklyHours = std::stoi(arg);
        } else if (key[0] == 'w') {
            r.who.watches.push_back({from, key[1] - '0'});
        } else if (key == "gives" || key == "takes") {
            const bool gives = key == "gives";
            r.swaps.push_back({from, gives ? kMe : kMate, gives ? kMate : kMe, {}, 0});
        } else {
            Absence kind = static_cast<Absence>(200);
            for (std::size_t k = 0; k < kAbsenceKinds; ++k) {
                kind = absenceCode(static_cast<Absence>(k)) == key ? static_cast<Absence>(k) : kind;
            }
            r.who.absences.push_back({from, day(std::string_view(arg).substr(dash + 1)), kind, {}, 0});
        }
    }
    return r;
}

// The simple way: each day's state read off the record on its own, then every minute of every duty that
// can reach the period, one at a time.
PersonHours minuteByMinute(const PersonRecord& who, const std::vector<DutySwap>& swaps, Date first, Date last,
                           const DutyRules& r, NormReduction method, float offset) {
    const auto watchOnDay = [&](Date d) {
        int watch = 0, latest = INT_MIN;
        for (const WatchSpell& s : who.watches) {
            if (s.from.serial <= d.serial && s.from.serial >= latest) {
                std::tie(latest, watch) = std::pair(s.from.serial, s.watch);
            }
        }
        return watch;
    };
    const auto absenceOn = [&](Date d) -> std::optional<Absence> {
        const AbsenceSpan* held = nullptr;
        for (const AbsenceSpan& a : who.absences) {
            const bool sick = a.kind == Sick, heldSick = held && held->kind == Sick;
            if (a.first <= d && d <= a.last &&
                (!held || (sick && !heldSick) || (sick == heldSick && a.first < held->first))) {
                held = &a;
            }
        }
        // A code this program does not know is an absence whose reason is not known.
        const bool known = held && static_cast<std::size_t>(held->kind) < kAbsenceKinds;
        return held && watchOnDay(d) != 0 ? std::optional(known ? held->kind : Unexplained) : std::nullopt;
    };
    const auto dayNorm = [&](Date d) {
        const int full = who.person.weeklyHours == 36 ? 432 : 480;
        return !shipped().isWorkingDay(d) ? 0 : shipped().kindOf(d) == DayKind::Short ? full - 60 : full;
    };

    PersonHours h;
    int reduction = 0;
    for (Date d{first.serial - 1}; d <= last; ++d.serial) {
        const bool own = watchOnDay(d) != 0 && watchOn(d, offset) == watchOnDay(d);
        const auto absence = absenceOn(d);
        const bool reduces = absence && *absence != Unexplained;
        bool gave = false, took = false;
        for (const DutySwap& s : swaps) {
            gave |= s.day == d && s.gives == who.person.id;
            took |= s.day == d && s.takes == who.person.id;
        }
        const bool works = took || (own && !absence && !gave);
        if (first <= d) {
            h.worked.duties += works;
            h.givenAway += own && gave && !absence && !took;
            h.taken += took;
            h.absentDays[static_cast<std::size_t>(absence.value_or(Sick))] += absence.has_value();
            h.worked.normMinutes += watchOnDay(d) != 0 ? dayNorm(d) : 0;
            reduction += method == WorkingDays && reduces ? dayNorm(d) : 0;
        }
        for (int t = r.startMinute; t < r.startMinute + r.countedMinutes; ++t) {
            const Date minuteDay{d.serial + t / 1440};
            const Date countedOn = r.wholeDutyOnStartDay ? d : minuteDay;
            if (countedOn < first || last < countedOn) {
                continue;
            }
            h.worked.workedMinutes += works;
            h.worked.nightMinutes += works && (t % 1440 < 6 * 60 || t % 1440 >= 22 * 60);
            h.worked.holidayMinutes += works && shipped().kindOf(minuteDay) == DayKind::Holiday;
            reduction += method == ScheduledDuties && own && reduces;
        }
    }
    h.reductionMinutes = std::min(reduction, h.worked.normMinutes);
    h.ownNormMinutes = h.worked.normMinutes - h.reductionMinutes;
    return h;
}

// With offset 0 in 2025, watch 1 is on duty on 03.01, 15.01, 13.04, 12.06 (a holiday), 31.08 and 03.11;
// watch 3 on 01.01, 10.02, 09.05 (a holiday), 30.06 and 31.12; watch 4 on 15.03.
struct PersonCase {
    const char* name;
    const char* record; // as recordOf reads it
    const char *first, *last;
    DutyRules rules = {};
    float offset = 0;
};
class PersonAgainstMinuteByMinute : public ::testing::TestWithParam<PersonCase> {};

// The whole period, each month of it and each of its days alone, by both reduction methods: a minute
// counted on the wrong day, or a duty spilling over from the day before lost, shows in one of them. A
// watch's hours are those of someone who belongs to it throughout and records nothing else; the year
// table's quarters and year, sums of its months, are each their days counted whole.
TEST_P(PersonAgainstMinuteByMinute, ThePeriodItsMonthsAndItsDays) {
    const auto& c = GetParam();
    const float offset = c.offset;
    const auto [who, swaps] = recordOf(c.record);
    const Date first = day(c.first), last = day(c.last);
    std::vector<Period> periods{{first, last}};
    for (Date d = first; d <= last; ++d.serial) {
        periods.push_back({d, d});
        if (dayOf(d) == 1) {
            periods.push_back({d, std::min(last, Date{d.serial + daysInMonth(yearOf(d), monthOf(d)) - 1})});
        }
    }
    // Each day as the timesheet shows it, as the figures of that day alone count it.
    const std::vector<PersonDay> days = personDays(who, swaps, first, last, offset);
    for (Date d = first; d <= last; ++d.serial) {
        const PersonHours h = personHours(who, swaps, d, d, offset, shipped(), c.rules, WorkingDays);
        const auto absent =
            std::find_if(h.absentDays.begin(), h.absentDays.end(), [](int n) { return n > 0; });
        const PersonDay& p = days[static_cast<std::size_t>(d.serial - first.serial)];
        EXPECT_EQ(p.status, h.taken                        ? DayStatus::DutyTaken
                            : absent != h.absentDays.end() ? DayStatus::Absent
                            : h.givenAway                  ? DayStatus::DutyGivenAway
                            : h.worked.duties              ? DayStatus::Duty
                                                           : DayStatus::Off)
            << shortDateText(d);
        EXPECT_EQ(p.absence, absent == h.absentDays.end()
                                 ? std::nullopt
                                 : std::optional(static_cast<Absence>(absent - h.absentDays.begin())))
            << shortDateText(d);
    }
    const int watch =
        who.watches.size() == 1 && who.absences.empty() && swaps.empty() ? who.watches[0].watch : 0;
    for (const NormReduction method : {WorkingDays, ScheduledDuties}) {
        for (const Period& p : periods) {
            const PersonHours expected = minuteByMinute(who, swaps, p.first, p.last, c.rules, method, offset);
            ASSERT_EQ(text(personHours(who, swaps, p.first, p.last, offset, shipped(), c.rules, method)),
                      text(expected))
                << shortDateText(p.first) << "-" << shortDateText(p.last)
                << (method == WorkingDays ? " days" : "");
            if (watch != 0) {
                ASSERT_EQ(hoursOf(watch, p.first, p.last, offset, shipped(), c.rules), expected.worked)
                    << shortDateText(p.first) << "-" << shortDateText(p.last);
            }
        }
    }
    if (watch != 0) {
        const auto rows = yearTable(watch, yearOf(first), offset, shipped(), c.rules);
        for (std::size_t r = 0; r < kYearTableRows; ++r) {
            const Period p = rowPeriod(yearOf(first), r);
            EXPECT_EQ(rows[r], hoursOf(watch, p.first, p.last, offset, shipped(), c.rules)) << r;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PersonAgainstMinuteByMinute,
    ::testing::Values(
        // A watch's duties: their start and counted length, and the rota offset, over the turn of the year,
        // the May holidays, a rule year and a period across months.
        PersonCase{"WatchFrom0800", "w1 1.1.2020", "1.12.2024", "31.1.2025"},
        PersonCase{"WatchFromMidnight", "w2 1.1.2020", "1.5.2025", "31.5.2025", {0, 1440}, 1},
        PersonCase{"WatchFromOneMinuteToMidnight", "w3 1.1.2020", "1.2.2030", "31.3.2030", {1439, 1440}, 2},
        PersonCase{"WatchOfOneMinute", "w4 1.1.2020", "11.6.2025", "2.7.2025", {1439, 1}, 3},
        PersonCase{"WatchTwentyTwoHours", "w2 1.1.2020", "1.12.2024", "31.1.2025", {8 * 60, 22 * 60}},
        PersonCase{"WatchWholeDutyOnStartDay", "w3 1.1.2020", "1.4.2025", "31.5.2025", {8 * 60, 1440, true}},
        PersonCase{"WatchOffsetFiveLeavesADayWithoutOne", "w4 1.1.2020", "1.2.2030", "31.3.2030", {}, 5},
        PersonCase{"LeaveAcrossAMonthEnd", "w1 1.1.2020 ОТ 25.7.2025-10.8.2025", "1.7.2025", "31.8.2025"},
        // Their duty of 31.12 spills 8 holiday hours into January while they are on leave.
        PersonCase{"LeaveAcrossAYearEnd", "w3 1.1.2020 ОТ 20.12.2025-11.1.2026", "1.12.2025", "31.1.2026"},
        PersonCase{"SickInsideALeave", "w1 1.1.2020 ОТ 1.7.2025-28.7.2025 Б 10.7.2025-14.7.2025", "1.7.2025",
                   "31.7.2025"},
        PersonCase{"SwapsOnHolidays", "w1 1.1.2020 takes 9.5.2025 gives 12.6.2025", "1.5.2025", "30.6.2025"},
        PersonCase{"SwapsAcrossMidnightIntoANewMonth", "w1 1.1.2020 takes 30.6.2025 gives 31.8.2025",
                   "1.6.2025", "30.9.2025"},
        // Of two spans that share days, the one that began first keeps them.
        PersonCase{"ChangeOfWatchMidMonth",
                   "w1 1.1.2020 w4 15.3.2025 ПК 17.3.2025-21.3.2025 НН 19.3.2025-25.3.2025", "1.3.2025",
                   "31.3.2025"},
        // Over the short Saturday 01.11, the moved day off 03.11 and the holiday 04.11.
        PersonCase{"ThirtySixHourWeek", "w1 1.1.2020 ОТ 27.10.2025-9.11.2025 hours 36", "1.10.2025",
                   "31.12.2025"},
        // Their duty of 13.04 spills into 14.04, their first day out; the sick leave runs on past it.
        PersonCase{"LeavingTheUnit", "w1 1.1.2020 w0 14.4.2025 Б 10.4.2025-20.4.2025", "1.4.2025",
                   "31.5.2025"},
        // A duty taken on 05.02, before they join watch 3 on 10.02 (on that watch's duty day).
        PersonCase{"JoiningTheUnit", "w3 10.2.2025 takes 5.2.2025", "1.2.2025", "28.2.2025"},
        // 13.01 is not their watch's day; on 19.01 they are on leave, and the duty they take on 20.01 is
        // worked all the same; 27.01 is an unexplained absence, 28.01 one of a code this program does not
        // know.
        PersonCase{"SwapsThatDoNotCountForTheGiver",
                   "w1 1.1.2020 ОД 18.1.2025-20.1.2025 НН 27.1.2025-27.1.2025 ?? 28.1.2025-28.1.2025 "
                   "gives 13.1.2025 gives 19.1.2025 takes 20.1.2025",
                   "1.1.2025", "31.1.2025"},
        PersonCase{"WholeDutyOnStartDay",
                   "w1 1.1.2020 ОТ 25.7.2025-10.8.2025 takes 30.6.2025",
                   "1.6.2025",
                   "31.8.2025",
                   {8 * 60, 1440, true}},
        PersonCase{"TwentyTwoHoursFrom0900",
                   "w3 1.1.2020 ОТ 20.12.2025-11.1.2026 takes 22.12.2025",
                   "1.12.2025",
                   "31.1.2026",
                   {9 * 60, 22 * 60}}),
    [](const auto& info) { return nameOf(info); });

// One person of watch 1, 2025, 40-hour week, every figure as a timesheet clerk counts it:
//   28 days of annual leave 01.07-28.07; 5 days sick 10.11-14.11 (Mon-Fri);
//   takes a duty of watch 3 on 09.05 (Victory Day); gives away their own of 31.08 (a Sunday).
// Watch 1 (rows of the year table): 91 duties, 2184 h, night 728, holiday 88, norm 1972.
// July: duties 2, 6, ..., 30; seven fall in the leave. The one of 30.07: 16 h + 8 h on the 31st.
//   Working days in the leave: 1-28 July is four whole weeks, 20 days x 8 = 160 h off the 184 h norm.
//   By scheduled duties: 7 duties x 24 h = 168 h off.
// November: duties 3, 7, ..., 27 (the one of the 3rd gives the holiday of the 4th its first 8 h); the
//   sick days take the duty of the 11th: 6 x 24 = 144 h. Norm 151 h (19 days with the short Saturday 01.11,
//   less 1 h); 5 working days x 8 = 40 h off, or the missed duty's 24 h.
// May: 184 h of the watch + 24 h taken (16 of them on the holiday) = 208 h against 144 h.
// August: the duty of 31.08 gave August 16 h and September 8 h: 184 - 16 = 168 h, 176 - 8 = 168 h.
// Year: 91 - 7 - 1 - 1 + 1 = 83 duties; 2184 - 8 x 24 = 1992 h; night 728 - 8 x 8 = 664 h; holiday 88 + 16
//   = 104 h; norm 1972 - 200 = 1772 h by working days, 1972 - 192 = 1780 h by scheduled duties.
const Record kYear = recordOf("w1 1.1.2020 ОТ 1.7.2025-28.7.2025 Б 10.11.2025-14.11.2025 takes 9.5.2025 "
                              "gives 31.8.2025");

struct PinnedCase {
    const char* name;
    const char *first, *last;
    NormReduction method;
    const char* expected; // as text() writes it
};
class PinnedPerson : public ::testing::TestWithParam<PinnedCase> {};

TEST_P(PinnedPerson, AsATimesheetClerkCountsThem) {
    const auto& c = GetParam();
    EXPECT_EQ(
        text(personHours(kYear.who, kYear.swaps, day(c.first), day(c.last), 0, shipped(), {}, c.method)),
        c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PinnedPerson,
    ::testing::Values(PinnedCase{"JulyLeaveByDays", "1.7.2025", "31.7.2025", WorkingDays,
                                 "1 24 8 0 184-160=24 | 0 0 | ОТ28"},
                      PinnedCase{"JulyLeaveByDuties", "1.7.2025", "31.7.2025", ScheduledDuties,
                                 "1 24 8 0 184-168=16 | 0 0 | ОТ28"},
                      PinnedCase{"NovemberSickByDays", "1.11.2025", "30.11.2025", WorkingDays,
                                 "6 144 48 8 151-40=111 | 0 0 | Б5"},
                      PinnedCase{"NovemberSickByDuties", "1.11.2025", "30.11.2025", ScheduledDuties,
                                 "6 144 48 8 151-24=127 | 0 0 | Б5"},
                      PinnedCase{"MayTakenHolidayDuty", "1.5.2025", "31.5.2025", WorkingDays,
                                 "9 208 66 16 144-0=144 | 0 1 |"},
                      PinnedCase{"AugustGivenAway", "1.8.2025", "31.8.2025", WorkingDays,
                                 "7 168 56 0 168-0=168 | 1 0 |"},
                      PinnedCase{"SeptemberLosesTheGivenDutysMorning", "1.9.2025", "30.9.2025", WorkingDays,
                                 "7 168 56 0 176-0=176 | 0 0 |"},
                      PinnedCase{"YearByDays", "1.1.2025", "31.12.2025", WorkingDays,
                                 "83 1992 664 104 1972-200=1772 | 1 1 | ОТ28 Б5"},
                      PinnedCase{"YearByDuties", "1.1.2025", "31.12.2025", ScheduledDuties,
                                 "83 1992 664 104 1972-192=1780 | 1 1 | ОТ28 Б5"}),
    [](const auto& info) { return nameOf(info); });

// The same person's overtime, by working days. Balance (holiday hours) by month:
//   Jan +48 (48), Feb +8, Mar +9 (16), Apr +17, May +64 (16), Jun +25 (16), Jul 0, Aug 0, Sep -8,
//   Oct +8, Nov +33 (8), Dec +16.
// Months: overtime is each month's balance above zero, less its holiday hours when they are paid double:
//   8 + 17 + 48 + 9 + 8 + 25 + 16 = 131 h, or 48 + 8 + 9 + 17 + 64 + 25 + 8 + 33 + 16 = 228 h.
// Quarters: +65 (64), +106 (32), -8, +57 (8): 1 + 74 + 49 = 124 h, or 65 + 106 + 57 = 228 h.
// The year: +220 (104): 116 h, under the 120 h of art. 99; or 220 h.
struct OvertimeCase {
    const char* name;
    AccountingPeriod kind;
    bool holidayPaidDouble;
    std::vector<int> overtime; // hours, by period
    bool flagged;
};
class Overtime : public ::testing::TestWithParam<OvertimeCase> {};

TEST_P(Overtime, ByAccountingPeriod) {
    const auto& c = GetParam();
    const auto periods = accountingPeriods(kYear.who, kYear.swaps, 2025, c.kind, 0, shipped(), {},
                                           WorkingDays, c.holidayPaidDouble);
    std::vector<int> overtime;
    for (const PeriodResult& p : periods) {
        overtime.push_back(p.overtimeMinutes / 60);
    }
    EXPECT_EQ(overtime, c.overtime);
    EXPECT_EQ(overYearLimit(periods), c.flagged);
}

using enum AccountingPeriod;
INSTANTIATE_TEST_SUITE_P(
    Cases, Overtime,
    ::testing::Values(
        OvertimeCase{"MonthsHolidaysPaidDouble", Month, true, {0, 8, 0, 17, 48, 9, 0, 0, 0, 8, 25, 16}, true},
        OvertimeCase{"MonthsHolidaysCounted", Month, false, {48, 8, 9, 17, 64, 25, 0, 0, 0, 8, 33, 16}, true},
        OvertimeCase{"QuartersHolidaysPaidDouble", Quarter, true, {1, 74, 0, 49}, true},
        OvertimeCase{"QuartersHolidaysCounted", Quarter, false, {65, 106, 0, 57}, true},
        OvertimeCase{"YearHolidaysPaidDoubleStaysUnder120", Year, true, {116}, false},
        OvertimeCase{"YearHolidaysCounted", Year, false, {220}, true}),
    [](const auto& info) { return nameOf(info); });

// The published norms of a 36-hour week: 7.2 h a working day, 1 h less on a shortened one.
TEST(WeeklyNorms, ThirtySixHoursAsPublishedFor2025) {
    EXPECT_EQ(hoursText(shipped().normMinutes(day("1.1.2025"), day("31.12.2025"), 36)),
              "1774:24"); // 247 x 7.2 - 4
    EXPECT_EQ(hoursText(shipped().normMinutes(day("1.11.2025"), day("30.11.2025"), 36)),
              "135:48"); // 19 x 7.2 - 1
    EXPECT_EQ(hoursText(shipped().normMinutes(day("1.11.2025"), day("30.11.2025"), 40)), "151");
}

} // namespace
} // namespace sutograf
