#include "year_sheet.h"

#include <QFont>
#include <QPainter>

#include <algorithm>
#include <vector>

#include "colours.h"
#include "day_marks.h"
#include "fonts.h"
#include "legend.h"
#include "month_names.h"
#include "rota.h"

namespace sutograf {
namespace {

constexpr int kColumns = 4, kRows = 3; // months across and down
constexpr int kWeekRows = 6;           // a month spans at most six Monday-first weeks
// A month's block, in cells: seven days and a sixth of a cell of margin each side across; down, the
// month's name, the weekday names, six weeks and a gap.
constexpr double kBlockCells = 7.35;
constexpr double kTitleRows = 1.25, kHeaderRows = 0.8, kGapRows = 0.3;

const QColor kTodayRed(255, 0, 0);
const QColor kEdgeGrey(90, 90, 90);
const QColor kWeekdayBlue(0, 0, 255), kWeekendRed(255, 0, 0); // as the main window's weekday headers
const char* const kWeekdayShort[7] = {"Пн", "Вт", "Ср", "Чт", "Пт", "Сб", "Вс"};

// A number on the fill of a duty day: black edged in white, or white, whichever reads better; the edge
// keeps it readable where a black and white printer turns the fill grey.
void drawNumberOnFill(QPainter& p, const QRectF& box, const QString& text, const QColor& fill) {
    const QColor colour = readableTextOn(fill);
    drawDayNumber(p, box, text, colour, Qt::white, colour == QColor(Qt::black) ? box.height() / 22 : 0);
}

// A number in a watch's colour on white; the yellow one edged in grey, so it does not vanish on
// paper or a pale screen.
void drawWatchNumber(QPainter& p, const QRectF& box, const QString& text, const QColor& colour) {
    drawDayNumber(p, box, text, colour, kEdgeGrey, isLightColour(colour) ? box.height() / 26 : 0);
}

// On a holiday the number is green; the watch on duty shows as a bar in its colour below it.
void paintWatchBar(QPainter& p, const QRectF& box, const QColor& colour) {
    const double h = std::max(2.0, box.height() / 9);
    const QRectF bar(box.center().x() - box.width() / 4, box.bottom() - h - box.height() / 14,
                     box.width() / 2, h);
    p.fillRect(bar, colour);
    p.setPen(QPen(isLightColour(colour) ? kEdgeGrey : Qt::white, 0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(bar);
}

void paintHoliday(QPainter& p, const QRectF& box, const QString& number, std::optional<int> watch) {
    paintHolidayGround(p, box);
    drawDayNumber(p, box, number, kHolidayGreen, Qt::white, box.height() / 20);
    if (watch) {
        paintWatchBar(p, box, watchColour(*watch));
    }
}

void paintTodayFrame(QPainter& p, const QRectF& cell) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kTodayRed, std::max(2.0, cell.height() / 8)));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(cell.adjusted(0.5, 0.5, -0.5, -0.5), cell.height() / 6, cell.height() / 6);
    p.restore();
}

} // namespace

struct YearSheet::Layout {
    QRectF area;
    double blockW, blockH; // one month
    double cellW, cellH;

    // Top-left of month m (0..11).
    QPointF blockOrigin(int m) const {
        return {area.left() + (m % kColumns) * blockW, area.top() + (m / kColumns) * blockH};
    }
    double left(int m, int column) const {
        return blockOrigin(m).x() + cellW * ((kBlockCells - 7) / 2 + column);
    }
    QRectF title(int m) const { return {blockOrigin(m), QSizeF(blockW, cellH * kTitleRows)}; }
    QRectF header(int m, int column) const {
        return {left(m, column), blockOrigin(m).y() + cellH * kTitleRows, cellW, cellH * kHeaderRows};
    }
    QRectF cell(int m, int week, int column) const { // week 0..5
        return {left(m, column), blockOrigin(m).y() + cellH * (kTitleRows + kHeaderRows + week), cellW,
                cellH};
    }
};

QColor readableTextOn(const QColor& fill) {
    const double l = relativeLuminance(fill);
    return (l + 0.05) / 0.05 >= 1.05 / (l + 0.05) ? QColor(Qt::black) : QColor(Qt::white);
}

YearSheet::YearSheet(int year, int watch, float offset, std::optional<Date> today,
                     const ProductionCalendar& calendar)
    : year_(year), watch_(watch), offset_(offset), today_(today), calendar_(&calendar),
      kinds_(calendar.yearKinds(year)) {}

YearSheet::Layout YearSheet::layoutFor(const QRectF& area) const {
    Layout l;
    l.area = area;
    l.blockW = area.width() / kColumns;
    l.blockH = area.height() / kRows;
    l.cellW = l.blockW / kBlockCells;
    l.cellH = l.blockH / (kTitleRows + kHeaderRows + kWeekRows + kGapRows);
    return l;
}

void YearSheet::paintMonths(QPainter& p, const QRectF& area) const {
    const Layout l = layoutFor(area);
    const QFont titleFont = pixelSizedFont(l.cellH * 0.72, true);
    const QFont headerFont = pixelSizedFont(std::min(l.cellH * kHeaderRows * 0.7, l.cellW * 0.45), false);
    // Two digits in bold take about 1.1 of the type's size across.
    const QFont dayFont = pixelSizedFont(std::min(l.cellH * 0.62, l.cellW * 0.7), true);
    for (int m = 0; m < 12; ++m) {
        p.setFont(titleFont);
        p.setPen(Qt::black);
        p.drawText(l.title(m), Qt::AlignCenter | Qt::TextDontClip, monthName(m + 1));
        p.setFont(headerFont);
        for (int c = 0; c < 7; ++c) {
            p.setPen(c < 5 ? kWeekdayBlue : kWeekendRed);
            p.drawText(l.header(m, c), Qt::AlignCenter | Qt::TextDontClip,
                       QString::fromUtf8(kWeekdayShort[c]));
        }
        p.setFont(dayFont);
        const Date first = *dateOf(year_, m + 1, 1);
        const int lead = weekdayOf(first) - 1;
        const int days = daysInMonth(year_, m + 1);
        for (int i = 0; i < days; ++i) {
            const int slot = lead + i;
            paintDay(p, l.cell(m, slot / 7, slot % 7), Date{first.serial + i}, i + 1);
        }
    }
}

