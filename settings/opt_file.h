#pragma once

#include <QFileDevice>
#include <QString>

#include <optional>
#include <string_view>

namespace sutograf {

inline constexpr char kOptFileName[] = "Opt.txt";

// <dir>/Opt.txt, in the platform's own separators.
QString optFilePath(const QString& dir);

// Where Opt.txt lives: beside the program when that directory can be written, so that a copy of the
// program carries its setting along; otherwise (an installed copy under /usr, say) in the user's own
// configuration directory, so that the setting can still be saved.
QString settingsDirectory(const QString& programDir);

// The offset held by the file's first line (ended by CR, LF or the end of the file), or nullopt
// when that line, blanks trimmed, is not one of the whole numbers 0 to 3. Nothing else in the
// file matters.
std::optional<float> parseOffsetFile(std::string_view content);

// Reads <dir>/Opt.txt into BazovyKaraul. A missing, unreadable or damaged file leaves
// BazovyKaraul as it is and the file untouched; answers whether the file was taken.
bool Nastroyki_Chtenie(const QString& dir);

struct ZapisResult {
    QFileDevice::FileError error = QFileDevice::NoError;
    QString detail; // the system's own words for the failure, empty on success

    bool ok() const { return error == QFileDevice::NoError; }
};

// Replaces <dir>/Opt.txt with the text of BazovyKaraul and CR LF: three bytes for 0..3, creating the
// directory if need be. The new file appears whole or not at all; on failure the old file is left
// exactly as it was.
ZapisResult Nastroyki_Zapis(const QString& dir);

} // namespace sutograf
