#include "swap_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace sutograf {

SwapDialog::SwapDialog(const QString& question, const std::vector<Candidate>& candidates, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("swapDialog"));
    setWindowTitle(QStringLiteral("Подмена"));
    auto* label = new QLabel(question, this);
    label->setWordWrap(true);
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("takers"));
    for (const Candidate& c : candidates) {
        auto* item = new QListWidgetItem(c.name, list_);
        item->setData(Qt::UserRole, QVariant::fromValue<qlonglong>(c.id));
    }
    auto* empty = new QLabel(QStringLiteral("В этот день никто из других караулов не свободен."), this);
    empty->setVisible(candidates.empty());
    outsider_ = new QLineEdit(this);
    outsider_->setObjectName(QStringLiteral("outsider"));
    outsider_->setPlaceholderText(QStringLiteral("ФИО, подразделение"));
    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons_->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Записать подмену"));
    buttons_->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));

    auto* all = new QVBoxLayout(this);
    all->addWidget(label);
    all->addWidget(
        new QLabel(QStringLiteral("Из других караулов (свободны и не отсутствуют в этот день):"), this));
    all->addWidget(list_);
    all->addWidget(empty);
    all->addWidget(new QLabel(QStringLiteral("Или человек со стороны:"), this));
    all->addWidget(outsider_);
    all->addWidget(buttons_);

    connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && !outsider_->text().isEmpty()) {
            outsider_->clear();
        }
        update();
    });
    // The list's first row is current as soon as it has the focus, but chosen only once selected: Space
    // selects it without changing the current row.
    connect(list_, &QListWidget::itemSelectionChanged, this, &SwapDialog::update);
    connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(outsider_, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (!text.trimmed().isEmpty()) {
            list_->setCurrentRow(-1);
        }
        update();
    });
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    update();
}

std::optional<PersonId> SwapDialog::taker() const {
    const QListWidgetItem* item = list_->currentItem();
    return item != nullptr && item->isSelected()
               ? std::optional<PersonId>(item->data(Qt::UserRole).toLongLong())
               : std::nullopt;
}

QString SwapDialog::outsider() const { return outsider_->text().simplified(); }

void SwapDialog::choose(PersonId id) {
    for (int i = 0; i < list_->count(); ++i) {
        if (list_->item(i)->data(Qt::UserRole).toLongLong() == id) {
            list_->setCurrentRow(i);
        }
    }
}

void SwapDialog::typeOutsider(const QString& name) {
    outsider_->setText(name);
    emit outsider_->textEdited(name);
}

void SwapDialog::update() {
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(taker().has_value() || !outsider().isEmpty());
}

} // namespace sutograf
