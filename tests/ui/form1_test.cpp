#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QToolButton>
#include <QtTest>

#include "core/rota.h"
#include "tests/ui/ui_test_support.h"
#include "ui/twips.h"
#include "ui/up_down.h"

using namespace sutograf;
using namespace sutograf::testing;

class Form1Test : public QObject {
    Q_OBJECT
private slots:
    void startsOnTodaysMonth();
    void readsTheOffsetBeforeTheFirstRebuild();
    void layout_data();
    void layout();
    void pickingAMonthStoresItsNumberAndRebuilds();
    void typingIntoTheMonthFieldChangesNothing();
    void upArrowGoesToNextYear();
    void arrowsGoOnFromATypedYearAndStopAtTheEnds();
    void typingAYearRebuildsAtEveryKey();
    void badYearTextLeavesTheGridAlone_data();
    void badYearTextLeavesTheGridAlone();
    void frameFollowsToday();
    void rebuildingTwiceChangesNothing();
    void oddOffsetKeepsColoursOfDaysWithoutAWatch();
    void tabOrderRunsMonthYearSpin();
    void exitClosesTheWindow();
    void grabLooksRight();
};

void Form1Test::startsOnTodaysMonth() {
    FormFixture f("09.03.2011", "0");
    f.start();
    auto* combo = f.control<QComboBox>("ПолеСоСпискомМесяц");
    QCOMPARE(combo->currentText(), QStringLiteral("Март"));
    QCOMPARE(combo->currentIndex(), 2);
    QCOMPARE(combo->property("Tag").toString(), QStringLiteral("3"));
    QCOMPARE(f.control<QLineEdit>("ПолеГод")->text(), QStringLiteral("2011"));
    QCOMPARE(f.control<UpDown>("UpDown7")->value(), 2011);
    QCOMPARE(f.control<QLabel>("Seyden")->text(), QStringLiteral("09.03.2011"));
    QCOMPARE(f.form->windowTitle(), QStringLiteral("Сутограф"));
    QVERIFY(!f.form->windowIcon().pixmap(32).isNull());
    QCOMPARE(f.control("Ramka")->pos(), f.cell(16)->pos());
    QCOMPARE(f.cell(16)->pos(), QPoint(tw(600 + 360 * 2), tw(600 + 360 * 2)));
    verifyShows(f, 2011, 3, 0, dmy("09.03.2011"));
    QCOMPARE(f.cell(8)->toolTip(), QStringLiteral("01.03.2011, 4 караул"));
    QCOMPARE(f.cell(0)->foreColor(), kGreyText);
}

void Form1Test::readsTheOffsetBeforeTheFirstRebuild() {
    FormFixture f("01.01.2011", "2\r\n");
    f.start();
    QCOMPARE(BazovyKaraul, 2.0f);
    verifyShows(f, 2011, 1, 2, dmy("01.01.2011"));
    QCOMPARE(f.cell(12)->toolTip(), QStringLiteral("01.01.2011, 3 караул"));
}

void Form1Test::layout_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("index");
    QTest::addColumn<QRect>("twips");
    QTest::newRow("month list") << "ПолеСоСпискомМесяц" << -1 << QRect(600, 120, 1815, 315);
    QTest::newRow("year box") << "ПолеГод" << -1 << QRect(2520, 120, 735, 315);
    QTest::newRow("year spin") << "UpDown7" << -1 << QRect(3255, 120, 240, 315);
    QTest::newRow("Monday header") << "Label1" << 0 << QRect(120, 600, 375, 255);
    QTest::newRow("Sunday header") << "Label1" << 6 << QRect(120, 600 + 360 * 6, 375, 255);
    QTest::newRow("first cell") << "Надпись0" << 0 << QRect(600, 600, 315, 315);
    QTest::newRow("first cell of week 2") << "Надпись0" << 7 << QRect(960, 600, 315, 315);
    QTest::newRow("last cell") << "Надпись0" << 55 << QRect(600 + 360 * 7, 600 + 360 * 6, 315, 315);
    QTest::newRow("today caption") << "Label2" << -1 << QRect(840, 3240, 1095, 255);
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
    QCOMPARE(w->geometry(), twipsRect(twips.x(), twips.y(), twips.width(), twips.height()));
    QCOMPARE(f.form->centralWidget()->size(), QSize(243, 243));
}

