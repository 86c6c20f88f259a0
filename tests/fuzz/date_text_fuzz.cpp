// Date and number text: whatever is accepted must be a date of the model or a finite number, and
// must come back unchanged through its own text.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "date.h"
#include "number_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const auto date = sutograf::dateFromText(text)) {
        if (!sutograf::inModel(*date) || sutograf::dateFromText(sutograf::shortDateText(*date)) != date) {
            std::abort();
        }
    }
    if (const auto value = sutograf::textToSingle(text)) {
        if (!std::isfinite(*value) || sutograf::textToSingle(sutograf::numberText(*value)) != value) {
            std::abort();
        }
        const int n = sutograf::toInt16(*value);
        if (std::fabs(*value) < 32767.0f && std::fabs(static_cast<float>(n) - *value) > 0.5f) {
            std::abort();
        }
    }
    return 0;
}
