#include "person_choice.h"

#include <QStandardItemModel>

#include <algorithm>
#include <vector>

#include "roster.h"
#include "roster_model.h"

namespace sutograf {

PersonChoice::PersonChoice(QWidget* parent) : QComboBox(parent) {
    setObjectName(QStringLiteral("personBox"));
    setSizeAdjustPolicy(QComboBox::AdjustToContents);
    setMaxVisibleItems(25);
    setToolTip(QStringLiteral("Год одного сотрудника: его дежурства с подменами, отсутствия и часы"));
    connect(this, &QComboBox::activated, this, [this](int) { emit chosenChanged(chosen()); });
}

bool PersonChoice::setRoster(const Roster& roster, Date day, PersonId chosen) {
    struct Entry {
        int group; // 1..4, then 5 for those who have left
        const PersonRecord* who;
    };
    std::vector<Entry> entries;
    entries.reserve(roster.people.size());
    for (const PersonRecord& p : roster.people) {
        const int group = rosterGroupOf(p, day);
        entries.push_back({group == 0 ? 5 : group, &p});
    }
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return a.group != b.group
                   ? a.group < b.group
                   : QString::fromStdString(a.who->person.name)
                             .localeAwareCompare(QString::fromStdString(b.who->person.name)) < 0;
    });

    const QSignalBlocker quiet(this);
    clear();
    addItem(QStringLiteral("весь караул"), QVariant::fromValue<qlonglong>(0));
    auto* items = qobject_cast<QStandardItemModel*>(model());
    int group = 0;
    for (const Entry& e : entries) {
        if (e.group != group) {
            group = e.group;
            addItem(group == 5 ? QStringLiteral("— выбывшие —") : QStringLiteral("— %1 караул —").arg(group));
            items->item(count() - 1)->setFlags(Qt::NoItemFlags);
        }
        const Person& p = e.who->person;
        addItem(QString::fromStdString(p.name), QVariant::fromValue<qlonglong>(p.id));
        if (!p.personnelNumber.empty()) {
            setItemData(count() - 1,
                        QStringLiteral("табельный номер %1").arg(QString::fromStdString(p.personnelNumber)),
                        Qt::ToolTipRole);
        }
    }
    const int found = findData(QVariant::fromValue<qlonglong>(chosen));
    setCurrentIndex(std::max(found, 0));
    return found >= 0;
}

PersonId PersonChoice::chosen() const { return currentData().toLongLong(); }

void PersonChoice::choose(PersonId id) {
    const QSignalBlocker quiet(this);
    setCurrentIndex(std::max(findData(QVariant::fromValue<qlonglong>(id)), 0));
}

} // namespace sutograf
