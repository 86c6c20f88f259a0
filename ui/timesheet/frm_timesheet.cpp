#include "frm_timesheet.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTableView>
#include <QTimer>
#include <QUndoStack>
#include <QVBoxLayout>

#include <algorithm>

#include "day_cell_delegate.h"
#include "day_header.h"
#include "mark_command.h"
#include "month_names.h"
#include "roster_source.h"
#include "safe_file.h"
#include "swap_dialog.h"
#include "timesheet_csv.h"
#include "timesheet_model.h"
#include "window_place.h"

namespace sutograf {
namespace {

QString text(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}
QString dateText(Date d) { return QString::fromStdString(shortDateText(d)); }
QString spanText(Date first, Date last) {
    return first == last ? dateText(first)
                         : QStringLiteral("с %1 по %2").arg(dateText(first), dateText(last));
}

// The letters of a Russian keyboard on the keys of a Latin one: a code typed with the wrong layout on
// is still the code the keys say.
QChar cyrillicOnKey(QChar c) {
    static const QString latin = QStringLiteral("qwertyuiop[]asdfghjkl;'zxcvbnm,.");
    static const QString russian = QStringLiteral("ЙЦУКЕНГШЩЗХЪФЫВАПРОЛДЖЭЯЧСМИТЬБЮ");
    const qsizetype i = latin.indexOf(c.toLower());
    return i < 0 ? c.toUpper() : russian[i];
}

std::optional<Absence> absenceOfCode(const QString& letters) {
    for (std::size_t k = 0; k < kAbsenceKinds; ++k) {
        if (text(absenceCode(static_cast<Absence>(k))) == letters) {
            return static_cast<Absence>(k);
        }
    }
    return std::nullopt;
}

bool startsACode(const QString& letters) {
    for (std::size_t k = 0; k < kAbsenceKinds; ++k) {
        if (text(absenceCode(static_cast<Absence>(k))).startsWith(letters)) {
            return true;
        }
    }
    return false;
}

const char* const kPeriodNames[] = {"месяц", "квартал", "полугодие", "год"};
const char* const kReductionNames[] = {"по рабочим дням отсутствия", "на смены графика в дни отсутствия"};

QString keyText(const QKeySequence& keys) { return keys.toString(QKeySequence::NativeText); }

} // namespace

frmTimesheet::frmTimesheet(RosterSource& roster, Clock clock, QWidget* parent)
    : QWidget(parent, Qt::Window), roster_(roster), clock_(std::move(clock)),
      calendar_(loadCalendar(roster.place())), today_(clock_().date) {
    setObjectName(QStringLiteral("frmTimesheet"));
    setWindowTitle(QStringLiteral("Табель"));
    setAttribute(Qt::WA_DeleteOnClose);
    undo_ = new QUndoStack(this);

    createSelectors();
    createTable();
    createTotals();
    createActions();
    createLines();
    layOut();
    readSettings();

    roster_.follow(this);
    connect(&roster_, &RosterSource::changed, this, &frmTimesheet::recount);
    showMonth(std::clamp(settings_.yearWatch, 1, 4), yearOf(today_), monthOf(today_));
    checkToday();
    placeWindow(this, settings_.timesheetWindow, firstSize());
    table_->setFocus();
}

// The first time, the whole month and everyone in sight, as far as the screen allows.
QSize frmTimesheet::firstSize() const {
    int width = table_->verticalHeader()->width() + totals_->width() + 2 * table_->frameWidth() + 40;
    for (int c = 0; c < model_->dayCount(); ++c) {
        width += table_->columnWidth(c);
    }
    const int height = header_->height() + table_->verticalHeader()->length() + 260;
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize free =
        screen != nullptr ? screen->availableGeometry().size() - QSize(16, 40) : QSize(1300, 680);
    return QSize(width, height).boundedTo(free).expandedTo(QSize(900, 500));
}

// The views go after the model (children die in the order they were made); the totals' view shares the
// days' selection model, so it lets go first.
frmTimesheet::~frmTimesheet() {
    totals_->setModel(nullptr);
    table_->setModel(nullptr);
}

void frmTimesheet::createSelectors() {
    watchBox_ = new QComboBox(this);
    watchBox_->setObjectName(QStringLiteral("watchBox"));
    for (int w = 1; w <= 4; ++w) {
        watchBox_->addItem(QStringLiteral("%1 караул").arg(w), w);
    }
    monthBox_ = new QComboBox(this);
    monthBox_->setObjectName(QStringLiteral("monthBox"));
    for (int m = 1; m <= 12; ++m) {
        monthBox_->addItem(monthName(m), m);
    }
    yearBox_ = new QSpinBox(this);
    yearBox_->setObjectName(QStringLiteral("yearBox"));
    yearBox_->setRange(100, 9999);
    yearBox_->setKeyboardTracking(false);
    const auto step = [this](int months) {
        const int index = yearBox_->value() * 12 + monthBox_->currentIndex() + months;
        if (index / 12 >= 100 && index / 12 <= 9999) {
            showMonth(shownWatch(), index / 12, index % 12 + 1);
        }
    };
    previous_ = new QPushButton(QStringLiteral("◀"), this);
    previous_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_PageUp));
    previous_->setToolTip(QStringLiteral("Предыдущий месяц (%1)").arg(keyText(previous_->shortcut())));
    next_ = new QPushButton(QStringLiteral("▶"), this);
    next_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_PageDown));
    next_->setToolTip(QStringLiteral("Следующий месяц (%1)").arg(keyText(next_->shortcut())));
    for (QPushButton* b : {previous_, next_}) {
        b->setFixedWidth(b->sizeHint().height() + 8);
    }
    connect(previous_, &QPushButton::clicked, this, [step] { step(-1); });
    connect(next_, &QPushButton::clicked, this, [step] { step(1); });
    connect(watchBox_, &QComboBox::currentIndexChanged, this, &frmTimesheet::recount);
    connect(monthBox_, &QComboBox::currentIndexChanged, this, &frmTimesheet::recount);
    connect(yearBox_, &QSpinBox::valueChanged, this, &frmTimesheet::recount);
}

