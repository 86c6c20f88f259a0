#include <QFont>
#include <QFontDatabase>
#include <QStringList>

#include <algorithm>
#include <array>
#include <cstring>

#include "fonts_system.h"

namespace sutograf {
namespace {

// The faces the layouts name, each with the metric-compatible faces that stand in for it, best first
// (fonts-liberation2 has the last of each).
struct Face {
    const char* name;
    std::array<const char*, 3> standIns; // nullptr past the last
};
constexpr std::array<Face, 3> kFaces = {{
    {"MS Sans Serif", {"Microsoft Sans Serif", "Arial", "Liberation Sans"}},
    {"Arial", {"Liberation Sans", nullptr, nullptr}},
    {"Times New Roman", {"Liberation Serif", nullptr, nullptr}},
}};

// Qt's own fallback, for a system that has none of the faces below (none is installed under its name).
void registerSubstitutes() {
    static const bool done = [] {
        for (const Face& face : kFaces) {
            QStringList standIns;
            for (const char* s : face.standIns) {
                if (s != nullptr) {
                    standIns << QString::fromLatin1(s);
                }
            }
            QFont::insertSubstitutions(QString::fromLatin1(face.name), standIns);
        }
        return true;
    }();
    (void)done;
}

} // namespace

// A name the system lacks sends fontconfig through its whole list of fallbacks before Qt's
// substitutes are tried, at every start; so the first of the face and its stand-ins that the system
// has is asked for by its own name: the face Qt would have ended on, without the search.
QString systemFamily(const char* layoutFamily) {
    registerSubstitutes();
    struct Chosen {
        const char* name;
        QString family;
    };
    static const std::array<Chosen, kFaces.size()> chosen = [] {
        const QStringList installed = QFontDatabase::families();
        std::array<Chosen, kFaces.size()> c{};
        for (std::size_t i = 0; i < kFaces.size(); ++i) {
            c[i] = {kFaces[i].name, QString::fromLatin1(kFaces[i].name)};
            if (installed.contains(c[i].family)) {
                continue;
            }
            for (const char* s : kFaces[i].standIns) {
                if (s != nullptr && installed.contains(QString::fromLatin1(s))) {
                    c[i].family = QString::fromLatin1(s);
                    break;
                }
            }
        }
        return c;
    }();
    const auto it = std::find_if(chosen.begin(), chosen.end(), [layoutFamily](const Chosen& c) {
        return std::strcmp(c.name, layoutFamily) == 0;
    });
    return it != chosen.end() ? it->family : QString::fromLatin1(layoutFamily);
}

} // namespace sutograf
