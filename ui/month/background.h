#pragma once

#include <QImage>

namespace sutograf {

// The main window's background picture: 440 x 349 pixels, a one-pixel black frame around a
// horizontal gradient from sky blue to near white that is the same in every row. The window shows
// it at its natural size from the top-left corner, cut off at the client area: only the part that
// an area of the size shown takes is made, since the whole picture would be held for nothing.
QImage backgroundPicture(QSize shown);

} // namespace sutograf
