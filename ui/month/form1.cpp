#include "form1.h"

#include <QAction>
#include <QComboBox>
#include <QIcon>
#include <QImageReader>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QTimer>
#include <QValidator>

#include <algorithm>

#include "background.h"
#include "bazovy_karaul.h"
#include "colours.h"
#include "day_cell.h"
#include "fonts.h"
#include "frm_about.h"
#include "frm_roster.h"
#include "frm_settings.h"
#include "frm_timesheet.h"
#include "frm_who_today.h"
#include "frm_year.h"
#include "month_names.h"
#include "number_text.h"
#include "roster_source.h"
#include "rota.h"
#include "today_frame.h"
#include "twips.h"
#include "up_down.h"

// The resources live in this static library; nothing would pull them into the program otherwise.
static void initResources() { Q_INIT_RESOURCE(resources); }

namespace sutograf {
namespace {

const char* const kTag = "Tag";     // the month number text on the month list; "0" on the frame
const char* const kIndex = "Index"; // an element's index in its control array

constexpr std::uint32_t kBlue = 0xFF0000;
constexpr std::uint32_t kRed = 0x0000FF;

const char* const kWeekdayNames[7] = {"Пн.", "Вт.", "Ср.", "Чт.", "Пт.", "Сб.", "Вс."};

QString text(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// Sizes drawn from resources/sutograf.svg ahead of time, so that no SVG is decoded at start. Read as
// PNG, told so: a reader left to find the format itself loads every image plugin to ask it first.
QIcon programIcon() {
    QIcon icon;
    for (const int size : {16, 32, 48, 64}) {
        QImageReader png(QStringLiteral(":/sutograf-%1.png").arg(size), "png");
        png.setAutoDetectImageFormat(false);
        icon.addPixmap(QPixmap::fromImage(png.read()));
    }
    return icon;
}

void bringToFront(QWidget* window) {
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}

// The month field takes any typing, yet typing must never pick a month: Qt's combo box selects the
// item matching the typed text when editing finishes (Enter or leaving the field), and a line edit
// whose input is never "acceptable" never finishes editing. Picking from the list is unaffected.
class TypingPicksNothing : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString&, int&) const override { return Intermediate; }
};

template <class Control> Control* named(Control* control, const QString& name) {
    control->setObjectName(name);
    return control;
}

// An element of a control array: the array's name, and its index as the property "Index".
template <class Control> Control* named(Control* control, const QString& name, int index) {
    control->setProperty(kIndex, index);
    return named(control, name);
}

} // namespace

Form1::Form1(RotaOffset& offset, Clock clock, QWidget* parent)
    : QMainWindow(parent), offset_(offset), clock_(std::move(clock)) {
    initResources();
    setObjectName(QStringLiteral("Form1"));
    setWindowIcon(programIcon());
    setWindowTitle(QStringLiteral("Сутограф"));
    setFont(windowDefaultFont());
    // A fixed single frame: a close box and the window menu, but no minimise or maximise box.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    // Closing the main window unloads it; an open dialog stays and the program ends with the last one.
    setAttribute(Qt::WA_DeleteOnClose);

    // The client area shows the background picture from its top-left corner, cut off at the edges.
    auto* client = new QLabel(this);
    client->setFixedSize(tw(3645), tw(3645));
    client->setPixmap(QPixmap::fromImage(backgroundPicture(client->size())));
    client->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setCentralWidget(client);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    createMenus();
    createSelectors();
    createWeekdayHeaders();
    createGrid();
    createTodayLine();
    // A watch chosen in the settings is drawn at once.
    connect(&offset_, &RotaOffset::changed, this, &Form1::Sutograf_Formirovanie);

    Form_Load();
}

Form1::~Form1() = default;

