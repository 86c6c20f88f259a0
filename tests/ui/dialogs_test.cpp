#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include <optional>

#include "common/no_root_override.h"
#include "common/small_disk.h"
#include "frm_about.h"
#include "twips.h"
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

void choose(QWidget* settings, int index) { QTest::mouseClick(option(settings, index), Qt::LeftButton); }
void save(QWidget* settings) {
    QTest::mouseClick(settings->findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
}
QString labelText(QWidget* w, const char* name) { return w->findChild<QLabel*>(QLatin1String(name))->text(); }

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
    void opensOnTheNearestWatchForTheKeyboard_data();
    void opensOnTheNearestWatchForTheKeyboard();
    void failedSaveSaysSoAndKeepsTheOldFile_data();
    void failedSaveSaysSoAndKeepsTheOldFile();
    void saveAfterTheMainWindowClosed();
    void eachDialogOpensOnce_data();
    void eachDialogOpensOnce();
    void aboutShowsTheVersionRecord();
    void aboutCloses_data();
    void aboutCloses();
    void aboutOutlivesTheMainWindow();
    void grabs();
};

// Deleting one window can take others of the list with it (its message box, say), so each is held
// by a guarded pointer and deleted only if still there.
void DialogsTest::cleanup() {
    QList<QPointer<QWidget>> dialogs;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QLatin1String("frmSettings") || w->objectName() == QLatin1String("frmAbout")) {
            dialogs << w;
        }
    }
    for (const QPointer<QWidget>& w : dialogs) {
        delete w.data();
    }
}

void DialogsTest::settingsLayout() {
    FormFixture f;
    f.start();
    QWidget* s = openMenu(f, "mnuSettings", "frmSettings");
    QCOMPARE(s->windowTitle(), QStringLiteral("Настройки"));
    QCOMPARE(s->size(), QSize(tw(4065), tw(2475)));
    auto* frame = s->findChild<QGroupBox*>(QStringLiteral("Karaul"));
    QCOMPARE(frame->title(), QStringLiteral("Выберите караул дежуривший 01.01.2011"));
    QCOMPARE(frame->geometry(), twipsRect(240, 240, 3615, 1455));
    const QColor colours[] = {{255, 0, 255}, {0, 0, 255}, {255, 0, 0}, {255, 255, 0}};
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(option(s, i)->text(), QStringLiteral("Караул №%1").arg(i + 1));
        QCOMPARE(option(s, i)->geometry(), twipsRect(i < 2 ? 240 : 1920, i % 2 == 0 ? 480 : 840, 1335, 255));
        QCOMPARE(option(s, i)->palette().color(QPalette::WindowText), colours[i]);
        QVERIFY(option(s, i)->font().bold());
    }
    auto* button = s->findChild<QPushButton*>(QStringLiteral("Command1"));
    QCOMPARE(button->text(), QStringLiteral("Сохранить"));
    QVERIFY(!button->isDefault());
    s->resize(500, 400); // sizable; the controls stay where they are
    QCOMPARE(button->geometry(), twipsRect(1440, 1800, 975, 495));
}

void DialogsTest::eachChoiceIsSavedAndShown_data() {
    QTest::addColumn<int>("choice");
    for (int i = 0; i < 4; ++i) {
        QTest::addRow("Караул №%d", i + 1) << i;
    }
}

void DialogsTest::eachChoiceIsSavedAndShown() {
    QFETCH(int, choice);
    FormFixture f("09.03.2011", "1\r\nan older, longer file\r\n");
    f.start();
    QPointer<QWidget> s = openMenu(f, "mnuSettings", "frmSettings");
    QCOMPARE(selectedOption(s), 1);
    choose(s, choice);
    QCOMPARE(BazovyKaraul, 1.0f); // picking alone changes nothing
    save(s);
    QCOMPARE(optTxt(f), QByteArray::number(choice) + "\r\n");
    QCOMPARE(BazovyKaraul, static_cast<float>(choice));
    verifyShows(f, 2011, 3, static_cast<float>(choice), dmy("09.03.2011"));
    QTRY_VERIFY(s.isNull());
}

