#pragma once

#include <QByteArray>
#include <QRect>
#include <QString>
#include <QStringList>

#include <functional>

#include "ics.h"
#include "people.h"
#include "safe_file.h"
#include "settings_place.h"
#include "working_time.h"

namespace sutograf {

inline const QString kIniFileName = QStringLiteral("sutograf.ini");
inline constexpr qsizetype kLongestUnitName = 200;

// How hours are judged under summed accounting: over which period, how an absence reduces the norm,
// and whether holiday hours already paid double are left out of overtime.
struct AccountingChoices {
    AccountingPeriod period = AccountingPeriod::Year;
    NormReduction reduction = NormReduction::WorkingDays;
    bool holidayPaidDoubleNotOvertime = true;

    friend bool operator==(const AccountingChoices&, const AccountingChoices&) = default;
};

// Where a window was, and the folders its last PDF, .ics and CSV went to. An empty geometry or folder:
// none remembered.
struct WindowPlace {
    QRect geometry; // the frame's top-left corner and the client area's size
    bool maximized = false;
    QString pdfFolder, icsFolder, csvFolder;

    friend bool operator==(const WindowPlace&, const WindowPlace&) = default;
};

// What the program remembers beyond the rota offset: how duties are counted, which watch the year
// window shows, how hours are judged, the unit's name for the sheets, and the windows' places.
struct UserChoices {
    DutyRules duty;
    int yearWatch = 1;                  // 1..4
    PersonId yearPerson = 0;            // the person whose year is shown; 0: the watch's
    Reminder reminder = Reminder::None; // of each duty in an exported .ics
    AccountingChoices accounting;
    QString unitName; // printed on the sheets; empty: none
    WindowPlace yearWindow, rosterWindow, timesheetWindow;

    friend bool operator==(const UserChoices& a, const UserChoices& b) {
        return a.duty.startMinute == b.duty.startMinute && a.duty.countedMinutes == b.duty.countedMinutes &&
               a.duty.wholeDutyOnStartDay == b.duty.wholeDutyOnStartDay && a.yearWatch == b.yearWatch &&
               a.yearPerson == b.yearPerson && a.reminder == b.reminder && a.accounting == b.accounting &&
               a.unitName == b.unitName && a.yearWindow == b.yearWindow && a.rosterWindow == b.rosterWindow &&
               a.timesheetWindow == b.timesheetWindow;
    }
};

// sutograf.ini is INI text that QSettings reads too, but the program reads and writes it itself:
// QSettings would open a FIFO in its place and hang, and would replace the file by its own means,
// without the guarantees of writeFileSafely.
//
//   [duty]
//   start=08:00           when a duty begins, 00:00..23:59
//   hours=24              hours counted per duty, 1..24, as "24" or "23:30"
//   wholeOnStartDay=false every minute counts on the day the duty began
//   [yearWindow]
//   watch=1
//   person=12             the roster's person whose year is shown; none: the watch's
//   geometry=40,30,1300,680  the frame's left and top, the client area's width and height
//   maximized=false
//   pdfFolder=/home/user/Документы   where the last PDF and .ics were saved
//   icsFolder=/home/user/Документы
//   [rosterWindow]        «Личный состав»: geometry, maximized and csvFolder as above
//   [timesheetWindow]     «Табель»: geometry, maximized, pdfFolder and csvFolder as above
//   [calendarExport]
//   reminder=none         none, eveningBefore (20:00) or hourBefore
//   [accounting]
//   period=year           month, quarter, halfYear or year
//   reduction=workingDays workingDays or scheduledDuties
//   holidayPaidDoubleNotOvertime=true
//   [unit]
//   name=ПСЧ-12           printed on the sheets, up to kLongestUnitName characters
//
// A missing or bad value gives its default; problems() names each bad line in Russian. A key the
// program does not know (one of a later version) is no problem, but is not kept when it writes the
// file.
struct IniReading {
    UserChoices choices;
    QStringList problems;
};
IniReading parseIni(const QByteArray& text);
QByteArray iniText(const UserChoices& choices);

// sutograf.ini in the settings folder, read once when made. store() writes the file only when the
// choices differ from what it holds, so merely opening a window never rewrites it.
class SutografIni {
public:
    explicit SutografIni(SettingsPlace place);

    const UserChoices& choices() const { return choices_; }
    // Why a file that is there could not be read (a folder, a FIFO, no permission, links in a circle):
    // every choice is then its default. None once the program has rewritten it.
    ReadFailure readFailure() const { return readFailure_; }
    // The damage found in the file read, line by line; gone once the program has rewritten it.
    const QStringList& problems() const { return problems_; }
    QString readPath() const;  // where it was read from (or would have been)
    QString writePath() const; // where it is written, empty when there is nowhere to write

    // Takes the new choices at once, for this run whatever happens to the file; the result tells
    // whether the file now holds them.
    WriteResult store(const UserChoices& choices);

    // The file read again and only what `change` changes of it stored, so that a window that keeps its
    // own place does not put back what another window changed since this one read the file.
    static WriteResult update(const SettingsPlace& place, const std::function<void(UserChoices&)>& change);

private:
    SettingsPlace place_;
    UserChoices choices_;
    UserChoices held_; // what the file holds (its defaults when missing or damaged)
    ReadFailure readFailure_ = ReadFailure::None;
    QStringList problems_;
};

} // namespace sutograf
