#pragma once

#include <QSpinBox>

namespace sutograf {

// A length of time in whole minutes, shown and typed as hours: "24", "23:30". The arrows step by
// half an hour.
class HoursBox : public QSpinBox {
    Q_OBJECT
public:
    explicit HoursBox(QWidget* parent = nullptr);

protected:
    QString textFromValue(int minutes) const override;
    int valueFromText(const QString& text) const override;
    QValidator::State validate(QString& text, int& pos) const override;
};

} // namespace sutograf
