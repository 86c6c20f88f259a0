#pragma once

#include <QDialog>

#include <optional>
#include <vector>

#include "people.h"

class QDialogButtonBox;
class QLineEdit;
class QListWidget;

namespace sutograf {

// «Подмена»: who takes a person's duty of one day. A person of another watch who is off and not absent
// that day (the list holds only those), or a name from outside the roster.
class SwapDialog : public QDialog {
    Q_OBJECT
public:
    struct Candidate {
        PersonId id;
        QString name; // "Петров П. П., 2 караул"
    };

    SwapDialog(const QString& question, const std::vector<Candidate>& candidates, QWidget* parent = nullptr);

    // Who was chosen: a person of the list, or nobody of it and outsider() non-empty.
    std::optional<PersonId> taker() const;
    QString outsider() const;

    void choose(PersonId id);
    void typeOutsider(const QString& name);

private:
    void update();

    QListWidget* list_;
    QLineEdit* outsider_;
    QDialogButtonBox* buttons_;
};

} // namespace sutograf
