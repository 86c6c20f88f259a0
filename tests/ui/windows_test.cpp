// The windows as a user meets them, offscreen on a 1366 x 768 screen: the main window with its grid,
// and the windows it opens (the settings, "who is on duty today", the About dialog, the year window).
#include <QtTest>
#include <QtWidgets>

#include <optional>

#include "bazovy_karaul.h"
#include "common/system_trouble.h"
#include "common/year_cells.h"
#include "day_cell.h"
#include "form1.h"
#include "frm_about.h"
#include "frm_year.h"
#include "month_names.h"
#include "records/test_files.h"
#include "roster.h"
#include "roster_source.h"
#include "roster_store.h"
#include "rota.h"
#include "rota_page.h"
#include "start_style.h"
#include "typed_values.h"
#include "ui/window_fixtures.h"
#include "up_down.h"
#include "watch_periods.h"
#include "year_hours_model.h"
#include "year_page.h"

using namespace sutograf;
using namespace Qt::StringLiterals;
using namespace window_fixtures;

namespace {

// What keeps a file from being saved.

// A clock reading from "dd.mm.yyyy hh:mm:ss.zzz", or "dd.mm.yyyy" at noon.
LocalTime at(const QString& text) {
    const QTime time = text.size() > 10 ? QTime::fromString(text.mid(11), u"hh:mm:ss.zzz"_s) : QTime(12, 0);
    return {dateFromText(text.left(10).toStdString()).value(), time.msecsSinceStartOfDay()};
}

QString labelText(const QObject* w, const char* name) { return child<QLabel>(w, name)->text(); }

// The text a label shows (as a screen reader gets it): markup taken as such is gone.
QString shownText(QWidget* label) {
    return QAccessible::queryAccessibleInterface(label)->text(QAccessible::Name);
}

// A main window started at a time of the test's choosing, beside its own Opt.txt (none if null); at
// once, or with kLater when the test first puts more beside it and then calls start().
constexpr bool kLater = true;
struct FormFixture {
    // The clock's readings, separated by ';', come one after another; the last one stays.
    explicit FormFixture(const QString& now = u"09.03.2011"_s, const QByteArray& opt = "0\r\n",
                         bool later = false)
        : readings(now.split(u';')) {
        if (!opt.isNull()) {
            writeFile(dir.filePath(u"Opt.txt"_s), opt);
        }
        if (!later) {
            start();
        }
    }
    ~FormFixture() { delete form.data(); }

