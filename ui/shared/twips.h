#pragma once

#include <QRect>

namespace sutograf {

// Layouts are written in twips, as the program has always laid them out: 15 twips to a
// device-independent pixel at 96 dpi. Qt scales the pixels for other screens.
constexpr int tw(int twips) { return twips / 15; }
// The same, where a fraction of a pixel counts (a line drawn between pixels).
constexpr qreal twf(int twips) { return twips / 15.0; }

constexpr QRect twipsRect(int left, int top, int width, int height) {
    return QRect(tw(left), tw(top), tw(width), tw(height));
}

// A rectangle written in twips, as the layouts give it.
constexpr QRect twipsRect(const QRect& twips) {
    return twipsRect(twips.x(), twips.y(), twips.width(), twips.height());
}

} // namespace sutograf
