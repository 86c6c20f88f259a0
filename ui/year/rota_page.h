#pragma once

#include <QByteArray>
#include <QRectF>
#include <QString>

#include <optional>

class QPainter;
class QPrinter;

namespace sutograf {

class ProductionCalendar;

// The sheet that hangs on a station's wall: the whole year of all four watches on one A4 landscape
// page (board_page.h). A row per month and a column per day of the month, each day holding the number
// of the watch on duty on a ground of that watch's colour, its weekday above it; holidays, moved days
// off, working weekends and shortened days marked as in the year window (day_marks.h), a holiday's
// watch colour in a bar below its number. The unit's name and the title at the top left, the
// approval block at the top right, the legend below.
struct RotaPage {
    int year; // 100..9999
    float offset;
    const ProductionCalendar* calendar;
    QString unit; // the unit's name; empty: none is printed
};

// "График дежурств караулов на 2027 год"
QString rotaPageTitle(int year);

// Draws the page into `page`, boardPage() in the painter's units.
void paintRotaPage(QPainter& p, const QRectF& page, const RotaPage& content);

// The page as the bytes of a one-page PDF; nullopt when it could not be drawn.
std::optional<QByteArray> rotaPagePdf(const RotaPage& content);

// The page on a printer. False when the printer would not start.
bool printRotaPage(QPrinter& printer, const RotaPage& content);

} // namespace sutograf