// The main window stays usable meanwhile: Save rebuilds whatever month it shows at that moment.
void DialogsTest::saveWithoutChangeStillRewritesAndRebuilds() {
    FormFixture f("09.03.2011", "2\r\ntrailing lines\r\n");
    f.start();
    QWidget* s = openMenu(f, "mnuSettings", "frmSettings");
    QCOMPARE(selectedOption(s), 2);
    f.control<QComboBox>("ПолеСоСпискомМесяц")->setCurrentIndex(3);
    QSignalSpy rebuilds(f.form, &Form1::gridRebuilt);
    save(s);
    QCOMPARE(optTxt(f), QByteArray("2\r\n"));
    QCOMPARE(rebuilds.size(), 1);
    verifyShows(f, 2011, 4, 2, dmy("09.03.2011"));
}

void DialogsTest::closeBoxStoresNothing() {
    FormFixture f("09.03.2011", "0\r\n");
    f.start();
    const GridLook before = lookOf(f);
    QPointer<QWidget> s = openMenu(f, "mnuSettings", "frmSettings");
    choose(s, 3);
    s->close();
    QTRY_VERIFY(s.isNull());
    QCOMPARE(BazovyKaraul, 0.0f);
    QCOMPARE(optTxt(f), QByteArray("0\r\n"));
    QVERIFY(lookOf(f) == before);
    QCOMPARE(selectedOption(openMenu(f, "mnuSettings", "frmSettings")), 0);
}

