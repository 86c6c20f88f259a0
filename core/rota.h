#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "date.h"

namespace sutograf {

// x - floor(x): always in [0, 1), also for negative x (Ost(-0.25) == 0.75).
float Ost(float x);

// Colours are written as the window layouts write them: 0x00BBGGRR for a plain colour (red in
// the low byte), 0x800000nn for the desktop's system colour nn.
struct Karaul {
    int number; // 1..4
    std::uint32_t colour;
    std::string_view suffix; // UTF-8, appended to the date in a cell's tooltip
};

inline constexpr std::array<Karaul, 4> TablitsaKaraulov = {{
    {1, 0xFF00FF, ", 1 караул"}, // magenta
    {2, 0xFF0000, ", 2 караул"}, // blue
    {3, 0x0000FF, ", 3 караул"}, // red
    {4, 0x00FFFF, ", 4 караул"}, // yellow
}};

inline constexpr std::uint32_t kGreyText = 0x80000011; // system colour 17, grey text

// The watch (1..4) on duty on day d for a rota offset, or nullopt when the offset gives that day
// no watch. Offsets 0..3 give ((serial mod 4) + offset) mod 4 + 1. Others follow the same single
// precision steps: one subtraction of 4 above 3 and no wrap upwards, so 4 acts like 0, while
// 5, -1 or 1.5 leave some or all days without a watch.
std::optional<int> watchOn(Date d, float offset);

// The day's place in the four-day cycle, 0..3 (serial mod 4): watchOn depends on a day only through it,
// and serials 0..3 have phases 0..3.
constexpr int rotaPhase(Date d) { return (d.serial % 4 + 4) % 4; }

// A cell's tooltip, the date and its watch ("09.03.2011, 4 караул", UTF-8), held in the cell itself:
// a month's 56 tooltips then need no heap. Every tooltip has the same length.
struct TooltipText {
    static constexpr std::size_t kSize = 10 + TablitsaKaraulov[0].suffix.size();
    std::array<char, kSize> bytes;

    constexpr operator std::string_view() const { return {bytes.data(), bytes.size()}; }
    friend constexpr bool operator==(const TooltipText& a, std::string_view b) {
        return std::string_view(a) == b;
    }
};

// A blank cell (YacheykaSetki{}) is zero and empty throughout; Setka_Raschet fills every field.
struct YacheykaSetki {
    int k = 0; // cell number: week column k / 7, weekday row k % 7 (Monday on top)
    Date date;
    std::string_view dayText; // "1" .. "31", in static storage
    bool inMonth = false;
    std::optional<int> watch;
    std::optional<std::uint32_t> colour; // nullopt: leave the cell's colour as it is
    std::optional<TooltipText> tooltip;  // nullopt: leave the cell's tooltip as it is
    bool isToday = false;
};

struct SetkaMesyatsa {
    // Not an aggregate: built in place, it starts from the cells' own initialisers (which the compiler
    // drops where Setka_Raschet writes anyway) instead of first zeroing the whole 4 KB block, a tenth
    // of a month's work.
    SetkaMesyatsa() {}

    std::array<YacheykaSetki, 56> cells;
    std::optional<int> todayCell;
};

// The 56 days from the Monday of the week before the month's first week, with their watches and
// looks. nullopt when "1.<month>.<year>" is no date (fractional, negative or five-digit years,
// a month outside 1..12) or when one of the 56 days leaves the years 100..9999.
std::optional<SetkaMesyatsa> Setka_Raschet(float year, float month, float offset, Date today);

// The grid for the year and month as the window holds them, as text: the year box's text and the
// month number text. nullopt when either is no number or the pair gives no grid; the caller then
// leaves what it shows as it is.
std::optional<SetkaMesyatsa> gridFromText(std::string_view yearText, std::string_view monthText, float offset,
                                          Date today);

} // namespace sutograf
