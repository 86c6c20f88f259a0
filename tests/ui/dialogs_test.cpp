#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "tests/common/no_root_override.h"
#include "tests/ui/ui_test_support.h"
#include "ui/frm_about.h"
#include "ui/frm_settings.h"
#include "ui/twips.h"

using namespace sutograf;
using namespace sutograf::testing;

namespace {

QWidget* topLevel(const char* name) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QLatin1String(name) && w->isVisible()) {
            return w;
        }
    }
    return nullptr;
}

int visibleTopLevels(const char* name) {
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        n += w->objectName() == QLatin1String(name) && w->isVisible() ? 1 : 0;
    }
    return n;
}

QWidget* openMenu(const FormFixture& f, const char* entry, const char* window) {
    f.form->findChild<QAction*>(QString::fromLatin1(entry))->trigger();
    return topLevel(window);
}

QRadioButton* option(QWidget* settings, int index) {
    for (auto* o : settings->findChildren<QRadioButton*>(QStringLiteral("Option1"))) {
        if (o->property("Index").toInt() == index) {
            return o;
        }
    }
    return nullptr;
}

int selectedOption(QWidget* settings) {
    for (int i = 0; i < 4; ++i) {
        if (option(settings, i)->isChecked()) {
            return i;
        }
    }
    return -1;
}

QByteArray optTxt(const FormFixture& f) {
    QFile file(f.dir.filePath(QStringLiteral("Opt.txt")));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void save(QWidget* settings) {
    QTest::mouseClick(settings->findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
}

} // namespace

class DialogsTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup();
    void settingsLayout();
    void eachChoiceIsSavedAndShown_data();
    void eachChoiceIsSavedAndShown();
    void saveWithoutChangeStillRewritesAndRebuilds();
    void closeBoxStoresNothing();
    void saveUsesTheMonthShownAtThatMoment();
    void oddOffsetsOpenOnTheNearestWatch_data();
    void oddOffsetsOpenOnTheNearestWatch();
    void failedSaveSaysSoAndKeepsTheOldFile();
    void saveAfterTheMainWindowClosed();
    void settingsOpensOnce();
    void aboutShowsTheVersionRecord();
    void aboutWithoutACompanyName();
    void aboutCloses_data();
    void aboutCloses();
    void aboutOutlivesTheMainWindow();
    void grabs();
};

void DialogsTest::cleanup() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QLatin1String("frmSettings") || w->objectName() == QLatin1String("frmAbout")) {
            delete w;
        }
    }
    BazovyKaraul = 0.0f;
}

void DialogsTest::settingsLayout() {
    FormFixture f;
    f.start();
    QWidget* s = openMenu(f, "mnuSettings", "frmSettings");
    QVERIFY(s != nullptr);
    QCOMPARE(s->windowTitle(), QStringLiteral("Настройки"));
    QCOMPARE(s->size(), QSize(tw(4065), tw(2475)));
    auto* frame = s->findChild<QGroupBox*>(QStringLiteral("Karaul"));
    QCOMPARE(frame->title(), QStringLiteral("Выберите караул дежуривший 01.01.2011"));
    QCOMPARE(frame->geometry(), twipsRect(240, 240, 3615, 1455));
    const struct {
        const char* caption;
        QRect twips;
        QColor colour;
    } expected[] = {{"Караул №1", {240, 480, 1335, 255}, QColor(255, 0, 255)},
                    {"Караул №2", {240, 840, 1335, 255}, QColor(0, 0, 255)},
                    {"Караул №3", {1920, 480, 1335, 255}, QColor(255, 0, 0)},
                    {"Караул №4", {1920, 840, 1335, 255}, QColor(255, 255, 0)}};
    for (int i = 0; i < 4; ++i) {
        QRadioButton* o = option(s, i);
        QCOMPARE(o->text(), QString::fromUtf8(expected[i].caption));
        QCOMPARE(o->geometry(), twipsRect(expected[i].twips.x(), expected[i].twips.y(),
                                          expected[i].twips.width(), expected[i].twips.height()));
        QCOMPARE(o->palette().color(QPalette::WindowText), expected[i].colour);
        QVERIFY(o->font().bold());
    }
    auto* button = s->findChild<QPushButton*>(QStringLiteral("Command1"));
    QCOMPARE(button->text(), QStringLiteral("Сохранить"));
    QCOMPARE(button->geometry(), twipsRect(1440, 1800, 975, 495));
    QVERIFY(!button->isDefault());
    s->resize(500, 400); // sizable; the controls stay where they are
    QCOMPARE(button->geometry(), twipsRect(1440, 1800, 975, 495));
}