void Form1Test::pickingAMonthStoresItsNumberAndRebuilds() {
    FormFixture f;
    f.start();
    auto* combo = f.control<QComboBox>("ПолеСоСпискомМесяц");
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Up); // Февраль
    QTest::keyClick(combo, Qt::Key_Up); // Январь
    QCOMPARE(combo->currentText(), QStringLiteral("Январь"));
    QCOMPARE(combo->property("Tag").toString(), QStringLiteral("1"));
    verifyShows(f, 2011, 1, 0, dmy("09.03.2011"));
    combo->setCurrentIndex(11);
    QCOMPARE(combo->property("Tag").toString(), QStringLiteral("12"));
    verifyShows(f, 2011, 12, 0, dmy("09.03.2011"));
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

void Form1Test::upArrowGoesToNextYear() {
    FormFixture f;
    f.start();
    QTest::mouseClick(f.control<UpDown>("UpDown7")->upButton(), Qt::LeftButton);
    QCOMPARE(f.control<QLineEdit>("ПолеГод")->text(), QStringLiteral("2012"));
    QCOMPARE(f.control<QComboBox>("ПолеСоСпискомМесяц")->property("Tag").toString(), QStringLiteral("3"));
    verifyShows(f, 2012, 3, 0, dmy("09.03.2011"));
}

void Form1Test::arrowsGoOnFromATypedYearAndStopAtTheEnds() {
    FormFixture f;
    f.start();
    auto* year = f.control<QLineEdit>("ПолеГод");
    auto* spin = f.control<UpDown>("UpDown7");
    year->setText(QStringLiteral("2020"));
    QTest::mouseClick(spin->upButton(), Qt::LeftButton);
    QCOMPARE(year->text(), QStringLiteral("2021"));
    year->setText(QStringLiteral("2022"));
    QTest::mouseClick(spin->downButton(), Qt::LeftButton); // back to the spin's own value
    QCOMPARE(year->text(), QStringLiteral("2021"));
    year->setText(QStringLiteral("abc"));
    QTest::mouseClick(spin->downButton(), Qt::LeftButton); // goes on from its own value
    QCOMPARE(year->text(), QStringLiteral("2020"));
    year->setText(QStringLiteral("3000"));
    QTest::mouseClick(spin->upButton(), Qt::LeftButton);
    QCOMPARE(year->text(), QStringLiteral("3000"));
    QCOMPARE(spin->value(), 3000);
    year->setText(QStringLiteral("0"));
    QTest::mouseClick(spin->downButton(), Qt::LeftButton);
    QCOMPARE(spin->value(), 0);
    QCOMPARE(year->text(), QStringLiteral("0"));
    verifyShows(f, 2000, 3, 0, dmy("09.03.2011")); // year 0 is 2000
    year->setFocus();
    QTest::keyClick(year, Qt::Key_Up);
    QCOMPARE(year->text(), QStringLiteral("1"));
}

void Form1Test::typingAYearRebuildsAtEveryKey() {
    FormFixture f;
    f.start();
    auto* year = f.control<QLineEdit>("ПолеГод");
    year->setFocus();
    year->selectAll();
    const struct {
        char key;
        float shownYear;
    } steps[] = {{'2', 2002}, {'0', 2020}, {'1', 201}, {'2', 2012}};
    for (const auto& step : steps) {
        QTest::keyClick(year, step.key);
        verifyShows(f, step.shownYear, 3, 0, dmy("09.03.2011"));
    }
    QCOMPARE(f.control<UpDown>("UpDown7")->value(), 2011); // the spin does not follow typing
}

