#include "frm_year.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTableView>
#include <QTimeEdit>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

#include "bazovy_karaul.h"
#include "colours.h"
#include "hours_box.h"
#include "ics.h"
#include "number_text.h"
#include "person_choice.h"
#include "roster.h"
#include "roster_model.h"
#include "roster_source.h"
#include "rota.h"
#include "rota_page.h"
#include "typed_values.h"
#include "watch_choice.h"
#include "watch_periods.h"
#include "window_place.h"
#include "year_months_view.h"
#include "year_page.h"

namespace sutograf {
namespace {

QString watchName(int watch) { return QStringLiteral("%1 караул").arg(watch); }

// In the order of AccountingPeriod and NormReduction: as the boxes offer them, and as the footnote
// says them.
const char* const kPeriodNames[] = {"месяц", "квартал", "полугодие", "год"};
const char* const kReductionChoices[] = {"по рабочим дням", "по сменам графика"};
const char* const kReductionNames[] = {"по рабочим дням отсутствия", "на смены графика в дни отсутствия"};

QString hoursOfText(int minutes) { return QString::fromStdString(hoursText(minutes)); }

// How a person's own norm is had, as the notes under the table say it.
QString personNormText(int weeklyHours, const AccountingChoices& a) {
    return QStringLiteral("при %1-часовой неделе за дни в карауле, за отсутствие уменьшается %2; учётный "
                          "период — %3")
        .arg(weeklyHours)
        .arg(QString::fromUtf8(kReductionNames[static_cast<int>(a.reduction)]),
             QString::fromUtf8(kPeriodNames[static_cast<int>(a.period)]));
}

// A name as a file name may hold it: the characters some file system refuses become "_".
QString fileNamePart(QString name) {
    static const QRegularExpression refused(QStringLiteral(R"([\\/:*?"<>|\x00-\x1F])"));
    return name.replace(refused, QStringLiteral("_")).trimmed();
}

QString sourceText(NormSource source, int year) {
    switch (source) {
    case NormSource::Decree:
        return QStringLiteral("по производственному календарю %1 года").arg(year);
    case NormSource::Provisional:
        return QStringLiteral("%1 — предварительно: постановление о переносах ещё не учтено").arg(year);
    case NormSource::GeneralRules:
        break;
    }
    return QStringLiteral("по общим правилам, без постановления о переносах");
}

// A few items at most: the table must stay in sight whatever the files hold.
QString listed(const QStringList& items) {
    constexpr qsizetype kShown = 4;
    QString text = items.mid(0, kShown).join(QStringLiteral("; "));
    if (items.size() > kShown) {
        text += QStringLiteral(" и ещё %1").arg(items.size() - kShown);
    }
    return text;
}

// The window's keys before a text box's own use of them: on X11 desktops Ctrl+E is "end of line" in
// every line edit, and the year box would swallow the export.
class WindowKeysFirst : public QObject {
public:
    explicit WindowKeysFirst(QWidget* window) : QObject(window), window_(window) {}

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::ShortcutOverride) {
            return false;
        }
        const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
        const QList<QAction*> actions = window_->actions();
        return std::any_of(actions.begin(), actions.end(),
                           [&](const QAction* a) { return a->shortcut() == pressed; });
    }

private:
    QWidget* window_;
};