void DialogsTest::eachChoiceIsSavedAndShown_data() {
    QTest::addColumn<int>("choice");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("Караул №1") << 0 << QByteArray("0\r\n");
    QTest::newRow("Караул №2") << 1 << QByteArray("1\r\n");
    QTest::newRow("Караул №3") << 2 << QByteArray("2\r\n");
    QTest::newRow("Караул №4") << 3 << QByteArray("3\r\n");
}

void DialogsTest::eachChoiceIsSavedAndShown() {
    QFETCH(int, choice);
    QFETCH(QByteArray, bytes);
    FormFixture f("09.03.2011", "1\r\nan older, longer file\r\n");
    f.start();
    QPointer<QWidget> s = openMenu(f, "mnuSettings", "frmSettings");
    QCOMPARE(selectedOption(s), 1);
    QTest::mouseClick(option(s, choice), Qt::LeftButton);
    QCOMPARE(BazovyKaraul, 1.0f); // picking alone changes nothing
    save(s);
    QCOMPARE(optTxt(f), bytes);
    QCOMPARE(BazovyKaraul, static_cast<float>(choice));
    verifyShows(f, 2011, 3, static_cast<float>(choice), dmy("09.03.2011"));
    QTRY_VERIFY(s.isNull());
}

void DialogsTest::saveWithoutChangeStillRewritesAndRebuilds() {
    FormFixture f("09.03.2011", "2\r\ntrailing lines\r\n");
    f.start();
    QWidget* s = openMenu(f, "mnuSettings", "frmSettings");
    QCOMPARE(selectedOption(s), 2);
    f.setToday("10.03.2011"); // only a rebuild can move the frame
    save(s);
    QCOMPARE(optTxt(f), QByteArray("2\r\n"));
    QCOMPARE(f.control("Ramka")->pos(), f.cell(17)->pos());
}

void DialogsTest::closeBoxStoresNothing() {
    FormFixture f("09.03.2011", "0\r\n");
    f.start();
    const GridLook before = lookOf(f);
    QPointer<QWidget> s = openMenu(f, "mnuSettings", "frmSettings");
    QTest::mouseClick(option(s, 3), Qt::LeftButton);
    s->close();
    QTRY_VERIFY(s.isNull());
    QCOMPARE(BazovyKaraul, 0.0f);
    QCOMPARE(optTxt(f), QByteArray("0\r\n"));
    QVERIFY(lookOf(f) == before);
    s = openMenu(f, "mnuSettings", "frmSettings");
    QCOMPARE(selectedOption(s), 0);
}

void DialogsTest::saveUsesTheMonthShownAtThatMoment() {
    FormFixture f;
    f.start();
    QWidget* s = openMenu(f, "mnuSettings", "frmSettings");
    f.control<QComboBox>("ПолеСоСпискомМесяц")->setCurrentIndex(0);
    QTest::mouseClick(option(s, 1), Qt::LeftButton);
    save(s);
    verifyShows(f, 2011, 1, 1, dmy("09.03.2011"));
}