// The dialog opens with the focus on the checked watch; the keys are pressed wherever the focus is.
void DialogsTest::opensOnTheNearestWatchForTheKeyboard_data() {
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

void DialogsTest::opensOnTheNearestWatchForTheKeyboard() {
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
    choose(s, 3);
    if (diskFull) {
        save(s);
    } else {
        QVERIFY(QFile::setPermissions(f.dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        const NoRootOverride asOrdinaryUser;
        save(s);
    }
    QCOMPARE(optTxt(f), QByteArray("1\r\n"));
    auto* box = s->findChild<QMessageBox*>(QStringLiteral("saveFailed"));
    QVERIFY(box != nullptr && box->isVisible());
    QVERIFY2(box->text().contains(f.dir.filePath(QStringLiteral("Opt.txt"))), qPrintable(box->text()));
    QVERIFY2(box->text().contains(reason), qPrintable(box->text()));
    QVERIFY(s->isVisible());                       // still open, to try again
    verifyShows(f, 2011, 3, 3, dmy("09.03.2011")); // the choice holds for this run
    box->accept();
    // Room made, or the folder writable again: the next Save goes through.
    QFile::remove(f.dir.filePath(QStringLiteral("filler")));
    QFile::setPermissions(f.dir.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    save(s);
    QCOMPARE(optTxt(f), QByteArray("3\r\n"));
}

void DialogsTest::saveAfterTheMainWindowClosed() {
    FormFixture f;
    f.start();
    f.form->show();
    QPointer<QWidget> s = openMenu(f, "mnuSettings", "frmSettings");
    f.form->findChild<QAction*>(QStringLiteral("mnuExit"))->trigger();
    QTRY_VERIFY(f.form.isNull());
    choose(s, 2);
    save(s);
    QCOMPARE(optTxt(f), QByteArray("2\r\n"));
    QTRY_VERIFY(s.isNull());
}

void DialogsTest::eachDialogOpensOnce_data() {
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("window");
    QTest::newRow("Настройки") << "mnuSettings"
                               << "frmSettings";
    QTest::newRow("Справка") << "mnuSpravka"
                             << "frmAbout";
}

void DialogsTest::eachDialogOpensOnce() {
    QFETCH(QString, entry);
    QFETCH(QString, window);
    FormFixture f;
    f.start();
    QWidget* first = openMenu(f, entry.toLatin1().constData(), window.toLatin1().constData());
    first->setWindowTitle(QStringLiteral("marked")); // a fresh load would rewrite or lose this
    first->showMinimized();
    QCOMPARE(openMenu(f, entry.toLatin1().constData(), window.toLatin1().constData()), first);
    QCOMPARE(windows(window.toLatin1().constData()).size(), 1);
    QCOMPARE(first->windowTitle(), QStringLiteral("marked"));
    QVERIFY(!first->isMinimized()); // brought back to the user, not left in the task bar
}

void DialogsTest::aboutShowsTheVersionRecord() {
    FormFixture f;
    f.start();
    QWidget* about = openMenu(f, "mnuSpravka", "frmAbout");
    QCOMPARE(about->windowTitle(), QStringLiteral("Описание программы Сутограф"));
    QCOMPARE(labelText(about, "lblTitle"), QStringLiteral("Сутограф"));
    QCOMPARE(labelText(about, "lblVersion"), QStringLiteral("Версия 0.9.3"));
    QVERIFY(!builtVersionRecord().company.isEmpty());
    QCOMPARE(labelText(about, "lblAuthor"), QStringLiteral("Разработчик: ") + builtVersionRecord().company);
    QCOMPARE(
        labelText(about, "lblDescription"),
        QStringLiteral("Программа предназначена для определения графика суточных дежурств подразделений "
                       "пожарной охраны Российской Федерации, основанного на системе сутки через трое."));
    QCOMPARE(about->geometry(), twipsRect(2340, 1935, 5130, 3120));
    QCOMPARE(about->findChild<QLabel*>(QStringLiteral("picIcon"))->pixmap().size(), QSize(32, 32));

    VersionRecord nameless = builtVersionRecord();
    nameless.company.clear();
    QCOMPARE(labelText(new frmAbout(nameless), "lblAuthor"), QStringLiteral("Разработчик: "));
}

void DialogsTest::aboutCloses_data() {
    QTest::addColumn<int>("key"); // 0: the close box
    QTest::newRow("OK") << -1;
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("Esc") << int(Qt::Key_Escape);
    QTest::newRow("close box") << 0;
}

void DialogsTest::aboutCloses() {
    QFETCH(int, key);
    FormFixture f;
    f.start();
    QPointer<QWidget> about = openMenu(f, "mnuSpravka", "frmAbout");
    QVERIFY(QTest::qWaitForWindowActive(about));
    if (key < 0) {
        QTest::mouseClick(about->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
    } else if (key > 0) {
        QTest::keyClick(about, Qt::Key(key));
    } else {
        about->close();
    }
    QTRY_VERIFY(about.isNull());
}

// Qt ends the program when its last visible window closes.
void DialogsTest::aboutOutlivesTheMainWindow() {
    FormFixture f;
    f.start();
    f.form->show();
    QPointer<QWidget> about = openMenu(f, "mnuSpravka", "frmAbout");
    f.form->findChild<QAction*>(QStringLiteral("mnuExit"))->trigger();
    QTRY_VERIFY(f.form.isNull());
    QCOMPARE(windows(), QList<QWidget*>{about});
    QTest::mouseClick(about->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
    QTRY_VERIFY(about.isNull());
    QVERIFY(windows().isEmpty());
}

void DialogsTest::grabs() {
    FormFixture f("09.03.2011", "2\r\n");
    f.start();
    QWidget* s = openMenu(f, "mnuSettings", "frmSettings");
    QWidget* about = openMenu(f, "mnuSpravka", "frmAbout");
    QVERIFY(QTest::qWaitForWindowExposed(s) && QTest::qWaitForWindowExposed(about));
    QVERIFY(s->grab().save(QStringLiteral(SUTOGRAF_GRAB_DIR "/frmSettings.png")));
    const QImage image = about->grab().toImage();
    QVERIFY(image.save(QStringLiteral(SUTOGRAF_GRAB_DIR "/frmAbout.png")));
    // The etched separator runs to the right edge: grey above white.
    QCOMPARE(image.pixelColor(image.width() - 1, tw(2445)), QColor(128, 128, 128));
    QCOMPARE(image.pixelColor(image.width() - 1, tw(2460)), QColor(255, 255, 255));
}

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
