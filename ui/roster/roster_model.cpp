#include "roster_model.h"

#include <QBrush>
#include <QColor>

#include <algorithm>

#include "roster.h"

namespace sutograf {
namespace {

QString dateText(Date d) { return QString::fromStdString(shortDateText(d)); }

QString watchName(int watch) {
    return watch == 0 ? QStringLiteral("выбыл") : QStringLiteral("%1 караул").arg(watch);
}

std::vector<WatchSpell> spellsByDate(const PersonRecord& who) {
    std::vector<WatchSpell> spells = who.watches;
    std::sort(spells.begin(), spells.end(),
              [](const WatchSpell& a, const WatchSpell& b) { return a.from < b.from; });
    return spells;
}

// The first change after today, if any.
const WatchSpell* nextChange(const std::vector<WatchSpell>& spells, Date today) {
    const auto it =
        std::find_if(spells.begin(), spells.end(), [today](const WatchSpell& s) { return today < s.from; });
    return it == spells.end() ? nullptr : &*it;
}

QString watchText(const PersonRecord& who, Date today) {
    const std::vector<WatchSpell> spells = spellsByDate(who);
    if (spells.empty()) {
        return QStringLiteral("—");
    }
    const int now = watchOf(who, today);
    const WatchSpell* next = nextChange(spells, today);
    if (now != 0) {
        QString text = QString::number(now);
        if (next != nullptr) {
            text += next->watch == 0
                        ? QStringLiteral(" (выбывает с %1)").arg(dateText(next->from))
                        : QStringLiteral(" (с %1 — %2)").arg(dateText(next->from)).arg(next->watch);
        }
        return text;
    }
    if (next != nullptr && next->watch != 0) {
        return QStringLiteral("%1 с %2").arg(next->watch).arg(dateText(next->from));
    }
    const auto left = std::find_if(spells.rbegin(), spells.rend(),
                                   [today](const WatchSpell& s) { return s.from <= today && s.watch == 0; });
    return left == spells.rend() ? QStringLiteral("—")
                                 : QStringLiteral("выбыл с %1").arg(dateText(left->from));
}

QString historyText(const PersonRecord& who) {
    QStringList lines;
    for (const WatchSpell& s : spellsByDate(who)) {
        lines << QStringLiteral("с %1 — %2").arg(dateText(s.from), watchName(s.watch));
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace

int rosterGroupOf(const PersonRecord& who, Date today) {
    if (const int now = watchOf(who, today); now != 0) {
        return now;
    }
    const std::vector<WatchSpell> spells = spellsByDate(who);
    const WatchSpell* next = nextChange(spells, today);
    return next != nullptr ? next->watch : 0;
}

RosterModel::RosterModel(QObject* parent) : QAbstractTableModel(parent) {}

void RosterModel::show(const Roster& roster, Date today, RosterFilter filter) {
    beginResetModel();
    rows_.clear();
    const int wanted = static_cast<int>(filter);
    for (const PersonRecord& p : roster.people) {
        const int group = rosterGroupOf(p, today);
        const bool listed =
            filter == RosterFilter::All || (filter == RosterFilter::Left ? group == 0 : group == wanted);
        if (listed) {
            rows_.push_back({p, watchText(p, today), historyText(p), group});
        }
    }
    // Those who left after the four watches.
    std::sort(rows_.begin(), rows_.end(), [](const Row& a, const Row& b) {
        const int ga = a.group == 0 ? 5 : a.group, gb = b.group == 0 ? 5 : b.group;
        if (ga != gb) {
            return ga < gb;
        }
        const int byName = QString::fromStdString(a.who.person.name)
                               .localeAwareCompare(QString::fromStdString(b.who.person.name));
        return byName != 0 ? byName < 0 : a.who.person.id < b.who.person.id;
    });
    endResetModel();
}

PersonId RosterModel::personAt(int row) const {
    return row >= 0 && row < rowCount() ? rows_[static_cast<std::size_t>(row)].who.person.id : 0;
}

int RosterModel::rowOf(PersonId id) const {
    const auto it =
        std::find_if(rows_.begin(), rows_.end(), [id](const Row& r) { return r.who.person.id == id; });
    return it == rows_.end() ? -1 : static_cast<int>(it - rows_.begin());
}

int RosterModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int RosterModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumns; }

QVariant RosterModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    const Row& r = rows_[static_cast<std::size_t>(index.row())];
    const Person& p = r.who.person;
    if (role == Qt::DisplayRole || role == Qt::EditRole) {
        switch (index.column()) {
        case Name:
            return QString::fromStdString(p.name);
        case Number:
            return QString::fromStdString(p.personnelNumber);
        case Watch:
            return r.watch;
        case Week:
            return role == Qt::EditRole ? QVariant(p.weeklyHours)
                                        : QVariant(QStringLiteral("%1 ч").arg(p.weeklyHours));
        default:
            return {};
        }
    }
    if (role == Qt::ToolTipRole && index.column() == Watch && !r.history.isEmpty()) {
        return r.history;
    }
    if (role == Qt::ForegroundRole && r.group == 0) {
        return QBrush(QColor(110, 110, 110));
    }
    return {};
}

QVariant RosterModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    switch (section) {
    case Name:
        return QStringLiteral("ФИО");
    case Number:
        return QStringLiteral("Табельный номер");
    case Watch:
        return QStringLiteral("Караул");
    case Week:
        return QStringLiteral("Неделя");
    default:
        return {};
    }
}

Qt::ItemFlags RosterModel::flags(const QModelIndex& index) const {
    const Qt::ItemFlags base = QAbstractTableModel::flags(index);
    return index.isValid() && index.column() != Watch ? base | Qt::ItemIsEditable : base;
}

bool RosterModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole || !editor_) {
        return false;
    }
    Person p = rows_[static_cast<std::size_t>(index.row())].who.person;
    const QString text = value.toString().simplified();
    switch (index.column()) {
    case Name:
        p.name = text.toStdString();
        break;
    case Number:
        p.personnelNumber = text.toStdString();
        break;
    case Week:
        p.weeklyHours = value.toInt();
        break;
    default:
        return false;
    }
    if (p == rows_[static_cast<std::size_t>(index.row())].who.person) {
        return false;
    }
    editor_(p);
    return true;
}

} // namespace sutograf