void Form1Test::badYearTextLeavesTheGridAlone_data() {
    QTest::addColumn<QString>("year");
    QTest::addColumn<int>("month");
    QTest::newRow("empty") << "" << 3;
    QTest::newRow("letters") << "abc" << 3;
    QTest::newRow("negative") << "-5" << 3;
    QTest::newRow("fraction") << "2011.5" << 3;
    QTest::newRow("five digits") << "99999" << 3;
    QTest::newRow("pasted junk") << "\t2011\x01\xd0\xbf" << 3;
    QTest::newRow("huge") << "1e30" << 3;
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
    f.form->Sutograf_Formirovanie();
    QVERIFY(lookOf(f) == before);
}

void Form1Test::frameFollowsToday() {
    FormFixture f("09.03.2011");
    f.start();
    auto* year = f.control<QLineEdit>("ПолеГод");
    year->setText(QStringLiteral("2012"));
    verifyShows(f, 2012, 3, 0, dmy("09.03.2011")); // today not among the days: hidden
    year->setText(QStringLiteral("2011"));
    f.setToday("17.04.2011"); // a grey day of the next month, the last cell
    f.form->Sutograf_Formirovanie();
    QCOMPARE(f.control("Ramka")->pos(), f.cell(55)->pos());
    f.setToday("10.03.2011"); // midnight has passed since the start
    f.form->Sutograf_Formirovanie();
    QCOMPARE(f.control("Ramka")->pos(), f.cell(17)->pos());
    QCOMPARE(f.control<QLabel>("Seyden")->text(), QStringLiteral("09.03.2011"));
}

void Form1Test::rebuildingTwiceChangesNothing() {
    FormFixture f;
    f.start();
    const GridLook once = lookOf(f);
    f.form->Sutograf_Formirovanie();
    f.form->Sutograf_Formirovanie();
    QVERIFY(lookOf(f) == once);
}

void Form1Test::oddOffsetKeepsColoursOfDaysWithoutAWatch() {
    FormFixture f("09.03.2011", QByteArray()); // no Opt.txt: the offset in memory stays
    BazovyKaraul = 1.5f;
    f.form = new Form1([] { return dmy("09.03.2011"); }, f.dir.path());
    for (int k = 0; k < 56; ++k) {
        const bool inMonth = k >= 8 && k <= 38;
        QCOMPARE(f.cell(k)->foreColor(), inMonth ? kWindowText : kGreyText);
        QVERIFY(f.cell(k)->toolTip().isEmpty());
    }
    BazovyKaraul = 0.0f;
}

void Form1Test::tabOrderRunsMonthYearSpin() {
    FormFixture f;
    f.start();
    f.form->show();
    QVERIFY(QTest::qWaitForWindowActive(f.form));
    f.control("ПолеСоСпискомМесяц")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), f.control("ПолеГод"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), f.control("UpDown7"));
}

void Form1Test::exitClosesTheWindow() {
    FormFixture f;
    f.start();
    f.form->show();
    auto* exit = f.form->findChild<QAction*>(QStringLiteral("mnuExit"));
    QCOMPARE(exit->property("Index").toInt(), 120);
    QCOMPARE(exit->text(), QStringLiteral("Выход"));
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
    QCOMPARE(client.size() / client.devicePixelRatio(), QSize(243, 243));
    const auto near = [](QColor c, int r, int g, int b) {
        return qAbs(c.red() - r) <= 2 && qAbs(c.green() - g) <= 2 && qAbs(c.blue() - b) <= 2;
    };
    QVERIFY(near(client.pixelColor(242, 236), 202, 236, 254)); // right edge of the background
    QVERIFY(near(client.pixelColor(1, 236), 51, 204, 254));    // left edge, inside the black line
    QVERIFY(near(client.pixelColor(0, 236), 0, 0, 0));         // the frame line on the left
    const QPoint cell9 = f.cell(9)->geometry().bottomLeft() + QPoint(2, -2);
    QVERIFY(near(client.pixelColor(cell9), 0, 255, 255)); // cyan cell
    const QPoint frameEdge = f.cell(16)->geometry().center() - QPoint(f.cell(16)->width() / 2 - 1, 0);
    QVERIFY(near(client.pixelColor(frameEdge), 255, 0, 0)); // today's red frame
}

QTEST_MAIN(Form1Test)
#include "form1_test.moc"
