#include "year_hours_model.h"

#include <QBrush>
#include <QFont>

#include "month_names.h"

namespace sutograf {

void YearHoursModel::setRows(const std::array<Hours, kYearTableRows>& rows) {
    rows_ = rows;
    emit dataChanged(index(0, 0), index(static_cast<int>(kYearTableRows) - 1, ColumnCount - 1));
}

QString YearHoursModel::text(int row, int column) const {
    const Hours& h = hours(row);
    switch (column) {
    case Duties:
        return QString::number(h.duties);
    case Worked:
        return QString::fromStdString(hoursText(h.workedMinutes));
    case Night:
        return QString::fromStdString(hoursText(h.nightMinutes));
    case Holiday:
        return QString::fromStdString(hoursText(h.holidayMinutes));
    case Norm:
        return QString::fromStdString(hoursText(h.normMinutes));
    default:
        return QString::fromStdString(balanceText(h.workedMinutes - h.normMinutes));
    }
}

QString YearHoursModel::rowName(int row) {
    static const char* const kQuarters[4] = {"I квартал", "II квартал", "III квартал", "IV квартал"};
    if (row < static_cast<int>(kFirstQuarterRow)) {
        return monthName(row + 1);
    }
    return row < static_cast<int>(kYearRow) ? QString::fromUtf8(kQuarters[row - kFirstQuarterRow])
                                            : QStringLiteral("Год");
}

QString YearHoursModel::columnName(int column) {
    static const char* const kNames[ColumnCount] = {"Смены", "Часы", "Ночные", "Праздничные", "Норма", "±"};
    return QString::fromUtf8(kNames[column]);
}

int YearHoursModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(kYearTableRows);
}

int YearHoursModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant YearHoursModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    switch (role) {
    case Qt::DisplayRole:
        return text(index.row(), index.column());
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    case Qt::ForegroundRole:
        if (index.column() == Balance && isOver(index.row())) {
            return QBrush(QColor(220, 0, 0));
        }
        return {};
    case Qt::FontRole:
        if (index.row() >= static_cast<int>(kFirstQuarterRow)) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    default:
        return {};
    }
}

QVariant YearHoursModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) {
        return {};
    }
    return orientation == Qt::Horizontal ? columnName(section) : rowName(section);
}

} // namespace sutograf
