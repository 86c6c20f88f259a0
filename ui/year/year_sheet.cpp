#include "year_sheet.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <vector>

#include "colours.h"
#include "day_marks.h"
#include "fonts.h"
#include "ics.h"
#include "legend.h"
#include "month_names.h"
#include "rota.h"

namespace sutograf {
namespace {

constexpr int kColumns = 4, kRows = 3; // months across and down
constexpr int kWeekRows = 6;           // a month spans at most six Monday-first weeks
// A month's block, in cells: seven days and a sixth of a cell of margin each side across; down, the
// month's name, the weekday names, six weeks and a gap.
constexpr double kBlockCells = 7.35;
constexpr double kTitleRows = 1.25, kHeaderRows = 0.8, kGapRows = 0.3;

const QColor kTodayRed(255, 0, 0);
const QColor kEdgeGrey(90, 90, 90);
const QColor kWeekdayBlue(0, 0, 255), kWeekendRed(255, 0, 0); // as the main window's weekday headers
const char* const kWeekdayShort[7] = {"Пн", "Вт", "Ср", "Чт", "Пт", "Сб", "Вс"};

QString utf8Text(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// A number on the fill of a duty day: black edged in white, or white, whichever reads better; the edge
// keeps it readable where a black and white printer turns the fill grey.
void drawNumberOnFill(QPainter& p, const QRectF& box, const QString& text, const QColor& fill) {
    const QColor colour = readableTextOn(fill);
    drawDayNumber(p, box, text, colour, Qt::white, colour == QColor(Qt::black) ? box.height() / 22 : 0);
}

// A number in a watch's colour on white; the yellow one edged in grey, so it does not vanish on
// paper or a pale screen.
void drawWatchNumber(QPainter& p, const QRectF& box, const QString& text, const QColor& colour) {
    drawDayNumber(p, box, text, colour, kEdgeGrey, isLightColour(colour) ? box.height() / 26 : 0);
}

// On a holiday the number is green; the watch on duty shows as a bar in its colour below it.
void paintWatchBar(QPainter& p, const QRectF& box, const QColor& colour) {
    const double h = std::max(2.0, box.height() / 9);
    const QRectF bar(box.center().x() - box.width() / 4, box.bottom() - h - box.height() / 14,
                     box.width() / 2, h);
    p.fillRect(bar, colour);
    p.setPen(QPen(isLightColour(colour) ? kEdgeGrey : Qt::white, 0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(bar);
}

void paintHoliday(QPainter& p, const QRectF& box, const QString& number, std::optional<int> watch) {
    paintHolidayGround(p, box);
    drawDayNumber(p, box, number, kHolidayGreen, Qt::white, box.height() / 20);
    if (watch) {
        paintWatchBar(p, box, watchColour(*watch));
    }
}

// A duty of the sheet's: the day filled with the watch's colour and boxed, so that it stands out in
// black and white too.
void paintDutyFill(QPainter& p, const QRectF& box, const QColor& fill, const QString& number) {
    p.fillRect(box, fill);
    p.setPen(QPen(Qt::black, std::max(1.0, (box.height() + 2) / 14)));
    p.setBrush(Qt::NoBrush);
    p.drawRect(box);
    drawNumberOnFill(p, box, number, fill);
}

// A duty taken from someone: a black corner at the bottom left, ringed in white like the other marks.
void paintTakenMark(QPainter& p, const QRectF& box) {
    const double mark = std::min(box.width(), box.height()) / 2.6;
    QPainterPath corner;
    corner.moveTo(box.bottomLeft());
    corner.lineTo(box.bottomLeft() + QPointF(mark, 0));
    corner.lineTo(box.bottomLeft() + QPointF(0, -mark));
    corner.closeSubpath();
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::white, mark / 5));
    p.setBrush(Qt::black);
    p.drawPath(corner);
    p.restore();
}

// Lines in exact colours (no anti-aliasing): what a screen shows is what a look at its pixels finds.
void paintCrossOut(QPainter& p, const QRectF& box) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(kGivenAwayCross, std::max(2.0, box.height() / 9), Qt::SolidLine, Qt::FlatCap));
    const QRectF r = box.adjusted(box.width() / 8, box.height() / 8, -box.width() / 8, -box.height() / 8);
    p.drawLine(r.topLeft(), r.bottomRight());
    p.drawLine(r.bottomLeft(), r.topRight());
    p.restore();
}

// Falling lines, the other way from a holiday's, on a pale ground; the code's letters over them, made
// smaller where two letters would not fit the cell.
void paintAbsence(QPainter& p, const QRectF& box, Absence kind) {
    p.save();
    p.fillRect(box, QColor(252, 243, 230));
    p.setClipRect(box, Qt::IntersectClip);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(kAbsenceHatch, std::max(1.0, box.height() / 16)));
    const double step = box.height() / 3.5;
    for (double x = box.left() - box.height(); x < box.right(); x += step) {
        p.drawLine(QPointF(x, box.top()), QPointF(x + box.height(), box.bottom()));
    }
    p.restore();
    const QString letters = utf8Text(absenceCode(kind));
    p.save();
    QFont font = p.font();
    const double wide = QFontMetricsF(font, p.device()).horizontalAdvance(letters);
    if (const double room = box.width() * 0.9; wide > room && font.pixelSize() > 0) {
        font.setPixelSize(std::max(1, static_cast<int>(font.pixelSize() * room / wide)));
        p.setFont(font);
    }
    drawDayNumber(p, box, letters, Qt::black, Qt::white, box.height() / 16);
    p.restore();
}

