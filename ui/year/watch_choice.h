#pragma once

#include <QWidget>

class QButtonGroup;

namespace sutograf {

// The four watches as buttons in their colours, one stop for the keyboard: Tab comes to the chosen
// watch, the arrows move the focus among the four (round the ends) without choosing, Space or a click
// chooses. Tab and Shift+Tab leave the four from wherever the focus is among them.
class WatchChoice : public QWidget {
    Q_OBJECT
public:
    // chosen: 1..4.
    explicit WatchChoice(int chosen, QWidget* parent = nullptr);

    int chosen() const;
    // Checks watch 1..4 without telling anyone: the window chose it.
    void setChosen(int watch);

signals:
    // The user chose another watch.
    void chosenChanged(int watch);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void keepOneTabStop();

    QButtonGroup* group_;
};

} // namespace sutograf
