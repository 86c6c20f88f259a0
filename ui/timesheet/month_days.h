#pragma once

#include <QRectF>
#include <QString>

#include <optional>
#include <vector>

#include "date.h"
#include "production_calendar.h"

class QPainter;

namespace sutograf {

// A day of the month as the timesheet's day headings show it, on screen and on paper alike.
struct MonthDay {
    Date date;
    DayKind kind = DayKind::Ordinary;
    bool weekend = false;
    std::optional<int> onDuty; // the watch on duty
    bool today = false;
};

// Preconditions: 100 <= year <= 9999, 1 <= month <= 12.
std::vector<MonthDay> monthDays(int year, int month, float offset, const ProductionCalendar& calendar,
                                std::optional<Date> today);

// "05.03.2026, четверг, 3 караул" and the calendar's note of the day on a line of its own.
QString monthDayTooltip(const MonthDay& d, const ProductionCalendar& calendar);

// The day's heading in box, as the year window draws a day: the number on the fill of `watch`'s colour
// (and boxed) on its duty days, a holiday hatched with a green number and a bar in the colour of the
// watch on duty, a day off moved from a holiday on grey, the day-kind marks of day_marks.h, the weekday
// below the number (red on a weekend), today in a red frame. Sizes follow the box.
void paintDayHeading(QPainter& p, const QRectF& box, const MonthDay& d, int watch);

} // namespace sutograf
