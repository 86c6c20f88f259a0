#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "roster.h"

namespace sutograf {

// The result of an edit: saved (its transaction committed, synced to the disk) or refused, with the
// reason in Russian naming the person and dates, or the file and the cause. A refused edit changed
// nothing.
struct Saved {
    std::string error;   // empty when saved
    std::int64_t id = 0; // the new row of an add: the person, absence or swap, for a window's undo

    explicit operator bool() const { return error.empty(); }
};

// An absence of one person, for an edit of several marks at once.
struct PersonAbsence {
    PersonId person = 0;
    AbsenceSpan span;
};

// Marks taken off and put on in one edit (a window's edit and its undo): absences and swaps removed by
// their rows, then absences and swaps added. The added ones are judged in order, each against the
// roster as it stands after the removals and the additions before it.
struct MarkChange {
    std::vector<std::int64_t> removeAbsences, removeSwaps;
    std::vector<PersonAbsence> addAbsences;
    std::vector<DutySwap> addSwaps;
};

// The rows of what a MarkChange added, in its order.
struct MarkIds {
    std::vector<std::int64_t> absences, swaps;
};

// The roster in one SQLite file, sutograf.db. Opened at start; the file is made at the first edit,
// never by opening. It is opened only when it is a regular file (links followed) holding this
// program's tables of this or an older version and passing SQLite's quick check; an older one is
// migrated (copied aside first) as soon as it can be written. Any other file is never written: the
// roster is then empty and read-only for the run, and problem() says why. Every edit is one
// transaction; before each (and on refresh(), which the windows call when they become active) the
// store rereads the file if another program changed it.
//
// Removing a person removes their spells and absences; a swap they made with someone else on the
// roster stays for that person, with the removed one as an outsider under their name, and one made
// with an outsider goes.
class RosterStore {
public:
    static constexpr const char* kFileName = "sutograf.db";

    // file: where the roster is read from (it may not exist yet). writeFolder: where edits are written,
    // empty when there is nowhere. When file lies elsewhere (a write-protected stick beside the
    // program), the first edit copies it into writeFolder and goes on there. offset: the rota's, which
    // says whose duty a day is.
    RosterStore(std::filesystem::path file, std::filesystem::path writeFolder, float offset);
    ~RosterStore();
    RosterStore(const RosterStore&) = delete;
    RosterStore& operator=(const RosterStore&) = delete;

    const Roster& roster() const;
    // Edits may be tried (they may still fail for the disk's own reasons).
    bool writable() const;
    // Why the roster is empty or read-only, in Russian, naming the file; empty when all is well.
    const std::string& problem() const;
    // The file read now (or to be made by the first edit).
    const std::filesystem::path& path() const;

    void setOffset(float offset);

    // Rereads the roster when another program changed the file (or made it) since the last read;
    // answers whether it did.
    bool refresh();

    // A person with their spells and absences.
    Saved addPerson(const PersonRecord& who);
    // Everyone at once (an import), in one transaction: all saved or none. ids: the first person's.
    Saved addPeople(std::span<const PersonRecord> people);
    Saved updatePerson(const Person& p);
    Saved removePerson(PersonId id);
    // Their watch from `from` on (1-4), replacing a spell of that day.
    Saved setWatch(PersonId id, Date from, int watch);
    // They leave the unit on `from` (a spell of watch 0).
    Saved markLeft(PersonId id, Date from);
    // Undoes setWatch or markLeft of that day.
    Saved removeSpell(PersonId id, Date from);
    Saved addAbsence(PersonId id, const AbsenceSpan& a);
    Saved removeAbsence(std::int64_t absenceId);
    Saved addSwap(const DutySwap& s);
    Saved removeSwap(std::int64_t swapId);
    // All of it or nothing; the rows of what it added go to `added` when it is saved.
    Saved changeMarks(const MarkChange& change, MarkIds* added = nullptr);

private:
    Saved changeSpell(PersonId id, Date from, std::optional<int> watch); // nullopt: remove that day's

    struct State;
    std::unique_ptr<State> s_;
};

} // namespace sutograf
