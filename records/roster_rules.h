#pragma once

#include <optional>
#include <string>

#include "roster.h"

namespace sutograf {

// What the roster store refuses, checked before anything is written. Each answers nullopt when the
// edit keeps the roster sound, or the reason in Russian, naming the person and the dates, for the
// window to show as it is. The rules:
// - a person has a name and a 40- or 36-hour week; every date lies within 01.01.0100-31.12.9999;
// - an absence lies within days on which its person belongs to a watch, overlaps none of their others
//   (except sick leave over an annual or additional leave: the sick days take those days, art. 124) and
//   covers no day on which they gave or took a duty (the swap goes first);
// - a swap's giver is on a duty of their own watch that day, not absent and gives it only once; its
//   taker belongs to a watch that day, is not on its duty, not absent and takes only one duty;
// - a change of watch keeps every absence and swap of the person sound under those rules.
// `offset` is the rota's (watchOn): it says whose duty a day is.

using Refusal = std::optional<std::string>;

// Name and weekly hours.
Refusal checkPerson(const Person& p);

// A new person with their spells and absences (which must hold by themselves: there are no swaps yet).
Refusal checkNewPerson(const PersonRecord& who);

// An absence to be added to `who` (a.id is not among theirs yet); `roster` gives the swaps.
Refusal checkAbsence(const Roster& roster, const PersonRecord& who, const AbsenceSpan& a);

// A swap to be added (s.id is not among roster.swaps yet).
Refusal checkSwap(const Roster& roster, const DutySwap& s, float offset);

// `who` after a change of their watch spells: their absences and swaps must still hold.
Refusal checkSpells(const Roster& roster, const PersonRecord& who, float offset);

} // namespace sutograf