void frmTimesheet::createTable() {
    model_ = new TimesheetModel(this);
    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("sheetTable"));
    header_ = new DayHeader(table_);
    table_->setHorizontalHeader(header_);
    table_->setModel(model_);
    table_->setItemDelegate(new DayCellDelegate(table_));
    table_->setSelectionMode(QAbstractItemView::ContiguousSelection);
    table_->setSelectionBehavior(QAbstractItemView::SelectItems);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setContextMenuPolicy(Qt::CustomContextMenu);
    table_->setWordWrap(false);
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->verticalHeader()->setDefaultSectionSize(2 * table_->fontMetrics().height() + 6);
    table_->verticalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    table_->installEventFilter(this);
    connect(table_, &QTableView::customContextMenuRequested, this, &frmTimesheet::showContextMenu);
    connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        typed_.clear();
        showTyped();
    });
}

void frmTimesheet::createTotals() {
    totals_ = new QTableView(this);
    totals_->setObjectName(QStringLiteral("totalsTable"));
    totals_->setModel(model_);
    totals_->setSelectionModel(table_->selectionModel());
    totals_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    totals_->setFocusPolicy(Qt::NoFocus);
    totals_->verticalHeader()->hide();
    totals_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    totals_->verticalHeader()->setDefaultSectionSize(table_->verticalHeader()->defaultSectionSize());
    totals_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn); // level with the days' scroll bar
    totals_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    totals_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    table_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    connect(table_->verticalScrollBar(), &QScrollBar::valueChanged, totals_->verticalScrollBar(),
            &QScrollBar::setValue);
    connect(totals_->verticalScrollBar(), &QScrollBar::valueChanged, table_->verticalScrollBar(),
            &QScrollBar::setValue);
}

// The days scroll across; the totals stay in sight. Both headers are as high as the higher.
void frmTimesheet::fitColumns() {
    const int days = model_->dayCount(), columns = model_->columnCount();
    for (int c = 0; c < columns; ++c) {
        table_->setColumnHidden(c, c >= days);
        totals_->setColumnHidden(c, c < days);
    }
    table_->resizeColumnsToContents();
    totals_->resizeColumnsToContents();
    const int height =
        std::max(header_->sizeHint().height(), totals_->horizontalHeader()->sizeHint().height());
    header_->setFixedHeight(height);
    totals_->horizontalHeader()->setFixedHeight(height);
    int width = 2 * totals_->frameWidth() + totals_->verticalScrollBar()->sizeHint().width();
    for (int c = days; c < columns; ++c) {
        width += totals_->columnWidth(c);
    }
    totals_->setFixedWidth(width);
}

