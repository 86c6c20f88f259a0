// The windows as a user meets them, offscreen: the main window with its grid, and the windows it
// opens (the settings, the About dialog, the year window).
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimeEdit>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <optional>

#include "bazovy_karaul.h"
#include "common/no_root_override.h"
#include "common/small_disk.h"
#include "day_cell.h"
#include "form1.h"
#include "frm_about.h"
#include "frm_year.h"
#include "rota.h"
#include "up_down.h"

using namespace sutograf;
using namespace Qt::StringLiterals;

namespace {

Date dmy(const char* text) { return dateFromText(text).value(); }

// A clock reading from "dd.mm.yyyy hh:mm:ss.zzz", or "dd.mm.yyyy" at noon.
LocalTime at(const QString& text) {
    const QTime time = text.size() > 10 ? QTime::fromString(text.mid(11), u"hh:mm:ss.zzz"_s) : QTime(12, 0);
    return {dmy(qPrintable(text.left(10))), time.msecsSinceStartOfDay()};
}

// Types text key by key, Cyrillic included (QTest::keyClicks takes ASCII only).
void typeText(QWidget* w, const QString& text) {
    for (const QChar ch : text) {
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
}

// A main window started at a time of the test's choosing, with its own Opt.txt.
class FormFixture {
public:
    explicit FormFixture(const char* now = "09.03.2011", const QByteArray& optTxt = "0\r\n") {
        setNow(QString::fromLatin1(now));
        if (!optTxt.isNull()) {
            QFile f(dir.filePath(u"Opt.txt"_s));
            if (f.open(QIODevice::WriteOnly)) {
                f.write(optTxt);
            }
        }
    }
    ~FormFixture() { delete form.data(); }

    Form1* start() {
        BazovyKaraul = 0.0f; // as at process start
        form = new Form1([this] { return read(); }, dir.path());
        return form;
    }

    // What the clock reads from now on: readings separated by ';' come one after another, the last stays.
    void setNow(const QString& text) {
        readings.clear();
        for (const QString& reading : text.split(u';')) {
            readings << at(reading);
        }
    }

    template <class T = QWidget> T* control(const char* name, int index = -1) const {
        for (T* c : form->findChildren<T*>(QString::fromUtf8(name))) {
            if (index < 0 || c->property("Index").toInt() == index) {
                return c;
            }
        }
        return nullptr;
    }
    DayCell* cell(int k) const { return control<DayCell>("Надпись0", k); }

    QTemporaryDir dir;
    QPointer<Form1> form;

private:
    LocalTime read() { return readings.size() > 1 ? readings.takeFirst() : readings.first(); }

    QList<LocalTime> readings;
};

// What a user can see of the grid: each cell's text, colour and tooltip, and where the frame is.
QStringList lookOf(const FormFixture& f) {
    QStringList look;
    for (int k = 0; k < 56; ++k) {
        look << u"%1 %2 %3"_s.arg(f.cell(k)->caption()).arg(f.cell(k)->foreColor()).arg(f.cell(k)->toolTip());
    }
    const QWidget* ramka = f.control("Ramka");
    look << (ramka->isVisibleTo(f.form) ? u"frame at %1,%2"_s.arg(ramka->x()).arg(ramka->y())
                                        : u"no frame"_s);
    return look;
}

// The grid the window shows must be the core's grid for that month, cell by cell, the frame on
// today's cell or hidden, and its Tag "0" between rebuilds.
void verifyShows(const FormFixture& f, float year, int month, float offset, Date today) {
    const auto grid = Setka_Raschet(year, static_cast<float>(month), offset, today);
    QVERIFY(grid.has_value());
    QStringList expected;
    for (const YacheykaSetki& c : grid->cells) {
        expected << u"%1 %2 %3"_s.arg(QString::fromUtf8(c.dayText))
                        .arg(c.colour.value())
                        .arg(QString::fromUtf8(std::string_view(c.tooltip.value())));
    }
    const QPoint frame = grid->todayCell ? f.cell(*grid->todayCell)->pos() : QPoint();
    expected << (grid->todayCell ? u"frame at %1,%2"_s.arg(frame.x()).arg(frame.y()) : u"no frame"_s);
    QCOMPARE(lookOf(f), expected);
    QCOMPARE(f.control("Ramka")->property("Tag").toString(), u"0"_s);
}

// The visible top-level windows called name, or all of them.
QList<QWidget*> windows(const char* name = nullptr) {
    QList<QWidget*> found;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && (name == nullptr || w->objectName() == QLatin1String(name))) {
            found << w;
        }
    }
    return found;
}