QString problemsText(const LoadedCalendar& calendar, const SutografIni& ini) {
    QStringList lines;
    if (!calendar.errors.empty()) {
        QStringList errors;
        for (const CalendarError& e : calendar.errors) {
            const QString message = QString::fromStdString(e.message);
            errors << (e.line > 0 ? QStringLiteral("строка %1: %2").arg(e.line).arg(message) : message);
        }
        lines << QStringLiteral("Файл «%1»: %2. %3")
                     .arg(calendar.path, listed(errors), calendarVerdict(calendar));
    }
    if (ini.readFailure() != ReadFailure::None) {
        lines << QStringLiteral("Файл «%1» не прочитан: %2. Все настройки учёта — по умолчанию.")
                     .arg(ini.readPath(), failureText(ini.readFailure()));
    } else if (!ini.problems().isEmpty()) {
        lines << QStringLiteral("Файл «%1»: %2. Для них взяты значения по умолчанию.")
                     .arg(ini.readPath(), listed(ini.problems()));
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace

frmYear::frmYear(int year, Clock clock, RotaOffset& offset, QWidget* parent)
    : QWidget(parent, Qt::Window), clock_(std::move(clock)), offset_(offset),
      roster_(RosterSource::of(offset)), ini_(offset.place()), calendar_(loadCalendar(offset.place())),
      hours_(this) {
    setObjectName(QStringLiteral("frmYear"));
    setWindowTitle(QStringLiteral("Год и часы"));
    setAttribute(Qt::WA_DeleteOnClose);

    createHeader();
    createSelectors();
    createMonths();
    createTable();
    createRules();
    createButtons();
    createRotaButtons();
    layOut();
    // The first time, everything in sight on a 1366 x 768 screen, its title bar and a task bar included.
    placeWindow(this, ini_.choices().yearWindow, QSize(1300, 680));

    {
        const QSignalBlocker quiet(yearBox_);
        yearBox_->setValue(std::clamp(year, 100, 9999));
    }
    checkToday();
    connect(&offset_, &RotaOffset::changed, this, &frmYear::recount);
    roster_.follow(this);
    connect(&roster_, &RosterSource::changed, this, [this] {
        fillPeople();
        recount();
    });
}

// The table and the months view outlive the model and the sheet they show (child widgets go last).
frmYear::~frmYear() {
    table_->setModel(nullptr);
    months_->setSheet(nullptr);
}

void frmYear::createHeader() {
    todayLine_ = new QLabel(this);
    todayLine_->setObjectName(QStringLiteral("todayLine"));
    QFont bold = todayLine_->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    todayLine_->setFont(bold);
    clockCheck_ = new QTimer(this);
    clockCheck_->setSingleShot(true);
    clockCheck_->setTimerType(Qt::PreciseTimer); // due at midnight, not a few seconds after
    connect(clockCheck_, &QTimer::timeout, this, &frmYear::checkToday);
}

void frmYear::createSelectors() {
    yearBox_ = new QSpinBox(this);
    yearBox_->setObjectName(QStringLiteral("yearBox"));
    yearBox_->setRange(100, 9999);
    yearBox_->setKeyboardTracking(false); // "2" of "2027" is no year to count, nor is "202"
    // Four digits are a whole year; a shorter one counts after a pause, or on Enter.
    countTypingAtOnce(yearBox_, [](const QString& text) { return text.trimmed().size() >= 4; });
    connect(yearBox_, &QSpinBox::valueChanged, this, &frmYear::recount);

    watches_ = new WatchChoice(ini_.choices().yearWatch, this);
    connect(watches_, &WatchChoice::chosenChanged, this, &frmYear::chooseWatch);
    people_ = new PersonChoice(this);
    connect(people_, &PersonChoice::chosenChanged, this, &frmYear::choosePerson);
}

void frmYear::createMonths() {
    months_ = new YearMonthsView(this);
    months_->setObjectName(QStringLiteral("months"));
}

void frmYear::createTable() {
    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("hoursTable"));
    table_->setModel(&hours_);
    table_->setSelectionMode(QAbstractItemView::NoSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setFocusPolicy(Qt::NoFocus);
    table_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 2);
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // Every row and column in sight (fitTable): the messages below give way, never the year's total.
    table_->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);
    table_->horizontalHeader()->setStretchLastSection(true);

    sourceLine_ = wrappedLine("sourceLine");
    overtimeLine_ = wrappedLine("overtimeLine");
    problemsLine_ = wrappedLine("problemsLine");
    problemsLine_->setStyleSheet(QStringLiteral("color: #c00000;"));
    problemsLine_->setTextFormat(Qt::PlainText); // it quotes the files: "<!--" there must not hide the rest
    showProblems();
}

// The texts of the side panel wrap within its width instead of widening it.
QLabel* frmYear::wrappedLine(const char* name) {
    auto* line = new QLabel(this);
    line->setObjectName(QString::fromLatin1(name));
    line->setWordWrap(true);
    QSizePolicy policy = line->sizePolicy();
    policy.setHorizontalPolicy(QSizePolicy::Ignored);
    line->setSizePolicy(policy);
    return line;
}

// A wrapped text's height at the panel's width is what the window must leave it: a layout does not
// count it into a window's minimum size by itself, and would lay the lines over the table.
void frmYear::fitLines() {
    if (statusLine_ == nullptr) {
        return; // not laid out yet
    }
    const int width = sourceLine_->parentWidget()->sizeHint().width();
    for (QLabel* line : {sourceLine_, overtimeLine_, problemsLine_, statusLine_}) {
        line->setMinimumHeight(line->text().isEmpty() ? 0 : line->heightForWidth(width));
    }
}

void frmYear::say(const QString& status) {
    statusLine_->setText(status);
    fitLines();
}

// The table at least as large as its contents, so that the layout can neither cut a column nor a row;
// the last column takes what the panel has to spare.
void frmYear::fitTable() {
    table_->resizeColumnsToContents();
    const int frame = 2 * table_->frameWidth();
    table_->setMinimumWidth(table_->verticalHeader()->sizeHint().width() +
                            table_->horizontalHeader()->length() + frame);
    table_->setFixedHeight(table_->horizontalHeader()->sizeHint().height() +
                           table_->verticalHeader()->length() + frame);
}

