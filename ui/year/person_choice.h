#pragma once

#include <QComboBox>

#include "date.h"
#include "people.h"

namespace sutograf {

struct Roster;

// A person of the roster, or none (the watch's own year), in one list grouped by watch as the roster
// window groups them (1 to 4 by the watch of the day given, then those who have left), by name within
// each group. The groups' headings cannot be chosen: the arrows pass over them, and typing a name's
// first letters finds it.
class PersonChoice : public QComboBox {
    Q_OBJECT
public:
    explicit PersonChoice(QWidget* parent = nullptr);

    // The list anew from the roster, with `chosen` selected; none is selected when they are not on it.
    // Answers whether they are (always for 0).
    bool setRoster(const Roster& roster, Date day, PersonId chosen);
    // 0 for none.
    PersonId chosen() const;
    void choose(PersonId id);

signals:
    // The user chose someone else, or none (0).
    void chosenChanged(PersonId id);
};

} // namespace sutograf