QWidget* openMenu(const FormFixture& f, const char* entry, const char* window) {
    f.form->findChild<QAction*>(QString::fromLatin1(entry))->trigger();
    return windows(window).value(0);
}

QRadioButton* option(QWidget* settings, int index) {
    return settings->findChildren<QRadioButton*>(u"Option1"_s).value(index);
}

int selectedOption(QWidget* settings) {
    const auto options = settings->findChildren<QRadioButton*>(u"Option1"_s);
    return static_cast<int>(
        std::find_if(options.begin(), options.end(), [](auto* o) { return o->isChecked(); }) -
        options.begin());
}

QByteArray optTxt(const FormFixture& f) {
    QFile file(f.dir.filePath(u"Opt.txt"_s));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void save(QWidget* settings) {
    QTest::mouseClick(settings->findChild<QPushButton*>(u"Command1"_s), Qt::LeftButton);
}
QString labelText(const QWidget* w, const char* name) {
    return w->findChild<QLabel*>(QLatin1String(name))->text();
}

QString run(const QString& program, const QStringList& arguments) {
    QProcess p;
    p.start(program, arguments);
    return p.waitForFinished(20000) && p.exitCode() == 0 ? QString::fromUtf8(p.readAllStandardOutput())
                                                         : QString();
}

frmYear* openYear(const FormFixture& f) { return qobject_cast<frmYear*>(openMenu(f, "mnuYear", "frmYear")); }

} // namespace

class WindowsTest : public QObject {
    Q_OBJECT
private slots:
    void startsOnTodaysMonth_data();
    void startsOnTodaysMonth();
    void typingAndPicking_data();
    void typingAndPicking();
    void arrowsGoOnFromATypedYearAndStopAtTheEnds();
    void todayMovesOnWithTheClock_data();
    void todayMovesOnWithTheClock();
    void oddOffsetKeepsColoursOfDaysWithoutAWatch();
    void cleanup();
    void eachOpensOnceAndOutlivesTheMainWindow_data();
    void eachOpensOnceAndOutlivesTheMainWindow();
    void saveStoresTheChoiceAndTheCloseBoxNothing_data();
    void saveStoresTheChoiceAndTheCloseBoxNothing();
    void settingsOpenOnTheNearestWatchForTheKeyboard_data();
    void settingsOpenOnTheNearestWatchForTheKeyboard();
    void failedSaveSaysSoAndKeepsTheOldFile_data();
    void failedSaveSaysSoAndKeepsTheOldFile();
    void saveAfterTheMainWindowClosed();
    void aboutShowsTheVersionRecord();
    void yearShowsTheCoresFiguresAndKeepsTheRules();
    void yearWritesAOnePagePdfAndACalendarOrSaysWhyNot();
    void yearOpensOnDamagedFilesWithDefaultsAndSaysSo();
};

