#include "background.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace sutograf {
namespace {

constexpr int kWidth = 440;
constexpr int kHeight = 349;

struct Stop {
    int x;
    int r, g, b;
};

// The gradient is not linear in RGB: at column 242, the last one a 243-pixel client area shows, it
// has already reached 202, 236, 254 (a straight blend would give 163, 232, 254 there). That colour is
// kept as a middle stop so the visible part looks as it always has.
constexpr std::array<Stop, 3> kStops = {
    {{0, 51, 204, 254}, {242, 202, 236, 254}, {kWidth - 1, 254, 254, 254}}};

QRgb gradientAt(int x) {
    std::size_t i = 1;
    while (i + 1 < kStops.size() && x > kStops[i].x) {
        ++i;
    }
    const Stop& a = kStops[i - 1];
    const Stop& b = kStops[i];
    const auto mix = [&](int from, int to) {
        return from + ((to - from) * (x - a.x) + (b.x - a.x) / 2) / (b.x - a.x);
    };
    return qRgb(mix(a.r, b.r), mix(a.g, b.g), mix(a.b, b.b));
}

} // namespace

QImage backgroundPicture(QSize shown) {
    const int width = std::min(kWidth, shown.width());
    const int height = std::min(kHeight, shown.height());
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::black); // the frame
    if (width < 2 || height < 2) {
        return image;
    }
    // Inside the frame: columns 1 to kWidth - 2 and rows 1 to kHeight - 2, as far as they are shown.
    const int gradientEnd = std::min(width, kWidth - 1);
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(1));
    for (int x = 1; x < gradientEnd; ++x) {
        row[x] = gradientAt(x);
    }
    for (int y = 2; y < std::min(height, kHeight - 1); ++y) {
        std::memcpy(image.scanLine(y) + sizeof(QRgb), row + 1, (gradientEnd - 1) * sizeof(QRgb));
    }
    return image;
}

} // namespace sutograf