void frmTimesheet::createActions() {
    const auto action = [this](const QString& caption, const QKeySequence& keys, const char* name) {
        auto* a = new QAction(caption, this);
        a->setObjectName(QString::fromLatin1(name));
        if (!keys.isEmpty()) {
            a->setShortcut(keys);
            a->setShortcutContext(Qt::WindowShortcut);
        }
        addAction(a);
        return a;
    };
    for (std::size_t k = 0; k < kAbsenceKinds; ++k) {
        const auto kind = static_cast<Absence>(k);
        QAction* a =
            new QAction(QStringLiteral("%1 — %2").arg(text(absenceCode(kind)), absenceName(kind)), this);
        connect(a, &QAction::triggered, this, [this, kind] { markSelected(kind); });
        codeActions_ << a;
    }
    swapAction_ = action(QStringLiteral("Подмена…"), QKeySequence(Qt::CTRL | Qt::Key_D), "swapAction");
    unmarkAction_ =
        action(QStringLiteral("Снять отметку или подмену"), QKeySequence(Qt::Key_Delete), "unmarkAction");
    undoAction_ = action(QStringLiteral("Отменить"), QKeySequence::Undo, "undoAction");
    redoAction_ = action(QStringLiteral("Повторить"), QKeySequence(Qt::CTRL | Qt::Key_Y), "redoAction");
    redoAction_->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    QAction* print = action(QStringLiteral("Печать…"), QKeySequence(Qt::CTRL | Qt::Key_P), "printAction");
    QAction* pdf = action(QStringLiteral("Сохранить PDF…"), QKeySequence(Qt::CTRL | Qt::Key_S), "pdfAction");
    QAction* csv = action(QStringLiteral("Экспорт в CSV…"), QKeySequence(Qt::CTRL | Qt::Key_E), "csvAction");
    connect(swapAction_, &QAction::triggered, this, &frmTimesheet::swapSelected);
    connect(unmarkAction_, &QAction::triggered, this, &frmTimesheet::unmarkSelected);
    connect(undoAction_, &QAction::triggered, this, &frmTimesheet::undo);
    connect(redoAction_, &QAction::triggered, this, &frmTimesheet::redo);
    connect(print, &QAction::triggered, this, &frmTimesheet::printSheet);
    connect(pdf, &QAction::triggered, this, &frmTimesheet::savePdf);
    connect(csv, &QAction::triggered, this, &frmTimesheet::saveCsv);
    connect(undo_, &QUndoStack::canUndoChanged, undoAction_, &QAction::setEnabled);
    connect(undo_, &QUndoStack::canRedoChanged, redoAction_, &QAction::setEnabled);
    undoAction_->setEnabled(false);
    redoAction_->setEnabled(false);
}

void frmTimesheet::createLines() {
    const auto line = [this](const char* name) {
        auto* l = new QLabel(this);
        l->setObjectName(QString::fromLatin1(name));
        l->setWordWrap(true);
        return l;
    };
    problemLine_ = line("problemLine");
    problemLine_->setStyleSheet(QStringLiteral("color: #c00000;"));
    rulesLine_ = line("rulesLine");
    keysLine_ = line("keysLine");
    keysLine_->setText(
        QStringLiteral(
            "Отметить: выделите дни человека мышью или Shift+стрелками, наберите код (ОТ, ОД, У, ДО, Б, К, "
            "ПК, Г, НН) и нажмите Enter, или выберите код правой кнопкой мыши. %1 — подмена, Delete — "
            "снять отметку или подмену, %2 — отменить, %3 — повторить. Я, Н, РВ и В ставятся сами по "
            "графику.")
            .arg(keyText(swapAction_->shortcut()), keyText(undoAction_->shortcut()),
                 keyText(redoAction_->shortcut())));
    statusLine_ = line("statusLine");
    statusLine_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    clockCheck_ = new QTimer(this);
    clockCheck_->setSingleShot(true);
    clockCheck_->setTimerType(Qt::PreciseTimer);
    connect(clockCheck_, &QTimer::timeout, this, &frmTimesheet::checkToday);
}

