#include "timesheet_csv.h"

#include "csv.h"
#include "number_text.h"

#include <cstdlib>
#include <vector>

namespace sutograf {

std::string decimalHours(int minutes) {
    const int hundredths = (std::abs(minutes) * 100 + 30) / 60; // to the nearest hundredth of an hour
    std::string text;
    if (minutes < 0 && hundredths != 0) {
        text += '-';
    }
    text += std::to_string(hundredths / 100);
    if (const int part = hundredths % 100; part != 0) {
        char fraction[3] = {','};
        writeDigits(part, 2, fraction + 1);
        text.append(fraction, part % 10 != 0 ? 3 : 2); // "8,5", not "8,50"
    }
    return text;
}

std::string timesheetCsv(const Timesheet& sheet, std::string_view unit, std::string_view title) {
    csv::Writer out;
    if (!unit.empty()) {
        out.row({unit});
    }
    out.row({title});
    const std::size_t days = sheet.days.last.serial - sheet.days.first.serial + 1;
    std::vector<std::string> line{"№", "ФИО", "Табельный номер", "Строка"};
    for (std::size_t d = 1; d <= days; ++d) {
        line.push_back(std::to_string(d));
    }
    const std::string periodFrom = " с " + shortDateText(sheet.period.first);
    for (const char* total : {"Явок (смен)", "Часов", "Ночных", "Праздничных", "Неявки, дней", "Норма, ч",
                              "± за месяц", "± за учётный период"}) {
        line.emplace_back(total);
    }
    line.back() += periodFrom;
    line.emplace_back("Сверхурочно за учётный период");
    out.row(line);

    int number = 0;
    for (const TimesheetRow& row : sheet.rows) {
        ++number;
        const Hours& w = row.totals.worked;
        const std::string kinds[4] = {"коды", "Я, ч", "Н, ч", "РВ, ч"};
        for (int k = 0; k < 4; ++k) {
            line.assign({k == 0 ? std::to_string(number) : "", k == 0 ? row.person.name : "",
                         k == 0 ? row.person.personnelNumber : "", kinds[k]});
            for (const TimesheetDay& d : row.days) {
                const int minutes = k == 1   ? d.hours.workedMinutes
                                    : k == 2 ? d.hours.nightMinutes
                                             : d.hours.holidayMinutes;
                line.push_back(k == 0         ? dayEntry(d).codes
                               : minutes == 0 ? std::string()
                                              : decimalHours(minutes));
            }
            if (k == 0) {
                for (const std::string& total :
                     {std::to_string(w.duties), decimalHours(w.workedMinutes), decimalHours(w.nightMinutes),
                      decimalHours(w.holidayMinutes), absencesText(row.totals),
                      decimalHours(row.totals.ownNormMinutes), decimalHours(row.balanceMinutes),
                      decimalHours(row.periodBalanceMinutes),
                      row.overtimeMinutes ? decimalHours(*row.overtimeMinutes) : std::string()}) {
                    line.push_back(total);
                }
            }
            out.row(line);
        }
    }
    return out.text();
}

} // namespace sutograf
