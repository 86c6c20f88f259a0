#include "user_calendar.h"

#include <QFileInfo>

#include <string_view>

#include "safe_file.h"

namespace sutograf {
namespace {

// Ten years of decrees fit in a few kilobytes; a file this large is not a calendar, and reading it
// would hold up the window.
constexpr qint64 kLargestCalendar = 1024 * 1024;

// The first holiday of the Labour Code that the year of `user` lacks, if any. A file replaces a year
// whole, so one that lists only a decree's transfers would silently take every holiday away.
std::optional<Date> missingHoliday(const ProductionCalendar& user, int year) {
    const YearKinds rule = ProductionCalendar().yearKinds(year);
    const YearKinds listed = user.yearKinds(year);
    for (int i = 0; i < rule.length; ++i) {
        const Date d{rule.jan1.serial + i};
        if (rule.of(d) == DayKind::Holiday && listed.of(d) != DayKind::Holiday) {
            return d;
        }
    }
    return std::nullopt;
}

} // namespace

LoadedCalendar calendarWithOverlay(const QByteArray& userCsv) {
    LoadedCalendar loaded{ProductionCalendar::builtIn(), {}, true, {}};
    std::vector<int> damaged;
    ProductionCalendar user = ProductionCalendar::fromCsv(
        std::string_view(userCsv.constData(), static_cast<std::size_t>(userCsv.size())), &loaded.errors,
        &damaged);
    user.dropYears(damaged);
    std::vector<int> incomplete;
    for (const int year : user.years()) {
        if (const auto missing = missingHoliday(user, year)) {
            loaded.errors.push_back(
                {0, std::to_string(year) + " год неполный: нет праздника " + shortDateText(*missing)});
            incomplete.push_back(year);
        }
    }
    user.dropYears(incomplete);
    loaded.calendar.overlay(user);
    return loaded;
}

LoadedCalendar loadCalendar(const SettingsPlace& place) {
    const QString path = place.readPath(kUserCalendarFileName);
    if (!QFileInfo(path).exists()) {
        return {ProductionCalendar::builtIn(), path, false, {}};
    }
    const auto bytes = readRegularFile(path, kLargestCalendar + 1);
    LoadedCalendar loaded;
    if (!bytes || bytes->size() > kLargestCalendar) {
        loaded = {ProductionCalendar::builtIn(), {}, false, {}};
        loaded.errors.push_back(
            {0, bytes ? "файл больше 1 МБ — это не календарь" : "это не обычный файл или он не читается"});
    } else {
        loaded = calendarWithOverlay(*bytes);
    }
    loaded.path = path;
    return loaded;
}

} // namespace sutograf
