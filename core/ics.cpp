#include "ics.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

#include "rota.h"
#include "working_time.h"

namespace sutograf {
namespace {

// TEXT values (RFC 5545, 3.3.11): backslash, semicolon and comma escaped, a line break as "\n".
std::string escapeText(std::string_view s) {
    std::string out;
    for (const char c : s) {
        if (c == '\\' || c == ';' || c == ',') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c != '\r') {
            out += c;
        }
    }
    return out;
}

// Appends one content line, folded (RFC 5545, 3.1) before a byte that starts a UTF-8 character.
void appendLine(std::string& out, std::string_view line) {
    std::size_t room = 75;
    while (line.size() > room) {
        std::size_t cut = room;
        while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) {
            --cut;
        }
        if (cut == 0) {
            cut = room; // not UTF-8: there is no character to keep whole
        }
        out.append(line.substr(0, cut)).append("\r\n ");
        line.remove_prefix(cut);
        room = 74;
    }
    out.append(line).append("\r\n");
}

// The buffers leave room for any int, which the compiler's format check asks for.
std::string dayText(Date d) {
    const CivilDate c = civilOf(d);
    char text[40];
    std::snprintf(text, sizeof text, "%04d%02d%02d", c.year, c.month, c.day);
    return text;
}

std::string dateTimeText(Date d, int minute) {
    char time[32];
    std::snprintf(time, sizeof time, "T%02d%02d00", minute / 60, minute % 60);
    return dayText(d) + time;
}

// A duration before the start (RFC 5545, 3.3.6), "-PT12H" or "-PT28H30M". In exact hours: a duration
// has one sign, so days could not reach 20:00 the evening before from every start time. On a night the
// clocks change (Russia has kept one time all year since 2014) the evening reminder is an hour off.
std::string beforeStart(int minutes) {
    std::string text = "-PT" + std::to_string(minutes / 60) + "H";
    if (minutes % 60 != 0) {
        text += std::to_string(minutes % 60) + "M";
    }
    return text;
}

} // namespace

std::string dutyCalendar(int watch, Date first, Date last, float offset, const DutyRules& given,
                         std::string_view stampUtc, Reminder reminder, int* events) {
    const DutyRules rules = clampedRules(given);
    const std::string number = std::to_string(watch);
    const std::string summary = "SUMMARY:" + escapeText("Дежурство, " + number + " караул");
    std::string stamp = "DTSTAMP:";
    std::copy_if(stampUtc.begin(), stampUtc.end(), std::back_inserter(stamp),
                 [](char c) { return c != '\r' && c != '\n'; });

    std::string out;
    appendLine(out, "BEGIN:VCALENDAR");
    appendLine(out, "VERSION:2.0");
    appendLine(out, "PRODID:-//Sutograf//Сутограф//RU");
    appendLine(out, "CALSCALE:GREGORIAN");
    appendLine(out, "X-WR-CALNAME:" + escapeText("Сутограф, " + number + " караул"));
    const std::string start = clockText(rules.startMinute);
    std::string trigger, description;
    if (reminder == Reminder::EveningBefore) {
        trigger = beforeStart(rules.startMinute + 4 * 60); // 20:00 is 4 hours before midnight
        description = "Завтра в " + start + " — дежурство, " + number + " караул";
    } else if (reminder == Reminder::HourBefore) {
        trigger = beforeStart(60);
        description = "В " + start + " — дежурство, " + number + " караул";
    }
    int written = 0;
    for (Date d = std::max(first, kFirstDate); d <= std::min(last, kLastDate); ++d.serial) {
        const Date nextDay{d.serial + 1}; // every duty lasts 24 hours, counted or not
        if (watchOn(d, offset) != watch || !inModel(nextDay)) {
            continue;
        }
        appendLine(out, "BEGIN:VEVENT");
        appendLine(out, "UID:" + dayText(d) + "-karaul" + number + "@sutograf");
        appendLine(out, stamp);
        appendLine(out, "DTSTART:" + dateTimeText(d, rules.startMinute));
        appendLine(out, "DTEND:" + dateTimeText(nextDay, rules.startMinute));
        appendLine(out, summary);
        if (!trigger.empty()) {
            appendLine(out, "BEGIN:VALARM");
            appendLine(out, "ACTION:DISPLAY");
            appendLine(out, "DESCRIPTION:" + escapeText(description));
            appendLine(out, "TRIGGER:" + trigger);
            appendLine(out, "END:VALARM");
        }
        appendLine(out, "END:VEVENT");
        ++written;
    }
    appendLine(out, "END:VCALENDAR");
    if (events != nullptr) {
        *events = written;
    }
    return out;
}

} // namespace sutograf
