#include "production_calendar.h"

#include "number_text.h"
#include "utf8.h"

#include <algorithm>
#include <cassert>
#include <chrono>
#include <map>
#include <type_traits>

namespace sutograf {

// Generated at build time from resources/ru-production-calendar.csv (core/embed_file.cmake).
extern const unsigned char kBuiltInCalendarCsv[];
extern const std::size_t kBuiltInCalendarCsvSize;

namespace {

constexpr std::string_view kHeader = "date,kind,note";
constexpr std::string_view kNewYearNote = "Новогодние каникулы";
constexpr std::string_view kShortNote = "предпраздничный день (сокращён на 1 час)";

struct FixedHoliday {
    int month, day;
    std::string_view name;
};
// In date order: days off move in this order, so an earlier holiday takes the nearer Monday.
constexpr std::array<FixedHoliday, 7> kFixedHolidays = {{
    {1, 7, "Рождество Христово"},
    {2, 23, "День защитника Отечества"},
    {3, 8, "Международный женский день"},
    {5, 1, "Праздник Весны и Труда"},
    {5, 9, "День Победы"},
    {6, 12, "День России"},
    {11, 4, "День народного единства"},
}};

constexpr int floorMod(std::int32_t a, int n) { return static_cast<int>((a % n + n) % n); }
// Serial day 0, 30.12.1899, was a Saturday. Monday = 1 ... Sunday = 7.
constexpr int weekdayOfSerial(std::int32_t s) { return floorMod(s + 5, 7) + 1; }
constexpr bool isWeekend(std::int32_t s) { return weekdayOfSerial(s) >= 6; }

int yearLength(int year) { return std::chrono::year{year}.is_leap() ? 366 : 365; }

YearKinds emptyYear(int year) {
    YearKinds k;
    k.jan1 = *dateOf(year, 1, 1);
    k.length = yearLength(year);
    return k;
}

// What a listed day means, for a row that comes without a note.
std::string_view kindNote(DayKind k) {
    switch (k) {
    case DayKind::Holiday:
        return "нерабочий праздничный день";
    case DayKind::DayOff:
        return "выходной день (перенос)";
    case DayKind::Workday:
        return "рабочий день (перенос)";
    case DayKind::Short:
        return kShortNote;
    case DayKind::Ordinary:
        break;
    }
    return {};
}

// The holidays, moved days off and short days of a year the table does not list. Worked out on demand:
// cheap enough to repeat per query, so the calendar keeps no hidden state.
class RuleYear {
public:
    explicit RuleYear(int year) : kinds_(emptyYear(year)) {
        static constexpr std::array<int, 12> kDaysBefore = {0,   31,  59,  90,  120, 151,
                                                            181, 212, 243, 273, 304, 334};
        const std::int32_t jan1 = kinds_.jan1.serial;
        const auto serialOf = [&](int month, int day) {
            return jan1 + kDaysBefore[month - 1] + (month > 2 ? kinds_.length - 365 : 0) + day - 1;
        };
        std::array<std::int32_t, 14> holidays{}; // 7 new-year days at the most and the 7 others
        std::size_t count = 0;
        const auto addHoliday = [&](int month, int day) {
            holidays[count] = serialOf(month, day);
            set(holidays[count++], DayKind::Holiday);
        };
        for (int day = 1; day <= (year < 2013 ? 5 : 8); ++day) {
            if (day != 7) {
                addHoliday(1, day);
            }
        }
        for (const FixedHoliday& h : kFixedHolidays) {
            addHoliday(h.month, h.day);
        }
        const std::int32_t february1 = serialOf(2, 1);
        for (std::size_t i = 0; i < count; ++i) {
            const std::int32_t h = holidays[i];
            if (h >= february1 && isWeekend(h)) {
                std::int32_t to = h + 1; // 6 November at the latest: still this year
                while (isWeekend(to) || kindOf(to) != DayKind::Ordinary) {
                    ++to;
                }
                set(to, DayKind::DayOff);
                moves_[moveCount_++] = {to, h};
            }
        }
        const auto shortenEve = [&](std::int32_t holiday) {
            const std::int32_t eve = holiday - 1;
            if (eve >= jan1 && !isWeekend(eve) && kindOf(eve) == DayKind::Ordinary) {
                set(eve, DayKind::Short);
            }
        };
        for (std::size_t i = 0; i < count; ++i) {
            shortenEve(holidays[i]);
        }
        shortenEve(jan1 + kinds_.length); // 1 January of the next year is always a holiday
    }

