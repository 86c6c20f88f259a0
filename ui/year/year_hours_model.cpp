#include "year_hours_model.h"

#include <QBrush>
#include <QFont>

#include <algorithm>

#include "date.h"
#include "month_names.h"
#include "watch_periods.h"

namespace sutograf {

namespace {

constexpr std::array kWatchColumns = {
    YearHoursModel::Duties, YearHoursModel::Worked,  YearHoursModel::Night,        YearHoursModel::Holiday,
    YearHoursModel::Norm,   YearHoursModel::Balance, YearHoursModel::PeriodBalance};
constexpr std::array kPersonColumns = {
    YearHoursModel::Duties,  YearHoursModel::Worked,        YearHoursModel::Night,
    YearHoursModel::Holiday, YearHoursModel::Reduction,     YearHoursModel::Norm,
    YearHoursModel::Balance, YearHoursModel::PeriodBalance, YearHoursModel::Overtime};

QString hoursCell(int minutes) { return QString::fromStdString(hoursText(minutes)); }

} // namespace

std::span<const YearHoursModel::Column> YearHoursModel::layout() const {
    return persons_ ? std::span<const Column>(kPersonColumns) : std::span<const Column>(kWatchColumns);
}

int YearHoursModel::columnOf(Column kind) const {
    const auto columns = layout();
    const auto found = std::find(columns.begin(), columns.end(), kind);
    return found == columns.end() ? -1 : static_cast<int>(found - columns.begin());
}

void YearHoursModel::setRows(const std::array<Hours, kYearTableRows>& rows,
                             std::vector<PeriodResult> periods) {
    for (std::size_t r = 0; r < kYearTableRows; ++r) {
        rows_[r] = PersonHours{};
        rows_[r].worked = rows[r];
        rows_[r].ownNormMinutes = rows[r].normMinutes;
    }
    take(std::move(periods), false);
}

void YearHoursModel::setPersonRows(const std::array<PersonHours, kYearTableRows>& rows,
                                   std::vector<PeriodResult> periods) {
    rows_ = rows;
    take(std::move(periods), true);
}

// A change of columns resets the views; new figures in the same columns only repaint them.
void YearHoursModel::take(std::vector<PeriodResult> periods, bool persons) {
    const bool reshaped = persons != persons_;
    if (reshaped) {
        beginResetModel();
    }
    persons_ = persons;
    periods_ = std::move(periods);
    periodOfRow_.fill(-1);
    for (std::size_t i = 0; i < periods_.size(); ++i) {
        const Period& p = periods_[i].period;
        periodOfRow_[rowEnding(p, yearOf(p.first))] = static_cast<int>(i);
    }
    if (reshaped) {
        endResetModel();
    } else {
        emit dataChanged(index(0, 0), index(static_cast<int>(kYearTableRows) - 1, columnCount() - 1));
    }
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
    const PersonHours& p = personHours(row);
    const Hours& h = p.worked;
    switch (columnKind(column)) {
    case Duties:
        return QString::number(h.duties);
    case Worked:
        return hoursCell(h.workedMinutes);
    case Night:
        return hoursCell(h.nightMinutes);
    case Holiday:
        return hoursCell(h.holidayMinutes);
    case Reduction:
        return hoursCell(p.reductionMinutes);
    case Norm:
        return hoursCell(p.ownNormMinutes);
    case Balance:
        return QString::fromStdString(balanceText(h.workedMinutes - p.ownNormMinutes));
    case PeriodBalance:
    case Overtime: {
        const PeriodResult* period = periodEndingOn(row);
        if (period == nullptr) {
            return {};
        }
        return columnKind(column) == Overtime ? hoursCell(period->overtimeMinutes)
                                              : QString::fromStdString(balanceText(period->balanceMinutes));
    }
    case ColumnCount:
        break;
    }
    return {};
}

QString YearHoursModel::rowName(int row) {
    static const char* const kQuarters[4] = {"I квартал", "II квартал", "III квартал", "IV квартал"};
    if (row < static_cast<int>(kFirstQuarterRow)) {
        return monthName(row + 1);
    }
    return row < static_cast<int>(kYearRow) ? QString::fromUtf8(kQuarters[row - kFirstQuarterRow])
                                            : QStringLiteral("Год");
}

QString YearHoursModel::columnName(int column) const {
    static const char* const kNames[ColumnCount] = {"Смены", "Часы",      "Ночные",   "Праздничные", "Норма",
                                                    "±",     "± периода", "Снижение", "Сверхурочные"};
    return QString::fromUtf8(kNames[columnKind(column)]);
}

int YearHoursModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(kYearTableRows);
}

int YearHoursModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(layout().size());
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
        if ((columnKind(index.column()) == PeriodBalance || columnKind(index.column()) == Overtime) &&
            isOver(index.row())) {
            return QBrush(QColor(220, 0, 0));
        }
        return {};
    case Qt::ToolTipRole:
        if (const PeriodResult* period =
                columnKind(index.column()) == PeriodBalance ? periodEndingOn(index.row()) : nullptr) {
            return QStringLiteral("Учётный период %1–%2: сверхурочных %3 ч")
                .arg(QString::fromStdString(shortDateText(period->period.first)),
                     QString::fromStdString(shortDateText(period->period.last)),
                     QString::fromStdString(hoursText(period->overtimeMinutes)));
        }
        if (persons_ && columnKind(index.column()) == Norm) {
            const PersonHours& p = personHours(index.row());
            return QStringLiteral("По календарю за дни в карауле %1 ч, за отсутствие снято %2 ч")
                .arg(hoursCell(p.worked.normMinutes), hoursCell(p.reductionMinutes));
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
