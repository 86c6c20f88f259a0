#pragma once

// The year window's months as a user reads them off the screen, from the layout they see rather than the
// program's own hit-testing: the view less a 4-pixel margin and the legend's 46 pixels; four months
// across and three down; a month's block seven days and a sixth of a day each side across, and down its
// name (1.25 of a week's height), the weekdays (0.8), six Monday-first weeks and a gap (0.3).

#include <QColor>
#include <QRectF>

#include <functional>

#include "date.h"
#include "people.h"

namespace year_cells {

inline QRectF monthsArea(const QRectF& view) { return view.adjusted(4, 4, -4, -50); }

inline QRectF cellOf(const QRectF& area, sutograf::Date d) {
    using namespace sutograf;
    const double blockW = area.width() / 4, blockH = area.height() / 3;
    const double cellW = blockW / 7.35, cellH = blockH / 8.35;
    const int m = monthOf(d) - 1, slot = weekdayOf(*dateOf(yearOf(d), m + 1, 1)) - 2 + dayOf(d);
    return {area.left() + (m % 4) * blockW + cellW * (0.175 + slot % 7),
            area.top() + (m / 4) * blockH + cellH * (2.05 + slot / 7), cellW, cellH};
}

// A day filled with the colour of the watch of its duty, a duty given away (crossed out), an absence
// (hatched), or none of these; the names of the day statuses, as the core says them.
inline const char* const kLooks[] = {"an ordinary day", "a duty", "a duty given away", "a duty taken",
                                     "an absence"};
inline int expectedLook(const sutograf::PersonDay& d) {
    return d.status == sutograf::DayStatus::DutyTaken ? 1 : static_cast<int>(d.status);
}

// A fill shows above the number, in a band clear of the box, today's frame and the corners' marks: more
// than half of it in the watch's colour. A score of pixels of the cross (150, 0, 0) or the hatch
// (128, 80, 32) inside the box is a mark.
inline int lookAt(const std::function<QColor(int, int)>& pixel, const QRectF& cell, int watch) {
    static const QColor watches[4] = {{255, 0, 255}, {0, 0, 255}, {255, 0, 0}, {255, 255, 0}};
    const auto count = [&](const QRect& r, const QColor& colour) {
        int n = 0;
        for (int i = 0; i < r.width() * r.height(); ++i) {
            n += pixel(r.left() + i % r.width(), r.top() + i / r.width()) == colour;
        }
        return n;
    };
    const QRect band =
        QRectF(cell.left() + cell.width() * 0.2, cell.top() + 3, cell.width() * 0.4, cell.height() * 0.25 - 3)
            .toAlignedRect();
    if (watch >= 1 && watch <= 4 && 2 * count(band, watches[watch - 1]) > band.width() * band.height()) {
        return 1;
    }
    const QRect inner = cell.toAlignedRect().adjusted(2, 2, -2, -2);
    return count(inner, QColor(150, 0, 0)) > 12 ? 2 : count(inner, QColor(128, 80, 32)) > 12 ? 4 : 0;
}

} // namespace year_cells
