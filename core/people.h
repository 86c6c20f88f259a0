#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "date.h"
#include "production_calendar.h"
#include "working_time.h"

namespace sutograf {

// The people of a unit and their days: who belongs to which watch from when, their absences and the
// duties they swap. Plain data; the roster store checks what it is given before anything here sees it.
using PersonId = std::int64_t;

struct Person {
    PersonId id = 0;
    std::string name;
    std::string personnelNumber;
    int weeklyHours = 40; // 40 or 36
};

// Their watch from this day on; 0 = not in the unit (before joining, after leaving).
struct WatchSpell {
    Date from;
    int watch = 0;
};

// The timesheet's absence codes, in the order of the table below (absenceCode gives the letters).
enum class Absence : std::uint8_t {
    AnnualLeave,  // ОТ 09 annual paid leave
    ExtraLeave,   // ОД 10 additional paid leave
    StudyLeave,   // У  11 paid study leave
    UnpaidLeave,  // ДО 16 unpaid leave
    Sick,         // Б  19 certificate of incapacity
    BusinessTrip, // К  06 business trip
    Training,     // ПК 07 training away from work
    StateDuty,    // Г  23 state or public duties
    Unexplained,  // НН 30 absent, reason not yet known: does not reduce the norm
};
inline constexpr std::size_t kAbsenceKinds = 9;

namespace detail {
struct AbsenceCodes {
    std::string_view letters, number;
};
inline constexpr std::array<AbsenceCodes, kAbsenceKinds> kAbsenceCodes = {{
    {"ОТ", "09"},
    {"ОД", "10"},
    {"У", "11"},
    {"ДО", "16"},
    {"Б", "19"},
    {"К", "06"},
    {"ПК", "07"},
    {"Г", "23"},
    {"НН", "30"},
}};
} // namespace detail

// The timesheet's letters of an absence, as "ОТ" (UTF-8), and its number on the T-13 form, as "09"; empty
// for a value outside the enumeration.
constexpr std::string_view absenceCode(Absence a) {
    const auto i = static_cast<std::size_t>(a);
    return i < kAbsenceKinds ? detail::kAbsenceCodes[i].letters : std::string_view{};
}
constexpr std::string_view absenceNumber(Absence a) {
    const auto i = static_cast<std::size_t>(a);
    return i < kAbsenceKinds ? detail::kAbsenceCodes[i].number : std::string_view{};
}
// Days of every absence but an unexplained one are taken off the norm.
constexpr bool reducesNorm(Absence a) { return a != Absence::Unexplained; }

// Both days included.
struct AbsenceSpan {
    Date first, last;
    Absence kind = Absence::AnnualLeave;
    std::string note;
    std::int64_t id = 0; // the roster store's row; 0 for one not stored
};

// The duty of `day`: given away by `gives`, taken by `takes`; a side off the roster is nullopt, with its
// name in outsider.
struct DutySwap {
    Date day;
    std::optional<PersonId> gives, takes;
    std::string outsider;
    std::int64_t id = 0; // the roster store's row; 0 for one not stored
};

struct PersonRecord {
    Person person;
    std::vector<WatchSpell> watches;
    std::vector<AbsenceSpan> absences;
};

enum class DayStatus { Off, Duty, DutyGivenAway, DutyTaken, Absent };

struct PersonDay {
    DayStatus status = DayStatus::Off;
    int watch = 0; // the watch they belong to that day, 0 = not in the unit
    std::optional<Absence> absence;
};

// The watch of who on day d: that of their spell with the latest from <= d (of equal dates, the later in
// the list); 0 before the first spell, and for a spell whose watch is not 1..4.
int watchOf(const PersonRecord& who, Date d);

// A day's status: a duty they took is theirs whatever their watch and whatever else the day holds; then an
// absence (sick leave where it overlaps another, else the span that began first); then a duty of their own
// watch, given away when a swap names them as its giver. A swap whose giver's watch is off that day changes
// nothing for the giver. Absences count only on days on which they belong to a watch (a code outside the
// enumeration as Unexplained), and days outside the model are Off. One entry per day from first to last, both
// included. `swaps` may hold everyone's: those of who.person.id count.
std::vector<PersonDay> personDays(const PersonRecord& who, std::span<const DutySwap> swaps, Date first,
                                  Date last, float offset);

enum class NormReduction { WorkingDays, ScheduledDuties };

struct PersonHours {
    Hours worked;                 // duties worked, counted as hoursOf counts a watch's; worked.normMinutes is
                                  // the calendar norm for their weekly hours over the period's days on which
                                  // they belong to a watch (joining or leaving mid-period shortens it)
    int reductionMinutes = 0;     // taken off the norm for absences that reduce it
    int ownNormMinutes = 0;       // worked.normMinutes - reductionMinutes
    int givenAway = 0, taken = 0; // duties of the period's days
    std::array<int, kAbsenceKinds> absentDays{}; // the period's calendar days, by Absence

    friend bool operator==(const PersonHours&, const PersonHours&) = default;
};

// A duty begins for who on every day personDays shows as Duty or DutyTaken, and is counted as hoursOf
// counts a watch's (a duty of the day before `first` gives the period what spills into it). givenAway and
// taken count the period's days shown as DutyGivenAway and DutyTaken. The reduction: WorkingDays, the norm
// of the days absent with a code that reduces it; ScheduledDuties, what the duties of their own watch that
// begin on such days would have given the period. It never exceeds the norm. Dates outside the model are
// left out; last < first gives zeros.
PersonHours personHours(const PersonRecord& who, std::span<const DutySwap> swaps, Date first, Date last,
                        float offset, const ProductionCalendar& calendar, const DutyRules& rules,
                        NormReduction method);

// What personHours counts on each day from first to last, one entry a day: the duties that begin on it,
// the minutes that count on it (a duty begun the day before gives its share), and the day's norm for
// their weekly hours. personHours's worked figures over any of these days are the sums of theirs. Days
// outside the model count nothing; last < first gives none.
std::vector<Hours> personDayHours(const PersonRecord& who, std::span<const DutySwap> swaps, Date first,
                                  Date last, float offset, const ProductionCalendar& calendar,
                                  const DutyRules& rules);

enum class AccountingPeriod { Month, Quarter, HalfYear, Year };

struct PeriodResult {
    Period period; // core/working_time.h
    PersonHours hours;
    int balanceMinutes = 0;  // hours.worked.workedMinutes - hours.ownNormMinutes
    int overtimeMinutes = 0; // max(0, balance - (holidayPaidDouble ? hours.worked.holidayMinutes : 0))
};

// The accounting periods of one year, in order (12, 4, 2 or 1 of them); none for a year outside 100..9999.
std::vector<PeriodResult> accountingPeriods(const PersonRecord& who, std::span<const DutySwap> swaps,
                                            int year, AccountingPeriod kind, float offset,
                                            const ProductionCalendar& calendar, const DutyRules& rules,
                                            NormReduction method, bool holidayPaidDouble);

// Overtime beyond this in one year is flagged (art. 99 of the Labour Code).
inline constexpr int kYearOvertimeLimitMinutes = 120 * 60;
// The overtime of the year: the sum over the periods accountingPeriods gave for it.
int yearOvertimeMinutes(std::span<const PeriodResult> periods);
// More than kYearOvertimeLimitMinutes.
bool overYearLimit(std::span<const PeriodResult> periods);

} // namespace sutograf
