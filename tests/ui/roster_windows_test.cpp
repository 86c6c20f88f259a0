// «Личный состав» and «Табель» as a records clerk meets them, offscreen: edits saved at once or refused
// with their reason, marks typed on the keyboard and taken back, the timesheet on paper, and the store's
// problems said. What the store holds is read back by a second store on the same file.
#include <QStandardPaths>
#include <QtTest>
#include <QtWidgets>

#include <optional>

#include "bazovy_karaul.h"
#include "frm_roster.h"
#include "frm_timesheet.h"
#include "records/test_files.h"
#include "roster_model.h"
#include "roster_source.h"
#include "station_store.h"
#include "sutograf_ini.h"
#include "swap_dialog.h"
#include "timesheet_model.h"
#include "ui/window_fixtures.h"

using namespace sutograf;
using namespace Qt::StringLiterals;
using namespace window_fixtures;

namespace {

Date day(int d, int m = 3, int y = 2025) { return *dateOf(y, m, d); }
LocalTime march12() { return {day(12)}; }
QString text(const std::string& s) { return QString::fromStdString(s); }

// A unit's folder with a roster in it: Иванов and Сидоров of the 1st watch (Иванов on leave 10-16 March
// 2025), Петров of the 2nd. The windows share one RosterSource, as in the program.
struct Unit {
    explicit Unit(bool seeded = true) {
        if (seeded) {
            RosterStore store(db(), folder(), 0);
            const auto add = [&store](const char* name, int watch, std::vector<AbsenceSpan> absences = {}) {
                return store.addPerson({{0, name, "", 40}, {{day(1, 1), watch}}, std::move(absences)}).id;
            };
            ivanov = add("Иванов Иван", 1, {{day(10), day(16), Absence::AnnualLeave, {}, 0}});
            sidorov = add("Сидоров Семён", 1);
            petrov = add("Петров Пётр", 2);
        }
    }
    fs::path folder() const { return fs::path(dir.path().toStdString()); }
    fs::path db() const { return folder() / RosterStore::kFileName; }
    Roster stored() const { return RosterStore(db(), folder(), 0).roster(); }

    frmTimesheet& timesheet(int watch = 1) {
        sheet = new frmTimesheet(roster, &march12);
        sheet->showMonth(watch, 2025, 3);
        return shown(*sheet);
    }
    frmRoster& rosterWindow() { return shown(*(list = new frmRoster(roster, &march12))); }
    template <class W> static W& shown(W& window) {
        window.show();
        window.activateWindow();
        [[maybe_unused]] const bool active = QTest::qWaitForWindowActive(&window);
        return window;
    }
    ~Unit() {
        delete sheet.data();
        delete list.data();
    }

    QTemporaryDir dir;
    RotaOffset offset{SettingsPlace(dir.path())};
    RosterSource roster{offset};
    PersonId ivanov = 0, sidorov = 0, petrov = 0;
    QPointer<frmTimesheet> sheet;
    QPointer<frmRoster> list;
};

// A person's row, and a day's column as the sheet lays the month out: the first day first.
QModelIndex cellOf(frmTimesheet& w, PersonId who, Date d) {
    return w.model().index(w.model().rowOf(who), dayOf(d) - 1);
}
QRect cellRect(frmTimesheet& w, PersonId who, Date d) { return w.table()->visualRect(cellOf(w, who, d)); }
QString cellText(frmTimesheet& w, PersonId who, Date d) { return cellOf(w, who, d).data().toString(); }

// The cell as drawn: its ground, and whether anything dark is written in its upper and lower halves.
struct Drawn {
    QColor ground;
    bool codes, hours;
};
Drawn drawn(frmTimesheet& w, PersonId who, Date d) {
    const QRect r = cellRect(w, who, d);
    const QImage cell = w.table()->viewport()->grab(r).toImage();
    const auto dark = [&cell](int top, int bottom) {
        return pixelsIn(cell, QRect(0, top, cell.width(), bottom - top),
                        [](QRgb c) { return qGray(c) < 80; }) > 0;
    };
    return {cell.pixelColor(2, 2), dark(1, cell.height() / 2),
            dark(cell.height() / 2 + 1, cell.height() - 1)};
}

using Edit = std::function<bool(Unit&)>;

} // namespace

