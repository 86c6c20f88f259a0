#pragma once

#include <QByteArray>
#include <QRectF>
#include <QString>

#include <functional>
#include <optional>

class QFont;
class QPainter;
class QPrinter;

namespace sutograf {

// The page every sheet for a station's board is drawn on: A4 landscape, in tenths of a millimetre.
// Units this fine keep the type's measure and its print the same at any printer's resolution, so a
// label measured to fit its cell is never cut.
inline constexpr double kBoardPageWidth = 2970, kBoardPageHeight = 2100;
inline constexpr double kBoardMargin = 100; // 10 mm: inside any printer's unprintable edge
inline constexpr double kApprovalWidth = 800;

inline QRectF boardPage() { return {0, 0, kBoardPageWidth, kBoardPageHeight}; }
inline QRectF boardInner() {
    return boardPage().adjusted(kBoardMargin, kBoardMargin, -kBoardMargin, -kBoardMargin);
}

// Arial (or its stand-in) at size tenths of a millimetre.
QFont boardFont(double size, bool bold = false);
// The width of text in font on the page.
double boardTextWidth(const QFont& font, const QString& text);

// The unit's name (when set, in its own line) above the sheet's title, at area's top left, wrapped
// within area's width. Answers the height used.
double paintBoardTitle(QPainter& p, const QRectF& area, const QString& unit, const QString& title);

// A line to write on, from x1 to x2 at y, with what goes there in small type below it.
inline constexpr double kWritingCaptionSize = 24;
void paintWritingLine(QPainter& p, double x1, double x2, double y, const QString& caption);

// The approval block of a board sheet at area's top, kApprovalWidth wide: «УТВЕРЖДАЮ», a line for the
// position, lines for the signature and the name, and «__» ______ 20__ г. for the date. Answers the
// height used.
double paintApprovalBlock(QPainter& p, const QRectF& area);

using PagePainter = std::function<void(QPainter& p, const QRectF& page)>;
// Page `index` (0-based) of a sheet of several.
using PagesPainter = std::function<void(QPainter& p, const QRectF& page, int index)>;

// The page as the bytes of a one-page PDF; nullopt when it could not be drawn.
std::optional<QByteArray> boardPagePdf(const QString& title, const PagePainter& paint);

// The page on a printer, on the whole sheet of paper with the page's own margins. False when the
// printer would not start.
bool printBoardPage(QPrinter& printer, const PagePainter& paint);

// The same for a sheet of `pages` pages (at least one).
std::optional<QByteArray> boardPagesPdf(const QString& title, int pages, const PagesPainter& paint);
bool printBoardPages(QPrinter& printer, int pages, const PagesPainter& paint);

} // namespace sutograf
