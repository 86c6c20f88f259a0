// ProductionCalendar::fromCsv: the calendar's "date,kind,note" text read line by line.
#include "production_calendar.h"

#include <algorithm>
#include <map>
#include <optional>
#include <utility>
#include <variant>

#include "number_text.h"
#include "utf8.h"

namespace sutograf {
namespace {

constexpr std::string_view kHeader = "date,kind,note";

// A field quoted in a message.
std::string quoted(std::string_view s) {
    std::string out = "\"";
    out += shortened(s, 40);
    out += '"';
    return out;
}

// What is wrong with a line, and the field the message names.
enum class Fault {
    NotUtf8,
    NoHeader,
    SecondHeader,
    MissingField,
    BadDate,
    BadKind,
    WorkdayOnWeekday,
    DayOffOnWeekend,
    DateTwice
};
struct Problem {
    Fault fault;
    std::string_view field;
};

std::string messageOf(const Problem& p) {
    switch (p.fault) {
    case Fault::NotUtf8:
        return "текст не в кодировке UTF-8";
    case Fault::NoHeader:
        return "первая строка должна быть заголовком \"date,kind,note\"";
    case Fault::SecondHeader:
        return "повторный заголовок";
    case Fault::MissingField:
        return "не хватает поля";
    case Fault::BadDate:
        return "неверная дата " + quoted(p.field);
    case Fault::BadKind:
        return "неизвестный вид дня " + quoted(p.field);
    case Fault::WorkdayOnWeekday:
        return "workday на будний день " + std::string(p.field);
    case Fault::DayOffOnWeekend:
        return "dayoff на выходной день " + std::string(p.field);
    case Fault::DateTwice:
        return "повторная дата " + std::string(p.field);
    }
    return {};
}

// The lines that hold something, numbered from 1: a byte-order mark, the line ends (LF or CRLF) and the
// blanks at either end left out.
class Lines {
public:
    explicit Lines(std::string_view text) : text_(text.starts_with("\xEF\xBB\xBF") ? text.substr(3) : text) {}

    bool next(std::string_view& line, int& number) {
        while (pos_ < text_.size()) {
            ++number_;
            const std::size_t eol = std::min(text_.find('\n', pos_), text_.size());
            line = text_.substr(pos_, eol - pos_);
            pos_ = eol + 1;
            if (line.ends_with('\r')) {
                line.remove_suffix(1);
            }
            line = trimBlanks(line);
            if (!line.empty()) {
                number = number_;
                return true;
            }
        }
        return false;
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
    int number_ = 0;
};

std::optional<DayKind> kindFromText(std::string_view s) {
    if (s == "holiday") {
        return DayKind::Holiday;
    }
    if (s == "dayoff") {
        return DayKind::DayOff;
    }
    if (s == "workday") {
        return DayKind::Workday;
    }
    if (s == "short") {
        return DayKind::Short;
    }
    return std::nullopt;
}

struct Row {
    Date date;
    DayKind kind;
    std::string_view dateText, note;
};

// A row after the header: "date,kind,note", the note everything after the second comma.
std::variant<Row, Problem> readRow(std::string_view line) {
    const std::size_t c1 = line.find(',');
    const std::size_t c2 = c1 == std::string_view::npos ? c1 : line.find(',', c1 + 1);
    const std::string_view dateText = trimBlanks(line.substr(0, c1));
    const std::string_view kindText =
        c1 == std::string_view::npos ? std::string_view{} : trimBlanks(line.substr(c1 + 1, c2 - c1 - 1));
    const std::string_view note =
        c2 == std::string_view::npos ? std::string_view{} : trimBlanks(line.substr(c2 + 1));
    if (dateText.empty() || kindText.empty()) {
        return Problem{Fault::MissingField, {}};
    }
    const auto date = dateFromIso(dateText);
    if (!date) {
        return Problem{Fault::BadDate, dateText};
    }
    const auto kind = kindFromText(kindText);
    if (!kind) {
        return Problem{Fault::BadKind, kindText};
    }
    const bool weekend = weekdayOf(*date) >= 6;
    if (*kind == DayKind::Workday && !weekend) {
        return Problem{Fault::WorkdayOnWeekday, dateText};
    }
    if (*kind == DayKind::DayOff && weekend) {
        return Problem{Fault::DayOffOnWeekend, dateText};
    }
    return Row{*date, *kind, dateText, note};
}

// The year a line is about when it starts like a date ("2027-..."), else 0: known even for a line
// whose date or kind is bad, so that the caller can tell which years were read incompletely.
int leadingYear(std::string_view line) {
    return line.size() < 5 || line[4] != '-' ? 0 : digitsValue(line.substr(0, 4), 4).value_or(0);
}

// "1 строка с ошибкой", "3 строки с ошибками", "11 строк с ошибками".
std::string linesWithErrors(long long n) {
    return std::to_string(n) +
           std::string(russianPlural(n, " строка с ошибкой", " строки с ошибками", " строк с ошибками"));
}

// Keeps the first kMaxErrors errors and counts the rest; each bad line reports one error. The years
// of all bad lines are kept, however many.
class ErrorList {
public:
    ErrorList(std::vector<CalendarError>* out, std::vector<int>* years) : out_(out), years_(years) {}

