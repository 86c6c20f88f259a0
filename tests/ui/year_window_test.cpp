#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QSpinBox>
#include <QTimeEdit>
#include <QTimer>
#include <QtTest>

#include "common/no_root_override.h"
#include "frm_year.h"
#include "ui/ui_test_support.h"

using namespace sutograf;
using namespace sutograf::testing;

namespace {

QList<frmYear*> yearWindows() {
    QList<frmYear*> found;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* y = qobject_cast<frmYear*>(w); y != nullptr && y->isVisible()) {
            found << y;
        }
    }
    return found;
}

QString run(const QString& program, const QStringList& arguments) {
    QProcess p;
    p.start(program, arguments);
    return p.waitForFinished(20000) && p.exitCode() == 0 ? QString::fromUtf8(p.readAllStandardOutput())
                                                         : QString();
}

QString label(const QWidget& w, const char* name) {
    return w.findChild<QLabel*>(QLatin1String(name))->text();
}

} // namespace

class YearWindowTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { qDeleteAll(yearWindows()); }
    void opensOnceFromEachEntry_data();
    void opensOnceFromEachEntry();
    void showsTheCoresFiguresAndKeepsTheRules();
    void writesAOnePagePdfAndACalendarOrSaysWhyNot();
    void damagedFilesGiveDefaultsAndSaySo();
};

void YearWindowTest::opensOnceFromEachEntry_data() {
    QTest::addColumn<QString>("entry");
    QTest::newRow("Год и часы…") << "mnuYear";
    QTest::newRow("Печать года…") << "mnuPrintYear";
    QTest::newRow("Экспорт в календарь…") << "mnuExportYear";
}

// The window opens on the grid's year, once; the two other entries also start their action in it
// (the print or file dialog, turned down here as soon as it shows). It outlives the main window.
void YearWindowTest::opensOnceFromEachEntry() {
    QFETCH(QString, entry);
    FormFixture f("09.03.2011");
    f.start();
    f.form->show();
    f.control<QLineEdit>("ПолеГод")->setText(QStringLiteral("27"));
    int dialogs = 0;
    for (int i = 0; i < 2; ++i) {
        QTimer::singleShot(0, [&dialogs] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                ++dialogs;
                dialog->reject();
            }
        });
        f.form->findChild<QAction*>(entry)->trigger();
    }
    QCOMPARE(dialogs, entry == QLatin1String("mnuYear") ? 0 : 2);
    QCOMPARE(yearWindows().size(), 1);
    QPointer<frmYear> year = yearWindows().first();
    QCOMPARE(year->shownYear(), 2027);
    f.form->findChild<QAction*>(QStringLiteral("mnuExit"))->trigger();
    QTRY_VERIFY(f.form.isNull());
    QVERIFY(!year.isNull() && year->isVisible());
}

// Junk in the year box keeps the year; the figures are the core's for what is chosen, and the
// choices are kept in sutograf.ini.
void YearWindowTest::showsTheCoresFiguresAndKeepsTheRules() {
    FormFixture f("09.03.2011", "2\r\n");
    f.start();
    f.form->findChild<QAction*>(QStringLiteral("mnuYear"))->trigger();
    frmYear* year = yearWindows().value(0);
    QVERIFY(year != nullptr);
    auto* box = year->findChild<QSpinBox*>(QStringLiteral("yearBox"));
    for (const char* junk : {"abc", "20", ""}) {
        box->selectAll();
        QTest::keyClicks(box, QString::fromLatin1(junk));
        QTest::keyClick(box, Qt::Key_Return);
        box->clearFocus();
        QCOMPARE(year->shownYear(), 2011);
    }
    box->setValue(2025);
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
    QVERIFY(label(*year, "sourceLine").contains(QStringLiteral("по производственному календарю 2025 года")));
    QCOMPARE(SutografIni(SettingsPlace(f.dir.path())).choices(), (UserChoices{rules, 3}));
}

// One A4 landscape page holding the title, the months and the year's totals; an .ics with one event
// per duty, read by an independent parser. Into a folder that cannot be written: a message naming the
// file and why, and nothing left there.
void YearWindowTest::writesAOnePagePdfAndACalendarOrSaysWhyNot() {
    FormFixture f("09.03.2011");
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
    QVERIFY(label(year, "statusLine").contains(QStringLiteral("Google")));

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

void YearWindowTest::damagedFilesGiveDefaultsAndSaySo() {
    FormFixture f("09.03.2011");
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
    const QString problems = label(year, "problemsLine");
    QVERIFY2(problems.contains(csv.fileName()) && problems.contains(QStringLiteral("строка 2")) &&
                 problems.contains(ini.fileName()),
             qPrintable(problems));
}

QTEST_MAIN(YearWindowTest)
#include "year_window_test.moc"
