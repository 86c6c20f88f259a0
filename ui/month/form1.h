#pragma once

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <functional>

#include "date.h"

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QTimer;

namespace sutograf {

class DayCell;
class TodayFrame;
class RotaOffset;
class UpDown;
class frmAbout;
class frmRoster;
class frmSettings;
class frmTimesheet;
class frmWhoToday;
class frmYear;

// The main window: the month list and the year box with its up-down control above a grid of 56 days
// in the colours of the watches on duty, today framed in red, and today's date below. It keeps no
// data of its own: the year is the year box's text, the month the month list's Tag, the offset
// RotaOffset's BazovyKaraul; every change of any of them rebuilds the whole grid. Today is the date shown in
// the "Сегодня" line, and it moves on with the clock while the program runs.
class Form1 : public QMainWindow {
    Q_OBJECT
public:
    using Clock = std::function<LocalTime()>;

    // The offset is read from Opt.txt in its place as the window loads, and a new one chosen later
    // rebuilds the grid; it must outlive the window. The clock is read once as the window loads and
    // from then on by checkToday.
    explicit Form1(RotaOffset& offset, Clock clock = &localNow, QWidget* parent = nullptr);
    ~Form1() override;

    // Rebuilds the grid from the year box, the month list's Tag, BazovyKaraul and today. Text in the
    // year box that gives no grid leaves the grid and the frame exactly as they are.
    void Sutograf_Formirovanie();

    // Reads the clock. A date other than today (midnight has passed, the clock or the time zone was
    // changed, the computer woke from sleep) becomes today: the "Сегодня" line shows it and the
    // frame moves to it, in whatever month is shown. Runs by itself at every local midnight and at
    // least once a minute.
    void checkToday();

    static float Ost(float x);

signals:
    // The grid and the frame show a new rebuild.
    void gridRebuilt();

private:
    void createMenus();
    void createSelectors();
    void createWeekdayHeaders();
    void createGrid();
    void createTodayLine();

    void Form_Load();
    void Mesyats_Ustanovka();
    void Nastroyki_Chtenie();
    void scheduleTodayCheck(const LocalTime& now);

    // Handlers: each only starts the procedure that does the work.
    void ПолеГод_Change();
    void ПолеСоСпискомМесяц_Click(int listIndex);
    void UpDown7_Change();
    void mnuSettings_Click();
    void mnuWhoToday_Click();
    void mnuSpravka_Click();
    void mnuExit_Click();
    // The year window, opened once; then, for the two entries that ask for it, its action.
    frmYear* showYearWindow();
    // The roster's windows, opened once each, with the one roster of the run.
    void showRosterWindow();
    void showTimesheetWindow();

    RotaOffset& offset_;
    Clock clock_;
    Date today_;

    QComboBox* ПолеСоСпискомМесяц = nullptr;
    QLineEdit* ПолеГод = nullptr;
    UpDown* UpDown7 = nullptr;
    std::array<DayCell*, 56> Надпись0{};
    TodayFrame* Ramka = nullptr;
    QLabel* Seyden = nullptr;
    QTimer* todayCheck_ = nullptr;

    QMenu* mnuProg = nullptr;
    QAction* mnuSettings = nullptr;
    QAction* mnuWhoToday = nullptr;
    QAction* mnuYear = nullptr;
    QAction* mnuPrintYear = nullptr;
    QAction* mnuExportYear = nullptr;
    QAction* mnuPrintRota = nullptr;
    QAction* mnuRoster = nullptr;
    QAction* mnuTimesheet = nullptr;
    QAction* mnuExit = nullptr;
    QMenu* mnuAbout = nullptr;
    QAction* mnuSpravka = nullptr;

    QPointer<frmSettings> settingsDialog_;
    QPointer<frmWhoToday> whoTodayDialog_;
    QPointer<frmAbout> aboutDialog_;
    QPointer<frmYear> yearWindow_;
    QPointer<frmRoster> rosterWindow_;
    QPointer<frmTimesheet> timesheetWindow_;
};

} // namespace sutograf