void frmYear::showProblems() {
    problemsLine_->setText(problemsText(calendar_, ini_));
    problemsLine_->setVisible(!problemsLine_->text().isEmpty());
    fitLines();
}

void frmYear::createRules() {
    startBox_ = new QTimeEdit(this);
    startBox_->setObjectName(QStringLiteral("startBox"));
    startBox_->setDisplayFormat(QStringLiteral("HH:mm"));
    startBox_->setKeyboardTracking(false);
    startBox_->setTime(QTime(0, 0).addSecs(ini_.choices().duty.startMinute * 60));

    hoursBox_ = new HoursBox(this);
    hoursBox_->setObjectName(QStringLiteral("hoursBox"));
    hoursBox_->setRange(60, 24 * 60);
    hoursBox_->setValue(std::max(60, ini_.choices().duty.countedMinutes));
    hoursBox_->setToolTip(QStringLiteral("От 1 до 24 часов, можно с минутами: 23:30. Смена всё равно длится "
                                         "24 часа: неучтённые часы — перерывы для отдыха в конце смены."));
    // "23:30" and "24" are whole; "23" may yet become "23:30", and counts after a pause.
    countTypingAtOnce(hoursBox_, [this](const QString& text) {
        return text.contains(QLatin1Char(':')) ||
               minutesFromText(text.trimmed().toStdString()).value_or(0) >= hoursBox_->maximum();
    });

    wholeDutyBox_ = new QCheckBox(QStringLiteral("Вся смена — в день заступления"), this);
    wholeDutyBox_->setObjectName(QStringLiteral("wholeDutyBox"));
    wholeDutyBox_->setChecked(ini_.choices().duty.wholeDutyOnStartDay);

    // In the order of Reminder.
    reminderBox_ = new QComboBox(this);
    reminderBox_->setObjectName(QStringLiteral("reminderBox"));
    reminderBox_->addItems({QStringLiteral("без напоминания"), QStringLiteral("накануне в 20:00"),
                            QStringLiteral("за час до заступления")});
    reminderBox_->setCurrentIndex(static_cast<int>(ini_.choices().reminder));
    reminderBox_->setToolTip(QStringLiteral("Напоминание о каждом дежурстве в файле для календаря"));

    const AccountingChoices& accounting = ini_.choices().accounting;
    periodBox_ = new QComboBox(this);
    periodBox_->setObjectName(QStringLiteral("periodBox"));
    for (const char* name : kPeriodNames) {
        periodBox_->addItem(QString::fromUtf8(name));
    }
    periodBox_->setCurrentIndex(static_cast<int>(accounting.period));
    reductionBox_ = new QComboBox(this);
    reductionBox_->setObjectName(QStringLiteral("reductionBox"));
    for (const char* name : kReductionChoices) {
        reductionBox_->addItem(QString::fromUtf8(name));
    }
    reductionBox_->setCurrentIndex(static_cast<int>(accounting.reduction));
    reductionBox_->setToolTip(QStringLiteral("На сколько уменьшается норма за отпуск, болезнь и другие "
                                             "отсутствия по уважительной причине"));
    holidayBox_ = new QCheckBox(QStringLiteral("Праздничные часы оплачены вдвое и не сверхурочные"), this);
    holidayBox_->setObjectName(QStringLiteral("holidayBox"));
    holidayBox_->setChecked(accounting.holidayPaidDoubleNotOvertime);
    holidayBox_->setToolTip(QStringLiteral("Ст. 152 ТК РФ: работа в праздник, оплаченная в двойном размере, "
                                           "в сверхурочную не входит"));
    unitBox_ = new QLineEdit(ini_.choices().unitName, this);
    unitBox_->setObjectName(QStringLiteral("unitBox"));
    unitBox_->setMaxLength(static_cast<int>(kLongestUnitName));
    unitBox_->setPlaceholderText(QStringLiteral("для печатных листов"));

    connect(startBox_, &QTimeEdit::timeChanged, this, &frmYear::changeRules);
    connect(hoursBox_, &QSpinBox::valueChanged, this, &frmYear::changeRules);
    connect(wholeDutyBox_, &QCheckBox::toggled, this, &frmYear::changeRules);
    connect(periodBox_, &QComboBox::currentIndexChanged, this, &frmYear::changeRules);
    connect(reductionBox_, &QComboBox::currentIndexChanged, this, &frmYear::changeRules);
    connect(holidayBox_, &QCheckBox::toggled, this, &frmYear::changeRules);
    connect(unitBox_, &QLineEdit::editingFinished, this, &frmYear::changeUnitName);
    connect(reminderBox_, &QComboBox::currentIndexChanged, this, &frmYear::changeRules);
}

