#include "roster_csv.h"

#include "number_text.h"
#include "roster_rules.h"
#include "roster_tables.h"
#include "utf8.h"

#include <algorithm>
#include <map>
#include <optional>
#include <variant>

namespace sutograf {

namespace {

constexpr std::string_view kLeft = "выбыл";
constexpr std::size_t kColumns = 5;

// A field in a message.
std::string shown(std::string_view s) {
    std::string out = "«";
    out += shortened(s, 40);
    out += "»";
    return out;
}

std::string key(const Person& p) {
    return p.personnelNumber.empty() ? "ФИО " + p.name : "№ " + p.personnelNumber;
}

struct Line {
    Person person;
    std::optional<WatchSpell> spell;
};

// One data line, or the reason it cannot be taken.
std::variant<Line, std::string> parseLine(const std::vector<std::string>& f) {
    const auto at = [&f](std::size_t i) { return i < f.size() ? trimBlanks(f[i]) : std::string_view(); };
    Line l;
    l.person.name = std::string(at(0));
    l.person.personnelNumber = std::string(at(1));
    const std::string_view watch = at(2), from = at(3), hours = at(4);
    if (l.person.name.empty()) {
        return std::string("не указаны ФИО");
    }
    if (hours.empty() || hours == "40") {
        l.person.weeklyHours = 40;
    } else if (hours == "36") {
        l.person.weeklyHours = 36;
    } else {
        return "часов в неделю " + shown(hours) + ": бывает 40 или 36";
    }
    if (watch.empty() != from.empty()) {
        return std::string("караул и день, с которого он, указываются вместе");
    }
    if (!watch.empty()) {
        WatchSpell s;
        if (const auto number = digitsValue(watch, 1); number && *number <= 4) {
            s.watch = *number;
        } else if (watch == kLeft || watch == "Выбыл") {
            s.watch = 0;
        } else {
            return "караул " + shown(watch) + ": бывают 1-4 или «выбыл»";
        }
        const auto day = from.find('-') != std::string_view::npos ? dateFromIso(from) : dateFromText(from);
        if (!day) {
            return "дата " + shown(from) + " не читается (нужно ДД.ММ.ГГГГ, годы 100-9999)";
        }
        s.from = *day;
        l.spell = s;
    }
    if (auto r = checkPerson(l.person)) {
        return *r;
    }
    return l;
}

bool blank(const std::vector<std::string>& fields) {
    return std::all_of(fields.begin(), fields.end(),
                       [](const std::string& f) { return trimBlanks(f).empty(); });
}

bool isHeading(const std::vector<std::string>& fields) {
    std::string joined;
    for (std::size_t i = 0; i < std::min(fields.size(), kColumns); ++i) {
        if (i > 0) {
            joined += ';';
        }
        joined += trimBlanks(fields[i]);
    }
    return joined == kRosterCsvHeading;
}

} // namespace

std::string rosterCsv(const Roster& roster) {
    csv::Writer w;
    w.row({"ФИО", "Табельный номер", "Караул", "С какого дня", "Часов в неделю"});
    for (const PersonRecord& p : roster.people) {
        const std::string hours = std::to_string(p.person.weeklyHours);
        std::vector<WatchSpell> spells = p.watches;
        std::sort(spells.begin(), spells.end(),
                  [](const WatchSpell& a, const WatchSpell& b) { return a.from < b.from; });
        if (spells.empty()) {
            w.row({p.person.name, p.person.personnelNumber, "", "", hours});
        }
        for (const WatchSpell& s : spells) {
            const std::string watch = s.watch == 0 ? std::string(kLeft) : std::to_string(s.watch);
            w.row({p.person.name, p.person.personnelNumber, watch, shortDateText(s.from), hours});
        }
    }
    return w.text();
}

RosterImport readRosterCsv(std::string_view text, const Roster& existing) {
    RosterImport out;
    csv::ErrorList errors;
    std::map<std::string, std::size_t> seen; // key -> index in out.people
    std::map<std::string, bool> onRoster;
    for (const PersonRecord& p : existing.people) {
        onRoster[key(p.person)] = true;
    }
    csv::Reader reader(text);
    csv::Record r;
    bool headingSeen = false, table = false, anything = false;
    int lastLine = 0;
    while (reader.next(r)) {
        lastLine = r.line;
        anything = anything || !r.problem.empty() || !blank(r.fields);
        if (!r.problem.empty()) {
            errors.add(r.line, r.problem);
            continue;
        }
        if (blank(r.fields)) {
            continue;
        }
        if (!headingSeen) {
            headingSeen = true;
            table = isHeading(r.fields);
            if (!table) {
                errors.add(r.line, "это не таблица состава: первая строка должна быть заголовком " +
                                       std::string(kRosterCsvHeading) + "; из файла ничего не взято");
            }
            continue;
        }
        if (!table) {
            continue; // only the lines' own problems are told
        }
        auto parsed = parseLine(r.fields);
        if (auto* why = std::get_if<std::string>(&parsed)) {
            errors.add(r.line, *why);
            continue;
        }
        Line& l = std::get<Line>(parsed);
        const std::string k = key(l.person);
        if (onRoster.count(k) != 0) {
            errors.add(r.line, shown(l.person.name) + " уже есть в составе (" + k + ")");
            continue;
        }
        const auto [it, isNew] = seen.try_emplace(k, out.people.size());
        if (isNew) {
            out.people.push_back({l.person, {}, {}});
        }
        PersonRecord& p = out.people[it->second];
        if (p.person.name != l.person.name) {
            errors.add(r.line, "табельный номер " + l.person.personnelNumber + " уже у " +
                                   shown(p.person.name) + " (строка выше), а здесь " + shown(l.person.name));
            continue;
        }
        if (p.person.weeklyHours != l.person.weeklyHours) {
            errors.add(r.line, shown(l.person.name) + ": часов в неделю " +
                                   std::to_string(l.person.weeklyHours) + ", а строкой выше " +
                                   std::to_string(p.person.weeklyHours));
            continue;
        }
        if (l.spell) {
            const Date from = l.spell->from;
            if (std::any_of(p.watches.begin(), p.watches.end(),
                            [from](const WatchSpell& s) { return s.from == from; })) {
                errors.add(r.line, shown(l.person.name) + ": караул с " + shortDateText(from) +
                                       " уже указан строкой выше");
                continue;
            }
            p.watches.push_back(*l.spell);
        }
    }
    if (!anything) {
        errors.add(std::max(lastLine, 1), "файл пуст: в нём нет ни заголовка, ни людей");
    } else if (table && out.people.empty()) {
        errors.add(lastLine, "в файле нет ни одного человека");
    }
    for (PersonRecord& p : out.people) {
        std::sort(p.watches.begin(), p.watches.end(),
                  [](const WatchSpell& a, const WatchSpell& b) { return a.from < b.from; });
    }
    out.errors = errors.take();
    return out;
}

} // namespace sutograf
