// Any text a user can type or put into one of the program's files: read as a date, as a number, as
// the year box's year, as Opt.txt, sutograf.ini and calendar.csv. Whatever is accepted must come back
// unchanged through its own text, a grid is either refused or whole and consistent, Opt.txt gives
// only 0 to 3, and the files' readers never fail loudly. Input: one byte for the month (0..13: 0 and
// 13 must be refused) and the offset, then the text.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "date.h"
#include "number_text.h"
#include "opt_file.h"
#include "production_calendar.h"
#include "rota.h"
#include "sutograf_ini.h"

namespace {

void require(bool holds) {
    if (!holds) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const int month = data[0] % 14;
    const auto offset = static_cast<float>((data[0] >> 4) % 4);
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

    if (const auto date = sutograf::dateFromText(text)) {
        require(sutograf::inModel(*date) && sutograf::dateFromText(sutograf::shortDateText(*date)) == date);
    }
    const auto value = sutograf::textToSingle(text);
    if (value) {
        require(std::isfinite(*value) && sutograf::textToSingle(sutograf::numberText(*value)) == value);
        const int n = sutograf::toInt16(*value);
        require(std::fabs(*value) >= 32767.0f || std::fabs(static_cast<float>(n) - *value) <= 0.5f);
    }

    if (const auto offset = sutograf::parseOffsetFile(text)) {
        require(*offset == 0.0f || *offset == 1.0f || *offset == 2.0f || *offset == 3.0f);
    }
    std::vector<sutograf::CalendarError> errors;
    sutograf::ProductionCalendar::fromCsv(text, &errors);
    require(errors.size() <= sutograf::ProductionCalendar::kMaxErrors + 1);
    const auto ini = sutograf::parseIni(QByteArray(text.data(), static_cast<qsizetype>(text.size())));
    require(ini.choices.yearWatch >= 1 && ini.choices.yearWatch <= 4 &&
            ini.choices.duty.countedMinutes >= 60);

    const sutograf::Date today{40613};
    const auto grid = sutograf::gridFromText(text, sutograf::numberText(month), offset, today);
    if (!grid) {
        return 0;
    }
    require(month >= 1 && month <= 12 && value.has_value());
    require(sutograf::weekdayOf(grid->cells[0].date) == 1);
    for (int k = 0; k < 56; ++k) {
        const auto& cell = grid->cells[k];
        require(sutograf::inModel(cell.date) && cell.date.serial == grid->cells[0].date.serial + k &&
                cell.watch.has_value() && cell.isToday == (cell.date == today));
    }
    return 0;
}
