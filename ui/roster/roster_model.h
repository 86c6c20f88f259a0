#pragma once

#include <QAbstractTableModel>

#include <functional>
#include <vector>

#include "people.h"

namespace sutograf {

struct Roster;

// Which people the roster window lists: everyone, one watch's, or those who have left (or were never
// put in a watch). A person's watch is the one of the day shown; one who joins later counts with the
// watch they join.
enum class RosterFilter { All, Watch1, Watch2, Watch3, Watch4, Left };

// The roster's people as a table: ФИО, табельный номер, караул, неделя. Grouped by watch (1 to 4, then
// those who left), by name within each. Edits of a name, a number or the week go to the editor given;
// the table changes only when the roster it is given changes.
class RosterModel : public QAbstractTableModel {
public:
    enum Column { Name, Number, Watch, Week, kColumns };
    using Editor = std::function<void(const Person&)>;

    explicit RosterModel(QObject* parent = nullptr);

    void setEditor(Editor editor) { editor_ = std::move(editor); }
    void show(const Roster& roster, Date today, RosterFilter filter);

    // 0 for a row that is none.
    PersonId personAt(int row) const;
    // -1 when not listed.
    int rowOf(PersonId id) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

private:
    struct Row {
        PersonRecord who;
        QString watch, history;
        int group = 0;
    };
    std::vector<Row> rows_;
    Editor editor_;
};

// 1..4 for the watch a person belongs to on `today`, or the one they join later; 0 for those who have
// left or never had one.
int rosterGroupOf(const PersonRecord& who, Date today);

} // namespace sutograf
