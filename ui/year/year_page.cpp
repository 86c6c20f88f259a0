#include "year_page.h"

#include <QPainter>

#include <algorithm>
#include <vector>

#include "board_page.h"
#include "year_hours_model.h"

namespace sutograf {
namespace {

// Sizes in tenths of a millimetre.
constexpr double kTableType = 28, kNoteType = 26, kLegendType = 38;
constexpr double kRowHeight = 1.8;   // in sizes of the table's type
constexpr double kCellPadding = 0.5; // each side of a cell's text, in sizes of type
constexpr double kGap = 45;

// Each column as wide as its widest text in bold (bold is the wider) and its padding, at type size.
std::vector<double> columnWidths(const YearHoursModel& model, double size) {
    const QFont bold = boardFont(size, true);
    std::vector<double> widths(static_cast<std::size_t>(model.columnCount() + 1), 0.0);
    for (int r = -1; r < model.rowCount(); ++r) {
        for (int c = -1; c < model.columnCount(); ++c) {
            const QString text = r < 0 ? (c < 0 ? QString() : model.columnName(c))
                                       : (c < 0 ? YearHoursModel::rowName(r) : model.text(r, c));
            double& w = widths[static_cast<std::size_t>(c + 1)];
            w = std::max(w, boardTextWidth(bold, text) + 2 * kCellPadding * size);
        }
    }
    return widths;
}

double sum(const std::vector<double>& v) {
    double total = 0;
    for (const double x : v) {
        total += x;
    }
    return total;
}

// The table as on screen: the months, the quarters and the year (in bold on grey) against the
// columns; an accounting period's balance that holds overtime in red, and with its plus sign, so black
// and white still says so.
// Answers its height.
double paintHoursTable(QPainter& p, QPointF at, const YearHoursModel& model, double size,
                       const std::vector<double>& widths) {
    const int rows = model.rowCount(), columns = model.columnCount();
    const double rowH = kRowHeight * size, padding = kCellPadding * size;
    const QFont plain = boardFont(size), bold = boardFont(size, true);
    p.setBrush(Qt::NoBrush);
    for (int r = -1; r < rows; ++r) {
        const bool emphasised = r < 0 || r >= static_cast<int>(kFirstQuarterRow);
        const double y = at.y() + (r + 1) * rowH;
        if (emphasised) {
            p.fillRect(QRectF(at.x(), y, sum(widths), rowH), QColor(235, 235, 235));
        }
        p.setFont(emphasised ? bold : plain);
        double x = at.x();
        for (int c = -1; c < columns; ++c) {
            const QRectF cell(x, y, widths[static_cast<std::size_t>(c + 1)], rowH);
            const bool over = r >= 0 && c >= 0 && model.isOver(r) &&
                              (model.columnKind(c) == YearHoursModel::PeriodBalance ||
                               model.columnKind(c) == YearHoursModel::Overtime);
            const QString text = r < 0 ? (c < 0 ? QString() : model.columnName(c))
                                       : (c < 0 ? YearHoursModel::rowName(r) : model.text(r, c));
            p.setPen(over ? QColor(200, 0, 0) : QColor(Qt::black));
            const Qt::Alignment align = r < 0 ? Qt::AlignHCenter : (c < 0 ? Qt::AlignLeft : Qt::AlignRight);
            p.drawText(cell.adjusted(padding, 0, -padding, 0), align | Qt::AlignVCenter | Qt::TextDontClip,
                       text);
            p.setPen(QPen(Qt::black, 2.5));
            p.drawRect(cell);
            x += cell.width();
        }
    }
    return (rows + 1) * rowH;
}

} // namespace

void paintYearPage(QPainter& p, const QRectF& page, const YearPage& content) {
    const QRectF inner = page.adjusted(kBoardMargin, kBoardMargin, -kBoardMargin, -kBoardMargin);
    // The table at its type, or smaller where it would take more than a third of the page's width.
    double size = kTableType;
    std::vector<double> widths = columnWidths(*content.hours, size);
    if (const double limit = inner.width() / 3; sum(widths) > limit) {
        size *= limit / sum(widths);
        widths = columnWidths(*content.hours, size);
    }
    const double rightW = std::max(kApprovalWidth, sum(widths));
    const QRectF right(inner.right() - rightW, inner.top(), rightW, inner.height());
    const QRectF left(inner.left(), inner.top(), right.left() - kGap - inner.left(), inner.height());

    const double titleH = paintBoardTitle(p, left, content.unit, content.title);
    content.sheet.paintMonths(p, left.adjusted(0, titleH + kGap, 0, 0));

    double y = right.top() + paintApprovalBlock(p, right) + kGap;
    y += paintHoursTable(p, QPointF(right.right() - sum(widths), y), *content.hours, size, widths) + kGap / 2;
    p.setFont(boardFont(kNoteType));
    p.setPen(QColor(60, 60, 60));
    const QString notes = content.rules + QLatin1Char('\n') + content.source;
    const QRectF noteArea(right.left(), y, right.width(), right.bottom() - y);
    const QRectF used = p.boundingRect(noteArea, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, notes);
    p.drawText(noteArea, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap | Qt::TextDontClip, notes);
    y += used.height() + kGap;
    content.sheet.paintLegend(p, QRectF(right.left(), y, right.width(), right.bottom() - y), kLegendType);
}

std::optional<QByteArray> yearPagePdf(const YearPage& content) {
    return boardPagePdf(content.title,
                        [&](QPainter& p, const QRectF& page) { paintYearPage(p, page, content); });
}

bool printYearPage(QPrinter& printer, const YearPage& content) {
    return printBoardPage(printer, [&](QPainter& p, const QRectF& page) { paintYearPage(p, page, content); });
}

} // namespace sutograf