// Each button's shortcut works anywhere in the window and is written on the button.
void frmYear::createButtons() {
    struct Entry {
        const char* name;
        QString text;
        QKeySequence keys;
        void (frmYear::*run)();
    };
    const std::array<Entry, 3> entries = {{
        {"printButton", QStringLiteral("Печать…"), QKeySequence(Qt::CTRL | Qt::Key_P), &frmYear::printYear},
        {"pdfButton", QStringLiteral("Сохранить PDF…"), QKeySequence(Qt::CTRL | Qt::Key_S),
         &frmYear::savePdf},
        {"icsButton", QStringLiteral("Экспорт в календарь…"), QKeySequence(Qt::CTRL | Qt::Key_E),
         &frmYear::exportCalendar},
    }};
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const Entry& e = entries[i];
        auto* action = new QAction(e.text, this);
        action->setShortcut(e.keys);
        addAction(action);
        connect(action, &QAction::triggered, this, e.run);
        auto* button = new QPushButton(
            QStringLiteral("%1  %2").arg(e.text, e.keys.toString(QKeySequence::NativeText)), this);
        button->setObjectName(QString::fromLatin1(e.name));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, action, &QAction::trigger);
        buttons_[i] = button;
    }
    auto* closing = new QAction(this);
    closing->setShortcut(QKeySequence(Qt::Key_Escape));
    addAction(closing);
    connect(closing, &QAction::triggered, this, &QWidget::close);
    statusLine_ = wrappedLine("statusLine");
}

void frmYear::createRotaButtons() {
    const std::array<std::pair<QString, void (frmYear::*)()>, 2> actions = {{
        {QStringLiteral("Печать графика караулов…"), &frmYear::printRota},
        {QStringLiteral("PDF графика караулов…"), &frmYear::saveRotaPdf},
    }};
    for (std::size_t i = 0; i < actions.size(); ++i) {
        auto* button = new QPushButton(actions[i].first, this);
        button->setObjectName(i == 0 ? QStringLiteral("rotaPrintButton") : QStringLiteral("rotaPdfButton"));
        button->setToolTip(QStringLiteral("Все четыре караула на одном листе за год — для стенда"));
        connect(button, &QPushButton::clicked, this, actions[i].second);
        rotaButtons_[i] = button;
    }
}

void frmYear::layOut() {
    auto* selectors = new QHBoxLayout;
    selectors->addWidget(new QLabel(QStringLiteral("Год:"), this));
    selectors->addWidget(yearBox_);
    selectors->addSpacing(16);
    selectors->addWidget(watches_);
    selectors->addSpacing(16);
    auto* personLabel = new QLabel(QStringLiteral("&Сотрудник:"), this);
    personLabel->setBuddy(people_);
    selectors->addWidget(personLabel);
    selectors->addWidget(people_);
    selectors->addStretch();
    selectors->addWidget(todayLine_);

    auto* rules = new QGroupBox(QStringLiteral("Учёт смены и рабочего времени"), this);
    auto* grid = new QGridLayout(rules);
    const auto label = [rules](const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text, rules);
        l->setBuddy(buddy);
        return l;
    };
    grid->addWidget(label(QStringLiteral("Заступление"), startBox_), 0, 0);
    grid->addWidget(startBox_, 0, 1);
    grid->addWidget(label(QStringLiteral("Учитывать часов за смену"), hoursBox_), 0, 2);
    grid->addWidget(hoursBox_, 0, 3);
    grid->addWidget(wholeDutyBox_, 1, 0, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Напоминание в календаре"), rules), 1, 2);
    grid->addWidget(reminderBox_, 1, 3);
    grid->addWidget(label(QStringLiteral("Учётный период"), periodBox_), 2, 0);
    grid->addWidget(periodBox_, 2, 1);
    grid->addWidget(label(QStringLiteral("Норма при отсутствии"), reductionBox_), 2, 2);
    grid->addWidget(reductionBox_, 2, 3);
    grid->addWidget(holidayBox_, 3, 0, 1, 4);
    grid->addWidget(label(QStringLiteral("Подразделение"), unitBox_), 4, 0);
    grid->addWidget(unitBox_, 4, 1, 1, 3);

    auto* buttons = new QHBoxLayout;
    for (QWidget* b : buttons_) {
        buttons->addWidget(b);
    }

    auto* rotaButtons = new QHBoxLayout;
    for (QWidget* b : rotaButtons_) {
        rotaButtons->addWidget(b);
    }

    // The panel is as wide as the widest of its parts; the texts in it wrap to that width.
    auto* panel = new QWidget(this);
    panel->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    auto* right = new QVBoxLayout(panel);
    right->setContentsMargins(0, 0, 0, 0);
    right->addWidget(table_);
    right->addWidget(sourceLine_);
    right->addWidget(overtimeLine_);
    right->addWidget(problemsLine_);
    right->addWidget(rules);
    right->addLayout(buttons);
    right->addLayout(rotaButtons);
    right->addWidget(statusLine_);
    right->addStretch();

    auto* body = new QHBoxLayout;
    body->addWidget(months_, 1);
    body->addWidget(panel);

    auto* all = new QVBoxLayout(this);
    all->addLayout(selectors);
    all->addLayout(body, 1);

    // From the top left to the bottom right: the year, the watch, the rules, the buttons.
    QWidget* order[] = {yearBox_,     watches_,    people_,         startBox_,      hoursBox_, wholeDutyBox_,
                        reminderBox_, periodBox_,  reductionBox_,   holidayBox_,    unitBox_,  buttons_[0],
                        buttons_[1],  buttons_[2], rotaButtons_[0], rotaButtons_[1]};
    for (std::size_t i = 1; i < std::size(order); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }
    auto* keysFirst = new WindowKeysFirst(this);
    for (QWidget* editor : findChildren<QWidget*>()) {
        if (qobject_cast<QLineEdit*>(editor) || qobject_cast<QAbstractSpinBox*>(editor)) {
            editor->installEventFilter(keysFirst);
        }
    }
}

