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

// One A4 landscape page for the station board: the title, the twelve months, their legend, the
// watch's hours table, and in small type the duty rules and where the norm comes from.
struct YearPage {
    QString title;   // "График дежурств на 2027 год — 3 караул"
    YearSheet sheet; // without today: a sheet for the board is not about one day
    const YearHoursModel* hours;
    QString rules;  // how the hours were counted
    QString source; // where the norm comes from
};

// Draws the page into `page`, a rectangle of kPageSize's proportions in the painter's units.
void paintYearPage(QPainter& p, const QRectF& page, const YearPage& content);
inline const QSizeF kPageSize(1123, 794); // A4 landscape in 96-dpi units

// The page as the bytes of a one-page PDF; nullopt when it could not be drawn.
std::optional<QByteArray> yearPagePdf(const YearPage& content);

// The page on a printer, on the whole sheet of paper with the page's own margins. False when the
// printer would not start.
bool printYearPage(QPrinter& printer, const YearPage& content);

} // namespace sutograf
