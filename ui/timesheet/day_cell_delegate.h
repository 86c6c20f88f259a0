#pragma once

#include <QStyledItemDelegate>

namespace sutograf {

// A day's cell of the timesheet: its codes in bold over its hours, on a ground that tells its kind at a
// glance: an absence, a duty given away, a duty taken, a day outside the unit. Other columns are drawn
// as usual.
class DayCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

// The ground of a day's cell by its status (TimesheetModel::StatusRole); white for a day of work or rest.
QColor dayGround(int status);

} // namespace sutograf
