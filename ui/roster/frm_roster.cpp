#include "frm_roster.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

#include "qt_dates.h"
#include "roster_csv.h"
#include "roster_model.h"
#include "roster_source.h"
#include "safe_file.h"
#include "sutograf_ini.h"
#include "window_place.h"

namespace sutograf {
namespace {

// Far more than any roster's file; a larger one is no roster.
constexpr qint64 kLargestCsv = 8 * 1024 * 1024;
constexpr int kErrorsInText = 8;

QString text(const std::string& utf8) { return QString::fromStdString(utf8); }

// The week is 40 or 36 hours: picked, never typed.
class WeekDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        if (index.column() != RosterModel::Week) {
            return QStyledItemDelegate::createEditor(parent, option, index);
        }
        auto* box = new QComboBox(parent);
        box->addItem(QStringLiteral("40 ч"), 40);
        box->addItem(QStringLiteral("36 ч"), 36);
        return box;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        if (auto* box = qobject_cast<QComboBox*>(editor)) {
            box->setCurrentIndex(box->findData(index.data(Qt::EditRole)));
        } else {
            QStyledItemDelegate::setEditorData(editor, index);
        }
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override {
        if (auto* box = qobject_cast<QComboBox*>(editor)) {
            model->setData(index, box->currentData(), Qt::EditRole);
        } else {
            QStyledItemDelegate::setModelData(editor, model, index);
        }
    }
};

QComboBox* watchChoice(QWidget* parent) {
    auto* box = new QComboBox(parent);
    for (int w = 1; w <= 4; ++w) {
        box->addItem(QStringLiteral("%1 караул").arg(w), w);
    }
    return box;
}

QDateEdit* dateBox(QWidget* parent) {
    auto* box = new QDateEdit(parent);
    box->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    box->setCalendarPopup(true);
    box->setDateRange(QDate(100, 1, 1), QDate(9999, 12, 31));
    return box;
}

// The button's keys are shown on it.
QPushButton* button(const QString& caption, const QKeySequence& keys, QWidget* parent) {
    auto* b = new QPushButton(parent);
    if (keys.isEmpty()) {
        b->setText(caption);
    } else {
        b->setShortcut(keys);
        b->setText(QStringLiteral("%1 (%2)").arg(caption, keys.toString(QKeySequence::NativeText)));
    }
    return b;
}

} // namespace

frmRoster::frmRoster(RosterSource& roster, Clock clock, QWidget* parent)
    : QWidget(parent, Qt::Window), roster_(roster), clock_(std::move(clock)), model_(new RosterModel(this)) {
    setObjectName(QStringLiteral("frmRoster"));
    setWindowTitle(QStringLiteral("Личный состав"));
    setAttribute(Qt::WA_DeleteOnClose);

    createFilter();
    createAddLine();
    createTable();
    createMoveLine();
    createFileButtons();
    createKeys();
    layOut();
    placeWindow(this, SutografIni(roster_.place()).choices().rosterWindow, QSize(900, 600));

    roster_.follow(this);
    // After the edit that caused it has returned: a cell's editor is still closing then.
    connect(&roster_, &RosterSource::changed, this, &frmRoster::reload, Qt::QueuedConnection);
    reload();
}

frmRoster::~frmRoster() { table_->setModel(nullptr); }

void frmRoster::createFilter() {
    filter_ = new QComboBox(this);
    filter_->setObjectName(QStringLiteral("filter"));
    filter_->addItem(QStringLiteral("Все караулы"));
    for (int w = 1; w <= 4; ++w) {
        filter_->addItem(QStringLiteral("%1 караул").arg(w));
    }
    filter_->addItem(QStringLiteral("Выбывшие"));
    connect(filter_, &QComboBox::currentIndexChanged, this, &frmRoster::reload);
}

