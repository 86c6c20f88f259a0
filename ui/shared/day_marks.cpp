#include "day_marks.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <numbers>

namespace sutograf {
namespace {

const QColor kHolidayHatch(70, 160, 70);
const QColor kHolidayTint(232, 246, 232);
const QColor kDayOffGrey(120, 120, 120);

// A printer or a PDF: both are paged devices.
bool onPaper(const QPainter& p) { return dynamic_cast<const QPagedPaintDevice*>(p.device()) != nullptr; }

// A five-pointed star, point up, inside a circle of radius r.
QPainterPath star(QPointF centre, double r) {
    QPainterPath path;
    for (int i = 0; i < 10; ++i) {
        const double angle = -std::numbers::pi / 2 + i * std::numbers::pi / 5;
        const double radius = i % 2 == 0 ? r : r * 0.45;
        const QPointF point = centre + QPointF(radius * std::cos(angle), radius * std::sin(angle));
        if (i == 0) {
            path.moveTo(point);
        } else {
            path.lineTo(point);
        }
    }
    path.closeSubpath();
    return path;
}

} // namespace

double relativeLuminance(const QColor& c) {
    const auto channel = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

bool isLightColour(const QColor& c) { return relativeLuminance(c) >= 0.6; }

void drawDayNumber(QPainter& p, const QRectF& box, const QString& text, const QColor& colour,
                   const QColor& edge, double edgeWidth) {
    const QFontMetricsF metrics(p.font(), p.device());
    const QPointF baseline(box.center().x() - metrics.horizontalAdvance(text) / 2,
                           box.center().y() + (metrics.ascent() - metrics.descent()) / 2);
    if (edgeWidth > 0) {
        if (onPaper(p)) {
            QPainterPath outline;
            outline.addText(baseline, p.font(), text);
            p.save();
            p.setRenderHint(QPainter::Antialiasing);
            p.strokePath(outline, QPen(edge, 2 * edgeWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.restore();
        } else {
            p.setPen(edge);
            for (const QPointF& off : {QPointF(edgeWidth, 0), QPointF(-edgeWidth, 0), QPointF(0, edgeWidth),
                                       QPointF(0, -edgeWidth)}) {
                p.drawText(baseline + off, text);
            }
        }
    }
    p.setPen(colour);
    p.drawText(baseline, text);
}

void paintHolidayGround(QPainter& p, const QRectF& box) {
    p.save();
    p.fillRect(box, kHolidayTint);
    p.setClipRect(box, Qt::IntersectClip);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kHolidayHatch, std::max(box.height() / 20, 1.2)));
    const double step = box.height() / 4;
    for (double x = box.left() - box.height(); x < box.right(); x += step) {
        p.drawLine(QPointF(x, box.bottom()), QPointF(x + box.height(), box.top()));
    }
    p.restore();
}

void paintDayMark(QPainter& p, const QRectF& box, DayKind kind, bool weekend) {
    const double side = std::min(box.width(), box.height()), mark = side / 3;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    if (kind == DayKind::Holiday) {
        const double r = side * 0.24;
        p.setPen(QPen(Qt::white, r / 4));
        p.setBrush(kHolidayGreen);
        p.drawPath(star(box.topRight() + QPointF(-r * 0.9, r * 0.95), r));
    }
    const bool workingWeekend = weekend && (kind == DayKind::Workday || kind == DayKind::Short);
    if (kind == DayKind::DayOff || workingWeekend) {
        QPainterPath corner;
        corner.moveTo(box.topRight());
        corner.lineTo(box.topRight() + QPointF(-mark, 0));
        corner.lineTo(box.topRight() + QPointF(0, mark));
        corner.closeSubpath();
        p.setPen(QPen(Qt::white, mark / 5));
        p.setBrush(kind == DayKind::DayOff ? kDayOffGrey : QColor(Qt::black));
        p.drawPath(corner);
    }
    if (kind == DayKind::Short) {
        p.setPen(QPen(Qt::white, mark / 6));
        p.setBrush(Qt::black);
        p.drawEllipse(QPointF(box.right() - mark / 2, box.bottom() - mark / 2), mark / 2.5, mark / 2.5);
    }
    p.restore();
}

} // namespace sutograf
