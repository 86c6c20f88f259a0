#include "day_cell_delegate.h"

#include <QApplication>
#include <QPainter>
#include <QtMath>

#include "people.h"
#include "timesheet_model.h"

namespace sutograf {

QColor dayGround(int status) {
    switch (status) {
    case -1:
        return {235, 235, 235};
    case static_cast<int>(DayStatus::Absent):
        return {255, 226, 180};
    case static_cast<int>(DayStatus::DutyGivenAway):
        return {214, 214, 214};
    case static_cast<int>(DayStatus::DutyTaken):
        return {205, 225, 255};
    default:
        return Qt::white;
    }
}

const QStaticText& DayCellDelegate::laidOut(const QString& text, bool bold, const QFont& font) const {
    if (font != font_) {
        font_ = font;
        laidOut_[0].clear();
        laidOut_[1].clear();
    }
    auto& cache = laidOut_[bold ? 1 : 0];
    auto it = cache.find(text);
    if (it == cache.end()) {
        QFont f = font;
        f.setBold(bold);
        QStaticText laid(text);
        laid.setTextFormat(Qt::PlainText);
        laid.prepare(QTransform(), f);
        it = cache.insert(text, laid);
    }
    return *it;
}

void DayCellDelegate::paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const QVariant status = index.data(TimesheetModel::StatusRole);
    if (!status.isValid()) {
        QStyledItemDelegate::paint(p, option, index);
        return;
    }
    p->save();
    const bool selected = option.state & QStyle::State_Selected;
    const QRect& r = option.rect;
    p->fillRect(r, selected ? option.palette.highlight().color() : dayGround(status.toInt()));
    p->setPen(selected ? option.palette.highlightedText().color() : QColor(Qt::black));
    const QStaticText& codes = laidOut(index.data(TimesheetModel::CodesRole).toString(), true, option.font);
    const QStaticText& hours = laidOut(index.data(TimesheetModel::HoursRole).toString(), false, option.font);
    const double middle = r.top() + r.height() / 2.0;
    QFont bold = option.font;
    bold.setBold(true);
    p->setFont(bold);
    p->drawStaticText(QPointF(r.center().x() + 1 - codes.size().width() / 2, middle - codes.size().height()),
                      codes);
    p->setFont(option.font);
    p->drawStaticText(QPointF(r.center().x() + 1 - hours.size().width() / 2, middle), hours);
    p->restore();
}

QSize DayCellDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    if (!index.data(TimesheetModel::StatusRole).isValid()) {
        return QStyledItemDelegate::sizeHint(option, index);
    }
    const double width = std::max(
        laidOut(index.data(TimesheetModel::CodesRole).toString(), true, option.font).size().width(),
        laidOut(index.data(TimesheetModel::HoursRole).toString(), false, option.font).size().width());
    return {std::max(qCeil(width) + 6, option.fontMetrics.horizontalAdvance(QStringLiteral("00")) + 8),
            2 * option.fontMetrics.height() + 4};
}

} // namespace sutograf
