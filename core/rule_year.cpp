#include "rule_year.h"

#include <algorithm>

namespace sutograf {
namespace {

constexpr std::string_view kNewYearNote = "Новогодние каникулы";

struct FixedHoliday {
    int month, day;
    std::string_view name;
};
// In date order: days off move in this order, so an earlier holiday takes the nearer Monday.
constexpr std::array<FixedHoliday, 7> kFixedHolidays = {{
    {1, 7, "Рождество Христово"},
    {2, 23, "День защитника Отечества"},
    {3, 8, "Международный женский день"},
    {5, 1, "Праздник Весны и Труда"},
    {5, 9, "День Победы"},
    {6, 12, "День России"},
    {11, 4, "День народного единства"},
}};

bool isWeekend(std::int32_t serial) { return weekdayOf(Date{serial}) >= 6; }

// The name of a holiday of the general rule. Precondition: (month, day) is one.
std::string_view holidayName(int month, int day) {
    for (const FixedHoliday& h : kFixedHolidays) {
        if (h.month == month && h.day == day) {
            return h.name;
        }
    }
    return kNewYearNote;
}

} // namespace

RuleYear::RuleYear(int year) : kinds_(YearKinds::ordinary(year)) {
    static_assert(kMostMoves >= kFixedHolidays.size());
    static constexpr std::array<int, 12> kDaysBefore = {0,   31,  59,  90,  120, 151,
                                                        181, 212, 243, 273, 304, 334};
    const std::int32_t jan1 = kinds_.jan1.serial;
    const auto serialOf = [&](int month, int day) {
        return jan1 + kDaysBefore[month - 1] + (month > 2 ? kinds_.length - 365 : 0) + day - 1;
    };
    std::array<std::int32_t, 14> holidays{}; // 7 new-year days at the most and the 7 others
    std::size_t count = 0;
    const auto addHoliday = [&](int month, int day) {
        holidays[count] = serialOf(month, day);
        set(holidays[count++], DayKind::Holiday);
    };
    for (int day = 1; day <= (year < 2013 ? 5 : 8); ++day) {
        if (day != 7) {
            addHoliday(1, day);
        }
    }
    for (const FixedHoliday& h : kFixedHolidays) {
        addHoliday(h.month, h.day);
    }
    const std::int32_t february1 = serialOf(2, 1);
    for (std::size_t i = 0; i < count; ++i) {
        const std::int32_t h = holidays[i];
        if (h >= february1 && isWeekend(h)) {
            std::int32_t to = h + 1; // 6 November at the latest: still this year
            while (isWeekend(to) || kindOf(to) != DayKind::Ordinary) {
                ++to;
            }
            set(to, DayKind::DayOff);
            moves_[static_cast<std::size_t>(moveCount_++)] = {to, h};
        }
    }
    const auto shortenEve = [&](std::int32_t holiday) {
        const std::int32_t eve = holiday - 1;
        if (eve >= jan1 && !isWeekend(eve) && kindOf(eve) == DayKind::Ordinary) {
            set(eve, DayKind::Short);
        }
    };
    for (std::size_t i = 0; i < count; ++i) {
        shortenEve(holidays[i]);
    }
    shortenEve(jan1 + kinds_.length); // 1 January of the next year is always a holiday
}

std::string RuleYear::noteOf(Date d) const {
    switch (kinds_.of(d)) {
    case DayKind::Holiday:
        return std::string(holidayName(monthOf(d), dayOf(d)));
    case DayKind::DayOff: {
        const auto it = std::find_if(moves_.begin(), moves_.begin() + moveCount_,
                                     [&](const Move& m) { return m.to == d.serial; });
        return "перенос с " + shortDateText(Date{it->from});
    }
    case DayKind::Short:
        return std::string(kShortDayNote);
    default:
        return {};
    }
}

} // namespace sutograf
