#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "date.h"
#include "production_calendar.h"

namespace sutograf {

// Out-of-range values (a hand-edited sutograf.ini) are clamped wherever rules are used: startMinute to
// 0..1439, countedMinutes to 1..1440.
struct DutyRules {
    int startMinute = 8 * 60; // when a duty begins, minutes after local midnight, 0..1439
    // How much of a duty counts as worked time, 1..1440. A duty lasts 24 hours whatever is counted; the
    // minutes not counted are rest breaks, taken from the duty's last hours.
    int countedMinutes = 24 * 60;
    bool wholeDutyOnStartDay = false; // true: every minute of a duty counts on the day it began
};

DutyRules clampedRules(const DutyRules& rules);

// What every duty gives under one set of rules (clamped first): to the day it begins on (index 0) and to
// the next (index 1), worked minutes and of them night minutes (22:00-06:00). Only whether a minute
// falls on a holiday depends on the duty's date.
struct DutyShape {
    std::array<int, 2> worked{}, night{};
    bool wholeOnStartDay = false;
};
DutyShape dutyShape(const DutyRules& rules);

// Minutes, never fractional hours, so that sums over months add up exactly to the year.
struct Hours {
    int duties = 0; // duties that begin in the period
    int workedMinutes = 0;
    int nightMinutes = 0;   // of workedMinutes: 22:00-06:00
    int holidayMinutes = 0; // of workedMinutes: on a day of kind Holiday
    int normMinutes = 0;    // the period's norm

    Hours& operator+=(const Hours& o);
    friend bool operator==(const Hours&, const Hours&) = default;
};

// Watch `watch` (1..4; any other number has no duties) from `first` to `last`, both included, with the
// rota offset of watchOn. A duty begins on every day D with watchOn(D, offset) == watch. Each of its
// minutes counts on the day it falls on, or on D with wholeDutyOnStartDay; the period's figures are
// the minutes that count on its days. Night and holiday are judged by the minute's own time and date.
// Dates outside the model are left out; last < first gives zeros.
Hours hoursOf(int watch, Date first, Date last, float offset, const ProductionCalendar& calendar,
              const DutyRules& rules);

// The rows of the year window: the 12 months, then the 4 quarters, then the year.
inline constexpr std::size_t kFirstQuarterRow = 12;
inline constexpr std::size_t kYearRow = 16;
inline constexpr std::size_t kYearTableRows = 17;

struct Period {
    Date first, last; // both included
};
// The days of one row of the year table. Preconditions: 100 <= year <= 9999, row < kYearTableRows.
Period rowPeriod(int year, std::size_t row);

// All rows of one watch's year: quarters and the year are sums of the months, which equals hoursOf over
// their rowPeriod. Precondition: 100 <= year <= 9999.
std::array<Hours, kYearTableRows> yearTable(int watch, int year, float offset,
                                            const ProductionCalendar& calendar, const DutyRules& rules);

// Minutes as the windows write hours: whole hours alone ("184"), else hours and two-digit minutes
// ("183:30"); negatives with a minus ("-8", "-0:30").
std::string hoursText(int minutes);
// A time of day, minutes after midnight 0..1439, as "08:00".
std::string clockText(int minuteOfDay);
// The minutes that hoursText or clockText wrote, or that a user typed the same way: "H" or "H:MM", one
// or two digits of hours and two of minutes 00..59. nullopt for anything else.
std::optional<int> minutesFromText(std::string_view text);
// The over/under column: as hoursText, with a plus sign above zero ("+16:30", "-8", "0").
std::string balanceText(int minutes);

} // namespace sutograf
