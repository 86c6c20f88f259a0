#include "date.h"

#include <algorithm>
#include <chrono>
#include <ctime>

#include "number_text.h"

namespace sutograf {
namespace {

using namespace std::chrono;

// 30.12.1899 lies 25569 days before the Unix epoch.
constexpr int kEpochOffset = 25569;

sys_days toSysDays(Date d) { return sys_days{days{d.serial - kEpochOffset}}; }
Date fromSysDays(sys_days sd) {
    return Date{static_cast<std::int32_t>(sd.time_since_epoch().count() + kEpochOffset)};
}

// The date's fields as "yyyy<sep>mm<sep>dd"; no separator when sep is 0.
std::string yearFirstText(Date d, char sep) {
    const CivilDate c = civilOf(d);
    const int step = sep != 0 ? 1 : 0;
    std::string text(static_cast<std::size_t>(8 + 2 * step), sep);
    writeDigits(c.year, 4, text.data());
    writeDigits(c.month, 2, text.data() + 4 + step);
    writeDigits(c.day, 2, text.data() + 6 + 2 * step);
    return text;
}

} // namespace

CivilDate civilOf(Date d) {
    const year_month_day ymd{toSysDays(d)};
    return {static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
            static_cast<int>(static_cast<unsigned>(ymd.day()))};
}

int yearOf(Date d) { return civilOf(d).year; }
int monthOf(Date d) { return civilOf(d).month; }
int dayOf(Date d) { return civilOf(d).day; }

int daysInMonth(int y, int m) {
    return static_cast<int>(
        static_cast<unsigned>(year_month_day_last(year{y} / month{static_cast<unsigned>(m)} / last).day()));
}

std::optional<Date> dateOf(int y, int m, int d) {
    if (y < 100 || y > 9999 || m < 1 || m > 12 || d < 1 || d > 31) {
        return std::nullopt;
    }
    const year_month_day ymd{year{y}, month{static_cast<unsigned>(m)}, day{static_cast<unsigned>(d)}};
    if (!ymd.ok()) {
        return std::nullopt;
    }
    return fromSysDays(sys_days{ymd});
}

std::optional<Date> dateFromText(std::string_view dmy) {
    const auto dot1 = dmy.find('.');
    const auto dot2 = dot1 == std::string_view::npos ? dot1 : dmy.find('.', dot1 + 1);
    if (dot2 == std::string_view::npos) {
        return std::nullopt;
    }
    const auto d = digitsValue(dmy.substr(0, dot1), 2);
    const auto m = digitsValue(dmy.substr(dot1 + 1, dot2 - dot1 - 1), 2);
    const auto y = digitsValue(dmy.substr(dot2 + 1), 4); // a third dot fails here
    if (!d || !m || !y) {
        return std::nullopt;
    }
    int fullYear = *y;
    if (fullYear < 30) {
        fullYear += 2000;
    } else if (fullYear < 100) {
        fullYear += 1900;
    }
    return dateOf(fullYear, *m, *d);
}

void writeShortDate(const CivilDate& c, char* out) {
    writeDigits(c.day, 2, out);
    out[2] = '.';
    writeDigits(c.month, 2, out + 3);
    out[5] = '.';
    writeDigits(c.year, 4, out + 6);
}

std::string shortDateText(Date d) {
    std::string text(10, '\0');
    writeShortDate(civilOf(d), text.data());
    return text;
}

std::string isoDateText(Date d) { return yearFirstText(d, '-'); }

std::string compactDateText(Date d) { return yearFirstText(d, 0); }

std::optional<Date> dateFromIso(std::string_view t) {
    if (t.size() != 10 || t[4] != '-' || t[7] != '-') {
        return std::nullopt;
    }
    const auto y = digitsValue(t.substr(0, 4), 4), m = digitsValue(t.substr(5, 2), 2),
               d = digitsValue(t.substr(8, 2), 2);
    return y && m && d ? dateOf(*y, *m, *d) : std::nullopt;
}

Date today() { return localNow().date; }

int msUntilDateCheck(const LocalTime& now) {
    constexpr int kDayMs = 86'400'000;
    constexpr int kMinuteMs = 60'000;
    return std::min(kMinuteMs, kDayMs - now.msOfDay);
}

LocalTime localNow() {
    const auto now = system_clock::now();
    const auto second = floor<seconds>(now);
    const std::time_t t = system_clock::to_time_t(second);
    std::tm local{};
    // localtime_r alone keeps the zone it read first; tzset reads it again (a changed TZ or
    // /etc/localtime), as localtime does.
#ifdef _WIN32
    _tzset();
    localtime_s(&local, &t);
#else
    tzset();
    localtime_r(&t, &local);
#endif
    // A leap second (tm_sec 60) stays within the day.
    const int ms = ((local.tm_hour * 60 + local.tm_min) * 60 + local.tm_sec) * 1000 +
                   static_cast<int>(duration_cast<milliseconds>(now - second).count());
    // A clock set beyond the years 100 to 9999 reads as the model's nearest end, not as no date.
    const int year = local.tm_year + 1900;
    const Date date =
        dateOf(year, local.tm_mon + 1, local.tm_mday).value_or(year < 100 ? kFirstDate : kLastDate);
    return {date, std::min(ms, 86'399'999)};
}

} // namespace sutograf
