#include "timesheet_model.h"

#include <QBrush>
#include <QColor>
#include <QFont>

#include "roster.h"
#include "working_time.h"

namespace sutograf {
namespace {

QString text(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}
QString hours(int minutes) { return QString::fromStdString(hoursText(minutes)); }
QString dateText(Date d) { return QString::fromStdString(shortDateText(d)); }

QString nameOf(const Roster* roster, std::optional<PersonId> id, const std::string& outsider) {
    const PersonRecord* p = roster != nullptr && id ? roster->find(*id) : nullptr;
    return p != nullptr ? text(p->person.name) : text(outsider);
}

// The watch of a person from another watch: that of the first day they belong to one.
int watchOfRow(const TimesheetRow& row) {
    for (const TimesheetDay& d : row.days) {
        if (d.day.watch != 0) {
            return d.day.watch;
        }
    }
    return 0;
}

} // namespace

QString absenceName(Absence a) {
    static const char* const kNames[kAbsenceKinds] = {
        "ежегодный оплачиваемый отпуск",
        "дополнительный оплачиваемый отпуск",
        "учебный оплачиваемый отпуск",
        "отпуск без сохранения заработной платы",
        "временная нетрудоспособность (больничный)",
        "служебная командировка",
        "повышение квалификации с отрывом от работы",
        "выполнение государственных или общественных обязанностей",
        "неявка по невыясненной причине",
    };
    const auto i = static_cast<std::size_t>(a);
    return i < kAbsenceKinds ? QString::fromUtf8(kNames[i]) : QString();
}

TimesheetModel::TimesheetModel(QObject* parent) : QAbstractTableModel(parent) {}

void TimesheetModel::setSheet(Timesheet sheet, const Roster* roster) {
    const bool sameShape = sheet.rows.size() == sheet_.rows.size() && sheet.days.first == sheet_.days.first &&
                           sheet.days.last == sheet_.days.last;
    if (sameShape) {
        // A mark changes a few cells: the view keeps its selection and its place.
        sheet_ = std::move(sheet);
        roster_ = roster;
        if (rowCount() > 0) {
            emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
        }
        emit headerDataChanged(Qt::Vertical, 0, std::max(0, rowCount() - 1));
        emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
        return;
    }
    beginResetModel();
    sheet_ = std::move(sheet);
    roster_ = roster;
    endResetModel();
}

int TimesheetModel::dayCount() const {
    return sheet_.year == 0 ? 0 : sheet_.days.last.serial - sheet_.days.first.serial + 1;
}

std::optional<Date> TimesheetModel::dateAt(int column) const {
    return column >= 0 && column < dayCount() ? std::optional<Date>(Date{sheet_.days.first.serial + column})
                                              : std::nullopt;
}

int TimesheetModel::columnOf(Date d) const {
    const int c = d.serial - sheet_.days.first.serial;
    return c >= 0 && c < dayCount() ? c : -1;
}

const TimesheetRow* TimesheetModel::rowAt(int row) const {
    return row >= 0 && row < rowCount() ? &sheet_.rows[static_cast<std::size_t>(row)] : nullptr;
}

int TimesheetModel::rowOf(PersonId id) const {
    for (int r = 0; r < rowCount(); ++r) {
        if (sheet_.rows[static_cast<std::size_t>(r)].person.id == id) {
            return r;
        }
    }
    return -1;
}

int TimesheetModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(sheet_.rows.size());
}

int TimesheetModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() || sheet_.year == 0 ? 0 : dayCount() + kTotals;
}

