// Looks at the main window on a real X display the way a user would, from its pixels only.
//   e2e_probe client WINDOW              prints the client area's top-left corner on the screen
//   e2e_probe check WINDOW YEAR MONTH OFFSET TODAY [SAVE.ppm]
//       checks every day cell's text colour against the rota and the red frame on today's cell;
//       prints what differs and exits 1 if anything does.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "core/rota.h"

namespace {

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};

constexpr Rgb kWatchColours[4] = {{255, 0, 255}, {0, 0, 255}, {255, 0, 0}, {255, 255, 0}};
constexpr int kCellPitch = 24, kCellSize = 21, kGridLeft = 40, kGridTop = 40;

class Shot {
public:
    Shot(Display* d, Window w) {
        XWindowAttributes a{};
        XGetWindowAttributes(d, w, &a);
        image_ = XGetImage(d, w, 0, 0, a.width, a.height, AllPlanes, ZPixmap);
        Window child;
        XTranslateCoordinates(d, w, DefaultRootWindow(d), 0, 0, &rootX_, &rootY_, &child);
    }
    ~Shot() {
        if (image_ != nullptr) {
            XDestroyImage(image_);
        }
    }
    bool ok() const { return image_ != nullptr; }
    int width() const { return image_->width; }
    int height() const { return image_->height; }
    int rootX() const { return rootX_; }
    int rootY() const { return rootY_; }
    Rgb at(int x, int y) const {
        const unsigned long p = XGetPixel(image_, x, y);
        return {static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF),
                static_cast<int>(p & 0xFF)};
    }
    void savePpm(const char* path) const {
        if (FILE* f = std::fopen(path, "wb")) {
            std::fprintf(f, "P6\n%d %d\n255\n", width(), height());
            for (int y = 0; y < height(); ++y) {
                for (int x = 0; x < width(); ++x) {
                    const Rgb c = at(x, y);
                    const unsigned char px[3] = {static_cast<unsigned char>(c.r),
                                                 static_cast<unsigned char>(c.g),
                                                 static_cast<unsigned char>(c.b)};
                    std::fwrite(px, 1, 3, f);
                }
            }
            std::fclose(f);
        }
    }

private:
    XImage* image_ = nullptr;
    int rootX_ = 0, rootY_ = 0;
};

// The client area starts where the background's black frame line runs along the top: below the
// menu bar, at the window's left edge.
std::optional<int> clientTop(const Shot& shot) {
    for (int y = 0; y < shot.height(); ++y) {
        bool black = true;
        for (int x = 0; x < 30 && black; ++x) {
            black = shot.at(x, y) == Rgb{0, 0, 0};
        }
        if (black) {
            return y;
        }
    }
    return std::nullopt;
}

bool isGreyText(Rgb c) { return c.r == c.g && c.g == c.b && c.r > 40 && c.r < 230; }

int check(const Shot& shot, int top, float year, int month, float offset, const char* todayText) {
    const auto today = sutograf::dateFromText(todayText);
    const auto grid =
        today ? sutograf::Setka_Raschet(year, static_cast<float>(month), offset, *today) : std::nullopt;
    if (!grid) {
        std::fprintf(stderr, "no grid for %g-%d\n", static_cast<double>(year), month);
        return 2;
    }
    int faults = 0;
    for (const auto& cell : grid->cells) {
        const int left = kGridLeft + kCellPitch * (cell.k / 7);
        const int cellTop = top + kGridTop + kCellPitch * (cell.k % 7);
        bool seen[4] = {};
        bool grey = false;
        // Inside the border and clear of where today's frame lies.
        for (int y = cellTop + 4; y < cellTop + kCellSize - 4; ++y) {
            for (int x = left + 4; x < left + kCellSize - 4; ++x) {
                const Rgb c = shot.at(x, y);
                for (int w = 0; w < 4; ++w) {
                    seen[w] = seen[w] || c == kWatchColours[w];
                }
                grey = grey || isGreyText(c);
            }
        }
        std::string problem;
        if (cell.inMonth) {
            for (int w = 0; w < 4; ++w) {
                if (seen[w] != (w + 1 == cell.watch.value())) {
                    problem += seen[w] ? " shows the colour of watch " : " lacks the colour of watch ";
                    problem += std::to_string(w + 1);
                }
            }
        } else if (seen[0] || seen[1] || seen[2] || seen[3] || !grey) {
            problem = " is not grey";
        }
        const bool framed = shot.at(left + 1, cellTop + kCellSize / 2) == Rgb{255, 0, 0} &&
                            shot.at(left + kCellSize - 2, cellTop + kCellSize / 2) == Rgb{255, 0, 0};
        if (framed != cell.isToday) {
            problem +=
                cell.isToday ? " has no red frame though it is today" : " is framed though it is not today";
        }
        if (!problem.empty()) {
            std::printf("cell %d (%s)%s\n", cell.k, sutograf::shortDateText(cell.date).c_str(),
                        problem.c_str());
            ++faults;
        }
    }
    return faults == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s client WINDOW | check WINDOW YEAR MONTH OFFSET TODAY [SAVE.ppm]\n",
                     argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "no X display\n");
        return 2;
    }
    const Window window = std::strtoul(argv[2], nullptr, 0);
    const Shot shot(display, window);
    const auto top = shot.ok() ? clientTop(shot) : std::nullopt;
    int rc = 2;
    if (!top) {
        std::fprintf(stderr, "cannot see the main window's client area\n");
    } else if (std::strcmp(argv[1], "client") == 0) {
        std::printf("%d %d\n", shot.rootX(), shot.rootY() + *top);
        rc = 0;
    } else if (std::strcmp(argv[1], "check") == 0 && argc >= 7) {
        rc = check(shot, *top, std::strtof(argv[3], nullptr), std::atoi(argv[4]),
                   std::strtof(argv[5], nullptr), argv[6]);
        if (argc >= 8) {
            shot.savePpm(argv[7]);
        }
    }
    XCloseDisplay(display);
    return rc;
}