// A maximised or minimised window keeps the place it had before.
void frmYear::closeEvent(QCloseEvent* event) {
    WindowPlace place = ini_.choices().yearWindow;
    place.maximized = isMaximized();
    if (!isMaximized() && !isMinimized()) {
        place.geometry = QRect(pos(), size());
    }
    changeUnitName();
    keepPlace(place);
    QWidget::closeEvent(event);
}

int frmYear::shownYear() const { return yearBox_->value(); }

void frmYear::checkToday() {
    const LocalTime now = clock_();
    if (now.date != today_ || !sheet_) {
        today_ = now.date;
        fillPeople(); // grouped by the watch of today
        recount();
    }
    clockCheck_->start(msUntilDateCheck(now));
}

void frmYear::recount() {
    const Date today = today_;
    const int year = shownYear();
    shownOffset_ = offset_.BazovyKaraul();
    const auto onDuty = watchOn(today, shownOffset_);
    todayLine_->setText(QStringLiteral("Сегодня %1 дежурит %2")
                            .arg(QString::fromStdString(shortDateText(today)),
                                 onDuty ? watchName(*onDuty) : QStringLiteral("не определённый караул")));
    sheet_.emplace(makeSheet(today));
    months_->setSheet(&*sheet_);
    const UserChoices& c = ini_.choices();
    QString source = QStringLiteral("<b>Норма:</b> ") + sourceText(calendar_.calendar.sourceOf(year), year);
    if (const PersonRecord* who = shownRecord()) {
        const std::span<const DutySwap> swaps = roster_.roster().swaps;
        std::array<PersonHours, kYearTableRows> rows;
        for (std::size_t r = 0; r < kYearTableRows; ++r) {
            const Period p = rowPeriod(year, r);
            rows[r] = personHours(*who, swaps, p.first, p.last, shownOffset_, calendar_.calendar, c.duty,
                                  c.accounting.reduction);
        }
        hours_.setPersonRows(rows, accountingPeriods(*who, swaps, year, c.accounting.period, shownOffset_,
                                                     calendar_.calendar, c.duty, c.accounting.reduction,
                                                     c.accounting.holidayPaidDoubleNotOvertime));
        source += QStringLiteral("; своя — %1").arg(personNormText(who->person.weeklyHours, c.accounting));
    } else {
        const auto rows = yearTable(c.yearWatch, year, shownOffset_, calendar_.calendar, c.duty);
        hours_.setRows(
            rows, watchPeriods(c.yearWatch, year, shownOffset_, calendar_.calendar, c.duty, c.accounting));
    }
    fitTable();
    sourceLine_->setText(source);
    const bool overLimit = overYearLimit(hours_.periods());
    overtimeLine_->setText(overtimeText());
    overtimeLine_->setStyleSheet(overLimit ? QStringLiteral("color: #c00000;") : QString());
    fitLines();
}