void WindowsTest::startsOnTodaysMonth_data() {
    QTest::addColumn<QString>("now");
    QTest::addColumn<QByteArray>("optTxt");
    QTest::addColumn<QString>("monthName");
    QTest::addColumn<int>("month");
    QTest::addColumn<float>("offset");
    QTest::newRow("09.03.2011, first watch") << "09.03.2011" << QByteArray("0") << "Март" << 3 << 0.0f;
    QTest::newRow("01.01.2011, third watch") << "01.01.2011" << QByteArray("2\r\n") << "Январь" << 1 << 2.0f;
    QTest::newRow("started as 2011 ends: one date throughout")
        << "31.12.2011 23:59:59.999;01.01.2012 00:00:00.000" << QByteArray("0") << "Декабрь" << 12 << 0.0f;
}

void WindowsTest::startsOnTodaysMonth() {
    QFETCH(QString, now);
    QFETCH(QByteArray, optTxt);
    QFETCH(QString, monthName);
    QFETCH(int, month);
    QFETCH(float, offset);
    FormFixture f(now.toLatin1().constData(), optTxt);
    f.start();
    auto* combo = f.control<QComboBox>("ПолеСоСпискомМесяц");
    QCOMPARE(combo->currentText(), monthName);
    QCOMPARE(combo->property("Tag").toString(), QString::number(month));
    QCOMPARE(f.control<QLineEdit>("ПолеГод")->text(), u"2011"_s);
    QCOMPARE(f.control<UpDown>("UpDown7")->value(), 2011);
    QCOMPARE(f.control<QLabel>("Seyden")->text(), now.left(10));
    QVERIFY(!f.form->windowIcon().pixmap(32).isNull());
    QCOMPARE(BazovyKaraul, offset);
    verifyShows(f, 2011, month, offset, at(now.left(10)).date);
    const QStringList once = lookOf(f);
    f.form->Sutograf_Formirovanie();
    QCOMPARE(lookOf(f), once);
}

