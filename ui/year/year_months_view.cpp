#include "year_months_view.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

#include "year_sheet.h"

namespace sutograf {

YearMonthsView::YearMonthsView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(560, 440);
}

void YearMonthsView::setSheet(const YearSheet* sheet) {
    sheet_ = sheet;
    update();
}

QRectF YearMonthsView::monthsArea(const QRectF& view) { return view.adjusted(4, 4, -4, -4); }

void YearMonthsView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    if (sheet_ == nullptr) {
        return;
    }
    sheet_->paintMonths(p, monthsArea(rect()));
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
