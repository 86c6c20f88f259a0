#pragma once

#include <QAbstractTableModel>

#include <array>
#include <vector>

#include "people.h"
#include "working_time.h"

namespace sutograf {

// One watch's hours for a year, as the window's table and the printed page show them: a row per
// month, then the quarters and the year; duties, hours worked, night and holiday hours, the norm and
// the difference from it. Under summed accounting a row's difference is information only; what counts
// is the balance of each accounting period, shown on the row where the period ends and red when it
// holds overtime. Hours read "184" or "183:30".
class YearHoursModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Duties, Worked, Night, Holiday, Norm, Balance, PeriodBalance, ColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    // periods: the accounting periods of the same year, in order.
    void setRows(const std::array<Hours, kYearTableRows>& rows, std::vector<PeriodResult> periods);
    const Hours& hours(int row) const { return rows_[static_cast<std::size_t>(row)]; }
    const std::vector<PeriodResult>& periods() const { return periods_; }

    // The text of a cell and of the headers, shared with the printed page.
    QString text(int row, int column) const;
    static QString rowName(int row);
    static QString columnName(int column);
    // The accounting period that ends on this row holds overtime.
    bool isOver(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const PeriodResult* periodEndingOn(int row) const;

    std::array<Hours, kYearTableRows> rows_{};
    std::vector<PeriodResult> periods_;
    std::array<int, kYearTableRows> periodOfRow_{}; // index into periods_, -1 for none
};

} // namespace sutograf