void frmRoster::createAddLine() {
    nameBox_ = new QLineEdit(this);
    nameBox_->setObjectName(QStringLiteral("nameBox"));
    nameBox_->setPlaceholderText(QStringLiteral("Фамилия Имя Отчество"));
    numberBox_ = new QLineEdit(this);
    numberBox_->setObjectName(QStringLiteral("numberBox"));
    numberBox_->setPlaceholderText(QStringLiteral("Табельный №"));
    numberBox_->setMaximumWidth(120);
    watchBox_ = watchChoice(this);
    watchBox_->setObjectName(QStringLiteral("watchBox"));
    fromBox_ = dateBox(this);
    fromBox_->setObjectName(QStringLiteral("fromBox"));
    fromBox_->setDate(qDateOf(clock_().date));
    weekBox_ = new QComboBox(this);
    weekBox_->setObjectName(QStringLiteral("weekBox"));
    weekBox_->addItem(QStringLiteral("40 ч в неделю"), 40);
    weekBox_->addItem(QStringLiteral("36 ч в неделю"), 36);
    addButton_ = button(QStringLiteral("Добавить (Enter)"), {}, this);
    addButton_->setObjectName(QStringLiteral("addButton"));
    connect(addButton_, &QPushButton::clicked, this, &frmRoster::addPerson);
    connect(nameBox_, &QLineEdit::returnPressed, this, &frmRoster::addPerson);
    connect(numberBox_, &QLineEdit::returnPressed, this, &frmRoster::addPerson);
}

void frmRoster::createTable() {
    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("rosterTable"));
    table_->setModel(model_);
    table_->setItemDelegate(new WeekDelegate(table_));
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                            QAbstractItemView::AnyKeyPressed);
    table_->horizontalHeader()->setSectionResizeMode(RosterModel::Name, QHeaderView::Stretch);
    table_->verticalHeader()->setVisible(false);
    table_->setAlternatingRowColors(true);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 8);
    model_->setEditor([this](const Person& p) {
        const Saved saved = roster_.edit([&p](RosterStore& s) { return s.updatePerson(p); });
        done(saved.error, QStringLiteral("Сохранено: «%1».").arg(text(p.name)));
    });
}

void frmRoster::createMoveLine() {
    moveWatchBox_ = watchChoice(this);
    moveWatchBox_->setObjectName(QStringLiteral("moveWatchBox"));
    moveDateBox_ = dateBox(this);
    moveDateBox_->setObjectName(QStringLiteral("moveDateBox"));
    moveDateBox_->setDate(qDateOf(clock_().date));
    moveButton_ = button(QStringLiteral("Перевести в караул"), {}, this);
    moveButton_->setObjectName(QStringLiteral("moveButton"));
    leftButton_ = button(QStringLiteral("Выбыл с этого дня"), {}, this);
    leftButton_->setObjectName(QStringLiteral("leftButton"));
    deleteButton_ = button(QStringLiteral("Удалить…"), {}, this);
    deleteButton_->setObjectName(QStringLiteral("deleteButton"));
    deleteButton_->setText(
        QStringLiteral("Удалить… (%1)")
            .arg(QKeySequence(Qt::SHIFT | Qt::Key_Delete).toString(QKeySequence::NativeText)));
    connect(moveButton_, &QPushButton::clicked, this, &frmRoster::moveSelected);
    connect(leftButton_, &QPushButton::clicked, this, &frmRoster::markSelectedLeft);
    connect(deleteButton_, &QPushButton::clicked, this, &frmRoster::deleteSelected);
}

void frmRoster::createFileButtons() {
    importButton_ = button(QStringLiteral("Загрузить из CSV…"), QKeySequence(Qt::CTRL | Qt::Key_O), this);
    importButton_->setObjectName(QStringLiteral("importButton"));
    exportButton_ = button(QStringLiteral("Сохранить в CSV…"), QKeySequence(Qt::CTRL | Qt::Key_S), this);
    exportButton_->setObjectName(QStringLiteral("exportButton"));
    connect(importButton_, &QPushButton::clicked, this, &frmRoster::importAsked);
    connect(exportButton_, &QPushButton::clicked, this, &frmRoster::exportAsked);

    problemLine_ = new QLabel(this);
    problemLine_->setObjectName(QStringLiteral("problemLine"));
    problemLine_->setWordWrap(true);
    problemLine_->setStyleSheet(QStringLiteral("color: #c00000;"));
    statusLine_ = new QLabel(this);
    statusLine_->setObjectName(QStringLiteral("statusLine"));
    statusLine_->setWordWrap(true);
    statusLine_->setTextInteractionFlags(Qt::TextSelectableByMouse);
}

