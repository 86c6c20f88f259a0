#include "rota.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>

#include "number_text.h"

namespace sutograf {
namespace {

// Every suffix has the same length, which lets every tooltip have one fixed size.
constexpr std::size_t kSuffixSize = TablitsaKaraulov[0].suffix.size();
static_assert(std::all_of(TablitsaKaraulov.begin(), TablitsaKaraulov.end(),
                          [](const Karaul& k) { return k.suffix.size() == kSuffixSize; }));

// The cells' day texts point here.
constexpr std::array<std::string_view, 32> kDayTexts = {
    "",   "1",  "2",  "3",  "4",  "5",  "6",  "7",  "8",  "9",  "10", "11", "12", "13", "14", "15",
    "16", "17", "18", "19", "20", "21", "22", "23", "24", "25", "26", "27", "28", "29", "30", "31"};

// Walks the calendar one day at a time, keeping the ".mm.yyyy" tail of the day's short text ready:
// much cheaper than converting every cell's serial number and formatting it anew. The day's own
// digits are made from the number each time; reading them back from a buffer just written byte
// by byte would stall the store-to-load forwarding.
class DayCursor {
public:
    explicit DayCursor(Date start) : c_(civilOf(start)) { startMonth(); }

    const CivilDate& civil() const { return c_; }

    // Writes the ten characters "dd.mm.yyyy".
    void writeShortText(char* out) const {
        writeDigits(c_.day, 2, out);
        std::memcpy(out + 2, monthYear_, sizeof monthYear_);
    }

    void next() {
        if (++c_.day <= monthLength_) {
            return;
        }
        c_.day = 1;
        if (++c_.month > 12) {
            c_.month = 1;
            ++c_.year;
        }
        startMonth();
    }

private:
    void startMonth() {
        monthLength_ = daysInMonth(c_.year, c_.month);
        char text[10];
        writeShortDate(c_, text);
        std::copy(text + 2, text + 10, monthYear_);
    }

    CivilDate c_;
    int monthLength_ = 0;
    char monthYear_[8] = {};
};

// The 56 days from first, which lies in the model with all the others. A single return, so that the
// cells are built where the caller wants them.
std::optional<SetkaMesyatsa> monthGrid(Date first, int shownMonth, float offset, Date today) {
    // watchOn depends on the day only through its serial mod 4, so four days settle all 56.
    std::array<std::optional<int>, 4> watchByPhase;
    for (int i = 0; i < 4; ++i) {
        watchByPhase[i] = watchOn(Date{first.serial + i}, offset);
    }

    std::optional<SetkaMesyatsa> result(std::in_place);
    SetkaMesyatsa& grid = *result;
    DayCursor cursor(first);
    for (int k = 0; k < 56; ++k, cursor.next()) {
        YacheykaSetki& cell = grid.cells[k];
        cell.k = k;
        cell.date = Date{first.serial + k};
        cell.dayText = kDayTexts[cursor.civil().day];
        cell.inMonth = cursor.civil().month == shownMonth;
        cell.watch = watchByPhase[k % 4];
        cell.isToday = cell.date == today;
        if (cell.watch) {
            const Karaul& karaul = TablitsaKaraulov[*cell.watch - 1];
            cell.colour = cell.inMonth ? karaul.colour : kGreyText;
            char* tip = cell.tooltip.emplace().bytes.data();
            cursor.writeShortText(tip);
            std::memcpy(tip + 10, karaul.suffix.data(), kSuffixSize);
        } else {
            cell.colour = cell.inMonth ? std::nullopt : std::optional<std::uint32_t>(kGreyText);
            cell.tooltip.reset();
        }
    }
    const std::int32_t todayCell = today.serial - first.serial;
    grid.todayCell = todayCell >= 0 && todayCell < 56 ? std::optional<int>(todayCell) : std::nullopt;
    return result;
}

} // namespace

float Ost(float x) {
    const float f = x - std::floor(x);
    // A tiny negative x rounds x - floor(x) up to 1.0f; the largest float below 1 is the true answer's
    // nearest neighbour inside [0, 1).
    return f < 1.0f ? f : std::nextafter(1.0f, 0.0f);
}

std::optional<int> watchOn(Date d, float offset) {
    // Every serial of the model is below 2^24, so s / 4 is exact in single precision and m is
    // exactly the non-negative remainder 0, 1, 2 or 3.
    const float m = 4.0f * Ost(static_cast<float>(d.serial) / 4.0f);
    float idx = m + offset;
    if (idx > 3.0f) {
        idx -= 4.0f;
    }
    if (idx == 0.0f || idx == 1.0f || idx == 2.0f || idx == 3.0f) {
        return static_cast<int>(idx) + 1;
    }
    return std::nullopt;
}

std::optional<SetkaMesyatsa> Setka_Raschet(float year, float month, float offset, Date today) {
    const std::string firstText = "1." + numberText(month) + "." + numberText(year);
    const auto d1 = dateFromText(firstText);
    if (!d1) {
        return std::nullopt;
    }
    const int w = weekdayOf(*d1);
    const Date first{d1->serial - (w + 7) + 1};
    if (!inModel(first) || !inModel(Date{first.serial + 55})) {
        return std::nullopt;
    }
    return monthGrid(first, monthOf(*d1), offset, today);
}

std::optional<SetkaMesyatsa> gridFromText(std::string_view yearText, std::string_view monthText, float offset,
                                          Date today) {
    const auto year = textToSingle(yearText);
    const auto month = textToSingle(monthText);
    if (!year || !month) {
        return std::nullopt;
    }
    return Setka_Raschet(*year, *month, offset, today);
}

} // namespace sutograf