// The year's overtime, and how far it goes beyond the 120 hours a year art. 99 allows.
QString frmYear::overtimeText() const {
    const int overtime = yearOvertimeMinutes(hours_.periods());
    QString text = QStringLiteral("Сверхурочных за %1 год: %2 ч").arg(shownYear()).arg(hoursOfText(overtime));
    if (const PersonRecord* who = shownRecord()) {
        text = QStringLiteral("Сверхурочных за %1 год (%2): %3 ч")
                   .arg(shownYear())
                   .arg(QString::fromStdString(who->person.name), hoursOfText(overtime));
    }
    if (overtime > kYearOvertimeLimitMinutes) {
        text += QStringLiteral(" — на %1 ч больше 120 ч в год, допустимых ст. 99 ТК РФ")
                    .arg(hoursOfText(overtime - kYearOvertimeLimitMinutes));
    }
    return text + QLatin1Char('.');
}

void frmYear::chooseWatch(int watch) {
    UserChoices next = ini_.choices();
    next.yearWatch = watch;
    next.yearPerson = 0;
    people_->choose(0);
    storeChoices(next);
}

// Their watch becomes the one chosen too: the year to fall back to when they are gone.
void frmYear::choosePerson(PersonId id) {
    UserChoices next = ini_.choices();
    next.yearPerson = id;
    const PersonRecord* who = id != 0 ? roster_.roster().find(id) : nullptr;
    if (const int watch = who != nullptr ? rosterGroupOf(*who, today_) : 0; watch != 0) {
        next.yearWatch = watch;
        watches_->setChosen(watch);
    }
    people_->choose(who != nullptr ? id : 0);
    storeChoices(next);
}

// A person chosen once and gone since (removed, or a roster that could not be read) leaves the watch's
// year in sight, and the choice kept: the same roster may be back next time.
void frmYear::fillPeople() {
    const PersonId wanted = ini_.choices().yearPerson;
    if (!people_->setRoster(roster_.roster(), today_, wanted) && statusLine_ != nullptr) {
        say(QStringLiteral("Выбранного сотрудника нет в личном составе: показан год %1 караула.")
                .arg(ini_.choices().yearWatch));
    }
}

const PersonRecord* frmYear::shownRecord() const {
    const PersonId id = ini_.choices().yearPerson;
    return id != 0 ? roster_.roster().find(id) : nullptr;
}

PersonId frmYear::shownPerson() const {
    const PersonRecord* who = shownRecord();
    return who != nullptr ? who->person.id : 0;
}

// A person's sheet shows the watch they belong to at the year's end in its legend (the last they
// belonged to within it, if they left).
YearSheet frmYear::makeSheet(std::optional<Date> today) const {
    const int year = shownYear();
    const PersonRecord* who = shownRecord();
    if (who == nullptr) {
        return YearSheet(year, ini_.choices().yearWatch, shownOffset_, today, calendar_.calendar);
    }
    std::vector<PersonDay> days =
        personDays(*who, roster_.roster().swaps, *dateOf(year, 1, 1), *dateOf(year, 12, 31), shownOffset_);
    const auto last =
        std::find_if(days.rbegin(), days.rend(), [](const PersonDay& d) { return d.watch != 0; });
    const int watch = last != days.rend() ? last->watch : ini_.choices().yearWatch;
    return YearSheet(year, watch, shownOffset_, today, calendar_.calendar, std::move(days));
}

// "Иванов И. И.", or "1 караул".
QString frmYear::shownName() const {
    const PersonRecord* who = shownRecord();
    return who != nullptr ? QString::fromStdString(who->person.name) : watchName(ini_.choices().yearWatch);
}

void frmYear::changeRules() {
    UserChoices next = ini_.choices();
    next.duty.startMinute = startBox_->time().hour() * 60 + startBox_->time().minute();
    next.duty.countedMinutes = hoursBox_->value();
    next.duty.wholeDutyOnStartDay = wholeDutyBox_->isChecked();
    next.accounting.period = static_cast<AccountingPeriod>(periodBox_->currentIndex());
    next.accounting.reduction = static_cast<NormReduction>(reductionBox_->currentIndex());
    next.accounting.holidayPaidDoubleNotOvertime = holidayBox_->isChecked();
    next.reminder = static_cast<Reminder>(reminderBox_->currentIndex());
    storeChoices(next);
}

// Nothing is counted with the name: it is only kept for the sheets.
void frmYear::changeUnitName() {
    UserChoices next = ini_.choices();
    next.unitName = unitBox_->text().simplified();
    if (next.unitName != ini_.choices().unitName) {
        store(next);
    }
}

// Where the window is and the folders it wrote to are no choice of the user's: a failure to keep them
// is not worth a message.
void frmYear::keepPlace(const WindowPlace& place) {
    UserChoices next = ini_.choices();
    next.yearWindow = place;
    store(next);
}

