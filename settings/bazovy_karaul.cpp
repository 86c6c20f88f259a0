#include "bazovy_karaul.h"

#include "opt_file.h"

namespace sutograf {

RotaOffset::RotaOffset(SettingsPlace place, float initial, QObject* parent)
    : QObject(parent), place_(std::move(place)), BazovyKaraul_(initial) {}

bool RotaOffset::Nastroyki_Chtenie() {
    const auto read = readOffsetFile(place_);
    if (read) {
        BazovyKaraul_ = *read;
    }
    return read.has_value();
}

WriteResult RotaOffset::choose(int watchIndex) {
    BazovyKaraul_ = static_cast<float>(watchIndex);
    const WriteResult written = Nastroyki_Zapis();
    emit changed();
    return written;
}

WriteResult RotaOffset::Nastroyki_Zapis() const { return writeOffsetFile(place_, BazovyKaraul_); }

} // namespace sutograf
