#include "ics.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <vector>

#include "number_text.h"
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

// "20250115T080000". Precondition: 0 <= minute < 1440.
std::string dateTimeText(Date d, int minute) {
    std::string text = compactDateText(d) + "T000000";
    writeDigits(minute / 60, 2, text.data() + 9);
    writeDigits(minute % 60, 2, text.data() + 11);
    return text;
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

// The parts every calendar of ours shares: the header and footer, a duty's timed event with its
// reminder, and an all-day event.
class CalendarText {
public:
    CalendarText(std::string_view name, const DutyRules& rules, std::string_view stampUtc, Reminder reminder)
        : rules_(clampedRules(rules)), reminder_(reminder), stamp_("DTSTAMP:") {
        std::copy_if(stampUtc.begin(), stampUtc.end(), std::back_inserter(stamp_),
                     [](char c) { return c != '\r' && c != '\n'; });
        appendLine(out_, "BEGIN:VCALENDAR");
        appendLine(out_, "VERSION:2.0");
        appendLine(out_, "PRODID:-//Sutograf//Сутограф//RU");
        appendLine(out_, "CALSCALE:GREGORIAN");
        appendLine(out_, "X-WR-CALNAME:" + escapeText("Сутограф, " + std::string(name)));
    }

    // A duty that begins on d, 24 hours from the start whatever is counted: the firefighter is at the
    // station throughout. False, and nothing written, for one that would end past the model.
    bool duty(Date d, std::string_view uid, std::string_view summary, std::string_view what) {
        const Date nextDay{d.serial + 1};
        if (!inModel(d) || !inModel(nextDay)) {
            return false;
        }
        begin(uid, summary);
        appendLine(out_, "DTSTART:" + dateTimeText(d, rules_.startMinute));
        appendLine(out_, "DTEND:" + dateTimeText(nextDay, rules_.startMinute));
        const std::string start = clockText(rules_.startMinute);
        if (reminder_ == Reminder::EveningBefore) {
            // 20:00 is 4 hours before midnight.
            alarm(beforeStart(rules_.startMinute + 4 * 60), "Завтра в " + start + " — " + std::string(what));
        } else if (reminder_ == Reminder::HourBefore) {
            alarm(beforeStart(60), "В " + start + " — " + std::string(what));
        }
        appendLine(out_, "END:VEVENT");
        return true;
    }

    // Days first to last, both included, as an all-day event (RFC 5545, 3.6.1: DTEND is the day after).
    // False, and nothing written, when the day after would lie past the model.
    bool allDay(Date first, Date last, std::string_view uid, std::string_view summary) {
        const Date after{last.serial + 1};
        if (!inModel(first) || !inModel(after) || last < first) {
            return false;
        }
        begin(uid, summary);
        appendLine(out_, "DTSTART;VALUE=DATE:" + compactDateText(first));
        appendLine(out_, "DTEND;VALUE=DATE:" + compactDateText(after));
        appendLine(out_, "TRANSP:TRANSPARENT"); // an absence is free time, not a meeting
        appendLine(out_, "END:VEVENT");
        return true;
    }

    std::string finish() {
        appendLine(out_, "END:VCALENDAR");
        return std::move(out_);
    }

private:
    void begin(std::string_view uid, std::string_view summary) {
        appendLine(out_, "BEGIN:VEVENT");
        appendLine(out_, "UID:" + std::string(uid));
        appendLine(out_, stamp_);
        appendLine(out_, "SUMMARY:" + escapeText(summary));
    }

    void alarm(const std::string& trigger, const std::string& description) {
        appendLine(out_, "BEGIN:VALARM");
        appendLine(out_, "ACTION:DISPLAY");
        appendLine(out_, "DESCRIPTION:" + escapeText(description));
        appendLine(out_, "TRIGGER:" + trigger);
        appendLine(out_, "END:VALARM");
    }

    DutyRules rules_;
    Reminder reminder_;
    std::string stamp_;
    std::string out_;
};

std::string dutyText(int watch) { return "дежурство, " + std::to_string(watch) + " караул"; }

// The days of who's absences that reach into [first, last], widened to take in the whole of every
// span that does, and of any span touching those: a run is then the same whatever year is exported.
Period absenceReach(const PersonRecord& who, Date first, Date last) {
    Period reach{first, last};
    for (bool wider = true; wider;) {
        wider = false;
        for (const AbsenceSpan& a : who.absences) {
            const bool touches =
                a.first.serial <= reach.last.serial + 1 && reach.first.serial <= a.last.serial + 1;
            if (touches && a.first <= a.last && (a.first < reach.first || reach.last < a.last)) {
                reach.first = std::max(std::min(reach.first, a.first), kFirstDate);
                reach.last = std::min(std::max(reach.last, a.last), kLastDate);
                wider = true;
            }
        }
    }
    return reach;
}

} // namespace

