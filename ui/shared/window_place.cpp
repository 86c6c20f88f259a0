#include "window_place.h"

#include "sutograf_ini.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QStandardPaths>
#include <QWidget>

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

void placeWindow(QWidget* window, const WindowPlace& kept, const QSize& firstSize) {
    if (kept.geometry.isNull()) {
        window->resize(firstSize);
        return;
    }
    const QRect placed = placedOnScreen(kept.geometry, window->minimumSizeHint());
    window->resize(placed.size());
    window->move(placed.topLeft());
    if (kept.maximized) {
        window->setWindowState(window->windowState() | Qt::WindowMaximized);
    }
}

WindowPlace placeNow(const QWidget* window, WindowPlace kept) {
    kept.maximized = window->isMaximized();
    if (!window->isMaximized() && !window->isMinimized()) {
        kept.geometry = QRect(window->pos(), window->size());
    }
    return kept;
}

QString folderToOffer(const QString& kept) {
    if (!kept.isEmpty() && QFileInfo(kept).isDir()) {
        return kept;
    }
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return documents.isEmpty() ? QDir::homePath() : documents;
}

} // namespace sutograf
