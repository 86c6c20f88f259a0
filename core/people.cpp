#include "people.h"

#include <algorithm>

#include "rota.h"

namespace sutograf {
namespace {

std::size_t index(Date d, Date from) { return static_cast<std::size_t>(d.serial - from.serial); }

int validWatch(int w) { return w >= 1 && w <= 4 ? w : 0; }

// The watch on duty on each rotaPhase, 0 for none.
std::array<int, 4> watchByPhase(float offset) {
    std::array<int, 4> w{};
    for (std::int32_t m = 0; m < 4; ++m) {
        w[static_cast<std::size_t>(m)] = watchOn(Date{m}, offset).value_or(0);
    }
    return w;
}

// The order in which absences are laid over the days, each over the one before: of two spans that share a
// day the later in this order keeps it. Sick leave over any other span (it takes those days from a leave);
// otherwise the span that began first, and of two that began together the earlier in the list.
bool laidBefore(const AbsenceSpan& a, std::size_t ia, const AbsenceSpan& b, std::size_t ib) {
    const bool aSick = a.kind == Absence::Sick, bSick = b.kind == Absence::Sick;
    if (aSick != bSick) {
        return bSick;
    }
    return a.first != b.first ? b.first < a.first : ib < ia;
}

// The next day after d on which a spell begins, or nullopt.
std::optional<Date> nextSpell(const PersonRecord& who, Date d) {
    std::optional<Date> next;
    for (const WatchSpell& s : who.watches) {
        if (d < s.from && (!next || s.from < *next)) {
            next = s.from;
        }
    }
    return next;
}

// The days of who from `from` to `last`, both in the model: out holds one entry a day, each as a
// PersonDay{} leaves it.
void fillDays(const PersonRecord& who, std::span<const DutySwap> swaps, Date from, Date last,
              const std::array<int, 4>& onDuty, std::span<PersonDay> out) {
    // The status field first marks the swaps: DutyTaken, else DutyGivenAway when they gave the day.
    const PersonId id = who.person.id;
    const auto days = static_cast<std::uint32_t>(out.size());
    for (const DutySwap& s : swaps) {
        // One comparison for both ends: in unsigned arithmetic a day before `from` wraps round to a large
        // number, and no day of a damaged record overflows.
        const std::uint32_t i =
            static_cast<std::uint32_t>(s.day.serial) - static_cast<std::uint32_t>(from.serial);
        if (i >= days) {
            continue;
        }
        const bool gave = s.gives == id, took = s.takes == id;
        if (gave || took) {
            DayStatus& mark = out[i].status;
            mark = took || mark == DayStatus::DutyTaken ? DayStatus::DutyTaken : DayStatus::DutyGivenAway;
        }
    }

    std::vector<std::size_t> spans; // those that reach the days, in the order they are laid
    for (std::size_t j = 0; j < who.absences.size(); ++j) {
        if (who.absences[j].first <= last && from <= who.absences[j].last) {
            spans.push_back(j);
        }
    }
    std::sort(spans.begin(), spans.end(), [&](std::size_t a, std::size_t b) {
        return laidBefore(who.absences[a], a, who.absences[b], b);
    });
    for (const std::size_t j : spans) {
        const AbsenceSpan& a = who.absences[j];
        // A code this program does not know (a damaged record) is an absence whose reason is not known.
        const Absence kind = static_cast<std::size_t>(a.kind) < kAbsenceKinds ? a.kind : Absence::Unexplained;
        for (Date d = std::max(a.first, from); d <= std::min(a.last, last); ++d.serial) {
            out[index(d, from)].absence = kind;
        }
    }

    int watch = watchOf(who, from);
    std::optional<Date> change = nextSpell(who, from);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const Date d{from.serial + static_cast<std::int32_t>(i)};
        if (change == d) {
            watch = watchOf(who, d);
            change = nextSpell(who, d);
        }
        PersonDay& p = out[i];
        p.watch = watch;
        if (watch == 0) {
            p.absence.reset();
        }
        const bool own = watch != 0 && onDuty[static_cast<std::size_t>(rotaPhase(d))] == watch;
        if (p.status != DayStatus::DutyTaken) {
            p.status = p.absence                              ? DayStatus::Absent
                       : !own                                 ? DayStatus::Off
                       : p.status == DayStatus::DutyGivenAway ? DayStatus::DutyGivenAway
                                                              : DayStatus::Duty;
        }
    }
}

// What one day of the period holds: the duties that begin on it, the minutes that count on it, its norm,
// and what either reduction method takes off for it.
struct DayFigures {
    Hours hours;
    int workingDayReduction = 0;
    int scheduledReduction = 0;
};

// A person's days and figures over a span of days, from which the figures of any period inside it are
// sums: a minute counts on one day whatever period that day is in.
class Ledger {
public:
    Ledger(const PersonRecord& who, std::span<const DutySwap> swaps, Date first, Date last, float offset,
           const ProductionCalendar& calendar, const DutyRules& rules);