void frmRoster::createKeys() {
    auto* newPerson = new QAction(this);
    newPerson->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    connect(newPerson, &QAction::triggered, this, [this] {
        nameBox_->setFocus();
        nameBox_->selectAll();
    });
    auto* remove = new QAction(this);
    remove->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_Delete));
    connect(remove, &QAction::triggered, this, &frmRoster::deleteSelected);
    addActions({newPerson, remove});
}

void frmRoster::layOut() {
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Показать:"), this));
    top->addWidget(filter_);
    top->addStretch();
    top->addWidget(
        new QLabel(QStringLiteral("Ctrl+N — новый человек; двойной щелчок или F2 — правка ячейки"), this));

    auto* add = new QHBoxLayout;
    add->addWidget(nameBox_, 1);
    add->addWidget(numberBox_);
    add->addWidget(watchBox_);
    add->addWidget(new QLabel(QStringLiteral("с"), this));
    add->addWidget(fromBox_);
    add->addWidget(weekBox_);
    add->addWidget(addButton_);

    auto* move = new QHBoxLayout;
    move->addWidget(new QLabel(QStringLiteral("Выделенного:"), this));
    move->addWidget(moveWatchBox_);
    move->addWidget(new QLabel(QStringLiteral("с"), this));
    move->addWidget(moveDateBox_);
    move->addWidget(moveButton_);
    move->addWidget(leftButton_);
    move->addStretch();
    move->addWidget(deleteButton_);

    auto* files = new QHBoxLayout;
    files->addWidget(importButton_);
    files->addWidget(exportButton_);
    files->addStretch();

    auto* all = new QVBoxLayout(this);
    all->addLayout(top);
    all->addWidget(problemLine_);
    all->addLayout(add);
    all->addWidget(table_, 1);
    all->addLayout(move);
    all->addLayout(files);
    all->addWidget(statusLine_);
}

void frmRoster::reload() {
    const std::int64_t selected = selectedPerson();
    model_->show(roster_.roster(), clock_().date, static_cast<RosterFilter>(filter_->currentIndex()));
    table_->resizeColumnToContents(RosterModel::Number);
    table_->resizeColumnToContents(RosterModel::Watch);
    selectPerson(selected);

    const QString problem = roster_.problem();
    problemLine_->setText(problem);
    problemLine_->setVisible(!problem.isEmpty());
    const bool writable = roster_.store().writable();
    for (QWidget* w : std::initializer_list<QWidget*>{nameBox_, numberBox_, watchBox_, fromBox_, weekBox_,
                                                      addButton_, moveWatchBox_, moveDateBox_, moveButton_,
                                                      leftButton_, deleteButton_, importButton_}) {
        w->setEnabled(writable);
    }
    table_->setEditTriggers(writable ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                           QAbstractItemView::AnyKeyPressed
                                     : QAbstractItemView::NoEditTriggers);
}

std::int64_t frmRoster::selectedPerson() const {
    const QModelIndex current = table_->selectionModel()->currentIndex();
    return table_->selectionModel()->hasSelection() && current.isValid() ? model_->personAt(current.row())
                                                                         : 0;
}

void frmRoster::selectPerson(std::int64_t id) {
    const int row = model_->rowOf(id);
    if (row >= 0) {
        table_->selectRow(row);
    }
}

QString frmRoster::status() const { return statusLine_->text(); }

