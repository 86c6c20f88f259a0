#pragma once

#include <QDialog>

#include <array>
#include <optional>

#include "date.h"

class QButtonGroup;
class QDateEdit;
class QLabel;
class QPushButton;

namespace sutograf {

class RotaOffset;

// "Какой караул сегодня": the rota set from what a newcomer knows, the watch on duty today (or on a
// day they pick), instead of the watch of 01.01.2011. Shows the days that follow in the watches'
// colours as the choice would give them; Save stores the offset that gives that watch on that day,
// the very value the Settings dialog stores for the watch it then shows for 01.01.2011. Modeless; the
// main window keeps one. Cancel, Esc and the close box store nothing.
class frmWhoToday : public QDialog {
    Q_OBJECT
public:
    // The offset must outlive the dialog. today: the day asked about first.
    frmWhoToday(RotaOffset& offset, Date today, QWidget* parent = nullptr);

private:
    void createQuestion(Date today);
    void createFollowingDays();
    void createButtons();
    void layOut();

    std::optional<Date> pickedDay() const;
    void showFollowingDays();
    void save();

    RotaOffset& offset_;
    QDateEdit* dateBox_;
    QButtonGroup* watches_;
    std::array<QLabel*, 8> days_{};
    QLabel* meaning_;
    QPushButton* saveButton_;
    QPushButton* cancelButton_;
};

} // namespace sutograf
