#include "typed_values.h"

#include <QAbstractSpinBox>
#include <QLineEdit>
#include <QTimer>

namespace sutograf {

void countTypingAtOnce(QAbstractSpinBox* box, std::function<bool(const QString& text)> isFinal) {
    auto* pause = new QTimer(box);
    pause->setSingleShot(true);
    pause->setInterval(kTypingPauseMs);
    QObject::connect(pause, &QTimer::timeout, box, &QAbstractSpinBox::interpretText);
    auto* editor = box->findChild<QLineEdit*>();
    QObject::connect(editor, &QLineEdit::textEdited, box,
                     [box, pause, isFinal = std::move(isFinal)](const QString& typed) {
                         QString text = typed;
                         int position = 0;
                         if (box->validate(text, position) != QValidator::Acceptable) {
                             pause->stop();
                         } else if (isFinal(text)) {
                             pause->stop();
                             box->interpretText();
                         } else {
                             pause->start();
                         }
                     });
    // Enter or leaving the box has counted it already.
    QObject::connect(box, &QAbstractSpinBox::editingFinished, pause, &QTimer::stop);
}

} // namespace sutograf
