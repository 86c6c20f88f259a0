// Writes one year of one watch's duty calendar to stdout for ics_check.py.
// Usage: ics_writer watch year offset startMinute countedMinutes stamp reminder
// reminder: 0 none, 1 the evening before, 2 an hour before.
#include <cstdio>
#include <cstdlib>

#include "ics.h"

int main(int argc, char** argv) {
    if (argc != 8) {
        return 2;
    }
    const int year = std::atoi(argv[2]);
    const std::string text = sutograf::dutyCalendar(
        std::atoi(argv[1]), *sutograf::dateOf(year, 1, 1), *sutograf::dateOf(year, 12, 31),
        static_cast<float>(std::atof(argv[3])), {std::atoi(argv[4]), std::atoi(argv[5]), false}, argv[6],
        static_cast<sutograf::Reminder>(std::atoi(argv[7])));
    return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() ? 0 : 1;
}