class RosterWindowsTest : public QObject {
    Q_OBJECT
private slots:
    // The store says no; the window says why in the store's words, keeps its table as the store holds
    // it, and the file holds what it held.
    void refusedEditSaysWhyAndChangesNothing_data() {
        QTest::addColumn<Edit>("edit");
        QTest::addColumn<QString>("says");
        QTest::newRow("«Табель»: a sick leave over a leave is allowed, a second leave is not")
            << Edit([](Unit& u) {
                   u.timesheet().selectDays(u.ivanov, day(14), day(18));
                   return u.sheet->markSelected(Absence::ExtraLeave);
               })
            << u"пересекается с уже отмеченным ОТ с 10.03.2025 по 16.03.2025"_s;
        QTest::newRow("«Табель»: a duty given to someone of the same watch, on duty that day")
            << Edit(
                   [](Unit& u) { return u.timesheet().giveDuty(u.ivanov, dutyOf(1, day(1)), u.sidorov, {}); })
            << u"«Сидоров Семён»: %1 дежурит свой 1 караул"_s.arg(text(shortDateText(dutyOf(1, day(1)))));
        QTest::newRow("«Личный состав»: a person without a name") << Edit([](Unit& u) {
            child<QLineEdit>(&u.rosterWindow(), "nameBox")->setText(u"   "_s);
            return u.list->addPerson();
        }) << u"Не указаны фамилия, имя и отчество"_s;
        QTest::newRow("«Личный состав»: leaving in the middle of a leave") << Edit([](Unit& u) {
            u.rosterWindow().selectPerson(u.ivanov);
            child<QDateEdit>(u.list, "moveDateBox")->setDate(QDate(2025, 3, 12));
            return u.list->markSelectedLeft();
        }) << u"12.03.2025 не состоит ни в одном карауле"_s;
    }

    void refusedEditSaysWhyAndChangesNothing() {
        QFETCH(Edit, edit);
        QFETCH(QString, says);
        Unit u;
        const Roster before = u.stored();
        QVERIFY(!edit(u));
        const QString status = u.sheet ? u.sheet->status() : u.list->status();
        QVERIFY2(status.startsWith(u"Не сохранено: "_s) && status.contains(says), qPrintable(status));
        QCOMPARE(u.stored(), before);
        QCoreApplication::sendPostedEvents(); // the roster window rereads after the edit has returned
        if (u.sheet) {
            QCOMPARE(cellText(*u.sheet, u.ivanov, day(14)), u"ОТ"_s);
            QVERIFY(!u.sheet->undo()); // nothing was done that could be taken back
        } else {
            auto* table = child<QTableView>(u.list, "rosterTable");
            QCOMPARE(table->model()->rowCount(), 3);
            QCOMPARE(table->model()->index(0, RosterModel::Watch).data().toString(), u"1"_s);
        }
    }

    // Days picked with the mouse and Shift+arrows, a code typed (in either keyboard layout) and Enter: the
    // mark is in the file, and the cells show its letters on the absence's ground with no hours under
    // them. Ctrl+Z takes it out of the file, Ctrl+Y puts it back; an undo that another program has made
    // impossible says so and leaves the file alone.
    void markingByKeyboardAndUndo_data() {
        QTest::addColumn<QString>("typed");
        QTest::newRow("ОТ typed in Russian") << u"ОТ"_s;
        QTest::newRow("ОТ typed with the Latin layout on") << u"jn"_s;
    }

