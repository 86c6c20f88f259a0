#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sutograf {

// A date is a whole serial day number: day 0 is 30.12.1899, so 01.01.2011 is 40544.
// Dates before day 0 are negative. The model covers 01.01.0100 to 31.12.9999.
struct Date {
    std::int32_t serial = 0;
    friend constexpr bool operator==(Date, Date) = default;
    friend constexpr auto operator<=>(Date, Date) = default;
};

inline constexpr Date kFirstDate{-657434}; // 01.01.0100
inline constexpr Date kLastDate{2958465};  // 31.12.9999

constexpr bool inModel(Date d) { return kFirstDate <= d && d <= kLastDate; }

struct CivilDate {
    int year;
    int month; // 1..12
    int day;   // 1..31
};

// Precondition for the queries below: inModel(d).
CivilDate civilOf(Date d);
int yearOf(Date d);
int monthOf(Date d);
int dayOf(Date d);

// Monday = 1 ... Sunday = 7; serial day 0 was a Saturday. Holds for any serial, in the model or not.
constexpr int weekdayOf(Date d) { return (d.serial % 7 + 12) % 7 + 1; }

// 28 to 31. Precondition: 1 <= month <= 12.
int daysInMonth(int year, int month);

// Answers nullopt when the fields name no day of the model (31.04, 29.02.2011, year 10000).
std::optional<Date> dateOf(int year, int month, int day);

// "d.m.y": day and month of one or two digits, the year of one to four. Years 0-99 are two-digit
// years (0-29 -> 2000-2029, 30-99 -> 1930-1999); 100-9999 are taken as written. Anything else,
// including blanks or a sign, is no date.
std::optional<Date> dateFromText(std::string_view dmy);

// "dd.mm.yyyy". Precondition: inModel(d).
std::string shortDateText(Date d);

// Writes the ten characters of shortDateText into out without allocating.
void writeShortDate(const CivilDate& c, char* out);

// "yyyy-mm-dd", as tables and files keep a day. Precondition: inModel(d).
std::string isoDateText(Date d);
// Exactly "yyyy-mm-dd" naming a day of the model; anything else (blanks, signs, "2025-7-1") is no date.
std::optional<Date> dateFromIso(std::string_view text);

// "yyyymmdd", as iCalendar writes a day. Precondition: inModel(d).
std::string compactDateText(Date d);

// The local date of the system clock.
Date today();

// A reading of the local clock: the date and the time of day.
struct LocalTime {
    Date date;
    std::int32_t msOfDay = 0; // milliseconds since the local midnight, 0 .. 86'399'999
};

// The system clock in the local time zone as it is now: a time zone changed while the program runs
// counts from the next reading.
LocalTime localNow();

// How long to wait before reading the clock again to notice a new date: until the next midnight, and
// a minute at the most, since a clock set by hand, a new time zone or a sleep moves the date without
// any timer reaching midnight.
int msUntilDateCheck(const LocalTime& now);

} // namespace sutograf
