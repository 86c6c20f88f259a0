#pragma once

#include <QAbstractTableModel>

#include <optional>

#include "timesheet.h"

namespace sutograf {

struct Roster;

// "ежегодный оплачиваемый отпуск" for AnnualLeave, and so on, as the form names the codes.
QString absenceName(Absence a);

// The timesheet as a table: a row per person (their name in the row's heading), a column per day of
// the month holding its codes over its hours, then the totals.
class TimesheetModel : public QAbstractTableModel {
public:
    enum Total { Duties, Worked, Night, Holiday, Absences, Norm, Balance, PeriodBalance, Overtime, kTotals };
    enum Role {
        StatusRole = Qt::UserRole, // a day's DayStatus as an int; -1 for a day outside the unit
        CodesRole,                 // a day's codes, "Я/Н"
        HoursRole,                 // a day's hours, "16/2"
    };

    explicit TimesheetModel(QObject* parent = nullptr);

    // The roster gives names and swaps to the tooltips; it must outlive the sheet shown.
    void setSheet(Timesheet sheet, const Roster* roster);
    const Timesheet& sheet() const { return sheet_; }

    int dayCount() const;
    // The day of a column, or nullopt for a column of the totals.
    std::optional<Date> dateAt(int column) const;
    int columnOf(Date d) const; // -1 outside the month
    const TimesheetRow* rowAt(int row) const;
    int rowOf(PersonId id) const; // -1 when not in the sheet
    int totalColumn(Total t) const { return dayCount() + t; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // A total as the window and the page write it.
    static QString totalText(const TimesheetRow& row, Total t);
    // The totals' headings; `periodFrom` names the accounting period's first day.
    static QString totalHeading(Total t, Date periodFrom);
    static QString totalTooltip(Total t);

private:
    QString dayTooltip(const TimesheetRow& row, const TimesheetDay& d, Date date) const;

    Timesheet sheet_;
    const Roster* roster_ = nullptr;
};

} // namespace sutograf
