#pragma once

#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace sutograf::csv {

// Text tables as Excel opens them with a double click in a Russian locale and writes them back:
// UTF-8 with a byte-order mark, ';' between fields, CRLF at each line's end, a field in double quotes
// when it holds ';', a quote, a line break or blanks at an end (a quote inside doubled).

inline constexpr std::string_view kBom = "\xEF\xBB\xBF";

class Writer {
public:
    Writer(); // the text starts with the byte-order mark
    void row(std::initializer_list<std::string_view> fields);
    void row(std::span<const std::string> fields);
    const std::string& text() const { return text_; }

private:
    std::string text_;
};

// The field as it goes into a line: quoted when it has to be.
std::string field(std::string_view value);

// One line of the table (or more, when a quoted field holds line breaks).
struct Record {
    int line = 0; // 1-based line where it begins
    std::vector<std::string> fields;
    std::string problem; // empty when it was read well; otherwise in Russian, and `fields` is empty
};

// Reads records one by one in a time linear in the text. A byte-order mark is skipped; lines end in CRLF
// or LF. A quote is taken as it stands inside an unquoted field, and so is anything after a closing
// quote, as Excel does. A record that is not UTF-8 or whose quote is never closed has a problem.
class Reader {
public:
    explicit Reader(std::string_view text);
    bool next(Record& r); // false after the last record

private:
    std::string_view text_;
    std::size_t pos_ = 0;
    int line_ = 1;
};

// A numbered problem of an imported file, in Russian.
struct LineError {
    int line;
    std::string message;
};

// At most kMax errors; after them one entry, on the first line left out, counts the lines left out,
// so that a file of junk gives a list a window can show.
class ErrorList {
public:
    static constexpr std::size_t kMax = 100;
    void add(int line, std::string message);
    std::vector<LineError> take(); // with the count of those left out, if any

private:
    std::vector<LineError> errors_;
    int firstOmitted_ = 0;
    long long omitted_ = 0;
};

} // namespace sutograf::csv
