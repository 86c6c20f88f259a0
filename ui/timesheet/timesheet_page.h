#pragma once

#include <QByteArray>
#include <QRectF>
#include <QString>

#include <optional>
#include <vector>

#include "month_days.h"
#include "timesheet.h"

class QPainter;
class QPrinter;

namespace sutograf {

// The timesheet on A4 landscape pages (board_page.h) in the layout of the T-13 form: the unit's name,
// the title, the watch and the month on every page; a block of four lines per person (the codes and
// the hours of days 1-15, then of days 16-31, a day that the month lacks crossed out) beside their
// name and personnel number and their totals; on the last page what the codes mean, how the hours
// were counted, and the form's three signature lines. As many pages as the people need.
struct TimesheetPage {
    QString unit; // empty: none is printed
    QString title; // "Табель учёта рабочего времени за март 2026 г. — 3 караул"
    QString period; // "за март 2026 г."
    int watch = 0;
    const Timesheet* sheet = nullptr; // must outlive the page
    std::vector<MonthDay> days;       // the month's, without today
    QString rules;                    // how the hours and the norm were counted
};

int timesheetPageCount(const TimesheetPage& content);
// Page `index` into `page`, boardPage() in the painter's units.
void paintTimesheetPage(QPainter& p, const QRectF& page, const TimesheetPage& content, int index);

std::optional<QByteArray> timesheetPdf(const TimesheetPage& content);
bool printTimesheet(QPrinter& printer, const TimesheetPage& content);

} // namespace sutograf
