#include "year_sheet.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

#include <chrono>
#include <cmath>
#include <functional>
#include <vector>

#include "colours.h"
#include "fonts.h"
#include "month_names.h"
#include "rota.h"

namespace sutograf {
namespace {

constexpr int kColumns = 4, kRows = 3; // months across and down
constexpr int kWeekRows = 6;           // a month spans at most six Monday-first weeks

const QColor kHolidayRed(220, 0, 0);
const QColor kHolidayTint(255, 222, 222);
const QColor kDayOffTint(225, 225, 225);
const QColor kDayOffGrey(120, 120, 120);
const QColor kTodayRed(255, 0, 0);
const QColor kWeekdayBlue(0, 0, 255), kWeekendRed(255, 0, 0); // as the main window's weekday headers
const char* const kWeekdayShort[7] = {"Пн", "Вт", "Ср", "Чт", "Пт", "Сб", "Вс"};

double luminance(const QColor& c) {
    const auto channel = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

// Yellow on white cannot be read: a light number gets a dark shadow one step down and right, and
// keeps its own colour on top.
void drawNumber(QPainter& p, const QRectF& cell, const QString& text, const QColor& colour) {
    if (luminance(colour) >= 0.6) {
        const double step = std::max(1.0, cell.height() / 18);
        p.setPen(QColor(110, 110, 110));
        p.drawText(cell.translated(step, step), Qt::AlignCenter, text);
    }
    p.setPen(colour);
    p.drawText(cell, Qt::AlignCenter, text);
}

// A black number on a filled day is edged in white, so that it still stands out where a black and
// white printer turns the fill grey. The edge is the number drawn in white a step off each way: far
// cheaper than stroking its outline, and the same to the eye at these sizes.
void drawNumberOnFill(QPainter& p, const QRectF& cell, const QString& text, const QColor& fill) {
    const QColor colour = readableTextOn(fill);
    if (colour == QColor(Qt::black)) {
        const double step = std::max(0.75, cell.height() / 22);
        p.setPen(Qt::white);
        for (const QPointF& off :
             {QPointF(step, 0), QPointF(-step, 0), QPointF(0, step), QPointF(0, -step)}) {
            p.drawText(cell.translated(off), Qt::AlignCenter, text);
        }
    }
    p.setPen(colour);
    p.drawText(cell, Qt::AlignCenter, text);
}

// A corner for a non-working or transferred day (red: holiday, grey: day off moved from a holiday,
// black: weekend day made a working day) and a dot for a day an hour shorter; each ringed in white,
// so that it shows on any fill, the red watch's included.
void paintMark(QPainter& p, const QRectF& box, DayKind kind, bool weekend) {
    const double mark = box.height() / 3;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const bool workingWeekend = weekend && (kind == DayKind::Workday || kind == DayKind::Short);
    if (kind == DayKind::Holiday || kind == DayKind::DayOff || workingWeekend) {
        QPainterPath corner;
        corner.moveTo(box.topRight());
        corner.lineTo(box.topRight() + QPointF(-mark, 0));
        corner.lineTo(box.topRight() + QPointF(0, mark));
        corner.closeSubpath();
        p.setPen(QPen(Qt::white, mark / 5));
        p.setBrush(kind == DayKind::Holiday  ? kHolidayRed
                   : kind == DayKind::DayOff ? kDayOffGrey
                                             : QColor(Qt::black));
        p.drawPath(corner);
    }
    if (kind == DayKind::Short) {
        p.setPen(QPen(Qt::white, mark / 6));
        p.setBrush(Qt::black);
        p.drawEllipse(QPointF(box.right() - mark / 2, box.bottom() - mark / 2), mark / 2.5, mark / 2.5);
    }
    p.restore();
}

// On a holiday the number is red; the watch on duty shows as a bar in its colour below it.
void paintWatchBar(QPainter& p, const QRectF& box, const QColor& colour) {
    const double h = std::max(2.0, box.height() / 9);
    const QRectF bar(box.center().x() - box.width() / 4, box.bottom() - h - box.height() / 14,
                     box.width() / 2, h);
    p.fillRect(bar, colour);
    if (luminance(colour) >= 0.6) {
        p.setPen(QPen(QColor(110, 110, 110), 0));
        p.setBrush(Qt::NoBrush);
        p.drawRect(bar);
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
    double titleH;

    // Top-left of month m (0..11).
    QPointF blockOrigin(int m) const {
        return {area.left() + (m % kColumns) * blockW, area.top() + (m / kColumns) * blockH};
    }
    QRectF cell(int m, int row, int column) const { // row 0: weekday names; 1..6: weeks
        const QPointF o = blockOrigin(m);
        return {o.x() + cellW * (column + 0.5), o.y() + titleH + row * cellH, cellW, cellH};
    }
};

QColor readableTextOn(const QColor& fill) {
    const double l = luminance(fill);
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
    l.cellW = l.blockW / 8; // seven days and half a cell of margin on each side
    l.cellH = l.blockH / (kWeekRows + 1 + 1.6);
    l.titleH = l.cellH * 1.4;
    return l;
}

void YearSheet::paintMonths(QPainter& p, const QRectF& area) const {
    const Layout l = layoutFor(area);
    const QFont titleFont = pixelSizedFont(l.cellH * 0.7, true);
    const QFont headerFont = pixelSizedFont(l.cellH * 0.5, false);
    const QFont dayFont = pixelSizedFont(l.cellH * 0.58, true);
    for (int m = 0; m < 12; ++m) {
        const QPointF o = l.blockOrigin(m);
        p.setFont(titleFont);
        p.setPen(Qt::black);
        p.drawText(QRectF(o.x(), o.y(), l.blockW, l.titleH), Qt::AlignCenter, monthName(m + 1));
        p.setFont(headerFont);
        for (int c = 0; c < 7; ++c) {
            p.setPen(c < 5 ? kWeekdayBlue : kWeekendRed);
            p.drawText(l.cell(m, 0, c), Qt::AlignCenter, QString::fromUtf8(kWeekdayShort[c]));
        }
        p.setFont(dayFont);
        const Date first = *dateOf(year_, m + 1, 1);
        const int lead = weekdayOf(first) - 1;
        const int days = daysInMonth(year_, m + 1);
        for (int i = 0; i < days; ++i) {
            const int slot = lead + i;
            paintDay(p, l.cell(m, 1 + slot / 7, slot % 7), Date{first.serial + i}, i + 1);
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
        p.drawRect(box);
        drawNumberOnFill(p, box, number, fill);
    } else if (kind == DayKind::Holiday) {
        p.fillRect(box, kHolidayTint);
        drawNumber(p, box, number, kHolidayRed);
        if (watch) {
            paintWatchBar(p, box, watchColour(*watch));
        }
    } else {
        if (kind == DayKind::DayOff) {
            p.fillRect(box, kDayOffTint);
        }
        drawNumber(p, box, number, watch ? watchColour(*watch) : QColor(Qt::black));
    }
    paintMark(p, box, kind, weekdayOf(d) >= 6);
    if (d == today_) {
        paintTodayFrame(p, cell);
    }
}

void YearSheet::paintLegend(QPainter& p, const QRectF& area) const {
    struct Item {
        QString text;
        std::function<void(const QRectF&)> sample;
    };
    const double h = area.height();
    const auto blankWith = [&p](DayKind kind, bool weekend) {
        return [&p, kind, weekend](const QRectF& r) {
            p.setPen(QPen(Qt::gray, 0));
            p.setBrush(kind == DayKind::Holiday  ? kHolidayTint
                       : kind == DayKind::DayOff ? kDayOffTint
                                                 : QColor(Qt::white));
            p.drawRect(r);
            paintMark(p, r, kind, weekend);
        };
    };
    std::vector<Item> items = {
        {QStringLiteral("дежурство %1 караула").arg(watch_),
         [&](const QRectF& r) {
             p.fillRect(r, watchColour(watch_));
             p.setPen(QPen(Qt::black, std::max(1.0, h / 14)));
             p.drawRect(r);
         }},
        {QStringLiteral("праздник"), blankWith(DayKind::Holiday, false)},
        {QStringLiteral("выходной по переносу"), blankWith(DayKind::DayOff, false)},
        {QStringLiteral("рабочий по переносу"), blankWith(DayKind::Workday, true)},
        {QStringLiteral("на час короче"), blankWith(DayKind::Short, false)},
    };
    if (today_ && yearOf(*today_) == year_) {
        items.push_back({QStringLiteral("сегодня"), [&](const QRectF& r) { paintTodayFrame(p, r); }});
    }
    // The type shrinks rather than the legend running off its area.
    QFont font = pixelSizedFont(h * 0.55, false);
    const auto widthAt = [&](const QFont& f) {
        double w = 0;
        for (const Item& item : items) {
            w += h * 1.1 + h * 0.3 + QFontMetricsF(f).horizontalAdvance(item.text) + h * 0.8;
        }
        return w;
    };
    if (const double w = widthAt(font); w > area.width()) {
        font = pixelSizedFont(h * 0.55 * area.width() / w, false);
    }
    p.setFont(font);
    double x = area.left();
    for (const Item& item : items) {
        const QRectF sample(x, area.top() + h * 0.1, h * 1.1, h * 0.8);
        p.save();
        item.sample(sample);
        p.restore();
        x += sample.width() + h * 0.3;
        const double w = QFontMetricsF(font).horizontalAdvance(item.text);
        p.setPen(Qt::black);
        p.drawText(QRectF(x, area.top(), w + 1, h), Qt::AlignLeft | Qt::AlignVCenter, item.text);
        x += w + h * 0.8;
    }
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
    const QPointF o = l.blockOrigin(m);
    const double column = (pos.x() - o.x()) / l.cellW - 0.5;
    const double row = (pos.y() - o.y() - l.titleH) / l.cellH - 1;
    if (column < 0 || column >= 7 || row < 0 || row >= kWeekRows) {
        return std::nullopt;
    }
    const Date first = *dateOf(year_, m + 1, 1);
    const int i = static_cast<int>(row) * 7 + static_cast<int>(column) - (weekdayOf(first) - 1);
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
