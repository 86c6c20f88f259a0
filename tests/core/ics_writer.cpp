// Writes one year of a duty calendar to stdout for ics_check.py.
//   ics_writer watch year offset startMinute countedMinutes stamp reminder
//   ics_writer --person stamp: the year 2025 of the person ics_check.py describes, reminded the evening
//   before
// reminder: 0 none, 1 the evening before, 2 an hour before.
#include <cstdio>
#include <cstdlib>
#include <string>

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

int main(int argc, char** argv) {
    if (argc != 8 && !(argc == 3 && std::string(argv[1]) == "--person")) {
        return 2;
    }
    const int year = argc == 8 ? std::atoi(argv[2]) : 0;
    const std::string text = argc == 3
                                 ? person(argv[2])
                                 : dutyCalendar(std::atoi(argv[1]), *dateOf(year, 1, 1),
                                                *dateOf(year, 12, 31), static_cast<float>(std::atof(argv[3])),
                                                {std::atoi(argv[4]), std::atoi(argv[5]), false}, argv[6],
                                                static_cast<Reminder>(std::atoi(argv[7])));
    return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() ? 0 : 1;
}
