#include "user_calendar.h"

#include <QFileInfo>

#include "safe_file.h"

#include <set>
#include <string_view>

namespace sutograf {
namespace {

// Ten years of decrees fit in a few kilobytes; a file this large is not a calendar.
constexpr qint64 kLargestCalendar = 16 * 1024 * 1024;

// The year a line of the file is about, when it starts with one ("2027-01-08,..."), else 0.
int yearOfLine(std::string_view csv, int line) {
    std::size_t start = 0;
    for (int i = 1; i < line && start != std::string_view::npos; ++i) {
        start = csv.find('\n', start);
        start = start == std::string_view::npos ? start : start + 1;
    }
    if (start == std::string_view::npos || start + 5 > csv.size() || csv[start + 4] != '-') {
        return 0;
    }
    int year = 0;
    for (std::size_t i = start; i < start + 4; ++i) {
        if (csv[i] < '0' || csv[i] > '9') {
            return 0;
        }
        year = year * 10 + (csv[i] - '0');
    }
    return year;
}

} // namespace

LoadedCalendar calendarWithOverlay(const QByteArray& userCsv) {
    LoadedCalendar loaded{ProductionCalendar::builtIn(), {}, true, {}};
    const std::string_view csv(userCsv.constData(), static_cast<std::size_t>(userCsv.size()));
    ProductionCalendar user = ProductionCalendar::fromCsv(csv, &loaded.errors);
    std::set<int> damaged;
    for (const CalendarError& e : loaded.errors) {
        if (const int year = yearOfLine(csv, e.line); year != 0) {
            damaged.insert(year);
        }
    }
    for (const int year : damaged) {
        user.dropYear(year);
    }
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
        loaded.errors.push_back({0, bytes ? "файл больше 16 МБ, это не календарь; он не прочитан"
                                          : "файл не читается или это не обычный файл"});
    } else {
        loaded = calendarWithOverlay(*bytes);
    }
    loaded.path = path;
    return loaded;
}

} // namespace sutograf
