#pragma once

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <functional>

#include "date.h"
#include "settings_place.h"

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;

namespace sutograf {

class DayCell;
class TodayFrame;
class UpDown;
class frmAbout;
class frmSettings;
class frmYear;

// The main window: the month list and the year box with its up-down control above a grid of 56 days
// in the colours of the watches on duty, today framed in red, and today's date below. It keeps no
// data of its own: the year is the year box's text, the month the month list's Tag, the offset
// BazovyKaraul; every change of any of them rebuilds the whole grid.
class Form1 : public QMainWindow {
    Q_OBJECT
public:
    using Clock = std::function<Date()>;

    // settingsDir holds Opt.txt; empty means beside the executable, with the user's configuration
    // folder as the fallback (SettingsPlace::forProgram). The clock is asked for today's date on
    // every rebuild.
    explicit Form1(Clock clock = &today, QString settingsDir = {}, QWidget* parent = nullptr);
    ~Form1() override;

    // Rebuilds the grid from the year box, the month list's Tag, BazovyKaraul and the clock. Text in
    // the year box that gives no grid leaves the grid and the frame exactly as they are.
    void Sutograf_Formirovanie();

    static float Ost(float x);

private:
    void createMenus();
    void createSelectors();
    void createWeekdayHeaders();
    void createGrid();
    void createTodayLine();

    void Form_Load();
    void Mesyats_Ustanovka();
    void Nastroyki_Chtenie();

    // Handlers: each only starts the procedure that does the work.
    void ПолеГод_Change();
    void ПолеСоСпискомМесяц_Click(int listIndex);
    void UpDown7_Change();
    void mnuSettings_Click();
    void mnuSpravka_Click();
    void mnuExit_Click();
    // The year window, opened once; then, for the two entries that ask for it, its action.
    frmYear* showYearWindow();

    Clock clock_;
    SettingsPlace settingsPlace_;

    QComboBox* ПолеСоСпискомМесяц = nullptr;
    QLineEdit* ПолеГод = nullptr;
    UpDown* UpDown7 = nullptr;
    std::array<QLabel*, 7> Label1{};
    std::array<DayCell*, 56> Надпись0{};
    TodayFrame* Ramka = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Seyden = nullptr;

    QMenu* mnuProg = nullptr;
    QAction* mnuSettings = nullptr;
    QAction* mnuYear = nullptr;
    QAction* mnuPrintYear = nullptr;
    QAction* mnuExportYear = nullptr;
    QAction* mnuExit = nullptr;
    QMenu* mnuAbout = nullptr;
    QAction* mnuSpravka = nullptr;

    QPointer<frmSettings> settingsDialog_;
    QPointer<frmAbout> aboutDialog_;
    QPointer<frmYear> yearWindow_;
};

} // namespace sutograf
