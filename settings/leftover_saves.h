#pragma once

#include <QStringList>

class QDateTime;

namespace sutograf {

class SettingsPlace;

// A save writes the new settings to a temporary file beside the old one and renames it over the old
// one (writeFileSafely). Where the system cannot keep that file nameless (many USB sticks and network
// folders), a save killed midway, or a power cut, leaves it behind under QSaveFile's name for it: the
// target's name, a dot and six letters or digits ("Opt.txt.AZSIbb", "sutograf.ini.k3Xq9Z").
//
// Removes such files of Opt.txt and sutograf.ini from the folder the settings are written to, when
// they are regular files last written more than a minute before `now` (a younger one may be another
// running copy's save under way). Nothing else is ever removed: not a link, a folder, a file of
// another name, nor anything in the program's folder when settings go elsewhere. Answers the names
// removed.
QStringList removeLeftoverSaves(const SettingsPlace& place, const QDateTime& now);

} // namespace sutograf
