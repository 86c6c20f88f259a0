#pragma once

#include <QString>

#include <optional>
#include <string_view>

#include "safe_file.h"

namespace sutograf {

class SettingsPlace;

inline const QString kOptFileName = QStringLiteral("Opt.txt");

// The offset held by the file's first line (ended by CR, LF or the end of the file), or nullopt
// when that line, blanks trimmed, is not one of the whole numbers 0 to 3. Nothing else in the
// file matters.
std::optional<float> parseOffsetFile(std::string_view content);

// The offset Opt.txt holds. nullopt for a missing, unreadable or damaged file, or anything but a
// regular file in its place, which is left untouched.
std::optional<float> readOffsetFile(const SettingsPlace& place);

// Replaces Opt.txt with the offset's text and CR LF: three bytes for 0..3. The new file appears whole
// or not at all; on failure the old file is left exactly as it was.
WriteResult writeOffsetFile(const SettingsPlace& place, float offset);

} // namespace sutograf
