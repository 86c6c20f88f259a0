#pragma once

#include <QFont>
#include <QHash>
#include <QStaticText>
#include <QStyledItemDelegate>

namespace sutograf {

// A day's cell of the timesheet: its codes in bold over its hours, on a ground that tells its kind at a
// glance: an absence, a duty given away, a duty taken, a day outside the unit. Other columns are drawn
// as usual. A month shows a few dozen different texts in hundreds of cells: each is laid out once.
class DayCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    // The text laid out in the cell's font (bold for the codes).
    const QStaticText& laidOut(const QString& text, bool bold, const QFont& font) const;

    mutable QFont font_;
    mutable QHash<QString, QStaticText> laidOut_[2];
};

// The ground of a day's cell by its status (TimesheetModel::StatusRole); white for a day of work or rest.
QColor dayGround(int status);

} // namespace sutograf