// What is typed into the month field or the year box, or picked from the month list. The year box
// rebuilds at every key, also for the first digits of a year; a key that leaves no year (year 0 in
// the table) leaves the grid as the key before it left it, and typing into the month field changes
// nothing at all.
void WindowsTest::typingAndPicking_data() {
    QTest::addColumn<bool>("intoMonth");
    QTest::addColumn<QString>("typed"); // "^" is the Up key
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

void WindowsTest::typingAndPicking() {
    QFETCH(bool, intoMonth);
    QFETCH(QString, typed);
    QFETCH(int, year);
    QFETCH(int, month);
    FormFixture f;
    f.start();
    auto* combo = f.control<QComboBox>("ПолеСоСпискомМесяц");
    QLineEdit* box = intoMonth ? combo->lineEdit() : f.control<QLineEdit>("ПолеГод");
    box->selectAll();
    const QStringList start = lookOf(f);
    QStringList before = start;
    QTest::keyClick(box, Qt::Key_Delete);
    for (const QChar ch : typed) {
        before = lookOf(f); // text that is no year leaves what the key before it showed
        if (ch == u'^') {
            QTest::keyClick(combo, Qt::Key_Up);
        } else {
            typeText(box, ch == u'\n' ? u"\r"_s : QString(ch));
        }
    }
    f.control(intoMonth ? "ПолеГод" : "ПолеСоСпискомМесяц")->setFocus(); // leaving a field ends its editing
    QCOMPARE(combo->property("Tag").toString(), QString::number(month));
    QCOMPARE(combo->count(), 12);
    if (year == 0) {
        QCOMPARE(lookOf(f), intoMonth ? start : before);
    } else {
        verifyShows(f, static_cast<float>(year), month, 0, dmy("09.03.2011"));
    }
    QCOMPARE(f.control<UpDown>("UpDown7")->value(), 2011); // the spin does not follow typing
}

void WindowsTest::arrowsGoOnFromATypedYearAndStopAtTheEnds() {
    FormFixture f;
    f.start();
    auto* year = f.control<QLineEdit>("ПолеГод");
    auto* spin = f.control<UpDown>("UpDown7");
    QSignalSpy rebuilds(f.form, &Form1::gridRebuilt);
    // typed year, then what an arrow shows next
    const struct {
        const char* typed;
        QToolButton* arrow;
        const char* shown;
    } steps[] = {{"2020", spin->upButton(), "2021"},
                 {"2022", spin->downButton(), "2021"}, // back onto the spin's own value: still shown
                 {"abc", spin->downButton(), "2020"},  // no year typed: from the spin's own value
                 {"3000", spin->upButton(), "3000"},
                 {"0", spin->downButton(), "0"}};
    for (const auto& step : steps) {
        year->setText(QString::fromLatin1(step.typed));
        rebuilds.clear();
        QTest::mouseClick(step.arrow, Qt::LeftButton);
        QCOMPARE(year->text(), QString::fromLatin1(step.shown));
        QCOMPARE(rebuilds.size(), 1); // also where the box already showed that year
    }
    verifyShows(f, 2000, 3, 0, dmy("09.03.2011")); // year 0 is 2000
    QTest::keyClick(year, Qt::Key_Up);
    QCOMPARE(year->text(), u"1"_s);
}

void WindowsTest::todayMovesOnWithTheClock_data() {
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("firstCheckMs"); // from the start to the next reading of the clock
    QTest::addColumn<QString>("later");
    QTest::addColumn<int>("nextCheckMs");
    QTest::newRow("midnight: the next day")
        << "09.03.2011 23:59:59.900" << 100 << "10.03.2011 00:00:00.000" << 60000;
    QTest::newRow("midnight: April begins in a grey cell of March")
        << "31.03.2011 23:59:00.000" << 60000 << "01.04.2011 00:00:00.001" << 60000;
    QTest::newRow("midnight: 2012 begins in a grey cell of December 2011")
        << "31.12.2011 23:59:59.999" << 1 << "01.01.2012 00:00:00.000" << 60000;
    QTest::newRow("clock set back a day, aiming at midnight again")
        << "10.03.2011" << 60000 << "09.03.2011 23:59:30.000" << 30000;
    QTest::newRow("woken weeks later: the frame leaves the month shown")
        << "09.03.2011" << 60000 << "20.05.2011" << 60000;
}

// The month shown stays what the user picked; only the "Сегодня" line and the frame follow the clock.
void WindowsTest::todayMovesOnWithTheClock() {
    QFETCH(QString, start);
    QFETCH(int, firstCheckMs);
    QFETCH(QString, later);
    QFETCH(int, nextCheckMs);
    FormFixture f(start.toLatin1().constData());
    f.start();
    auto* check = f.form->findChild<QTimer*>(u"todayCheck"_s);
    const auto nextCheckIn = [check] { return check->isActive() ? check->interval() : -1; };
    QCOMPARE(nextCheckIn(), firstCheckMs);
    f.setNow(later);
    f.form->checkToday();
    QCOMPARE(f.control<QLabel>("Seyden")->text(), later.left(10));
    const Date shown = at(start).date;
    verifyShows(f, static_cast<float>(yearOf(shown)), monthOf(shown), 0, at(later).date);
    QCOMPARE(nextCheckIn(), nextCheckMs);
}

void WindowsTest::oddOffsetKeepsColoursOfDaysWithoutAWatch() {
    FormFixture f("09.03.2011", QByteArray()); // no Opt.txt: the offset in memory stays
    BazovyKaraul = 1.5f;
    f.form = new Form1([] { return at(u"09.03.2011"_s); }, f.dir.path());
    for (int k = 0; k < 56; ++k) {
        QCOMPARE(f.cell(k)->foreColor(), k >= 8 && k <= 38 ? 0x80000008u : kGreyText);
        QVERIFY(f.cell(k)->toolTip().isEmpty());
    }
}

// Deleting one window can take others of the list with it (its message box, say), so each is held
// by a guarded pointer and deleted only if still there.
void WindowsTest::cleanup() {
    QList<QPointer<QWidget>> dialogs;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName().startsWith(u"frm")) {
            dialogs << w;
        }
    }
    for (const QPointer<QWidget>& w : dialogs) {
        delete w.data();
    }
}

