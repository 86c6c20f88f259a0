#pragma once

#include <QString>
#include <QUndoCommand>

#include <vector>

#include "roster_store.h"

namespace sutograf {

class RosterSource;

// The marks an edit of the timesheet takes off and puts on, with the rows they are stored under now.
struct Marks {
    std::vector<PersonAbsence> absences;
    std::vector<DutySwap> swaps;
    bool empty() const { return absences.empty() && swaps.empty(); }
};

// One edit of the store: `off` taken off (by their rows), `on` put on; on success the rows of `on` are
// those the store gave them. All of it or nothing.
Saved exchangeMarks(RosterSource& roster, const Marks& off, Marks& on);

// An edit of the timesheet that Ctrl+Z takes back: undoing is itself an edit of the store (what was put
// on comes off, what was taken off goes back on), and so is redoing. Either may be refused (another
// program changed those marks meanwhile, the disk is full): the roster is then left as it was, the
// command stays where it was, and lastError() says why. Pushed once its edit has been saved.
class MarkCommand : public QUndoCommand {
public:
    MarkCommand(RosterSource& roster, Marks off, Marks on, const QString& text);

    void undo() override;
    void redo() override;

    // Why the last undo or redo was refused; empty when it was done.
    const QString& lastError() const { return error_; }

private:
    RosterSource& roster_;
    Marks off_, on_;
    bool applied_ = true; // the edit is in the store
    QString error_;
};

} // namespace sutograf
