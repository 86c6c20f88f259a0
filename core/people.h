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

// One entry per day from first to last, both included. `swaps` may hold everyone's: those of
// who.person.id count.
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
};

PersonHours personHours(const PersonRecord& who, std::span<const DutySwap> swaps, Date first, Date last,
                        float offset, const ProductionCalendar& calendar, const DutyRules& rules,
                        NormReduction method);

enum class AccountingPeriod { Month, Quarter, HalfYear, Year };

struct PeriodResult {
    Period period; // core/working_time.h
    PersonHours hours;
    int balanceMinutes = 0;  // hours.worked.workedMinutes - hours.ownNormMinutes
    int overtimeMinutes = 0; // max(0, balance - (holidayPaidDouble ? hours.worked.holidayMinutes : 0))
};

// The accounting periods of one year, in order (12, 4, 2 or 1 of them). Precondition: 100 <= year <= 9999.
std::vector<PeriodResult> accountingPeriods(const PersonRecord& who, std::span<const DutySwap> swaps, int year,
                                            AccountingPeriod kind, float offset,
                                            const ProductionCalendar& calendar, const DutyRules& rules,
                                            NormReduction method, bool holidayPaidDouble);

} // namespace sutograf
