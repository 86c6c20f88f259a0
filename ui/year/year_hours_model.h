#pragma once

#include <QAbstractTableModel>

#include <array>
#include <span>
#include <vector>

#include "people.h"
#include "working_time.h"

namespace sutograf {

// One watch's or one person's hours for a year, as the window's table and the printed page show them:
// a row per month, then the quarters and the year; duties, hours worked, night and holiday hours, the
// norm and the difference from it. Under summed accounting a row's difference is information only; what
// counts is the balance of each accounting period, shown on the row where the period ends and red when
// it holds overtime. A person's table has two more columns: how much their absences took off the norm
// (the norm is then their own, after that), and the overtime of each accounting period. Hours read
// "184" or "183:30".
class YearHoursModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // What a column shows. A watch's table has the first seven, in this order, so that for it a kind is
    // its column's index too; a person's has them all, the reduction before the norm.
    enum Column {
        Duties,
        Worked,
        Night,
        Holiday,
        Norm,
        Balance,
        PeriodBalance,
        Reduction,
        Overtime,
        ColumnCount
    };

    using QAbstractTableModel::QAbstractTableModel;

    // periods: the accounting periods of the same year, in order.
    void setRows(const std::array<Hours, kYearTableRows>& rows, std::vector<PeriodResult> periods);
    void setPersonRows(const std::array<PersonHours, kYearTableRows>& rows,
                       std::vector<PeriodResult> periods);
    bool isPersons() const { return persons_; }
    const Hours& hours(int row) const { return rows_[static_cast<std::size_t>(row)].worked; }
    // A watch's row as a member's who is never absent: the norm is their own.
    const PersonHours& personHours(int row) const { return rows_[static_cast<std::size_t>(row)]; }
    const std::vector<PeriodResult>& periods() const { return periods_; }

    // The text of a cell and of the headers, shared with the printed page.
    QString text(int row, int column) const;
    static QString rowName(int row);
    QString columnName(int column) const;
    Column columnKind(int column) const { return layout()[static_cast<std::size_t>(column)]; }
    // The column of a kind, -1 when this table has none.
    int columnOf(Column kind) const;
    // The accounting period that ends on this row holds overtime.
    bool isOver(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::span<const Column> layout() const;
    void take(std::vector<PeriodResult> periods, bool persons);
    const PeriodResult* periodEndingOn(int row) const;

    std::array<PersonHours, kYearTableRows> rows_{};
    std::vector<PeriodResult> periods_;
    std::array<int, kYearTableRows> periodOfRow_{}; // index into periods_, -1 for none
    bool persons_ = false;
};

} // namespace sutograf
