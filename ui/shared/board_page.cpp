#include "board_page.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

#include "fonts.h"

namespace sutograf {
namespace {

constexpr double kUnitSize = 38, kTitleSize = 56;
constexpr double kApprovalSize = 38, kCaptionSize = kWritingCaptionSize;

// Text in the rectangle's width, wrapped at spaces; answers its height.
double paintWrapped(QPainter& p, const QRectF& area, const QFont& font, const QString& text) {
    p.setFont(font);
    const QRectF used =
        QFontMetricsF(font).boundingRect(area, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text);
    p.drawText(QRectF(area.topLeft(), QSizeF(area.width(), used.height())),
               Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap | Qt::TextDontClip, text);
    return used.height();
}

} // namespace

void paintWritingLine(QPainter& p, double x1, double x2, double y, const QString& caption) {
    p.setPen(QPen(Qt::black, 3));
    p.drawLine(QPointF(x1, y), QPointF(x2, y));
    p.setFont(boardFont(kCaptionSize));
    p.drawText(QRectF(x1, y + 4, x2 - x1, kCaptionSize * 1.3),
               Qt::AlignHCenter | Qt::AlignTop | Qt::TextDontClip, caption);
}

QFont boardFont(double size, bool bold) {
    QFont font = pixelSizedFont(size, bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

double boardTextWidth(const QFont& font, const QString& text) {
    return QFontMetricsF(font).horizontalAdvance(text);
}

double paintBoardTitle(QPainter& p, const QRectF& area, const QString& unit, const QString& title) {
    p.setPen(Qt::black);
    double y = area.top();
    if (!unit.trimmed().isEmpty()) {
        y += paintWrapped(p, QRectF(area.left(), y, area.width(), 0), boardFont(kUnitSize), unit.trimmed());
        y += kUnitSize * 0.3;
    }
    y += paintWrapped(p, QRectF(area.left(), y, area.width(), 0), boardFont(kTitleSize, true), title);
    return y - area.top();
}

double paintApprovalBlock(QPainter& p, const QRectF& area) {
    const double left = area.right() - kApprovalWidth, right = area.right();
    double y = area.top();
    p.setPen(Qt::black);
    p.setFont(boardFont(kApprovalSize, true));
    p.drawText(QRectF(left, y, kApprovalWidth, kApprovalSize * 1.4),
               Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, QStringLiteral("УТВЕРЖДАЮ"));
    y += kApprovalSize * 1.4 + 70;
    paintWritingLine(p, left, right, y, QStringLiteral("(должность)"));
    y += kCaptionSize * 1.4 + 75;
    const double split = left + kApprovalWidth * 0.38;
    paintWritingLine(p, left, split - 30, y, QStringLiteral("(подпись)"));
    paintWritingLine(p, split, right, y, QStringLiteral("(инициалы, фамилия)"));
    y += kCaptionSize * 1.4 + 30;
    p.setFont(boardFont(kApprovalSize));
    p.drawText(QRectF(left, y, kApprovalWidth, kApprovalSize * 1.4),
               Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip,
               QStringLiteral("«____» ________________ 20____ г."));
    return y + kApprovalSize * 1.4 - area.top();
}

std::optional<QByteArray> boardPagePdf(const QString& title, const PagePainter& paint) {
    return boardPagesPdf(title, 1, [&paint](QPainter& p, const QRectF& page, int) { paint(p, page); });
}

bool printBoardPage(QPrinter& printer, const PagePainter& paint) {
    return printBoardPages(printer, 1, [&paint](QPainter& p, const QRectF& page, int) { paint(p, page); });
}

std::optional<QByteArray> boardPagesPdf(const QString& title, int pages, const PagesPainter& paint) {
    QBuffer buffer;
    if (!buffer.open(QIODevice::WriteOnly)) {
        return std::nullopt;
    }
    {
        QPdfWriter writer(&buffer);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF()));
        writer.setResolution(600);
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("Сутограф"));
        QPainter p(&writer);
        if (!p.isActive()) {
            return std::nullopt;
        }
        for (int i = 0; i < std::max(1, pages); ++i) {
            if (i > 0 && !writer.newPage()) {
                return std::nullopt;
            }
            p.setWindow(boardPage().toRect());
            p.fillRect(boardPage(), Qt::white);
            paint(p, boardPage(), i);
        }
    }
    return buffer.data();
}

bool printBoardPages(QPrinter& printer, int pages, const PagesPainter& paint) {
    printer.setFullPage(true); // the page brings its own margins
    QPainter p(&printer);
    if (!p.isActive()) {
        return false;
    }
    const QRect paper = printer.pageLayout().fullRectPixels(printer.resolution());
    const double scale = std::min(paper.width() / kBoardPageWidth, paper.height() / kBoardPageHeight);
    for (int i = 0; i < std::max(1, pages); ++i) {
        if (i > 0 && !printer.newPage()) {
            return false;
        }
        p.setViewport(QRect(QPoint(), (boardPage().size() * scale).toSize()));
        p.setWindow(boardPage().toRect());
        paint(p, boardPage(), i);
    }
    return true;
}

} // namespace sutograf
