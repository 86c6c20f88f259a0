#include "user_calendar.h"

#include <QStringList>

#include <algorithm>
#include <string_view>

#include "number_text.h"
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

// "2026 год", "2026 и 2027 годы", "2026, 2027 и 2030 годы"; past five, their number and the first and
// last ("12 лет, с 2026 по 2040").
QString yearsText(const std::vector<int>& years) {
    constexpr std::size_t kNamed = 5;
    const auto n = static_cast<long long>(years.size());
    if (years.size() > kNamed) {
        return QStringLiteral("%1 %2, с %3 по %4")
            .arg(n)
            .arg(QString::fromUtf8(russianPlural(n, "год", "года", "лет")))
            .arg(years.front())
            .arg(years.back());
    }
    QStringList named;
    for (const int y : years) {
        named << QString::number(y);
    }
    const QString last = named.takeLast();
    return (named.isEmpty() ? last : named.join(QStringLiteral(", ")) + QStringLiteral(" и ") + last) +
           (years.size() == 1 ? QStringLiteral(" год") : QStringLiteral(" годы"));
}

} // namespace

LoadedCalendar calendarWithOverlay(const QByteArray& userCsv) {
    LoadedCalendar loaded{ProductionCalendar::builtIn(), {}, true, {}, {}, false};
    std::vector<int> damaged; // 0 first when a bad line's year could not be read
    ProductionCalendar user = ProductionCalendar::fromCsv(
        std::string_view(userCsv.constData(), static_cast<std::size_t>(userCsv.size())), &loaded.errors,
        &damaged);
    std::vector<int> notTaken = user.years();
    if (!damaged.empty() && damaged.front() == 0) {
        loaded.yearUnreadable = true;
        damaged.erase(damaged.begin());
    } else {
        std::vector<int> incomplete;
        for (const int year : user.years()) {
            if (std::binary_search(damaged.begin(), damaged.end(), year)) {
                continue;
            }
            if (const auto missing = missingHoliday(user, year)) {
                loaded.errors.push_back(
                    {0, std::to_string(year) + " год неполный: нет праздника " + shortDateText(*missing)});
                incomplete.push_back(year);
            }
        }
        notTaken = incomplete;
        user.dropYears(damaged);
        user.dropYears(incomplete);
        loaded.calendar.overlay(user);
    }
    // The years of bad lines are named too, when they are years of the model.
    for (const int year : damaged) {
        if (year >= 100 && year <= 9999) {
            notTaken.push_back(year);
        }
    }
    std::sort(notTaken.begin(), notTaken.end());
    notTaken.erase(std::unique(notTaken.begin(), notTaken.end()), notTaken.end());
    loaded.yearsNotTaken = std::move(notTaken);
    return loaded;
}

LoadedCalendar loadCalendar(const SettingsPlace& place) {
    const QString path = place.readPath(kUserCalendarFileName);
    const ReadResult read = readFile(path, kLargestCalendar + 1);
    LoadedCalendar loaded;
    if (read.failure == ReadFailure::Missing) {
        loaded = {ProductionCalendar::builtIn(), {}, false, {}, {}, false};
    } else if (!read.ok() || read.bytes.size() > kLargestCalendar) {
        loaded = {ProductionCalendar::builtIn(), {}, false, {}, {}, false};
        loaded.errors.push_back({0, read.ok() ? std::string("файл больше 1 МБ — это не календарь")
                                              : failureText(read.failure).toStdString()});
    } else {
        loaded = calendarWithOverlay(read.bytes);
    }
    loaded.path = path;
    return loaded;
}

QString calendarVerdict(const LoadedCalendar& loaded) {
    if (loaded.errors.empty()) {
        return {};
    }
    if (!loaded.userFileRead) {
        return QStringLiteral("Взят календарь программы.");
    }
    if (loaded.yearUnreadable) {
        return loaded.yearsNotTaken.empty()
                   ? QStringLiteral("Год строки с ошибкой не прочитан; взят календарь программы.")
                   : QStringLiteral("Год строки с ошибкой не прочитан, а она может относиться к любому году "
                                    "файла, поэтому файл не взят: за %1 взят календарь программы.")
                         .arg(yearsText(loaded.yearsNotTaken));
    }
    return loaded.yearsNotTaken.empty()
               ? QStringLiteral("Строки с ошибками пропущены.")
               : QStringLiteral("За %1 взят календарь программы.").arg(yearsText(loaded.yearsNotTaken));
}

} // namespace sutograf
