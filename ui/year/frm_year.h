#pragma once

#include <QWidget>

#include <array>
#include <functional>
#include <optional>

#include "date.h"
#include "printers.h"
#include "sutograf_ini.h"
#include "user_calendar.h"
#include "year_hours_model.h"
#include "year_sheet.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPrinter;
class QPushButton;
class QSpinBox;
class QTableView;
class QTimeEdit;
class QTimer;

namespace sutograf {

class HoursBox;
class PersonChoice;
class RosterSource;
class RotaOffset;
struct RotaPage;
struct YearPage;
class WatchChoice;
class YearMonthsView;

// "Год и часы": a whole year for one watch, or for one person of the roster. Its twelve months with the
// duty days filled in, the hours against the production-calendar norm by month, quarter and year, the
// rules by which a duty's hours are counted (kept in sutograf.ini), and the year on paper, as a PDF and
// as an .ics file for a phone's calendar. A person's year shows their own duties, swaps and absences,
// and their hours against their own norm (sheet and table as YearSheet and YearHoursModel say). Modeless;
// the main window keeps one, and it outlives the main window. It counts with the offset in effect, and
// again whenever a new one is chosen or the roster changes. It opens where it was last closed
// (sutograf.ini keeps the place, the person or watch shown, and the folders of the last PDF and .ics).
class frmYear : public QWidget {
    Q_OBJECT
public:
    using Clock = std::function<LocalTime()>;

    // year: the year shown first, 100..9999 (clamped). The offset (and with it the folder of the
    // settings files, and the roster shared by the windows) must outlive the window.
    frmYear(int year, Clock clock, RotaOffset& offset, QWidget* parent = nullptr);
    ~frmYear() override;

    // The menu's and the buttons' actions; each asks first (the print dialog, a file name). Without
    // a printer, printing says so and offers the PDF instead. The "rota" is the year of all four
    // watches on one sheet, for a station's wall.
    void printYear();
    void savePdf();
    void printRota();
    void saveRotaPdf();
    void exportCalendar();

    // The files themselves, replaced whole or not at all; a failure is told in a message box and
    // leaves no file behind. Answer whether the file was written.
    bool writePdf(const QString& path);
    bool writeRotaPdf(const QString& path);
    bool writeCalendar(const QString& path);

    // Where printing looks for printers: the system's, unless a test says otherwise.
    void setPrinterLookup(PrinterLookup lookup) { printers_ = std::move(lookup); }

    int shownYear() const;
    int shownWatch() const { return ini_.choices().yearWatch; }
    // The person whose year is shown; 0 when it is the watch's (none chosen, or they are gone).
    PersonId shownPerson() const;
    // As the list of people does it: 0 for the watch's year.
    void choosePerson(PersonId id);
    const YearHoursModel& hours() const { return hours_; }

    // Counts everything again: the year, the watch, the rules, the offset and today's date.
    void recount();
    // Reads the clock; a new date (midnight, a clock set by hand, a sleep) is counted again. Runs by
    // itself at midnight and at least once a minute.
    void checkToday();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createHeader();
    void createSelectors();
    void createMonths();
    void createTable();
    void createRules();
    void createButtons();
    void createRotaButtons();
    void layOut();

    void chooseWatch(int watch);
    void fillPeople();
    // The person chosen, as the roster holds them now; nullptr for a watch's year.
    const PersonRecord* shownRecord() const;
    // The sheet of what is shown; today framed when given.
    YearSheet makeSheet(std::optional<Date> today) const;
    QString shownName() const;
    void changeRules();
    void changeUnitName();
    void storeChoices(const UserChoices& choices);
    WriteResult store(UserChoices next);
    void keepPlace(const WindowPlace& place);
    void rememberFolder(const QString& path, bool calendar);
    void fitTable();
    QLabel* wrappedLine(const char* name);
    void fitLines();
    void say(const QString& status);
    void showProblems();
    QString defaultFileName(const QString& suffix) const;
    // fileName: the name offered, in the folder defaultFileName gives; empty: defaultFileName's own.
    QString askFileName(const QString& title, const QString& suffix, const QString& filter,
                        const QString& fileName = {});
    bool writeFile(const QString& path,
                   const std::optional<QByteArray>& bytes); // nullopt: it could not be made
    void reportFailure(const QString& text);
    YearPage page() const;
    RotaPage rotaPage() const;
    // The print dialog and the printing; PDF through our own writer. Without a printer, the offer of
    // the PDF, and saveAs if taken.
    void printSheet(const QString& title, const std::function<bool(QPrinter&)>& print,
                    void (frmYear::*saveAs)(), bool (frmYear::*writeTo)(const QString&));
    QString rulesText() const;
    QString overtimeText() const;

    Clock clock_;
    const RotaOffset& offset_;
    RosterSource& roster_;
    SutografIni ini_;
    LoadedCalendar calendar_;
    std::optional<YearSheet> sheet_;
    YearHoursModel hours_;
    float shownOffset_ = 0;
    Date today_;

    QLabel* todayLine_;
    QSpinBox* yearBox_;
    WatchChoice* watches_;
    PersonChoice* people_;
    YearMonthsView* months_;
    QTableView* table_;
    QLabel* sourceLine_;
    QLabel* overtimeLine_;
    QLabel* problemsLine_;
    QTimeEdit* startBox_;
    HoursBox* hoursBox_;
    QCheckBox* wholeDutyBox_;
    QComboBox* reminderBox_;
    QComboBox* periodBox_;
    QComboBox* reductionBox_;
    QCheckBox* holidayBox_;
    QLineEdit* unitBox_;
    QLabel* statusLine_ = nullptr; // the last of the panel's lines made
    std::array<QPushButton*, 3> buttons_{};
    std::array<QWidget*, 2> rotaButtons_{};
    PrinterLookup printers_ = &installedPrinters;
    QTimer* clockCheck_;
};

} // namespace sutograf
