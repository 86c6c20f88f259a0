#include "mark_command.h"

#include "roster_source.h"

namespace sutograf {

Saved exchangeMarks(RosterSource& roster, const Marks& off, Marks& on) {
    MarkChange change;
    for (const PersonAbsence& a : off.absences) {
        change.removeAbsences.push_back(a.span.id);
    }
    for (const DutySwap& s : off.swaps) {
        change.removeSwaps.push_back(s.id);
    }
    change.addAbsences = on.absences;
    change.addSwaps = on.swaps;
    MarkIds ids;
    const Saved saved = roster.edit([&](RosterStore& s) { return s.changeMarks(change, &ids); });
    if (saved) {
        for (std::size_t i = 0; i < on.absences.size() && i < ids.absences.size(); ++i) {
            on.absences[i].span.id = ids.absences[i];
        }
        for (std::size_t i = 0; i < on.swaps.size() && i < ids.swaps.size(); ++i) {
            on.swaps[i].id = ids.swaps[i];
        }
    }
    return saved;
}

MarkCommand::MarkCommand(RosterSource& roster, Marks off, Marks on, const QString& text)
    : roster_(roster), off_(std::move(off)), on_(std::move(on)) {
    setText(text);
}

void MarkCommand::undo() {
    error_.clear();
    if (!applied_) {
        return; // a refused redo being stepped back over
    }
    const Saved saved = exchangeMarks(roster_, on_, off_);
    applied_ = !saved;
    error_ = QString::fromStdString(saved.error);
}

void MarkCommand::redo() {
    error_.clear();
    if (applied_) {
        return; // pushed after its edit was saved, or a refused undo being stepped back over
    }
    const Saved saved = exchangeMarks(roster_, off_, on_);
    applied_ = static_cast<bool>(saved);
    error_ = QString::fromStdString(saved.error);
}

} // namespace sutograf
