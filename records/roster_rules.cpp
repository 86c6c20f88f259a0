#include "roster_rules.h"

#include "rota.h"

#include <algorithm>

namespace sutograf {
namespace {

std::string dayText(Date d) {
    return inModel(d) ? shortDateText(d) : std::string("(дата вне 0100-9999 гг.)");
}

std::string spanText(Date first, Date last) {
    return first == last ? dayText(first) : "с " + dayText(first) + " по " + dayText(last);
}

std::string absenceText(const AbsenceSpan& a) {
    return std::string(absenceCode(a.kind)) + " " + spanText(a.first, a.last);
}

std::string who(const PersonRecord& p) { return "«" + p.person.name + "»"; }

std::string outOfModel(std::string_view what) {
    return std::string(what) + ": дата вне допустимых лет 100-9999";
}

const AbsenceSpan* absenceOn(const PersonRecord& p, Date d) {
    for (const AbsenceSpan& a : p.absences) {
        if (a.first <= d && d <= a.last) {
            return &a;
        }
    }
    return nullptr;
}

bool isLeave(Absence k) { return k == Absence::AnnualLeave || k == Absence::ExtraLeave; }

// Sick leave may lie over a leave: the sick days take those days (art. 124).
bool mayOverlap(Absence a, Absence b) {
    return (a == Absence::Sick && isLeave(b)) || (b == Absence::Sick && isLeave(a));
}

// The first day of first..last on which p belongs to no watch, if any.
std::optional<Date> dayOutsideWatch(const PersonRecord& p, Date first, Date last) {
    if (watchOf(p, first) == 0) {
        return first;
    }
    std::optional<Date> out;
    for (const WatchSpell& s : p.watches) {
        if (s.watch == 0 && first < s.from && s.from <= last && (!out || s.from < *out)) {
            out = s.from;
        }
    }
    return out;
}

Refusal absenceInWatch(const PersonRecord& p, const AbsenceSpan& a) {
    if (const auto out = dayOutsideWatch(p, a.first, a.last)) {
        return who(p) + ": " + absenceText(a) + " — " + dayText(*out) +
               " не состоит ни в одном карауле; отсутствие отмечается только в дни службы в карауле";
    }
    return std::nullopt;
}

// The swap's giver side, a person on the roster; `others` are all the swaps but this one.
Refusal checkGiver(const PersonRecord& g, Date day, float offset, std::span<const DutySwap> others,
                   std::int64_t self) {
    const int own = watchOf(g, day);
    const std::optional<int> onDuty = watchOn(day, offset);
    if (own == 0) {
        return who(g) + ": " + dayText(day) + " не состоит ни в одном карауле — отдавать нечего";
    }
    if (onDuty != own) {
        return who(g) + ": " + dayText(day) + " дежурит " +
               (onDuty ? std::to_string(*onDuty) + " караул" : std::string("ни один караул")) + ", а не " +
               std::to_string(own) + " — отдавать нечего";
    }
    if (const AbsenceSpan* a = absenceOn(g, day)) {
        return who(g) + ": " + dayText(day) + " отсутствует (" + absenceText(*a) + ") — отдать смену нельзя";
    }
    for (const DutySwap& s : others) {
        if (s.id != self && s.day == day && s.gives == g.person.id) {
            return who(g) + ": смена " + dayText(day) + " уже отдана по другому обмену";
        }
    }
    return std::nullopt;
}

Refusal checkTaker(const PersonRecord& t, Date day, float offset, std::span<const DutySwap> others,
                   std::int64_t self) {
    const int own = watchOf(t, day);
    if (own == 0) {
        return who(t) + ": " + dayText(day) +
               " не состоит ни в одном карауле — взять смену может человек из караула или со стороны";
    }
    if (watchOn(day, offset) == own) {
        return who(t) + ": " + dayText(day) + " дежурит свой " + std::to_string(own) +
               " караул — взять ещё одну смену нельзя";
    }
    if (const AbsenceSpan* a = absenceOn(t, day)) {
        return who(t) + ": " + dayText(day) + " отсутствует (" + absenceText(*a) + ") — взять смену нельзя";
    }
    for (const DutySwap& s : others) {
        if (s.id != self && s.day == day && s.takes == t.person.id) {
            return who(t) + ": " + dayText(day) + " уже берёт смену по другому обмену";
        }
    }
    return std::nullopt;
}

// `changed`, when given, stands for the roster's record of the same person.
Refusal checkSwapWith(const Roster& roster, const DutySwap& s, float offset, const PersonRecord* changed) {
    const auto person = [&](PersonId id) {
        return changed != nullptr && changed->person.id == id ? changed : roster.find(id);
    };
    if (!inModel(s.day)) {
        return outOfModel("Обмен сменой");
    }
    if (!s.gives && !s.takes) {
        return "Обмен сменой " + dayText(s.day) + ": хотя бы одна сторона должна быть из состава";
    }
    if (s.gives && s.gives == s.takes) {
        return "Обмен сменой " + dayText(s.day) + ": человек не может отдать смену самому себе";
    }
    const PersonRecord* g = s.gives ? person(*s.gives) : nullptr;
    const PersonRecord* t = s.takes ? person(*s.takes) : nullptr;
    if ((s.gives && g == nullptr) || (s.takes && t == nullptr)) {
        return "Обмен сменой " + dayText(s.day) + ": такого человека нет в составе";
    }
    if (g != nullptr) {
        if (auto r = checkGiver(*g, s.day, offset, roster.swaps, s.id)) {
            return r;
        }
    }
    if (t != nullptr) {
        if (auto r = checkTaker(*t, s.day, offset, roster.swaps, s.id)) {
            return r;
        }
    }
    return std::nullopt;
}

} // namespace

Refusal checkPerson(const Person& p) {
    if (p.name.find_first_not_of(" \t") == std::string::npos) {
        return std::string("Не указаны фамилия, имя и отчество");
    }
    if (p.weeklyHours != 40 && p.weeklyHours != 36) {
        return "«" + p.name + "»: рабочая неделя " + std::to_string(p.weeklyHours) +
               " ч — бывает только 40 или 36 часов";
    }
    return std::nullopt;
}

Refusal checkNewPerson(const PersonRecord& p) {
    if (auto r = checkPerson(p.person)) {
        return r;
    }
    for (std::size_t i = 0; i < p.watches.size(); ++i) {
        const WatchSpell& s = p.watches[i];
        if (!inModel(s.from)) {
            return who(p) + ": " + outOfModel("начало службы в карауле");
        }
        if (s.watch < 0 || s.watch > 4) {
            return who(p) + ": караула " + std::to_string(s.watch) + " нет (бывают 1-4)";
        }
        for (std::size_t j = 0; j < i; ++j) {
            if (p.watches[j].from == s.from) {
                return who(p) + ": с " + dayText(s.from) + " указаны два караула";
            }
        }
    }
    PersonRecord growing = p;
    growing.absences.clear();
    for (const AbsenceSpan& a : p.absences) {
        if (auto r = checkAbsence(Roster{}, growing, a)) {
            return r;
        }
        growing.absences.push_back(a);
    }
    return std::nullopt;
}

Refusal checkAbsence(const Roster& roster, const PersonRecord& p, const AbsenceSpan& a) {
    if (!inModel(a.first) || !inModel(a.last)) {
        return who(p) + ": " + outOfModel("отсутствие");
    }
    if (a.last < a.first) {
        return who(p) + ": отсутствие " + std::string(absenceCode(a.kind)) + " кончается " + dayText(a.last) +
               ", раньше, чем начинается (" + dayText(a.first) + ")";
    }
    if (auto r = absenceInWatch(p, a)) {
        return r;
    }
    for (const AbsenceSpan& b : p.absences) {
        if (a.first <= b.last && b.first <= a.last && !mayOverlap(a.kind, b.kind)) {
            return who(p) + ": " + absenceText(a) + " пересекается с уже отмеченным " + absenceText(b);
        }
    }
    for (const DutySwap& s : roster.swaps) {
        const bool gives = s.gives == p.person.id, takes = s.takes == p.person.id;
        if ((gives || takes) && a.first <= s.day && s.day <= a.last) {
            return who(p) + ": " + dayText(s.day) + (takes ? " взята чужая смена" : " отдана своя смена") +
                   " — сначала удалите этот обмен, потом отмечайте " + absenceText(a);
        }
    }
    return std::nullopt;
}

Refusal checkSwap(const Roster& roster, const DutySwap& s, float offset) {
    return checkSwapWith(roster, s, offset, nullptr);
}

Refusal checkSpells(const Roster& roster, const PersonRecord& p, float offset) {
    for (const WatchSpell& s : p.watches) {
        if (!inModel(s.from)) {
            return who(p) + ": " + outOfModel("смена караула");
        }
        if (s.watch < 0 || s.watch > 4) {
            return who(p) + ": караула " + std::to_string(s.watch) + " нет (бывают 1-4)";
        }
    }
    for (const AbsenceSpan& a : p.absences) {
        if (auto r = absenceInWatch(p, a)) {
            return r;
        }
    }
    for (const DutySwap& s : roster.swaps) {
        if (s.gives == p.person.id || s.takes == p.person.id) {
            if (auto r = checkSwapWith(roster, s, offset, &p)) {
                return *r + " (после смены караула обмен " + dayText(s.day) + " стал бы неверным)";
            }
        }
    }
    return std::nullopt;
}

} // namespace sutograf
