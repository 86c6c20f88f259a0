#include "working_time.h"

#include <algorithm>

#include "number_text.h"
#include "rota.h"

namespace sutograf {
namespace {

constexpr int kDay = 24 * 60;
constexpr int kNightEnds = 6 * 60;
constexpr int kNightBegins = 22 * 60;

int overlap(int a0, int a1, int b0, int b1) { return std::max(0, std::min(a1, b1) - std::max(a0, b0)); }

} // namespace

DutyRules clampedRules(const DutyRules& rules) {
    return {std::clamp(rules.startMinute, 0, kDay - 1), std::clamp(rules.countedMinutes, 1, kDay),
            rules.wholeDutyOnStartDay};
}

DutyShape dutyShape(const DutyRules& given) {
    const DutyRules r = clampedRules(given);
    const int start = r.startMinute, end = start + r.countedMinutes; // below 2 days: a duty touches two
    DutyShape s;
    for (std::size_t k = 0; k < 2; ++k) {
        const int day = static_cast<int>(k) * kDay;
        s.worked[k] = overlap(start, end, day, day + kDay);
        s.night[k] =
            overlap(start, end, day, day + kNightEnds) + overlap(start, end, day + kNightBegins, day + kDay);
    }
    s.wholeOnStartDay = r.wholeDutyOnStartDay;
    return s;
}

Hours& Hours::operator+=(const Hours& o) {
    duties += o.duties;
    workedMinutes += o.workedMinutes;
    nightMinutes += o.nightMinutes;
    holidayMinutes += o.holidayMinutes;
    normMinutes += o.normMinutes;
    return *this;
}

Hours hoursOf(int watch, Date first, Date last, float offset, const ProductionCalendar& calendar,
              const DutyRules& given) {
    Hours h;
    first = std::max(first, kFirstDate);
    last = std::min(last, kLastDate);
    if (last < first) {
        return h;
    }
    h.normMinutes = calendar.normMinutes(first, last);
    const DutyShape shape = dutyShape(given);

    std::array<bool, 4> onDuty{}; // by rota phase
    for (std::int32_t m = 0; m < 4; ++m) {
        onDuty[static_cast<std::size_t>(m)] = watchOn(Date{m}, offset) == watch;
    }

    // A duty that began the day before `first` spills into it, unless it counts whole on its own day.
    const Date from{shape.wholeOnStartDay || first == kFirstDate ? first.serial : first.serial - 1};
    YearKinds kinds;
    for (Date d = from; d <= last; ++d.serial) {
        if (!onDuty[static_cast<std::size_t>(rotaPhase(d))]) {
            continue;
        }
        h.duties += d >= first;
        for (std::size_t k = 0; k < 2; ++k) { // the duty's own day, then the next
            const Date minuteDay{d.serial + static_cast<std::int32_t>(k)};
            const Date countedOn = shape.wholeOnStartDay ? d : minuteDay;
            if (shape.worked[k] == 0 || countedOn < first || countedOn > last) {
                continue;
            }
            h.workedMinutes += shape.worked[k];
            h.nightMinutes += shape.night[k];
            if (!inModel(minuteDay)) {
                continue; // a whole duty from 31.12.9999: no calendar to judge its last minutes by
            }
            if (!kinds.contains(minuteDay)) {
                kinds = calendar.yearKinds(yearOf(minuteDay));
            }
            if (kinds.of(minuteDay) == DayKind::Holiday) {
                h.holidayMinutes += shape.worked[k];
            }
        }
    }
    return h;
}

Period rowPeriod(int year, std::size_t row) {
    const auto months = [year](int from, int to) {
        const Date last = to == 12 ? *dateOf(year, 12, 31) : Date{dateOf(year, to + 1, 1)->serial - 1};
        return Period{*dateOf(year, from, 1), last};
    };
    if (row < kFirstQuarterRow) {
        return months(static_cast<int>(row) + 1, static_cast<int>(row) + 1);
    }
    if (row < kYearRow) {
        const int quarter = static_cast<int>(row - kFirstQuarterRow);
        return months(3 * quarter + 1, 3 * quarter + 3);
    }
    return months(1, 12);
}

std::array<Hours, kYearTableRows> yearTable(int watch, int year, float offset,
                                            const ProductionCalendar& calendar, const DutyRules& rules) {
    std::array<Hours, kYearTableRows> rows{};
    for (std::size_t m = 0; m < kFirstQuarterRow; ++m) {
        const Period p = rowPeriod(year, m);
        rows[m] = hoursOf(watch, p.first, p.last, offset, calendar, rules);
        rows[kFirstQuarterRow + m / 3] += rows[m];
        rows[kYearRow] += rows[m];
    }
    return rows;
}

std::string clockText(int minuteOfDay) {
    std::string text = "00:00";
    writeDigits(minuteOfDay / 60, 2, text.data());
    writeDigits(minuteOfDay % 60, 2, text.data() + 3);
    return text;
}

std::optional<int> minutesFromText(std::string_view text) {
    const auto colon = text.find(':');
    const auto hours = digitsValue(text.substr(0, colon), 2);
    const std::string_view mm = colon == std::string_view::npos ? "00" : text.substr(colon + 1);
    const auto minutes = mm.size() == 2 ? digitsValue(mm, 2) : std::nullopt; // "8:5" is no time
    if (!hours || !minutes || *minutes >= 60) {
        return std::nullopt;
    }
    return *hours * 60 + *minutes;
}

std::string hoursText(int minutes) {
    const long long m = minutes; // -INT_MIN does not fit an int
    const long long a = m < 0 ? -m : m;
    std::string text = m < 0 ? "-" : "";
    text += std::to_string(a / 60);
    if (a % 60 != 0) {
        char mm[3] = {':'};
        writeDigits(static_cast<int>(a % 60), 2, mm + 1);
        text.append(mm, 3);
    }
    return text;
}

std::string balanceText(int minutes) {
    std::string text = minutes > 0 ? "+" : "";
    return text += hoursText(minutes);
}

} // namespace sutograf
