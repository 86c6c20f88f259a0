#pragma once

#include <vector>

#include "people.h"

namespace sutograf {

// The whole roster as the store holds it: everyone with their watch spells and absences, and all the
// swaps (a swap between two people on the roster is one record that both sides see).
struct Roster {
    std::vector<PersonRecord> people; // by id
    std::vector<DutySwap> swaps;      // by day, then id

    const PersonRecord* find(PersonId id) const;
    PersonRecord* find(PersonId id);

    friend bool operator==(const Roster&, const Roster&);
};

bool operator==(const Person&, const Person&);
bool operator==(const WatchSpell&, const WatchSpell&);
bool operator==(const AbsenceSpan&, const AbsenceSpan&);
bool operator==(const DutySwap&, const DutySwap&);
bool operator==(const PersonRecord&, const PersonRecord&);

} // namespace sutograf
