#include "roster.h"

#include <algorithm>

namespace sutograf {

const PersonRecord* Roster::find(PersonId id) const {
    const auto it = std::lower_bound(people.begin(), people.end(), id,
                                     [](const PersonRecord& r, PersonId v) { return r.person.id < v; });
    return it != people.end() && it->person.id == id ? &*it : nullptr;
}

PersonRecord* Roster::find(PersonId id) {
    return const_cast<PersonRecord*>(static_cast<const Roster&>(*this).find(id));
}

bool operator==(const Person& a, const Person& b) {
    return a.id == b.id && a.name == b.name && a.personnelNumber == b.personnelNumber &&
           a.weeklyHours == b.weeklyHours;
}

bool operator==(const WatchSpell& a, const WatchSpell& b) { return a.from == b.from && a.watch == b.watch; }

bool operator==(const AbsenceSpan& a, const AbsenceSpan& b) {
    return a.first == b.first && a.last == b.last && a.kind == b.kind && a.note == b.note && a.id == b.id;
}

bool operator==(const DutySwap& a, const DutySwap& b) {
    return a.day == b.day && a.gives == b.gives && a.takes == b.takes && a.outsider == b.outsider &&
           a.id == b.id;
}

bool operator==(const PersonRecord& a, const PersonRecord& b) {
    return a.person == b.person && a.watches == b.watches && a.absences == b.absences;
}

bool operator==(const Roster& a, const Roster& b) { return a.people == b.people && a.swaps == b.swaps; }

} // namespace sutograf
