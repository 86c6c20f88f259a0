#include "frm_year.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTableView>
#include <QTimeEdit>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

#include "bazovy_karaul.h"
#include "colours.h"
#include "hours_box.h"
#include "ics.h"
#include "number_text.h"
#include "rota.h"
#include "rota_page.h"
#include "year_months_view.h"
#include "year_page.h"

namespace sutograf {
namespace {

QString watchName(int watch) { return QStringLiteral("%1 караул").arg(watch); }

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

frmYear::frmYear(int year, Clock clock, const RotaOffset& offset, QWidget* parent)
    : QWidget(parent, Qt::Window), clock_(std::move(clock)), offset_(offset), ini_(offset.place()),
      calendar_(loadCalendar(offset.place())), hours_(this) {
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

    {
        const QSignalBlocker quiet(yearBox_);
        yearBox_->setValue(std::clamp(year, 100, 9999));
    }
    checkToday();
    connect(&offset_, &RotaOffset::changed, this, &frmYear::recount);
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
    yearBox_->setKeyboardTracking(false); // "2" of "2027" is no year to count
    connect(yearBox_, &QSpinBox::valueChanged, this, &frmYear::recount);

    watches_ = new QButtonGroup(this);
    for (int w = 1; w <= 4; ++w) {
        auto* button = new QToolButton(this);
        button->setObjectName(QStringLiteral("watch%1").arg(w));
        button->setText(watchName(w));
        button->setCheckable(true);
        const QColor fill = watchColour(w);
        button->setStyleSheet(
            QStringLiteral("QToolButton { background: %1; color: %2; border: 1px solid #555;"
                           " padding: 3px 10px; }"
                           "QToolButton:checked { border: 3px solid black; font-weight: bold; }")
                .arg(fill.name(), readableTextOn(fill).name()));
        watches_->addButton(button, w);
    }
    watches_->button(ini_.choices().yearWatch)->setChecked(true);
    connect(watches_, &QButtonGroup::idClicked, this, &frmYear::chooseWatch);
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
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 4);
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // Every row in sight: the messages below give way, never the year's total.
    table_->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    table_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);

    sourceLine_ = new QLabel(this);
    sourceLine_->setObjectName(QStringLiteral("sourceLine"));
    sourceLine_->setWordWrap(true);
    problemsLine_ = new QLabel(this);
    problemsLine_->setObjectName(QStringLiteral("problemsLine"));
    problemsLine_->setWordWrap(true);
    problemsLine_->setStyleSheet(QStringLiteral("color: #c00000;"));
    problemsLine_->setTextFormat(Qt::PlainText); // it quotes the files: "<!--" there must not hide the rest
    showProblems();
}

void frmYear::showProblems() {
    problemsLine_->setText(problemsText(calendar_, ini_));
    problemsLine_->setVisible(!problemsLine_->text().isEmpty());
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

    connect(startBox_, &QTimeEdit::timeChanged, this, &frmYear::changeRules);
    connect(hoursBox_, &QSpinBox::valueChanged, this, &frmYear::changeRules);
    connect(wholeDutyBox_, &QCheckBox::toggled, this, &frmYear::changeRules);
    connect(reminderBox_, &QComboBox::currentIndexChanged, this, &frmYear::changeRules);
}

void frmYear::createButtons() {
    const std::array<std::pair<QString, void (frmYear::*)()>, 3> actions = {{
        {QStringLiteral("Печать…"), &frmYear::printYear},
        {QStringLiteral("Сохранить PDF…"), &frmYear::savePdf},
        {QStringLiteral("Экспорт в календарь…"), &frmYear::exportCalendar},
    }};
    for (std::size_t i = 0; i < actions.size(); ++i) {
        auto* button = new QPushButton(actions[i].first, this);
        connect(button, &QPushButton::clicked, this, actions[i].second);
        buttons_[i] = button;
    }
    statusLine_ = new QLabel(this);
    statusLine_->setObjectName(QStringLiteral("statusLine"));
    statusLine_->setWordWrap(true);
}

