#pragma once

#include <QWidget>

#include <functional>
#include <optional>

#include "date.h"
#include "printers.h"
#include "sutograf_ini.h"
#include "timesheet.h"
#include "timesheet_page.h"
#include "user_calendar.h"

class QAction;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableView;
class QTimer;
class QUndoStack;

namespace sutograf {

class DayHeader;
struct Marks;
class RosterSource;
class TimesheetModel;

// «Табель»: one watch's month in the shape of the T-13 form. A row per person of the watch (and per
// person of another watch who took one of its duties), a column per day with its codes over its hours,
// the person's totals at the right; the day headings show the watch's duty days, holidays, shortened
// days and today as the year window does. Days of one person are selected with the mouse or the
// keyboard and marked by typing a code's letters and Enter, or from the context menu; «Подмена…» gives
// a duty day to someone who is off; Delete takes a mark or a swap off; Ctrl+Z takes back this window's
// edits one by one. Each edit is saved at once, or refused with its reason in the status line. Printed
// and saved as PDF on A4 landscape pages, and exported as CSV for Excel. Hours are counted and judged
// as sutograf.ini says (the year window sets it), read again whenever the window becomes active; the
// unit's name printed comes from there too. Modeless; the main window keeps one, and it outlives the
// main window; it opens where it was last closed. The roster must outlive the window.
class frmTimesheet : public QWidget {
    Q_OBJECT
public:
    using Clock = std::function<LocalTime()>;

    frmTimesheet(RosterSource& roster, Clock clock, QWidget* parent = nullptr);
    ~frmTimesheet() override;

    // Preconditions: 1 <= watch <= 4, 100 <= year <= 9999, 1 <= month <= 12.
    void showMonth(int watch, int year, int month);
    int shownWatch() const;
    int shownYear() const;
    int shownMonth() const;

    const TimesheetModel& model() const { return *model_; }
    QTableView* table() const { return table_; }
    // The outcome of the last edit, as the status line shows it.
    QString status() const;

    // Selects days first..last of a person in the sheet.
    void selectDays(PersonId who, Date first, Date last);
    // The edits, on the selected days of one person: answer whether they were saved.
    bool markSelected(Absence kind);
    bool unmarkSelected();
    bool swapSelected(); // asks who takes the duty
    bool giveDuty(PersonId giver, Date day, std::optional<PersonId> taker, const QString& outsider);
    bool undo();
    bool redo();

    // The dialogs first; then the files, replaced whole or not at all.
    void printSheet();
    void savePdf();
    void saveCsv();
    bool writePdf(const QString& path);
    bool writeCsv(const QString& path);
    void setPrinterLookup(PrinterLookup lookup) { printers_ = std::move(lookup); }

    // Counts the sheet again from the roster, the rules and today.
    void recount();
    // Reads the clock; a new date is shown. Runs by itself at midnight and at least once a minute.
    void checkToday();

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    struct Run {
        int row;
        Date first, last;
    };

    void createSelectors();
    void createTable();
    void createTotals();
    void fitColumns();
    QSize firstSize() const;
    void createActions();
    void createLines();
    void layOut();

    std::optional<Run> selectedRun(bool quiet = false);
    bool apply(const Marks& off, Marks on, const QString& done);
    bool typed(const QString& text);
    void showTyped();
    void showContextMenu(const QPoint& pos);
    void enableEdits();
    void say(const QString& text, bool failure = false);
    bool readSettings(); // answers whether what the sheet is counted by changed
    void rememberFolder(const QString& path, bool pdf);
    TimesheetRules rules() const;
    QString rulesText() const;
    QString periodText() const;
    TimesheetPage page() const;
    QString defaultFileName(const QString& suffix) const;
    bool writeFile(const QString& path, const std::optional<QByteArray>& bytes, const QString& what);

    RosterSource& roster_;
    Clock clock_;
    LoadedCalendar calendar_;
    UserChoices settings_; // sutograf.ini's
    Timesheet sheet_;
    std::vector<std::size_t> measured_; // the longest text of each day's column when it was last measured
    Date today_;
    QString typed_;

    QComboBox* watchBox_;
    QComboBox* monthBox_;
    QSpinBox* yearBox_;
    QPushButton* previous_;
    QPushButton* next_;
    TimesheetModel* model_;
    DayHeader* header_;
    QTableView* table_;
    QTableView* totals_; // the totals' columns, beside the days whatever is scrolled
    QLabel* problemLine_;
    QLabel* rulesLine_;
    QLabel* keysLine_;
    QLabel* statusLine_;
    QUndoStack* undo_;
    QAction* undoAction_;
    QAction* redoAction_;
    QAction* swapAction_;
    QAction* unmarkAction_;
    QList<QAction*> codeActions_;
    QTimer* clockCheck_;
    PrinterLookup printers_ = &installedPrinters;
};

} // namespace sutograf
