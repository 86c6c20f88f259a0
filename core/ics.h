#pragma once

#include <string>
#include <string_view>

#include "date.h"
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

} // namespace sutograf
