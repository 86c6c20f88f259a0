#pragma once

#include <QColor>
#include <QRectF>
#include <QString>

#include "production_calendar.h"

class QPainter;

namespace sutograf {

// What every sheet draws on a day, on screen and on paper alike, so that a mark means one thing
// wherever it is seen. Each mark reads by its shape, not by its colour alone, so a sheet printed in
// black and white keeps it: a holiday has a hatched ground and a star, a day off moved from a holiday a
// grey ground and a grey corner, a weekend day made a working day a black corner, a day an hour
// shorter a dot. No watch is green, so a holiday's green never reads as a watch's colour.

inline const QColor kHolidayGreen(0, 125, 0); // a holiday's number and star
inline const QColor kDayOffGround(225, 225, 225);

// WCAG relative luminance, 0 (black) to 1 (white).
double relativeLuminance(const QColor& c);
// A colour too light to read on white (the fourth watch's yellow) without an edge.
bool isLightColour(const QColor& c);

// The day's number centred in box. A non-zero edge width rings every glyph in edge colour, so that
// the number stands out from a fill or a hatch of any colour. On paper the ring is the glyphs'
// outline and the number one piece of text, as a PDF reader finds it; on screen it is the number
// drawn a step off each way, far cheaper and the same to the eye at a screen's sizes.
void drawDayNumber(QPainter& p, const QRectF& box, const QString& text, const QColor& colour,
                   const QColor& edge = QColor(), double edgeWidth = 0);

// A holiday's ground: pale green hatched with diagonal lines.
void paintHolidayGround(QPainter& p, const QRectF& box);

// The mark of a day's kind at box's top right (a star for a holiday, a corner for a transferred day)
// or bottom right (a dot for a shortened day); weekend: the day is a Saturday or Sunday. Each mark is
// ringed in white, so it shows on any fill.
void paintDayMark(QPainter& p, const QRectF& box, DayKind kind, bool weekend);

} // namespace sutograf
