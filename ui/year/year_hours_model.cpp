#include "year_hours_model.h"

#include <QBrush>
#include <QFont>

#include "date.h"
#include "month_names.h"
#include "watch_periods.h"

namespace sutograf {

void YearHoursModel::setRows(const std::array<Hours, kYearTableRows>& rows,
                             std::vector<PeriodResult> periods) {
    rows_ = rows;
    periods_ = std::move(periods);
    periodOfRow_.fill(-1);
    for (std::size_t i = 0; i < periods_.size(); ++i) {
        const Period& p = periods_[i].period;
        periodOfRow_[rowEnding(p, yearOf(p.first))] = static_cast<int>(i);
    }
    emit dataChanged(index(0, 0), index(static_cast<int>(kYearTableRows) - 1, ColumnCount - 1));
}

const PeriodResult* YearHoursModel::periodEndingOn(int row) const {
    const int i = periodOfRow_[static_cast<std::size_t>(row)];
    return i < 0 ? nullptr : &periods_[static_cast<std::size_t>(i)];
}

bool YearHoursModel::isOver(int row) const {
    const PeriodResult* period = periodEndingOn(row);
    return period != nullptr && period->overtimeMinutes > 0;
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
    case Balance:
        return QString::fromStdString(balanceText(h.workedMinutes - h.normMinutes));
    default: {
        const PeriodResult* period = periodEndingOn(row);
        return period == nullptr ? QString() : QString::fromStdString(balanceText(period->balanceMinutes));
    }
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
    static const char* const kNames[ColumnCount] = {"Смены", "Часы", "Ночные",   "Праздничные",
                                                    "Норма", "±",    "± периода"};
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
        if (index.column() == PeriodBalance && isOver(index.row())) {
            return QBrush(QColor(220, 0, 0));
        }
        return {};
    case Qt::ToolTipRole:
        if (const PeriodResult* period =
                index.column() == PeriodBalance ? periodEndingOn(index.row()) : nullptr) {
            return QStringLiteral("Учётный период %1–%2: сверхурочных %3 ч")
                .arg(QString::fromStdString(shortDateText(period->period.first)),
                     QString::fromStdString(shortDateText(period->period.last)),
                     QString::fromStdString(hoursText(period->overtimeMinutes)));
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