    // Days outside the ledger's span count nothing.
    PersonHours total(Date first, Date last, NormReduction method) const;
    // Each day of the span's figures, as total() sums them.
    std::vector<Hours> days() const;

private:
    Date first_, last_, from_;     // from_: first_, or the day before when its duty spills into first_
    std::vector<PersonDay> days_;  // from from_
    std::vector<DayFigures> figs_; // from first_
};

Ledger::Ledger(const PersonRecord& who, std::span<const DutySwap> swaps, Date first, Date last, float offset,
               const ProductionCalendar& calendar, const DutyRules& rules) {
    first = std::max(first, kFirstDate);
    last = std::min(last, kLastDate);
    first_ = from_ = first;
    last_ = last;
    if (last < first) {
        return;
    }
    const DutyShape shape = dutyShape(rules);
    if (!shape.wholeOnStartDay && first != kFirstDate) {
        --from_.serial;
    }
    days_.assign(index(last, from_) + 1, PersonDay{}); // copies of one blank: no call per day
    const std::array<int, 4> onDuty = watchByPhase(offset);
    fillDays(who, swaps, from_, last, onDuty, days_);
    figs_.assign(index(last, first) + 1, DayFigures{});

    // The norm of a day by its kind and whether it falls on a weekend.
    std::array<std::array<int, 2>, 5> norms{};
    for (std::size_t k = 0; k < norms.size(); ++k) {
        norms[k] = {dayNormMinutes(static_cast<DayKind>(k), 1, who.person.weeklyHours),
                    dayNormMinutes(static_cast<DayKind>(k), 6, who.person.weeklyHours)};
    }

    // Kinds of the days from from_ to the day after last, which the last duty may reach; a year at a time.
    std::vector<DayKind> kinds(days_.size() + 1, DayKind::Ordinary);
    for (Date d = from_; d.serial <= last.serial + 1 && d <= kLastDate;) {
        const YearKinds year = calendar.yearKinds(yearOf(d));
        const Date end{std::min(year.jan1.serial + year.length, last.serial + 2)}; // exclusive
        std::copy(year.kind.begin() + (d.serial - year.jan1.serial),
                  year.kind.begin() + (end.serial - year.jan1.serial),
                  kinds.begin() + (d.serial - from_.serial));
        d = end;
    }
    int phase = rotaPhase(from_), weekday = weekdayOf(from_);
    for (std::size_t i = 0; i < days_.size();
         ++i, phase = (phase + 1) & 3, weekday = weekday == 7 ? 1 : weekday + 1) {
        const PersonDay& p = days_[i];
        const Date d{from_.serial + static_cast<std::int32_t>(i)};
        const bool reducing = p.absence && reducesNorm(*p.absence);
        if (first <= d && p.watch != 0) {
            DayFigures& f = figs_[index(d, first)];
            f.hours.normMinutes = norms[static_cast<std::size_t>(kinds[i])][weekday >= 6 ? 1 : 0];
            f.workingDayReduction = reducing ? f.hours.normMinutes : 0;
        }
        const bool begins = p.status == DayStatus::Duty || p.status == DayStatus::DutyTaken;
        // A duty of their own watch that an absence took from them, whatever else the day holds.
        const bool missed = reducing && p.watch != 0 && onDuty[static_cast<std::size_t>(phase)] == p.watch;
        if (!begins && !missed) {
            continue;
        }
        if (first <= d) {
            figs_[index(d, first)].hours.duties += begins;
        }
        for (std::size_t k = 0; k < 2; ++k) {
            const Date minuteDay{d.serial + static_cast<std::int32_t>(k)};
            const Date countedOn = shape.wholeOnStartDay ? d : minuteDay;
            if (shape.worked[k] == 0 || countedOn < first || last < countedOn) {
                continue;
            }
            DayFigures& f = figs_[index(countedOn, first)];
            if (begins) {
                f.hours.workedMinutes += shape.worked[k];
                f.hours.nightMinutes += shape.night[k];
                if (kinds[i + k] == DayKind::Holiday) {
                    f.hours.holidayMinutes += shape.worked[k];
                }
            }
            if (missed) {
                f.scheduledReduction += shape.worked[k];
            }
        }
    }
}

PersonHours Ledger::total(Date first, Date last, NormReduction method) const {
    PersonHours h;
    first = std::max(first, first_);
    last = std::min(last, last_);
    if (figs_.empty() || last < first) {
        return h;
    }
    int reduction = 0;
    for (Date d = first; d <= last; ++d.serial) {
        const DayFigures& f = figs_[index(d, first_)];
        h.worked.duties += f.hours.duties;
        h.worked.workedMinutes += f.hours.workedMinutes;
        h.worked.nightMinutes += f.hours.nightMinutes;
        h.worked.holidayMinutes += f.hours.holidayMinutes;
        h.worked.normMinutes += f.hours.normMinutes;
        reduction += method == NormReduction::WorkingDays ? f.workingDayReduction : f.scheduledReduction;
        const PersonDay& p = days_[index(d, from_)];
        h.givenAway += p.status == DayStatus::DutyGivenAway;
        h.taken += p.status == DayStatus::DutyTaken;
        if (p.absence) {
            ++h.absentDays[static_cast<std::size_t>(*p.absence)];
        }
    }
    h.reductionMinutes = std::min(reduction, h.worked.normMinutes);
    h.ownNormMinutes = h.worked.normMinutes - h.reductionMinutes;
    return h;
}

std::vector<Hours> Ledger::days() const {
    std::vector<Hours> out;
    out.reserve(figs_.size());
    for (const DayFigures& f : figs_) {
        out.push_back(f.hours);
    }
    return out;
}

} // namespace