    const YearKinds& kinds() const { return kinds_; }
    // The weekend holiday whose day off moved to d. Precondition: d is a DayOff of this year.
    Date movedFrom(Date d) const {
        const auto it = std::find_if(moves_.begin(), moves_.begin() + moveCount_,
                                     [&](const Move& m) { return m.to == d.serial; });
        return Date{it->from};
    }

private:
    struct Move {
        std::int32_t to, from;
    };
    // Precondition: serial lies in the year.
    DayKind kindOf(std::int32_t serial) const { return kinds_.of(Date{serial}); }
    void set(std::int32_t serial, DayKind k) {
        kinds_.kind[static_cast<std::size_t>(serial - kinds_.jan1.serial)] = k;
    }

    YearKinds kinds_;
    std::array<Move, kFixedHolidays.size()> moves_{};
    std::ptrdiff_t moveCount_ = 0;
};

// The name of a holiday of the general rule. Precondition: (month, day) is one.
std::string_view holidayName(int month, int day) {
    for (const FixedHoliday& h : kFixedHolidays) {
        if (h.month == month && h.day == day) {
            return h.name;
        }
    }
    return kNewYearNote;
}

std::string_view trim(std::string_view s) {
    const auto b = s.find_first_not_of(" \t");
    if (b == std::string_view::npos) {
        return {};
    }
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

// A field quoted in a message, cut short (at a character boundary) so that a junk line of megabytes
// does not become a message of megabytes. Precondition: s is UTF-8.
std::string quoted(std::string_view s) {
    constexpr std::size_t kMax = 40;
    std::string out = "\"";
    if (s.size() <= kMax) {
        out.append(s);
    } else {
        std::size_t cut = kMax;
        while ((static_cast<unsigned char>(s[cut]) & 0xC0) == 0x80) {
            --cut;
        }
        out.append(s.substr(0, cut)).append("…");
    }
    return out + "\"";
}

// Exactly YYYY-MM-DD, a day of the model.
std::optional<Date> isoDate(std::string_view s) {
    if (s.size() != 10 || s[4] != '-' || s[7] != '-') {
        return std::nullopt;
    }
    int fields[3] = {0, 0, 0};
    const std::size_t starts[3] = {0, 5, 8}, lengths[3] = {4, 2, 2};
    for (int f = 0; f < 3; ++f) {
        for (std::size_t i = starts[f]; i < starts[f] + lengths[f]; ++i) {
            if (s[i] < '0' || s[i] > '9') {
                return std::nullopt;
            }
            fields[f] = fields[f] * 10 + (s[i] - '0');
        }
    }
    return dateOf(fields[0], fields[1], fields[2]);
}

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

// "1 строка с ошибкой", "3 строки с ошибками", "11 строк с ошибками".
std::string linesWithErrors(long long n) {
    return std::to_string(n) +
           std::string(russianPlural(n, " строка с ошибкой", " строки с ошибками", " строк с ошибками"));
}

// The year a line is about when it starts like a date ("2027-..."), else 0: known even for a line
// whose date or kind is bad, so that the caller can tell which years were read incompletely.
int leadingYear(std::string_view line) {
    if (line.size() < 5 || line[4] != '-') {
        return 0;
    }
    int year = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        if (line[i] < '0' || line[i] > '9') {
            return 0;
        }
        year = year * 10 + (line[i] - '0');
    }
    return year;
}

// Keeps the first kMaxErrors errors and counts the rest; each bad line reports one error. The years
// of all bad lines are kept, however many.
class ErrorList {
public:
    ErrorList(std::vector<CalendarError>* out, std::vector<int>* years) : out_(out), years_(years) {}
    // text: the message, or something that makes it, which is only called for the errors kept.
    template <class Text> void add(int line, int year, Text&& text) {
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
            if constexpr (std::is_invocable_v<Text>) {
                out_->push_back({line, text()});
            } else {
                out_->push_back({line, std::string(text)});
            }
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

int dayNormMinutes(DayKind k, int weekday, int weeklyHours) {
    const bool working = weekday <= 5 ? k != DayKind::Holiday && k != DayKind::DayOff
                                      : k == DayKind::Workday || k == DayKind::Short;
    if (!working) {
        return 0;
    }
    const int day = std::clamp(weeklyHours, 1, 40) * 60 / 5;
    return k == DayKind::Short ? std::max(0, day - 60) : day;
}

ProductionCalendar ProductionCalendar::fromCsv(std::string_view csv, std::vector<CalendarError>* errors,
                                               std::vector<int>* yearsWithErrors) {
    std::map<int, TableYear> years;
    ErrorList errs(errors, yearsWithErrors);
    if (csv.starts_with("\xEF\xBB\xBF")) {
        csv.remove_prefix(3);
    }
    bool headerSeen = false;
    int lineNo = 0;
    for (std::size_t pos = 0; pos < csv.size();) {
        ++lineNo;
        const std::size_t eol = std::min(csv.find('\n', pos), csv.size());
        std::string_view line = csv.substr(pos, eol - pos);
        pos = eol + 1;
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        line = trim(line);
        if (line.empty()) {
            continue;
        }
        const int lineYear = leadingYear(line);
        if (!isUtf8(line)) {
            errs.add(lineNo, lineYear, "текст не в кодировке UTF-8");
            continue;
        }
        if (!headerSeen) {
            headerSeen = true;
            if (line != kHeader) {
                errs.add(lineNo, lineYear, "первая строка должна быть заголовком \"date,kind,note\"");
            }
            continue;
        }
        if (line == kHeader) {
            errs.add(lineNo, lineYear, "повторный заголовок");
            continue;
        }

        const std::size_t c1 = line.find(',');
        const std::size_t c2 = c1 == std::string_view::npos ? c1 : line.find(',', c1 + 1);
        const std::string_view dateText = trim(line.substr(0, c1));
        const std::string_view kindText =
            c1 == std::string_view::npos ? std::string_view{} : trim(line.substr(c1 + 1, c2 - c1 - 1));
        const std::string_view note =
            c2 == std::string_view::npos ? std::string_view{} : trim(line.substr(c2 + 1));
        if (dateText.empty() || kindText.empty()) {
            errs.add(lineNo, lineYear, "не хватает поля");
            continue;
        }
        const auto date = isoDate(dateText);
        if (!date) {
            errs.add(lineNo, lineYear, [&] { return "неверная дата " + quoted(dateText); });
            continue;
        }
        const auto kind = kindFromText(kindText);
        if (!kind) {
            errs.add(lineNo, lineYear, [&] { return "неизвестный вид дня " + quoted(kindText); });
            continue;
        }
        const bool weekend = isWeekend(date->serial);
        if (*kind == DayKind::Workday && !weekend) {
            errs.add(lineNo, lineYear, [&] { return "workday на будний день " + std::string(dateText); });
            continue;
        }
        if (*kind == DayKind::DayOff && weekend) {
            errs.add(lineNo, lineYear, [&] { return "dayoff на выходной день " + std::string(dateText); });
            continue;
        }
        const int year = yearOf(*date);
        TableYear& t = years[year];
        if (t.year == 0) {
            t.year = year;
            t.days = emptyYear(year);
        }
        const auto day = static_cast<std::int16_t>(date->serial - t.days.jan1.serial);
        DayKind& slot = t.days.kind[static_cast<std::size_t>(day)];
        if (slot != DayKind::Ordinary) {
            errs.add(lineNo, lineYear, [&] { return "повторная дата " + std::string(dateText); });
            continue;
        }
        slot = *kind;
        if (!note.empty()) {
            t.notes.push_back({day, std::string(note)});
        }
    }
    errs.finish();

    ProductionCalendar cal;
    cal.years_.reserve(years.size());
    for (auto& [year, t] : years) {
        std::sort(t.notes.begin(), t.notes.end(), [](const Note& a, const Note& b) { return a.day < b.day; });
        cal.years_.push_back(std::move(t));
    }
    cal.reindex();
    return cal;
}

const ProductionCalendar& ProductionCalendar::builtIn() {
    static const ProductionCalendar table = [] {
        std::vector<CalendarError> errors;
        ProductionCalendar t = fromCsv(
            std::string_view(reinterpret_cast<const char*>(kBuiltInCalendarCsv), kBuiltInCalendarCsvSize),
            &errors);
        assert(errors.empty());
        // No decree on the 2027 transfers was out when the table was compiled: its rows hold only what
        // the Labour Code fixes, and the decree will likely move 2-3 January. A user's file listing
        // 2027 replaces the year and with it this mark.
        for (TableYear& y : t.years_) {
            y.provisional = y.year == 2027;
        }
        return t;
    }();
    return table;
}

void ProductionCalendar::overlay(const ProductionCalendar& newer) {
    for (const TableYear& n : newer.years_) {
        const auto it = std::lower_bound(years_.begin(), years_.end(), n.year,
                                         [](const TableYear& t, int y) { return t.year < y; });
        if (it != years_.end() && it->year == n.year) {
            *it = n;
        } else {
            years_.insert(it, n);
        }
    }
    reindex();
}

void ProductionCalendar::reindex() {
    index_.clear();
    if (years_.empty()) {
        return;
    }
    firstYear_ = years_.front().year;
    index_.assign(static_cast<std::size_t>(years_.back().year - firstYear_ + 1), -1);
    for (std::size_t i = 0; i < years_.size(); ++i) {
        index_[static_cast<std::size_t>(years_[i].year - firstYear_)] = static_cast<std::int16_t>(i);
    }
}

const ProductionCalendar::TableYear* ProductionCalendar::tableYear(int year) const {
    const int i = year - firstYear_;
    if (i < 0 || i >= static_cast<int>(index_.size()) || index_[static_cast<std::size_t>(i)] < 0) {
        return nullptr;
    }
    return &years_[static_cast<std::size_t>(index_[static_cast<std::size_t>(i)])];
}

bool ProductionCalendar::covers(int year) const { return tableYear(year) != nullptr; }

std::vector<int> ProductionCalendar::years() const {
    std::vector<int> listed;
    listed.reserve(years_.size());
    for (const TableYear& t : years_) {
        listed.push_back(t.year);
    }
    return listed;
}

void ProductionCalendar::dropYears(const std::vector<int>& years) {
    std::vector<int> sorted = years;
    std::sort(sorted.begin(), sorted.end());
    std::erase_if(years_, [&sorted](const TableYear& t) {
        return std::binary_search(sorted.begin(), sorted.end(), t.year);
    });
    reindex();
}

NormSource ProductionCalendar::sourceOf(int year) const {
    const TableYear* t = tableYear(year);
    return !t ? NormSource::GeneralRules : t->provisional ? NormSource::Provisional : NormSource::Decree;
}

DayKind ProductionCalendar::kindOf(Date d) const {
    if (!inModel(d)) {
        return DayKind::Ordinary;
    }
    const int year = yearOf(d);
    if (const TableYear* t = tableYear(year)) {
        return t->days.of(d);
    }
    return RuleYear(year).kinds().of(d);
}

YearKinds ProductionCalendar::yearKinds(int year) const {
    if (const TableYear* t = tableYear(year)) {
        return t->days;
    }
    return RuleYear(year).kinds();
}

std::string ProductionCalendar::noteOf(Date d) const {
    if (!inModel(d)) {
        return {};
    }
    const int year = yearOf(d);
    if (const TableYear* t = tableYear(year)) {
        const auto day = static_cast<std::int16_t>(d.serial - t->days.jan1.serial);
        const auto it = std::lower_bound(t->notes.begin(), t->notes.end(), day,
                                         [](const Note& n, std::int16_t x) { return n.day < x; });
        if (it != t->notes.end() && it->day == day) {
            return it->text;
        }
        return std::string(kindNote(t->days.of(d)));
    }
    const RuleYear rule(year);
    switch (rule.kinds().of(d)) {
    case DayKind::Holiday:
        return std::string(holidayName(monthOf(d), dayOf(d)));
    case DayKind::DayOff:
        return "перенос с " + shortDateText(rule.movedFrom(d));
    case DayKind::Short:
        return std::string(kShortNote);
    default:
        return {};
    }
}

bool ProductionCalendar::isWorkingDay(Date d) const {
    return inModel(d) && dayNormMinutes(kindOf(d), weekdayOfSerial(d.serial)) > 0;
}

int ProductionCalendar::normMinutes(Date first, Date last, int weeklyHours) const {
    first = std::max(first, kFirstDate);
    last = std::min(last, kLastDate);
    int minutes = 0;
    YearKinds kinds;
    for (Date d = first; d <= last; ++d.serial) {
        if (!kinds.contains(d)) {
            kinds = yearKinds(yearOf(d));
        }
        minutes += dayNormMinutes(kinds.of(d), weekdayOfSerial(d.serial), weeklyHours);
    }
    return minutes;
}

} // namespace sutograf