    // offset: what the run holds before Opt.txt is read.
    void start(float offset = 0) {
        rota.emplace(SettingsPlace(dir.path()), offset);
        form = new Form1(
            *rota, [this] { return at(readings.size() > 1 ? readings.takeFirst() : readings.first()); });
    }
    QByteArray opt() const {
        QFile file(dir.filePath(u"Opt.txt"_s));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    QStringList readings;
    QTemporaryDir dir;
    std::optional<RotaOffset> rota;
    QPointer<Form1> form;
};

const char* const kWatchColourNames[4] = {"magenta", "blue", "red", "yellow"};

// The colour a pixel of a day's number shows, by name: type is anti-aliased over the cell's cyan, so a
// pixel of it lies on the line from cyan to the number's colour; more than halfway along it counts.
// Empty for the ground and anything else.
QString inkOf(QRgb pixel) {
    static const std::pair<QRgb, const char*> kInks[] = {
        {qRgb(255, 0, 255), "magenta"}, {qRgb(0, 0, 255), "blue"},     {qRgb(255, 0, 0), "red"},
        {qRgb(255, 255, 0), "yellow"},  {qRgb(109, 109, 109), "grey"}, {qRgb(0, 0, 0), "black"}};
    const int seen[3] = {qRed(pixel), qGreen(pixel) - 255, qBlue(pixel) - 255}; // less the cyan
    for (const auto& [ink, name] : kInks) {
        const int full[3] = {qRed(ink), qGreen(ink) - 255, qBlue(ink) - 255};
        const int c =
            int(std::max_element(full, full + 3, [](int a, int b) { return qAbs(a) < qAbs(b); }) - full);
        const double along = double(seen[c]) / full[c];
        if (along > 0.5 && std::all_of(seen, seen + 3, [&](const int& v) {
                return qAbs(v - along * full[&v - seen]) <= 8;
            })) {
            return QString::fromLatin1(name);
        }
    }
    return {};
}

// The grid as a user sees it, from its pixels where the layout in twips puts each cell (cell k at
// 600 + 360 * (k / 7), 600 + 360 * (k % 7), 315 square; 15 twips to a pixel): the colour most of its
// number's exact pixels have, the red frame on its left and right edges, and the day number and
// tooltip of the cell a pointer there finds. One line a cell.
QStringList monthSeen(const FormFixture& f) {
    QWidget* client = f.form->centralWidget();
    const QImage shot = client->grab().toImage();
    QStringList seen;
    for (int k = 0; k < 56; ++k) {
        const QRect cell(40 + 24 * (k / 7), 40 + 24 * (k % 7), 21, 21);
        QMap<QString, int> counts;
        for (int y = cell.top() + 3; y <= cell.bottom() - 4; ++y) {
            for (int x = cell.left() + 4; x <= cell.right() - 4; ++x) {
                ++counts[inkOf(shot.pixel(x, y))];
            }
        }
        counts.remove(QString());
        QString colour = u"none"_s;
        for (auto c = counts.begin(); c != counts.end(); ++c) {
            colour = c.value() > 2 && c.value() > counts.value(colour) ? c.key() : colour;
        }
        const QRgb red = qRgb(255, 0, 0), left = shot.pixel(cell.left() + 1, cell.center().y()),
                   right = shot.pixel(cell.right() - 1, cell.center().y());
        const auto* under = qobject_cast<DayCell*>(client->childAt(cell.center()));
        seen << u"%1 %2%3 %4"_s.arg(under ? under->caption() : u"?"_s, colour,
                                    left == red && right == red ? u" framed"_s : QString(),
                                    under ? under->toolTip() : QString());
    }
    return seen;
}

// What monthSeen must find for a month: the 56 days from the Monday of the week before the month's
// first week; other months' days grey; a day without a watch in the cell's own black, untitled.
QStringList monthExpected(int year, int month, float offset, QDate today) {
    const QDate first1(year, month, 1), first = first1.addDays(-first1.dayOfWeek() - 6);
    QStringList expected;
    for (int k = 0; k < 56; ++k) {
        const QDate d = first.addDays(k);
        const int watch = expectedWatch(d, offset);
        expected << u"%1 %2%3 %4"_s.arg(d.day()).arg(
            d.month() != month ? u"grey"_s
            : watch > 0        ? QString::fromLatin1(kWatchColourNames[watch - 1])
                               : u"black"_s,
            d == today ? u" framed"_s : QString(),
            watch > 0 ? d.toString(u"dd.MM.yyyy"_s) + u", %1 караул"_s.arg(watch) : QString());
    }
    return expected;
}

QDate qDate(const QString& ddmmyyyy) { return QDate::fromString(ddmmyyyy.left(10), u"dd.MM.yyyy"_s); }

// The grid shows that month, with the frame's Tag "0" between rebuilds.
void verifyShows(const FormFixture& f, int year, int month, float offset,
                 const QString& today = u"09.03.2011"_s) {
    QCOMPARE(monthSeen(f), monthExpected(year, month, offset, qDate(today)));
    QCOMPARE(child(f.form, "Ramka")->property("Tag").toString(), u"0"_s);
}

// The visible top-level windows called name, or all of them.
QWidgetList windows(const QString& name = {}) {
    QWidgetList all = QApplication::topLevelWidgets();
    all.removeIf([&](QWidget* w) { return !w->isVisible() || !(name.isEmpty() || w->objectName() == name); });
    return all;
}

QWidget* openMenu(const FormFixture& f, const char* entry, const char* window) {
    child<QAction>(f.form, entry)->trigger();
    return windows(QString::fromLatin1(window)).value(0);
}

QRadioButton* option(QWidget* settings, int index) {
    return settings->findChildren<QRadioButton*>(u"Option1"_s).value(index);
}

void save(QWidget* settings) { QTest::mouseClick(child<QPushButton>(settings, "Command1"), Qt::LeftButton); }

// Why a file could not be written: a read-only folder, else a file held open by another program.
QString cannotWrite(bool readOnlyFolder) {
    return readOnlyFolder ? u"нет права записи"_s : u"открыт в другой программе"_s;
}

// Poppler's pdfinfo, pdftotext and pdftoppm read a PDF back; Windows has none of them (scripts/windows.sh
// reads its build's PDF back on Linux).
bool canReadPdf() { return !QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty(); }

// Windows prints through a dialog of its own, outside Qt, which a test cannot answer.
bool printDialogIsTheSystems() { return QSysInfo::kernelType() == "winnt"_L1; }

frmYear* openYear(const FormFixture& f) { return qobject_cast<frmYear*>(openMenu(f, "mnuYear", "frmYear")); }

// The control that has the focus: a spin box, not its inner editor.
QString focusName() {
    QWidget* w = QApplication::focusWidget();
    return (qobject_cast<QAbstractSpinBox*>(w->parentWidget()) ? w->parentWidget() : w)->objectName();
}

// Pixels of the balance red (220, 0, 0) in a cell of the hours table as drawn.
int redPixels(QTableView* table, const QImage& drawn, int row, int column) {
    return pixelsIn(drawn, table->visualRect(table->model()->index(row, column)),
                    [](QRgb c) { return qRed(c) > 150 && qGreen(c) < 90 && qBlue(c) < 90; });
}

// The page as a black and white printer would see it, at 150 dpi.
QImage greyPage(const QString& pdf) {
    const QString png = pdf + u".grey"_s;
    run(u"pdftoppm"_s, {u"-r"_s, u"150"_s, u"-gray"_s, u"-png"_s, u"-singlefile"_s, pdf, png});
    return QImage(png + u".png"_s).convertToFormat(QImage::Format_Grayscale8);
}

// The words that a ruled line runs down through, from above their box to below it: a label cut by its
// cell's border. Days' and watches' numbers (up to 31) are left out: they sit on fills dark in grey.
QStringList crossedByLines(const QImage& page, const QList<Word>& words) {
    const double scale = 150.0 / 72;
    QStringList crossed;
    for (const Word& w : words) {
        bool number = false;
        if (const int n = w.text.toInt(&number); number && n <= 31) {
            continue;
        }
        const int y0 = std::max(0, qFloor(w.box.top() * scale) - 2);
        const int y1 = std::min(page.height() - 1, qCeil(w.box.bottom() * scale) + 2);
        for (int x = qFloor(w.box.left() * scale) + 1; x < qCeil(w.box.right() * scale) && x < page.width();
             ++x) {
            int y = y0;
            while (y <= y1 && page.constScanLine(y)[x] < 110) {
                ++y;
            }
            if (y > y1) {
                crossed << w.text;
                break;
            }
        }
    }
    return crossed;
}

// The public holidays of art. 112, the same days every year whatever a decree moves: 1-5 and 7 January
// before 2013, 1-8 January from then on.
bool isHoliday(QDate d) {
    static const QList<std::pair<int, int>> kFixed{{2, 23}, {3, 8}, {5, 1}, {5, 9}, {6, 12}, {11, 4}};
    return d.month() == 1 ? d.day() <= (d.year() < 2013 ? 5 : 8) || d.day() == 7
                          : kFixed.contains({d.month(), d.day()});
}

// The year window's months as a user reads them, each day where the layout puts it (year_cells.h): its
// look (filled with the colour of watchOf's watch, crossed out, hatched), a holiday's green, today's
// red frame, and the first line of the tooltip a pointer resting there gets. One line a day.
QStringList yearSeen(frmYear* year, const std::function<int(QDate)>& watchOf) {
    QWidget* view = child(year, "months");
    const QImage shot = view->grab().toImage();
    const auto pixel = [&shot](int x, int y) { return shot.pixelColor(x, y); };
    const QRectF area = year_cells::monthsArea(QRectF(shot.rect()));
    QStringList seen;
    for (QDate d(year->shownYear(), 1, 1); d.year() == year->shownYear(); d = d.addDays(1)) {
        const QRectF cell = year_cells::cellOf(area, *dateOf(d.year(), d.month(), d.day()));
        QHelpEvent help(QEvent::ToolTip, cell.center().toPoint(), view->mapToGlobal(cell.center().toPoint()));
        QApplication::sendEvent(view, &help);
        seen << u"%1: %2%3%4 %5"_s.arg(
            d.toString(u"dd.MM"_s),
            QString::fromLatin1(year_cells::kLooks[year_cells::lookAt(pixel, cell, watchOf(d))]),
            year_cells::holidayAt(pixel, cell) ? u", a holiday"_s : QString(),
            year_cells::framedAt(pixel, cell) ? u", today"_s : QString(),
            QToolTip::text().section(u'\n', 0, 0));
    }
    return seen;
}

// What yearSeen must find in a year whose days look as lookOf says (year_cells::kLooks).
QStringList yearExpected(int year, float offset, QDate today, const std::function<int(QDate)>& lookOf) {
    QStringList expected;
    for (QDate d(year, 1, 1); d.year() == year; d = d.addDays(1)) {
        expected << u"%1: %2%3%4 %5, %6 караул"_s
                        .arg(d.toString(u"dd.MM"_s), QString::fromLatin1(year_cells::kLooks[lookOf(d)]),
                             isHoliday(d) ? u", a holiday"_s : QString(),
                             d == today ? u", today"_s : QString(), d.toString(u"dd.MM.yyyy"_s))
                        .arg(expectedWatch(d, offset));
    }
    return expected;
}

// Four people in sutograf.db in dir, each a watch's since 2024: Алексеев on leave in July with sick days
// in it; Борисов and Васильев each give the other a duty; Григорьев (36-hour week) moves from the fourth
// watch to the first on 1 June and trains in September. Answers their ids by surname.
std::filesystem::path fsPath(const QString& path) { return path.toStdU16String(); }

QMap<QString, PersonId> storeRoster(const QString& dir) {
    const std::filesystem::path folder = fsPath(dir);
    RosterStore store(folder / RosterStore::kFileName, folder, 0);
    QMap<QString, PersonId> ids;
    for (const auto& [name, watch, week] :
         {std::tuple{"Алексеев", 1, 40}, {"Борисов", 2, 40}, {"Васильев", 3, 40}, {"Григорьев", 4, 36}}) {
        ids[QString::fromUtf8(name)] =
            store.addPerson({{0, name, {}, week}, {{*dateOf(2024, 1, 1), watch}}, {}}).id;
    }
    const bool stored =
        store.addAbsence(ids[u"Алексеев"_s],
                         {*dateOf(2025, 7, 7), *dateOf(2025, 7, 27), Absence::AnnualLeave, {}}) &&
        store.addAbsence(ids[u"Алексеев"_s],
                         {*dateOf(2025, 7, 14), *dateOf(2025, 7, 18), Absence::Sick, {}}) &&
        store.addSwap({dutyOf(2, *dateOf(2025, 3, 1)), ids[u"Борисов"_s], ids[u"Васильев"_s], {}}) &&
        store.addSwap({dutyOf(3, *dateOf(2025, 4, 1)), ids[u"Васильев"_s], ids[u"Борисов"_s], {}}) &&
        store.setWatch(ids[u"Григорьев"_s], *dateOf(2025, 6, 1), 1) &&
        store.addAbsence(ids[u"Григорьев"_s],
                         {*dateOf(2025, 9, 8), *dateOf(2025, 9, 19), Absence::Training, {}});
    return stored ? ids : QMap<QString, PersonId>{};
}

// A name chosen in the year window's list by typing its first letters, as a user does.
void choosePerson(frmYear* year, const QString& name) {
    auto* people = child<QComboBox>(year, "personBox");
    people->setFocus();
    QTest::sendKeyEvent(QTest::Click, people, Qt::Key_unknown, name.left(3), Qt::NoModifier);
}

} // namespace

class WindowsTest : public QObject {
    Q_OBJECT
    QTemporaryDir home_;

private slots:
    // The file dialogs' folder when none is known, and their history: the test's own, not the files and
    // settings of whoever runs it. Qt's own file dialog, which a test can answer, wherever the system
    // has one of its own (Windows); the end-to-end test under Wine goes through Windows' dialog.
    void initTestCase() {
        QVERIFY(home_.isValid());
        qputenv("HOME", QFile::encodeName(home_.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home_.filePath(u".config"_s)));
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    }

    // At start Opt.txt is read before the first rebuild and the clock once: a start just before the year
    // ends shows December throughout. From then on only the "Сегодня" line and the frame follow the clock;
    // the month shown stays, and the next check is due at midnight or within a minute.
    void startsOnTodayAndFollowsTheClock_data() {
        QTest::addColumn<QString>("clock"); // the readings at start and at the next check
        QTest::addColumn<float>("offset");  // a whole one is read from Opt.txt, else held with no file
        QTest::addColumn<QString>("month");
        QTest::addColumn<int>("firstCheckMs");
        QTest::addColumn<int>("nextCheckMs");
        QTest::newRow("midnight: the next day")
            << "09.03.2011 23:59:59.900;10.03.2011 00:00:00.000" << 0.0f << "Март" << 100 << 60000;
        QTest::newRow("third watch; the clock set back into 2010, aiming at midnight again")
            << "01.01.2011;31.12.2010 23:59:30.000" << 2.0f << "Январь" << 60000 << 30000;
        QTest::newRow("one reading at start; 2012 begins in a grey cell")
            << "31.12.2011 23:59:59.999;01.01.2012 00:00:00.000" << 0.0f << "Декабрь" << 1 << 60000;
        QTest::newRow("fourth watch; April begins in a grey cell")
            << "31.03.2011 23:59:00.000;01.04.2011 00:00:00.001" << 3.0f << "Март" << 60000 << 60000;
        QTest::newRow("1.5, no watch on any day; woken weeks later, the frame hides")
            << "09.03.2011;20.05.2011" << 1.5f << "Март" << 60000 << 60000;
    }

