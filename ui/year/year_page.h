#pragma once

#include <QByteArray>
#include <QRectF>
#include <QString>

#include <optional>

#include "year_sheet.h"

class QPainter;
class QPrinter;

namespace sutograf {

class YearHoursModel;

// One A4 landscape page for the station board (board_page.h): the unit's name and the title over
// the twelve months at the left; at the right the approval block, the watch's hours table, the duty
// rules and where the norm comes from in small type, and the legend.
struct YearPage {
    QString title;   // "График дежурств на 2027 год — 3 караул"
    YearSheet sheet; // without today: a sheet for the board is not about one day
    const YearHoursModel* hours;
    QString rules;  // how the hours were counted
    QString source; // where the norm comes from
    QString unit;   // the unit's name; empty: none is printed
};

// Draws the page into `page`, boardPage() in the painter's units.
void paintYearPage(QPainter& p, const QRectF& page, const YearPage& content);

// The page as the bytes of a one-page PDF; nullopt when it could not be drawn.
std::optional<QByteArray> yearPagePdf(const YearPage& content);

// The page on a printer. False when the printer would not start.
bool printYearPage(QPrinter& printer, const YearPage& content);

} // namespace sutograf
