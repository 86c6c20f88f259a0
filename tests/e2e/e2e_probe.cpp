// Looks at the windows on a real X display the way a user would, from their pixels only.
//   e2e_probe client WINDOW              prints the client area's top-left corner on the screen
//   e2e_probe check WINDOW YEAR MONTH OFFSET TODAY
//       checks every day cell's text colour against the rota and the red frame on today's cell;
//       prints what differs and exits 1 if anything does.
//   e2e_probe roster FILE
//       prints what the roster store FILE holds: "people=2 absences=1 swaps=2".
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "roster_store.h"
#include "rota.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};

constexpr Rgb kBlack{0, 0, 0}, kRedFrame{255, 0, 0}, kGrey{109, 109, 109};
constexpr Rgb kWatchColours[4] = {{255, 0, 255}, {0, 0, 255}, {255, 0, 0}, {255, 255, 0}};
constexpr int kCellPitch = 24, kCellSize = 21, kGridOrigin = 40;

Rgb at(XImage* image, int x, int y) {
    const unsigned long p = XGetPixel(image, x, y);
    return {static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF),
            static_cast<int>(p & 0xFF)};
}

// The client area starts where the background's black frame line runs along the top: below the
// menu bar, at the window's left edge.
int clientTop(XImage* image) {
    for (int y = 0; y < image->height; ++y) {
        int x = 0;
        while (x < 30 && at(image, x, y) == kBlack) {
            ++x;
        }
        if (x == 30) {
            return y;
        }
    }
    return -1;
}

int check(XImage* image, int top, float year, int month, float offset, const char* todayText) {
    const auto today = sutograf::dateFromText(todayText);
    const auto grid =
        today ? sutograf::Setka_Raschet(year, static_cast<float>(month), offset, *today) : std::nullopt;
    if (!grid) {
        return 2;
    }
    int faults = 0;
    for (const auto& cell : grid->cells) {
        const int left = kGridOrigin + kCellPitch * (cell.k / 7);
        const int cellTop = top + kGridOrigin + kCellPitch * (cell.k % 7);
        bool seen[4] = {};
        bool grey = false;
        // Inside the border and clear of where today's frame lies. Anti-aliased text blends with the
        // cyan, but the stems of bold digits show their colour exactly.
        for (int y = cellTop + 4; y < cellTop + kCellSize - 4; ++y) {
            for (int x = left + 4; x < left + kCellSize - 4; ++x) {
                const Rgb c = at(image, x, y);
                for (int w = 0; w < 4; ++w) {
                    seen[w] = seen[w] || c == kWatchColours[w];
                }
                grey = grey || c == kGrey;
            }
        }
        std::string problem;
        for (int w = 0; w < 4; ++w) {
            if (seen[w] != (cell.inMonth && w + 1 == cell.watch.value())) {
                problem += (seen[w] ? " shows" : " lacks") + std::string(" the colour of watch ") +
                           std::to_string(w + 1);
            }
        }
        if (!cell.inMonth && !grey) {
            problem += " is not grey";
        }
        const int middle = cellTop + kCellSize / 2;
        if ((at(image, left + 1, middle) == kRedFrame &&
             at(image, left + kCellSize - 2, middle) == kRedFrame) != cell.isToday) {
            problem += cell.isToday ? " lacks the red frame of today" : " is framed though it is not today";
        }
        if (!problem.empty()) {
            std::printf("cell %d (%s)%s\n", cell.k, sutograf::shortDateText(cell.date).c_str(),
                        problem.c_str());
            ++faults;
        }
    }
    return faults == 0 ? 0 : 1;
}

int printRoster(const char* file) {
    const sutograf::RosterStore store(file, {}, 0);
    const sutograf::Roster& roster = store.roster();
    std::size_t absences = 0;
    for (const auto& p : roster.people) {
        absences += p.absences.size();
    }
    std::printf("people=%zu absences=%zu swaps=%zu\n", roster.people.size(), absences, roster.swaps.size());
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    const std::string mode = argc > 2 ? argv[1] : "";
    if (mode == "roster" && argc == 3) {
        return printRoster(argv[2]);
    }
    const bool fits = (mode == "client" && argc == 3) || (mode == "check" && argc == 7);
    Display* display = fits ? XOpenDisplay(nullptr) : nullptr;
    if (display == nullptr) {
        std::fprintf(stderr,
                     "usage: %s client WINDOW | check WINDOW YEAR MONTH OFFSET TODAY | roster FILE\n",
                     argv[0]);
        return 2;
    }
    const Window window = std::strtoul(argv[2], nullptr, 0);
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, window, &attributes);
    XImage* image = XGetImage(display, window, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
    const int top = image != nullptr ? clientTop(image) : -1;
    int rc = 2;
    if (image == nullptr) {
        std::fprintf(stderr, "cannot read the window\n");
    } else if (top < 0) {
        std::fprintf(stderr, "cannot see the main window's client area\n");
    } else if (mode == "client") {
        int x = 0, y = 0;
        Window child;
        XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &x, &y, &child);
        std::printf("%d %d\n", x, y + top);
        rc = 0;
    } else {
        rc = check(image, top, std::strtof(argv[3], nullptr), std::atoi(argv[4]),
                   std::strtof(argv[5], nullptr), argv[6]);
    }
    if (image != nullptr) {
        XDestroyImage(image);
    }
    XCloseDisplay(display);
    return rc;
}