    void startsOnTodayAndFollowsTheClock() {
        QFETCH(QString, clock);
        QFETCH(float, offset);
        QFETCH(QString, month);
        QFETCH(int, firstCheckMs);
        QFETCH(int, nextCheckMs);
        const bool inFile = offset == std::floor(offset);
        FormFixture f(clock, inFile ? QByteArray::number(offset) + "\r\n" : QByteArray(), kLater);
        f.start(inFile ? 0 : offset);
        const Date shown = at(clock).date;
        auto* combo = child<QComboBox>(f.form, "ПолеСоСпискомМесяц");
        QCOMPARE(combo->currentText(), month);
        QCOMPARE(child<QLineEdit>(f.form, "ПолеГод")->text(), u"2011"_s);
        QCOMPARE(child<UpDown>(f.form, "UpDown7")->value(), 2011);
        auto* check = child<QTimer>(f.form, "todayCheck");
        for (const QString& today : {clock.left(10), clock.section(u';', 1).left(10)}) {
            QCOMPARE(labelText(f.form, "Seyden"), today);
            verifyShows(f, 2011, monthOf(shown), offset, today);
            QCOMPARE(check->isActive() ? check->interval() : -1,
                     today == clock.left(10) ? firstCheckMs : nextCheckMs);
            const QStringList once = monthSeen(f);
            f.form->Sutograf_Formirovanie();
            QCOMPARE(monthSeen(f), once); // two rebuilds leave what one leaves
            f.form->checkToday();
        }
    }

    // What is typed into the month field or the year box, or picked from the month list. The year box
    // rebuilds at every key, also for the first digits of a year; a key that leaves no year (year 0 in
    // the table) leaves the grid as the key before it left it, and typing into the month field changes
    // nothing at all.
    void typingAndPicking_data() {
        QTest::addColumn<bool>("intoMonth");
        QTest::addColumn<QString>("typed"); // "^" is the Up key, "\n" Enter
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("month");
        QTest::newRow("Up twice in the month list picks January") << true << "^^" << 2011 << 1;
        QTest::newRow("a month name typed picks nothing") << true << "Май\n" << 0 << 3;
        for (const auto& [typed, year] : {std::pair{"2", 2002}, {"20", 2020}, {"201", 201}, {"2012", 2012}}) {
            QTest::addRow("year typed: %s", typed) << false << typed << year << 3;
        }
        for (const char* text : {"", "abc", "-5", "2011.5", "99999", "1e30", "2011\xd0\xbf"}) {
            QTest::addRow("no year: \"%s\"", text) << false << QString::fromUtf8(text) << 0 << 3;
        }
    }

    void typingAndPicking() {
        QFETCH(bool, intoMonth);
        QFETCH(QString, typed);
        QFETCH(int, year);
        QFETCH(int, month);
        FormFixture f;
        auto* combo = child<QComboBox>(f.form, "ПолеСоСпискомМесяц");
        QLineEdit* box = intoMonth ? combo->lineEdit() : child<QLineEdit>(f.form, "ПолеГод");
        box->selectAll();
        const QStringList start = monthSeen(f);
        QStringList before = start;
        QTest::keyClick(box, Qt::Key_Delete);
        for (const QChar ch : typed) {
            before = monthSeen(f); // text that is no year leaves what the key before it showed
            if (ch == u'^' || ch == u'\n') {
                QTest::keyClick(combo, ch == u'^' ? Qt::Key_Up : Qt::Key_Return);
            } else { // key by key, Cyrillic included (QTest::keyClicks takes ASCII only)
                QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(ch), Qt::NoModifier);
            }
        }
        QCOMPARE(combo->property("Tag").toString(), QString::number(month));
        if (year == 0) {
            QCOMPARE(monthSeen(f), intoMonth ? start : before);
        } else {
            verifyShows(f, year, month, 0);
        }
        QCOMPARE(child<UpDown>(f.form, "UpDown7")->value(), 2011); // the spin does not follow typing
    }

    void arrowsGoOnFromATypedYearAndStopAtTheEnds() {
        FormFixture f;
        auto* year = child<QLineEdit>(f.form, "ПолеГод");
        auto* spin = child<UpDown>(f.form, "UpDown7");
        QSignalSpy rebuilds(f.form, &Form1::gridRebuilt);
        // typed year, the arrow, what it shows next
        const auto steps = {
            std::tuple{"2020", spin->upButton(), "2021"},
            {"2022", spin->downButton(), "2021"}, // back onto the spin's own value: still shown
            {"abc", spin->downButton(), "2020"},  // no year typed: from the spin's own value
            {"3000", spin->upButton(), "3000"},
            {"0", spin->downButton(), "0"}};
        for (const auto& [typed, arrow, shown] : steps) {
            year->setText(QString::fromLatin1(typed));
            rebuilds.clear();
            QTest::mouseClick(arrow, Qt::LeftButton);
            QCOMPARE(year->text(), QString::fromLatin1(shown));
            QCOMPARE(rebuilds.size(), 1); // also where the box already showed that year
        }
        verifyShows(f, 2000, 3, 0); // year 0 is 2000
        QTest::keyClick(year, Qt::Key_Up);
        QCOMPARE(year->text(), u"1"_s);
    }