void paintTodayFrame(QPainter& p, const QRectF& cell) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kTodayRed, std::max(2.0, cell.height() / 8)));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(cell.adjusted(0.5, 0.5, -0.5, -0.5), cell.height() / 6, cell.height() / 6);
    p.restore();
}

} // namespace

struct YearSheet::Layout {
    QRectF area;
    double blockW, blockH; // one month
    double cellW, cellH;

    // Top-left of month m (0..11).
    QPointF blockOrigin(int m) const {
        return {area.left() + (m % kColumns) * blockW, area.top() + (m / kColumns) * blockH};
    }
    double left(int m, int column) const {
        return blockOrigin(m).x() + cellW * ((kBlockCells - 7) / 2 + column);
    }
    QRectF title(int m) const { return {blockOrigin(m), QSizeF(blockW, cellH * kTitleRows)}; }
    QRectF header(int m, int column) const {
        return {left(m, column), blockOrigin(m).y() + cellH * kTitleRows, cellW, cellH * kHeaderRows};
    }
    QRectF cell(int m, int week, int column) const { // week 0..5
        return {left(m, column), blockOrigin(m).y() + cellH * (kTitleRows + kHeaderRows + week), cellW,
                cellH};
    }
};

QColor readableTextOn(const QColor& fill) {
    const double l = relativeLuminance(fill);
    return (l + 0.05) / 0.05 >= 1.05 / (l + 0.05) ? QColor(Qt::black) : QColor(Qt::white);
}

YearSheet::YearSheet(int year, int watch, float offset, std::optional<Date> today,
                     const ProductionCalendar& calendar)
    : year_(year), watch_(watch), offset_(offset), today_(today), calendar_(&calendar),
      kinds_(calendar.yearKinds(year)) {}

YearSheet::YearSheet(int year, int watch, float offset, std::optional<Date> today,
                     const ProductionCalendar& calendar, std::vector<PersonDay> days)
    : YearSheet(year, watch, offset, today, calendar) {
    days_ = std::move(days);
    if (!days_.empty()) {
        days_.resize(static_cast<std::size_t>(kinds_.length)); // days past the list are off
    }
}

YearSheet::Layout YearSheet::layoutFor(const QRectF& area) const {
    Layout l;
    l.area = area;
    l.blockW = area.width() / kColumns;
    l.blockH = area.height() / kRows;
    l.cellW = l.blockW / kBlockCells;
    l.cellH = l.blockH / (kTitleRows + kHeaderRows + kWeekRows + kGapRows);
    return l;
}

void YearSheet::paintMonths(QPainter& p, const QRectF& area) const {
    const Layout l = layoutFor(area);
    const QFont titleFont = pixelSizedFont(l.cellH * 0.72, true);
    const QFont headerFont = pixelSizedFont(std::min(l.cellH * kHeaderRows * 0.7, l.cellW * 0.45), false);
    // Two digits in bold take about 1.1 of the type's size across.
    const QFont dayFont = pixelSizedFont(std::min(l.cellH * 0.62, l.cellW * 0.7), true);
    for (int m = 0; m < 12; ++m) {
        p.setFont(titleFont);
        p.setPen(Qt::black);
        p.drawText(l.title(m), Qt::AlignCenter | Qt::TextDontClip, monthName(m + 1));
        p.setFont(headerFont);
        for (int c = 0; c < 7; ++c) {
            p.setPen(c < 5 ? kWeekdayBlue : kWeekendRed);
            p.drawText(l.header(m, c), Qt::AlignCenter | Qt::TextDontClip,
                       QString::fromUtf8(kWeekdayShort[c]));
        }
        p.setFont(dayFont);
        const Date first = *dateOf(year_, m + 1, 1);
        const int lead = weekdayOf(first) - 1;
        const int days = daysInMonth(year_, m + 1);
        for (int i = 0; i < days; ++i) {
            const int slot = lead + i;
            paintDay(p, l.cell(m, slot / 7, slot % 7), Date{first.serial + i}, i + 1);
        }
    }
}