void frmTimesheet::layOut() {
    auto* top = new QHBoxLayout;
    top->addWidget(watchBox_);
    top->addSpacing(12);
    top->addWidget(previous_);
    top->addWidget(monthBox_);
    top->addWidget(yearBox_);
    top->addWidget(next_);
    top->addStretch();
    for (const char* name : {"printAction", "pdfAction", "csvAction"}) {
        auto* a = findChild<QAction*>(QString::fromLatin1(name));
        auto* b = new QPushButton(a->text(), this);
        b->setObjectName(
            QString::fromLatin1(name).replace(QStringLiteral("Action"), QStringLiteral("Button")));
        b->setToolTip(keyText(a->shortcut()));
        b->setText(QStringLiteral("%1 (%2)").arg(a->text(), keyText(a->shortcut())));
        connect(b, &QPushButton::clicked, a, &QAction::trigger);
        top->addWidget(b);
    }
    auto* all = new QVBoxLayout(this);
    all->addLayout(top);
    all->addWidget(problemLine_);
    auto* body = new QHBoxLayout;
    body->setSpacing(0);
    body->addWidget(table_, 1);
    body->addWidget(totals_);
    all->addLayout(body, 1);
    all->addWidget(rulesLine_);
    all->addWidget(keysLine_);
    all->addWidget(statusLine_);
}

int frmTimesheet::shownWatch() const { return watchBox_->currentData().toInt(); }
int frmTimesheet::shownYear() const { return yearBox_->value(); }
int frmTimesheet::shownMonth() const { return monthBox_->currentIndex() + 1; }

void frmTimesheet::showMonth(int watch, int year, int month) {
    {
        const QSignalBlocker a(watchBox_), b(monthBox_), c(yearBox_);
        watchBox_->setCurrentIndex(std::clamp(watch, 1, 4) - 1);
        monthBox_->setCurrentIndex(std::clamp(month, 1, 12) - 1);
        yearBox_->setValue(year);
    }
    recount();
}

bool frmTimesheet::readSettings() {
    const UserChoices read = SutografIni(roster_.place()).choices();
    const bool changed = read.duty.startMinute != settings_.duty.startMinute ||
                         read.duty.countedMinutes != settings_.duty.countedMinutes ||
                         read.duty.wholeDutyOnStartDay != settings_.duty.wholeDutyOnStartDay ||
                         !(read.accounting == settings_.accounting) || read.unitName != settings_.unitName;
    settings_ = read;
    return changed;
}

// The year window may have changed the rules, the accounting or the unit's name meanwhile.
bool frmTimesheet::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate && readSettings()) {
        recount();
    }
    return QWidget::event(e);
}

// Where it is and the folders it wrote to are no choice of the user's: a failure to keep them is not
// worth a message.
void frmTimesheet::closeEvent(QCloseEvent* event) {
    SutografIni::update(roster_.place(),
                        [this](UserChoices& c) { c.timesheetWindow = placeNow(this, c.timesheetWindow); });
    QWidget::closeEvent(event);
}

void frmTimesheet::rememberFolder(const QString& path, bool pdf) {
    const QString folder = QFileInfo(path).absolutePath();
    (pdf ? settings_.timesheetWindow.pdfFolder : settings_.timesheetWindow.csvFolder) = folder;
    SutografIni::update(roster_.place(), [&](UserChoices& c) {
        (pdf ? c.timesheetWindow.pdfFolder : c.timesheetWindow.csvFolder) = folder;
    });
}

TimesheetRules frmTimesheet::rules() const {
    return {settings_.duty, settings_.accounting.period, settings_.accounting.reduction,
            settings_.accounting.holidayPaidDoubleNotOvertime};
}

QString frmTimesheet::periodText() const {
    return QStringLiteral("за %1 %2 г.").arg(monthName(shownMonth()).toLower()).arg(shownYear());
}

