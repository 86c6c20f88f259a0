// Looks at the windows on a real X display the way a user would, from their pixels only.
//   e2e_probe client WINDOW              prints the client area's top-left corner on the screen
//   e2e_probe check WINDOW YEAR MONTH OFFSET TODAY
//       checks every day cell's text colour against the rota and the red frame on today's cell;
//       prints what differs and exits 1 if anything does.
//   e2e_probe fills WINDOW YEAR WATCH OFFSET
//       the year window: checks that exactly the watch's duty days of that year are filled with its
//       colour, day by day.
//   e2e_probe roster FILE
//       prints what the roster store FILE holds: "people=2 absences=1 swaps=2".
//   e2e_probe person WINDOW FILE NAME YEAR OFFSET
//       the year window showing the year of NAME of the roster in FILE: checks every day of that year
//       against the core's personDays, from the cells where the layout puts them (common/year_cells.h).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "common/year_cells.h"
#include "production_calendar.h"
#include "roster_store.h"
#include "rota.h"
#include "year_months_view.h"
#include "year_sheet.h"

// Xlib defines macros (Bool, Status, CursorShape) that break Qt's headers: it comes after them.
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

// The year window's months view is the only white area that wide; its left edge is white to the bottom.
QRectF monthsView(XImage* image) {
    const Rgb white{255, 255, 255};
    for (int y = 0; y < image->height; ++y) {
        for (int x = 0; x < image->width;) {
            int end = x;
            while (end < image->width && at(image, end, y) == white) {
                ++end;
            }
            if (end - x >= 400) {
                int bottom = y;
                while (bottom < image->height && at(image, x, bottom) == white) {
                    ++bottom;
                }
                return QRectF(x, y, end - x, bottom - y);
            }
            x = end + 1;
        }
    }
    return {};
}

// Every day of the year where the window draws it: a duty day of the watch is filled with its colour,
// any other day shows none of it.
int checkFills(XImage* image, int year, int watch, float offset) {
    const QRectF view = monthsView(image);
    if (view.isEmpty()) {
        std::printf("no months in sight\n");
        return 1;
    }
    const QRectF area = sutograf::YearMonthsView::monthsArea(view);
    const sutograf::YearSheet sheet(year, watch, offset, sutograf::Date{0},
                                    sutograf::ProductionCalendar::builtIn());
    std::map<std::int32_t, int> coloured;
    for (int y = static_cast<int>(area.top()); y < area.bottom(); ++y) {
        for (int x = static_cast<int>(area.left()); x < area.right(); ++x) {
            const auto day = sheet.dateAt(area, QPointF(x + 0.5, y + 0.5));
            if (day && at(image, x, y) == kWatchColours[watch - 1]) {
                ++coloured[day->serial];
            }
        }
    }
    int faults = 0;
    for (auto d = sutograf::dateOf(year, 1, 1).value(); sutograf::yearOf(d) == year; ++d.serial) {
        const bool duty = sutograf::watchOn(d, offset) == watch, filled = coloured[d.serial] > 20;
        if (duty != filled) {
            std::printf("%s is %s\n", sutograf::shortDateText(d).c_str(),
                        duty ? "a duty day, not filled" : "filled, yet no duty day");
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

// Each day of the person's year where the layout puts it: filled with the colour of the watch of their
// duty, crossed out, hatched, or none of these, as the core says.
int checkPerson(XImage* image, const char* file, const std::string& name, int year, float offset) {
    const sutograf::RosterStore store(file, {}, offset);
    const auto& people = store.roster().people;
    const auto who =
        std::find_if(people.begin(), people.end(), [&](const auto& p) { return p.person.name == name; });
    const QRectF view = monthsView(image);
    if (who == people.end() || view.isEmpty()) {
        std::printf(who == people.end() ? "no %s on the roster\n" : "no months in sight\n", name.c_str());
        return 1;
    }
    const sutograf::Date first = *sutograf::dateOf(year, 1, 1);
    const auto days =
        sutograf::personDays(*who, store.roster().swaps, first, *sutograf::dateOf(year, 12, 31), offset);
    const QRectF area = year_cells::monthsArea(view);
    const auto pixel = [image](int x, int y) {
        const Rgb c = at(image, x, y);
        return QColor(c.r, c.g, c.b);
    };
    int faults = 0;
    for (std::size_t i = 0; i < days.size(); ++i) {
        const sutograf::Date d{first.serial + static_cast<std::int32_t>(i)};
        const int watch = days[i].watch != 0 ? days[i].watch : sutograf::watchOn(d, offset).value_or(0);
        const int seen = year_cells::lookAt(pixel, year_cells::cellOf(area, d), watch);
        if (seen != year_cells::expectedLook(days[i])) {
            std::printf("%s shows %s, not %s\n", sutograf::shortDateText(d).c_str(), year_cells::kLooks[seen],
                        year_cells::kLooks[static_cast<int>(days[i].status)]);
            ++faults;
        }
    }
    return faults == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[]) {
    const std::string mode = argc > 2 ? argv[1] : "";
    if (mode == "roster" && argc == 3) {
        return printRoster(argv[2]);
    }
    const bool fits = (mode == "client" && argc == 3) || (mode == "check" && argc == 7) ||
                      (mode == "fills" && argc == 6) || (mode == "person" && argc == 7);
    Display* display = fits ? XOpenDisplay(nullptr) : nullptr;
    if (display == nullptr) {
        std::fprintf(stderr,
                     "usage: %s client WINDOW | check WINDOW YEAR MONTH OFFSET TODAY | fills WINDOW YEAR "
                     "WATCH OFFSET | roster FILE | person WINDOW FILE NAME YEAR OFFSET\n",
                     argv[0]);
        return 2;
    }
    const Window window = std::strtoul(argv[2], nullptr, 0);
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, window, &attributes);
    XImage* image = XGetImage(display, window, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
    const int top = image != nullptr && (mode == "client" || mode == "check") ? clientTop(image) : -1;
    int rc = 2;
    if (image == nullptr) {
        std::fprintf(stderr, "cannot read the window\n");
    } else if (mode == "fills") {
        rc = checkFills(image, std::atoi(argv[3]), std::atoi(argv[4]), std::strtof(argv[5], nullptr));
    } else if (mode == "person") {
        rc = checkPerson(image, argv[3], argv[4], std::atoi(argv[5]), std::strtof(argv[6], nullptr));
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
