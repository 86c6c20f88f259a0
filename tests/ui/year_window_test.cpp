#include <QAction>
#include <QCheckBox>
#include <QLabel>
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

// The print and file dialogs are modal: each is turned down as soon as it shows.
void declineNextDialog() {
    QTimer::singleShot(0, [] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            dialog->reject();
        }
    });
}

QString run(const QString& program, const QStringList& arguments) {
    QProcess p;
    p.start(program, arguments);
    return p.waitForFinished(20000) && p.exitCode() == 0 ? QString::fromUtf8(p.readAllStandardOutput())
                                                         : QString();
}

} // namespace

class YearWindowTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { qDeleteAll(yearWindows()); }
    void opensOnceFromEachEntry_data();
    void opensOnceFromEachEntry();
    void showsTheCoresFiguresAndKeepsTheRules();
    void writesAOnePagePdfAndACalendarOfTheYear();
    void unwritableFolderSaysSoAndLeavesNothing_data();
    void unwritableFolderSaysSoAndLeavesNothing();
    void junkInTheYearBoxKeepsTheYear();
    void damagedFilesGiveDefaultsAndSaySo();
};

void YearWindowTest::opensOnceFromEachEntry_data() {
    QTest::addColumn<QString>("entry");
    QTest::newRow("Год и часы…") << "mnuYear";
    QTest::newRow("Печать года…") << "mnuPrintYear";
    QTest::newRow("Экспорт в календарь…") << "mnuExportYear";
}

void YearWindowTest::opensOnceFromEachEntry() {
    QFETCH(QString, entry);
    FormFixture f("09.03.2011");
    f.start();
    f.form->show();
    f.control<QLineEdit>("ПолеГод")->setText(QStringLiteral("27")); // the grid's 2027
    auto* action = f.form->findChild<QAction*>(entry);
    for (int i = 0; i < 2; ++i) {
        declineNextDialog();
        action->trigger();
    }
    QCOMPARE(yearWindows().size(), 1);
    QPointer<frmYear> year = yearWindows().first();
    QCOMPARE(year->windowTitle(), QStringLiteral("Год и часы"));
    QCOMPARE(year->shownYear(), 2027);
    f.form->findChild<QAction*>(QStringLiteral("mnuExit"))->trigger();
    QTRY_VERIFY(f.form.isNull());
    QVERIFY(!year.isNull() && year->isVisible()); // it outlives the main window
}

void YearWindowTest::showsTheCoresFiguresAndKeepsTheRules() {
    FormFixture f("09.03.2011", "2\r\n");
    f.start();
    f.form->findChild<QAction*>(QStringLiteral("mnuYear"))->trigger();
    frmYear* year = yearWindows().value(0);
    QVERIFY(year != nullptr);
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
    QCOMPARE(year->hours().text(kYearRow, YearHoursModel::Worked),
             QString::fromStdString(hoursText(expected[kYearRow].workedMinutes)));
    QVERIFY(year->findChild<QLabel*>(QStringLiteral("sourceLine"))
                ->text()
                .contains(QStringLiteral("по производственному календарю 2025 года")));
    QCOMPARE(SutografIni(SettingsPlace(f.dir.path())).choices(), (UserChoices{rules, 3}));
}

void YearWindowTest::writesAOnePagePdfAndACalendarOfTheYear() {
    FormFixture f("09.03.2011");
    f.start();
    frmYear year(
        2027, [] { return at(QStringLiteral("07.12.2026")); }, SettingsPlace(f.dir.path()));
    const QString pdf = f.dir.filePath(QStringLiteral("year.pdf")),
                  ics = f.dir.filePath(QStringLiteral("year.ics"));
    QVERIFY(year.writePdf(pdf));
    const QString info = run(QStringLiteral("pdfinfo"), {pdf});
    QVERIFY2(info.contains(QStringLiteral("Pages:           1")) &&
                 info.contains(QStringLiteral("842 x 595 pts (A4)")),
             qPrintable(info));
    const QString text =
        run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    QStringList wanted{QStringLiteral("График дежурств на 2027 год — 1 караул"), QStringLiteral("Год"),
                       year.hours().text(kYearRow, YearHoursModel::Worked),
                       year.hours().text(kYearRow, YearHoursModel::Norm)};
    for (int m = 0; m < 12; ++m) {
        wanted << YearHoursModel::rowName(m);
    }
    for (const QString& w : wanted) {
        QVERIFY2(text.contains(w), qPrintable(w));
    }
    QVERIFY(year.writeCalendar(ics));
    const QString events =
        run(QStringLiteral("/usr/bin/python3"),
            {QStringLiteral("-c"),
             QStringLiteral("import icalendar,sys;"
                            "print(len(icalendar.Calendar.from_ical(open(sys.argv[1],'rb').read())"
                            ".walk('VEVENT')))"),
             ics});
    QCOMPARE(events.trimmed().toInt(), year.hours().hours(kYearRow).duties);
    QVERIFY(year.findChild<QLabel*>(QStringLiteral("statusLine"))->text().contains(QStringLiteral("Google")));
}