void frmYear::rememberFolder(const QString& path, bool calendar) {
    WindowPlace place = ini_.choices().yearWindow;
    (calendar ? place.icsFolder : place.pdfFolder) = QFileInfo(path).absolutePath();
    keepPlace(place);
}

// The roster's and the timesheet's windows keep their places in the same file, each when it closes:
// what they wrote since this window read it is kept, not put back as it was.
WriteResult frmYear::store(UserChoices next) {
    const UserChoices onFile = SutografIni(offset_.place()).choices();
    next.rosterWindow = onFile.rosterWindow;
    next.timesheetWindow = onFile.timesheetWindow;
    return ini_.store(next);
}

// The choice holds for this run whatever happens to the file; a failed save is said in the status
// line, not in a box at every click.
void frmYear::storeChoices(const UserChoices& choices) {
    const WriteResult stored = store(choices);
    const QString target = ini_.writePath().isEmpty() ? ini_.readPath() : ini_.writePath();
    say(stored.ok()
            ? QString()
            : QStringLiteral("Настройки не сохранены в «%1»: %2.").arg(target, failureText(stored.failure)));
    showProblems();
    recount();
}

QString frmYear::rulesText() const {
    const DutyRules& r = ini_.choices().duty;
    const AccountingChoices& a = ini_.choices().accounting;
    const QString start = QString::fromStdString(clockText(r.startMinute));
    const int rest = 24 * 60 - r.countedMinutes;
    const QString counted =
        rest == 0 ? QStringLiteral("смена — 24 ч, учитываются все")
                  : QStringLiteral("смена длится 24 ч, учитывается %1 ч: последние %2 ч смены — перерывы для "
                                   "отдыха, они не считаются")
                        .arg(QString::fromStdString(hoursText(r.countedMinutes)),
                             QString::fromStdString(hoursText(rest)));
    return QStringLiteral(
               "Заступление в %1, %2; %3. Ночные часы — с 22:00 до 06:00, праздничные — в нерабочие "
               "праздничные дни; норма — %7. Учётный период — %4; норма при отсутствии уменьшается %5; "
               "праздничные часы %6.")
        .arg(start, counted,
             r.wholeDutyOnStartDay ? QStringLiteral("все часы смены — в день заступления")
                                   : QStringLiteral("часы после полуночи — на следующие сутки"),
             QString::fromUtf8(kPeriodNames[static_cast<int>(a.period)]),
             QString::fromUtf8(kReductionNames[static_cast<int>(a.reduction)]),
             a.holidayPaidDoubleNotOvertime ? QStringLiteral("оплачиваются вдвое и в сверхурочные не входят")
                                            : QStringLiteral("входят в сверхурочные"),
             shownRecord() != nullptr ? QStringLiteral("своя: при %1-часовой неделе за дни в карауле")
                                            .arg(shownRecord()->person.weeklyHours)
                                      : QStringLiteral("при 40-часовой неделе"));
}

YearPage frmYear::page() const {
    return {QStringLiteral("График дежурств на %1 год — %2").arg(shownYear()).arg(shownName()),
            makeSheet(std::nullopt),
            &hours_,
            rulesText() + QLatin1Char(' ') + overtimeText(),
            QStringLiteral("Норма: ") + sourceText(calendar_.calendar.sourceOf(shownYear()), shownYear()),
            ini_.choices().unitName};
}

RotaPage frmYear::rotaPage() const {
    return {shownYear(), shownOffset_, &calendar_.calendar, ini_.choices().unitName};
}

void frmYear::printYear() {
    printSheet(
        page().title, [this](QPrinter& printer) { return printYearPage(printer, page()); }, &frmYear::savePdf,
        &frmYear::writePdf);
}

void frmYear::printRota() {
    printSheet(
        rotaPageTitle(shownYear()), [this](QPrinter& printer) { return printRotaPage(printer, rotaPage()); },
        &frmYear::saveRotaPdf, &frmYear::writeRotaPdf);
}

void frmYear::printSheet(const QString& title, const std::function<bool(QPrinter&)>& print,
                         void (frmYear::*saveAs)(), bool (frmYear::*writeTo)(const QString&)) {
    if (printers_().isEmpty()) {
        if (offerPdfWithoutPrinter(this)) {
            (this->*saveAs)();
        }
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                      QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
    printer.setDocName(title);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    // "Print to file" would have the printer write the file itself, with none of our guarantees.
    if (!printer.outputFileName().isEmpty()) {
        (this->*writeTo)(printer.outputFileName());
    } else if (!print(printer)) {
        reportFailure(QStringLiteral("Не удалось напечатать: принтер «%1» не принимает задание.")
                          .arg(printer.printerName()));
    }
}

// In the folder the last file of its kind went to, while it is there.
QString frmYear::defaultFileName(const QString& suffix) const {
    const WindowPlace& kept = ini_.choices().yearWindow;
    QString folder = suffix == QLatin1String("ics") ? kept.icsFolder : kept.pdfFolder;
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    }
    if (folder.isEmpty()) {
        folder = QDir::homePath();
    }
    const QString name =
        suffix == QLatin1String("ics")
            ? QStringLiteral("Дежурства %1 %2.ics").arg(fileNamePart(shownName())).arg(shownYear())
            : QStringLiteral("График дежурств %1 — %2.pdf").arg(shownYear()).arg(fileNamePart(shownName()));
    return QDir(folder).filePath(name);
}

