#include "fonts.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace sutograf {
namespace {

void registerSubstitutes() {
    static const bool done = [] {
        QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                                   QStringList{QStringLiteral("Microsoft Sans Serif"),
                                               QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
        QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
        QFont::insertSubstitution(QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"));
        return true;
    }();
    (void)done;
}

} // namespace

QFont layoutFont(const char* family, qreal points, bool bold) {
    registerSubstitutes();
    QFont font(QString::fromLatin1(family));
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
