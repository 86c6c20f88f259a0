// A person's days and hours against their own norm: leave, sickness, swaps, a move to another watch, and the
// overtime of each accounting period.
#include <gtest/gtest.h>

#include <climits>
#include <sstream>

#include "people.h"
#include "rota.h"

namespace sutograf {
namespace {

using enum Absence;
using enum NormReduction;

Date day(const char* dmy) { return dateFromText(dmy).value(); }
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

// A record as a test reads it: dates as text; each swap with a mate of another watch.
struct Roster {
    std::vector<std::pair<const char*, int>> watches; // from, watch
    std::vector<std::tuple<const char*, const char*, Absence>> absences;
    std::vector<std::pair<const char*, bool>> swaps; // day, I give it (else I take the mate's)
    int weeklyHours = 40;

    PersonRecord record() const {
        PersonRecord r{{kMe, "Иванов И. И.", "000007", weeklyHours}, {}, {}};
        for (const auto& [from, watch] : watches) {
            r.watches.push_back({day(from), watch});
        }
        for (const auto& [first, last, kind] : absences) {
            r.absences.push_back({day(first), day(last), kind, {}, 0});
        }
        return r;
    }
    std::vector<DutySwap> dutySwaps() const {
        std::vector<DutySwap> out;
        for (const auto& [when, iGive] : swaps) {
            out.push_back({day(when), iGive ? kMe : kMate, iGive ? kMate : kMe, {}, 0});
        }
        return out;
    }
};

// The simple way: each day's state read off the record on its own, then every minute of every duty that
// can reach the period, one at a time.
PersonHours minuteByMinute(const PersonRecord& who, const std::vector<DutySwap>& swaps, Date first, Date last,
                           const DutyRules& r, NormReduction method) {
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
        return held && watchOnDay(d) != 0 ? std::optional(held->kind) : std::nullopt;
    };
    const auto dayNorm = [&](Date d) {
        const int full = who.person.weeklyHours == 36 ? 432 : 480;
        return !shipped().isWorkingDay(d) ? 0 : shipped().kindOf(d) == DayKind::Short ? full - 60 : full;
    };

