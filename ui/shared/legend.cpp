#include "legend.h"

#include <QFontMetricsF>
#include <QPainter>

#include "fonts.h"

namespace sutograf {
namespace {

constexpr double kRowHeight = 1.6; // in sizes of type
constexpr double kSampleGap = 0.4, kItemGap = 1.2;

struct Placed {
    QPointF at; // the sample's top left
    double textWidth;
};

// Where each item goes at type size f, wrapping at area's width; empty when they need more rows than
// area has.
std::vector<Placed> flow(const QPainter& p, const QRectF& area, const std::vector<LegendItem>& items,
                         double f) {
    const QFontMetricsF metrics(pixelSizedFont(f), p.device());
    std::vector<Placed> placed;
    double x = area.left(), y = area.top();
    for (const LegendItem& item : items) {
        const double text = metrics.horizontalAdvance(item.text);
        const double width = (item.sampleWidth + kSampleGap) * f + text;
        if (x > area.left() && x + width > area.right()) {
            x = area.left();
            y += kRowHeight * f;
        }
        if (y + kRowHeight * f > area.bottom() + 1e-6 || x + width > area.right() + 1e-6) {
            return {};
        }
        placed.push_back({QPointF(x, y), text});
        x += width + kItemGap * f;
    }
    return placed;
}

} // namespace

void paintLegend(QPainter& p, const QRectF& area, const std::vector<LegendItem>& items, double fontSize) {
    double f = fontSize;
    std::vector<Placed> placed = flow(p, area, items, f);
    while (placed.empty() && f > fontSize * 0.2) {
        f *= 0.93;
        placed = flow(p, area, items, f);
    }
    if (placed.empty()) {
        return; // no room for a legend at any readable size
    }
    p.setFont(pixelSizedFont(f));
    const double rowH = kRowHeight * f;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const LegendItem& item = items[i];
        const QPointF at = placed[i].at;
        const QRectF sample(at.x(), at.y() + rowH * 0.12, item.sampleWidth * f, rowH * 0.76);
        p.save();
        item.sample(p, sample);
        p.restore();
        p.setPen(Qt::black);
        p.drawText(QRectF(sample.right() + kSampleGap * f, at.y(), placed[i].textWidth, rowH),
                   Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip, item.text);
    }
}

} // namespace sutograf
