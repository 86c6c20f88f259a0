#include "timesheet_page.h"

#include <QFontMetricsF>
#include <QPainter>

#include <array>
#include <cmath>

#include "board_page.h"
#include "timesheet_model.h"

namespace sutograf {
namespace {

// Tenths of a millimetre, as boardPage().
constexpr double kNumberW = 60, kNameW = 420;
constexpr std::array<double, TimesheetModel::kTotals> kTotalW = {85, 100, 95, 95, 190, 100, 105, 125, 105};
constexpr int kBandDays = 16;                    // a band's columns: days 1-15 and a crossed one, or 16-31
constexpr double kLine = 34, kBlock = 4 * kLine; // a person: the codes and the hours of two bands
constexpr double kTitleBlock = 185;
constexpr double kCaptionRow = 80, kDayRow = 60, kHeading = kCaptionRow + 2 * kDayRow;
constexpr double kUnitSize = 34, kTitleSize = 50, kSubtitleSize = 32;
constexpr double kCellSize = 24, kSmallSize = 21, kTotalSize = 27, kNoteSize = 21;
constexpr double kSignatureRow = 150;
constexpr double kThin = 1.5, kRule = 3, kBold = 5;

QString text(const std::string& utf8) { return QString::fromStdString(utf8); }

double totalsWidth() {
    double w = 0;
    for (const double c : kTotalW) {
        w += c;
    }
    return w;
}

double dayWidth() { return (boardInner().width() - kNumberW - kNameW - totalsWidth()) / kBandDays; }

double daysLeft() { return boardInner().left() + kNumberW + kNameW; }
double totalsLeft() { return daysLeft() + kBandDays * dayWidth(); }

QString codeLegend() {
    QString legend =
        QStringLiteral("Я — часы работы, приходящиеся на эти сутки; Н — из них ночные (22:00–06:00); "
                       "РВ — из них в нерабочие праздничные дни; В — выходной");
    for (std::size_t k = 0; k < kAbsenceKinds; ++k) {
        const auto a = static_cast<Absence>(k);
        legend +=
            QStringLiteral("; %1 (%2) — %3")
                .arg(QString::fromUtf8(absenceCode(a).data(), static_cast<qsizetype>(absenceCode(a).size())),
                     QString::fromUtf8(absenceNumber(a).data(),
                                       static_cast<qsizetype>(absenceNumber(a).size())),
                     absenceName(a));
    }
    return legend + QStringLiteral(". Ячейка дня: коды, под ними часы в том же порядке.");
}

double wrappedHeight(const QFont& font, double width, const QString& s) {
    return QFontMetricsF(font).boundingRect(QRectF(0, 0, width, 1e6), Qt::TextWordWrap, s).height();
}

double footerHeight(const TimesheetPage& c) {
    const double w = boardInner().width();
    return 20 + wrappedHeight(boardFont(kNoteSize), w, codeLegend()) + 10 +
           wrappedHeight(boardFont(kNoteSize), w, c.rules) + 30 + 2 * kSignatureRow;
}

int rowsPerPage() { return static_cast<int>((boardInner().height() - kTitleBlock - kHeading) / kBlock); }

int rowsOnLastPage(const TimesheetPage& c) {
    return std::max(
        0, static_cast<int>((boardInner().height() - kTitleBlock - kHeading - footerHeight(c)) / kBlock));
}

// The first row of each page, and one past the last row of the last.
std::vector<int> pageStarts(const TimesheetPage& c) {
    const int rows = c.sheet == nullptr ? 0 : static_cast<int>(c.sheet->rows.size());
    const int full = rowsPerPage(), last = rowsOnLastPage(c);
    int pages = 1;
    while ((pages - 1) * full + last < rows) {
        ++pages;
    }
    // The pages before the last are filled; the last keeps a few rows above the signatures.
    const int onLast = std::max(rows - (pages - 1) * full, std::min({last, 2, rows}));
    std::vector<int> starts;
    const int before = rows - onLast;
    for (int i = 0; i < pages - 1; ++i) {
        starts.push_back(before * i / (pages - 1));
    }
    starts.push_back(before);
    starts.push_back(rows);
    return starts;
}

// Text in box, made smaller until it fits across.
void fitted(QPainter& p, const QRectF& box, const QString& s, double size, bool bold,
            int align = Qt::AlignCenter) {
    QFont font = boardFont(size, bold);
    const double width = boardTextWidth(font, s), room = box.width() - 8;
    if (width > room && width > 0) {
        font = boardFont(size * room / width, bold);
    }
    p.setFont(font);
    p.drawText(box.adjusted(4, 0, -4, 0), align | Qt::TextDontClip, s);
}

void wrapped(QPainter& p, const QRectF& box, const QString& s, double size, bool bold = false,
             int align = Qt::AlignCenter) {
    p.setFont(boardFont(size, bold));
    p.drawText(box.adjusted(6, 4, -6, -4), align | Qt::TextWordWrap, s);
}

void line(QPainter& p, double width, QPointF a, QPointF b) {
    p.setPen(QPen(Qt::black, width));
    p.drawLine(a, b);
}

void paintTitle(QPainter& p, const TimesheetPage& c, int index, int pages) {
    const QRectF inner = boardInner();
    const double right = 620;
    double y = inner.top();
    p.setPen(Qt::black);
    if (!c.unit.trimmed().isEmpty()) {
        const QFont font = boardFont(kUnitSize);
        p.setFont(font);
        p.drawText(QRectF(inner.left(), y, inner.width() - right, kUnitSize * 1.35),
                   Qt::AlignLeft | Qt::AlignTop,
                   QFontMetricsF(font).elidedText(c.unit.trimmed(), Qt::ElideRight, inner.width() - right));
    }
    y += kUnitSize * 1.35;
    p.setFont(boardFont(kTitleSize, true));
    p.drawText(QRectF(inner.left(), y, inner.width() - right, kTitleSize * 1.3), Qt::AlignLeft | Qt::AlignTop,
               QStringLiteral("ТАБЕЛЬ учёта рабочего времени"));
    y += kTitleSize * 1.3;
    p.setFont(boardFont(kSubtitleSize));
    const Timesheet& s = *c.sheet;
    p.drawText(QRectF(inner.left(), y, inner.width() - right, kSubtitleSize * 1.4),
               Qt::AlignLeft | Qt::AlignTop,
               QStringLiteral("%1 — %2 караул; отчётный период с %3 по %4")
                   .arg(c.period)
                   .arg(c.watch)
                   .arg(text(shortDateText(s.days.first)), text(shortDateText(s.days.last))));
    p.setFont(boardFont(kSmallSize));
    const QRectF corner(inner.right() - right, inner.top(), right, kTitleBlock);
    p.drawText(corner, Qt::AlignRight | Qt::AlignTop,
               QStringLiteral("Унифицированная форма № Т-13\nЛист %1 из %2").arg(index + 1).arg(pages));
}

void paintHeading(QPainter& p, double top, const TimesheetPage& c) {
    const QRectF inner = boardInner();
    const double w = dayWidth(), x0 = daysLeft();
    p.setPen(Qt::black);
    wrapped(p, QRectF(inner.left(), top, kNumberW, kHeading), QStringLiteral("№ п/п"), kSmallSize);
    wrapped(p, QRectF(inner.left() + kNumberW, top, kNameW, kHeading),
            QStringLiteral("Фамилия, имя, отчество, табельный номер"), kSmallSize);
    wrapped(p, QRectF(x0, top, kBandDays * w, kCaptionRow),
            QStringLiteral("Отметки о явках и неявках на работу по числам месяца"), kSmallSize);
    for (int band = 0; band < 2; ++band) {
        const double y = top + kCaptionRow + band * kDayRow;
        for (int col = 0; col < kBandDays; ++col) {
            const int day = band * 15 + col; // 0-based; band 0 has 15 days
            const QRectF box(x0 + col * w, y, w, kDayRow);
            if ((band == 0 && col == 15) || day >= static_cast<int>(c.days.size())) {
                p.setPen(Qt::black);
                fitted(p, box, QStringLiteral("Х"), kSmallSize, false);
            } else {
                paintDayHeading(p, box.adjusted(2, 2, -2, -2), c.days[static_cast<std::size_t>(day)],
                                c.watch);
            }
        }
    }
    double x = totalsLeft();
    for (int t = 0; t < TimesheetModel::kTotals; ++t) {
        p.setPen(Qt::black);
        wrapped(p, QRectF(x, top, kTotalW[static_cast<std::size_t>(t)], kHeading),
                TimesheetModel::totalHeading(static_cast<TimesheetModel::Total>(t), c.sheet->period.first)
                    .replace(QLatin1Char('\n'), QLatin1Char(' ')),
                kSmallSize);
        x += kTotalW[static_cast<std::size_t>(t)];
    }
}

void paintPerson(QPainter& p, double top, int number, const TimesheetRow& row) {
    const QRectF inner = boardInner();
    const double w = dayWidth(), x0 = daysLeft();
    p.setPen(Qt::black);
    fitted(p, QRectF(inner.left(), top, kNumberW, kBlock), QString::number(number), kTotalSize, false);
    QString who = text(row.person.name);
    QStringList notes;
    if (!row.person.personnelNumber.empty()) {
        notes << QStringLiteral("таб. № ") + text(row.person.personnelNumber);
    }
    if (!row.ownWatch) {
        for (const TimesheetDay& d : row.days) {
            if (d.day.watch != 0) {
                notes << QStringLiteral("из %1 караула").arg(d.day.watch);
                break;
            }
        }
    }
    if (row.totals.givenAway > 0) {
        notes << QStringLiteral("отдал смен: %1").arg(row.totals.givenAway);
    }
    if (row.totals.taken > 0) {
        notes << QStringLiteral("взял смен: %1").arg(row.totals.taken);
    }
    const QRectF nameBox(inner.left() + kNumberW + 6, top + 4, kNameW - 12, kBlock - 8);
    p.setFont(boardFont(kCellSize + 2, true));
    const QRectF used = p.boundingRect(nameBox, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, who);
    p.drawText(nameBox, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, who);
    p.setFont(boardFont(kSmallSize));
    p.drawText(
        QRectF(nameBox.left(), used.bottom() + 2, nameBox.width(), nameBox.bottom() - used.bottom() - 2),
        Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, notes.join(QStringLiteral("; ")));

    for (int band = 0; band < 2; ++band) {
        for (int col = 0; col < kBandDays; ++col) {
            const int day = band * 15 + col;
            const QRectF codes(x0 + col * w, top + 2 * band * kLine, w, kLine);
            const QRectF hours = codes.translated(0, kLine);
            if ((band == 0 && col == 15) || day >= static_cast<int>(row.days.size())) {
                p.setPen(QPen(Qt::black, kThin));
                p.drawLine(codes.topLeft(), hours.bottomRight());
                p.drawLine(codes.topRight(), hours.bottomLeft());
                continue;
            }
            const DayEntry e = dayEntry(row.days[static_cast<std::size_t>(day)]);
            p.setPen(Qt::black);
            fitted(p, codes, text(e.codes), kCellSize, true);
            fitted(p, hours, text(e.hours), kCellSize, false);
        }
    }
    double x = totalsLeft();
    for (int t = 0; t < TimesheetModel::kTotals; ++t) {
        const auto total = static_cast<TimesheetModel::Total>(t);
        const QRectF box(x, top, kTotalW[static_cast<std::size_t>(t)], kBlock);
        p.setPen(Qt::black);
        if (total == TimesheetModel::Absences) {
            wrapped(p, box, TimesheetModel::totalText(row, total), kSmallSize, false,
                    Qt::AlignLeft | Qt::AlignVCenter);
        } else {
            fitted(p, box, TimesheetModel::totalText(row, total), kTotalSize,
                   total == TimesheetModel::Worked || total == TimesheetModel::PeriodBalance);
        }
        x += kTotalW[static_cast<std::size_t>(t)];
    }
}

// The table's rules: the columns down its whole height, the people's blocks and their lines across.
void paintRules(QPainter& p, double top, double bottom, int people) {
    const QRectF inner = boardInner();
    const double w = dayWidth(), x0 = daysLeft(), body = top + kHeading;
    line(p, kBold, {inner.left(), top}, {inner.right(), top});
    line(p, kBold, {inner.left(), bottom}, {inner.right(), bottom});
    line(p, kRule, {x0, top + kCaptionRow}, {totalsLeft(), top + kCaptionRow});
    line(p, kThin, {x0, top + kCaptionRow + kDayRow}, {totalsLeft(), top + kCaptionRow + kDayRow});
    line(p, kBold, {inner.left(), body}, {inner.right(), body});
    for (int i = 0; i < people; ++i) {
        const double y = body + i * kBlock;
        if (i > 0) {
            line(p, kRule, {inner.left(), y}, {inner.right(), y});
        }
        for (int l = 1; l < 4; ++l) {
            line(p, l == 2 ? kRule : kThin, {x0, y + l * kLine}, {totalsLeft(), y + l * kLine});
        }
    }
    QList<double> xs{inner.left(), inner.left() + kNumberW, x0};
    for (int col = 1; col < kBandDays; ++col) {
        xs << x0 + col * w;
    }
    double x = totalsLeft();
    for (const double tw : kTotalW) {
        xs << x;
        x += tw;
    }
    xs << inner.right();
    for (qsizetype i = 0; i < xs.size(); ++i) {
        const bool dayLine = i > 2 && xs[i] < totalsLeft() - 1;
        line(p, dayLine ? kThin : (i == 0 || i == xs.size() - 1 ? kBold : kRule),
             {xs[i], dayLine ? top + kCaptionRow : top}, {xs[i], bottom});
    }
}

void paintSignature(QPainter& p, double left, double top, const QString& who) {
    p.setPen(Qt::black);
    p.setFont(boardFont(kSmallSize + 3, true));
    p.drawText(QRectF(left, top, 1300, 40), Qt::AlignLeft | Qt::AlignTop, who);
    const double y = top + 90;
    double x = left;
    for (const auto& [width, caption] : {std::pair{330.0, QStringLiteral("(должность)")},
                                         std::pair{230.0, QStringLiteral("(личная подпись)")},
                                         std::pair{370.0, QStringLiteral("(расшифровка подписи)")}}) {
        paintWritingLine(p, x, x + width, y, caption);
        x += width + 35;
    }
    p.setFont(boardFont(kSmallSize + 3));
    p.drawText(QRectF(x, y - 40, 300, 40), Qt::AlignLeft | Qt::AlignBottom,
               QStringLiteral("«___» ________ 20___ г."));
}

void paintFooter(QPainter& p, double top, const TimesheetPage& c) {
    const QRectF inner = boardInner();
    double y = top + 20;
    p.setPen(Qt::black);
    p.setFont(boardFont(kNoteSize));
    const QString legend = codeLegend();
    p.drawText(QRectF(inner.left(), y, inner.width(), 1000), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
               legend);
    y += wrappedHeight(boardFont(kNoteSize), inner.width(), legend) + 10;
    p.drawText(QRectF(inner.left(), y, inner.width(), 1000), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
               c.rules);
    y += wrappedHeight(boardFont(kNoteSize), inner.width(), c.rules) + 30;
    const double half = inner.width() / 2;
    paintSignature(p, inner.left(), y, QStringLiteral("Ответственное лицо"));
    paintSignature(p, inner.left() + half, y, QStringLiteral("Руководитель структурного подразделения"));
    paintSignature(p, inner.left(), y + kSignatureRow, QStringLiteral("Работник кадровой службы"));
}

} // namespace

int timesheetPageCount(const TimesheetPage& content) {
    return static_cast<int>(pageStarts(content).size()) - 1;
}

void paintTimesheetPage(QPainter& p, const QRectF&, const TimesheetPage& content, int index) {
    if (content.sheet == nullptr) {
        return;
    }
    const std::vector<int> starts = pageStarts(content);
    const int pages = static_cast<int>(starts.size()) - 1;
    index = std::clamp(index, 0, pages - 1);
    paintTitle(p, content, index, pages);
    const double top = boardInner().top() + kTitleBlock;
    paintHeading(p, top, content);
    const int first = starts[static_cast<std::size_t>(index)],
              end = starts[static_cast<std::size_t>(index) + 1];
    double y = top + kHeading;
    for (int r = first; r < end; ++r, y += kBlock) {
        paintPerson(p, y, r + 1, content.sheet->rows[static_cast<std::size_t>(r)]);
    }
    if (content.sheet->rows.empty()) {
        p.setPen(Qt::black);
        wrapped(p, QRectF(boardInner().left(), y, boardInner().width(), kBlock),
                QStringLiteral("В этом месяце в караул никто не внесён."), kTotalSize);
        y += kBlock;
    }
    paintRules(p, top, y, end - first);
    if (index == pages - 1) {
        paintFooter(p, y, content);
    }
}

std::optional<QByteArray> timesheetPdf(const TimesheetPage& content) {
    return boardPagesPdf(
        content.title, timesheetPageCount(content),
        [&content](QPainter& p, const QRectF& page, int i) { paintTimesheetPage(p, page, content, i); });
}

bool printTimesheet(QPrinter& printer, const TimesheetPage& content) {
    return printBoardPages(
        printer, timesheetPageCount(content),
        [&content](QPainter& p, const QRectF& page, int i) { paintTimesheetPage(p, page, content, i); });
}

} // namespace sutograf