void YearSheet::paintDay(QPainter& p, const QRectF& cell, Date d, int dayOfMonth) const {
    const QRectF box = cell.adjusted(1, 1, -1, -1);
    const QString number = QString::number(dayOfMonth);
    if (isPersons()) {
        paintPersonsDay(p, box, d, number);
    } else if (const auto watch = watchOn(d, offset_); watch && *watch == watch_) {
        paintDutyFill(p, box, watchColour(*watch), number);
    } else {
        paintOffDay(p, box, d, number);
    }
    paintDayMark(p, box, kinds_.of(d), weekdayOf(d) >= 6);
    if (d == today_) {
        paintTodayFrame(p, cell);
    }
}

void YearSheet::paintOffDay(QPainter& p, const QRectF& box, Date d, const QString& number) const {
    const auto watch = watchOn(d, offset_);
    const DayKind kind = kinds_.of(d);
    if (kind == DayKind::Holiday) {
        paintHoliday(p, box, number, watch);
        return;
    }
    if (kind == DayKind::DayOff) {
        p.fillRect(box, kDayOffGround);
    }
    drawWatchNumber(p, box, number, watch ? watchColour(*watch) : QColor(Qt::black));
}

// A duty is theirs in the colour of the watch they belong to that day; one taken by someone outside
// every watch keeps the colour of the watch whose duty it is.
void YearSheet::paintPersonsDay(QPainter& p, const QRectF& box, Date d, const QString& number) const {
    const PersonDay& day = days_[static_cast<std::size_t>(d.serial - kinds_.jan1.serial)];
    const int watch = day.watch != 0 ? day.watch : watchOn(d, offset_).value_or(watch_);
    switch (day.status) {
    case DayStatus::Duty:
        paintDutyFill(p, box, watchColour(watch), number);
        break;
    case DayStatus::DutyTaken:
        paintDutyFill(p, box, watchColour(watch), number);
        paintTakenMark(p, box);
        break;
    case DayStatus::DutyGivenAway:
        paintOffDay(p, box, d, number);
        paintCrossOut(p, box);
        break;
    case DayStatus::Absent:
        paintAbsence(p, box, day.absence.value_or(Absence::Unexplained));
        break;
    case DayStatus::Off:
        paintOffDay(p, box, d, number);
        break;
    }
}

