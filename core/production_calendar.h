#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "date.h"

namespace sutograf {

// The kinds of the calendar file; Ordinary is a day the file does not list.
enum class DayKind : std::uint8_t { Ordinary, Holiday, DayOff, Workday, Short };

// Where a year's days and norm come from, for the windows to say how far the figures can be trusted.
enum class NormSource {
    Decree,      // the table lists the year from the government's decree on transfers
    Provisional, // the table lists the year, but only what the Labour Code fixes: no decree yet
    GeneralRules // the table does not list the year; holidays and their moves follow the general rule
};

// line: 1-based line of the CSV text. message: Russian, for the window to show as it is.
struct CalendarError {
    int line;
    std::string message;
};

// The kind of every day of one year; index 0 is 1 January. A default YearKinds contains no day.
struct YearKinds {
    Date jan1;
    int length = 0; // 365 or 366
    std::array<DayKind, 366> kind{};

    // Every day of the year Ordinary. Precondition: 100 <= year <= 9999.
    static YearKinds ordinary(int year);

    bool contains(Date d) const { return jan1 <= d && d.serial < jan1.serial + length; }
    // Precondition: contains(d).
    DayKind of(Date d) const { return kind[static_cast<std::size_t>(d.serial - jan1.serial)]; }
};

// The norm of one day of this kind on this weekday (Monday = 1 ... Sunday = 7) for a week of
// weeklyHours: a fifth of the week on a working day, 60 minutes less on a Short one, 0 on a day off.
// Weeks are 40 or 36 hours; others are clamped to 1..40 (art. 91) and a Short day to no less than 0.
int dayNormMinutes(DayKind kind, int weekday, int weeklyHours = 40);

// The production calendar: which days are holidays, transferred days off, transferred working days
// and shortened pre-holiday days. Years the table lists follow it; every other year of 100..9999
// follows the general rule of the Labour Code (art. 112): the holidays 1-6 and 8 January ("Новогодние
// каникулы"; 1-5 January before 2013), 7 January, 23 February, 8 March, 1 May, 9 May, 12 June and
// 4 November; a holiday on a Saturday or Sunday outside January gives its day off to the next
// Monday-Friday that is neither a holiday nor already a moved day off; a Monday-Friday working day
// right before a holiday is shortened by an hour (so is 31 December). No transfer decree is guessed.
class ProductionCalendar {
public:
    ProductionCalendar() = default; // lists no year: every year follows the rule

    // "date,kind,note" text with that header line: dates as YYYY-MM-DD, kinds holiday, dayoff, workday
    // or short, the note everything after the second comma (it may be missing or hold commas).
    // Accepts LF or CRLF, a UTF-8 byte-order mark and blank lines. A bad row goes to errors (when
    // given) and is skipped; the rest is read. After kMaxErrors errors the list ends with one entry
    // counting the further lines with errors, on the first of them. yearsWithErrors (when given) gets,
    // in order, every year that a bad line begins with ("2027-02-30,..."), however many errors, and 0
    // first when a bad line does not begin with a year ("09.01.2026,...", a quoted date).
    static ProductionCalendar fromCsv(std::string_view csv, std::vector<CalendarError>* errors = nullptr,
                                      std::vector<int>* yearsWithErrors = nullptr);
    static constexpr std::size_t kMaxErrors = 100;

    // The table shipped inside the program (resources/ru-production-calendar.csv).
    static const ProductionCalendar& builtIn();

    // Each year that `newer` lists replaces ours whole, including its provisional mark.
    void overlay(const ProductionCalendar& newer);
    // The table no longer lists these years: they follow the general rule, or what an overlay brings.
    void dropYears(const std::vector<int>& years);

    bool covers(int year) const;    // the table lists this year
    std::vector<int> years() const; // the years the table lists, in order
    NormSource sourceOf(int year) const;

    // Days outside the model are Ordinary. Constant time for table years; a rule year is worked out
    // afresh on each call (a few dozen dates), so loops over many days use yearKinds.
    DayKind kindOf(Date d) const;
    YearKinds yearKinds(int year) const; // precondition: 100 <= year <= 9999

    // For a tooltip: the row's note for table years (a row without one gets what its kind means, as
    // "выходной день (перенос)"); for rule years the holiday's name, "перенос с DD.MM.YYYY" for a moved
    // day off, "предпраздничный день (сокращён на 1 час)" for a short day. Empty for an ordinary day.
    std::string noteOf(Date d) const;

    // Mon-Fri not Holiday/DayOff, or Sat/Sun that is Workday or Short. False outside the model.
    bool isWorkingDay(Date d) const;

    // The norm for a week of weeklyHours (40 or 36), both ends included: a fifth of the week per working
    // day (480 or 432 minutes), 60 less per Short day. 0 when last < first; days outside the model count
    // nothing.
    int normMinutes(Date first, Date last, int weeklyHours = 40) const;

private:
    struct Note {
        std::int16_t day; // index into the year's days
        std::string text;
    };
    struct TableYear {
        int year = 0;
        bool provisional = false;
        YearKinds days;
        std::vector<Note> notes; // sorted by day
    };

    struct CsvTable; // fromCsv's years as they are read (calendar_csv.cpp)

    const TableYear* tableYear(int year) const;
    void reindex();

    std::vector<TableYear> years_; // sorted by year
    int firstYear_ = 0;
    std::vector<std::int16_t> index_; // years_ position of firstYear_ + i, or -1
};

} // namespace sutograf