void YearSheet::paintDay(QPainter& p, const QRectF& cell, Date d, int dayOfMonth) const {
    const auto watch = watchOn(d, offset_);
    const DayKind kind = kinds_.of(d);
    const QRectF box = cell.adjusted(1, 1, -1, -1);
    const QString number = QString::number(dayOfMonth);
    if (watch && *watch == watch_) {
        const QColor fill = watchColour(*watch);
        p.fillRect(box, fill);
        p.setPen(QPen(Qt::black, std::max(1.0, cell.height() / 14)));
        p.setBrush(Qt::NoBrush);
        p.drawRect(box);
        drawNumberOnFill(p, box, number, fill);
    } else if (kind == DayKind::Holiday) {
        paintHoliday(p, box, number, watch);
    } else {
        if (kind == DayKind::DayOff) {
            p.fillRect(box, kDayOffGround);
        }
        drawWatchNumber(p, box, number, watch ? watchColour(*watch) : QColor(Qt::black));
    }
    paintDayMark(p, box, kind, weekdayOf(d) >= 6);
    if (d == today_) {
        paintTodayFrame(p, cell);
    }
}

void YearSheet::paintLegend(QPainter& p, const QRectF& area, double fontSize) const {
    const auto dayWith = [](DayKind kind, bool weekend) {
        return [kind, weekend](QPainter& p, const QRectF& r) {
            if (kind == DayKind::DayOff) {
                p.fillRect(r, kDayOffGround);
            }
            p.setPen(QPen(Qt::gray, 0));
            p.setBrush(Qt::NoBrush);
            p.drawRect(r);
            paintDayMark(p, r, kind, weekend);
        };
    };
    // A holiday's sample shows a watch other than the chosen one, as a holiday off duty does.
    const int other = watch_ % 4 + 1;
    std::vector<LegendItem> items = {
        {QStringLiteral("дежурство %1 караула").arg(watch_),
         [this](QPainter& p, const QRectF& r) {
             p.fillRect(r, watchColour(watch_));
             p.setPen(QPen(Qt::black, std::max(1.0, r.height() / 14)));
             p.drawRect(r);
         }},
        {QStringLiteral("число дня — цветом караула на дежурстве"),
         [](QPainter& p, const QRectF& r) {
             p.setFont(pixelSizedFont(r.height() * 0.8, true));
             for (int w = 1; w <= 4; ++w) {
                 const QRectF box(r.left() + r.width() * (w - 1) / 4, r.top(), r.width() / 4, r.height());
                 drawWatchNumber(p, box, QString::number(w), watchColour(w));
             }
         },
         3.2},
        {QStringLiteral("праздник; полоска — цвет караула на дежурстве"),
         [other](QPainter& p, const QRectF& r) {
             p.setFont(pixelSizedFont(r.height() * 0.7, true));
             paintHoliday(p, r, QStringLiteral("8"), other);
             paintDayMark(p, r, DayKind::Holiday, false);
         }},
        {QStringLiteral("выходной по переносу"), dayWith(DayKind::DayOff, false)},
        {QStringLiteral("рабочий по переносу"), dayWith(DayKind::Workday, true)},
        {QStringLiteral("на час короче"), dayWith(DayKind::Short, false)},
    };
    if (today_ && yearOf(*today_) == year_) {
        items.push_back(
            {QStringLiteral("сегодня"), [](QPainter& p, const QRectF& r) { paintTodayFrame(p, r); }});
    }
    sutograf::paintLegend(p, area, items, fontSize);
}

std::optional<Date> YearSheet::dateAt(const QRectF& area, QPointF pos) const {
    const Layout l = layoutFor(area);
    if (!area.contains(pos)) {
        return std::nullopt;
    }
    const int m = static_cast<int>((pos.y() - area.top()) / l.blockH) * kColumns +
                  static_cast<int>((pos.x() - area.left()) / l.blockW);
    if (m < 0 || m > 11) {
        return std::nullopt;
    }
    const double column = (pos.x() - l.left(m, 0)) / l.cellW;
    const double week = (pos.y() - l.cell(m, 0, 0).top()) / l.cellH;
    if (column < 0 || column >= 7 || week < 0 || week >= kWeekRows) {
        return std::nullopt;
    }
    const Date first = *dateOf(year_, m + 1, 1);
    const int i = static_cast<int>(week) * 7 + static_cast<int>(column) - (weekdayOf(first) - 1);
    if (i < 0 || i >= daysInMonth(year_, m + 1)) {
        return std::nullopt;
    }
    return Date{first.serial + i};
}

QString YearSheet::tooltipOf(Date d) const {
    QString tip = QString::fromStdString(shortDateText(d));
    if (const auto watch = watchOn(d, offset_)) {
        tip += QString::fromUtf8(TablitsaKaraulov[*watch - 1].suffix.data(),
                                 static_cast<qsizetype>(TablitsaKaraulov[*watch - 1].suffix.size()));
    }
    if (const std::string note = calendar_->noteOf(d); !note.empty()) {
        tip += QLatin1Char('\n') + QString::fromStdString(note);
    }
    return tip;
}

} // namespace sutograf
