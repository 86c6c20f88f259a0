#pragma once

#include <QAbstractTableModel>

#include <array>

#include "working_time.h"

namespace sutograf {

// One watch's hours for a year, as the window's table and the printed page show them: a row per
// month, then the quarters and the year; duties, hours worked, night and holiday hours, the norm and
// the difference from it (red when over). Hours read "184" or "183:30".
class YearHoursModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Duties, Worked, Night, Holiday, Norm, Balance, ColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    void setRows(const std::array<Hours, kYearTableRows>& rows);
    const Hours& hours(int row) const { return rows_[static_cast<std::size_t>(row)]; }

    // The text of a cell and of the headers, shared with the printed page.
    QString text(int row, int column) const;
    static QString rowName(int row);
    static QString columnName(int column);
    bool isOver(int row) const { return hours(row).workedMinutes > hours(row).normMinutes; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::array<Hours, kYearTableRows> rows_{};
};

} // namespace sutograf
