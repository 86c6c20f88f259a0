// Whatever lands in the year box: the rebuild either leaves the grid alone or computes a whole,
// consistent one. Input: one byte for the month and the offset, then the year text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "number_text.h"
#include "rota.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const int month = data[0] % 14;          // 0 and 13 must be refused, too
    const float offset = (data[0] >> 4) % 4; // the offsets the settings can store
    const std::string_view yearText(reinterpret_cast<const char*>(data + 1), size - 1);
    const sutograf::Date today{40613};
    const auto grid = sutograf::gridFromText(yearText, sutograf::numberText(month), offset, today);
    if (!grid) {
        return 0;
    }
    if (month < 1 || month > 12 || !sutograf::textToSingle(yearText)) {
        std::abort(); // a grid from something that is no year and month
    }
    for (int k = 0; k < 56; ++k) {
        const auto& cell = grid->cells[k];
        if (!sutograf::inModel(cell.date) || cell.date.serial != grid->cells[0].date.serial + k ||
            !cell.watch || cell.isToday != (cell.date == today)) {
            std::abort();
        }
    }
    if (sutograf::weekdayOf(grid->cells[0].date) != 1) {
        std::abort();
    }
    return 0;
}
