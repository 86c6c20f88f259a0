#include "up_down.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>

#include <cmath>

#include "number_text.h"

namespace sutograf {

UpDown::UpDown(int minimum, int maximum, QWidget* parent)
    : QWidget(parent), minimum_(minimum), maximum_(maximum), value_(minimum), up_(new QToolButton(this)),
      down_(new QToolButton(this)) {
    setFocusPolicy(Qt::StrongFocus);
    for (QToolButton* b : {up_, down_}) {
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoRepeat(true);
    }
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    up_->setObjectName(QStringLiteral("up"));
    down_->setObjectName(QStringLiteral("down"));
    connect(up_, &QToolButton::clicked, this, [this] { stepBy(1); });
    connect(down_, &QToolButton::clicked, this, [this] { stepBy(-1); });
}

void UpDown::setValue(int value) {
    value = clamp(value);
    if (value != value_) {
        value_ = value;
        emit valueChanged(value_);
    }
}

void UpDown::setBuddy(QLineEdit* buddy) {
    if (buddy_ != nullptr) {
        buddy_->removeEventFilter(this);
    }
    buddy_ = buddy;
    if (buddy_ != nullptr) {
        buddy_->installEventFilter(this); // the arrow keys in the buddy step the value too
    }
}

int UpDown::startingPoint() const {
    if (buddy_ != nullptr) {
        const auto typed = textToSingle(buddy_->text().toStdString());
        if (typed && *typed >= static_cast<float>(minimum_) && *typed <= static_cast<float>(maximum_) &&
            *typed == std::trunc(*typed)) {
            return static_cast<int>(*typed);
        }
    }
    return value_;
}

void UpDown::stepBy(int steps) {
    const int target = clamp(startingPoint() + steps);
    const bool buddyBehind = buddy_ != nullptr && buddy_->text() != QString::number(target);
    if (target != value_) {
        setValue(target);
    } else if (buddyBehind) {
        // A year typed into the buddy moved away from our value; the arrow brings it back to a
        // value that happens to equal ours. The user still expects the box to show it.
        emit valueChanged(value_);
    }
}

// The Up and Down keys work like the arrows, on the control and in its buddy alike.
bool UpDown::stepForKey(int key) {
    if (key != Qt::Key_Up && key != Qt::Key_Down) {
        return false;
    }
    stepBy(key == Qt::Key_Up ? 1 : -1);
    return true;
}

void UpDown::keyPressEvent(QKeyEvent* event) {
    if (!stepForKey(event->key())) {
        QWidget::keyPressEvent(event);
    }
}

bool UpDown::eventFilter(QObject* watched, QEvent* event) {
    if (watched == buddy_ && event->type() == QEvent::KeyPress &&
        stepForKey(static_cast<QKeyEvent*>(event)->key())) {
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void UpDown::resizeEvent(QResizeEvent*) {
    const int upHeight = height() / 2;
    up_->setGeometry(0, 0, width(), upHeight);
    down_->setGeometry(0, upHeight, width(), height() - upHeight);
}

} // namespace sutograf
