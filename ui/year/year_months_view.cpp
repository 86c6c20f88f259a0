#include "year_months_view.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

#include "year_sheet.h"

namespace sutograf {
namespace {

constexpr double kLegendHeight = 40; // two rows of the legend's type
constexpr double kLegendType = 12;

} // namespace

YearMonthsView::YearMonthsView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(600, 440); // narrower, the legend's type would shrink too small to read
}

void YearMonthsView::setSheet(const YearSheet* sheet) {
    sheet_ = sheet;
    update();
}

QRectF YearMonthsView::monthsArea(const QRectF& view) {
    return view.adjusted(4, 4, -4, -4 - kLegendHeight - 6);
}

void YearMonthsView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    if (sheet_ == nullptr) {
        return;
    }
    const QRectF months = monthsArea(rect());
    sheet_->paintMonths(p, months);
    sheet_->paintLegend(p, QRectF(months.left() + 8, months.bottom() + 6, months.width() - 8, kLegendHeight),
                        kLegendType);
}

bool YearMonthsView::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip) {
        return QWidget::event(event);
    }
    const auto* help = static_cast<QHelpEvent*>(event);
    const auto day = sheet_ != nullptr ? sheet_->dateAt(monthsArea(rect()), help->pos()) : std::nullopt;
    if (day) {
        QToolTip::showText(help->globalPos(), sheet_->tooltipOf(*day), this);
    } else {
        QToolTip::hideText();
        event->ignore();
    }
    return true;
}

} // namespace sutograf
