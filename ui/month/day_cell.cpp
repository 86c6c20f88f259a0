#include "day_cell.h"

#include <QCoreApplication>
#include <QHash>
#include <QPainter>
#include <QPixmap>

#include "colours.h"
#include "fonts.h"
#include "rota.h"

namespace sutograf {
namespace {

const QColor kCellBackground(0, 255, 255); // cyan, 0xFFFF00

// A caption of up to two characters (every day number is one) in a colour.
struct LookKey {
    QRgb colour;
    qsizetype size;
    char16_t first, second;
    bool operator==(const LookKey&) const = default;
};
size_t qHash(const LookKey& k, size_t seed) { return qHashMulti(seed, k.colour, k.size, k.first, k.second); }

// Finished cells, drawn once for each caption and colour and from then on only copied: a rebuild
// changes nearly every cell, there are only 31 day numbers in a few colours, and copying a cell
// costs a fraction of drawing its number. Valid for one size, font and pixel ratio, which all
// cells share; a cell that differs starts the collection anew. Emptied as the application ends,
// so that no pixmap outlives it.
struct Looks {
    QSize size;
    qreal pixelRatio = 0;
    QFont font;
    QHash<LookKey, QPixmap> pixmaps;
};
Looks* looks = nullptr;

Looks& looksFor(const QSize& size, qreal pixelRatio, const QFont& font) {
    if (looks == nullptr) {
        looks = new Looks;
        qAddPostRoutine([] {
            delete looks;
            looks = nullptr;
        });
    }
    if (looks->size != size || looks->pixelRatio != pixelRatio || looks->font != font) {
        *looks = Looks{size, pixelRatio, font, {}};
    }
    return *looks;
}

} // namespace

DayCell::DayCell(QWidget* parent) : QWidget(parent), caption_(QStringLiteral("1")), foreColor_(kWindowText) {
    setFont(layoutFont("Arial", 8.25, true));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void DayCell::setCaption(const QString& caption) {
    if (caption != caption_) {
        caption_ = caption;
        update();
    }
}

void DayCell::setForeColor(std::uint32_t value) {
    if (value != foreColor_) {
        foreColor_ = value;
        update();
    }
}

void DayCell::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QColor colour = layoutColour(foreColor_, palette());
    if (caption_.size() > 2) {
        drawLook(p, colour);
        return;
    }
    const auto at = [this](qsizetype i) { return i < caption_.size() ? caption_[i].unicode() : u'\0'; };
    const LookKey key{colour.rgba(), caption_.size(), at(0), at(1)};
    Looks& cache = looksFor(size(), devicePixelRatioF(), font());
    auto look = cache.pixmaps.find(key);
    if (look == cache.pixmaps.end()) {
        QPixmap pixmap(size() * devicePixelRatioF());
        pixmap.setDevicePixelRatio(devicePixelRatioF());
        QPainter onPixmap(&pixmap);
        onPixmap.setFont(font());
        drawLook(onPixmap, colour);
        look = cache.pixmaps.insert(key, pixmap);
    }
    p.drawPixmap(0, 0, *look);
}

void DayCell::drawLook(QPainter& p, const QColor& colour) const {
    p.fillRect(rect(), kCellBackground);
    p.setPen(Qt::black);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    p.setPen(colour);
    // Centred across, at the top like any single-line label caption.
    p.drawText(rect().adjusted(1, 1, -1, -1), Qt::AlignHCenter | Qt::AlignTop, caption_);
}

} // namespace sutograf
