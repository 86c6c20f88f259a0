#include "year_sheet.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

#include "colours.h"
#include "month_names.h"
#include "rota.h"

namespace sutograf {
namespace {

constexpr int kColumns = 4, kRows = 3; // months across and down
constexpr int kWeekRows = 6;           // a month spans at most six Monday-first weeks

const QColor kHolidayRed(220, 0, 0);
const QColor kHolidayTint(255, 222, 222);
const QColor kTodayRed(255, 0, 0);
const QColor kWeekdayBlue(0, 0, 255), kWeekendRed(255, 0, 0); // as the main window's weekday headers
const char* const kWeekdayShort[7] = {"Пн", "Вт", "Ср", "Чт", "Пт", "Сб", "Вс"};

double luminance(const QColor& c) {
    const auto channel = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

QFont sheetFont(double pixelSize, bool bold) {
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(std::max(1, static_cast<int>(std::lround(pixelSize))));
    f.setBold(bold);
    return f;
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

// A red corner for a holiday, a dot for a shortened day; each ringed in white, so that it shows on
// any fill, the red watch's included.
void paintMark(QPainter& p, const QRectF& box, DayKind kind) {
    const double mark = box.height() / 3;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    if (kind == DayKind::Holiday) {
        QPainterPath corner;
        corner.moveTo(box.topRight());
        corner.lineTo(box.topRight() + QPointF(-mark, 0));
        corner.lineTo(box.topRight() + QPointF(0, mark));
        corner.closeSubpath();
        p.setPen(QPen(Qt::white, mark / 5));
        p.setBrush(kHolidayRed);
        p.drawPath(corner);
    } else if (kind == DayKind::Short) {
        p.setPen(QPen(Qt::white, mark / 6));
        p.setBrush(Qt::black);
        p.drawEllipse(QPointF(box.right() - mark / 2, box.bottom() - mark / 2), mark / 2.5, mark / 2.5);
    }
    p.restore();
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

YearSheet::YearSheet(int year, int watch, float offset, Date today, const ProductionCalendar& calendar)
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
    const QFont titleFont = sheetFont(l.cellH * 0.7, true);
    const QFont headerFont = sheetFont(l.cellH * 0.5, false);
    const QFont dayFont = sheetFont(l.cellH * 0.58, true);
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
        const int days = (m == 11 ? dateOf(year_ + 1, 1, 1) : dateOf(year_, m + 2, 1))->serial - first.serial;
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
        p.setPen(readableTextOn(fill));
        p.drawText(box, Qt::AlignCenter, number);
    } else {
        if (kind == DayKind::Holiday) { // tinted, so that it is not taken for a red watch's day
            p.fillRect(box, kHolidayTint);
        }
        const QColor colour = kind == DayKind::Holiday ? kHolidayRed
                              : watch                  ? watchColour(*watch)
                                                       : QColor(Qt::black);
        drawNumber(p, box, number, colour);
    }
    paintMark(p, box, kind);
    if (d == today_) {
        paintTodayFrame(p, cell);
    }
}

void YearSheet::paintLegend(QPainter& p, const QRectF& area) const {
    const double h = area.height();
    const QFont font = sheetFont(h * 0.55, false);
    p.setFont(font);
    double x = area.left();
    const auto item = [&](auto drawSample, const QString& text) {
        const QRectF sample(x, area.top() + h * 0.1, h * 1.1, h * 0.8);
        p.save();
        drawSample(sample);
        p.restore();
        x += sample.width() + h * 0.3;
        p.setPen(Qt::black);
        const double w = QFontMetricsF(font).horizontalAdvance(text);
        p.drawText(QRectF(x, area.top(), w + 1, h), Qt::AlignLeft | Qt::AlignVCenter, text);
        x += w + h;
    };
    const QColor fill = watchColour(watch_);
    item(
        [&](const QRectF& r) {
            p.fillRect(r, fill);
            p.setPen(QPen(Qt::black, std::max(1.0, h / 14)));
            p.drawRect(r);
        },
        QStringLiteral("дежурство %1 караула").arg(watch_));
    const auto blank = [&](const QRectF& r) {
        p.setPen(QPen(Qt::gray, 0));
        p.setBrush(Qt::white);
        p.drawRect(r);
    };
    item(
        [&](const QRectF& r) {
            blank(r);
            paintMark(p, r, DayKind::Holiday);
        },
        QStringLiteral("праздник"));
    item(
        [&](const QRectF& r) {
            blank(r);
            paintMark(p, r, DayKind::Short);
        },
        QStringLiteral("сокращённый день"));
    item([&](const QRectF& r) { paintTodayFrame(p, r); }, QStringLiteral("сегодня"));
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
    const Date d{first.serial + i};
    if (i < 0 || monthOf(d) != m + 1) {
        return std::nullopt;
    }
    return d;
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
