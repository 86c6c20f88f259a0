#pragma once

#include <optional>
#include <string>

#include "roster.h"
#include "sqlite_handles.h"

namespace sutograf {

// The roster's rows: all of them read at once, and each kind of edit written, inside the caller's
// transaction, dates as isoDateText writes them. Each writer answers the SQLite result code (SQLITE_DONE
// or SQLITE_OK when written).

// nullopt when a row holds what the program cannot take (a date or a code it does not know).
std::optional<Roster> readRoster(sql::Connection& db);

// The person's id is chosen by SQLite and returned in `id`; their spells and absences go in too.
int insertPerson(sql::Connection& db, const PersonRecord& who, PersonId& id);
int updatePersonRow(sql::Connection& db, const Person& p);
int deletePersonRow(sql::Connection& db, PersonId id);
int putSpell(sql::Connection& db, PersonId who, const WatchSpell& s); // replaces one of the same day
int deleteSpell(sql::Connection& db, PersonId who, Date from);
int insertAbsence(sql::Connection& db, PersonId who, const AbsenceSpan& a, std::int64_t& id);
int deleteAbsence(sql::Connection& db, std::int64_t id);
int insertSwap(sql::Connection& db, const DutySwap& s, std::int64_t& id);
int deleteSwap(sql::Connection& db, std::int64_t id);

} // namespace sutograf
