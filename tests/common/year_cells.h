#pragma once

// The year window's months as a user reads them off the screen, worked out from the layout they see,
// not from the program's own hit-testing: four months across and three down, each month's block seven
// days and a margin of a sixth of a day each side across; down, the month's name (1.25 of a week's
// height), the weekdays (0.8), six Monday-first weeks and a gap (0.3). The months take the view but for
// a 4-pixel margin and the legend's 46 pixels at the bottom. And what each day's cell shows of a
// person's year, by its pixels.

#include <QColor>
#include <QRectF>

#include <functional>

#include "date.h"
#include "people.h"

namespace year_cells {

inline QRectF monthsArea(const QRectF& view) { return view.adjusted(4, 4, -4, -4 - 46); }

inline QRectF cellOf(const QRectF& area, sutograf::Date d) {
    const double blockW = area.width() / 4, blockH = area.height() / 3;
    const double cellW = blockW / 7.35, cellH = blockH / (1.25 + 0.8 + 6 + 0.3);
    const int m = sutograf::monthOf(d) - 1;
    const int lead = sutograf::weekdayOf(*sutograf::dateOf(sutograf::yearOf(d), m + 1, 1)) - 1;
    const int slot = lead + sutograf::dayOf(d) - 1;
    return {area.left() + (m % 4) * blockW + cellW * (0.175 + slot % 7),
            area.top() + (m / 4) * blockH + cellH * (1.25 + 0.8 + slot / 7), cellW, cellH};
}

// What a person's day looks like: filled with a watch's colour, crossed out, hatched, or none of these.
enum class Look { Off, Duty, GivenAway, Absent };

inline const char* lookName(Look l) {
    const char* const names[] = {"an ordinary day", "a duty", "a duty given away", "an absence"};
    return names[static_cast<int>(l)];
}

// What the core says the day should look like; watch: the one whose colour fills it.
inline Look expectedLook(const sutograf::PersonDay& d) {
    switch (d.status) {
    case sutograf::DayStatus::Duty:
    case sutograf::DayStatus::DutyTaken:
        return Look::Duty;
    case sutograf::DayStatus::DutyGivenAway:
        return Look::GivenAway;
    case sutograf::DayStatus::Absent:
        return Look::Absent;
    case sutograf::DayStatus::Off:
        break;
    }
    return Look::Off;
}

// The watches' colours, the cross of a duty given away and the hatch of an absence, exactly.
inline const QColor kWatches[4] = {QColor(255, 0, 255), QColor(0, 0, 255), QColor(255, 0, 0),
                                   QColor(255, 255, 0)};
inline const QColor kCross(150, 0, 0), kHatch(128, 80, 32);

// A fill shows above the day's number, in a band clear of the box, today's frame and the marks at the
// corners: more than half of it in the watch's colour is a fill. A score of pixels of the cross or the
// hatch anywhere inside the box is a mark.
inline Look lookAt(const std::function<QColor(int, int)>& pixel, const QRectF& cell, int watch) {
    const auto count = [&](const QRect& r, const QColor& colour) {
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y) {
            for (int x = r.left(); x <= r.right(); ++x) {
                n += pixel(x, y) == colour;
            }
        }
        return n;
    };
    const QRect band =
        QRectF(cell.left() + cell.width() * 0.2, cell.top() + 3, cell.width() * 0.4, cell.height() * 0.25 - 3)
            .toAlignedRect();
    if (watch >= 1 && watch <= 4 && 2 * count(band, kWatches[watch - 1]) > band.width() * band.height()) {
        return Look::Duty;
    }
    const QRect inner = cell.toAlignedRect().adjusted(2, 2, -2, -2);
    return count(inner, kCross) > 12 ? Look::GivenAway : count(inner, kHatch) > 12 ? Look::Absent : Look::Off;
}

} // namespace year_cells