void WindowsTest::eachOpensOnceAndOutlivesTheMainWindow_data() {
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("window");
    QTest::newRow("Настройки") << "mnuSettings"
                               << "frmSettings";
    QTest::newRow("Справка") << "mnuSpravka"
                             << "frmAbout";
    QTest::newRow("Год и часы…") << "mnuYear"
                                 << "frmYear";
    QTest::newRow("Печать года…") << "mnuPrintYear"
                                  << "frmYear";
    QTest::newRow("Экспорт в календарь…") << "mnuExportYear"
                                          << "frmYear";
}

// Opened again, the same window comes back from the task bar, not loaded anew; the two year entries
// also start their action in it (the print or file dialog, turned down here as soon as it shows).
// The year window opens on the grid's year. "Выход" leaves every one of them open.
void WindowsTest::eachOpensOnceAndOutlivesTheMainWindow() {
    QFETCH(QString, entry);
    QFETCH(QString, window);
    FormFixture f;
    f.start();
    f.form->show();
    f.control<QLineEdit>("ПолеГод")->setText(u"27"_s);
    int dialogs = 0;
    QPointer<QWidget> first;
    for (int i = 0; i < 2; ++i) {
        QTimer::singleShot(0, [&dialogs] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                ++dialogs;
                dialog->reject();
            }
        });
        QWidget* shown = openMenu(f, entry.toLatin1().constData(), window.toLatin1().constData());
        if (i == 0) {
            first = shown;
            first->setWindowTitle(u"marked"_s); // a fresh load would rewrite or lose this
            first->showMinimized();
        }
        QCOMPARE(shown, first.data());
    }
    QCOMPARE(dialogs, entry.contains(u"Year") && entry != "mnuYear"_L1 ? 2 : 0);
    QCOMPARE(windows(window.toLatin1().constData()).size(), 1);
    QCOMPARE(first->windowTitle(), u"marked"_s);
    QVERIFY(!first->isMinimized());
    if (auto* year = qobject_cast<frmYear*>(first)) {
        QCOMPARE(year->shownYear(), 2027);
    }
    f.form->findChild<QAction*>(u"mnuExit"_s)->trigger();
    QTRY_VERIFY(f.form.isNull());
    QVERIFY(!first.isNull() && first->isVisible());
}

// Save writes the three bytes over a longer file, even unchanged, and rebuilds the month the main
// window shows at that moment (it stays usable meanwhile); the close box stores nothing.
void WindowsTest::saveStoresTheChoiceAndTheCloseBoxNothing_data() {
    QTest::addColumn<int>("choice"); // -1: the option is left as it opened
    QTest::addColumn<bool>("saved"); // else closed by the close box
    for (int i = 0; i < 4; ++i) {
        QTest::addRow("Караул №%d saved", i + 1) << i << true;
    }
    QTest::newRow("saved unchanged") << -1 << true;
    QTest::newRow("Караул №4 chosen, close box") << 3 << false;
}

void WindowsTest::saveStoresTheChoiceAndTheCloseBoxNothing() {
    QFETCH(int, choice);
    QFETCH(bool, saved);
    FormFixture f("09.03.2011", "1\r\nan older, longer file\r\n");
    f.start();
    QPointer<QWidget> s = openMenu(f, "mnuSettings", "frmSettings");
    QCOMPARE(selectedOption(s), 1);
    if (choice >= 0) {
        QTest::mouseClick(option(s, choice), Qt::LeftButton);
    }
    QCOMPARE(BazovyKaraul, 1.0f); // picking alone changes nothing
    f.control<QComboBox>("ПолеСоСпискомМесяц")->setCurrentIndex(3);
    const QStringList april = lookOf(f);
    QSignalSpy rebuilds(f.form, &Form1::gridRebuilt);
    saved ? save(s) : (void)s->close();
    QTRY_VERIFY(s.isNull());
    const int stored = saved && choice >= 0 ? choice : 1;
    QCOMPARE(optTxt(f),
             saved ? QByteArray::number(stored) + "\r\n" : QByteArray("1\r\nan older, longer file\r\n"));
    QCOMPARE(BazovyKaraul, static_cast<float>(stored));
    QCOMPARE(rebuilds.size(), saved ? 1 : 0);
    if (saved) {
        verifyShows(f, 2011, 4, static_cast<float>(stored), dmy("09.03.2011"));
    } else {
        QCOMPARE(lookOf(f), april);
        QCOMPARE(selectedOption(openMenu(f, "mnuSettings", "frmSettings")), 1); // the stored one again
    }
}

