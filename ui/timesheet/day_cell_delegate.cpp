#include "day_cell_delegate.h"

#include <QApplication>
#include <QPainter>

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

void DayCellDelegate::paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const QVariant status = index.data(TimesheetModel::StatusRole);
    if (!status.isValid()) {
        QStyledItemDelegate::paint(p, option, index);
        return;
    }
    p->save();
    const bool selected = option.state & QStyle::State_Selected;
    p->fillRect(option.rect, selected ? option.palette.highlight().color() : dayGround(status.toInt()));
    const QColor ink = selected ? option.palette.highlightedText().color() : QColor(Qt::black);
    const QString codes = index.data(TimesheetModel::CodesRole).toString();
    const QString hours = index.data(TimesheetModel::HoursRole).toString();
    QFont bold = option.font;
    bold.setBold(true);
    const QRect top(option.rect.left(), option.rect.top(), option.rect.width(), option.rect.height() / 2);
    const QRect bottom(option.rect.left(), top.bottom() + 1, option.rect.width(),
                       option.rect.height() - top.height());
    p->setPen(ink);
    p->setFont(bold);
    p->drawText(top, Qt::AlignHCenter | Qt::AlignBottom, codes);
    p->setFont(option.font);
    p->drawText(bottom, Qt::AlignHCenter | Qt::AlignTop, hours);
    p->restore();
}

QSize DayCellDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    if (!index.data(TimesheetModel::StatusRole).isValid()) {
        return QStyledItemDelegate::sizeHint(option, index);
    }
    QFont bold = option.font;
    bold.setBold(true);
    const int width =
        std::max(QFontMetrics(bold).horizontalAdvance(index.data(TimesheetModel::CodesRole).toString()),
                 option.fontMetrics.horizontalAdvance(index.data(TimesheetModel::HoursRole).toString()));
    return {std::max(width + 6, option.fontMetrics.horizontalAdvance(QStringLiteral("00")) + 8),
            2 * option.fontMetrics.height() + 4};
}

} // namespace sutograf
