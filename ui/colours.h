#pragma once

#include <QColor>

#include <cstdint>

class QPalette;

namespace sutograf {

// A layout colour value as a QColor: 0x00BBGGRR is a plain colour, 0x800000nn the desktop's system
// colour nn (5 window background, 8 window text, 17 grey text), taken from the palette.
QColor layoutColour(std::uint32_t value, const QPalette& palette);

} // namespace sutograf
