#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include "twips.h"
#include "ui/ui_test_support.h"
#include "up_down.h"

using namespace sutograf;
using namespace sutograf::testing;

class Form1Test : public QObject {
    Q_OBJECT
private slots:
    void startsOnTodaysMonth_data();
    void startsOnTodaysMonth();
    void layout_data();
    void layout();
    void pickingAMonthRebuilds();
    void arrowsGoOnFromATypedYearAndStopAtTheEnds();
    void typingIntoTheMonthFieldChangesNothing();
    void typingAYearRebuildsAtEveryKey();
    void badYearTextLeavesTheGridAlone_data();
    void badYearTextLeavesTheGridAlone();
    void todayMovesOnWithTheClock_data();
    void todayMovesOnWithTheClock();
    void oddOffsetKeepsColoursOfDaysWithoutAWatch();
    void tabOrderAndExit();
    void grabLooksRight();
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
    const QString today = now.left(10);
    auto* combo = f.control<QComboBox>("ПолеСоСпискомМесяц");
    QCOMPARE(combo->currentText(), monthName);
    QCOMPARE(combo->currentIndex(), month - 1);
    QCOMPARE(combo->property("Tag").toString(), QString::number(month));
    QCOMPARE(f.control<QLineEdit>("ПолеГод")->text(), QStringLiteral("2011"));
    QCOMPARE(f.control<UpDown>("UpDown7")->value(), 2011);
    QCOMPARE(f.control<QLabel>("Seyden")->text(), today);
    QCOMPARE(f.form->windowTitle(), QStringLiteral("Сутограф"));
    QVERIFY(!f.form->windowIcon().pixmap(32).isNull());
    QCOMPARE(BazovyKaraul, offset);
    verifyShows(f, 2011, month, offset, at(today).date);
    const GridLook once = lookOf(f);
    f.form->Sutograf_Formirovanie();
    f.form->Sutograf_Formirovanie();
    QVERIFY(lookOf(f) == once);
}

void Form1Test::layout_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("index");
    QTest::addColumn<QRect>("twips");
    QTest::newRow("month list") << "ПолеСоСпискомМесяц" << -1 << QRect(600, 120, 1815, 315);
    QTest::newRow("year box") << "ПолеГод" << -1 << QRect(2520, 120, 735, 315);
    QTest::newRow("year spin") << "UpDown7" << -1 << QRect(3255, 120, 240, 315);
    QTest::newRow("Sunday header") << "Label1" << 6 << QRect(120, 600 + 360 * 6, 375, 255);
    QTest::newRow("first cell of week 2") << "Надпись0" << 7 << QRect(960, 600, 315, 315);
    QTest::newRow("today's date") << "Seyden" << -1 << QRect(1920, 3240, 1215, 255);
}

void Form1Test::layout() {
    QFETCH(QString, name);
    QFETCH(int, index);
    QFETCH(QRect, twips);
    FormFixture f;
    f.start();
    QWidget* w = f.control(name.toUtf8().constData(), index);
    QVERIFY(w != nullptr);
    QCOMPARE(w->geometry(), twipsRect(twips));
    QCOMPARE(f.form->centralWidget()->size(), QSize(243, 243));
}

