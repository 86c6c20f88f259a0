#include "working_time.h"

#include <algorithm>

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
    const DutyRules rules = clampedRules(given);
    const int start = rules.startMinute;
    const int end = start + rules.countedMinutes; // below 2 * kDay: a duty touches its day and the next

    // watchOn depends only on the serial's remainder mod 4, and serials 0..3 have remainders 0..3.
    std::array<bool, 4> onDuty{};
    for (std::int32_t m = 0; m < 4; ++m) {
        onDuty[static_cast<std::size_t>(m)] = watchOn(Date{m}, offset) == watch;
    }

    // A duty that began the day before `first` spills into it, unless it counts whole on its own day.
    const Date from{rules.wholeDutyOnStartDay || first == kFirstDate ? first.serial : first.serial - 1};
    YearKinds kinds;
    for (Date d = from; d <= last; ++d.serial) {
        if (!onDuty[static_cast<std::size_t>((d.serial % 4 + 4) % 4)]) {
            continue;
        }
        h.duties += d >= first;
        for (int k = 0; k < 2; ++k) { // the duty's own day, then the next
            const int dayStart = k * kDay;
            const int worked = overlap(start, end, dayStart, dayStart + kDay);
            const Date minuteDay{d.serial + k};
            const Date countedOn = rules.wholeDutyOnStartDay ? d : minuteDay;
            if (worked == 0 || countedOn < first || countedOn > last) {
                continue;
            }
            h.workedMinutes += worked;
            h.nightMinutes += overlap(start, end, dayStart, dayStart + kNightEnds) +
                              overlap(start, end, dayStart + kNightBegins, dayStart + kDay);
            if (!inModel(minuteDay)) {
                continue; // a whole duty from 31.12.9999: no calendar to judge its last minutes by
            }
            if (!kinds.contains(minuteDay)) {
                kinds = calendar.yearKinds(yearOf(minuteDay));
            }
            if (kinds.of(minuteDay) == DayKind::Holiday) {
                h.holidayMinutes += worked;
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
    text[0] = static_cast<char>('0' + minuteOfDay / 600);
    text[1] = static_cast<char>('0' + minuteOfDay / 60 % 10);
    text[3] = static_cast<char>('0' + minuteOfDay % 60 / 10);
    text[4] = static_cast<char>('0' + minuteOfDay % 10);
    return text;
}

std::optional<int> minutesFromText(std::string_view text) {
    const auto colon = text.find(':');
    const std::string_view hours = text.substr(0, colon);
    const std::string_view minutes = colon == std::string_view::npos ? "00" : text.substr(colon + 1);
    const auto digits = [](std::string_view s) {
        return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (hours.empty() || hours.size() > 2 || minutes.size() != 2 || !digits(hours) || !digits(minutes) ||
        minutes[0] > '5') {
        return std::nullopt;
    }
    const int h = hours.size() == 1 ? hours[0] - '0' : (hours[0] - '0') * 10 + (hours[1] - '0');
    return h * 60 + (minutes[0] - '0') * 10 + (minutes[1] - '0');
}

std::string hoursText(int minutes) {
    const long long m = minutes; // -INT_MIN does not fit an int
    const long long a = m < 0 ? -m : m;
    std::string text = m < 0 ? "-" : "";
    text += std::to_string(a / 60);
    if (a % 60 != 0) {
        text += ':';
        text += static_cast<char>('0' + a % 60 / 10);
        text += static_cast<char>('0' + a % 10);
    }
    return text;
}

std::string balanceText(int minutes) {
    std::string text = minutes > 0 ? "+" : "";
    return text += hoursText(minutes);
}

} // namespace sutograf
