// Any Opt.txt: reading never fails loudly, takes only 0 to 3, and never touches the file.
#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "bazovy_karaul.h"
#include "opt_file.h"
#include "settings_place.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto parsed =
        sutograf::parseOffsetFile(std::string_view(reinterpret_cast<const char*>(data), size));
    if (parsed && !(*parsed == 0.0f || *parsed == 1.0f || *parsed == 2.0f || *parsed == 3.0f)) {
        std::abort();
    }

    static QTemporaryDir dir;
    const QByteArray content(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QFile file(dir.filePath(sutograf::kOptFileName));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(content) != content.size()) {
        std::abort();
    }
    file.close();
    sutograf::BazovyKaraul = -1.0f; // anything the reader may leave alone
    const bool taken = sutograf::Nastroyki_Chtenie(sutograf::SettingsPlace(dir.path()));
    // The reader looks at no more than the first line's worth, so a long file may be refused where the
    // whole-content parse accepts; never the other way round.
    if (taken && (!parsed || sutograf::BazovyKaraul != *parsed)) {
        std::abort();
    }
    if (!taken && sutograf::BazovyKaraul != -1.0f) {
        std::abort();
    }
    if (!file.open(QIODevice::ReadOnly) || file.readAll() != content) {
        std::abort();
    }
    return 0;
}
