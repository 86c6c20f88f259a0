// Writes one year of a duty calendar to stdout for ics_check.py.
//   ics_writer watch year offset startMinute countedMinutes stamp reminder
//   ics_writer --person id year offset stamp reminder item...
// reminder: 0 none, 1 the evening before, 2 an hour before. A person's items, dates as YYYY-MM-DD:
// w:DATE:WATCH their watch from that day; a:FIRST:LAST:KIND an absence (KIND as Absence's number);
// g:DATE a duty given to person 99; t:DATE a duty taken from person 98.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ics.h"

namespace {

sutograf::Date dateArg(const std::string& iso) {
    return sutograf::dateOf(std::stoi(iso.substr(0, 4)), std::stoi(iso.substr(5, 2)),
                            std::stoi(iso.substr(8, 2)))
        .value();
}

bool put(const std::string& text) { return std::fwrite(text.data(), 1, text.size(), stdout) == text.size(); }

int person(int argc, char** argv) {
    sutograf::PersonRecord who;
    who.person = {std::atoll(argv[2]), "Иванов И. И.", "1001", 40};
    std::vector<sutograf::DutySwap> swaps;
    for (int i = 7; i < argc; ++i) {
        const std::string item = argv[i];
        if (item.size() < 12) {
            return 2;
        }
        const sutograf::Date day = dateArg(item.substr(2, 10));
        switch (item[0]) {
        case 'w':
            who.watches.push_back({day, std::stoi(item.substr(13))});
            break;
        case 'a':
            who.absences.push_back({day,
                                    dateArg(item.substr(13, 10)),
                                    static_cast<sutograf::Absence>(std::stoi(item.substr(24))),
                                    {}});
            break;
        case 'g':
            swaps.push_back({day, who.person.id, 99, {}});
            break;
        case 't':
            swaps.push_back({day, 98, who.person.id, {}});
            break;
        default:
            return 2;
        }
    }
    const int year = std::atoi(argv[3]);
    return put(sutograf::personCalendar(who, swaps, *sutograf::dateOf(year, 1, 1),
                                        *sutograf::dateOf(year, 12, 31),
                                        static_cast<float>(std::atof(argv[4])), {}, argv[5],
                                        static_cast<sutograf::Reminder>(std::atoi(argv[6]))))
               ? 0
               : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 7 && std::string(argv[1]) == "--person") {
        return person(argc, argv);
    }
    if (argc != 8) {
        return 2;
    }
    const int year = std::atoi(argv[2]);
    return put(sutograf::dutyCalendar(std::atoi(argv[1]), *sutograf::dateOf(year, 1, 1),
                                      *sutograf::dateOf(year, 12, 31), static_cast<float>(std::atof(argv[3])),
                                      {std::atoi(argv[4]), std::atoi(argv[5]), false}, argv[6],
                                      static_cast<sutograf::Reminder>(std::atoi(argv[7]))))
               ? 0
               : 1;
}