void frmYear::createRotaButtons() {
    const std::array<std::pair<QString, void (frmYear::*)()>, 2> actions = {{
        {QStringLiteral("Печать графика караулов…"), &frmYear::printRota},
        {QStringLiteral("PDF графика караулов…"), &frmYear::saveRotaPdf},
    }};
    for (std::size_t i = 0; i < actions.size(); ++i) {
        auto* button = new QPushButton(actions[i].first, this);
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
    for (QAbstractButton* b : watches_->buttons()) {
        selectors->addWidget(b);
    }
    selectors->addStretch();

    auto* rules = new QGroupBox(QStringLiteral("Учёт смены"), this);
    auto* grid = new QGridLayout(rules);
    grid->addWidget(new QLabel(QStringLiteral("Заступление"), rules), 0, 0);
    grid->addWidget(startBox_, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Учитывать часов за смену"), rules), 0, 2);
    grid->addWidget(hoursBox_, 0, 3);
    grid->addWidget(wholeDutyBox_, 1, 0, 1, 4);
    grid->addWidget(new QLabel(QStringLiteral("Напоминание в календаре"), rules), 2, 0, 1, 2);
    grid->addWidget(reminderBox_, 2, 2, 1, 2);

    auto* buttons = new QHBoxLayout;
    for (QWidget* b : buttons_) {
        buttons->addWidget(b);
    }

    auto* rotaButtons = new QHBoxLayout;
    for (QWidget* b : rotaButtons_) {
        rotaButtons->addWidget(b);
    }

    auto* right = new QVBoxLayout;
    right->addWidget(table_);
    right->addWidget(sourceLine_);
    right->addWidget(problemsLine_);
    right->addWidget(rules);
    right->addLayout(buttons);
    right->addLayout(rotaButtons);
    right->addWidget(statusLine_);
    right->addStretch();

    auto* body = new QHBoxLayout;
    body->addWidget(months_, 1);
    body->addLayout(right);

    auto* all = new QVBoxLayout(this);
    all->addWidget(todayLine_);
    all->addLayout(selectors);
    all->addLayout(body, 1);
    // Everything in sight on a 1366 x 768 screen, its title bar and a task bar included.
    resize(1300, 680);
}

int frmYear::shownYear() const { return yearBox_->value(); }

void frmYear::checkToday() {
    const LocalTime now = clock_();
    if (now.date != today_ || !sheet_) {
        today_ = now.date;
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
    sheet_.emplace(year, ini_.choices().yearWatch, shownOffset_, today, calendar_.calendar);
    months_->setSheet(&*sheet_);
    hours_.setRows(
        yearTable(ini_.choices().yearWatch, year, shownOffset_, calendar_.calendar, ini_.choices().duty));
    table_->resizeColumnsToContents();
    sourceLine_->setText(QStringLiteral("<b>Норма:</b> ") +
                         sourceText(calendar_.calendar.sourceOf(year), year));
}

void frmYear::chooseWatch(int watch) {
    UserChoices next = ini_.choices();
    next.yearWatch = watch;
    storeChoices(next);
}

void frmYear::changeRules() {
    UserChoices next = ini_.choices();
    next.duty.startMinute = startBox_->time().hour() * 60 + startBox_->time().minute();
    next.duty.countedMinutes = hoursBox_->value();
    next.duty.wholeDutyOnStartDay = wholeDutyBox_->isChecked();
    next.reminder = static_cast<Reminder>(reminderBox_->currentIndex());
    storeChoices(next);
}

// The choice holds for this run whatever happens to the file; a failed save is said in the status
// line, not in a box at every click.
void frmYear::storeChoices(const UserChoices& choices) {
    const WriteResult stored = ini_.store(choices);
    const QString target = ini_.writePath().isEmpty() ? ini_.readPath() : ini_.writePath();
    statusLine_->setText(
        stored.ok()
            ? QString()
            : QStringLiteral("Настройки не сохранены в «%1»: %2.").arg(target, failureText(stored.failure)));
    showProblems();
    recount();
}

QString frmYear::rulesText() const {
    const DutyRules& r = ini_.choices().duty;
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
               "праздничные дни; норма — при 40-часовой неделе.")
        .arg(start, counted,
             r.wholeDutyOnStartDay ? QStringLiteral("все часы смены — в день заступления")
                                   : QStringLiteral("часы после полуночи — на следующие сутки"));
}

YearPage frmYear::page() const {
    return {QStringLiteral("График дежурств на %1 год — %2")
                .arg(shownYear())
                .arg(watchName(ini_.choices().yearWatch)),
            YearSheet(shownYear(), ini_.choices().yearWatch, shownOffset_, std::nullopt, calendar_.calendar),
            &hours_,
            rulesText(),
            QStringLiteral("Норма: ") + sourceText(calendar_.calendar.sourceOf(shownYear()), shownYear()),
            QString()};
}

RotaPage frmYear::rotaPage() const { return {shownYear(), shownOffset_, &calendar_.calendar, QString()}; }

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

QString frmYear::defaultFileName(const QString& suffix) const {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty()) {
        folder = QDir::homePath();
    }
    const QString name =
        suffix == QLatin1String("ics")
            ? QStringLiteral("Дежурства %1 %2.ics").arg(watchName(ini_.choices().yearWatch)).arg(shownYear())
            : QStringLiteral("График дежурств %1 — %2.pdf")
                  .arg(shownYear())
                  .arg(watchName(ini_.choices().yearWatch));
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
    statusLine_->clear();
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
    statusLine_->setText(QStringLiteral("PDF сохранён: «%1».").arg(path));
    return true;
}

bool frmYear::writeRotaPdf(const QString& path) {
    if (!writeFile(path, rotaPagePdf(rotaPage()))) {
        return false;
    }
    statusLine_->setText(QStringLiteral("PDF графика караулов сохранён: «%1».").arg(path));
    return true;
}

bool frmYear::writeCalendar(const QString& path) {
    const int year = shownYear();
    int events = 0;
    const std::string text = dutyCalendar(
        ini_.choices().yearWatch, *dateOf(year, 1, 1), *dateOf(year, 12, 31), shownOffset_,
        ini_.choices().duty,
        QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'")).toStdString(),
        ini_.choices().reminder, &events);
    if (!writeFile(path, QByteArray::fromStdString(text))) {
        return false;
    }
    statusLine_->setText(
        QStringLiteral("Записано %1 %2 в «%3»; файл можно открыть в Google Календаре, Outlook или "
                       "календаре телефона.")
            .arg(events)
            .arg(QString::fromUtf8(russianPlural(events, "дежурство", "дежурства", "дежурств")), path));
    return true;
}

} // namespace sutograf
