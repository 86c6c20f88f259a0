#pragma once

#include <QRect>
#include <QString>

class QWidget;

namespace sutograf {

// Where a window kept at `saved` (its frame's top-left corner and its client area's size) goes on
// the screens there are now: on the screen that holds most of it, else the primary one; no larger
// than that screen's free area, frame included, nor smaller than `minimum`; moved until it lies
// inside that area, or starts at its top-left corner when it cannot.
QRect placedOnScreen(const QRect& saved, const QSize& minimum);

struct WindowPlace;

// The window where `kept` says, fitted to the screens there are now (and maximised if it was); with
// no place kept, at `firstSize`.
void placeWindow(QWidget* window, const WindowPlace& kept, const QSize& firstSize);

// `kept` with the window's place now; a maximised or minimised window keeps the place it had before.
WindowPlace placeNow(const QWidget* window, WindowPlace kept);

// The folder to offer a file in: `kept` while it is there, else the documents folder, else home.
QString folderToOffer(const QString& kept);

} // namespace sutograf
