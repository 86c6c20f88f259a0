#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sutograf {

// Plain decimal text of a number: "2011", "-3", "0", "2011.5"; no leading space, no locale.
// Whole numbers below 1e15 in magnitude are written with all their digits; anything else takes
// the shortest text that reads back as the same value.
std::string numberText(double x);

// Decimal text to single precision: optional blanks around, an optional sign, digits with an
// optional '.' fraction and an optional exponent. The decimal separator is always '.'.
// nullopt for empty text, any other character, infinities, NaN, or a value beyond float's range.
std::optional<float> textToSingle(std::string_view text);

// The value of 1 to maxDigits decimal digits and nothing else (no sign, no blank), as the fields of dates
// and times are written; nullopt for anything else. Precondition: maxDigits <= 9. Inline: the date readers
// call it per field of every line of a file.
constexpr std::optional<int> digitsValue(std::string_view s, std::size_t maxDigits) {
    if (s.empty() || s.size() > maxDigits) {
        return std::nullopt;
    }
    int value = 0;
    for (const char c : s) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

// Writes value as exactly `width` decimal digits, zeros in front, into out[0 .. width). Precondition:
// 0 <= value < 10^width.
constexpr void writeDigits(int value, int width, char* out) {
    for (int i = width - 1; i >= 0; --i, value /= 10) {
        out[i] = static_cast<char>('0' + value % 10);
    }
}

// s without the blanks and tabs around it.
std::string_view trimBlanks(std::string_view s);

// Round to nearest, ties to even (1.5 and 2.5 both give 2); saturates at the int16 range,
// NaN gives 0.
std::int16_t toInt16(float x);

// The Russian noun form that goes with n: one for 1, 21, 31 ..., few for 2-4, 22-24 ..., many for the
// rest (5-20, 25-30, 11-14 ...), as in "1 строка", "3 строки", "11 строк".
std::string_view russianPlural(long long n, std::string_view one, std::string_view few,
                               std::string_view many);

} // namespace sutograf
