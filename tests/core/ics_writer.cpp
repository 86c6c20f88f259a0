// Writes one year of one watch's duty calendar to stdout for ics_check.py, from one line on stdin:
//   watch year offset startMinute countedMinutes reminder stamp
// reminder: 0 none, 1 the evening before, 2 an hour before; the stamp is the rest of the line, in UTF-8.
#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>

#include "common/binary_stdout.h"
#include "ics.h"

int main() {
    std::string line;
    std::getline(std::cin, line);
    std::istringstream fields(line);
    int watch = 0, year = 0, start = 0, counted = 0, reminder = 0;
    float offset = 0;
    std::string stamp;
    if (!(fields >> watch >> year >> offset >> start >> counted >> reminder >> stamp)) {
        return 2;
    }
    std::string rest;
    std::getline(fields, rest);
    stamp += rest;
    const auto first = sutograf::dateOf(year, 1, 1), last = sutograf::dateOf(year, 12, 31);
    if (!first || !last) {
        return 2;
    }
    const std::string text = sutograf::dutyCalendar(watch, *first, *last, offset, {start, counted, false},
                                                    stamp, static_cast<sutograf::Reminder>(reminder));
    makeStdoutBinary(); // CR LF as they are, never CR CR LF
    return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() ? 0 : 1;
}
