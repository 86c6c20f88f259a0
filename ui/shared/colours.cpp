#include "colours.h"

#include <QPalette>
#include <QWidget>

#include "rota.h"

namespace sutograf {

QColor layoutColour(std::uint32_t value, const QPalette& palette) {
    if ((value & 0x80000000u) == 0) {
        return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                      static_cast<int>((value >> 16) & 0xFF));
    }
    switch (value & 0xFF) {
    case 5:
        return palette.color(QPalette::Active, QPalette::Window);
    case 17:
        // The classic desktop grey, not the palette's disabled text: many Linux themes make that
        // 190, 190, 190, which cannot be read on the cyan cells.
        return QColor(109, 109, 109);
    case 8:
    default:
        return palette.color(QPalette::Active, QPalette::WindowText);
    }
}

QColor watchColour(int watch) { return layoutColour(TablitsaKaraulov[watch - 1].colour, QPalette()); }

void setTextColour(QWidget* widget, std::uint32_t value) {
    QPalette palette = widget->palette();
    const QColor colour = layoutColour(value, palette);
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::ButtonText, colour);
    widget->setPalette(palette);
}

} // namespace sutograf
