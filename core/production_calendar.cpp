// The production calendar's answers: the table's years, and the general rule for the others.
#include "production_calendar.h"

#include <algorithm>
#include <cassert>
#include <chrono>

#include "rule_year.h"

namespace sutograf {

// Generated at build time from resources/ru-production-calendar.csv (core/embed_file.cmake).
extern const unsigned char kBuiltInCalendarCsv[];
extern const std::size_t kBuiltInCalendarCsvSize;

namespace {

// What a listed day means, for a row that comes without a note.
std::string_view kindNote(DayKind k) {
    switch (k) {
    case DayKind::Holiday:
        return "нерабочий праздничный день";
    case DayKind::DayOff:
        return "выходной день (перенос)";
    case DayKind::Workday:
        return "рабочий день (перенос)";
    case DayKind::Short:
        return kShortDayNote;
    case DayKind::Ordinary:
        break;
    }
    return {};
}

} // namespace

YearKinds YearKinds::ordinary(int year) {
    YearKinds k;
    k.jan1 = *dateOf(year, 1, 1);
    k.length = std::chrono::year{year}.is_leap() ? 366 : 365;
    return k;
}

int dayNormMinutes(DayKind k, int weekday, int weeklyHours) {
    const bool working = weekday <= 5 ? k != DayKind::Holiday && k != DayKind::DayOff
                                      : k == DayKind::Workday || k == DayKind::Short;
    if (!working) {
        return 0;
    }
    const int day = std::clamp(weeklyHours, 1, 40) * 60 / 5;
    return k == DayKind::Short ? std::max(0, day - 60) : day;
}

const ProductionCalendar& ProductionCalendar::builtIn() {
    static const ProductionCalendar table = [] {
        std::vector<CalendarError> errors;
        ProductionCalendar t = fromCsv(
            std::string_view(reinterpret_cast<const char*>(kBuiltInCalendarCsv), kBuiltInCalendarCsvSize),
            &errors);
        assert(errors.empty());
        // No decree on the 2027 transfers was out when the table was compiled: its rows hold only what
        // the Labour Code fixes, and the decree will likely move 2-3 January. A user's file listing
        // 2027 replaces the year and with it this mark.
        for (TableYear& y : t.years_) {
            y.provisional = y.year == 2027;
        }
        return t;
    }();
    return table;
}

void ProductionCalendar::overlay(const ProductionCalendar& newer) {
    for (const TableYear& n : newer.years_) {
        const auto it = std::lower_bound(years_.begin(), years_.end(), n.year,
                                         [](const TableYear& t, int y) { return t.year < y; });
        if (it != years_.end() && it->year == n.year) {
            *it = n;
        } else {
            years_.insert(it, n);
        }
    }
    reindex();
}

void ProductionCalendar::reindex() {
    index_.clear();
    if (years_.empty()) {
        return;
    }
    firstYear_ = years_.front().year;
    index_.assign(static_cast<std::size_t>(years_.back().year - firstYear_ + 1), -1);
    for (std::size_t i = 0; i < years_.size(); ++i) {
        index_[static_cast<std::size_t>(years_[i].year - firstYear_)] = static_cast<std::int16_t>(i);
    }
}

const ProductionCalendar::TableYear* ProductionCalendar::tableYear(int year) const {
    const int i = year - firstYear_;
    if (i < 0 || i >= static_cast<int>(index_.size()) || index_[static_cast<std::size_t>(i)] < 0) {
        return nullptr;
    }
    return &years_[static_cast<std::size_t>(index_[static_cast<std::size_t>(i)])];
}

bool ProductionCalendar::covers(int year) const { return tableYear(year) != nullptr; }

std::vector<int> ProductionCalendar::years() const {
    std::vector<int> listed;
    listed.reserve(years_.size());
    for (const TableYear& t : years_) {
        listed.push_back(t.year);
    }
    return listed;
}

void ProductionCalendar::dropYears(const std::vector<int>& years) {
    std::vector<int> sorted = years;
    std::sort(sorted.begin(), sorted.end());
    std::erase_if(years_, [&sorted](const TableYear& t) {
        return std::binary_search(sorted.begin(), sorted.end(), t.year);
    });
    reindex();
}

NormSource ProductionCalendar::sourceOf(int year) const {
    const TableYear* t = tableYear(year);
    return !t ? NormSource::GeneralRules : t->provisional ? NormSource::Provisional : NormSource::Decree;
}

DayKind ProductionCalendar::kindOf(Date d) const {
    if (!inModel(d)) {
        return DayKind::Ordinary;
    }
    const int year = yearOf(d);
    if (const TableYear* t = tableYear(year)) {
        return t->days.of(d);
    }
    return RuleYear(year).kinds().of(d);
}

YearKinds ProductionCalendar::yearKinds(int year) const {
    if (const TableYear* t = tableYear(year)) {
        return t->days;
    }
    return RuleYear(year).kinds();
}

std::string ProductionCalendar::noteOf(Date d) const {
    if (!inModel(d)) {
        return {};
    }
    const int year = yearOf(d);
    if (const TableYear* t = tableYear(year)) {
        const auto day = static_cast<std::int16_t>(d.serial - t->days.jan1.serial);
        const auto it = std::lower_bound(t->notes.begin(), t->notes.end(), day,
                                         [](const Note& n, std::int16_t x) { return n.day < x; });
        if (it != t->notes.end() && it->day == day) {
            return it->text;
        }
        return std::string(kindNote(t->days.of(d)));
    }
    return RuleYear(year).noteOf(d);
}

bool ProductionCalendar::isWorkingDay(Date d) const {
    return inModel(d) && dayNormMinutes(kindOf(d), weekdayOf(d)) > 0;
}

int ProductionCalendar::normMinutes(Date first, Date last, int weeklyHours) const {
    first = std::max(first, kFirstDate);
    last = std::min(last, kLastDate);
    int minutes = 0;
    YearKinds kinds;
    for (Date d = first; d <= last; ++d.serial) {
        if (!kinds.contains(d)) {
            kinds = yearKinds(yearOf(d));
        }
        minutes += dayNormMinutes(kinds.of(d), weekdayOf(d), weeklyHours);
    }
    return minutes;
}

} // namespace sutograf
