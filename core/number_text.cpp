#include "number_text.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace sutograf {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

bool isDigit(char c) { return c >= '0' && c <= '9'; }

} // namespace

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && isBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

std::string numberText(double x) {
    char buf[32];
    std::to_chars_result r{};
    if (std::isfinite(x) && x == std::trunc(x) && std::fabs(x) < 1e15) {
        r = std::to_chars(buf, buf + sizeof buf, static_cast<long long>(x));
    } else {
        r = std::to_chars(buf, buf + sizeof buf, x);
    }
    return std::string(buf, r.ptr);
}

std::optional<float> textToSingle(std::string_view text) {
    text = trimBlanks(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    // from_chars would also take "inf", "nan" and a second sign; a number starts with a digit or '.'.
    if (text.empty() || !(isDigit(text.front()) || text.front() == '.')) {
        return std::nullopt;
    }
    float value = 0.0f;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || end != text.data() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

std::int16_t toInt16(float x) {
    if (std::isnan(x)) {
        return 0;
    }
    constexpr float lo = std::numeric_limits<std::int16_t>::min();
    constexpr float hi = std::numeric_limits<std::int16_t>::max();
    // nearbyint rounds in the default mode, to nearest with ties to even.
    const float r = std::nearbyint(x);
    return static_cast<std::int16_t>(r < lo ? lo : (r > hi ? hi : r));
}

std::string_view russianPlural(long long n, std::string_view one, std::string_view few,
                               std::string_view many) {
    const long long tens = n % 100, ones = n % 10;
    if (tens >= 11 && tens <= 14) {
        return many;
    }
    return ones == 1 ? one : (ones >= 2 && ones <= 4 ? few : many);
}

} // namespace sutograf