void Form1Test::pickingAMonthRebuilds() {
    FormFixture f;
    f.start();
    auto* combo = f.control<QComboBox>("ПолеСоСпискомМесяц");
    QTest::keyClick(combo, Qt::Key_Up); // Февраль
    QTest::keyClick(combo, Qt::Key_Up); // Январь
    QCOMPARE(combo->currentText(), QStringLiteral("Январь"));
    QCOMPARE(combo->property("Tag").toString(), QStringLiteral("1"));
    verifyShows(f, 2011, 1, 0, dmy("09.03.2011"));
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

void Form1Test::typingIntoTheMonthFieldChangesNothing() {
    FormFixture f;
    f.start();
    auto* combo = f.control<QComboBox>("ПолеСоСпискомМесяц");
    const GridLook before = lookOf(f);
    combo->lineEdit()->selectAll();
    typeText(combo->lineEdit(), QStringLiteral("Май"));
    QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
    f.control("ПолеГод")->setFocus(); // leaving the field finishes editing
    QCOMPARE(combo->lineEdit()->text(), QStringLiteral("Май"));
    QCOMPARE(combo->property("Tag").toString(), QStringLiteral("3"));
    QCOMPARE(combo->count(), 12);
    QVERIFY(lookOf(f) == before);
}

void Form1Test::typingAYearRebuildsAtEveryKey() {
    FormFixture f;
    f.start();
    auto* year = f.control<QLineEdit>("ПолеГод");
    year->selectAll();
    const std::pair<char, float> steps[] = {{'2', 2002}, {'0', 2020}, {'1', 201}, {'2', 2012}};
    for (const auto& [key, shownYear] : steps) {
        QTest::keyClick(year, key);
        verifyShows(f, shownYear, 3, 0, dmy("09.03.2011"));
    }
    QCOMPARE(f.control<UpDown>("UpDown7")->value(), 2011); // the spin does not follow typing
}

void Form1Test::badYearTextLeavesTheGridAlone_data() {
    QTest::addColumn<QString>("year");
    QTest::addColumn<int>("month");
    for (const char* text : {"", "abc", "-5", "2011.5", "99999", "1e30", "\t2011\x01\xd0\xbf"}) {
        QTest::newRow(text) << QString::fromUtf8(text) << 3;
    }
    QTest::newRow("before the first date") << "100" << 1;
    QTest::newRow("after the last date") << "9999" << 12;
}

void Form1Test::badYearTextLeavesTheGridAlone() {
    QFETCH(QString, year);
    QFETCH(int, month);
    FormFixture f("15.03.2011");
    f.start();
    f.control<QComboBox>("ПолеСоСпискомМесяц")->setCurrentIndex(month - 1);
    const GridLook before = lookOf(f);
    f.control<QLineEdit>("ПолеГод")->setText(year);
    QVERIFY(lookOf(f) == before);
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
        QCOMPARE(f.cell(k)->foreColor(), k >= 8 && k <= 38 ? kWindowText : kGreyText);
        QVERIFY(f.cell(k)->toolTip().isEmpty());
    }
}

void Form1Test::tabOrderAndExit() {
    FormFixture f;
    f.start();
    f.form->show();
    QVERIFY(QTest::qWaitForWindowActive(f.form));
    f.control("ПолеСоСпискомМесяц")->setFocus();
    for (const char* next : {"ПолеГод", "UpDown7"}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), f.control(next));
    }
    auto* exit = f.form->findChild<QAction*>(QStringLiteral("mnuExit"));
    QCOMPARE(exit->property("Index").toInt(), 120);
    exit->trigger();
    QTRY_VERIFY(f.form.isNull()); // unloaded, not just hidden
}

void Form1Test::grabLooksRight() {
    FormFixture f("09.03.2011");
    f.start();
    f.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.form));
    const QImage client = f.form->centralWidget()->grab().toImage();
    client.save(QStringLiteral(SUTOGRAF_GRAB_DIR "/form1.png"));
    f.form->grab().save(QStringLiteral(SUTOGRAF_GRAB_DIR "/form1-with-menu.png"));
    const auto near = [&client](QPoint at, int r, int g, int b) {
        const QColor c = client.pixelColor(at);
        return qAbs(c.red() - r) <= 2 && qAbs(c.green() - g) <= 2 && qAbs(c.blue() - b) <= 2;
    };
    QVERIFY(near({242, 236}, 202, 236, 254)); // right edge of the background
    QVERIFY(near({1, 236}, 51, 204, 254));    // left edge, inside the black line
    QVERIFY(near({0, 236}, 0, 0, 0));         // the frame line on the left
    QVERIFY(near(f.cell(9)->geometry().bottomLeft() + QPoint(2, -2), 0, 255, 255)); // a cyan cell
    QVERIFY(near(f.cell(16)->geometry().topLeft() + QPoint(1, 10), 255, 0, 0));     // today's red frame
}

QTEST_MAIN(Form1Test)
#include "form1_test.moc"
