#include "frm_who_today.h"

#include <QButtonGroup>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "bazovy_karaul.h"
#include "colours.h"
#include "opt_file.h"
#include "rota.h"

namespace sutograf {
namespace {

const char* const kWeekdays[7] = {"пн", "вт", "ср", "чт", "пт", "сб", "вс"};

// The offset 0..3 under which `watch` is on duty on `day`; every day of the model has one.
int offsetFor(Date day, int watch) {
    for (int k = 0; k < 4; ++k) {
        if (watchOn(day, static_cast<float>(k)) == watch) {
            return k;
        }
    }
    return 0;
}

QDate qDateOf(Date d) { return {yearOf(d), monthOf(d), dayOf(d)}; }

} // namespace

frmWhoToday::frmWhoToday(RotaOffset& offset, Date today, QWidget* parent) : QDialog(parent), offset_(offset) {
    setObjectName(QStringLiteral("frmWhoToday"));
    setWindowTitle(QStringLiteral("Какой караул сегодня"));
    setAttribute(Qt::WA_DeleteOnClose);

    createQuestion(today);
    createFollowingDays();
    createButtons();
    layOut();
    showFollowingDays();
}

void frmWhoToday::createQuestion(Date today) {
    dateBox_ = new QDateEdit(qDateOf(today), this);
    dateBox_->setObjectName(QStringLiteral("dateBox"));
    dateBox_->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    dateBox_->setCalendarPopup(true);
    dateBox_->setDateRange(qDateOf(kFirstDate), qDateOf(kLastDate));

    watches_ = new QButtonGroup(this);
    const auto onDuty = watchOn(today, offset_.BazovyKaraul());
    for (int w = 1; w <= 4; ++w) {
        auto* option = new QRadioButton(QStringLiteral("%1 караул").arg(w), this);
        option->setObjectName(QStringLiteral("watch%1").arg(w));
        setTextColour(option, TablitsaKaraulov[w - 1].colour);
        QFont bold = option->font();
        bold.setBold(true);
        option->setFont(bold);
        option->setChecked(onDuty == w);
        watches_->addButton(option, w);
    }
    connect(dateBox_, &QDateEdit::dateChanged, this, &frmWhoToday::showFollowingDays);
    connect(watches_, &QButtonGroup::idToggled, this, &frmWhoToday::showFollowingDays);
}

void frmWhoToday::createFollowingDays() {
    for (std::size_t i = 0; i < days_.size(); ++i) {
        auto* day = new QLabel(this);
        day->setObjectName(QStringLiteral("day%1").arg(i));
        day->setAlignment(Qt::AlignCenter);
        day->setTextFormat(Qt::RichText);
        day->setFrameShape(QFrame::Box);
        day->setAutoFillBackground(true);
        day->setBackgroundRole(QPalette::Base);
        day->setMinimumWidth(48);
        days_[i] = day;
    }
    meaning_ = new QLabel(this);
    meaning_->setObjectName(QStringLiteral("meaning"));
    meaning_->setWordWrap(true);
}

void frmWhoToday::createButtons() {
    saveButton_ = new QPushButton(QStringLiteral("Сохранить"), this);
    saveButton_->setObjectName(QStringLiteral("saveButton"));
    saveButton_->setDefault(true);
    cancelButton_ = new QPushButton(QStringLiteral("Отмена"), this);
    cancelButton_->setObjectName(QStringLiteral("cancelButton"));
    connect(saveButton_, &QPushButton::clicked, this, &frmWhoToday::save);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
}

void frmWhoToday::layOut() {
    auto* question = new QHBoxLayout;
    question->addWidget(new QLabel(QStringLiteral("Какой караул дежурит"), this));
    question->addWidget(dateBox_);
    question->addWidget(new QLabel(QStringLiteral("?"), this));
    question->addStretch();

    auto* options = new QHBoxLayout;
    for (QAbstractButton* b : watches_->buttons()) {
        options->addWidget(b);
    }
    options->addStretch();

    auto* following = new QHBoxLayout;
    for (QLabel* day : days_) {
        following->addWidget(day);
    }

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(saveButton_);
    buttons->addWidget(cancelButton_);

    auto* all = new QVBoxLayout(this);
    all->addLayout(question);
    all->addLayout(options);
    all->addSpacing(8);
    all->addWidget(new QLabel(QStringLiteral("С этого дня дежурят:"), this));
    all->addLayout(following);
    all->addWidget(meaning_);
    all->addLayout(buttons);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(dateBox_, watches_->checkedButton() ? watches_->checkedButton() : watches_->button(1));
    setTabOrder(watches_->button(4), saveButton_);
    setTabOrder(saveButton_, cancelButton_);
}

std::optional<Date> frmWhoToday::pickedDay() const {
    const QDate d = dateBox_->date();
    return dateOf(d.year(), d.month(), d.day());
}

// The days from the picked one on, each with its watch as the choice would have it; nothing until a
// watch is chosen.
void frmWhoToday::showFollowingDays() {
    const auto day = pickedDay();
    const int watch = watches_->checkedId();
    const bool chosen = day && watch > 0;
    saveButton_->setEnabled(chosen);
    const int offset = chosen ? offsetFor(*day, watch) : 0;
    for (std::size_t i = 0; i < days_.size(); ++i) {
        const auto d =
            day ? std::optional<Date>(Date{day->serial + static_cast<std::int32_t>(i)}) : std::nullopt;
        if (!d || !inModel(*d)) {
            days_[i]->clear();
            continue;
        }
        const auto w = chosen ? watchOn(*d, static_cast<float>(offset)) : std::nullopt;
        days_[i]->setText(QStringLiteral("<b style='font-size:large; color:%1'>%2</b><br>%3<br>%4")
                              .arg(w ? watchColour(*w).name() : QStringLiteral("#6d6d6d"))
                              .arg(dayOf(*d))
                              .arg(QString::fromUtf8(kWeekdays[weekdayOf(*d) - 1]),
                                   w ? QStringLiteral("%1 к.").arg(*w) : QStringLiteral("?")));
    }
    meaning_->setText(chosen ? QStringLiteral("Это значит, что 01.01.2011 дежурил %1 караул: так же можно "
                                              "выбрать в «Настройках».")
                                   .arg(offset + 1)
                             : QStringLiteral("Выберите караул."));
}

void frmWhoToday::save() {
    const auto day = pickedDay();
    const int watch = watches_->checkedId();
    if (!day || watch < 1) {
        return;
    }
    const WriteResult written = offset_.choose(offsetFor(*day, watch));
    if (written.ok()) {
        accept();
        return;
    }
    // The choice holds for this run; the dialog stays open to try again.
    QString path = offset_.place().writePath(kOptFileName);
    if (path.isEmpty()) {
        path = offset_.place().readPath(kOptFileName);
    }
    auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Сутограф"),
                                QStringLiteral("Не удалось сохранить выбор караула в файл «%1»: %2.\n\n"
                                               "Выбранный караул действует до закрытия программы, "
                                               "но при следующем запуске будет прежним.")
                                    .arg(path, failureText(written.failure)),
                                QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("saveFailed"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

} // namespace sutograf
