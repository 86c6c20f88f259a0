#include "opt_file.h"

#include "number_text.h"
#include "settings_place.h"

namespace sutograf {
namespace {

// A valid first line is one digit, perhaps with a few blanks; there is no need to read more than
// this to judge it, however large the file.
constexpr qint64 kLongestFirstLine = 64;

} // namespace

std::optional<float> parseOffsetFile(std::string_view content) {
    const auto end = content.find_first_of("\r\n");
    const auto value = textToSingle(content.substr(0, end));
    if (!value || !(*value == 0.0f || *value == 1.0f || *value == 2.0f || *value == 3.0f)) {
        return std::nullopt;
    }
    return *value + 0.0f; // "-0" is the first watch too, stored as plain 0
}

std::optional<float> readOffsetFile(const SettingsPlace& place) {
    const auto head = readRegularFile(place.readPath(kOptFileName), kLongestFirstLine + 1);
    if (!head) {
        return std::nullopt;
    }
    if (head->size() > kLongestFirstLine && !head->contains('\r') && !head->contains('\n')) {
        return std::nullopt; // the first line alone is longer than any offset could be
    }
    return parseOffsetFile(std::string_view(head->constData(), static_cast<std::size_t>(head->size())));
}

WriteResult writeOffsetFile(const SettingsPlace& place, float offset) {
    const QString path = place.writePath(kOptFileName);
    if (path.isEmpty()) {
        return {WriteFailure::NoPlace};
    }
    return writeFileSafely(path, QByteArray::fromStdString(numberText(offset)) + "\r\n");
}

} // namespace sutograf