QString frmTimesheet::rulesText() const {
    const DutyRules duty = clampedRules(rules().duty);
    return QStringLiteral(
               "Смена с %1, за смену учитывается %2 ч; %3. Норма — по производственному календарю для "
               "недели 40 или 36 ч, за отсутствие уменьшается %4. Учётный период — %5 (с %6 по %7); "
               "праздничные часы %8.")
        .arg(text(clockText(duty.startMinute)), text(hoursText(duty.countedMinutes)),
             duty.wholeDutyOnStartDay ? QStringLiteral("все часы смены — в день заступления")
                                      : QStringLiteral("часы после полуночи — на следующие сутки"),
             QString::fromUtf8(kReductionNames[static_cast<int>(settings_.accounting.reduction)]),
             QString::fromUtf8(kPeriodNames[static_cast<int>(settings_.accounting.period)]),
             dateText(sheet_.period.first), dateText(sheet_.period.last),
             settings_.accounting.holidayPaidDoubleNotOvertime
                 ? QStringLiteral("оплачиваются вдвое и в сверхурочные не входят")
                 : QStringLiteral("входят в сверхурочные"));
}

void frmTimesheet::recount() {
    const int watch = shownWatch(), year = shownYear(), month = shownMonth();
    const Roster& roster = roster_.roster();
    sheet_ = timesheetOf(roster.people, roster.swaps, watch, year, month, roster_.offset(),
                         calendar_.calendar, rules());
    const std::vector<MonthDay> days = monthDays(year, month, roster_.offset(), calendar_.calendar, today_);
    std::vector<QString> tips;
    for (const MonthDay& d : days) {
        tips.push_back(monthDayTooltip(d, calendar_.calendar));
    }
    header_->setDays(days, std::move(tips), watch);
    // The columns are measured again when the table changes shape or a day's text grows longer than its
    // column was measured for ("Я/Н/ПК" after a mark); measuring every cell is most of a mark's time.
    std::vector<std::size_t> longest(days.size(), 0);
    for (const TimesheetRow& row : sheet_.rows) {
        for (std::size_t i = 0; i < row.days.size() && i < longest.size(); ++i) {
            const DayEntry e = dayEntry(row.days[i]);
            longest[i] = std::max({longest[i], e.codes.size(), e.hours.size()});
        }
    }
    const bool refit = model_->rowCount() != static_cast<int>(sheet_.rows.size()) ||
                       longest.size() != measured_.size() ||
                       !std::equal(longest.begin(), longest.end(), measured_.begin(), std::less_equal<>());
    model_->setSheet(sheet_, &roster);
    if (refit) {
        fitColumns();
        measured_ = std::move(longest);
    }

    setWindowTitle(QStringLiteral("Табель — %1 караул, %2 %3").arg(watch).arg(monthName(month)).arg(year));
    rulesLine_->setText(rulesText());
    enableEdits();
}

void frmTimesheet::enableEdits() {
    const QString problem = roster_.problem();
    problemLine_->setText(problem);
    problemLine_->setVisible(!problem.isEmpty());
    const bool writable = roster_.store().writable();
    for (QAction* a : codeActions_) {
        a->setEnabled(writable);
    }
    swapAction_->setEnabled(writable);
    unmarkAction_->setEnabled(writable);
}

void frmTimesheet::checkToday() {
    const LocalTime now = clock_();
    if (now.date != today_) {
        today_ = now.date;
        recount();
    }
    clockCheck_->start(msUntilDateCheck(now));
}

QString frmTimesheet::status() const { return statusLine_->text(); }

void frmTimesheet::say(const QString& text, bool failure) {
    statusLine_->setText(text);
    statusLine_->setStyleSheet(failure ? QStringLiteral("color: #c00000;") : QString());
}

void frmTimesheet::selectDays(PersonId who, Date first, Date last) {
    const int row = model_->rowOf(who), from = model_->columnOf(first), to = model_->columnOf(last);
    if (row < 0 || from < 0 || to < 0) {
        return;
    }
    table_->setCurrentIndex(model_->index(row, to));
    table_->selectionModel()->select(QItemSelection(model_->index(row, from), model_->index(row, to)),
                                     QItemSelectionModel::ClearAndSelect);
}

std::optional<frmTimesheet::Run> frmTimesheet::selectedRun(bool quiet) {
    const QModelIndexList picked = table_->selectionModel()->selectedIndexes();
    std::optional<Run> run;
    for (const QModelIndex& i : picked) {
        const auto date = model_->dateAt(i.column());
        if (!date) {
            continue;
        }
        if (run && run->row != i.row()) {
            if (!quiet) {
                say(QStringLiteral("Выделите дни одного человека: отметка ставится на одну строку."), true);
            }
            return std::nullopt;
        }
        run = run ? Run{run->row, std::min(run->first, *date), std::max(run->last, *date)}
                  : Run{i.row(), *date, *date};
    }
    if (!run && !quiet) {
        say(QStringLiteral("Выделите дни человека в таблице."), true);
    }
    return run;
}