void Form1::createMenus() {
    mnuProg = named(menuBar()->addMenu(QStringLiteral("Программа")), QStringLiteral("mnuProg"), 100);
    mnuSettings = named(mnuProg->addAction(QStringLiteral("Настройки")), QStringLiteral("mnuSettings"), 110);
    mnuWhoToday =
        named(mnuProg->addAction(QStringLiteral("Какой караул сегодня…")), QStringLiteral("mnuWhoToday"));
    mnuProg->addSeparator();
    mnuYear = named(mnuProg->addAction(QStringLiteral("Год и часы…")), QStringLiteral("mnuYear"));
    mnuPrintYear = named(mnuProg->addAction(QStringLiteral("Печать года…")), QStringLiteral("mnuPrintYear"));
    mnuExportYear =
        named(mnuProg->addAction(QStringLiteral("Экспорт в календарь…")), QStringLiteral("mnuExportYear"));
    mnuPrintRota =
        named(mnuProg->addAction(QStringLiteral("Печать графика караулов…")), QStringLiteral("mnuPrintRota"));
    // The year window's own keys, shown in the menu.
    mnuPrintYear->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    mnuExportYear->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    mnuProg->addSeparator();
    mnuRoster = named(mnuProg->addAction(QStringLiteral("Личный состав…")), QStringLiteral("mnuRoster"));
    mnuTimesheet = named(mnuProg->addAction(QStringLiteral("Табель…")), QStringLiteral("mnuTimesheet"));
    mnuProg->addSeparator();
    mnuExit = named(mnuProg->addAction(QStringLiteral("Выход")), QStringLiteral("mnuExit"), 120);
    mnuAbout = named(menuBar()->addMenu(QStringLiteral("О программе")), QStringLiteral("mnuAbout"), 200);
    mnuSpravka = named(mnuAbout->addAction(QStringLiteral("Справка")), QStringLiteral("mnuSpravka"), 210);

    connect(mnuSettings, &QAction::triggered, this, &Form1::mnuSettings_Click);
    connect(mnuWhoToday, &QAction::triggered, this, &Form1::mnuWhoToday_Click);
    connect(mnuExit, &QAction::triggered, this, &Form1::mnuExit_Click);
    connect(mnuSpravka, &QAction::triggered, this, &Form1::mnuSpravka_Click);
    connect(mnuYear, &QAction::triggered, this, &Form1::showYearWindow);
    connect(mnuPrintYear, &QAction::triggered, this, [this] { showYearWindow()->printYear(); });
    connect(mnuExportYear, &QAction::triggered, this, [this] { showYearWindow()->exportCalendar(); });
    connect(mnuPrintRota, &QAction::triggered, this, [this] { showYearWindow()->printRota(); });
    connect(mnuRoster, &QAction::triggered, this, &Form1::showRosterWindow);
    connect(mnuTimesheet, &QAction::triggered, this, &Form1::showTimesheetWindow);
}

void Form1::createSelectors() {
    QWidget* client = centralWidget();

    ПолеСоСпискомМесяц = named(new QComboBox(client), QStringLiteral("ПолеСоСпискомМесяц"));
    ПолеСоСпискомМесяц->setGeometry(twipsRect(600, 120, 1815, 315));
    ПолеСоСпискомМесяц->setEditable(true);
    // Typed text must never pick or add a month: no completion, no insertion, no match on Enter.
    ПолеСоСпискомМесяц->setInsertPolicy(QComboBox::NoInsert);
    ПолеСоСпискомМесяц->setDuplicatesEnabled(true);
    ПолеСоСпискомМесяц->setCompleter(nullptr);
    ПолеСоСпискомМесяц->setValidator(new TypingPicksNothing(ПолеСоСпискомМесяц));
    for (int m = 1; m <= 12; ++m) {
        ПолеСоСпискомМесяц->addItem(monthName(m));
    }
    ПолеСоСпискомМесяц->setCurrentIndex(-1);
    ПолеСоСпискомМесяц->setProperty(kTag, QStringLiteral("0"));

    ПолеГод = named(new QLineEdit(client), QStringLiteral("ПолеГод"));
    ПолеГод->setGeometry(twipsRect(2520, 120, 735, 315));

    UpDown7 = named(new UpDown(0, 3000, client), QStringLiteral("UpDown7"));
    UpDown7->setGeometry(twipsRect(3255, 120, 240, 315));
    UpDown7->setBuddy(ПолеГод);

    setTabOrder(ПолеСоСпискомМесяц, ПолеГод);
    setTabOrder(ПолеГод, UpDown7);

    connect(ПолеГод, &QLineEdit::textChanged, this, &Form1::ПолеГод_Change);
    connect(ПолеСоСпискомМесяц, &QComboBox::currentIndexChanged, this, &Form1::ПолеСоСпискомМесяц_Click);
    connect(UpDown7, &UpDown::valueChanged, this, &Form1::UpDown7_Change);
}