void frmRoster::say(const QString& text, bool failure) {
    statusLine_->setText(text);
    statusLine_->setStyleSheet(failure ? QStringLiteral("color: #c00000;") : QString());
}

bool frmRoster::done(const std::string& error, const QString& success) {
    if (!error.empty()) {
        say(QStringLiteral("Не сохранено: ") + text(error), true);
        return false;
    }
    say(success);
    return true;
}

bool frmRoster::addPerson() {
    const auto from = dateOfQDate(fromBox_->date());
    PersonRecord who;
    who.person.name = nameBox_->text().simplified().toStdString();
    who.person.personnelNumber = numberBox_->text().simplified().toStdString();
    who.person.weeklyHours = weekBox_->currentData().toInt();
    who.watches.push_back({from.value_or(Date{}), watchBox_->currentData().toInt()});
    Saved saved = from ? roster_.edit([&who](RosterStore& s) { return s.addPerson(who); })
                       : Saved{"дата начала службы в карауле вне допустимых лет 100-9999", 0};
    if (!done(saved.error, QStringLiteral("Добавлен(а) «%1», %2 караул с %3.")
                               .arg(text(who.person.name))
                               .arg(watchBox_->currentData().toInt())
                               .arg(fromBox_->date().toString(QStringLiteral("dd.MM.yyyy"))))) {
        return false;
    }
    nameBox_->clear();
    numberBox_->clear();
    nameBox_->setFocus();
    QMetaObject::invokeMethod(
        this, [this, id = saved.id] { selectPerson(id); }, Qt::QueuedConnection);
    return true;
}

bool frmRoster::moveSelected() {
    const std::int64_t id = selectedPerson();
    const auto from = dateOfQDate(moveDateBox_->date());
    if (id == 0 || !from) {
        say(QStringLiteral("Выделите человека в таблице."), true);
        return false;
    }
    const int watch = moveWatchBox_->currentData().toInt();
    const Saved saved = roster_.edit([&](RosterStore& s) { return s.setWatch(id, *from, watch); });
    return done(saved.error,
                QStringLiteral("Переведён(а) в %1 караул с %2.").arg(watch).arg(text(shortDateText(*from))));
}

bool frmRoster::markSelectedLeft() {
    const std::int64_t id = selectedPerson();
    const auto from = dateOfQDate(moveDateBox_->date());
    if (id == 0 || !from) {
        say(QStringLiteral("Выделите человека в таблице."), true);
        return false;
    }
    const Saved saved = roster_.edit([&](RosterStore& s) { return s.markLeft(id, *from); });
    return done(saved.error, QStringLiteral("Отмечено: выбыл(а) с %1.").arg(text(shortDateText(*from))));
}

bool frmRoster::deleteSelected() {
    const std::int64_t id = selectedPerson();
    const PersonRecord* who = id == 0 ? nullptr : roster_.roster().find(id);
    if (who == nullptr) {
        say(QStringLiteral("Выделите человека в таблице."), true);
        return false;
    }
    const QString name = text(who->person.name);
    QMessageBox question(QMessageBox::Question, QStringLiteral("Удалить из состава"),
                         QStringLiteral("Удалить «%1» из состава?").arg(name), QMessageBox::NoButton, this);
    question.setObjectName(QStringLiteral("deleteQuestion"));
    question.setInformativeText(QStringLiteral(
        "Вместе с человеком удаляются все его отметки в табеле: отпуска, больничные и другие "
        "отсутствия. Подмены с людьми из состава остаются у них, с его именем как человека со "
        "стороны. Удаление не отменить; если человек просто перестал служить, отметьте «Выбыл»."));
    QPushButton* yes = question.addButton(QStringLiteral("Удалить"), QMessageBox::DestructiveRole);
    question.addButton(QStringLiteral("Отмена"), QMessageBox::RejectRole);
    question.setDefaultButton(qobject_cast<QPushButton*>(question.buttons().last()));
    question.exec();
    if (question.clickedButton() != yes) {
        return false;
    }
    const Saved saved = roster_.edit([id](RosterStore& s) { return s.removePerson(id); });
    return done(saved.error, QStringLiteral("«%1» удалён(а) из состава.").arg(name));
}

