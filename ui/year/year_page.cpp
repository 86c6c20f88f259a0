#include "year_page.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

#include <vector>

#include "fonts.h"
#include "year_hours_model.h"

namespace sutograf {
namespace {

constexpr double kMargin = 36;

// The table as on screen, each column as wide as its widest text; when the whole is wider than the
// area, the type is made smaller rather than the text cut.
void paintHoursTable(QPainter& p, const QRectF& area, const YearHoursModel& model) {
    const int rows = model.rowCount(), columns = model.columnCount();
    const double rowH = area.height() / (rows + 1);
    const auto textOf = [&model](int r, int c) {
        if (r < 0) {
            return c < 0 ? QString() : YearHoursModel::columnName(c);
        }
        return c < 0 ? YearHoursModel::rowName(r) : model.text(r, c);
    };
    const double padding = rowH * 0.3;
    std::vector<double> widths(static_cast<std::size_t>(columns + 1), 0.0);
    const QFontMetricsF metrics(pixelSizedFont(rowH * 0.55, true));
    for (int r = -1; r < rows; ++r) {
        for (int c = -1; c < columns; ++c) {
            double& w = widths[static_cast<std::size_t>(c + 1)];
            w = std::max(w, metrics.horizontalAdvance(textOf(r, c)));
        }
    }
    double total = 0;
    for (const double w : widths) {
        total += w + 2 * padding;
    }
    const double scale = std::min(1.0, area.width() / total);
    const QFont plain = pixelSizedFont(rowH * 0.55 * scale), bold = pixelSizedFont(rowH * 0.55 * scale, true);
    p.setBrush(Qt::NoBrush);
    for (int r = -1; r < rows; ++r) {
        const bool emphasised = r < 0 || r >= static_cast<int>(kFirstQuarterRow);
        const double y = area.top() + (r + 1) * rowH;
        if (emphasised) {
            p.fillRect(QRectF(area.left(), y, total * scale, rowH), QColor(235, 235, 235));
        }
        p.setFont(emphasised ? bold : plain);
        double x = area.left();
        for (int c = -1; c < columns; ++c) {
            const QRectF cell(x, y, (widths[static_cast<std::size_t>(c + 1)] + 2 * padding) * scale, rowH);
            const bool over = r >= 0 && c == YearHoursModel::Balance && model.isOver(r);
            p.setPen(over ? QColor(220, 0, 0) : QColor(Qt::black));
            const Qt::Alignment align = r < 0 ? Qt::AlignCenter : (c < 0 ? Qt::AlignLeft : Qt::AlignRight);
            p.drawText(cell.adjusted(padding * scale, 0, -padding * scale, 0), align | Qt::AlignVCenter,
                       textOf(r, c));
            p.setPen(QPen(Qt::black, 0.8));
            p.drawRect(cell);
            x += cell.width();
        }
    }
}

} // namespace

void paintYearPage(QPainter& p, const QRectF& page, const YearPage& content) {
    const QRectF inner = page.adjusted(kMargin, kMargin, -kMargin, -kMargin);
    p.fillRect(page, Qt::white);
    p.setPen(Qt::black);
    p.setFont(pixelSizedFont(22, true));
    p.drawText(QRectF(inner.left(), inner.top(), inner.width(), 32), Qt::AlignLeft | Qt::AlignVCenter,
               content.title);
    const QRectF months(inner.left(), inner.top() + 44, inner.width() * 0.6, inner.height() - 44 - 34);
    content.sheet.paintMonths(p, months);
    content.sheet.paintLegend(p, QRectF(months.left(), months.bottom() + 8, months.width(), 20));
    const double tableLeft = months.right() + 18;
    const QRectF table(tableLeft, months.top(), inner.right() - tableLeft, 18 * 22.0);
    paintHoursTable(p, table, *content.hours);
    p.setFont(pixelSizedFont(10));
    p.setPen(QColor(60, 60, 60));
    p.drawText(QRectF(table.left(), table.bottom() + 12, table.width(), inner.bottom() - table.bottom() - 12),
               Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
               content.rules + QLatin1Char('\n') + content.source);
}

std::optional<QByteArray> yearPagePdf(const YearPage& content) {
    QBuffer buffer;
    if (!buffer.open(QIODevice::WriteOnly)) {
        return std::nullopt;
    }
    {
        QPdfWriter writer(&buffer);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF()));
        writer.setResolution(300);
        writer.setTitle(content.title);
        writer.setCreator(QStringLiteral("Сутограф"));
        QPainter p(&writer);
        if (!p.isActive()) {
            return std::nullopt;
        }
        p.setWindow(QRect(QPoint(), kPageSize.toSize()));
        paintYearPage(p, QRectF(QPointF(), kPageSize), content);
    }
    return buffer.data();
}

bool printYearPage(QPrinter& printer, const YearPage& content) {
    printer.setFullPage(true); // the page brings its own margins
    QPainter p(&printer);
    if (!p.isActive()) {
        return false;
    }
    const QRect paper = printer.pageLayout().fullRectPixels(printer.resolution());
    const double scale = std::min(paper.width() / kPageSize.width(), paper.height() / kPageSize.height());
    p.setViewport(QRect(QPoint(), (kPageSize * scale).toSize()));
    p.setWindow(QRect(QPoint(), kPageSize.toSize()));
    paintYearPage(p, QRectF(QPointF(), kPageSize), content);
    return true;
}

} // namespace sutograf
