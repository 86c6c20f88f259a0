#pragma once

#include <QRectF>
#include <QString>

#include <functional>
#include <vector>

class QPainter;

namespace sutograf {

// One entry of a sheet's legend: a sample drawn as the sheet draws it, and what it means.
struct LegendItem {
    QString text;
    std::function<void(QPainter&, const QRectF&)> sample; // draws into the box it is given
    double sampleWidth = 1.4;                             // the sample's box, in heights of a line of type
};

// The items left to right, wrapping into as many rows as area holds. fontSize is the largest type, in
// the painter's units; it is made smaller only when the items would not fit in area at that size, so a
// legend never runs off its area nor is cut.
void paintLegend(QPainter& p, const QRectF& area, const std::vector<LegendItem>& items, double fontSize);

} // namespace sutograf