// The dialog opens with the focus on the checked watch; the keys are pressed wherever the focus is.
void WindowsTest::settingsOpenOnTheNearestWatchForTheKeyboard_data() {
    QTest::addColumn<float>("offset");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<int>("saved");
    QTest::newRow("1.5 rounds to 2") << 1.5f << 2 << "Space Tab Space" << 2;
    QTest::newRow("2.5 rounds to even 2") << 2.5f << 2 << "Space Tab Space" << 2;
    QTest::newRow("3.5 rounds to 4, nearest is 3") << 3.5f << 3 << "Space Tab Space" << 3;
    QTest::newRow("-1 nearest is 0") << -1.0f << 0 << "Space Tab Space" << 0;
    QTest::newRow("Down picks the watch below") << 2.0f << 2 << "Down Tab Space" << 3;
    QTest::newRow("Tab from Save comes back to the choice") << 1.0f << 1 << "Tab Tab Right Tab Space" << 3;
}

void WindowsTest::settingsOpenOnTheNearestWatchForTheKeyboard() {
    QFETCH(float, offset);
    QFETCH(int, selected);
    QFETCH(QString, keys);
    QFETCH(int, saved);
    FormFixture f;
    f.start();
    BazovyKaraul = offset;
    QWidget* s = openMenu(f, "mnuSettings", "frmSettings");
    QCOMPARE(selectedOption(s), selected);
    QVERIFY(QTest::qWaitForWindowActive(s));
    for (const QString& key : keys.split(u' ')) {
        QTest::keyClick(QApplication::focusWidget(), QKeySequence(key)[0].key());
    }
    QCOMPARE(optTxt(f), QByteArray::number(saved) + "\r\n");
}

void WindowsTest::failedSaveSaysSoAndKeepsTheOldFile_data() {
    QTest::addColumn<bool>("diskFull"); // else a read-only folder
    QTest::addColumn<QString>("reason");
    QTest::newRow("disk full") << true << "на диске нет места";
    QTest::newRow("read-only folder") << false << "нет права записи";
}

