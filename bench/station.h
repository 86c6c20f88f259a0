#pragma once

// A station as the benchmarks (and anyone who needs a full roster) see it: 4 watches of 15 people, each
// with 10 absences and 10 duties given away in one year, the same on every run and every machine. Every
// record is one the roster store accepts: absences lie within the person's time in the unit and never
// overlap, except sick leave inside an annual leave; a swap's giver is on a duty of their own watch that
// day and not absent; its taker, of another watch, is off, not absent and takes no other duty that day.

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "date.h"
#include "people.h"
#include "rota.h"

namespace sutograf::bench {

struct Station {
    int year = 0;
    float offset = 0;
    std::vector<PersonRecord> people; // ids 1..60; watch w holds ids 15 (w - 1) + 1 .. 15 w
    std::vector<DutySwap> swaps;      // everyone's, in the order they were made
};

inline constexpr int kWatches = 4;
inline constexpr int kPeoplePerWatch = 15;
inline constexpr int kAbsencesEach = 10;
inline constexpr int kSwapsEach = 10;

namespace detail {

// splitmix64: its output is fixed by its definition, unlike the standard distributions, whose results
// differ between standard libraries.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // lo..hi, both included. Precondition: lo <= hi.
    int between(int lo, int hi) {
        return lo + static_cast<int>(next() % static_cast<std::uint64_t>(hi - lo + 1));
    }

private:
    std::uint64_t state_;
};

struct PlannedAbsence {
    Absence kind;
    int shortest, longest; // days
};

// One a slot: a tenth of the year each. The leave of 28 days is taken in two halves (art. 125).
inline constexpr PlannedAbsence kPlan[kAbsencesEach] = {
    {Absence::AnnualLeave, 14, 14}, {Absence::Sick, 3, 9},         {Absence::Training, 5, 10},
    {Absence::AnnualLeave, 14, 14}, {Absence::BusinessTrip, 2, 5}, {Absence::ExtraLeave, 5, 10},
    {Absence::Sick, 3, 7},          {Absence::StateDuty, 1, 2},    {Absence::UnpaidLeave, 1, 3},
    {Absence::Unexplained, 1, 1},
};

inline bool absentOn(const PersonRecord& p, Date d) {
    return std::any_of(p.absences.begin(), p.absences.end(),
                       [d](const AbsenceSpan& a) { return a.first <= d && d <= a.last; });
}

} // namespace detail

// Precondition: 101 <= year <= 9999.
inline Station makeStation(int year = 2025, std::uint64_t seed = 2025) {
    detail::Random random(seed);
    Station s;
    s.year = year;
    const Date jan1 = *dateOf(year, 1, 1);
    const int length = dateOf(year, 12, 31)->serial - jan1.serial + 1;
    const int slot = length / kAbsencesEach; // 36 days

    for (int w = 1; w <= kWatches; ++w) {
        for (int i = 0; i < kPeoplePerWatch; ++i) {
            PersonRecord p;
            p.person.id = (w - 1) * kPeoplePerWatch + i + 1;
            p.person.name = "Сотрудник " + std::to_string(w) + "-" + std::to_string(i + 1);
            p.person.personnelNumber = std::to_string(100000 + p.person.id);
            p.person.weeklyHours = i % 5 == 4 ? 36 : 40;
            p.watches.push_back({*dateOf(year - 1, 1, 1), w});
            for (int k = 0; k < kAbsencesEach; ++k) {
                const detail::PlannedAbsence& plan = detail::kPlan[k];
                const int days = random.between(plan.shortest, plan.longest);
                Date first{jan1.serial + k * slot + random.between(0, slot - days)};
                // Every fourth person falls ill during the second half of their leave.
                if (k == 6 && i % 4 == 0) {
                    first = Date{p.absences[3].first.serial + random.between(0, 14 - days)};
                }
                p.absences.push_back({first, Date{first.serial + days - 1}, plan.kind, {}, 0});
            }
            s.people.push_back(std::move(p));
        }
    }

    // Who has taken a duty on which day: a taker works one duty a day at the most.
    std::vector<std::vector<bool>> takes(s.people.size(),
                                         std::vector<bool>(static_cast<std::size_t>(length)));
    for (std::size_t g = 0; g < s.people.size(); ++g) {
        const PersonRecord& giver = s.people[g];
        const int watch = giver.watches.front().watch;
        for (int k = 0; k < kSwapsEach; ++k) {
            // A day of the giver's own duty from a random day of slot k on, not absent; at most one
            // swap a slot, so never the same day twice. Some slot always has one: 36 days hold nine
            // duties and no absence is longer than 14 days.
            int day = k * slot + random.between(0, slot - 1);
            int tries = 0;
            for (; tries < length; ++tries, day = (day + 1) % length) {
                const Date d{jan1.serial + day};
                if (watchOn(d, s.offset) == watch && !detail::absentOn(giver, d) &&
                    std::none_of(s.swaps.begin(), s.swaps.end(), [&](const DutySwap& x) {
                        return x.day == d && x.gives == giver.person.id;
                    })) {
                    break;
                }
            }
            if (tries == length) {
                continue;
            }
            const Date d{jan1.serial + day};
            DutySwap swap{d, giver.person.id, std::nullopt, {}, 0};
            // The tenth goes to someone from a neighbouring station; the others to the first free
            // person of another watch from a random one on.
            if (k == kSwapsEach - 1) {
                swap.outsider = "Петров П. П. (ПЧ-12)";
            } else {
                const int start = random.between(0, static_cast<int>(s.people.size()) - 1);
                for (std::size_t n = 0; n < s.people.size(); ++n) {
                    const std::size_t t = (static_cast<std::size_t>(start) + n) % s.people.size();
                    const PersonRecord& taker = s.people[t];
                    if (taker.watches.front().watch != watch && !detail::absentOn(taker, d) &&
                        !takes[t][static_cast<std::size_t>(day)]) {
                        takes[t][static_cast<std::size_t>(day)] = true;
                        swap.takes = taker.person.id;
                        break;
                    }
                }
                if (!swap.takes) {
                    swap.outsider = "Петров П. П. (ПЧ-12)";
                }
            }
            s.swaps.push_back(std::move(swap));
        }
    }
    return s;
}

} // namespace sutograf::bench
