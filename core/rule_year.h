#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "production_calendar.h"

namespace sutograf {

inline constexpr std::string_view kShortDayNote = "предпраздничный день (сокращён на 1 час)";

// A year the production calendar's table does not list, by the general rule of the Labour Code that
// ProductionCalendar describes: its holidays, moved days off and short days. Worked out on demand (a few
// dozen dates), cheap enough to repeat per query, so the calendar keeps no hidden state.
// Precondition: 100 <= year <= 9999.
class RuleYear {
public:
    explicit RuleYear(int year);

    const YearKinds& kinds() const { return kinds_; }
    // The holiday's name, "перенос с DD.MM.YYYY" for a moved day off, kShortDayNote for a short day; empty
    // for an ordinary day. Precondition: kinds().contains(d).
    std::string noteOf(Date d) const;

private:
    struct Move {
        std::int32_t to, from;
    };
    static constexpr std::size_t kMostMoves = 7; // one per fixed holiday outside the new-year days

    // Precondition: serial lies in the year.
    DayKind kindOf(std::int32_t serial) const { return kinds_.of(Date{serial}); }
    void set(std::int32_t serial, DayKind k) {
        kinds_.kind[static_cast<std::size_t>(serial - kinds_.jan1.serial)] = k;
    }

    YearKinds kinds_;
    std::array<Move, kMostMoves> moves_{};
    std::ptrdiff_t moveCount_ = 0;
};

} // namespace sutograf
