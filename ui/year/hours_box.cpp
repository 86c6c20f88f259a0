#include "hours_box.h"

#include <QRegularExpression>

#include "working_time.h"

namespace sutograf {
namespace {

// What may still become hours while being typed: "2", "23:", "23:3".
const QRegularExpression kTyping(QStringLiteral("^\\d{0,2}(:[0-5]?\\d?)?$"));

} // namespace

HoursBox::HoursBox(QWidget* parent) : QSpinBox(parent) {
    setSingleStep(30);
    setKeyboardTracking(false); // a half-typed "2" of "23:30" must not count yet
}

QString HoursBox::textFromValue(int minutes) const { return QString::fromStdString(hoursText(minutes)); }

int HoursBox::valueFromText(const QString& text) const {
    return minutesFromText(text.trimmed().toStdString()).value_or(value());
}

QValidator::State HoursBox::validate(QString& text, int&) const {
    const auto minutes = minutesFromText(text.trimmed().toStdString());
    if (minutes) {
        return *minutes >= minimum() && *minutes <= maximum() ? QValidator::Acceptable
                                                              : QValidator::Intermediate;
    }
    return kTyping.match(text.trimmed()).hasMatch() ? QValidator::Intermediate : QValidator::Invalid;
}

} // namespace sutograf
