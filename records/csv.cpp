#include "csv.h"

#include "number_text.h"
#include "utf8.h"

#include <algorithm>

namespace sutograf::csv {

Writer::Writer() : text_(kBom) {}

namespace {

template <class Fields> void appendRow(std::string& text, const Fields& fields) {
    bool first = true;
    for (std::string_view f : fields) {
        if (!first) {
            text += ';';
        }
        first = false;
        text += field(f);
    }
    text += "\r\n";
}

} // namespace

void Writer::row(std::initializer_list<std::string_view> fields) { appendRow(text_, fields); }

void Writer::row(std::span<const std::string> fields) { appendRow(text_, fields); }

std::string field(std::string_view value) {
    const bool quote = value.find_first_of(";\"\r\n") != std::string_view::npos ||
                       (!value.empty() && (value.front() == ' ' || value.back() == ' '));
    if (!quote) {
        return std::string(value);
    }
    std::string out = "\"";
    for (char c : value) {
        out += c;
        if (c == '"') {
            out += '"';
        }
    }
    out += '"';
    return out;
}

Reader::Reader(std::string_view text) : text_(text) {
    if (text_.starts_with(kBom)) {
        text_.remove_prefix(kBom.size());
    }
}

bool Reader::next(Record& r) {
    if (pos_ >= text_.size()) {
        return false;
    }
    r.line = line_;
    r.fields.clear();
    r.problem.clear();
    const std::size_t start = pos_;
    const std::size_t n = text_.size();
    bool unclosed = false;
    for (;;) {
        std::string f;
        if (text_[pos_] == '"') {
            ++pos_;
            for (;;) {
                const std::size_t q = text_.find('"', pos_);
                const std::size_t end = q == std::string_view::npos ? n : q;
                line_ += static_cast<int>(std::count(text_.begin() + static_cast<std::ptrdiff_t>(pos_),
                                                     text_.begin() + static_cast<std::ptrdiff_t>(end), '\n'));
                f.append(text_.substr(pos_, end - pos_));
                if (q == std::string_view::npos) {
                    pos_ = n;
                    unclosed = true;
                    break;
                }
                if (q + 1 < n && text_[q + 1] == '"') {
                    f += '"';
                    pos_ = q + 2;
                    continue;
                }
                pos_ = q + 1;
                break;
            }
        }
        // Unquoted text, or what follows a closing quote, up to the field's end.
        const std::size_t end = std::min(text_.find_first_of(";\n", pos_), n);
        std::string_view rest = text_.substr(pos_, end - pos_);
        if ((end == n || text_[end] == '\n') && rest.ends_with('\r')) {
            rest.remove_suffix(1);
        }
        f.append(rest);
        r.fields.push_back(std::move(f));
        pos_ = end;
        if (pos_ < n && text_[pos_] == ';') {
            ++pos_;
            continue;
        }
        if (pos_ < n) {
            ++pos_; // the '\n'
            ++line_;
        }
        break;
    }
    if (unclosed) {
        r.problem = "кавычка, открытая в этой строке, не закрыта до конца файла";
    } else if (!isUtf8(text_.substr(start, pos_ - start))) {
        r.problem = "строка не в кодировке UTF-8 (похоже, Windows-1251). Сохраните файл в UTF-8: в Excel — "
                    "«Сохранить как», тип «CSV UTF-8 (разделитель — запятая)»; в Блокноте — «Сохранить как», "
                    "кодировка UTF-8";
    }
    if (!r.problem.empty()) {
        r.fields.clear();
    }
    return true;
}

void ErrorList::add(int line, std::string message) {
    if (errors_.size() < kMax) {
        errors_.push_back({line, std::move(message)});
    } else if (omitted_++ == 0) {
        firstOmitted_ = line;
    }
}

std::vector<LineError> ErrorList::take() {
    if (omitted_ > 0) {
        errors_.push_back(
            {firstOmitted_, "и ещё " + std::to_string(omitted_) + " " +
                                std::string(russianPlural(omitted_, "строка", "строки", "строк")) +
                                " с ошибками"});
        omitted_ = 0;
    }
    return std::move(errors_);
}

} // namespace sutograf::csv
