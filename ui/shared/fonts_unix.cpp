#include <QFont>
#include <QStringList>

#include "fonts_system.h"

namespace sutograf {

// A Linux desktop seldom has the Windows faces: each falls back to a metric-compatible one
// (fonts-liberation2), so that captions fit the controls the layouts give them.
QString systemFamily(const char* layoutFamily) {
    static const bool registered = [] {
        QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                                   QStringList{QStringLiteral("Microsoft Sans Serif"),
                                               QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
        QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
        QFont::insertSubstitution(QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"));
        return true;
    }();
    (void)registered;
    return QString::fromLatin1(layoutFamily);
}

} // namespace sutograf