    void markingByKeyboardAndUndo() {
        QFETCH(QString, typed);
        Unit u;
        frmTimesheet& w = u.timesheet();
        const Date first = dutyOf(1, day(1)), last{first.serial + 2}; // a duty, its next day and a day off
        const Drawn plain = drawn(w, u.sidorov, first);
        const QString unmarked = cellText(w, u.sidorov, first);
        QVERIFY(plain.codes && plain.hours);
        QTest::mouseClick(w.table()->viewport(), Qt::LeftButton, {}, cellRect(w, u.sidorov, first).center());
        QTest::keyClick(w.table(), Qt::Key_Right, Qt::ShiftModifier);
        QTest::keyClick(w.table(), Qt::Key_Right, Qt::ShiftModifier);
        typeText(w.table(), typed);
        QTest::keyClick(w.table(), Qt::Key_Return);

        const auto absences = [&u] { return u.stored().find(u.sidorov)->absences; };
        QVERIFY(absences().size() == 1 && absences().front().first == first &&
                absences().front().last == last && absences().front().kind == Absence::AnnualLeave);
        w.table()->clearSelection();
        for (Date d = first; d <= last; ++d.serial) {
            QCOMPARE(cellText(w, u.sidorov, d), u"ОТ"_s);
            const Drawn marked = drawn(w, u.sidorov, d);
            QCOMPARE(marked.ground, QColor(255, 226, 180)); // an absence's pale orange
            QVERIFY(marked.codes && !marked.hours);
        }
        QVERIFY(w.status().contains(u"ОТ с %1"_s.arg(text(shortDateText(first)))));

        QTest::keyClick(w.table(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(absences().empty());
        QCOMPARE(cellText(w, u.sidorov, first), unmarked);
        QCOMPARE(drawn(w, u.sidorov, first).ground, QColor(Qt::white));
        QTest::keyClick(w.table(), Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(absences().size(), std::size_t{1});
        QCOMPARE(cellText(w, u.sidorov, first), u"ОТ"_s);

        {
            RosterStore other(u.db(), u.folder(), 0); // another program takes the mark off first
            QVERIFY(other.removeAbsence(absences().front().id));
        }
        const Roster before = u.stored();
        QTest::keyClick(w.table(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY2(w.status().startsWith(u"Не отменено"_s) && w.status().contains(u"уже нет"_s),
                 qPrintable(w.status()));
        QCOMPARE(u.stored(), before);
        QCOMPARE(cellText(w, u.sidorov, first), unmarked); // as the file now holds it
    }

    // The day headings as a user sees them: the watch's duty days filled with its colour, today (12 March)
    // framed in red, and each day's tooltip naming the watch on duty.
    void dayHeadingsMarkTheDutiesAndToday() {
        Unit u;
        QHeaderView* header = u.timesheet(2).table()->horizontalHeader();
        u.sheet->resize(3000, u.sheet->height()); // every day in sight
        const QImage shot = header->viewport()->grab().toImage();
        QStringList seen, expected;
        for (QDate d(2025, 3, 1); d.month() == 3; d = d.addDays(1)) {
            const int section = d.day() - 1, left = header->sectionViewportPosition(section);
            const QRect number(left + 3, 3, header->sectionSize(section) - 6, shot.height() / 2 - 3);
            const int blue = pixelsIn(shot, number, [](QRgb c) { return c == qRgb(0, 0, 255); }),
                      red = pixelsIn(
                          shot,
                          QRect(left + 2, shot.height() / 3, 1, 2 * shot.height() / 3 - shot.height() / 3),
                          [](QRgb c) { return qRed(c) > 200 && qGreen(c) < 100; });
            const QPoint centre(left + header->sectionSize(section) / 2, shot.height() / 2);
            QHelpEvent help(QEvent::ToolTip, centre, header->viewport()->mapToGlobal(centre));
            QApplication::sendEvent(header->viewport(), &help);
            seen << u"%1%2%3 %4"_s.arg(d.day()).arg(
                2 * blue > number.width() * number.height() ? u" duty"_s : QString(),
                red > shot.height() / 4 ? u" today"_s : QString(),
                QToolTip::text().section(u'\n', 0, 0).section(u", "_s, 2));
            const int watch = expectedWatch(d, 0);
            expected << u"%1%2%3 дежурит %4 караул"_s.arg(d.day())
                            .arg(watch == 2 ? u" duty"_s : QString(), d.day() == 12 ? u" today"_s : QString())
                            .arg(watch);
        }
        QCOMPARE(seen, expected);
    }

    // Delete over part of a leave takes those days off and keeps the rest; Ctrl+Z puts the leave back whole.
    void unmarkingPartOfALeaveKeepsTheRest() {
        Unit u;
        frmTimesheet& w = u.timesheet();
        w.selectDays(u.ivanov, day(12), day(13));
        w.table()->setFocus();
        QTest::keyClick(w.table(), Qt::Key_Delete);
        QStringList spans;
        const Roster after = u.stored();
        for (const AbsenceSpan& a : after.find(u.ivanov)->absences) {
            spans << text(shortDateText(a.first) + "-" + shortDateText(a.last));
        }
        spans.sort();
        QCOMPARE(spans, QStringList({u"10.03.2025-11.03.2025"_s, u"14.03.2025-16.03.2025"_s}));
        QTest::keyClick(w.table(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(u.stored().find(u.ivanov)->absences.size(), std::size_t{1});
        QCOMPARE(u.stored().find(u.ivanov)->absences.front().last, day(16));
    }

    // «Подмена…» on a duty day offers only those of other watches who are off and not absent; the one
    // chosen takes the duty, and their row joins the watch's sheet.
    void swapOffersWhoIsFree() {
        Unit u;
        frmTimesheet& w = u.timesheet();
        const Date duty = dutyOf(1, day(1));
        w.selectDays(u.ivanov, duty, duty);
        QStringList offered;
        whenDialogShows<SwapDialog>([&](SwapDialog* dialog) {
            auto* list = child<QListWidget>(dialog, "takers");
            for (int i = 0; i < list->count(); ++i) {
                offered << list->item(i)->text();
            }
            dialog->choose(u.petrov);
            dialog->accept();
        });
        QVERIFY(w.swapSelected());
        QCOMPARE(offered, QStringList{u"Петров Пётр, 2 караул"_s});
        QCOMPARE(u.stored().swaps.size(), std::size_t{1});
        QCOMPARE(u.stored().swaps.front().takes, std::optional<PersonId>(u.petrov));
        QVERIFY(w.model().rowOf(u.petrov) >= 0);
        QCOMPARE(cellText(w, u.ivanov, duty), u"В"_s);
    }

    // The timesheet of a full watch on paper: the unit, the month, and for every person their name with
    // their totals beside it in the same band of the page; the form's signature lines; no word over
    // another or off the paper.
    void pdfHoldsEveryoneWithTheirTotals() {
        Unit u(false);
        {
            RosterStore store(u.db(), u.folder(), 0);
            QVERIFY(bench::storeStation(store, bench::makeStation(2025)));
        }
        UserChoices choices; // as the year window keeps them
        const QString unit = choices.unitName = u"ПСЧ № 12 ФГКУ «3 отряд ФПС по Тестовой области»"_s;
        choices.accounting.period = AccountingPeriod::Month;
        QVERIFY(SutografIni(SettingsPlace(u.dir.path())).store(choices).ok());
        frmTimesheet& w = u.timesheet(3);
        const QString pdf = u.dir.filePath(u"sheet.pdf"_s);
        QVERIFY(w.writePdf(pdf));
        if (QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty()) {
            QSKIP("nothing here reads a PDF back"); // Windows; scripts/windows.sh reads its PDF on Linux
        }
        const QString all = run(u"pdftotext"_s, {pdf, u"-"_s}).simplified();
        for (const QString& s : {unit, u"ТАБЕЛЬ учёта рабочего времени"_s, u"за март 2025 г. — 3 караул"_s,
                                 u"Ответственное лицо"_s, u"Руководитель структурного подразделения"_s,
                                 u"Работник кадровой службы"_s, u"(личная подпись)"_s,
                                 u"Учётный период — месяц (с 01.03.2025 по 31.03.2025)"_s}) {
            QVERIFY2(all.contains(s), qPrintable(s));
        }
        const QList<Word> words = wordsOf(pdf);
        const Timesheet& sheet = w.model().sheet();
        QVERIFY(sheet.rows.size() > 15);
        const QStringList crowd = crowded(words);
        QVERIFY2(crowd.isEmpty(), qPrintable(crowd.join(u", "_s)));
        for (const TimesheetRow& row : sheet.rows) {
            // "Сотрудник 3-7": the word after "Сотрудник" names the row; its band is the block below it.
            const QString name = text(row.person.name), number = name.section(u' ', 1);
            const auto at =
                std::find_if(words.begin(), words.end(), [&](const Word& x) { return x.text == number; });
            QVERIFY2(at != words.end(), qPrintable(name));
            QStringList inBand;
            for (const Word& x : words) {
                if (x.page == at->page && x.box.top() > at->box.top() - 2 &&
                    x.box.bottom() < at->box.top() + 40 && x.box.left() > 525) {
                    inBand << x.text;
                }
            }
            for (const auto t :
                 {TimesheetModel::Duties, TimesheetModel::Worked, TimesheetModel::Night, TimesheetModel::Norm,
                  TimesheetModel::Balance, TimesheetModel::PeriodBalance}) {
                QVERIFY2(inBand.contains(TimesheetModel::totalText(row, t)),
                         qPrintable(name + u": "_s + TimesheetModel::totalText(row, t) + u" not in "_s +
                                    inBand.join(u' ')));
            }
        }
        // The same month for Excel: the unit, then per person a line of codes.
        const QString nowhere = u.dir.filePath(u"нет такой папки/sheet.csv"_s);
        QVERIFY(!w.writeCsv(nowhere));
        QCOMPARE(w.status(), u"Не удалось сохранить файл «%1»: такой папки нет."_s.arg(nowhere));
        const QString csvPath = u.dir.filePath(u"sheet.csv"_s);
        QVERIFY(w.writeCsv(csvPath));
        QFile csvFile(csvPath); // the figures' text is timesheet_csv_test's: here, this month's sheet
        QVERIFY(csvFile.open(QIODevice::ReadOnly));
        const QString csvText = QString::fromUtf8(csvFile.readAll());
        QVERIFY(csvText.section(u"\r\n"_s, 0, 0).endsWith(unit)); // after the byte order mark
        QCOMPARE(csvText.count(u";коды;"_s), qsizetype(sheet.rows.size()));
    }

    // What another program saved shows as soon as the window becomes active again.
    void anotherProgramsEditShowsWhenTheWindowIsActivated() {
        Unit u;
        frmTimesheet& w = u.timesheet(2);
        {
            RosterStore other(u.db(), u.folder(), 0);
            QVERIFY(other.addAbsence(u.petrov, {day(3), day(4), Absence::Sick, {}, 0}));
        }
        QVERIFY(cellText(w, u.petrov, day(3)) != u"Б"_s);
        QEvent activated(QEvent::WindowActivate);
        QApplication::sendEvent(&w, &activated);
        QCOMPARE(cellText(w, u.petrov, day(3)), u"Б"_s);
    }

    // A file that is no roster is said in both windows, and nothing can be edited or written into it.
    void storeProblemIsSaidAndEditsAreRefused() {
        Unit u(false);
        QVERIFY(put(u.db(), "Это не база данных, а записка.\n"));
        frmTimesheet& w = u.timesheet();
        frmRoster& r = u.rosterWindow();
        for (QWidget* window : {static_cast<QWidget*>(&w), static_cast<QWidget*>(&r)}) {
            auto* line = child<QLabel>(window, "problemLine");
            QVERIFY(line->isVisible());
            QVERIFY2(line->text().contains(u"не база данных SQLite"_s), qPrintable(line->text()));
        }
        QVERIFY(!child<QPushButton>(&r, "addButton")->isEnabled());
        QVERIFY(!w.giveDuty(1, dutyOf(1, day(1)), std::nullopt, u"Кто-то"_s));
        QVERIFY(w.status().contains(u"не будет изменён"_s));
        QCOMPARE(bytesOf(u.db()), std::optional<std::string>("Это не база данных, а записка.\n"));
    }

    // Every edit of «Личный состав» is in the file as soon as it is made.
    void rosterEditsAreSavedAtOnce_data() {
        QTest::addColumn<Edit>("edit");
        QTest::addColumn<QString>("stored"); // Петров's record, or the number of people
        QTest::newRow("added from the line with Enter") << Edit([](Unit& u) {
            auto* name = child<QLineEdit>(&u.rosterWindow(), "nameBox");
            name->setFocus();
            typeText(name, u"Орлова Ольга"_s);
            QTest::keyClick(name, Qt::Key_Return);
            return true;
        }) << u"4 people"_s;
        QTest::newRow("renamed in its cell") << Edit([](Unit& u) {
            auto* table = child<QTableView>(&u.rosterWindow(), "rosterTable");
            const int row = static_cast<RosterModel*>(table->model())->rowOf(u.petrov);
            table->setCurrentIndex(table->model()->index(row, RosterModel::Name));
            table->setFocus();
            QTest::keyClick(table, Qt::Key_F2);
            auto* editor = table->viewport()->findChild<QLineEdit*>();
            editor->end(false);
            typeText(editor, u" Петрович"_s);
            QTest::keyClick(editor, Qt::Key_Return);
            QCoreApplication::sendPostedEvents(); // the cell's editor hands its text over when it closes
            return true;
        }) << u"Петров Пётр Петрович 40 [01.01.2025 2]"_s;
        QTest::newRow("moved to the 3rd watch from 01.04") << Edit([](Unit& u) {
            u.rosterWindow().selectPerson(u.petrov);
            child<QComboBox>(u.list, "moveWatchBox")->setCurrentIndex(2);
            child<QDateEdit>(u.list, "moveDateBox")->setDate(QDate(2025, 4, 1));
            return u.list->moveSelected();
        }) << u"Петров Пётр 40 [01.01.2025 2] [01.04.2025 3]"_s;
        QTest::newRow("deleted after the question") << Edit([](Unit& u) {
            u.rosterWindow().selectPerson(u.petrov);
            whenDialogShows<QMessageBox>([](QMessageBox* box) {
                for (QAbstractButton* b : box->buttons()) {
                    if (box->buttonRole(b) == QMessageBox::DestructiveRole) {
                        b->click();
                    }
                }
            });
            return u.list->deleteSelected();
        }) << u"2 people"_s;
    }

    void rosterEditsAreSavedAtOnce() {
        QFETCH(Edit, edit);
        QFETCH(QString, stored);
        Unit u;
        QVERIFY(edit(u));
        const Roster r = u.stored();
        QString seen = u"%1 people"_s.arg(r.people.size());
        if (const PersonRecord* p = r.find(u.petrov); p != nullptr && r.people.size() == 3) {
            seen = u"%1 %2"_s.arg(text(p->person.name)).arg(p->person.weeklyHours);
            for (const WatchSpell& s : p->watches) {
                seen += u" [%1 %2]"_s.arg(text(shortDateText(s.from))).arg(s.watch);
            }
        }
        QCOMPARE(seen, stored);
        QCOMPARE(u.list->status().startsWith(u"Не сохранено"_s), false);
    }

    // The roster's CSV out and back in: the people come back, a bad line is named by its number.
    void rosterCsvGoesOutAndComesBack() {
        Unit u;
        frmRoster& r = u.rosterWindow();
        const QString nowhere = u.dir.filePath(u"нет такой папки/состав.csv"_s);
        QVERIFY(!r.exportCsv(nowhere));
        QCOMPARE(r.status(), u"Не удалось сохранить файл «%1»: такой папки нет."_s.arg(nowhere));
        const QString file = u.dir.filePath(u"состав.csv"_s);
        QVERIFY(r.exportCsv(file));
        Unit other(false);
        QFile csv(file);
        QVERIFY(csv.open(QIODevice::Append));
        csv.write("Кузнецов;;5;01.01.2025;40\r\n");
        csv.close();
        QVERIFY(!other.rosterWindow().importCsv(file));
        QVERIFY2(other.list->status().contains(u"добавлено человек: 3"_s) &&
                     other.list->status().contains(u"строка 5"_s),
                 qPrintable(other.list->status()));
        QStringList names;
        for (const PersonRecord& p : other.stored().people) {
            names << text(p.person.name);
        }
        QCOMPARE(names, QStringList({u"Иванов Иван"_s, u"Сидоров Семён"_s, u"Петров Пётр"_s}));
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->objectName() == "report"_L1) {
                w->close();
            }
        }
    }
};

QTEST_MAIN(RosterWindowsTest)
#include "roster_windows_test.moc"