QString TimesheetModel::totalText(const TimesheetRow& row, Total t) {
    const PersonHours& h = row.totals;
    switch (t) {
    case Duties:
        return QString::number(h.worked.duties);
    case Worked:
        return hours(h.worked.workedMinutes);
    case Night:
        return hours(h.worked.nightMinutes);
    case Holiday:
        return hours(h.worked.holidayMinutes);
    case Absences:
        return QString::fromStdString(absencesText(h));
    case Norm:
        return hours(h.ownNormMinutes);
    case Balance:
        return QString::fromStdString(balanceText(row.balanceMinutes));
    case PeriodBalance:
        return QString::fromStdString(balanceText(row.periodBalanceMinutes));
    case Overtime:
        return row.overtimeMinutes ? hours(*row.overtimeMinutes) : QString();
    case kTotals:
        break;
    }
    return {};
}

QString TimesheetModel::totalHeading(Total t, Date periodFrom) {
    switch (t) {
    case Duties:
        return QStringLiteral("Явок\n(смен)");
    case Worked:
        return QStringLiteral("Часов\nвсего");
    case Night:
        return QStringLiteral("Из них\nночных");
    case Holiday:
        return QStringLiteral("Из них\nпраздн.");
    case Absences:
        return QStringLiteral("Неявки,\nдней");
    case Norm:
        return QStringLiteral("Норма,\nч");
    case Balance:
        return QStringLiteral("± за\nмесяц");
    case PeriodBalance:
        return QStringLiteral("± с\n%1").arg(QString::fromStdString(shortDateText(periodFrom)).left(5));
    case Overtime:
        return QStringLiteral("Сверх-\nурочно");
    case kTotals:
        break;
    }
    return {};
}

QString TimesheetModel::totalTooltip(Total t) {
    switch (t) {
    case Duties:
        return QStringLiteral("Смены, начатые в этом месяце");
    case Worked:
        return QStringLiteral("Часы работы, приходящиеся на дни месяца (Я)");
    case Night:
        return QStringLiteral("Из них ночные, с 22:00 до 06:00 (Н)");
    case Holiday:
        return QStringLiteral("Из них в нерабочие праздничные дни (РВ)");
    case Absences:
        return QStringLiteral("Дни неявок по кодам");
    case Norm:
        return QStringLiteral("Норма месяца для своей недели (40 или 36 ч), уменьшенная за отсутствие по "
                              "уважительной причине");
    case Balance:
        return QStringLiteral("Отработано минус норма за месяц; при учётном периоде длиннее месяца — для "
                              "сведения, не переработка");
    case PeriodBalance:
        return QStringLiteral("Отработано минус норма с начала учётного периода по конец этого месяца");
    case Overtime:
        return QStringLiteral("Сверхурочные учётного периода: заполняется в его последнем месяце");
    case kTotals:
        break;
    }
    return {};
}

QString TimesheetModel::dayTooltip(const TimesheetRow& row, const TimesheetDay& d, Date date) const {
    QStringList lines{dateText(date) + QStringLiteral(" — ") + text(row.person.name)};
    const Hours& h = d.hours;
    if (h.workedMinutes > 0) {
        QString work = QStringLiteral("Работа: %1 ч").arg(hours(h.workedMinutes));
        if (h.nightMinutes > 0) {
            work += QStringLiteral(", из них ночных %1").arg(hours(h.nightMinutes));
        }
        if (h.holidayMinutes > 0) {
            work += QStringLiteral(", в праздник %1").arg(hours(h.holidayMinutes));
        }
        lines << work;
    }
    const PersonRecord* who = roster_ != nullptr ? roster_->find(row.person.id) : nullptr;
    const auto swapOf = [&](bool giver) -> const DutySwap* {
        if (roster_ == nullptr) {
            return nullptr;
        }
        for (const DutySwap& s : roster_->swaps) {
            if (s.day == date && (giver ? s.gives : s.takes) == row.person.id) {
                return &s;
            }
        }
        return nullptr;
    };
    switch (d.day.status) {
    case DayStatus::Duty:
        lines << QStringLiteral("Смена %1 караула").arg(d.day.watch);
        break;
    case DayStatus::DutyGivenAway:
        if (const DutySwap* s = swapOf(true)) {
            lines << QStringLiteral("Смену отдал(а): ") + nameOf(roster_, s->takes, s->outsider);
        }
        break;
    case DayStatus::DutyTaken:
        if (const DutySwap* s = swapOf(false)) {
            lines << QStringLiteral("Взял(а) смену у: ") + nameOf(roster_, s->gives, s->outsider);
        }
        break;
    case DayStatus::Absent:
    case DayStatus::Off:
        break;
    }
    if (d.day.absence) {
        QString absence =
            text(absenceCode(*d.day.absence)) + QStringLiteral(" — ") + absenceName(*d.day.absence);
        for (const AbsenceSpan& a : who != nullptr ? who->absences : std::vector<AbsenceSpan>{}) {
            if (a.kind == *d.day.absence && a.first <= date && date <= a.last) {
                absence += QStringLiteral(", с %1 по %2").arg(dateText(a.first), dateText(a.last));
            }
        }
        lines << absence;
    }
    if (d.day.watch == 0) {
        lines << QStringLiteral("Не числится ни в одном карауле");
    }
    return lines.join(QLatin1Char('\n'));
}