    PersonHours h;
    int reduction = 0;
    for (Date d{first.serial - 1}; d <= last; ++d.serial) {
        const bool own = watchOnDay(d) != 0 && watchOn(d, 0) == watchOnDay(d);
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
    Roster roster;
    const char *first, *last;
    DutyRules rules = {};
};
class PersonAgainstMinuteByMinute : public ::testing::TestWithParam<PersonCase> {};

// The whole period, each month of it and each of its days alone, by both reduction methods: a minute
// counted on the wrong day, or a duty spilling over from the day before lost, shows in one of them.
TEST_P(PersonAgainstMinuteByMinute, ThePeriodItsMonthsAndItsDays) {
    const auto& c = GetParam();
    const PersonRecord who = c.roster.record();
    const std::vector<DutySwap> swaps = c.roster.dutySwaps();
    const Date first = day(c.first), last = day(c.last);
    std::vector<Period> periods{{first, last}};
    for (Date d = first; d <= last; ++d.serial) {
        periods.push_back({d, d});
        if (dayOf(d) == 1) {
            periods.push_back({d, std::min(last, Date{d.serial + daysInMonth(yearOf(d), monthOf(d)) - 1})});
        }
    }
    for (const NormReduction method : {WorkingDays, ScheduledDuties}) {
        for (const Period& p : periods) {
            ASSERT_EQ(text(personHours(who, swaps, p.first, p.last, 0, shipped(), c.rules, method)),
                      text(minuteByMinute(who, swaps, p.first, p.last, c.rules, method)))
                << shortDateText(p.first) << "-" << shortDateText(p.last)
                << (method == WorkingDays ? " days" : "");
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PersonAgainstMinuteByMinute,
    ::testing::Values(
        PersonCase{"LeaveAcrossAMonthEnd",
                   {{{"1.1.2020", 1}}, {{"25.7.2025", "10.8.2025", AnnualLeave}}, {}},
                   "1.7.2025",
                   "31.8.2025"},
        // Their duty of 31.12 spills 8 holiday hours into January while they are on leave.
        PersonCase{"LeaveAcrossAYearEnd",
                   {{{"1.1.2020", 3}}, {{"20.12.2025", "11.1.2026", AnnualLeave}}, {}},
                   "1.12.2025",
                   "31.1.2026"},
        PersonCase{"SickInsideALeave",
                   {{{"1.1.2020", 1}},
                    {{"1.7.2025", "28.7.2025", AnnualLeave}, {"10.7.2025", "14.7.2025", Sick}},
                    {}},
                   "1.7.2025",
                   "31.7.2025"},
        PersonCase{"SwapsOnHolidays",
                   {{{"1.1.2020", 1}}, {}, {{"9.5.2025", false}, {"12.6.2025", true}}},
                   "1.5.2025",
                   "30.6.2025"},
        PersonCase{"SwapsAcrossMidnightIntoANewMonth",
                   {{{"1.1.2020", 1}}, {}, {{"30.6.2025", false}, {"31.8.2025", true}}},
                   "1.6.2025",
                   "30.9.2025"},
        PersonCase{"ChangeOfWatchMidMonth",
                   {{{"1.1.2020", 1}, {"15.3.2025", 4}}, {{"17.3.2025", "21.3.2025", Training}}, {}},
                   "1.3.2025",
                   "31.3.2025"},
        // Over the short Saturday 01.11, the moved day off 03.11 and the holiday 04.11.
        PersonCase{"ThirtySixHourWeek",
                   {{{"1.1.2020", 1}}, {{"27.10.2025", "9.11.2025", AnnualLeave}}, {}, 36},
                   "1.10.2025",
                   "31.12.2025"},
        // Their duty of 13.04 spills into 14.04, their first day out; the sick leave runs on past it.
        PersonCase{"LeavingTheUnit",
                   {{{"1.1.2020", 1}, {"14.4.2025", 0}}, {{"10.4.2025", "20.4.2025", Sick}}, {}},
                   "1.4.2025",
                   "31.5.2025"},
        // A duty taken on 05.02, before they join watch 3 on 10.02 (on that watch's duty day).
        PersonCase{
            "JoiningTheUnit", {{{"10.2.2025", 3}}, {}, {{"5.2.2025", false}}}, "1.2.2025", "28.2.2025"},
        // 13.01 is not their watch's day; on 19.01 they are on leave; 27.01 is an unexplained absence.
        PersonCase{"SwapsThatDoNotCountForTheGiver",
                   {{{"1.1.2020", 1}},
                    {{"18.1.2025", "20.1.2025", ExtraLeave}, {"27.1.2025", "27.1.2025", Unexplained}},
                    {{"13.1.2025", true}, {"19.1.2025", true}}},
                   "1.1.2025",
                   "31.1.2025"},
        PersonCase{"WholeDutyOnStartDay",
                   {{{"1.1.2020", 1}}, {{"25.7.2025", "10.8.2025", AnnualLeave}}, {{"30.6.2025", false}}},
                   "1.6.2025",
                   "31.8.2025",
                   {8 * 60, 1440, true}},
        PersonCase{"TwentyTwoHoursFrom0900",
                   {{{"1.1.2020", 3}}, {{"20.12.2025", "11.1.2026", AnnualLeave}}, {{"22.12.2025", false}}},
                   "1.12.2025",
                   "31.1.2026",
                   {9 * 60, 22 * 60}}),
    [](const auto& info) { return nameOf(info); });

// Someone who is never away and swaps nothing works exactly what their watch works, to the norm.
TEST(PersonHours, WithNothingRecordedAPersonHasTheirWatchsHours) {
    for (int watch = 1; watch <= 4; ++watch) {
        const PersonRecord who{{kMe, "", "", 40}, {{day("1.1.2020"), watch}}, {}};
        for (std::size_t row = 0; row < kYearTableRows; ++row) {
            const Period p = rowPeriod(2025, row);
            EXPECT_EQ(personHours(who, {}, p.first, p.last, 0, shipped(), {}, WorkingDays).worked,
                      hoursOf(watch, p.first, p.last, 0, shipped(), {}));
        }
    }
}

// A day as the timesheet will show it. Watch 1 from 2020 to 30.11.2025; the mate (watch 3) takes what I give.
const Roster kDays{{{"1.1.2020", 1}, {"1.12.2025", 0}},
                   {{"18.1.2025", "20.1.2025", ExtraLeave},
                    {"5.3.2025", "12.3.2025", Training},
                    {"10.3.2025", "15.3.2025", Unexplained},
                    {"1.7.2025", "28.7.2025", AnnualLeave},
                    {"10.7.2025", "14.7.2025", Sick},
                    {"28.11.2025", "5.12.2025", AnnualLeave},
                    {"3.2.2025", "3.2.2025", static_cast<Absence>(200)}},
                   {{"13.1.2025", true}, {"19.1.2025", true}, {"20.1.2025", false}, {"31.8.2025", true}}};
struct DayCase {
    const char* name;
    PersonId who;
    const char* date;
    DayStatus status;
    int watch;
    std::optional<Absence> absence;
};
class PersonDays : public ::testing::TestWithParam<DayCase> {};

TEST_P(PersonDays, StatusWatchAndAbsence) {
    const auto& c = GetParam();
    const PersonRecord mate{{kMate, "", "", 40}, {{day("1.1.2020"), 3}}, {}};
    const auto days =
        personDays(c.who == kMe ? kDays.record() : mate, kDays.dutySwaps(), day(c.date), day(c.date), 0);
    ASSERT_EQ(days.size(), 1u);
    EXPECT_EQ(days[0].status, c.status);
    EXPECT_EQ(days[0].watch, c.watch);
    EXPECT_EQ(days[0].absence, c.absence);
}

using enum DayStatus;
INSTANTIATE_TEST_SUITE_P(
    Cases, PersonDays,
    ::testing::Values(DayCase{"GivenAway", kMe, "31.8.2025", DutyGivenAway, 1, {}},
                      DayCase{"GivingAnotherWatchsDayChangesNothing", kMe, "13.1.2025", Off, 1, {}},
                      DayCase{"GivenAwayWhileAbsentShowsTheAbsence", kMe, "19.1.2025", Absent, 1, ExtraLeave},
                      DayCase{"TheTakerStillHasTheDutyOfAnAbsentGiver", kMate, "19.1.2025", DutyTaken, 3, {}},
                      DayCase{"ATakenDutyIsWorkedWhateverElse", kMe, "20.1.2025", DutyTaken, 1, ExtraLeave},
                      DayCase{"SickDaysTakenFromALeave", kMe, "10.7.2025", Absent, 1, Sick},
                      DayCase{"OtherOverlapsGoToTheEarlierSpan", kMe, "11.3.2025", Absent, 1, Training},
                      DayCase{"NoAbsenceAfterLeavingTheUnit", kMe, "2.12.2025", Off, 0, {}},
                      DayCase{"ADamagedCodeReadsAsReasonNotKnown", kMe, "3.2.2025", Absent, 1, Unexplained}),
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
const Roster kYear{{{"1.1.2020", 1}},
                   {{"1.7.2025", "28.7.2025", AnnualLeave}, {"10.11.2025", "14.11.2025", Sick}},
                   {{"9.5.2025", false}, {"31.8.2025", true}}};

struct PinnedCase {
    const char* name;
    const char *first, *last;
    NormReduction method;
    const char* expected; // as text() writes it
};
class PinnedPerson : public ::testing::TestWithParam<PinnedCase> {};

TEST_P(PinnedPerson, AsATimesheetClerkCountsThem) {
    const auto& c = GetParam();
    EXPECT_EQ(text(personHours(kYear.record(), kYear.dutySwaps(), day(c.first), day(c.last), 0, shipped(), {},
                               c.method)),
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
    const auto periods = accountingPeriods(kYear.record(), kYear.dutySwaps(), 2025, c.kind, 0, shipped(), {},
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
