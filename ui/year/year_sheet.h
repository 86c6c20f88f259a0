#pragma once

#include <QColor>
#include <QRectF>
#include <QString>

#include <optional>

#include "date.h"
#include "production_calendar.h"

class QPainter;

namespace sutograf {

// One year of the rota as a sheet of twelve months, four across and three down, Monday first: every
// day's number in the colour of the watch on duty (a light one edged in grey), the chosen watch's duty
// days filled with its colour (and boxed, so they still stand out in black and white), holidays with
// the marks of day_marks.h, a green number and a bar in the colour of the watch on duty below it, days
// off and working days moved by a decree with their corners, shortened days with a dot, today in a red
// frame. The same drawing serves the window and the printed page: sizes follow the area given, fonts
// are sized in the painter's own units.
class YearSheet {
public:
    // Precondition: 100 <= year <= 9999, 1 <= watch <= 4. The calendar must outlive the sheet.
    // Without today (a sheet for the station board) no day is framed.
    YearSheet(int year, int watch, float offset, std::optional<Date> today,
              const ProductionCalendar& calendar);

    int year() const { return year_; }

    void paintMonths(QPainter& p, const QRectF& area) const;
    // What the fills, colours and marks mean, in as many rows as area holds; fontSize is the largest
    // type, in the painter's units, made smaller only where the legend would not fit.
    void paintLegend(QPainter& p, const QRectF& area, double fontSize) const;

    // The day drawn at pos when the months fill area, if any.
    std::optional<Date> dateAt(const QRectF& area, QPointF pos) const;
    // "08.03.2027, 3 караул" and, on a special day, its name on a second line.
    QString tooltipOf(Date d) const;

private:
    struct Layout;
    Layout layoutFor(const QRectF& area) const;
    void paintDay(QPainter& p, const QRectF& cell, Date d, int dayOfMonth) const;

    int year_;
    int watch_;
    float offset_;
    std::optional<Date> today_;
    const ProductionCalendar* calendar_;
    YearKinds kinds_;
};

// Black or white, whichever reads better on the fill (by WCAG contrast).
QColor readableTextOn(const QColor& fill);

} // namespace sutograf