void Form1::createWeekdayHeaders() {
    const QFont font = layoutFont("Arial", 12, true);
    for (int r = 0; r < 7; ++r) {
        QLabel* header = named(new QLabel(QString::fromUtf8(kWeekdayNames[r]), centralWidget()),
                               QStringLiteral("Label1"), r);
        header->setGeometry(twipsRect(120, 600 + 360 * r, 375, 255));
        header->setFont(font);
        setTextColour(header, r < 5 ? kBlue : kRed);
    }
}

void Form1::createGrid() {
    for (int k = 0; k < 56; ++k) {
        DayCell* cell = named(new DayCell(centralWidget()), QStringLiteral("Надпись0"), k);
        cell->setGeometry(twipsRect(600 + 360 * (k / 7), 600 + 360 * (k % 7), 315, 315));
        Надпись0[k] = cell;
    }
    // Created after the cells, so it lies above them.
    Ramka = named(new TodayFrame(centralWidget()), QStringLiteral("Ramka"));
    Ramka->setGeometry(twipsRect(120, 120, 315, 315));
    Ramka->setProperty(kTag, QStringLiteral("0"));
}

void Form1::createTodayLine() {
    const QFont font = layoutFont("Times New Roman", 12, true);
    auto* label2 = named(new QLabel(QStringLiteral("Сегодня:"), centralWidget()), QStringLiteral("Label2"));
    label2->setGeometry(twipsRect(840, 3240, 1095, 255));
    Seyden = named(new QLabel(centralWidget()), QStringLiteral("Seyden")); // the load step writes the date
    Seyden->setGeometry(twipsRect(1920, 3240, 1215, 255));
    for (QLabel* label : {label2, Seyden}) {
        label->setFont(font);
        setTextColour(label, kBlue);
    }

    todayCheck_ = named(new QTimer(this), QStringLiteral("todayCheck"));
    todayCheck_->setSingleShot(true);
    todayCheck_->setTimerType(Qt::PreciseTimer); // due at midnight, not a few seconds after
    connect(todayCheck_, &QTimer::timeout, this, &Form1::checkToday);
}

// The order matters: the offset before any rebuild, the month's Tag before the year box first gets
// text, and the year before the month is picked, so that every rebuild sees a whole selection. The
// clock is read once: a start just before midnight on 31 December shows one date throughout.
void Form1::Form_Load() {
    const LocalTime now = clock_();
    today_ = now.date;
    Nastroyki_Chtenie();
    Mesyats_Ustanovka();
    UpDown7->setValue(yearOf(today_)); // its change writes the year box, which rebuilds
    ПолеСоСпискомМесяц->setCurrentIndex(monthOf(today_) - 1); // rebuilds again
    Seyden->setText(text(shortDateText(today_)));
    scheduleTodayCheck(now);
}

void Form1::Mesyats_Ustanovka() {
    const int m = monthOf(today_);
    ПолеСоСпискомМесяц->setProperty(kTag, text(numberText(m)));
    ПолеСоСпискомМесяц->setEditText(monthName(m));
}

void Form1::Nastroyki_Chtenie() { offset_.Nastroyki_Chtenie(); }

void Form1::checkToday() {
    const LocalTime now = clock_();
    if (now.date != today_) {
        today_ = now.date;
        Seyden->setText(text(shortDateText(today_)));
        Sutograf_Formirovanie();
    }
    scheduleTodayCheck(now);
}