bool frmTimesheet::apply(const Marks& off, Marks on, const QString& done) {
    const Saved saved = exchangeMarks(roster_, off, on);
    if (!saved) {
        say(QStringLiteral("Не сохранено: ") + QString::fromStdString(saved.error), true);
        return false;
    }
    undo_->push(new MarkCommand(roster_, off, std::move(on), done));
    say(QStringLiteral("Сохранено: ") + done);
    return true;
}

bool frmTimesheet::markSelected(Absence kind) {
    const auto run = selectedRun();
    if (!run) {
        return false;
    }
    const TimesheetRow* row = model_->rowAt(run->row);
    Marks on;
    on.absences.push_back({row->person.id, {run->first, run->last, kind, {}, 0}});
    return apply({}, std::move(on),
                 QStringLiteral("%1 %2 — %3")
                     .arg(text(absenceCode(kind)), spanText(run->first, run->last), text(row->person.name)));
}

bool frmTimesheet::unmarkSelected() {
    const auto run = selectedRun();
    if (!run) {
        return false;
    }
    const PersonId id = model_->rowAt(run->row)->person.id;
    const PersonRecord* who = roster_.roster().find(id);
    Marks off, on;
    for (const AbsenceSpan& a : who != nullptr ? who->absences : std::vector<AbsenceSpan>{}) {
        if (a.last < run->first || run->last < a.first) {
            continue;
        }
        off.absences.push_back({id, a});
        // The days of the span outside the selection keep their mark.
        if (a.first < run->first) {
            on.absences.push_back({id, {a.first, Date{run->first.serial - 1}, a.kind, a.note, 0}});
        }
        if (run->last < a.last) {
            on.absences.push_back({id, {Date{run->last.serial + 1}, a.last, a.kind, a.note, 0}});
        }
    }
    for (const DutySwap& s : roster_.roster().swaps) {
        if (run->first <= s.day && s.day <= run->last && (s.gives == id || s.takes == id)) {
            off.swaps.push_back(s);
        }
    }
    if (off.empty()) {
        say(QStringLiteral("В выделенных днях нет ни отметок, ни подмен."), true);
        return false;
    }
    return apply(off, std::move(on),
                 QStringLiteral("снято %1 — %2")
                     .arg(spanText(run->first, run->last), text(model_->rowAt(run->row)->person.name)));
}

bool frmTimesheet::giveDuty(PersonId giver, Date day, std::optional<PersonId> taker,
                            const QString& outsider) {
    Marks on;
    on.swaps.push_back({day, giver, taker, outsider.simplified().toStdString(), 0});
    const PersonRecord* g = roster_.roster().find(giver);
    const PersonRecord* t = taker ? roster_.roster().find(*taker) : nullptr;
    return apply({}, std::move(on),
                 QStringLiteral("подмена %1: %2 → %3")
                     .arg(dateText(day), g != nullptr ? text(g->person.name) : QString(),
                          t != nullptr ? text(t->person.name) : outsider.simplified()));
}

