#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include "ui/ui_test_support.h"
#include "up_down.h"

using namespace sutograf;
using namespace sutograf::testing;

class Form1Test : public QObject {
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
};

void Form1Test::startsOnTodaysMonth_data() {
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

void Form1Test::startsOnTodaysMonth() {
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
    QCOMPARE(f.control<QLineEdit>("ПолеГод")->text(), QStringLiteral("2011"));
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
void Form1Test::typingAndPicking_data() {
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

void Form1Test::typingAndPicking() {
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
            typeText(box, ch == u'\n' ? QStringLiteral("\r") : QString(ch));
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

void Form1Test::arrowsGoOnFromATypedYearAndStopAtTheEnds() {
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
    QCOMPARE(year->text(), QStringLiteral("1"));
}

void Form1Test::todayMovesOnWithTheClock_data() {
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
void Form1Test::todayMovesOnWithTheClock() {
    QFETCH(QString, start);
    QFETCH(int, firstCheckMs);
    QFETCH(QString, later);
    QFETCH(int, nextCheckMs);
    FormFixture f(start.toLatin1().constData());
    f.start();
    auto* check = f.form->findChild<QTimer*>(QStringLiteral("todayCheck"));
    const auto nextCheckIn = [check] { return check->isActive() ? check->interval() : -1; };
    QCOMPARE(nextCheckIn(), firstCheckMs);
    f.setNow(later);
    f.form->checkToday();
    QCOMPARE(f.control<QLabel>("Seyden")->text(), later.left(10));
    const Date shown = at(start).date;
    verifyShows(f, static_cast<float>(yearOf(shown)), monthOf(shown), 0, at(later).date);
    QCOMPARE(nextCheckIn(), nextCheckMs);
}

void Form1Test::oddOffsetKeepsColoursOfDaysWithoutAWatch() {
    FormFixture f("09.03.2011", QByteArray()); // no Opt.txt: the offset in memory stays
    BazovyKaraul = 1.5f;
    f.form = new Form1([] { return at(QStringLiteral("09.03.2011")); }, f.dir.path());
    for (int k = 0; k < 56; ++k) {
        QCOMPARE(f.cell(k)->foreColor(), k >= 8 && k <= 38 ? 0x80000008u : kGreyText);
        QVERIFY(f.cell(k)->toolTip().isEmpty());
    }
}

QTEST_MAIN(Form1Test)
#include "form1_test.moc"