void YearSheet::paintLegend(QPainter& p, const QRectF& area, double fontSize) const {
    const auto dayWith = [](DayKind kind, bool weekend) {
        return [kind, weekend](QPainter& p, const QRectF& r) {
            if (kind == DayKind::DayOff) {
                p.fillRect(r, kDayOffGround);
            }
            p.setPen(QPen(Qt::gray, 0));
            p.setBrush(Qt::NoBrush);
            p.drawRect(r);
            paintDayMark(p, r, kind, weekend);
        };
    };
    // A holiday's sample shows a watch other than the chosen one, as a holiday off duty does.
    const int other = watch_ % 4 + 1;
    const auto dutySample = [this](QPainter& p, const QRectF& r) {
        p.fillRect(r, watchColour(watch_));
        p.setPen(QPen(Qt::black, std::max(1.0, r.height() / 14)));
        p.drawRect(r);
    };
    std::vector<LegendItem> items;
    if (isPersons()) {
        items = {
            {QStringLiteral("дежурство"), dutySample},
            {QStringLiteral("взято подменой"),
             [dutySample](QPainter& p, const QRectF& r) {
                 dutySample(p, r);
                 paintTakenMark(p, r);
             }},
            {QStringLiteral("отдано подменой"),
             [this](QPainter& p, const QRectF& r) {
                 p.setFont(pixelSizedFont(r.height() * 0.7, true));
                 drawWatchNumber(p, r, QStringLiteral("5"), watchColour(watch_));
                 paintCrossOut(p, r);
             }},
            {QStringLiteral("отсутствие, буквы — код табеля"),
             [](QPainter& p, const QRectF& r) {
                 p.setFont(pixelSizedFont(r.height() * 0.7, true));
                 paintAbsence(p, r, Absence::AnnualLeave);
             }},
        };
    } else {
        items.push_back({QStringLiteral("дежурство %1 караула").arg(watch_), dutySample});
    }
    items.insert(items.end(), {
                                  {QStringLiteral("число дня — цветом караула на дежурстве"),
                                   [](QPainter& p, const QRectF& r) {
                                       p.setFont(pixelSizedFont(r.height() * 0.8, true));
                                       for (int w = 1; w <= 4; ++w) {
                                           const QRectF box(r.left() + r.width() * (w - 1) / 4, r.top(),
                                                            r.width() / 4, r.height());
                                           drawWatchNumber(p, box, QString::number(w), watchColour(w));
                                       }
                                   },
                                   3.2},
                                  {QStringLiteral("праздник; полоска — цвет караула на дежурстве"),
                                   [other](QPainter& p, const QRectF& r) {
                                       p.setFont(pixelSizedFont(r.height() * 0.7, true));
                                       paintHoliday(p, r, QStringLiteral("8"), other);
                                       paintDayMark(p, r, DayKind::Holiday, false);
                                   }},
                                  {QStringLiteral("выходной по переносу"), dayWith(DayKind::DayOff, false)},
                                  {QStringLiteral("рабочий по переносу"), dayWith(DayKind::Workday, true)},
                                  {QStringLiteral("на час короче"), dayWith(DayKind::Short, false)},
                              });
    if (today_ && yearOf(*today_) == year_) {
        items.push_back(
            {QStringLiteral("сегодня"), [](QPainter& p, const QRectF& r) { paintTodayFrame(p, r); }});
    }
    sutograf::paintLegend(p, area, items, fontSize);
}

std::optional<Date> YearSheet::dateAt(const QRectF& area, QPointF pos) const {
    const Layout l = layoutFor(area);
    if (!area.contains(pos)) {
        return std::nullopt;
    }
    const int m = static_cast<int>((pos.y() - area.top()) / l.blockH) * kColumns +
                  static_cast<int>((pos.x() - area.left()) / l.blockW);
    if (m < 0 || m > 11) {
        return std::nullopt;
    }
    const double column = (pos.x() - l.left(m, 0)) / l.cellW;
    const double week = (pos.y() - l.cell(m, 0, 0).top()) / l.cellH;
    if (column < 0 || column >= 7 || week < 0 || week >= kWeekRows) {
        return std::nullopt;
    }
    const Date first = *dateOf(year_, m + 1, 1);
    const int i = static_cast<int>(week) * 7 + static_cast<int>(column) - (weekdayOf(first) - 1);
    if (i < 0 || i >= daysInMonth(year_, m + 1)) {
        return std::nullopt;
    }
    return Date{first.serial + i};
}

QString YearSheet::tooltipOf(Date d) const {
    QString tip = QString::fromStdString(shortDateText(d));
    if (const auto watch = watchOn(d, offset_)) {
        tip += QString::fromUtf8(TablitsaKaraulov[*watch - 1].suffix.data(),
                                 static_cast<qsizetype>(TablitsaKaraulov[*watch - 1].suffix.size()));
    }
    if (const std::string note = calendar_->noteOf(d); !note.empty()) {
        tip += QLatin1Char('\n') + QString::fromStdString(note);
    }
    if (isPersons() && kinds_.contains(d)) {
        const PersonDay& day = days_[static_cast<std::size_t>(d.serial - kinds_.jan1.serial)];
        switch (day.status) {
        case DayStatus::Duty:
            tip += QStringLiteral("\nдежурство");
            break;
        case DayStatus::DutyTaken:
            tip += QStringLiteral("\nдежурство, взятое подменой");
            break;
        case DayStatus::DutyGivenAway:
            tip += QStringLiteral("\nдежурство отдано подменой");
            break;
        case DayStatus::Absent: {
            const Absence kind = day.absence.value_or(Absence::Unexplained);
            tip += QStringLiteral("\n%1 (%2)").arg(utf8Text(absenceTitle(kind)), utf8Text(absenceCode(kind)));
            break;
        }
        case DayStatus::Off:
            break;
        }
    }
    return tip;
}

} // namespace sutograf
