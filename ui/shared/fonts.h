#pragma once

#include <QFont>

namespace sutograf {

// A font as the window layouts name it. On Linux, "MS Sans Serif", the layouts' default, is taken by a
// metric-compatible face where it is missing (Microsoft Sans Serif, Arial, Liberation Sans), so that
// captions fit the controls the layouts give them; Arial and Times New Roman fall back the same way,
// and the face the system has is asked for by its own name. On Windows the faces themselves, MS Sans
// Serif as its scalable twin, Microsoft Sans Serif.
QFont layoutFont(const char* family, qreal points, bool bold = false);

// Arial (or its stand-in) sized in pixels of the painter's own units: the year's sheet and its page
// scale with the area they are drawn into, on screen and on paper alike. At least one pixel.
QFont pixelSizedFont(double pixelSize, bool bold = false);

// The font a window of the layouts starts with: MS Sans Serif, 8 points.
QFont windowDefaultFont();

} // namespace sutograf
