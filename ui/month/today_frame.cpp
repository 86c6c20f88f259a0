#include "today_frame.h"

#include <QPainter>

namespace sutograf {
namespace {

constexpr int kBorderWidth = 3;

} // namespace

TodayFrame::TodayFrame(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
}

void TodayFrame::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(255, 0, 0), kBorderWidth));
    p.setBrush(Qt::NoBrush);
    // The whole border lies inside the frame's own square, like the cell it covers.
    const qreal inset = kBorderWidth / 2.0;
    const QRectF box = QRectF(rect()).adjusted(inset, inset, -inset, -inset);
    p.drawRoundedRect(box, 4, 4);
}

} // namespace sutograf
