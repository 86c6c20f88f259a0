#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace sutograf {

// An up-down (spin) control standing on its own beside a buddy text box, which Qt does not offer.
// It holds a whole-number value within a range and emits valueChanged on every change, also when the
// program sets the value. An arrow goes on from the buddy's text when that is a whole number within
// the range, else from the control's own value; it stops at the ends instead of wrapping.
class UpDown : public QWidget {
    Q_OBJECT
public:
    UpDown(int minimum, int maximum, QWidget* parent = nullptr);

    int value() const { return value_; }
    void setValue(int value);
    void setBuddy(QLineEdit* buddy);
    void stepBy(int steps);

    QToolButton* upButton() const { return up_; }
    QToolButton* downButton() const { return down_; }

signals:
    void valueChanged(int value);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int clamp(int v) const { return v < minimum_ ? minimum_ : (v > maximum_ ? maximum_ : v); }
    int startingPoint() const;
    bool stepForKey(int key);

    int minimum_;
    int maximum_;
    int value_;
    QLineEdit* buddy_ = nullptr;
    QToolButton* up_;
    QToolButton* down_;
};

} // namespace sutograf
