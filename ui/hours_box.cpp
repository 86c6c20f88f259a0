#include "hours_box.h"

#include <QRegularExpression>

#include "working_time.h"

namespace sutograf {
namespace {

// "H", "H:" or "H:MM": hours of one or two digits, minutes of two.
const QRegularExpression kHours(QStringLiteral("^(\\d{1,2})(?::(\\d{0,2}))?$"));

} // namespace

HoursBox::HoursBox(QWidget* parent) : QSpinBox(parent) {
    setSingleStep(30);
    setKeyboardTracking(false); // a half-typed "2" of "23:30" must not count yet
}

QString HoursBox::textFromValue(int minutes) const { return QString::fromStdString(hoursText(minutes)); }

int HoursBox::valueFromText(const QString& text) const {
    const QRegularExpressionMatch m = kHours.match(text.trimmed());
    return m.captured(1).toInt() * 60 + m.captured(2).toInt();
}

QValidator::State HoursBox::validate(QString& text, int&) const {
    const QRegularExpressionMatch m = kHours.match(text.trimmed());
    if (!m.hasMatch()) {
        return text.trimmed().isEmpty() ? QValidator::Intermediate : QValidator::Invalid;
    }
    if (m.capturedLength(2) == 1 || text.endsWith(QLatin1Char(':')) || m.captured(2).toInt() > 59) {
        return m.captured(2).toInt() > 59 ? QValidator::Invalid : QValidator::Intermediate;
    }
    const int minutes = valueFromText(text);
    return minutes >= minimum() && minutes <= maximum() ? QValidator::Acceptable : QValidator::Intermediate;
}

} // namespace sutograf
