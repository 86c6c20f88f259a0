#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "csv.h"
#include "roster.h"

namespace sutograf {

// The people of the roster as a table for spreadsheets (csv.h): a heading line, then one line per watch
// spell of each person, in date order: "ФИО;Табельный номер;Караул;С какого дня;Часов в неделю", the
// watch 1-4 or "выбыл", the date as ДД.ММ.ГГГГ. A person with no spell has one line with both empty.
// The lines of one person share the name and the personnel number, which is how reading them back
// tells people apart (namesakes need numbers). Absences and swaps are not part of it.
inline constexpr std::string_view kRosterCsvHeading =
    "ФИО;Табельный номер;Караул;С какого дня;Часов в неделю";

std::string rosterCsv(const Roster& roster);

struct RosterImport {
    std::vector<PersonRecord> people; // ids 0: new people for RosterStore::addPeople
    std::vector<csv::LineError> errors;
};

// Reads that table back: every good line is taken, every bad one reported by its number and reason. A
// file whose first line is not the heading is no such table: nothing is taken from it.
// Also taken: dates as ГГГГ-ММ-ДД or with a two-digit year, an empty week as 40, further columns (ignored),
// lines left blank. A person already in `existing` (the same personnel number, or the same name when
// the line has no number) is reported, not added again.
RosterImport readRosterCsv(std::string_view text, const Roster& existing = {});

} // namespace sutograf