// The folder must exist: a mistyped one is not made. A name typed without its suffix gets it.
QString frmYear::askFileName(const QString& title, const QString& suffix, const QString& filter,
                             const QString& fileName) {
    const QString offered = fileName.isEmpty() ? defaultFileName(suffix)
                                               : QFileInfo(defaultFileName(suffix)).dir().filePath(fileName);
    QFileDialog dialog(this, title, offered, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(suffix);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

void frmYear::savePdf() {
    const QString path =
        askFileName(QStringLiteral("Сохранить PDF"), QStringLiteral("pdf"), QStringLiteral("PDF (*.pdf)"));
    if (!path.isEmpty()) {
        writePdf(path);
    }
}

void frmYear::saveRotaPdf() {
    const QString path =
        askFileName(QStringLiteral("Сохранить PDF графика караулов"), QStringLiteral("pdf"),
                    QStringLiteral("PDF (*.pdf)"), QStringLiteral("График караулов %1.pdf").arg(shownYear()));
    if (!path.isEmpty()) {
        writeRotaPdf(path);
    }
}

void frmYear::exportCalendar() {
    const QString path = askFileName(QStringLiteral("Экспорт в календарь"), QStringLiteral("ics"),
                                     QStringLiteral("Календарь iCalendar (*.ics)"));
    if (!path.isEmpty()) {
        writeCalendar(path);
    }
}

void frmYear::reportFailure(const QString& text) {
    auto* box =
        new QMessageBox(QMessageBox::Warning, QStringLiteral("Сутограф"), text, QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("saveFailed"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
    say({});
}

bool frmYear::writeFile(const QString& path, const std::optional<QByteArray>& bytes) {
    const WriteResult written =
        bytes ? writeFileSafely(path, *bytes, MissingFolders::Refuse) : WriteResult{WriteFailure::Other};
    if (!written.ok()) {
        reportFailure(
            QStringLiteral("Не удалось сохранить файл «%1»: %2.").arg(path, failureText(written.failure)));
    }
    return written.ok();
}

bool frmYear::writePdf(const QString& path) {
    if (!writeFile(path, yearPagePdf(page()))) {
        return false;
    }
    say(QStringLiteral("PDF сохранён: «%1».").arg(path));
    rememberFolder(path, false);
    return true;
}

bool frmYear::writeRotaPdf(const QString& path) {
    if (!writeFile(path, rotaPagePdf(rotaPage()))) {
        return false;
    }
    say(QStringLiteral("PDF графика караулов сохранён: «%1».").arg(path));
    rememberFolder(path, false);
    return true;
}

bool frmYear::writeCalendar(const QString& path) {
    const int year = shownYear();
    const Date first = *dateOf(year, 1, 1), last = *dateOf(year, 12, 31);
    const UserChoices& c = ini_.choices();
    const std::string stamp =
        QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'")).toStdString();
    CalendarCounts counts;
    const PersonRecord* who = shownRecord();
    const std::string text = who != nullptr ? personCalendar(*who, roster_.roster().swaps, first, last,
                                                             shownOffset_, c.duty, stamp, c.reminder, &counts)
                                            : dutyCalendar(c.yearWatch, first, last, shownOffset_, c.duty,
                                                           stamp, c.reminder, &counts.duties);
    if (!writeFile(path, QByteArray::fromStdString(text))) {
        return false;
    }
    QString written =
        QStringLiteral("%1 %2")
            .arg(counts.duties)
            .arg(QString::fromUtf8(russianPlural(counts.duties, "дежурство", "дежурства", "дежурств")));
    if (counts.absences > 0) {
        written += QStringLiteral(" и %1 %2")
                       .arg(counts.absences)
                       .arg(QString::fromUtf8(
                           russianPlural(counts.absences, "отсутствие", "отсутствия", "отсутствий")));
    }
    say(QStringLiteral("Записано %1 в «%2»; файл можно открыть в Google Календаре, Outlook или календаре "
                       "телефона.")
            .arg(written, path));
    rememberFolder(path, true);
    return true;
}

} // namespace sutograf
