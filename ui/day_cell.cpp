#include "day_cell.h"

#include <QPainter>

#include "colours.h"
#include "fonts.h"
#include "rota.h"

namespace sutograf {
namespace {

const QColor kCellBackground(0, 255, 255); // cyan, 0xFFFF00

} // namespace

DayCell::DayCell(QWidget* parent) : QWidget(parent), caption_(QStringLiteral("1")), foreColor_(kWindowText) {
    setFont(layoutFont("Arial", 8.25, true));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void DayCell::setCaption(const QString& caption) {
    if (caption != caption_) {
        caption_ = caption;
        update();
    }
}

void DayCell::setForeColor(std::uint32_t value) {
    if (value != foreColor_) {
        foreColor_ = value;
        update();
    }
}

void DayCell::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), kCellBackground);
    p.setPen(Qt::black);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    p.setPen(layoutColour(foreColor_, palette()));
    // Centred across, at the top like any single-line label caption.
    p.drawText(rect().adjusted(1, 1, -1, -1), Qt::AlignHCenter | Qt::AlignTop, caption_);
}

} // namespace sutograf