void DialogsTest::oddOffsetsOpenOnTheNearestWatch_data() {
    QTest::addColumn<float>("offset");
    QTest::addColumn<int>("selected");
    QTest::newRow("1.5 rounds to 2") << 1.5f << 2;
    QTest::newRow("2.5 rounds to even 2") << 2.5f << 2;
    QTest::newRow("3.5 rounds to 4, nearest is 3") << 3.5f << 3;
    QTest::newRow("-1 nearest is 0") << -1.0f << 0;
}

void DialogsTest::oddOffsetsOpenOnTheNearestWatch() {
    QFETCH(float, offset);
    QFETCH(int, selected);
    FormFixture f;
    f.start();
    BazovyKaraul = offset;
    QWidget* s = openMenu(f, "mnuSettings", "frmSettings");
    QCOMPARE(selectedOption(s), selected);
    save(s);
    QCOMPARE(optTxt(f), QByteArray::number(selected) + "\r\n");
    QCOMPARE(BazovyKaraul, static_cast<float>(selected));
}

void DialogsTest::failedSaveSaysSoAndKeepsTheOldFile() {
    FormFixture f("09.03.2011", "1\r\n");
    f.start();
    QWidget* s = openMenu(f, "mnuSettings", "frmSettings");
    QTest::mouseClick(option(s, 3), Qt::LeftButton);
    QVERIFY(QFile::setPermissions(f.dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    {
        const NoRootOverride asOrdinaryUser;
        save(s);
    }
    QFile::setPermissions(f.dir.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QCOMPARE(optTxt(f), QByteArray("1\r\n"));
    auto* box = s->findChild<QMessageBox*>(QStringLiteral("saveFailed"));
    QVERIFY(box != nullptr);
    QVERIFY(box->isVisible());
    QVERIFY2(box->text().contains(f.dir.filePath(QStringLiteral("Opt.txt"))), qPrintable(box->text()));
    QVERIFY(box->text().contains(QStringLiteral("нет права записи")));
    QVERIFY(s->isVisible()); // still open, to try again
    // The choice holds for this run, and the grid shows it.
    QCOMPARE(BazovyKaraul, 3.0f);
    verifyShows(f, 2011, 3, 3, dmy("09.03.2011"));
    box->accept();
    save(s); // the directory is writable again
    QCOMPARE(optTxt(f), QByteArray("3\r\n"));
}

void DialogsTest::saveAfterTheMainWindowClosed() {
    FormFixture f;
    f.start();
    f.form->show();
    QPointer<QWidget> s = openMenu(f, "mnuSettings", "frmSettings");
    f.form->findChild<QAction*>(QStringLiteral("mnuExit"))->trigger();
    QTRY_VERIFY(f.form.isNull());
    QVERIFY(s->isVisible());
    QTest::mouseClick(option(s, 2), Qt::LeftButton);
    save(s);
    QCOMPARE(optTxt(f), QByteArray("2\r\n"));
    QCOMPARE(BazovyKaraul, 2.0f);
    QTRY_VERIFY(s.isNull());
}

void DialogsTest::settingsOpensOnce() {
    FormFixture f("09.03.2011", "0\r\n");
    f.start();
    QWidget* first = openMenu(f, "mnuSettings", "frmSettings");
    QTest::mouseClick(option(first, 2), Qt::LeftButton);
    QWidget* second = openMenu(f, "mnuSettings", "frmSettings");
    QCOMPARE(second, first);
    QCOMPARE(visibleTopLevels("frmSettings"), 1);
    QCOMPARE(selectedOption(second), 2); // not loaded anew
}

void DialogsTest::aboutShowsTheVersionRecord() {
    FormFixture f;
    f.start();
    QWidget* about = openMenu(f, "mnuSpravka", "frmAbout");
    QVERIFY(about != nullptr);
    QCOMPARE(about->windowTitle(), QStringLiteral("Описание программы Сутограф"));
    const auto text = [about](const char* name) {
        return about->findChild<QLabel*>(QLatin1String(name))->text();
    };
    QCOMPARE(text("lblTitle"), QStringLiteral("Сутограф"));
    QCOMPARE(text("lblVersion"), QStringLiteral("Версия 0.9.3"));
    QCOMPARE(text("lblAuthor"), QStringLiteral("Разработчик: ") + builtVersionRecord().company);
    QVERIFY(!builtVersionRecord().company.isEmpty());
    QCOMPARE(
        text("lblDescription"),
        QStringLiteral("Программа предназначена для определения графика суточных дежурств подразделений "
                       "пожарной охраны Российской Федерации, основанного на системе сутки через трое."));
    QCOMPARE(about->geometry(), twipsRect(2340, 1935, 5130, 3120));
    QCOMPARE(about->findChild<QLabel*>(QStringLiteral("picIcon"))->pixmap().size(), QSize(32, 32));
    QVERIFY(about->findChild<QPushButton*>(QStringLiteral("cmdOK"))->isDefault());
    openMenu(f, "mnuSpravka", "frmAbout");
    QCOMPARE(visibleTopLevels("frmAbout"), 1);
}

void DialogsTest::aboutWithoutACompanyName() {
    VersionRecord record = builtVersionRecord();
    record.company.clear();
    frmAbout about(record);
    QCOMPARE(about.findChild<QLabel*>(QStringLiteral("lblAuthor"))->text(), QStringLiteral("Разработчик: "));
}

void DialogsTest::aboutCloses_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("OK") << "ok";
    QTest::newRow("Enter") << "enter";
    QTest::newRow("Esc") << "esc";
    QTest::newRow("close box") << "close";
}

void DialogsTest::aboutCloses() {
    QFETCH(QString, how);
    FormFixture f;
    f.start();
    QPointer<QWidget> about = openMenu(f, "mnuSpravka", "frmAbout");
    QVERIFY(QTest::qWaitForWindowActive(about));
    if (how == QLatin1String("ok")) {
        QTest::mouseClick(about->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
    } else if (how == QLatin1String("enter")) {
        QTest::keyClick(about, Qt::Key_Return);
    } else if (how == QLatin1String("esc")) {
        QTest::keyClick(about, Qt::Key_Escape);
    } else {
        about->close();
    }
    QTRY_VERIFY(about.isNull());
}

// Qt ends the program when its last visible window closes (it says so only inside exec()).
static int visibleWindows() {
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        n += w->isVisible() ? 1 : 0;
    }
    return n;
}

void DialogsTest::aboutOutlivesTheMainWindow() {
    FormFixture f;
    f.start();
    f.form->show();
    QPointer<QWidget> about = openMenu(f, "mnuSpravka", "frmAbout");
    f.form->findChild<QAction*>(QStringLiteral("mnuExit"))->trigger();
    QTRY_VERIFY(f.form.isNull());
    QVERIFY(about->isVisible());
    QCOMPARE(visibleWindows(), 1);
    QTest::mouseClick(about->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
    QTRY_VERIFY(about.isNull());
    QCOMPARE(visibleWindows(), 0); // and so the program ends
}

void DialogsTest::grabs() {
    FormFixture f("09.03.2011", "2\r\n");
    f.start();
    QWidget* s = openMenu(f, "mnuSettings", "frmSettings");
    QWidget* about = openMenu(f, "mnuSpravka", "frmAbout");
    QVERIFY(QTest::qWaitForWindowExposed(s));
    QVERIFY(QTest::qWaitForWindowExposed(about));
    QVERIFY(s->grab().save(QStringLiteral(SUTOGRAF_GRAB_DIR "/frmSettings.png")));
    const QImage image = about->grab().toImage();
    QVERIFY(image.save(QStringLiteral(SUTOGRAF_GRAB_DIR "/frmAbout.png")));
    // The etched separator runs to the right edge: grey above white.
    QCOMPARE(image.pixelColor(image.width() - 1, tw(2445)), QColor(128, 128, 128));
    QCOMPARE(image.pixelColor(image.width() - 1, tw(2460)), QColor(255, 255, 255));
}

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