void WindowsTest::failedSaveSaysSoAndKeepsTheOldFile() {
    QFETCH(bool, diskFull);
    QFETCH(QString, reason);
    FormFixture f("09.03.2011", "1\r\n");
    std::optional<SmallDisk> disk;
    if (diskFull) {
        if (!disk.emplace(f.dir.path()).mounted()) {
            QSKIP("no right to mount a small disk");
        }
        QFile opt(f.dir.filePath(u"Opt.txt"_s));
        QVERIFY(opt.open(QIODevice::WriteOnly) && opt.write("1\r\n") == 3);
        opt.close();
        disk->fill();
    }
    f.start();
    QWidget* s = openMenu(f, "mnuSettings", "frmSettings");
    QTest::mouseClick(option(s, 3), Qt::LeftButton);
    const auto permissions = QFile::permissions(f.dir.path());
    QVERIFY(diskFull || QFile::setPermissions(f.dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    {
        const NoRootOverride asOrdinaryUser;
        save(s);
    }
    QCOMPARE(optTxt(f), QByteArray("1\r\n"));
    auto* box = s->findChild<QMessageBox*>(u"saveFailed"_s);
    QVERIFY(box != nullptr && box->isVisible());
    QVERIFY2(box->text().contains(f.dir.filePath(u"Opt.txt"_s)) && box->text().contains(reason),
             qPrintable(box->text()));
    QVERIFY(s->isVisible());                       // still open, to try again
    verifyShows(f, 2011, 3, 3, dmy("09.03.2011")); // the choice holds for this run
    box->accept();
    // Room made, or the folder writable again: the next Save goes through.
    QFile::remove(f.dir.filePath(u"filler"_s));
    QFile::setPermissions(f.dir.path(), permissions);
    save(s);
    QCOMPARE(optTxt(f), QByteArray("3\r\n"));
}

// Save stores the choice without a grid to rebuild; the program ends with its last window (Qt ends
// it when the last visible window closes).
void WindowsTest::saveAfterTheMainWindowClosed() {
    FormFixture f;
    f.start();
    f.form->show();
    QPointer<QWidget> s = openMenu(f, "mnuSettings", "frmSettings");
    QPointer<QWidget> about = openMenu(f, "mnuSpravka", "frmAbout");
    f.form->findChild<QAction*>(u"mnuExit"_s)->trigger();
    QTRY_VERIFY(f.form.isNull());
    QTest::mouseClick(option(s, 2), Qt::LeftButton);
    save(s);
    QCOMPARE(optTxt(f), QByteArray("2\r\n"));
    QTRY_VERIFY(s.isNull());
    QTest::mouseClick(about->findChild<QPushButton*>(u"cmdOK"_s), Qt::LeftButton);
    QTRY_VERIFY(about.isNull());
    QVERIFY(windows().isEmpty());
}

void WindowsTest::aboutShowsTheVersionRecord() {
    FormFixture f;
    f.start();
    QWidget* about = openMenu(f, "mnuSpravka", "frmAbout");
    QCOMPARE(about->windowTitle(), u"Описание программы Сутограф"_s);
    QCOMPARE(labelText(about, "lblVersion"), u"Версия 0.9.3"_s);
    QCOMPARE(labelText(about, "lblAuthor"), u"Разработчик: "_s + builtVersionRecord().company);
    VersionRecord nameless = builtVersionRecord();
    nameless.company.clear();
    QCOMPARE(labelText(new frmAbout(nameless), "lblAuthor"), u"Разработчик: "_s);
}

// The figures are the core's for what is chosen, and the choices are kept in sutograf.ini.
void WindowsTest::yearShowsTheCoresFiguresAndKeepsTheRules() {
    FormFixture f("09.03.2011", "2\r\n");
    f.start();
    frmYear* year = openYear(f);
    year->findChild<QSpinBox*>(u"yearBox"_s)->setValue(2025);
    QTest::mouseClick(year->findChild<QWidget*>(u"watch3"_s), Qt::LeftButton);
    year->findChild<QTimeEdit*>(u"startBox"_s)->setTime(QTime(9, 0));
    year->findChild<QSpinBox*>(u"hoursBox"_s)->setValue(22 * 60 + 30);
    year->findChild<QCheckBox*>(u"wholeDutyBox"_s)->setChecked(true);
    const DutyRules rules{9 * 60, 22 * 60 + 30, true};
    const auto expected = yearTable(3, 2025, 2.0f, ProductionCalendar::builtIn(), rules);
    for (int row = 0; row < static_cast<int>(kYearTableRows); ++row) {
        QVERIFY2(year->hours().hours(row) == expected[static_cast<std::size_t>(row)],
                 qPrintable(YearHoursModel::rowName(row)));
    }
    QVERIFY(labelText(year, "sourceLine").contains(u"по производственному календарю 2025 года"_s));
    QCOMPARE(SutografIni(SettingsPlace(f.dir.path())).choices(), (UserChoices{rules, 3}));
}

// One A4 landscape page holding the title, the months and the year's totals; an .ics with one event
// per duty, read by an independent parser. Into a folder that cannot be written: a message naming the
// file and why, and nothing left there.
void WindowsTest::yearWritesAOnePagePdfAndACalendarOrSaysWhyNot() {
    FormFixture f;
    frmYear year(
        2027, [] { return at(u"07.12.2026"_s); }, SettingsPlace(f.dir.path()));
    const QString pdf = f.dir.filePath(u"year.pdf"_s), ics = f.dir.filePath(u"year.ics"_s);
    QVERIFY(year.writePdf(pdf) && year.writeCalendar(ics));
    const QString info = run(u"pdfinfo"_s, {pdf});
    QVERIFY2(info.contains(u"Pages:           1"_s) && info.contains(u"842 x 595 pts (A4)"_s),
             qPrintable(info));
    const QString text = run(u"pdftotext"_s, {u"-layout"_s, pdf, u"-"_s});
    QStringList wanted{u"График дежурств на 2027 год — 1 караул"_s,
                       year.hours().text(kYearRow, YearHoursModel::Worked),
                       year.hours().text(kYearRow, YearHoursModel::Norm)};
    for (int m = 0; m < 12; ++m) {
        wanted << YearHoursModel::rowName(m);
    }
    for (const QString& w : wanted) {
        QVERIFY2(text.contains(w), qPrintable(w));
    }
    const QString events = run(u"/usr/bin/python3"_s,
                               {u"-c"_s,
                                QStringLiteral("import icalendar,sys;print(len(icalendar.Calendar.from_ical("
                                               "open(sys.argv[1],'rb').read()).walk('VEVENT')))"),
                                ics});
    QCOMPARE(events.trimmed().toInt(), year.hours().hours(kYearRow).duties);
    QVERIFY(labelText(&year, "statusLine").contains(u"Google"_s));

    const QString locked = f.dir.filePath(u"locked"_s);
    QVERIFY(QDir().mkdir(locked) &&
            QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    const NoRootOverride asOrdinaryUser;
    for (const bool asPdf : {true, false}) {
        const QString path = locked + (asPdf ? u"/year.pdf"_s : u"/year.ics"_s);
        QVERIFY(!(asPdf ? year.writePdf(path) : year.writeCalendar(path)));
        const QMessageBox* box = year.findChildren<QMessageBox*>(u"saveFailed"_s).last();
        QVERIFY2(box->text().contains(path) && box->text().contains(u"нет права записи"_s),
                 qPrintable(box->text()));
    }
    QVERIFY(QDir(locked).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

void WindowsTest::yearOpensOnDamagedFilesWithDefaultsAndSaysSo() {
    FormFixture f;
    QFile ini(f.dir.filePath(u"sutograf.ini"_s)), csv(f.dir.filePath(u"calendar.csv"_s));
    static const char kJunk[] = "\xFF\0junk\n[duty]\nstart=99:99\n";
    QVERIFY(ini.open(QIODevice::WriteOnly) && ini.write(kJunk, sizeof kJunk - 1) > 0);
    QVERIFY(csv.open(QIODevice::WriteOnly) && csv.write("date,kind,note\n2028-13-01,holiday,\n") > 0);
    ini.close();
    csv.close();
    frmYear year(
        2028, [] { return at(u"07.12.2026"_s); }, SettingsPlace(f.dir.path()));
    QCOMPARE(year.shownWatch(), 1);
    QCOMPARE(year.findChild<QTimeEdit*>(u"startBox"_s)->time(), QTime(8, 0));
    const QString problems = labelText(&year, "problemsLine");
    QVERIFY2(problems.contains(csv.fileName()) && problems.contains(u"строка 2"_s) &&
                 problems.contains(ini.fileName()),
             qPrintable(problems));
}

QTEST_MAIN(WindowsTest)
#include "windows_test.moc"