QVariant TimesheetModel::data(const QModelIndex& index, int role) const {
    const TimesheetRow* row = rowAt(index.row());
    if (row == nullptr) {
        return {};
    }
    if (const auto date = dateAt(index.column())) {
        const TimesheetDay& d = row->days[static_cast<std::size_t>(index.column())];
        switch (role) {
        case Qt::DisplayRole: {
            const DayEntry e = dayEntry(d);
            return e.hours.empty() ? text(e.codes) : text(e.codes) + QLatin1Char('\n') + text(e.hours);
        }
        case CodesRole:
            return text(dayEntry(d).codes);
        case HoursRole:
            return text(dayEntry(d).hours);
        case StatusRole:
            return d.day.watch == 0 && d.day.status == DayStatus::Off ? -1 : static_cast<int>(d.day.status);
        case Qt::ToolTipRole:
            return dayTooltip(*row, d, *date);
        case Qt::TextAlignmentRole:
            return Qt::AlignCenter;
        default:
            return {};
        }
    }
    const auto total = static_cast<Total>(index.column() - dayCount());
    switch (role) {
    case Qt::DisplayRole:
        return totalText(*row, total);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(total == Absences ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter);
    case Qt::ForegroundRole:
        if ((total == Balance && row->balanceMinutes > 0) ||
            (total == PeriodBalance && row->periodBalanceMinutes > 0) ||
            (total == Overtime && row->overtimeMinutes.value_or(0) > 0)) {
            return QBrush(QColor(192, 0, 0));
        }
        return {};
    default:
        return {};
    }
}

QVariant TimesheetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Vertical) {
        const TimesheetRow* row = rowAt(section);
        if (row == nullptr) {
            return {};
        }
        if (role == Qt::DisplayRole) {
            const QString second = row->ownWatch
                                       ? (row->person.personnelNumber.empty()
                                              ? QString()
                                              : QStringLiteral("таб. № ") + text(row->person.personnelNumber))
                                       : QStringLiteral("из %1 караула").arg(watchOfRow(*row));
            return second.isEmpty() ? text(row->person.name)
                                    : text(row->person.name) + QLatin1Char('\n') + second;
        }
        if (role == Qt::FontRole && !row->ownWatch) {
            QFont italic;
            italic.setItalic(true);
            return italic;
        }
        return {};
    }
    if (section < dayCount()) {
        return role == Qt::DisplayRole ? QVariant(QString::number(section + 1)) : QVariant();
    }
    const auto total = static_cast<Total>(section - dayCount());
    if (role == Qt::DisplayRole) {
        return totalHeading(total, sheet_.period.first);
    }
    if (role == Qt::ToolTipRole) {
        return totalTooltip(total);
    }
    return {};
}

} // namespace sutograf
