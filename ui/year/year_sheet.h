#pragma once

#include <QColor>
#include <QRectF>
#include <QString>

#include <optional>
#include <vector>

#include "date.h"
#include "people.h"
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
//
// A person's year shows their days instead of a watch's: their duties filled with the colour of the
// watch they belong to that day, a duty they took the same way with a black corner at the bottom left,
// a duty they gave away as an off day crossed out, and an absence hatched in brown with the code's
// letters in place of the number. Each reads by its shape in black and white too.
class YearSheet {
public:
    // Precondition: 100 <= year <= 9999, 1 <= watch <= 4. The calendar must outlive the sheet.
    // Without today (a sheet for the station board) no day is framed.
    YearSheet(int year, int watch, float offset, std::optional<Date> today,
              const ProductionCalendar& calendar);
    // A person's year: days holds one entry a day from 1 January to 31 December (personDays); watch is
    // the one the legend shows for their duties.
    YearSheet(int year, int watch, float offset, std::optional<Date> today,
              const ProductionCalendar& calendar, std::vector<PersonDay> days);

    int year() const { return year_; }
    bool isPersons() const { return !days_.empty(); }

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
    void paintPersonsDay(QPainter& p, const QRectF& box, Date d, const QString& number) const;
    // The day's number as any day that is not a duty of the sheet's shows it.
    void paintOffDay(QPainter& p, const QRectF& box, Date d, const QString& number) const;

    int year_;
    int watch_;
    float offset_;
    std::optional<Date> today_;
    const ProductionCalendar* calendar_;
    YearKinds kinds_;
    std::vector<PersonDay> days_; // a person's year, from 1 January; empty for a watch's
};

// Black or white, whichever reads better on the fill (by WCAG contrast).
QColor readableTextOn(const QColor& fill);

// The marks of a person's days, for whatever looks at them: the line crossing out a duty given away,
// and the hatch of an absence. Neither is any watch's colour nor grey, and both are dark in grey.
inline const QColor kGivenAwayCross(150, 0, 0);
inline const QColor kAbsenceHatch(128, 80, 32);

} // namespace sutograf
