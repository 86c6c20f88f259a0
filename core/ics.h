#pragma once

#include <span>
#include <string>
#include <string_view>

#include "date.h"
#include "people.h"
#include "working_time.h"

namespace sutograf {

// What a calendar shows before each duty.
enum class Reminder {
    None,
    EveningBefore, // at 20:00 the evening before the day the duty begins, whatever its start
    HourBefore,
};

// One watch's duties as an RFC 5545 calendar for a phone or desktop calendar to import: one event per
// duty that begins on a day from `first` to `last` (see hoursOf for watch and offset), SUMMARY
// "Дежурство, N караул", floating local DTSTART/DTEND (no time zone: a phone shows 08:00 wherever the
// station is), UID "YYYYMMDD-karaulN@sutograf" so that importing again updates instead of duplicating.
// An event spans the whole duty, 24 hours from rules.startMinute, however few of them are counted: the
// firefighter is at the station throughout, the uncounted hours being rest breaks. A reminder other
// than None gives each event a VALARM (ACTION:DISPLAY, a DESCRIPTION naming the duty and its start)
// with a TRIGGER relative to the start.
// stampUtc ("20261207T021500Z") is written as given, however long, except that CR and LF are left out:
// they would end its line early. Every line ends in CRLF, the last too, and is folded to at most 75
// octets (a continuation's leading space included) without splitting a UTF-8 character. A duty that
// would end after 31.12.9999 is left out: iCalendar has no five-digit years.
// events, when given, gets the number of events written.
std::string dutyCalendar(int watch, Date first, Date last, float offset, const DutyRules& rules,
                         std::string_view stampUtc, Reminder reminder = Reminder::None,
                         int* events = nullptr);

// An absence's name as a calendar shows it, "Отпуск", "Больничный" (UTF-8); empty for a value outside
// the enumeration.
std::string_view absenceTitle(Absence a);

// What personCalendar wrote.
struct CalendarCounts {
    int duties = 0, absences = 0;
};

// One person's year (or any days) as dutyCalendar writes a watch's: one event per duty that begins for
// them on a day from `first` to `last` as personDays shows it (their own, and those they took; those
// they gave away or were absent for are left out), each the whole 24 hours with the reminder chosen,
// SUMMARY "Дежурство, N караул" for the watch whose duty it is ("Дежурство (подмена), N караул" for one
// they took). Their absences as all-day events (DTSTART;VALUE=DATE, DTEND the day after the last), one
// per run of days with one code as personDays lays them (a sick leave inside a leave splits it in
// three), SUMMARY the code in words and letters, "Отпуск (ОТ)". A run that reaches into the days is
// written whole, so that the exports of two years give it the same dates. UIDs are the person's and the
// day's: "YYYYMMDD-personID@sutograf" for the duty of that day, "YYYYMMDD-personID-absence@sutograf"
// for a run that begins on it, so that importing again updates instead of duplicating. X-WR-CALNAME
// names the person. `swaps` may hold everyone's. counts, when given, gets the number of each written.
std::string personCalendar(const PersonRecord& who, std::span<const DutySwap> swaps, Date first, Date last,
                           float offset, const DutyRules& rules, std::string_view stampUtc,
                           Reminder reminder = Reminder::None, CalendarCounts* counts = nullptr);

} // namespace sutograf