void Form1::scheduleTodayCheck(const LocalTime& now) { todayCheck_->start(msUntilDateCheck(now)); }

void Form1::Sutograf_Formirovanie() {
    const auto grid = gridFromText(ПолеГод->text().toStdString(),
                                   ПолеСоСпискомМесяц->property(kTag).toString().toStdString(),
                                   offset_.BazovyKaraul(), today_);
    if (!grid) {
        return;
    }
    // Row by row, left to right: the repaint then gathers the changed cells' rectangles by appending
    // each to the last, instead of merging every one into a region of many.
    for (int i = 0; i < 56; ++i) {
        const YacheykaSetki& cell = grid->cells[(i % 8) * 7 + i / 8];
        DayCell* label = Надпись0[cell.k];
        label->setCaption(text(cell.dayText));
        // A day without a watch (only an odd offset gives one) keeps its colour and tooltip.
        if (cell.colour) {
            label->setForeColor(*cell.colour);
        }
        if (cell.tooltip) {
            label->setToolTip(text(*cell.tooltip));
        }
    }
    // The frame's Tag stays "0": a rebuild that frames today would set it to "1" and back before it
    // ends, and nothing can look in between.
    if (grid->todayCell) {
        Ramka->move(Надпись0[*grid->todayCell]->pos());
        Ramka->show();
    } else {
        Ramka->hide();
    }
    emit gridRebuilt();
}

float Form1::Ost(float x) { return sutograf::Ost(x); }

void Form1::ПолеГод_Change() { Sutograf_Formirovanie(); }

void Form1::ПолеСоСпискомМесяц_Click(int listIndex) {
    if (listIndex < 0) {
        return; // the list lost its selection; no month was picked
    }
    ПолеСоСпискомМесяц->setProperty(kTag, text(numberText(listIndex + 1)));
    Sutograf_Formirovanie();
}

void Form1::UpDown7_Change() {
    const QString year = text(numberText(UpDown7->value()));
    if (ПолеГод->text() != year) {
        ПолеГод->setText(year); // rebuilds through the year box's change
    } else {
        Sutograf_Formirovanie(); // unchanged text raises no change, yet the arrow asks for a rebuild
    }
}

// Each dialog exists once: shown again, the same one comes to the front without loading anew. The
// dialogs are top-level windows of their own, so that closing this window leaves them open.
void Form1::mnuSettings_Click() {
    if (settingsDialog_.isNull()) {
        settingsDialog_ = new frmSettings(offset_);
    }
    bringToFront(settingsDialog_);
}

void Form1::mnuWhoToday_Click() {
    if (whoTodayDialog_.isNull()) {
        whoTodayDialog_ = new frmWhoToday(offset_, today_);
    }
    bringToFront(whoTodayDialog_);
}

void Form1::mnuSpravka_Click() {
    if (aboutDialog_.isNull()) {
        aboutDialog_ = new frmAbout();
    }
    bringToFront(aboutDialog_);
}

void Form1::mnuExit_Click() { close(); }

// The year the grid shows (two-digit years as the grid reads them), else today's.
frmYear* Form1::showYearWindow() {
    if (yearWindow_.isNull()) {
        const auto typed = textToSingle(ПолеГод->text().toStdString());
        const auto first = typed ? dateFromText("1.1." + numberText(*typed)) : std::nullopt;
        yearWindow_ = new frmYear(first ? yearOf(*first) : yearOf(today_), clock_, offset_);
    }
    bringToFront(yearWindow_);
    return yearWindow_;
}

// The roster lives with the offset, so that these windows can outlive this one.
void Form1::showRosterWindow() {
    if (rosterWindow_.isNull()) {
        rosterWindow_ = new frmRoster(RosterSource::of(offset_), clock_);
    }
    bringToFront(rosterWindow_);
}

void Form1::showTimesheetWindow() {
    if (timesheetWindow_.isNull()) {
        timesheetWindow_ = new frmTimesheet(RosterSource::of(offset_), clock_);
    }
    bringToFront(timesheetWindow_);
}

} // namespace sutograf