bool frmTimesheet::swapSelected() {
    const auto run = selectedRun();
    if (!run) {
        return false;
    }
    const TimesheetRow* row = model_->rowAt(run->row);
    const TimesheetDay& day = row->days[static_cast<std::size_t>(model_->columnOf(run->first))];
    if (run->first != run->last || day.day.status != DayStatus::Duty) {
        say(QStringLiteral("Подмена — на смену человека: выделите один день его дежурства."), true);
        return false;
    }
    const Roster& roster = roster_.roster();
    std::vector<std::pair<int, SwapDialog::Candidate>> found;
    for (const PersonRecord& p : roster.people) {
        const PersonDay d = personDays(p, roster.swaps, run->first, run->first, roster_.offset()).front();
        if (p.person.id != row->person.id && d.watch != 0 && d.watch != day.day.watch &&
            d.status == DayStatus::Off && !d.absence) {
            found.push_back(
                {d.watch,
                 {p.person.id, QStringLiteral("%1, %2 караул").arg(text(p.person.name)).arg(d.watch)}});
        }
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<SwapDialog::Candidate> candidates;
    for (auto& f : found) {
        candidates.push_back(std::move(f.second));
    }
    SwapDialog dialog(QStringLiteral("Кто заступает на смену %1 вместо «%2»?")
                          .arg(dateText(run->first), text(row->person.name)),
                      candidates, this);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    return giveDuty(row->person.id, run->first, dialog.taker(), dialog.outsider());
}

bool frmTimesheet::undo() {
    if (!undo_->canUndo()) {
        say(QStringLiteral("Отменять нечего."));
        return false;
    }
    const auto* command = static_cast<const MarkCommand*>(undo_->command(undo_->index() - 1));
    const QString what = command->text();
    undo_->undo();
    if (const QString error = command->lastError(); !error.isEmpty()) {
        undo_->setIndex(undo_->index() + 1); // it is still in the store
        say(QStringLiteral("Не отменено (%1): %2").arg(what, error), true);
        return false;
    }
    say(QStringLiteral("Отменено: ") + what);
    return true;
}

bool frmTimesheet::redo() {
    if (!undo_->canRedo()) {
        say(QStringLiteral("Повторять нечего."));
        return false;
    }
    const auto* command = static_cast<const MarkCommand*>(undo_->command(undo_->index()));
    const QString what = command->text();
    undo_->redo();
    if (const QString error = command->lastError(); !error.isEmpty()) {
        undo_->setIndex(undo_->index() - 1);
        say(QStringLiteral("Не повторено (%1): %2").arg(what, error), true);
        return false;
    }
    say(QStringLiteral("Повторено: ") + what);
    return true;
}

void frmTimesheet::showTyped() {
    if (!typed_.isEmpty()) {
        say(QStringLiteral("Код: %1 — Enter отмечает выделенные дни, Esc отменяет набор.").arg(typed_));
    }
}

// Every printable key but Space (which selects) is taken: the table would otherwise jump to a cell
// whose text begins with it.
bool frmTimesheet::typed(const QString& keys) {
    bool used = false;
    for (const QChar key : keys) {
        if (key == QLatin1Char(' ') || !key.isPrint()) {
            continue;
        }
        used = true;
        if (!key.isLetter() && QStringLiteral("[];',.").indexOf(key) < 0) {
            typed_.clear();
            say(QStringLiteral("Коды отсутствия — буквы: ОТ, ОД, У, ДО, Б, К, ПК, Г, НН."), true);
            return true;
        }
        const QChar letter = cyrillicOnKey(key);
        if (startsACode(typed_ + letter)) {
            typed_ += letter;
        } else if (startsACode(QString(letter))) {
            typed_ = letter;
        } else {
            typed_.clear();
            say(QStringLiteral("Нет кода, начинающегося с «%1». Коды: ОТ, ОД, У, ДО, Б, К, ПК, Г, НН.")
                    .arg(letter),
                true);
            return true;
        }
    }
    showTyped();
    return used;
}

bool frmTimesheet::eventFilter(QObject* watched, QEvent* event) {
    if (watched != table_ || event->type() != QEvent::KeyPress) {
        return QWidget::eventFilter(watched, event);
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool plain = (key->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)) == Qt::NoModifier;
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        if (typed_.isEmpty()) {
            return false;
        }
        const QString code = typed_;
        typed_.clear();
        if (const auto kind = absenceOfCode(code)) {
            if (!roster_.store().writable()) {
                say(QStringLiteral("Не сохранено: ") + roster_.problem(), true);
                return true;
            }
            markSelected(*kind);
        } else {
            say(QStringLiteral("«%1» — не код. Коды: ОТ, ОД, У, ДО, Б, К, ПК, Г, НН.").arg(code), true);
        }
        return true;
    }
    case Qt::Key_Escape:
        if (typed_.isEmpty()) {
            return false;
        }
        typed_.clear();
        say({});
        return true;
    case Qt::Key_Delete:
        typed_.clear();
        unmarkAction_->trigger();
        return true;
    case Qt::Key_Backspace:
        if (!typed_.isEmpty()) {
            typed_.chop(1);
            showTyped();
            return true;
        }
        unmarkAction_->trigger();
        return true;
    default:
        return plain && !key->text().isEmpty() && typed(key->text());
    }
}