int watchOf(const PersonRecord& who, Date d) {
    const WatchSpell* latest = nullptr;
    for (const WatchSpell& s : who.watches) {
        if (s.from <= d && (!latest || latest->from <= s.from)) {
            latest = &s;
        }
    }
    return latest ? validWatch(latest->watch) : 0;
}

std::vector<PersonDay> personDays(const PersonRecord& who, std::span<const DutySwap> swaps, Date first,
                                  Date last, float offset) {
    if (last < first) {
        return {};
    }
    std::vector<PersonDay> days(index(last, first) + 1, PersonDay{});
    const Date from = std::max(first, kFirstDate), to = std::min(last, kLastDate);
    if (from <= to) {
        fillDays(who, swaps, from, to, watchByPhase(offset),
                 std::span(days).subspan(index(from, first), index(to, from) + 1));
    }
    return days;
}

PersonHours personHours(const PersonRecord& who, std::span<const DutySwap> swaps, Date first, Date last,
                        float offset, const ProductionCalendar& calendar, const DutyRules& rules,
                        NormReduction method) {
    return Ledger(who, swaps, first, last, offset, calendar, rules).total(first, last, method);
}

std::vector<Hours> personDayHours(const PersonRecord& who, std::span<const DutySwap> swaps, Date first,
                                  Date last, float offset, const ProductionCalendar& calendar,
                                  const DutyRules& rules) {
    if (last < first) {
        return {};
    }
    std::vector<Hours> out(index(last, first) + 1);
    const Date from = std::max(first, kFirstDate), to = std::min(last, kLastDate);
    if (from <= to) {
        const std::vector<Hours> inModel = Ledger(who, swaps, from, to, offset, calendar, rules).days();
        std::copy(inModel.begin(), inModel.end(),
                  out.begin() + static_cast<std::ptrdiff_t>(index(from, first)));
    }
    return out;
}

std::vector<PeriodResult> accountingPeriods(const PersonRecord& who, std::span<const DutySwap> swaps,
                                            int year, AccountingPeriod kind, float offset,
                                            const ProductionCalendar& calendar, const DutyRules& rules,
                                            NormReduction method, bool holidayPaidDouble) {
    if (year < yearOf(kFirstDate) || year > yearOf(kLastDate)) {
        return {};
    }
    std::vector<Period> periods;
    switch (kind) {
    case AccountingPeriod::Month:
        for (std::size_t m = 0; m < kFirstQuarterRow; ++m) {
            periods.push_back(rowPeriod(year, m));
        }
        break;
    case AccountingPeriod::Quarter:
        for (std::size_t q = kFirstQuarterRow; q < kYearRow; ++q) {
            periods.push_back(rowPeriod(year, q));
        }
        break;
    case AccountingPeriod::HalfYear:
        periods.push_back({*dateOf(year, 1, 1), *dateOf(year, 6, 30)});
        periods.push_back({*dateOf(year, 7, 1), *dateOf(year, 12, 31)});
        break;
    case AccountingPeriod::Year:
        periods.push_back(rowPeriod(year, kYearRow));
        break;
    }

    const Ledger ledger(who, swaps, periods.front().first, periods.back().last, offset, calendar, rules);
    std::vector<PeriodResult> results;
    results.reserve(periods.size());
    for (const Period& p : periods) {
        PeriodResult r{p, ledger.total(p.first, p.last, method)};
        r.balanceMinutes = r.hours.worked.workedMinutes - r.hours.ownNormMinutes;
        r.overtimeMinutes =
            std::max(0, r.balanceMinutes - (holidayPaidDouble ? r.hours.worked.holidayMinutes : 0));
        results.push_back(r);
    }
    return results;
}

int yearOvertimeMinutes(std::span<const PeriodResult> periods) {
    int total = 0;
    for (const PeriodResult& p : periods) {
        total += p.overtimeMinutes;
    }
    return total;
}

bool overYearLimit(std::span<const PeriodResult> periods) {
    return yearOvertimeMinutes(periods) > kYearOvertimeLimitMinutes;
}

} // namespace sutograf
