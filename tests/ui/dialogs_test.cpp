// The windows the main window opens: the settings, the About dialog and the year window.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimeEdit>
#include <QTimer>
#include <QtTest>

#include <optional>

#include "common/no_root_override.h"
#include "common/small_disk.h"
#include "frm_about.h"
#include "frm_year.h"
#include "ui/ui_test_support.h"

using namespace sutograf;
using namespace sutograf::testing;

namespace {

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
    return settings->findChildren<QRadioButton*>(QStringLiteral("Option1")).value(index);
}

int selectedOption(QWidget* settings) {
    const auto options = settings->findChildren<QRadioButton*>(QStringLiteral("Option1"));
    return static_cast<int>(
        std::find_if(options.begin(), options.end(), [](auto* o) { return o->isChecked(); }) -
        options.begin());
}

QByteArray optTxt(const FormFixture& f) {
    QFile file(f.dir.filePath(QStringLiteral("Opt.txt")));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void save(QWidget* settings) {
    QTest::mouseClick(settings->findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
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

class DialogsTest : public QObject {
    Q_OBJECT
private slots:
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

// Deleting one window can take others of the list with it (its message box, say), so each is held
// by a guarded pointer and deleted only if still there.
void DialogsTest::cleanup() {
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

void DialogsTest::eachOpensOnceAndOutlivesTheMainWindow_data() {
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
void DialogsTest::eachOpensOnceAndOutlivesTheMainWindow() {
    QFETCH(QString, entry);
    QFETCH(QString, window);
    FormFixture f;
    f.start();
    f.form->show();
    f.control<QLineEdit>("ПолеГод")->setText(QStringLiteral("27"));
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
            first->setWindowTitle(QStringLiteral("marked")); // a fresh load would rewrite or lose this
            first->showMinimized();
        }
        QCOMPARE(shown, first.data());
    }
    QCOMPARE(dialogs, entry.contains(u"Year") && entry != QLatin1String("mnuYear") ? 2 : 0);
    QCOMPARE(windows(window.toLatin1().constData()).size(), 1);
    QCOMPARE(first->windowTitle(), QStringLiteral("marked"));
    QVERIFY(!first->isMinimized());
    if (auto* year = qobject_cast<frmYear*>(first)) {
        QCOMPARE(year->shownYear(), 2027);
    }
    f.form->findChild<QAction*>(QStringLiteral("mnuExit"))->trigger();
    QTRY_VERIFY(f.form.isNull());
    QVERIFY(!first.isNull() && first->isVisible());
}

// Save writes the three bytes over a longer file, even unchanged, and rebuilds the month the main
// window shows at that moment (it stays usable meanwhile); the close box stores nothing.
void DialogsTest::saveStoresTheChoiceAndTheCloseBoxNothing_data() {
    QTest::addColumn<int>("choice"); // -1: the option is left as it opened
    QTest::addColumn<bool>("saved"); // else closed by the close box
    for (int i = 0; i < 4; ++i) {
        QTest::addRow("Караул №%d saved", i + 1) << i << true;
    }
    QTest::newRow("saved unchanged") << -1 << true;
    QTest::newRow("Караул №4 chosen, close box") << 3 << false;
}

void DialogsTest::saveStoresTheChoiceAndTheCloseBoxNothing() {
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
void DialogsTest::settingsOpenOnTheNearestWatchForTheKeyboard_data() {
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

void DialogsTest::settingsOpenOnTheNearestWatchForTheKeyboard() {
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

void DialogsTest::failedSaveSaysSoAndKeepsTheOldFile_data() {
    QTest::addColumn<bool>("diskFull"); // else a read-only folder
    QTest::addColumn<QString>("reason");
    QTest::newRow("disk full") << true << "на диске нет места";
    QTest::newRow("read-only folder") << false << "нет права записи";
}

void DialogsTest::failedSaveSaysSoAndKeepsTheOldFile() {
    QFETCH(bool, diskFull);
    QFETCH(QString, reason);
    FormFixture f("09.03.2011", "1\r\n");
    std::optional<SmallDisk> disk;
    if (diskFull) {
        if (!disk.emplace(f.dir.path()).mounted()) {
            QSKIP("no right to mount a small disk");
        }
        QFile opt(f.dir.filePath(QStringLiteral("Opt.txt")));
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
    auto* box = s->findChild<QMessageBox*>(QStringLiteral("saveFailed"));
    QVERIFY(box != nullptr && box->isVisible());
    QVERIFY2(box->text().contains(f.dir.filePath(QStringLiteral("Opt.txt"))) && box->text().contains(reason),
             qPrintable(box->text()));
    QVERIFY(s->isVisible());                       // still open, to try again
    verifyShows(f, 2011, 3, 3, dmy("09.03.2011")); // the choice holds for this run
    box->accept();
    // Room made, or the folder writable again: the next Save goes through.
    QFile::remove(f.dir.filePath(QStringLiteral("filler")));
    QFile::setPermissions(f.dir.path(), permissions);
    save(s);
    QCOMPARE(optTxt(f), QByteArray("3\r\n"));
}

// Save stores the choice without a grid to rebuild; the program ends with its last window (Qt ends
// it when the last visible window closes).
void DialogsTest::saveAfterTheMainWindowClosed() {
    FormFixture f;
    f.start();
    f.form->show();
    QPointer<QWidget> s = openMenu(f, "mnuSettings", "frmSettings");
    QPointer<QWidget> about = openMenu(f, "mnuSpravka", "frmAbout");
    f.form->findChild<QAction*>(QStringLiteral("mnuExit"))->trigger();
    QTRY_VERIFY(f.form.isNull());
    QTest::mouseClick(option(s, 2), Qt::LeftButton);
    save(s);
    QCOMPARE(optTxt(f), QByteArray("2\r\n"));
    QTRY_VERIFY(s.isNull());
    QTest::mouseClick(about->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
    QTRY_VERIFY(about.isNull());
    QVERIFY(windows().isEmpty());
}

void DialogsTest::aboutShowsTheVersionRecord() {
    FormFixture f;
    f.start();
    QWidget* about = openMenu(f, "mnuSpravka", "frmAbout");
    QCOMPARE(about->windowTitle(), QStringLiteral("Описание программы Сутограф"));
    QCOMPARE(labelText(about, "lblVersion"), QStringLiteral("Версия 0.9.3"));
    QCOMPARE(labelText(about, "lblAuthor"), QStringLiteral("Разработчик: ") + builtVersionRecord().company);
    VersionRecord nameless = builtVersionRecord();
    nameless.company.clear();
    QCOMPARE(labelText(new frmAbout(nameless), "lblAuthor"), QStringLiteral("Разработчик: "));
}

// The figures are the core's for what is chosen, and the choices are kept in sutograf.ini.
void DialogsTest::yearShowsTheCoresFiguresAndKeepsTheRules() {
    FormFixture f("09.03.2011", "2\r\n");
    f.start();
    frmYear* year = openYear(f);
    year->findChild<QSpinBox*>(QStringLiteral("yearBox"))->setValue(2025);
    QTest::mouseClick(year->findChild<QWidget*>(QStringLiteral("watch3")), Qt::LeftButton);
    year->findChild<QTimeEdit*>(QStringLiteral("startBox"))->setTime(QTime(9, 0));
    year->findChild<QSpinBox*>(QStringLiteral("hoursBox"))->setValue(22 * 60 + 30);
    year->findChild<QCheckBox*>(QStringLiteral("wholeDutyBox"))->setChecked(true);
    const DutyRules rules{9 * 60, 22 * 60 + 30, true};
    const auto expected = yearTable(3, 2025, 2.0f, ProductionCalendar::builtIn(), rules);
    for (int row = 0; row < static_cast<int>(kYearTableRows); ++row) {
        QVERIFY2(year->hours().hours(row) == expected[static_cast<std::size_t>(row)],
                 qPrintable(YearHoursModel::rowName(row)));
    }
    QVERIFY(
        labelText(year, "sourceLine").contains(QStringLiteral("по производственному календарю 2025 года")));
    QCOMPARE(SutografIni(SettingsPlace(f.dir.path())).choices(), (UserChoices{rules, 3}));
}

// One A4 landscape page holding the title, the months and the year's totals; an .ics with one event
// per duty, read by an independent parser. Into a folder that cannot be written: a message naming the
// file and why, and nothing left there.
void DialogsTest::yearWritesAOnePagePdfAndACalendarOrSaysWhyNot() {
    FormFixture f;
    frmYear year(
        2027, [] { return at(QStringLiteral("07.12.2026")); }, SettingsPlace(f.dir.path()));
    const QString pdf = f.dir.filePath(QStringLiteral("year.pdf")),
                  ics = f.dir.filePath(QStringLiteral("year.ics"));
    QVERIFY(year.writePdf(pdf) && year.writeCalendar(ics));
    const QString info = run(QStringLiteral("pdfinfo"), {pdf});
    QVERIFY2(info.contains(QStringLiteral("Pages:           1")) &&
                 info.contains(QStringLiteral("842 x 595 pts (A4)")),
             qPrintable(info));
    const QString text =
        run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    QStringList wanted{QStringLiteral("График дежурств на 2027 год — 1 караул"),
                       year.hours().text(kYearRow, YearHoursModel::Worked),
                       year.hours().text(kYearRow, YearHoursModel::Norm)};
    for (int m = 0; m < 12; ++m) {
        wanted << YearHoursModel::rowName(m);
    }
    for (const QString& w : wanted) {
        QVERIFY2(text.contains(w), qPrintable(w));
    }
    const QString events = run(QStringLiteral("/usr/bin/python3"),
                               {QStringLiteral("-c"),
                                QStringLiteral("import icalendar,sys;print(len(icalendar.Calendar.from_ical("
                                               "open(sys.argv[1],'rb').read()).walk('VEVENT')))"),
                                ics});
    QCOMPARE(events.trimmed().toInt(), year.hours().hours(kYearRow).duties);
    QVERIFY(labelText(&year, "statusLine").contains(QStringLiteral("Google")));

    const QString locked = f.dir.filePath(QStringLiteral("locked"));
    QVERIFY(QDir().mkdir(locked) &&
            QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    const NoRootOverride asOrdinaryUser;
    for (const bool asPdf : {true, false}) {
        const QString path = locked + (asPdf ? QStringLiteral("/year.pdf") : QStringLiteral("/year.ics"));
        QVERIFY(!(asPdf ? year.writePdf(path) : year.writeCalendar(path)));
        const QMessageBox* box = year.findChildren<QMessageBox*>(QStringLiteral("saveFailed")).last();
        QVERIFY2(box->text().contains(path) && box->text().contains(QStringLiteral("нет права записи")),
                 qPrintable(box->text()));
    }
    QVERIFY(QDir(locked).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

void DialogsTest::yearOpensOnDamagedFilesWithDefaultsAndSaysSo() {
    FormFixture f;
    QFile ini(f.dir.filePath(QStringLiteral("sutograf.ini"))),
        csv(f.dir.filePath(QStringLiteral("calendar.csv")));
    static const char kJunk[] = "\xFF\0junk\n[duty]\nstart=99:99\n";
    QVERIFY(ini.open(QIODevice::WriteOnly) && ini.write(kJunk, sizeof kJunk - 1) > 0);
    QVERIFY(csv.open(QIODevice::WriteOnly) && csv.write("date,kind,note\n2028-13-01,holiday,\n") > 0);
    ini.close();
    csv.close();
    frmYear year(
        2028, [] { return at(QStringLiteral("07.12.2026")); }, SettingsPlace(f.dir.path()));
    QCOMPARE(year.shownWatch(), 1);
    QCOMPARE(year.findChild<QTimeEdit*>(QStringLiteral("startBox"))->time(), QTime(8, 0));
    const QString problems = labelText(&year, "problemsLine");
    QVERIFY2(problems.contains(csv.fileName()) && problems.contains(QStringLiteral("строка 2")) &&
                 problems.contains(ini.fileName()),
             qPrintable(problems));
}

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