    void add(int line, int year, const Problem& problem) {
        if (years_ != nullptr) {
            const auto at = std::lower_bound(years_->begin(), years_->end(), year);
            if (at == years_->end() || *at != year) {
                years_->insert(at, year);
            }
        }
        if (!out_) {
            return;
        }
        if (kept_ < ProductionCalendar::kMaxErrors) {
            out_->push_back({line, messageOf(problem)}); // made only for the errors kept
            ++kept_;
        } else if (omitted_++ == 0) {
            firstOmitted_ = line;
        }
    }
    // Closes the list with one entry that counts the lines left out.
    void finish() {
        if (out_ && omitted_ > 0) {
            out_->push_back({firstOmitted_, "… и ещё " + linesWithErrors(omitted_)});
        }
    }

private:
    std::vector<CalendarError>* out_;
    std::vector<int>* years_;
    std::size_t kept_ = 0;
    long long omitted_ = 0;
    int firstOmitted_ = 0;
};

} // namespace

// The years read so far.
struct ProductionCalendar::CsvTable {
    std::map<int, TableYear> years;
    bool headerSeen = false;

    // Takes one line that holds something: what is wrong with it, if anything.
    std::optional<Problem> take(std::string_view line) {
        if (!isUtf8(line)) {
            return Problem{Fault::NotUtf8, {}};
        }
        if (!std::exchange(headerSeen, true)) {
            return line == kHeader ? std::nullopt : std::optional(Problem{Fault::NoHeader, {}});
        }
        if (line == kHeader) {
            return Problem{Fault::SecondHeader, {}};
        }
        const auto row = readRow(line);
        if (const Problem* p = std::get_if<Problem>(&row)) {
            return *p;
        }
        return put(std::get<Row>(row));
    }

    std::optional<Problem> put(const Row& r) {
        const int year = yearOf(r.date);
        TableYear& t = years[year];
        if (t.year == 0) {
            t.year = year;
            t.days = YearKinds::ordinary(year);
        }
        const auto day = static_cast<std::int16_t>(r.date.serial - t.days.jan1.serial);
        DayKind& slot = t.days.kind[static_cast<std::size_t>(day)];
        if (slot != DayKind::Ordinary) {
            return Problem{Fault::DateTwice, r.dateText};
        }
        slot = r.kind;
        if (!r.note.empty()) {
            t.notes.push_back({day, std::string(r.note)});
        }
        return std::nullopt;
    }

    ProductionCalendar calendar() {
        ProductionCalendar cal;
        cal.years_.reserve(years.size());
        for (auto& [year, t] : years) {
            std::sort(t.notes.begin(), t.notes.end(),
                      [](const Note& a, const Note& b) { return a.day < b.day; });
            cal.years_.push_back(std::move(t));
        }
        cal.reindex();
        return cal;
    }
};

ProductionCalendar ProductionCalendar::fromCsv(std::string_view csv, std::vector<CalendarError>* errors,
                                               std::vector<int>* yearsWithErrors) {
    CsvTable table;
    ErrorList errs(errors, yearsWithErrors);
    Lines lines(csv);
    std::string_view line;
    for (int number = 0; lines.next(line, number);) {
        if (const auto problem = table.take(line)) {
            errs.add(number, leadingYear(line), *problem);
        }
    }
    errs.finish();
    return table.calendar();
}

} // namespace sutograf