void frmRoster::report(const QString& title, const QString& text, const QString& details) {
    auto* box = new QMessageBox(QMessageBox::Information, title, text, QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("report"));
    box->setDetailedText(details);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void frmRoster::closeEvent(QCloseEvent* event) {
    SutografIni::update(roster_.place(),
                        [this](UserChoices& c) { c.rosterWindow = placeNow(this, c.rosterWindow); });
    QWidget::closeEvent(event);
}

QString frmRoster::csvFolder() const {
    return folderToOffer(SutografIni(roster_.place()).choices().rosterWindow.csvFolder);
}

void frmRoster::rememberFolder(const QString& path) {
    const QString folder = QFileInfo(path).absolutePath();
    SutografIni::update(roster_.place(), [&folder](UserChoices& c) { c.rosterWindow.csvFolder = folder; });
}

void frmRoster::importAsked() {
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Загрузить состав из CSV"),
                                                      csvFolder(), QStringLiteral("Таблица CSV (*.csv)"));
    if (!path.isEmpty()) {
        importCsv(path);
    }
}

void frmRoster::exportAsked() {
    QFileDialog dialog(this, QStringLiteral("Сохранить состав в CSV"),
                       QDir(csvFolder()).filePath(QStringLiteral("Личный состав.csv")),
                       QStringLiteral("Таблица CSV (*.csv)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        exportCsv(dialog.selectedFiles().first());
    }
}

bool frmRoster::importCsv(const QString& path) {
    const ReadResult read = readFile(path, kLargestCsv);
    if (!read.ok()) {
        const QString why = QStringLiteral("Файл «%1» не прочитан: %2.").arg(path, failureText(read.failure));
        say(why, true);
        report(QStringLiteral("Загрузка состава"), why);
        return false;
    }
    rememberFolder(path);
    const RosterImport found = readRosterCsv(read.bytes.toStdString(), roster_.roster());
    QStringList errors;
    for (const csv::LineError& e : found.errors) {
        errors << QStringLiteral("строка %1: %2").arg(e.line).arg(text(e.message));
    }
    std::string refusal;
    if (!found.people.empty()) {
        refusal = roster_.edit([&found](RosterStore& s) { return s.addPeople(found.people); }).error;
    }
    const qsizetype people = refusal.empty() ? static_cast<qsizetype>(found.people.size()) : 0;
    QString summary = QStringLiteral("Из файла «%1» добавлено человек: %2.").arg(path).arg(people);
    if (!refusal.empty()) {
        summary += QStringLiteral(" Состав не изменён: ") + text(refusal);
    }
    if (!errors.isEmpty()) {
        summary += QStringLiteral(" Не взяты строки (%1): ").arg(errors.size()) +
                   errors.mid(0, kErrorsInText).join(QStringLiteral("; ")) +
                   (errors.size() > kErrorsInText ? QStringLiteral("; …") : QStringLiteral("."));
    }
    const bool failed = !refusal.empty() || !errors.isEmpty();
    say(summary, failed);
    report(QStringLiteral("Загрузка состава"), summary,
           errors.size() > kErrorsInText ? errors.join(QLatin1Char('\n')) : QString());
    return refusal.empty() && errors.isEmpty();
}

bool frmRoster::exportCsv(const QString& path) {
    const WriteResult written =
        writeFileSafely(path, QByteArray::fromStdString(rosterCsv(roster_.roster())), MissingFolders::Refuse);
    if (!written.ok()) {
        const QString why =
            QStringLiteral("Не удалось сохранить файл «%1»: %2.").arg(path, failureText(written.failure));
        say(why, true);
        report(QStringLiteral("Сохранение состава"), why);
        return false;
    }
    say(QStringLiteral("Состав сохранён: «%1».").arg(path));
    rememberFolder(path);
    return true;
}

} // namespace sutograf
