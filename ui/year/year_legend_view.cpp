#include "year_legend_view.h"

#include <QPainter>
#include <QPicture>

#include <cmath>

#include "year_sheet.h"

namespace sutograf {
namespace {

constexpr int kLegendHeight = 22;
constexpr int kRoomEnough = 4000;

} // namespace

YearLegendView::YearLegendView(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

// The legend's width is measured by drawing it once where it has all the room it wants: what it
// needs can change with the sheet (today's mark is there only in today's year).
void YearLegendView::setSheet(const YearSheet* sheet) {
    sheet_ = sheet;
    int width = 0;
    if (sheet_ != nullptr) {
        QPicture drawing;
        QPainter p(&drawing);
        sheet_->paintLegend(p, QRectF(0, 0, kRoomEnough, kLegendHeight));
        p.end();
        width = static_cast<int>(std::ceil(drawing.boundingRect().right())) + 1;
    }
    if (width != legendWidth_) {
        legendWidth_ = width;
        updateGeometry();
    }
    update();
}

QSize YearLegendView::sizeHint() const { return {legendWidth_, kLegendHeight}; }

void YearLegendView::paintEvent(QPaintEvent*) {
    if (sheet_ != nullptr) {
        QPainter p(this);
        sheet_->paintLegend(p, QRectF(0, 0, width(), kLegendHeight));
    }
}

} // namespace sutograf