std::string_view absenceTitle(Absence a) {
    static constexpr std::array<std::string_view, kAbsenceKinds> kTitles = {
        "Отпуск",
        "Дополнительный отпуск",
        "Учебный отпуск",
        "Отпуск без сохранения зарплаты",
        "Больничный",
        "Командировка",
        "Повышение квалификации",
        "Государственные обязанности",
        "Неявка, причина не выяснена",
    };
    const auto i = static_cast<std::size_t>(a);
    return i < kAbsenceKinds ? kTitles[i] : std::string_view{};
}

std::string dutyCalendar(int watch, Date first, Date last, float offset, const DutyRules& rules,
                         std::string_view stampUtc, Reminder reminder, int* events) {
    const std::string number = std::to_string(watch);
    CalendarText text(number + " караул", rules, stampUtc, reminder);
    const std::string summary = "Дежурство, " + number + " караул";
    int written = 0;
    for (Date d = std::max(first, kFirstDate); d <= std::min(last, kLastDate); ++d.serial) {
        if (watchOn(d, offset) == watch) {
            written +=
                text.duty(d, compactDateText(d) + "-karaul" + number + "@sutograf", summary, dutyText(watch));
        }
    }
    if (events != nullptr) {
        *events = written;
    }
    return text.finish();
}

std::string personCalendar(const PersonRecord& who, std::span<const DutySwap> swaps, Date first, Date last,
                           float offset, const DutyRules& rules, std::string_view stampUtc, Reminder reminder,
                           CalendarCounts* counts) {
    CalendarText text(who.person.name, rules, stampUtc, reminder);
    const std::string person = "-person" + std::to_string(who.person.id);
    CalendarCounts written;
    first = std::max(first, kFirstDate);
    last = std::min(last, kLastDate);
    if (first <= last) {
        const Period reach = absenceReach(who, first, last);
        const std::vector<PersonDay> days = personDays(who, swaps, reach.first, reach.last, offset);
        const auto dayOf = [&](std::size_t i) {
            return Date{reach.first.serial + static_cast<std::int32_t>(i)};
        };
        for (std::size_t i = 0; i < days.size(); ++i) {
            const Date d = dayOf(i);
            const DayStatus s = days[i].status;
            if (first <= d && d <= last && (s == DayStatus::Duty || s == DayStatus::DutyTaken)) {
                // A duty they took is the day's watch's, whatever their own.
                const int watch = watchOn(d, offset).value_or(days[i].watch);
                const std::string summary = s == DayStatus::DutyTaken
                                                ? "Дежурство (подмена), " + std::to_string(watch) + " караул"
                                                : "Дежурство, " + std::to_string(watch) + " караул";
                written.duties +=
                    text.duty(d, compactDateText(d) + person + "@sutograf", summary, dutyText(watch));
            }
        }
        for (std::size_t i = 0; i < days.size();) {
            const std::optional<Absence> kind = days[i].absence;
            std::size_t end = i + 1;
            while (end < days.size() && days[end].absence == kind) {
                ++end;
            }
            if (kind && dayOf(i) <= last && first <= dayOf(end - 1)) {
                const std::string summary =
                    std::string(absenceTitle(*kind)) + " (" + std::string(absenceCode(*kind)) + ")";
                written.absences +=
                    text.allDay(dayOf(i), dayOf(end - 1),
                                compactDateText(dayOf(i)) + person + "-absence@sutograf", summary);
            }
            i = end;
        }
    }
    if (counts != nullptr) {
        *counts = written;
    }
    return text.finish();
}

} // namespace sutograf
