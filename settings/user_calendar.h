#pragma once

#include <QString>

#include <vector>

#include "production_calendar.h"
#include "settings_place.h"

namespace sutograf {

inline const QString kUserCalendarFileName = QStringLiteral("calendar.csv");

// The production calendar the windows count with: the shipped table, with the years of the user's
// calendar.csv (same format, for a decree published after this release) laid over it, each year
// whole. A year in which the file has a bad line, or which lacks one of the Labour Code's holidays
// (a file that lists only a decree's transfers), keeps the shipped table: a year taken in part would
// give a norm that is wrong without saying so. A bad line whose year cannot be read ("09.01.2026", a
// quoted date, a byte-order mark of a second file pasted in) could belong to any year of the file, so
// then no year of the file is taken at all.
struct LoadedCalendar {
    ProductionCalendar calendar;
    QString path;                      // the user's file, whether or not it exists
    bool userFileRead = false;         // it exists and was read
    std::vector<CalendarError> errors; // its problems, line by line (line 0: the file or a year as a whole)
    std::vector<int> yearsNotTaken; // years the file lists, in order, counted by the program's own calendar
    bool yearUnreadable = false;    // a bad line's year could not be read, so no year was taken
};

LoadedCalendar loadCalendar(const SettingsPlace& place);

// The same from the file's bytes, for reading and for the tests.
LoadedCalendar calendarWithOverlay(const QByteArray& userCsv);

// What the windows say after the file's errors, in Russian: which years the program's own calendar
// counts instead of the file ("За 2026 год взят календарь программы."), and why when it is all of
// them. Empty when the file gave no error.
QString calendarVerdict(const LoadedCalendar& loaded);

} // namespace sutograf