void YearWindowTest::unwritableFolderSaysSoAndLeavesNothing_data() {
    QTest::addColumn<bool>("pdf");
    QTest::newRow("PDF") << true;
    QTest::newRow("ics") << false;
}

void YearWindowTest::unwritableFolderSaysSoAndLeavesNothing() {
    QFETCH(bool, pdf);
    FormFixture f("09.03.2011");
    const QString folder = f.dir.filePath(QStringLiteral("locked"));
    QVERIFY(QDir().mkdir(folder));
    frmYear year(
        2027, [] { return at(QStringLiteral("07.12.2026")); }, SettingsPlace(f.dir.path()));
    const QString path = folder + (pdf ? QStringLiteral("/year.pdf") : QStringLiteral("/year.ics"));
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    bool written = true;
    {
        const NoRootOverride asOrdinaryUser;
        written = pdf ? year.writePdf(path) : year.writeCalendar(path);
    }
    QVERIFY(!written);
    auto* box = year.findChild<QMessageBox*>(QStringLiteral("saveFailed"));
    QVERIFY(box != nullptr);
    QVERIFY2(box->text().contains(path) && box->text().contains(QStringLiteral("нет права записи")),
             qPrintable(box->text()));
    QVERIFY(QDir(folder).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

void YearWindowTest::junkInTheYearBoxKeepsTheYear() {
    FormFixture f("09.03.2011");
    frmYear year(
        2027, [] { return at(QStringLiteral("07.12.2026")); }, SettingsPlace(f.dir.path()));
    const Hours before = year.hours().hours(kYearRow);
    auto* box = year.findChild<QSpinBox*>(QStringLiteral("yearBox"));
    for (const char* junk : {"abc", "20", ""}) {
        box->selectAll();
        QTest::keyClicks(box, QString::fromLatin1(junk));
        QTest::keyClick(box, Qt::Key_Return);
        box->clearFocus();
        QCOMPARE(year.shownYear(), 2027);
        QVERIFY(year.hours().hours(kYearRow) == before);
    }
}

void YearWindowTest::damagedFilesGiveDefaultsAndSaySo() {
    FormFixture f("09.03.2011");
    QFile ini(f.dir.filePath(QStringLiteral("sutograf.ini"))),
        csv(f.dir.filePath(QStringLiteral("calendar.csv")));
    QVERIFY(ini.open(QIODevice::WriteOnly) &&
            ini.write(QByteArray("\xFF", 1) + QByteArray(1, '\0') + "junk\n[duty]\nstart=99:99\n") > 0);
    QVERIFY(csv.open(QIODevice::WriteOnly) && csv.write("date,kind,note\n2028-13-01,holiday,\n") > 0);
    ini.close();
    csv.close();
    frmYear year(
        2028, [] { return at(QStringLiteral("07.12.2026")); }, SettingsPlace(f.dir.path()));
    QCOMPARE(year.shownWatch(), 1);
    QCOMPARE(year.findChild<QTimeEdit*>(QStringLiteral("startBox"))->time(), QTime(8, 0));
    const QString problems = year.findChild<QLabel*>(QStringLiteral("problemsLine"))->text();
    QVERIFY2(problems.contains(csv.fileName()) && problems.contains(QStringLiteral("строка 2")) &&
                 problems.contains(ini.fileName()),
             qPrintable(problems));
}

QTEST_MAIN(YearWindowTest)
#include "year_window_test.moc"
