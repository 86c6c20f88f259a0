#include "roster_tables.h"

#include <sqlite3.h>

#include <algorithm>

namespace sutograf {

namespace {

std::optional<Absence> absenceFromCode(std::string_view code) {
    for (std::size_t k = 0; k < kAbsenceKinds; ++k) {
        if (absenceCode(static_cast<Absence>(k)) == code) {
            return static_cast<Absence>(k);
        }
    }
    return std::nullopt;
}

std::optional<PersonId> optionalId(const sql::Statement& s, int column) {
    return s.isNull(column) ? std::nullopt : std::optional<PersonId>(s.integer(column));
}

void bindOptional(sql::Statement& s, int index, std::optional<PersonId> id) {
    if (id) {
        s.bind(index, *id);
    } else {
        s.bindNull(index);
    }
}

// SQLITE_DONE when the statement ran, whatever error code otherwise.
int finish(sql::Statement& s) { return s.prepared() != SQLITE_OK ? s.prepared() : s.run(); }

} // namespace

std::optional<Roster> readRoster(sql::Connection& db) {
    Roster r;
    sql::Statement people(db, "SELECT id, name, personnel_number, weekly_hours FROM people ORDER BY id");
    int rc;
    while ((rc = people.step()) == SQLITE_ROW) {
        PersonRecord p;
        p.person = {people.integer(0), std::string(people.text(1)), std::string(people.text(2)),
                    static_cast<int>(people.integer(3))};
        r.people.push_back(std::move(p));
    }
    if (rc != SQLITE_DONE) {
        return std::nullopt;
    }
    sql::Statement spells(db, "SELECT person, from_day, watch FROM watch_spells ORDER BY person, from_day");
    while ((rc = spells.step()) == SQLITE_ROW) {
        PersonRecord* p = r.find(spells.integer(0));
        const auto from = dateFromIso(spells.text(1));
        if (p == nullptr || !from) {
            return std::nullopt;
        }
        p->watches.push_back({*from, static_cast<int>(spells.integer(2))});
    }
    if (rc != SQLITE_DONE) {
        return std::nullopt;
    }
    sql::Statement absences(
        db,
        "SELECT id, person, first_day, last_day, code, note FROM absences ORDER BY person, first_day, id");
    while ((rc = absences.step()) == SQLITE_ROW) {
        PersonRecord* p = r.find(absences.integer(1));
        const auto first = dateFromIso(absences.text(2)), last = dateFromIso(absences.text(3));
        const auto kind = absenceFromCode(absences.text(4));
        if (p == nullptr || !first || !last || !kind) {
            return std::nullopt;
        }
        p->absences.push_back({*first, *last, *kind, std::string(absences.text(5)), absences.integer(0)});
    }
    if (rc != SQLITE_DONE) {
        return std::nullopt;
    }
    sql::Statement swaps(db, "SELECT id, day, gives, takes, outsider FROM swaps ORDER BY day, id");
    while ((rc = swaps.step()) == SQLITE_ROW) {
        const auto day = dateFromIso(swaps.text(1));
        if (!day) {
            return std::nullopt;
        }
        r.swaps.push_back(
            {*day, optionalId(swaps, 2), optionalId(swaps, 3), std::string(swaps.text(4)), swaps.integer(0)});
    }
    if (rc != SQLITE_DONE) {
        return std::nullopt;
    }
    return r;
}

int insertPerson(sql::Connection& db, const PersonRecord& who, PersonId& id) {
    sql::Statement s(db, "INSERT INTO people (name, personnel_number, weekly_hours) VALUES (?, ?, ?)");
    s.bind(1, who.person.name)
        .bind(2, who.person.personnelNumber)
        .bind(3, std::int64_t{who.person.weeklyHours});
    if (const int rc = finish(s); rc != SQLITE_DONE) {
        return rc;
    }
    id = db.lastInsertId();
    for (const WatchSpell& w : who.watches) {
        if (const int rc = putSpell(db, id, w); rc != SQLITE_DONE) {
            return rc;
        }
    }
    for (const AbsenceSpan& a : who.absences) {
        std::int64_t absenceId = 0;
        if (const int rc = insertAbsence(db, id, a, absenceId); rc != SQLITE_DONE) {
            return rc;
        }
    }
    return SQLITE_DONE;
}

int updatePersonRow(sql::Connection& db, const Person& p) {
    sql::Statement s(db, "UPDATE people SET name = ?, personnel_number = ?, weekly_hours = ? WHERE id = ?");
    s.bind(1, p.name).bind(2, p.personnelNumber).bind(3, std::int64_t{p.weeklyHours}).bind(4, p.id);
    return finish(s);
}

int deletePersonRow(sql::Connection& db, PersonId id) {
    sql::Statement s(db, "DELETE FROM people WHERE id = ?");
    s.bind(1, id);
    return finish(s);
}

int putSpell(sql::Connection& db, PersonId who, const WatchSpell& w) {
    sql::Statement s(db, "INSERT OR REPLACE INTO watch_spells (person, from_day, watch) VALUES (?, ?, ?)");
    s.bind(1, who).bind(2, isoDateText(w.from)).bind(3, std::int64_t{w.watch});
    return finish(s);
}

int deleteSpell(sql::Connection& db, PersonId who, Date from) {
    sql::Statement s(db, "DELETE FROM watch_spells WHERE person = ? AND from_day = ?");
    s.bind(1, who).bind(2, isoDateText(from));
    return finish(s);
}

int insertAbsence(sql::Connection& db, PersonId who, const AbsenceSpan& a, std::int64_t& id) {
    sql::Statement s(db,
                     "INSERT INTO absences (person, first_day, last_day, code, note) VALUES (?, ?, ?, ?, ?)");
    s.bind(1, who)
        .bind(2, isoDateText(a.first))
        .bind(3, isoDateText(a.last))
        .bind(4, absenceCode(a.kind))
        .bind(5, a.note);
    const int rc = finish(s);
    id = db.lastInsertId();
    return rc;
}

int deleteAbsence(sql::Connection& db, std::int64_t id) {
    sql::Statement s(db, "DELETE FROM absences WHERE id = ?");
    s.bind(1, id);
    return finish(s);
}

int insertSwap(sql::Connection& db, const DutySwap& w, std::int64_t& id) {
    sql::Statement s(db, "INSERT INTO swaps (day, gives, takes, outsider) VALUES (?, ?, ?, ?)");
    s.bind(1, isoDateText(w.day));
    bindOptional(s, 2, w.gives);
    bindOptional(s, 3, w.takes);
    s.bind(4, w.outsider);
    const int rc = finish(s);
    id = db.lastInsertId();
    return rc;
}

int deleteSwap(sql::Connection& db, std::int64_t id) {
    sql::Statement s(db, "DELETE FROM swaps WHERE id = ?");
    s.bind(1, id);
    return finish(s);
}

} // namespace sutograf
