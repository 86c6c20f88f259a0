#include "window_place.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

namespace sutograf {
namespace {

// The frame is not known before the window is shown: room for the borders and title bar of the usual
// desktops.
constexpr QSize kFrameAllowance(16, 40);

} // namespace

QRect placedOnScreen(const QRect& saved, const QSize& minimum) {
    const QScreen* best = QGuiApplication::primaryScreen();
    qint64 bestArea = 0;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect common =
            screen->availableGeometry() & QRect(saved.topLeft(), saved.size() + kFrameAllowance);
        if (qint64(common.width()) * common.height() > bestArea) {
            best = screen;
            bestArea = qint64(common.width()) * common.height();
        }
    }
    if (best == nullptr) {
        return saved;
    }
    const QRect free = best->availableGeometry();
    const QSize size = saved.size().boundedTo(free.size() - kFrameAllowance).expandedTo(minimum);
    const QSize outer = size + kFrameAllowance;
    const int x = std::max(free.left(), std::min(saved.left(), free.right() + 1 - outer.width()));
    const int y = std::max(free.top(), std::min(saved.top(), free.bottom() + 1 - outer.height()));
    return {QPoint(x, y), size};
}

} // namespace sutograf
