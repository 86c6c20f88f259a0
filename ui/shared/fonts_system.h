#pragma once

// The family to ask for when a window layout names one, on this system. One implementation per
// system, chosen by ui/CMakeLists.txt: fonts_unix.cpp (Liberation stand-ins where the Windows faces
// are missing) and fonts_windows.cpp (the Windows faces themselves).

class QString;

namespace sutograf {

QString systemFamily(const char* layoutFamily);

} // namespace sutograf
