#pragma once

#include <QColor>

#include <cstdint>

class QPalette;
class QWidget;

namespace sutograf {

inline constexpr std::uint32_t kWindowText = 0x80000008; // system colour 8, a label's default text

// A layout colour value as a QColor: 0x00BBGGRR is a plain colour, 0x800000nn the desktop's system
// colour nn (5 window background, 8 window text, taken from the palette; 17 grey text, always the
// classic 109, 109, 109).
QColor layoutColour(std::uint32_t value, const QPalette& palette);

// The colour of watch 1..4, as the grid paints its days.
QColor watchColour(int watch);

// Gives a widget's text the layout colour value: labels draw with the window text colour, buttons
// with the button text colour, so both are set.
void setTextColour(QWidget* widget, std::uint32_t value);

} // namespace sutograf
