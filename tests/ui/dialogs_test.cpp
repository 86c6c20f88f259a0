#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include <optional>

#include "common/no_root_override.h"
#include "common/small_disk.h"
#include "frm_about.h"
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

void save(QWidget* settings) {
    QTest::mouseClick(settings->findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
}
QString labelText(QWidget* w, const char* name) { return w->findChild<QLabel*>(QLatin1String(name))->text(); }

} // namespace

class DialogsTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup();
    void saveStoresTheChoiceAndTheCloseBoxNothing_data();
    void saveStoresTheChoiceAndTheCloseBoxNothing();
    void opensOnTheNearestWatchForTheKeyboard_data();
    void opensOnTheNearestWatchForTheKeyboard();
    void failedSaveSaysSoAndKeepsTheOldFile_data();
    void failedSaveSaysSoAndKeepsTheOldFile();
    void eachDialogOpensOnce_data();
    void eachDialogOpensOnce();
    void dialogsOutliveTheMainWindow();
    void aboutShowsTheVersionRecord();
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
    const int stored = saved ? (choice >= 0 ? choice : 1) : 1;
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

// "Выход" unloads the main window only; the dialogs go on, Save stores without a grid to rebuild, and
// the program ends with its last window (Qt ends it when the last visible window closes).
void DialogsTest::dialogsOutliveTheMainWindow() {
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
    QCOMPARE(windows(), QList<QWidget*>{about});
    QTest::mouseClick(about->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
    QTRY_VERIFY(about.isNull());
    QVERIFY(windows().isEmpty());
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
    QVERIFY(labelText(about, "lblDescription")
                .endsWith(QStringLiteral("основанного на системе сутки через трое.")));
    VersionRecord nameless = builtVersionRecord();
    nameless.company.clear();
    QCOMPARE(labelText(new frmAbout(nameless), "lblAuthor"), QStringLiteral("Разработчик: "));
}

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