    // A window deleted can take others with it (its message box, say), hence deleteLater.
    void cleanup() {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->objectName().startsWith(u"frm")) {
                w->deleteLater();
            }
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void eachOpensOnceAndOutlivesTheMainWindow_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("window");
        QTest::newRow("Настройки") << u"mnuSettings"_s << u"frmSettings"_s;
        QTest::newRow("Справка") << u"mnuSpravka"_s << u"frmAbout"_s;
        QTest::newRow("Какой караул сегодня…") << u"mnuWhoToday"_s << u"frmWhoToday"_s;
        QTest::newRow("Год и часы…") << u"mnuYear"_s << u"frmYear"_s;
        QTest::newRow("Экспорт в календарь…") << u"mnuExportYear"_s << u"frmYear"_s;
        QTest::newRow("Личный состав…") << u"mnuRoster"_s << u"frmRoster"_s;
        QTest::newRow("Табель…") << u"mnuTimesheet"_s << u"frmTimesheet"_s;
    }

    // Opened again, the same window comes back from the task bar, not loaded anew; «Экспорт в календарь…»
    // also starts its file dialog in it, turned down here as soon as it shows (the print entries go the
    // same way to their dialogs: printingWithoutAPrinterOffersThePdf).
    // The year window opens on the grid's year. None makes a roster file by opening. "Выход" leaves every
    // one of them open: Save still writes Opt.txt, and the program ends with its last window.
    void eachOpensOnceAndOutlivesTheMainWindow() {
        QFETCH(QString, entry);
        QFETCH(QString, window);
        FormFixture f;
        f.form->show();
        child<QLineEdit>(f.form, "ПолеГод")->setText(u"27"_s);
        int dialogs = 0;
        QPointer<QWidget> first;
        for (int i = 0; i < 2; ++i) {
            whenDialogShows([&dialogs](QDialog* dialog) {
                ++dialogs;
                dialog->reject();
            });
            QWidget* shown = openMenu(f, entry.toLatin1().constData(), window.toLatin1().constData());
            if (i == 0) {
                first = shown;
                first->setWindowTitle(u"marked"_s); // a fresh load would rewrite or lose this
                first->showMinimized();
            }
            QCOMPARE(shown, first.data());
        }
        QCOMPARE(dialogs, window == "frmYear"_L1 && entry != "mnuYear"_L1 ? 2 : 0);
        QCOMPARE(windows(window).size(), 1);
        QCOMPARE(first->windowTitle(), u"marked"_s);
        QVERIFY(!first->isMinimized());
        if (auto* year = qobject_cast<frmYear*>(first)) {
            QCOMPARE(year->shownYear(), 2027);
        }
        child<QAction>(f.form, "mnuExit")->trigger();
        QTRY_VERIFY(f.form.isNull());
        QVERIFY(!first.isNull() && first->isVisible());
        QVERIFY(!QFile::exists(f.dir.filePath(u"sutograf.db"_s))); // opening writes no roster
        if (window == "frmSettings"_L1) {                          // with no grid left to rebuild
            QTest::mouseClick(option(first, 2), Qt::LeftButton);
            save(first);
            QCOMPARE(f.opt(), QByteArray("2\r\n"));
        } else {
            first->close();
        }
        QTRY_VERIFY(windows().isEmpty());
    }

    // The dialog opens on the watch nearest the offset, with the focus on it; keys go wherever the focus
    // is. Save writes the three bytes over a longer file, even unchanged, and rebuilds the month the main
    // window shows at that moment; the close box stores nothing, and the next opening shows the stored watch.
    void settingsStoreTheChosenWatch_data() {
        QTest::addColumn<float>("offset");
        QTest::addColumn<int>("opensOn");
        QTest::addColumn<QString>("steps"); // keys, or a watch clicked (0..3), "Save" clicked, "Close"
        QTest::addColumn<int>("stored");    // -1: nothing
        for (int i = 0; i < 4; ++i) {
            QTest::addRow("Караул №%d saved", i + 1) << 1.0f << 1 << u"%1 Save"_s.arg(i) << i;
        }
        QTest::newRow("saved unchanged") << 1.0f << 1 << "Save" << 1;
        QTest::newRow("Караул №4 chosen, close box") << 1.0f << 1 << "3 Close" << -1;
        QTest::newRow("1.5 rounds to 2") << 1.5f << 2 << "Space Tab Space" << 2;
        QTest::newRow("2.5 rounds to even 2") << 2.5f << 2 << "Space Tab Space" << 2;
        QTest::newRow("3.5 rounds to 4, nearest is 3") << 3.5f << 3 << "Space Tab Space" << 3;
        QTest::newRow("-1 nearest is 0") << -1.0f << 0 << "Space Tab Space" << 0;
        QTest::newRow("Down picks the watch below") << 2.0f << 2 << "Down Tab Space" << 3;
        QTest::newRow("Tab from Save comes back to the choice")
            << 1.0f << 1 << "Tab Tab Right Tab Space" << 3;
    }

    void settingsStoreTheChosenWatch() {
        QFETCH(float, offset);
        QFETCH(int, opensOn);
        QFETCH(QString, steps);
        QFETCH(int, stored);
        // A first line that is no offset (4, one past the last watch): the one the run holds stays.
        FormFixture f(u"09.03.2011"_s, "4\r\nan older, longer file\r\n", kLater);
        f.start(offset);
        QPointer<QWidget> s = openMenu(f, "mnuSettings", "frmSettings");
        QVERIFY(QTest::qWaitForWindowActive(s));
        QVERIFY(option(s, opensOn)->isChecked() && option(s, opensOn)->hasFocus());
        child<QComboBox>(f.form, "ПолеСоСпискомМесяц")->setCurrentIndex(3); // April, with the dialog open
        const QStringList april = monthSeen(f);
        QSignalSpy rebuilds(f.form, &Form1::gridRebuilt);
        for (const QString& step : steps.split(u' ')) {
            if (step == "Save"_L1) {
                save(s);
            } else if (step == "Close"_L1) {
                s->close();
            } else if (step[0].isDigit()) {
                QTest::mouseClick(option(s, step.toInt()), Qt::LeftButton);
            } else {
                QTest::keyClick(QApplication::focusWidget(), QKeySequence(step)[0].key());
            }
        }
        QTRY_VERIFY(s.isNull());
        QCOMPARE(f.opt(),
                 stored < 0 ? "4\r\nan older, longer file\r\n" : QByteArray::number(stored) + "\r\n");
        QCOMPARE(f.rota->BazovyKaraul(), stored < 0 ? offset : static_cast<float>(stored));
        QCOMPARE(rebuilds.size(), stored < 0 ? 0 : 1);
        if (stored < 0) {
            QCOMPARE(monthSeen(f), april);
            QVERIFY(option(openMenu(f, "mnuSettings", "frmSettings"), 1)->isChecked());
        } else {
            verifyShows(f, 2011, 4, static_cast<float>(stored));
        }
    }

    // "Which watch is on duty today?" stores in Opt.txt what the Settings dialog stores for the watch the
    // answer puts on 01.01.2011 (counted back from the day asked about), and shows the next days in the
    // watches' turn.
    void whoIsOnDutyTodaySavesWhatSettingsWould_data() {
        QTest::addColumn<QString>("day"); // empty: today, 09.03.2011
        QTest::addColumn<int>("watch");
        for (int w = 1; w <= 4; ++w) {
            QTest::addRow("today, watch %d", w) << QString() << w;
        }
        QTest::newRow("01.01.2011 itself") << u"01.01.2011"_s << 3;
        QTest::newRow("a leap day") << u"29.02.2028"_s << 2;
        QTest::newRow("the first day of the calendar") << u"01.01.0100"_s << 4;
        QTest::newRow("the last day of the calendar") << u"31.12.9999"_s << 1;
    }

    void whoIsOnDutyTodaySavesWhatSettingsWould() {
        QFETCH(QString, day);
        QFETCH(int, watch);
        FormFixture f(u"09.03.2011"_s, "2\r\n");
        QWidget* who = openMenu(f, "mnuWhoToday", "frmWhoToday");
        const QDate d = qDate(day.isEmpty() ? u"09.03.2011"_s : day);
        child<QDateEdit>(who, "dateBox")->setDate(d);
        QTest::mouseClick(who->findChild<QWidget*>(u"watch%1"_s.arg(watch)), Qt::LeftButton);
        for (int i = 0; i < 8 && d.addDays(i).year() <= 9999; ++i) {
            const QString shown = who->findChild<QLabel*>(u"day%1"_s.arg(i))->text();
            QVERIFY2(shown.contains(u"%1 к."_s.arg((watch - 1 + i) % 4 + 1)), qPrintable(shown));
        }
        QTest::mouseClick(child(who, "saveButton"), Qt::LeftButton);
        const qint64 onFirstOf2011 = ((watch - 1 - QDate(2011, 1, 1).daysTo(d)) % 4 + 4) % 4;
        QCOMPARE(f.opt(), QByteArray::number(onFirstOf2011) + "\r\n");
    }

    // A Save that fails says so, naming the file and why, keeps the old file and the dialog open, and
    // the next Save goes through once the trouble is gone. The folder is read-only (or, where folders
    // cannot be, on Windows, Opt.txt is held open by another program), or it takes new files but lets
    // none be renamed, the save's last step. (A full disk: HostileSettings.)
    void failedSaveSaysSoAndKeepsTheOldFile_data() {
        QTest::addColumn<bool>("lastStep");
        QTest::newRow("read-only folder, or Opt.txt held open") << false;
        QTest::newRow("a folder where no file can be renamed, the last step") << true;
    }

    void failedSaveSaysSoAndKeepsTheOldFile() {
        QFETCH(bool, lastStep);
        FormFixture f(u"09.03.2011"_s, "1\r\n", kLater);
        const QString opt = QDir::toNativeSeparators(f.dir.filePath(u"Opt.txt"_s));
        f.start();
        QWidget* s = openMenu(f, "mnuSettings", "frmSettings");
        QTest::mouseClick(option(s, 3), Qt::LeftButton);
        // Append-only: files can be made and written, none renamed (root on a file system that has it).
        const auto appendOnly = [&f](bool on) {
            return QProcess::execute(u"chattr"_s, {on ? u"+a"_s : u"-a"_s, f.dir.path()}) == 0;
        };
        const auto restore = qScopeGuard([&] { lastStep&& appendOnly(false); });
        if (lastStep && !appendOnly(true)) {
            QSKIP("no append-only attribute here");
        }
        const bool readOnly = lastStep || trouble::makeReadOnly(fsPath(f.dir.path())).empty();
        std::optional<trouble::Lasting> held;
        QVERIFY(readOnly || held.emplace(trouble::heldOpen(fsPath(opt))).made());
        {
            const auto asOrdinaryUser = trouble::noRootOverride();
            save(s);
        }
        QCOMPARE(f.opt(), QByteArray("1\r\n"));
        auto* box = child<QMessageBox>(s, "saveFailed");
        QVERIFY(box != nullptr && box->isVisible());
        QVERIFY2(box->text().contains(opt) && box->text().contains(cannotWrite(readOnly)),
                 qPrintable(box->text()));
        QVERIFY(s->isVisible());    // still open, to try again
        verifyShows(f, 2011, 3, 3); // the choice holds for this run
        box->accept();
        if (lastStep) {
            QVERIFY(appendOnly(false));
        } else {
            trouble::makeWritable(fsPath(f.dir.path()));
        }
        held.reset();
        save(s);
        QCOMPARE(f.opt(), QByteArray("3\r\n"));
    }

    // Read at start without asking the image plugins: the window icon in all its sizes, and the menu
    // bar's overflow icon when first drawn, the same as the desktop style's.
    void iconsReadTheQuickWay() {
        FormFixture f;
        QCOMPARE(f.form->windowIcon().availableSizes(),
                 (QList<QSize>{{16, 16}, {32, 32}, {48, 48}, {64, 64}}));
        const StartStyle style;
        const auto overflow = QStyle::SP_ToolBarHorizontalExtensionButton;
        const QImage drawn = style.standardIcon(overflow).pixmap(16).toImage();
        QCOMPARE(drawn, style.baseStyle()->standardIcon(overflow).pixmap(16).toImage());
    }

    // The menu opens it with the build's own record (eachOpensOnceAndOutlivesTheMainWindow).
    void aboutShowsTheVersionRecord() {
        const frmAbout about;
        QCOMPARE(about.windowTitle(), u"Описание программы Сутограф"_s);
        QCOMPARE(labelText(&about, "lblVersion"), u"Версия 0.9.3"_s);
        QCOMPARE(labelText(&about, "lblAuthor"), u"Разработчик: "_s + builtVersionRecord().company);
        // A build made without a company name.
        QCOMPARE(labelText(new frmAbout({u"Сутограф"_s, 0, 9, 3, {}, {}}), "lblAuthor"), u"Разработчик: "_s);
    }

    // Settings and a calendar that cannot be read are said in the problems line, each with its file and
    // cause, a bad line with its number; the window then counts with the defaults and the program's
    // calendar.
    void yearWindowSaysWhatItCouldNotRead_data() {
        QTest::addColumn<bool>("damaged"); // else a folder for sutograf.ini, calendar.csv a link to nothing
        QTest::newRow("a folder and a link to nothing") << false;
        QTest::newRow("bytes that are no settings, a calendar with bad lines") << true;
    }

    void yearWindowSaysWhatItCouldNotRead() {
        QFETCH(bool, damaged);
        FormFixture f(u"09.03.2011"_s, "0\r\n", kLater);
        const QString ini = f.dir.filePath(u"sutograf.ini"_s), csv = f.dir.filePath(u"calendar.csv"_s);
        if (damaged) {
            // Line 3 quotes markup whose comment would hide the rest of the message if it were read as such.
            QVERIFY(writeFile(ini, QByteArray("\xFF\0junk\n[duty]\nstart=24:00\n", 27)) &&
                    writeFile(csv, "date,kind,note\n2028-13-01,holiday,\n<b>2026</b><!--,holiday\n"));
        } else {
            QVERIFY(QDir().mkdir(ini));
            if (const std::string why = trouble::makeLink(fsPath(f.dir.filePath(u"gone.csv"_s)), fsPath(csv));
                !why.empty()) {
                QSKIP(why.c_str());
            }
        }
        f.start();
        frmYear* year = openYear(f);
        const QString problems = shownText(child(year, "problemsLine"));
        for (const QString& part :
             damaged
                 ? QStringList{QDir::toNativeSeparators(csv), u"строка 2"_s,
                               u"строка 3: неверная дата \"<b>2026</b><!--\""_s,
                               u"за 2028 год взят календарь программы"_s, QDir::toNativeSeparators(ini)}
                 : QStringList{
                       u"«%1» не прочитан: на месте файла стоит папка"_s.arg(QDir::toNativeSeparators(ini)),
                       u"«%1»: это ссылка на файл, которого нет"_s.arg(QDir::toNativeSeparators(csv))}) {
            QVERIFY2(problems.contains(part), qPrintable(problems));
        }
        QCOMPARE(child<QTimeEdit>(year, "startBox")->time(), QTime(8, 0));
        child<QSpinBox>(year, "yearBox")->setValue(2026);
        QCOMPARE(year->hours().hours(kYearRow).normMinutes, 1972 * 60);
    }

    // The figures are the core's for what is chosen, and the choices are kept in sutograf.ini.
    void yearWindow() {
        FormFixture f(u"09.03.2011"_s, "2\r\n");
        frmYear* year = openYear(f);
        child<QSpinBox>(year, "yearBox")->setValue(2025);
        QTest::mouseClick(child(year, "watch3"), Qt::LeftButton);
        child<QTimeEdit>(year, "startBox")->setTime(QTime(9, 0));
        child<QSpinBox>(year, "hoursBox")->setValue(22 * 60 + 30);
        child<QCheckBox>(year, "wholeDutyBox")->setChecked(true);
        child<QComboBox>(year, "reminderBox")->setCurrentIndex(1);
        const DutyRules rules{9 * 60, 22 * 60 + 30, true};
        const auto expected = yearTable(3, 2025, 2.0f, ProductionCalendar::builtIn(), rules);
        for (int row = 0; row < static_cast<int>(kYearTableRows); ++row) {
            QVERIFY2(year->hours().hours(row) == expected[static_cast<std::size_t>(row)],
                     qPrintable(YearHoursModel::rowName(row)));
        }
        QVERIFY(labelText(year, "sourceLine").contains(u"по производственному календарю 2025 года"_s));
        UserChoices chosen;
        chosen.duty = rules;
        chosen.yearWatch = 3;
        chosen.reminder = Reminder::EveningBefore;
        QCOMPARE(SutografIni(SettingsPlace(f.dir.path())).choices(), chosen);
    }

    // A file that cannot be written: a message naming it and why, and the folder left as it was. The
    // folder is read-only, or where folders cannot be (Windows), the files are held open by another
    // program.
    void yearFileThatCannotBeWrittenIsSaid() {
        FormFixture f;
        frmYear* year = openYear(f);
        const QString locked = QDir::toNativeSeparators(f.dir.filePath(u"locked"_s));
        QVERIFY(QDir().mkdir(locked));
        const bool readOnly = trouble::makeReadOnly(fsPath(locked)).empty();
        const auto asOrdinaryUser = trouble::noRootOverride();
        for (const QString& name : {u"year.pdf"_s, u"year.ics"_s}) {
            const QString path = locked + QDir::separator() + name;
            QVERIFY(readOnly || writeFile(path, "old"));
            const auto held = readOnly ? trouble::Lasting({}) : trouble::heldOpen(fsPath(path));
            QVERIFY2(held.made(), held.why().c_str());
            QVERIFY(!(name.endsWith(u".pdf"_s) ? year->writePdf(path) : year->writeCalendar(path)));
            const QString text = year->findChildren<QMessageBox*>(u"saveFailed"_s).last()->text();
            QVERIFY2(text.contains(path) && text.contains(cannotWrite(readOnly)), qPrintable(text));
        }
        trouble::makeWritable(fsPath(locked));
        QCOMPARE(QDir(locked).entryList(QDir::Files | QDir::Hidden),
                 readOnly ? QStringList() : QStringList({u"year.ics"_s, u"year.pdf"_s}));
    }

    // A watch's year as a user sees it, day by day: its duties filled with its colour, the holidays
    // green, today framed, each day's tooltip naming the date and the watch on duty, and the line above
    // naming today's watch. A watch saved in the settings while the window is open is drawn at once.
    void yearWindowShowsTheRota_data() {
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("watch");
        QTest::addColumn<int>("saved"); // the offset then saved in the settings; -1: none
        QTest::newRow("2011, the third watch, today framed") << 2011 << 3 << -1;
        QTest::newRow("2028, a leap year past the shipped calendar") << 2028 << 4 << -1;
        QTest::newRow("another first watch saved in the settings meanwhile") << 2011 << 1 << 2;
    }

    void yearWindowShowsTheRota() {
        QFETCH(int, year);
        QFETCH(int, watch);
        QFETCH(int, saved);
        FormFixture f(u"09.03.2011"_s, "1\r\n");
        child<QLineEdit>(f.form, "ПолеГод")->setText(QString::number(year));
        frmYear* y = openYear(f);
        QTest::mouseClick(y->findChild<QWidget*>(u"watch%1"_s.arg(watch)), Qt::LeftButton);
        if (saved >= 0) {
            QWidget* settings = openMenu(f, "mnuSettings", "frmSettings");
            QTest::mouseClick(option(settings, saved), Qt::LeftButton);
            save(settings);
        }
        const float offset = saved >= 0 ? float(saved) : 1.0f;
        const QDate today(2011, 3, 9);
        QCOMPARE(labelText(y, "todayLine"),
                 u"Сегодня 09.03.2011 дежурит %1 караул"_s.arg(expectedWatch(today, offset)));
        QCOMPARE(yearSeen(y, [watch](QDate) { return watch; }),
                 yearExpected(year, offset, today,
                              [&](QDate d) { return int(expectedWatch(d, offset) == watch); }));
    }

    // A typed value counts as soon as it is a whole one, without Enter and without a count for the
    // values on the way; one that a further key could still change counts after a pause.
    void typedValuesCountAtOnce_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("counted"); // the box's value in the end: 2011 and 24 hours, unless typed
        QTest::addColumn<bool>("pause");  // counted only after a pause
        QTest::newRow("2030 at once, not 203 on the way") << u"yearBox"_s << u"2030"_s << 2030 << false;
        QTest::newRow("the year 203 after a pause") << u"yearBox"_s << u"203"_s << 203 << true;
        QTest::newRow("20 is no year of the calendar") << u"yearBox"_s << u"20"_s << 2011 << true;
        QTest::newRow("23:30 hours at once") << u"hoursBox"_s << u"23:30"_s << 23 * 60 + 30 << false;
        QTest::newRow("22 hours after a pause") << u"hoursBox"_s << u"22"_s << 22 * 60 << true;
        QTest::newRow("half an hour is too little") << u"hoursBox"_s << u"0:30"_s << 24 * 60 << true;
        QTest::newRow("the year's arrow steps a year") << u"yearBox"_s << u"^"_s << 2012 << false;
        QTest::newRow("the hours' arrow steps half an hour")
            << u"hoursBox"_s << u"v"_s << 23 * 60 + 30 << false;
    }

    void typedValuesCountAtOnce() {
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(int, counted);
        QFETCH(bool, pause);
        FormFixture f;
        frmYear* year = openYear(f);
        auto* spin = year->findChild<QAbstractSpinBox*>(box);
        const int before = spin->property("value").toInt();
        spin->selectAll();
        QSignalSpy recounts(const_cast<YearHoursModel*>(&year->hours()), &QAbstractItemModel::dataChanged);
        if (typed == "^"_L1 || typed == "v"_L1) {
            QTest::keyClick(spin, typed == "^"_L1 ? Qt::Key_Up : Qt::Key_Down);
        } else {
            QTest::keyClicks(spin, typed);
        }
        QCOMPARE(spin->property("value").toInt(), pause ? before : counted);
        QCOMPARE(recounts.size(), !pause && counted != before ? 1 : 0);
        if (pause) { // the box's pause timer, not a time of the test's own: a busy machine only delays it
            const auto* pauseTimer = spin->findChild<QTimer*>(QString(), Qt::FindDirectChildrenOnly);
            QCOMPARE(pauseTimer->interval(), kTypingPauseMs);
            QTRY_VERIFY_WITH_TIMEOUT(!pauseTimer->isActive(), 10 * kTypingPauseMs);
            QCOMPARE(spin->property("value").toInt(), counted);
            QCOMPARE(recounts.size(), counted != before ? 1 : 0);
        }
    }

    // The watches are one stop: the arrows move among them without choosing, Space chooses, Tab leaves
    // from any of them. Tab goes top left to bottom right, each stop in sight (a time box's hours and
    // minutes are two). The window's keys work from the year box and are written on its buttons and the
    // main window's menu. From the year box, the first watch chosen: what each key leads to.
    void keyboard_data() {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("seen"); // the focus, the dialog that opened, or "closed"; | between
        QTest::addColumn<int>("chosen");
        QTest::newRow("arrows move, Space chooses")
            << u"Tab Right Down Space"_s << u"watch1|watch2|watch3|watch3"_s << 3;
        QTest::newRow("Left goes round") << u"Tab Left Space"_s << u"watch1|watch4|watch4"_s << 4;
        QTest::newRow("Tab leaves from any") << u"Tab Right Tab"_s << u"watch1|watch2|personBox"_s << 1;
        QTest::newRow("Shift+Tab too")
            << u"Tab Right Right Shift+Tab"_s << u"watch1|watch2|watch3|yearBox"_s << 1;
        QTest::newRow("the new choice is the stop")
            << u"Tab Up Space Tab Shift+Tab"_s << u"watch1|watch4|watch4|personBox|watch4"_s << 4;
        QTest::newRow("Tab round the window")
            << QStringList(17, u"Tab"_s).join(u' ')
            << u"watch1|personBox|startBox|startBox|hoursBox|wholeDutyBox|reminderBox|periodBox|reductionBox|"
               "holidayBox|unitBox|printButton|pdfButton|icsButton|rotaPrintButton|rotaPdfButton|yearBox"_s
            << 1;
        QTest::newRow("Ctrl+P prints, Ctrl+S saves the PDF, Ctrl+E exports, Esc closes")
            << u"Ctrl+P Ctrl+S Ctrl+E Esc"_s
            << u"QPrintDialog|QFileDialog Сохранить PDF|QFileDialog Экспорт в календарь|closed"_s << 1;
    }

    void keyboard() {
        QFETCH(QString, keys);
        QFETCH(QString, seen);
        QFETCH(int, chosen);
        if (keys.contains(u"Ctrl+P"_s) && printDialogIsTheSystems()) {
            QSKIP("Windows prints through a dialog of its own, which no test can turn down");
        }
        FormFixture f;
        QPointer<frmYear> year = openYear(f);
        QVERIFY(QTest::qWaitForWindowActive(year));
        year->setPrinterLookup([] { return QStringList{u"Принтер станции"_s}; });
        for (const auto& [button, entry, shortcut] : {std::tuple{"printButton", "mnuPrintYear", "Ctrl+P"},
                                                      {"pdfButton", "", "Ctrl+S"},
                                                      {"icsButton", "mnuExportYear", "Ctrl+E"}}) {
            QVERIFY(child<QPushButton>(year, button)->text().endsWith(QLatin1String(shortcut)));
            QVERIFY(!*entry ||
                    child<QAction>(f.form, entry)->shortcut() == QKeySequence(QLatin1String(shortcut)));
        }
        child(year, "yearBox")->setFocus();
        QStringList led;
        QString opened;
        for (const QString& key : keys.split(u' ')) {
            if (!year->isActiveWindow()) { // back from a dialog, as a user clicks into the window
                year->activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(year));
            }
            opened.clear();
            whenDialogShows([&opened](QDialog* d) {
                opened = QString::fromLatin1(d->metaObject()->className()) + u' ' + d->windowTitle();
                d->reject();
            });
            QTest::keyClick(QApplication::focusWidget(), QKeySequence(key)[0].key(),
                            QKeySequence(key)[0].keyboardModifiers());
            led << (!opened.isEmpty()                          ? opened.section(u" Print"_s, 0, 0)
                    : year.isNull() || !year->isVisible()      ? u"closed"_s
                    : QApplication::focusWidget()->isVisible() ? focusName()
                                                               : u"a hidden stop"_s);
        }
        QCOMPARE(led.join(u'|'), seen);
        QTRY_VERIFY(seen.endsWith(u"closed"_s) ? year.isNull() : year->shownWatch() == chosen);
    }

    // sutograf.ini keeps where each window was, and where the year's last PDF and .ics went; a place that
    // no longer fits the screen is brought onto it, whole.
    void keptAcrossAReopen_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("kept"); // the year window's geometry in sutograf.ini before it opens
        QTest::addColumn<QRect>("placed"); // frame's top-left and client size at the second opening
        QTest::newRow("where it was closed") << u"frmYear"_s << "" << QRect(60, 30, 1250, 690);
        QTest::newRow("larger than the screen")
            << u"frmYear"_s << "500,300,3000,2000" << QRect(0, 0, 1350, 728);
        QTest::newRow("on a screen no longer there")
            << u"frmYear"_s << "-3000,200,1250,690" << QRect(0, 38, 1250, 690);
        QTest::newRow("«Личный состав» where it was closed")
            << u"frmRoster"_s << "" << QRect(40, 30, 900, 500);
        QTest::newRow("«Табель» where it was closed") << u"frmTimesheet"_s << "" << QRect(40, 30, 1100, 600);
    }

    void keptAcrossAReopen() {
        QFETCH(QString, window);
        QFETCH(QString, kept);
        QFETCH(QRect, placed);
        FormFixture f(u"09.03.2011"_s, "0\r\n", kLater);
        const QByteArray ini = kept.isEmpty() ? QByteArray() : "[yearWindow]\ngeometry=" + kept.toLatin1();
        QVERIFY(writeFile(f.dir.filePath(u"sutograf.ini"_s), ini));
        f.start();
        const QByteArray entry = window == "frmYear"_L1     ? "mnuYear"
                                 : window == "frmRoster"_L1 ? "mnuRoster"
                                                            : "mnuTimesheet";
        QPointer<QWidget> w = openMenu(f, entry.constData(), window.toLatin1().constData());
        if (kept.isEmpty()) {
            w->resize(placed.size());
            w->move(placed.topLeft());
        }
        for (const QString& kind : {u"pdf"_s, u"ics"_s}) {
            const QString path = f.dir.filePath(kind + u"/year."_s + kind);
            auto* year = qobject_cast<frmYear*>(w);
            QVERIFY(!year || (QDir(f.dir.path()).mkdir(kind) &&
                              (kind == "pdf"_L1 ? year->writePdf(path) : year->writeCalendar(path))));
        }
        w->close();
        QTRY_VERIFY(w.isNull());
        w = openMenu(f, entry.constData(), window.toLatin1().constData());
        QCOMPARE(QRect(w->pos(), w->size()), placed);
        auto* year = qobject_cast<frmYear*>(w);
        for (const QString& kind : {u"pdf"_s, u"ics"_s}) { // the file dialogs open there
            QString shown;
            whenDialogShows([&shown](QDialog* d) {
                shown = static_cast<QFileDialog*>(d)->directory().path();
                d->reject();
            });
            if (year) {
                kind == "pdf"_L1 ? year->savePdf() : year->exportCalendar();
                QCOMPARE(shown, f.dir.filePath(kind));
            }
        }
    }

    // Under summed accounting a month over its norm is no overtime: an accounting period's balance is,
    // on the row where the period ends, red when it holds overtime; ± is never red; the year's overtime
    // beyond 120 hours is named. The third watch of 2027; the choice is kept in sutograf.ini.
    void periodBalanceRedOnlyAtThePeriodsEnd_data() {
        QTest::addColumn<int>("period"); // AccountingPeriod
        QTest::addColumn<bool>("holidaysLeftOut");
        QTest::addColumn<QList<int>>("ends"); // the rows where the periods end
        const QList<int> months{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
        QTest::newRow("a year: its balance alone") << int(AccountingPeriod::Year) << true << QList<int>{16};
        QTest::newRow("a year, holiday hours in overtime: beyond 120 named")
            << int(AccountingPeriod::Year) << false << QList<int>{16};
        QTest::newRow("months: one over by holiday hours alone is not red")
            << int(AccountingPeriod::Month) << true << months;
        QTest::newRow("months, holiday hours in overtime") << int(AccountingPeriod::Month) << false << months;
        QTest::newRow("quarters") << int(AccountingPeriod::Quarter) << true << QList<int>{12, 13, 14, 15};
        QTest::newRow("half-years on the II and IV quarter rows")
            << int(AccountingPeriod::HalfYear) << true << QList<int>{13, 15};
    }

    void periodBalanceRedOnlyAtThePeriodsEnd() {
        QFETCH(int, period);
        QFETCH(bool, holidaysLeftOut);
        QFETCH(QList<int>, ends);
        FormFixture f(u"09.03.2027"_s);
        frmYear* year = openYear(f);
        QTest::mouseClick(child(year, "watch3"), Qt::LeftButton);
        child<QComboBox>(year, "periodBox")->setCurrentIndex(period);
        child<QCheckBox>(year, "holidayBox")->setChecked(holidaysLeftOut);
        auto* table = child<QTableView>(year, "hoursTable");
        const QImage drawn = table->viewport()->grab().toImage();
        const ProductionCalendar& calendar = ProductionCalendar::builtIn();
        int yearOvertime = 0;
        Date start = *dateOf(2027, 1, 1);
        for (int row = 0; row < int(kYearTableRows); ++row) {
            QString balance;
            int overtime = 0;
            if (ends.contains(row)) {
                const Date last = rowPeriod(2027, std::size_t(row)).last;
                const Hours h = hoursOf(3, start, last, 0, calendar, {});
                const int b = h.workedMinutes - calendar.normMinutes(start, last);
                balance = QString::fromStdString(balanceText(b));
                overtime = std::max(0, b - (holidaysLeftOut ? h.holidayMinutes : 0));
                yearOvertime += overtime;
                start = Date{last.serial + 1};
            }
            QCOMPARE(year->hours().text(row, YearHoursModel::PeriodBalance), balance);
            QCOMPARE(redPixels(table, drawn, row, YearHoursModel::PeriodBalance) > 20, overtime > 0);
            QCOMPARE(redPixels(table, drawn, row, YearHoursModel::Balance), 0);
        }
        const QString line = labelText(year, "overtimeLine");
        QVERIFY2(line.contains(u": %1 ч"_s.arg(QString::fromStdString(hoursText(yearOvertime)))),
                 qPrintable(line));
        QCOMPARE(line.contains(u"больше 120 ч"_s), yearOvertime > 120 * 60);
        QVERIFY(SutografIni(SettingsPlace(f.dir.path())).choices().accounting ==
                (AccountingChoices{AccountingPeriod(period), NormReduction::WorkingDays, holidaysLeftOut}));
    }

    // Both sheets for the board: one A4 landscape page holding the unit's name, the approval block and
    // every label whole, as a black and white printer prints it: no ruled line runs through a word, no
    // word runs into another or off the paper. On the four watches' sheet (a leap year), each day in its
    // month's row and its day's column holds the number of the watch on duty, and no day that does not
    // exist (30 February) holds one.
    void boardSheetsReadWholeOnPaper_data() {
        QTest::addColumn<bool>("allWatches");
        QTest::newRow("one watch's year with its hours") << false;
        QTest::newRow("the four watches' year, each day's watch") << true;
    }

    void boardSheetsReadWholeOnPaper() {
        QFETCH(bool, allWatches);
        const QString unit = u"ПСЧ № 12 ФГКУ «3 отряд ФПС по Тестовой области»"_s;
        const ProductionCalendar& calendar = ProductionCalendar::builtIn();
        YearHoursModel hours;
        const auto rows = yearTable(3, 2027, 0.0f, calendar, DutyRules{});
        hours.setRows(rows, watchPeriods(3, 2027, 0.0f, calendar, {}, {}));
        const QString title = allWatches ? rotaPageTitle(2028) : u"График дежурств на 2027 год — 3 караул"_s;
        const auto pdf = allWatches
                             ? rotaPagePdf({2028, 2.0f, &calendar, unit})
                             : yearPagePdf({title, YearSheet(2027, 3, 0.0f, std::nullopt, calendar), &hours,
                                            u"Заступление в 08:00"_s, u"Норма: предварительно"_s, unit});
        QTemporaryDir dir;
        const QString path = dir.filePath(u"sheet.pdf"_s);
        QVERIFY(writeFile(path, pdf.value_or(QByteArray())));
        if (!canReadPdf()) {
            QSKIP("nothing here reads a PDF back");
        }
        const QString text = (run(u"pdfinfo"_s, {path}) + run(u"pdftotext"_s, {path, u"-"_s})).simplified();
        QStringList wanted{u"Pages: 1"_s,  u"842 x 595 pts (A4)"_s, unit,           title,
                           u"УТВЕРЖДАЮ"_s, u"(должность)"_s,        u"(подпись)"_s, u"(инициалы, фамилия)"_s};
        for (int r = 0; r < (allWatches ? 12 : hours.rowCount()); ++r) { // the months, quarters, year
            wanted << YearHoursModel::rowName(r);
        }
        for (int c = 0; c < hours.columnCount() && !allWatches; ++c) {
            wanted << hours.columnName(c);
        }
        for (const QString& w : wanted) {
            QVERIFY2(text.contains(w), qPrintable(w));
        }
        const QList<Word> words = wordsOf(path);
        QVERIFY(words.size() > 300);
        const QStringList crossed = crossedByLines(greyPage(path), words), crowd = crowded(words);
        QVERIFY2(crossed.isEmpty(), qPrintable(u"cut by a line: "_s + crossed.join(u", "_s)));
        QVERIFY2(crowd.isEmpty(), qPrintable(crowd.join(u", "_s)));
        if (!allWatches) {
            return;
        }
        // The rows by the months' names, the columns by the days' numbers above January.
        QList<double> rowY(13), columnX(32);
        for (const Word& w : words) {
            for (int m = 1; m <= 12; ++m) {
                rowY[m] = w.text == monthName(m) ? w.box.center().y() : rowY[m];
            }
        }
        for (const Word& w : words) {
            if (const int day = w.text.toInt(); day > 0 && day <= 31 && w.box.bottom() < rowY[1] - 10) {
                columnX[day] = w.box.center().x();
            }
        }
        const double columnW = columnX[2] - columnX[1], rowH = rowY[2] - rowY[1];
        QVERIFY(columnW > 10 && rowH > 10);
        QStringList wrong;
        for (int m = 1; m <= 12; ++m) {
            for (int day = 1; day <= 31; ++day) {
                QStringList inCell;
                for (const Word& w : words) {
                    if (qAbs(w.box.center().x() - columnX[day]) < columnW / 2 &&
                        qAbs(w.box.center().y() - rowY[m]) < rowH / 2 && w.text.toInt() > 0) {
                        inCell << w.text;
                    }
                }
                const QDate date(2028, m, day);
                const QString expected = date.isValid() ? QString::number(expectedWatch(date, 2)) : QString();
                if (inCell.join(u' ') != expected) {
                    wrong << u"%1.%2: \"%3\", not \"%4\""_s.arg(day).arg(m).arg(inCell.join(u' '), expected);
                }
            }
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(u"; "_s)));
    }

    // A person's year as the core counts it: each row's figures, each accounting period's balance and
    // overtime, the footnote naming how the norm is reduced and the period; and every day of the months,
    // by its pixels where the layout puts it, filled, crossed out, hatched or plain as personDays says.
    void personsYearIsTheCores_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("period");    // AccountingPeriod
        QTest::addColumn<int>("reduction"); // NormReduction
        QTest::newRow("sick days inside a leave, by the year")
            << u"Алексеев"_s << int(AccountingPeriod::Year) << int(NormReduction::WorkingDays);
        QTest::newRow("a duty given and one taken, by quarters")
            << u"Борисов"_s << int(AccountingPeriod::Quarter) << int(NormReduction::WorkingDays);
        QTest::newRow("the other side of both swaps, by months, the schedule's reduction")
            << u"Васильев"_s << int(AccountingPeriod::Month) << int(NormReduction::ScheduledDuties);
        QTest::newRow("moved to another watch in June, 36-hour week, training, by half-years")
            << u"Григорьев"_s << int(AccountingPeriod::HalfYear) << int(NormReduction::ScheduledDuties);
    }

    void personsYearIsTheCores() {
        QFETCH(QString, name);
        QFETCH(int, period);
        QFETCH(int, reduction);
        FormFixture f(u"09.03.2025"_s, "0\r\n", kLater);
        const QMap<QString, PersonId> ids = storeRoster(f.dir.path());
        QVERIFY(!ids.isEmpty());
        f.start();
        frmYear* year = openYear(f);
        child<QComboBox>(year, "periodBox")->setCurrentIndex(period);
        child<QComboBox>(year, "reductionBox")->setCurrentIndex(reduction);
        choosePerson(year, name);
        QCOMPARE(year->shownPerson(), ids[name]);

        const Roster& roster = RosterSource::of(*f.rota).roster();
        const PersonRecord& who = *roster.find(ids[name]);
        const auto method = NormReduction(reduction);
        const QString footnote = shownText(child(year, "sourceLine"));
        for (const QString& part :
             {u"своя — при %1-часовой неделе"_s.arg(who.person.weeklyHours),
              method == NormReduction::WorkingDays ? u"по рабочим дням"_s : u"на смены графика"_s,
              u"учётный период — %1"_s.arg(
                  QStringList{u"месяц"_s, u"квартал"_s, u"полугодие"_s, u"год"_s}[period])}) {
            QVERIFY2(footnote.contains(part), qPrintable(footnote));
        }

        const auto days = personDays(who, roster.swaps, *dateOf(2025, 1, 1), *dateOf(2025, 12, 31), 0);
        const auto on = [&days](QDate d) { return days[std::size_t(d.dayOfYear() - 1)]; };
        QCOMPARE(yearSeen(year, [&](QDate d) { return on(d).watch; }),
                 yearExpected(2025, 0, QDate(2025, 3, 9),
                              [&](QDate d) { return year_cells::expectedLook(on(d)); }));
    }

    // The person chosen is kept in sutograf.ini, beside what another window kept there meanwhile, their
    // year is the one printed, and the list follows the roster. One who is gone leaves their watch's year in
    // sight, said in the status line.
    void personKeptAndFallsBackToTheWatch() {
        FormFixture f(u"09.03.2025"_s, "0\r\n", kLater);
        const QMap<QString, PersonId> ids = storeRoster(f.dir.path());
        f.start();
        QPointer<frmYear> year = openYear(f);
        const QRect timesheetPlace(10, 20, 900, 500); // kept by another window meanwhile
        SutografIni::update(SettingsPlace(f.dir.path()),
                            [&](UserChoices& c) { c.timesheetWindow.geometry = timesheetPlace; });
        choosePerson(year, u"Бор"_s);
        QCOMPARE(SutografIni(SettingsPlace(f.dir.path())).choices().yearPerson, ids[u"Борисов"_s]);
        QCOMPARE(SutografIni(SettingsPlace(f.dir.path())).choices().timesheetWindow.geometry, timesheetPlace);
        QCOMPARE(year->shownWatch(), 2);
        const QString pdf = f.dir.filePath(u"person.pdf"_s); // the sheet follows the choice
        QVERIFY(year->writePdf(pdf));
        QVERIFY(!canReadPdf() ||
                run(u"pdftotext"_s, {pdf, u"-"_s}).contains(u"График дежурств на 2025 год — Борисов"_s));
        RosterSource& roster = RosterSource::of(*f.rota);
        const PersonRecord newcomer{{0, "Дмитриев", {}, 40}, {{*dateOf(2025, 3, 1), 3}}, {}};
        QVERIFY(roster.edit([&](RosterStore& s) { return s.addPerson(newcomer); }));
        QVERIFY(child<QComboBox>(year, "personBox")->findText(u"Дмитриев"_s) > 0);
        year->close();
        QTRY_VERIFY(year.isNull());
        QVERIFY(roster.edit([&](RosterStore& s) { return s.removePerson(ids[u"Борисов"_s]); }));
        year = openYear(f);
        QCOMPARE(year->shownPerson(), 0);
        QCOMPARE(year->shownWatch(), 2);
        QVERIFY(labelText(year, "statusLine").contains(u"нет в личном составе"_s));
        QVERIFY(!year->hours().isPersons()); // the watch's table
    }

    // Printing without a printer says so and offers the PDF, never Qt's print dialog (which would offer
    // nothing but a file in the home folder); the PDF taken is the sheet asked for. With a printer, the
    // print dialog.
    void printingWithoutAPrinterOffersThePdf_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QStringList>("printers");
        QTest::addColumn<QString>("dialogs"); // as they come, by class and name
        QTest::addColumn<QString>("title");   // of the PDF saved
        const QString offer = u"QMessageBox noPrinters, QFileDialog QFileDialog"_s;
        QTest::newRow("no printer: the watch's year")
            << u"mnuPrintYear"_s << QStringList() << offer << u"График дежурств на 2027 год — 1 караул"_s;
        QTest::newRow("no printer: the four watches")
            << u"mnuPrintRota"_s << QStringList() << offer << rotaPageTitle(2027);
        QTest::newRow("a printer: the print dialog")
            << u"mnuPrintRota"_s << QStringList{u"Кабинет"_s} << u"QPrintDialog "_s << QString();
    }

    void printingWithoutAPrinterOffersThePdf() {
        QFETCH(QString, entry);
        QFETCH(QStringList, printers);
        QFETCH(QString, dialogs);
        QFETCH(QString, title);
        if (!printers.isEmpty() && printDialogIsTheSystems()) {
            QSKIP("Windows prints through a dialog of its own, which no test can turn down");
        }
        FormFixture f;
        child<QLineEdit>(f.form, "ПолеГод")->setText(u"2027"_s);
        auto* year = qobject_cast<frmYear*>(openMenu(f, "mnuYear", "frmYear"));
        year->setPrinterLookup([printers] { return printers; });
        const QString pdf = f.dir.filePath(u"sheet.pdf"_s);
        QString offer;
        QStringList seen;
        QPointer<QWidget> last, waiting;
        int waited = 0;
        QTimer answers;
        connect(&answers, &QTimer::timeout, [&] {
            // Answered once it is the active window, as a user's keys reach it: until its name box has
            // the focus, a name typed there leaves a file of the offered name selected where the
            // dialog's folder holds one, and that file is the one saved over. Where windows are never
            // made active (Wine without a window manager), after half a second.
            QWidget* dialog = QApplication::activeModalWidget();
            if (dialog != waiting) {
                waiting = dialog;
                waited = 0;
            }
            if (dialog == nullptr || dialog == last || (!dialog->isActiveWindow() && ++waited < 50)) {
                return;
            }
            last = dialog;
            seen << u"%1 %2"_s.arg(QString::fromLatin1(dialog->metaObject()->className()),
                                   dialog->objectName());
            if (auto* box = qobject_cast<QMessageBox*>(dialog)) {
                offer = box->text() + u' ' + box->informativeText();
                QTest::mouseClick(child<QPushButton>(box, "savePdf"), Qt::LeftButton);
            } else if (auto* files = qobject_cast<QFileDialog*>(dialog)) {
                // Typed over the name offered: selectFile leaves the offer as it is in a focused box.
                // Windows' paths go through selectFile, which takes them whole.
                if (printDialogIsTheSystems()) {
                    files->selectFile(pdf);
                } else {
                    child<QLineEdit>(files, "fileNameEdit")->setText(pdf);
                }
                static_cast<QDialog*>(files)->accept();
            } else {
                static_cast<QDialog*>(dialog)->reject();
            }
        });
        answers.start(10);
        child<QAction>(f.form, entry.toLatin1().constData())->trigger();
        QTRY_COMPARE(seen.join(u", "_s), dialogs);
        QVERIFY2(offer.contains(u"Принтеры не найдены"_s) == printers.isEmpty(), qPrintable(offer));
        if (!canReadPdf()) {
            QVERIFY(QFileInfo(pdf).size() > 0 || title.isEmpty());
            QSKIP("nothing here reads a PDF back");
        }
        QVERIFY(run(u"pdftotext"_s, {pdf, u"-"_s}).contains(title));
    }
};

QTEST_MAIN(WindowsTest)
#include "windows_test.moc"