void frmTimesheet::showContextMenu(const QPoint& pos) {
    const QModelIndex at = table_->indexAt(pos);
    if (!at.isValid() || !model_->dateAt(at.column())) {
        return;
    }
    if (!table_->selectionModel()->isSelected(at)) {
        table_->selectionModel()->select(at, QItemSelectionModel::ClearAndSelect);
        table_->setCurrentIndex(at);
    }
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("marksMenu"));
    menu.addSection(QStringLiteral("Отметить выделенные дни"));
    menu.addActions(codeActions_);
    menu.addSeparator();
    menu.addAction(swapAction_);
    menu.addAction(unmarkAction_);
    menu.addSeparator();
    menu.addAction(undoAction_);
    menu.addAction(redoAction_);
    menu.exec(table_->viewport()->mapToGlobal(pos));
}

TimesheetPage frmTimesheet::page() const {
    std::vector<MonthDay> days =
        monthDays(shownYear(), shownMonth(), roster_.offset(), calendar_.calendar, std::nullopt);
    return {
        settings_.unitName,
        QStringLiteral("Табель учёта рабочего времени %1 — %2 караул").arg(periodText()).arg(shownWatch()),
        periodText(),
        shownWatch(),
        &sheet_,
        std::move(days),
        rulesText()};
}

QString frmTimesheet::defaultFileName(const QString& suffix) const {
    const WindowPlace& kept = settings_.timesheetWindow;
    return QDir(folderToOffer(suffix == QLatin1String("pdf") ? kept.pdfFolder : kept.csvFolder))
        .filePath(QStringLiteral("Табель %1 караул %2 %3.%4")
                      .arg(shownWatch())
                      .arg(monthName(shownMonth()).toLower())
                      .arg(shownYear())
                      .arg(suffix));
}

bool frmTimesheet::writeFile(const QString& path, const std::optional<QByteArray>& bytes,
                             const QString& what) {
    const WriteResult written =
        bytes ? writeFileSafely(path, *bytes, MissingFolders::Refuse) : WriteResult{WriteFailure::Other};
    if (!written.ok()) {
        const QString why =
            QStringLiteral("Не удалось сохранить файл «%1»: %2.").arg(path, failureText(written.failure));
        say(why, true);
        auto* box =
            new QMessageBox(QMessageBox::Warning, QStringLiteral("Сутограф"), why, QMessageBox::Ok, this);
        box->setObjectName(QStringLiteral("saveFailed"));
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
        return false;
    }
    say(QStringLiteral("%1 сохранён: «%2».").arg(what, path));
    return true;
}

bool frmTimesheet::writePdf(const QString& path) {
    if (!writeFile(path, timesheetPdf(page()), QStringLiteral("PDF"))) {
        return false;
    }
    rememberFolder(path, true);
    return true;
}

bool frmTimesheet::writeCsv(const QString& path) {
    const std::string text =
        timesheetCsv(sheet_, settings_.unitName.toStdString(), page().title.toStdString());
    if (!writeFile(path, QByteArray::fromStdString(text), QStringLiteral("Табель в CSV"))) {
        return false;
    }
    rememberFolder(path, false);
    return true;
}

void frmTimesheet::savePdf() {
    QFileDialog dialog(this, QStringLiteral("Сохранить табель в PDF"), defaultFileName(QStringLiteral("pdf")),
                       QStringLiteral("PDF (*.pdf)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        writePdf(dialog.selectedFiles().first());
    }
}

void frmTimesheet::saveCsv() {
    QFileDialog dialog(this, QStringLiteral("Экспорт табеля в CSV"), defaultFileName(QStringLiteral("csv")),
                       QStringLiteral("Таблица CSV (*.csv)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        writeCsv(dialog.selectedFiles().first());
    }
}

void frmTimesheet::printSheet() {
    if (printers_().isEmpty()) {
        if (offerPdfWithoutPrinter(this)) {
            savePdf();
        }
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                      QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
    const TimesheetPage content = page();
    printer.setDocName(content.title);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    // "Print to file" would have the printer write the file itself, with none of our guarantees.
    if (!printer.outputFileName().isEmpty()) {
        writePdf(printer.outputFileName());
    } else if (!printTimesheet(printer, content)) {
        say(QStringLiteral("Не удалось напечатать: принтер «%1» не принимает задание.")
                .arg(printer.printerName()),
            true);
    }
}

} // namespace sutograf
