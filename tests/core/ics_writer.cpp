// Writes one year of a duty calendar to stdout for ics_check.py, from one line on stdin (a command line
// under Wine loses its Cyrillic):
//   watch year offset startMinute countedMinutes reminder stamp
//   person stamp: the year 2025 of the person ics_check.py describes, reminded the evening before
// reminder: 0 none, 1 the evening before, 2 an hour before; the stamp is the rest of the line, in UTF-8.
#include <cstdio>
#include <iostream>
#include <string>

#include "common/system_trouble.h"
#include "ics.h"
#include "rota.h"

using namespace sutograf;

namespace {

// The first day of the month whose watch (offset 0) is or is not `watch`.
Date firstDay(int month, int watch, bool is) {
    Date d = *dateOf(2025, month, 1);
    while ((watchOn(d, 0) == watch) != is) {
        ++d.serial;
    }
    return d;
}

std::string person(const char* stamp) {
    // Field by field: GCC 12 takes the nested braces of a record with strings for a read of
    // uninitialised memory at -O3.
    PersonRecord who;
    who.person.id = 7;
    who.person.name = "Иванов И. И.";
    who.watches = {{*dateOf(2024, 1, 1), 1}, {*dateOf(2025, 7, 1), 3}};
    who.absences = {{*dateOf(2025, 12, 20), *dateOf(2026, 1, 10), Absence::AnnualLeave, {}},
                    {*dateOf(2025, 12, 24), *dateOf(2025, 12, 26), Absence::Sick, {}}};
    const DutySwap swaps[] = {{firstDay(3, 1, true), 7, 99, {}}, {firstDay(8, 3, false), 98, 7, {}}};
    return personCalendar(who, swaps, *dateOf(2025, 1, 1), *dateOf(2025, 12, 31), 0, {}, stamp,
                          Reminder::EveningBefore);
}

} // namespace

int main() {
    std::string kind, stamp;
    int year = 2025, start = 0, counted = 0, reminder = 0;
    float offset = 0;
    if (!(std::cin >> kind) ||
        (kind != "person" && !(std::cin >> year >> offset >> start >> counted >> reminder))) {
        return 2;
    }
    std::getline(std::cin >> std::ws, stamp);
    const Date first = dateOf(year, 1, 1).value(), last = dateOf(year, 12, 31).value(); // else it throws
    const std::string text = kind == "person"
                                 ? person(stamp.c_str())
                                 : dutyCalendar(std::stoi(kind), first, last, offset, {start, counted, false},
                                                stamp, static_cast<Reminder>(reminder));
    trouble::makeStdoutBinary(); // CR LF as they are, never CR CR LF
    return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() ? 0 : 1;
}
