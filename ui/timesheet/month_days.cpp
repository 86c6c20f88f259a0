#include "month_days.h"

#include <QPainter>

#include <algorithm>

#include "colours.h"
#include "day_marks.h"
#include "fonts.h"
#include "rota.h"

namespace sutograf {
namespace {

const char* const kWeekdayShort[7] = {"пн", "вт", "ср", "чт", "пт", "сб", "вс"};
const char* const kWeekdayLong[7] = {"понедельник", "вторник", "среда",      "четверг",
                                     "пятница",     "суббота", "воскресенье"};
const QColor kTodayRed(255, 0, 0);
const QColor kWeekendRed(200, 0, 0);

// Black or white, whichever reads better on the fill (WCAG contrast).
QColor readableOn(const QColor& fill) {
    const double l = relativeLuminance(fill);
    return (l + 0.05) / 0.05 >= 1.05 / (l + 0.05) ? QColor(Qt::black) : QColor(Qt::white);
}

} // namespace

std::vector<MonthDay> monthDays(int year, int month, float offset, const ProductionCalendar& calendar,
                                std::optional<Date> today) {
    const YearKinds kinds = calendar.yearKinds(year);
    const Date first = *dateOf(year, month, 1);
    std::vector<MonthDay> days;
    for (int i = 0; i < daysInMonth(year, month); ++i) {
        const Date d{first.serial + i};
        days.push_back({d, kinds.of(d), weekdayOf(d) >= 6, watchOn(d, offset), today == d});
    }
    return days;
}

QString monthDayTooltip(const MonthDay& d, const ProductionCalendar& calendar) {
    QString tip = QStringLiteral("%1, %2").arg(QString::fromStdString(shortDateText(d.date)),
                                               QString::fromUtf8(kWeekdayLong[weekdayOf(d.date) - 1]));
    if (d.onDuty) {
        tip += QStringLiteral(", дежурит %1 караул").arg(*d.onDuty);
    }
    if (const std::string note = calendar.noteOf(d.date); !note.empty()) {
        tip += QLatin1Char('\n') + QString::fromStdString(note);
    }
    return tip;
}

void paintDayHeading(QPainter& p, const QRectF& cell, const MonthDay& d, int watch) {
    p.save();
    const QRectF box = cell.adjusted(1, 1, -1, -1);
    const QRectF numberBox(box.left(), box.top(), box.width(), box.height() * 0.62);
    const QRectF weekdayBox(box.left(), numberBox.bottom(), box.width(), box.height() - numberBox.height());
    const QString number = QString::number(dayOf(d.date));
    p.setFont(pixelSizedFont(numberBox.height() * 0.72, true));
    const bool ours = d.onDuty == watch;
    QColor weekdayColour = d.weekend ? kWeekendRed : QColor(Qt::black);
    if (ours) {
        // The number on the watch's fill; the weekday below it on white, where small type stays readable
        // when a grey print darkens the fill.
        const QColor fill = watchColour(watch);
        p.fillRect(numberBox, fill);
        p.setPen(QPen(Qt::black, std::max(1.0, box.height() / 24)));
        p.setBrush(Qt::NoBrush);
        p.drawRect(box);
        const QColor ink = readableOn(fill);
        drawDayNumber(p, numberBox, number, ink, Qt::white,
                      ink == QColor(Qt::black) ? numberBox.height() / 22 : 0);
    } else if (d.kind == DayKind::Holiday) {
        paintHolidayGround(p, numberBox);
        drawDayNumber(p, numberBox, number, kHolidayGreen, Qt::white, numberBox.height() / 20);
        if (d.onDuty) {
            const double h = std::max(2.0, box.height() / 12);
            p.fillRect(QRectF(box.center().x() - box.width() / 4, numberBox.bottom() - h, box.width() / 2, h),
                       watchColour(*d.onDuty));
        }
        weekdayColour = Qt::black;
    } else {
        if (d.kind == DayKind::DayOff) {
            p.fillRect(numberBox, kDayOffGround);
        }
        drawDayNumber(p, numberBox, number, d.weekend ? kWeekendRed : QColor(Qt::black));
    }
    p.setFont(pixelSizedFont(weekdayBox.height() * 0.75, false));
    drawDayNumber(p, weekdayBox, QString::fromUtf8(kWeekdayShort[weekdayOf(d.date) - 1]), weekdayColour);
    paintDayMark(p, box, d.kind, d.weekend);
    if (d.today) {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(kTodayRed, std::max(2.0, box.width() / 10)));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(cell.adjusted(1.5, 1.5, -1.5, -1.5), box.width() / 6, box.width() / 6);
    }
    p.restore();
}

} // namespace sutograf
