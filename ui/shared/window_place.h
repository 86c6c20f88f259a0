#pragma once

#include <QRect>

namespace sutograf {

// Where a window kept at `saved` (its frame's top-left corner and its client area's size) goes on
// the screens there are now: on the screen that holds most of it, else the primary one; no larger
// than that screen's free area, frame included, nor smaller than `minimum`; moved until it lies
// inside that area, or starts at its top-left corner when it cannot.
QRect placedOnScreen(const QRect& saved, const QSize& minimum);

} // namespace sutograf
