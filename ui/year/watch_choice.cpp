#include "watch_choice.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QToolButton>

#include "colours.h"
#include "year_sheet.h"

namespace sutograf {

WatchChoice::WatchChoice(int chosen, QWidget* parent) : QWidget(parent), group_(new QButtonGroup(this)) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    for (int w = 1; w <= 4; ++w) {
        auto* button = new QToolButton(this);
        button->setObjectName(QStringLiteral("watch%1").arg(w));
        button->setText(QStringLiteral("%1 караул").arg(w));
        button->setCheckable(true);
        const QColor fill = watchColour(w);
        // The focus is a dashed frame of the same width as the plain one, so that nothing moves.
        button->setStyleSheet(
            QStringLiteral("QToolButton { background: %1; color: %2; border: 2px solid %1;"
                           " outline: none; padding: 3px 10px; }"
                           "QToolButton:focus { border: 2px dashed %2; }"
                           "QToolButton:checked { border: 3px solid black; padding: 2px 9px;"
                           " font-weight: bold; }"
                           "QToolButton:checked:focus { border-style: double; }")
                .arg(fill.name(), readableTextOn(fill).name()));
        button->installEventFilter(this);
        group_->addButton(button, w);
        row->addWidget(button);
    }
    group_->button(chosen)->setChecked(true);
    keepOneTabStop();
    connect(group_, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked) {
            keepOneTabStop();
        }
    });
    connect(group_, &QButtonGroup::idClicked, this, &WatchChoice::chosenChanged);
}

int WatchChoice::chosen() const { return group_->checkedId(); }

void WatchChoice::setChosen(int watch) {
    if (QAbstractButton* b = group_->button(watch)) {
        b->setChecked(true);
    }
}

// Only the chosen button takes Tab; the others are reached by the arrows.
void WatchChoice::keepOneTabStop() {
    for (QAbstractButton* b : group_->buttons()) {
        b->setFocusPolicy(b->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
    }
}

bool WatchChoice::eventFilter(QObject* watched, QEvent* event) {
    auto* button = qobject_cast<QAbstractButton*>(watched);
    if (event->type() != QEvent::KeyPress || button == nullptr) {
        return false;
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) {
        return false;
    }
    const int id = group_->id(button);
    switch (key->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up:
        group_->button((id + 2) % 4 + 1)->setFocus(Qt::BacktabFocusReason);
        return true;
    case Qt::Key_Right:
    case Qt::Key_Down:
        group_->button(id % 4 + 1)->setFocus(Qt::TabFocusReason);
        return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        // The window moves the focus on from its focus widget: from the chosen button, which is the
        // group's one stop, Tab leaves the group whichever button had the focus.
        group_->checkedButton()->setFocus(Qt::OtherFocusReason);
        return false;
    default:
        return false;
    }
}

} // namespace sutograf
