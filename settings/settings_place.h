#pragma once

#include <QString>

namespace sutograf {

// Where the program's own files (Opt.txt and the rest) are read and written. Beside the program when
// its folder can be written, so that a copy on a USB stick carries its settings along. Otherwise
// (an installed copy under /usr or C:\Program Files, a write-protected stick) they are written to
// the user's configuration folder, and each is read from there once it exists, else from beside the program,
// so a read-only stick still brings its settings. Without a home folder nothing is kept elsewhere:
// there is then nowhere to write.
class SettingsPlace {
public:
    // Both folders the same: reading and writing there (the tests' and a writable program folder's case).
    explicit SettingsPlace(QString dir);
    // writeDir empty: nowhere to write.
    SettingsPlace(QString programDir, QString writeDir);

    // For the program in programDir, with userConfigDir() as the fallback.
    static SettingsPlace forProgram(const QString& programDir);

    // The user's own folder for the program, whatever the program file is called: ~/.config/sutograf
    // (or $XDG_CONFIG_HOME/sutograf) on Linux, %APPDATA%\sutograf on Windows (the roaming profile,
    // which follows the user from PC to PC). Empty when there is no home folder. Defined per system:
    // settings_place_unix.cpp, settings_place_windows.cpp.
    static QString userConfigDir();

    QString readPath(const QString& fileName) const;
    QString writePath(const QString& fileName) const; // empty when there is nowhere to write

private:
    QString programDir_;
    QString writeDir_;
};

} // namespace sutograf
