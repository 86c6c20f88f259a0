#include "fonts.h"

#include <QString>

#include <algorithm>
#include <cmath>

#include "fonts_system.h"

namespace sutograf {

QFont layoutFont(const char* family, qreal points, bool bold) {
    QFont font(systemFamily(family));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QFont pixelSizedFont(double pixelSize, bool bold) {
    QFont font = layoutFont("Arial", 8, bold);
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(pixelSize))));
    return font;
}

QFont windowDefaultFont() { return layoutFont("MS Sans Serif", 8); }

} // namespace sutograf
