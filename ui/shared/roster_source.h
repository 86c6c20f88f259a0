#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

#include "roster_store.h"
#include "settings_place.h"

class QWidget;

namespace sutograf {

class RotaOffset;

// The roster as the windows share it: one store for the run (records/roster_store.h), opened when
// the first window asks for it, never at start, so that starting the program reads no database and
// makes no file. It follows the rota offset, rereads the file when one of the windows it serves
// becomes active, and tells them whenever what they show of it may have changed: after any edit
// (saved or refused: the store rereads what another program saved before it judges), after a reread,
// and when a new offset is chosen.
class RosterSource : public QObject {
    Q_OBJECT
public:
    // The one of this offset: made at the first call as a child of the offset, so that it lives as long
    // as the offset does, which outlives every window.
    static RosterSource& of(RotaOffset& offset);

    // sutograf.db in the offset's settings place.
    explicit RosterSource(RotaOffset& offset, QObject* parent = nullptr);
    ~RosterSource() override;

    // The store, opened at the first call.
    RosterStore& store();
    const Roster& roster() { return store().roster(); }
    float offset() const;
    // Where the program's files are: sutograf.ini and calendar.csv beside sutograf.db.
    const SettingsPlace& place() const;
    // Why the roster is empty or cannot be edited, in Russian; empty when all is well.
    QString problem();

    // Runs an edit of the store and tells the windows.
    Saved edit(const std::function<Saved(RosterStore&)>& change);

    // Rereads the file when another program changed it, and then tells the windows.
    void refresh();
    // Refreshes whenever `window` becomes the active window.
    void follow(QWidget* window);

signals:
    void changed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    RotaOffset& offset_;
    std::unique_ptr<RosterStore> store_;
};

} // namespace sutograf
