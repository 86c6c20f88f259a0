#include <QString>

#include <cstring>

#include "fonts_system.h"

namespace sutograf {

// Arial and Times New Roman come with every Windows. MS Sans Serif does too, but only as a bitmap
// font in a few pixel sizes, which neither scales with the display nor goes into a PDF: its
// TrueType twin, Microsoft Sans Serif, has the same metrics and is asked for instead.
QString systemFamily(const char* layoutFamily) {
    if (std::strcmp(layoutFamily, "MS Sans Serif") == 0) {
        return QStringLiteral("Microsoft Sans Serif");
    }
    return QString::fromLatin1(layoutFamily);
}

} // namespace sutograf
