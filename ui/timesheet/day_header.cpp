#include "day_header.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

namespace sutograf {

DayHeader::DayHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
    setSectionsClickable(false);
    setDefaultAlignment(Qt::AlignCenter);
}

void DayHeader::setDays(std::vector<MonthDay> days, std::vector<QString> tooltips, int watch) {
    days_ = std::move(days);
    tooltips_ = std::move(tooltips);
    watch_ = watch;
    viewport()->update();
}

QSize DayHeader::sizeHint() const {
    QSize hint = QHeaderView::sizeHint();
    hint.setHeight(std::max(hint.height(), 2 * fontMetrics().height() + 10));
    return hint;
}

QSize DayHeader::sectionSizeFromContents(int logicalIndex) const {
    QSize size = QHeaderView::sectionSizeFromContents(logicalIndex);
    if (logicalIndex < static_cast<int>(days_.size())) {
        size.setWidth(std::max(size.width(), fontMetrics().horizontalAdvance(QStringLiteral("00")) + 12));
    }
    return size;
}

void DayHeader::paintSection(QPainter* p, const QRect& rect, int logicalIndex) const {
    if (logicalIndex >= static_cast<int>(days_.size())) {
        QHeaderView::paintSection(p, rect, logicalIndex);
        return;
    }
    p->save();
    p->fillRect(rect, Qt::white);
    p->setPen(QColor(200, 200, 200));
    p->drawLine(rect.topRight(), rect.bottomRight());
    p->drawLine(rect.bottomLeft(), rect.bottomRight());
    p->restore();
    paintDayHeading(*p, QRectF(rect).adjusted(1, 1, -1, -1), days_[static_cast<std::size_t>(logicalIndex)],
                    watch_);
}

bool DayHeader::viewportEvent(QEvent* e) {
    if (e->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(e);
        const int section = logicalIndexAt(help->pos());
        if (section >= 0 && section < static_cast<int>(tooltips_.size())) {
            QToolTip::showText(help->globalPos(), tooltips_[static_cast<std::size_t>(section)], this);
            return true;
        }
    }
    return QHeaderView::viewportEvent(e);
}

} // namespace sutograf
