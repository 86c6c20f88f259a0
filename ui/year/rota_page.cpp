#include "rota_page.h"

#include <QPainter>

#include <algorithm>
#include <vector>

#include "board_page.h"
#include "colours.h"
#include "day_marks.h"
#include "legend.h"
#include "month_names.h"
#include "production_calendar.h"
#include "rota.h"

namespace sutograf {
namespace {

// Sizes in tenths of a millimetre.
constexpr double kLabelType = 36, kHeaderType = 32, kWeekdayType = 24, kLegendType = 42;
constexpr double kHeaderRow = 70;   // the row of the days' numbers
constexpr double kLegendRows = 140; // two rows of the legend's type
constexpr double kGap = 45;
constexpr double kGridLine = 2.5, kFrameLine = 6;

const char* const kWeekdays[7] = {"пн", "вт", "ср", "чт", "пт", "сб", "вс"};
const QColor kNoDay(205, 205, 205); // 30 February and the like

// A watch's colour mixed with white: a ground the watch's black number reads on, in colour and in grey.
QColor groundOf(int watch) {
    const QColor c = watchColour(watch);
    const auto mix = [](int v) { return (v * 2 + 255 * 3) / 5; };
    return QColor(mix(c.red()), mix(c.green()), mix(c.blue()));
}

// A holiday's watch, as in the year window: a bar in its colour below the number.
void paintWatchBar(QPainter& p, const QRectF& box, int watch) {
    const double h = box.height() / 9;
    const QRectF bar(box.center().x() - box.width() * 0.3, box.bottom() - h * 1.6, box.width() * 0.6, h);
    p.fillRect(bar, watchColour(watch));
    p.setPen(QPen(Qt::black, 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(bar);
}

// One day's cell: ground, weekday, the watch's number and the marks of its kind.
void paintDay(QPainter& p, const QRectF& cell, Date d, float offset, DayKind kind) {
    const auto watch = watchOn(d, offset);
    const bool weekend = weekdayOf(d) >= 6;
    if (kind == DayKind::Holiday) {
        paintHolidayGround(p, cell);
    } else if (watch) {
        p.fillRect(cell, groundOf(*watch));
    }
    p.setFont(boardFont(kWeekdayType, weekend));
    p.setPen(weekend ? QColor(Qt::black) : QColor(70, 70, 70));
    p.drawText(cell.adjusted(cell.width() * 0.1, cell.height() * 0.03, 0, 0),
               Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip,
               QString::fromUtf8(kWeekdays[weekdayOf(d) - 1]));
    if (watch) {
        p.setFont(boardFont(std::min(cell.height() * 0.5, cell.width() * 0.75), true));
        const QRectF number = cell.adjusted(0, cell.height() * 0.16, 0, -cell.height() * 0.06);
        drawDayNumber(p, number, QString::number(*watch), Qt::black, Qt::white,
                      kind == DayKind::Holiday ? cell.height() / 30 : 0);
        if (kind == DayKind::Holiday) {
            paintWatchBar(p, cell, *watch);
        }
    }
    paintDayMark(p, cell.adjusted(kGridLine, kGridLine, -kGridLine, -kGridLine), kind, weekend);
}

std::vector<LegendItem> legendItems() {
    std::vector<LegendItem> items;
    for (int w = 1; w <= 4; ++w) {
        items.push_back({QStringLiteral("%1 караул").arg(w), [w](QPainter& p, const QRectF& r) {
                             p.fillRect(r, groundOf(w));
                             p.setFont(boardFont(r.height() * 0.8, true));
                             drawDayNumber(p, r, QString::number(w), Qt::black);
                             p.setPen(QPen(Qt::black, kGridLine));
                             p.drawRect(r);
                         }});
    }
    const auto kindSample = [](DayKind kind, bool weekend) {
        return [kind, weekend](QPainter& p, const QRectF& r) {
            p.fillRect(r, Qt::white);
            if (kind == DayKind::Holiday) {
                paintHolidayGround(p, r);
                paintWatchBar(p, r, 2);
            }
            paintDayMark(p, r, kind, weekend);
            p.setPen(QPen(Qt::black, kGridLine));
            p.setBrush(Qt::NoBrush);
            p.drawRect(r);
        };
    };
    items.push_back({QStringLiteral("праздник; полоска — цвет караула на дежурстве"),
                     kindSample(DayKind::Holiday, false)});
    items.push_back({QStringLiteral("выходной по переносу"), kindSample(DayKind::DayOff, false)});
    items.push_back({QStringLiteral("рабочий по переносу"), kindSample(DayKind::Workday, true)});
    items.push_back({QStringLiteral("на час короче"), kindSample(DayKind::Short, false)});
    return items;
}

} // namespace

QString rotaPageTitle(int year) { return QStringLiteral("График дежурств караулов на %1 год").arg(year); }

void paintRotaPage(QPainter& p, const QRectF& page, const RotaPage& content) {
    const QRectF inner = page.adjusted(kBoardMargin, kBoardMargin, -kBoardMargin, -kBoardMargin);
    const double approvalH = paintApprovalBlock(p, inner);
    const double titleH = paintBoardTitle(
        p, QRectF(inner.left(), inner.top(), inner.width() - kApprovalWidth - kGap, inner.height()),
        content.unit, rotaPageTitle(content.year));
    const QRectF legend(inner.left(), inner.bottom() - kLegendRows, inner.width(), kLegendRows);
    const QRectF table(inner.left(), inner.top() + std::max(approvalH, titleH) + kGap, inner.width(),
                       legend.top() - kGap - (inner.top() + std::max(approvalH, titleH) + kGap));

    const QFont labelFont = boardFont(kLabelType, true);
    double labelW = 0;
    for (int m = 1; m <= 12; ++m) {
        labelW = std::max(labelW, boardTextWidth(labelFont, monthName(m)));
    }
    labelW += kLabelType;
    const double columnW = (table.width() - labelW) / 31;
    const double rowH = (table.height() - kHeaderRow) / 12;
    const auto column = [&](int day) { return table.left() + labelW + (day - 1) * columnW; };
    const auto row = [&](int month) { return table.top() + kHeaderRow + (month - 1) * rowH; };

    p.setPen(Qt::black);
    p.setFont(boardFont(kHeaderType, true));
    for (int day = 1; day <= 31; ++day) {
        p.drawText(QRectF(column(day), table.top(), columnW, kHeaderRow), Qt::AlignCenter | Qt::TextDontClip,
                   QString::number(day));
    }
    const YearKinds kinds = content.calendar->yearKinds(content.year);
    for (int m = 1; m <= 12; ++m) {
        p.setFont(labelFont);
        p.setPen(Qt::black);
        p.drawText(QRectF(table.left() + kLabelType / 2, row(m), labelW - kLabelType / 2, rowH),
                   Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip, monthName(m));
        const Date first = *dateOf(content.year, m, 1);
        const int days = daysInMonth(content.year, m);
        for (int day = 1; day <= 31; ++day) {
            const QRectF cell(column(day), row(m), columnW, rowH);
            if (day > days) {
                p.fillRect(cell, kNoDay);
                continue;
            }
            const Date d{first.serial + day - 1};
            paintDay(p, cell, d, content.offset, kinds.of(d));
        }
    }
    p.setPen(QPen(Qt::black, kGridLine));
    for (int day = 1; day <= 31; ++day) {
        p.drawLine(QPointF(column(day), table.top()), QPointF(column(day), table.bottom()));
    }
    for (int m = 1; m <= 12; ++m) {
        p.drawLine(QPointF(table.left(), row(m)), QPointF(table.right(), row(m)));
    }
    p.setPen(QPen(Qt::black, kFrameLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(table);

    paintLegend(p, legend, legendItems(), kLegendType);
}

std::optional<QByteArray> rotaPagePdf(const RotaPage& content) {
    return boardPagePdf(rotaPageTitle(content.year),
                        [&](QPainter& p, const QRectF& page) { paintRotaPage(p, page, content); });
}

bool printRotaPage(QPrinter& printer, const RotaPage& content) {
    return printBoardPage(printer, [&](QPainter& p, const QRectF& page) { paintRotaPage(p, page, content); });
}

} // namespace sutograf
