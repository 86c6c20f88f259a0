#pragma once

#include <QObject>

#include "safe_file.h"
#include "settings_place.h"

namespace sutograf {

// The rota offset BazovyKaraul: the 0-based index of the watch on duty on 01.01.2011. One object holds
// it for the whole run; it alone reads Opt.txt into it and writes it back, and it tells every window
// that counts with it when a new one is chosen, so that no window polls for it.
class RotaOffset : public QObject {
    Q_OBJECT
public:
    // Opt.txt lives in `place`. `initial` is what the run holds before the file is read: 0 in the
    // program, another value where a test starts from one.
    explicit RotaOffset(SettingsPlace place, float initial = 0.0f, QObject* parent = nullptr);

    float BazovyKaraul() const { return BazovyKaraul_; }
    const SettingsPlace& place() const { return place_; }

    // The reading step: Opt.txt's offset into BazovyKaraul. A missing, unreadable or damaged file, or
    // anything but a regular file in its place, leaves BazovyKaraul as it is and the file untouched;
    // answers whether the file was taken. Tells nobody: only the main window's load step reads, before
    // anything is drawn.
    bool Nastroyki_Chtenie();

    // The settings' Save: BazovyKaraul becomes watchIndex (0..3), Opt.txt is rewritten, and then every
    // window hears of it (changed), whether or not the file could be written: the choice holds for
    // this run either way.
    WriteResult choose(int watchIndex);

    // The writing step alone: Opt.txt replaced with BazovyKaraul's text and CR LF.
    WriteResult Nastroyki_Zapis() const;

signals:
    void changed();

private:
    SettingsPlace place_;
    float BazovyKaraul_;
};

} // namespace sutograf
