#include "opt_file.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTemporaryFile>

#include "bazovy_karaul.h"
#include "number_text.h"

namespace sutograf {
namespace {

// A valid first line is one digit, perhaps with a few blanks; there is no need to read more than
// this to judge it, however large the file.
constexpr qint64 kLongestFirstLine = 64;

} // namespace

QString optFilePath(const QString& dir) {
    return QDir::toNativeSeparators(QDir(dir).filePath(QString::fromLatin1(kOptFileName)));
}

QString settingsDirectory(const QString& programDir) {
    // Trying is the only sure answer: permission bits, ACLs and read-only mounts all have their say.
    QTemporaryFile probe(QDir(programDir).filePath(QStringLiteral(".sutograf-XXXXXX")));
    if (probe.open()) {
        return programDir;
    }
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
}

std::optional<float> parseOffsetFile(std::string_view content) {
    const auto end = content.find_first_of("\r\n");
    const auto value = textToSingle(content.substr(0, end));
    if (!value || !(*value == 0.0f || *value == 1.0f || *value == 2.0f || *value == 3.0f)) {
        return std::nullopt;
    }
    return *value + 0.0f; // "-0" is the first watch too, stored as plain 0
}

bool Nastroyki_Chtenie(const QString& dir) {
    QFile file(optFilePath(dir));
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray head = file.read(kLongestFirstLine + 1);
    if (head.size() > kLongestFirstLine && !head.contains('\r') && !head.contains('\n')) {
        return false; // the first line alone is longer than any offset could be
    }
    const auto offset =
        parseOffsetFile(std::string_view(head.constData(), static_cast<std::size_t>(head.size())));
    if (!offset) {
        return false;
    }
    BazovyKaraul = *offset;
    return true;
}

ZapisResult Nastroyki_Zapis(const QString& dir) {
    const QByteArray content = QByteArray::fromStdString(numberText(BazovyKaraul)) + "\r\n";
    if (!QDir().mkpath(dir)) {
        return {QFileDevice::OpenError, QStringLiteral("cannot create the directory")};
    }
    QSaveFile file(optFilePath(dir));
    if (file.open(QIODevice::WriteOnly) && file.write(content) == content.size() && file.commit()) {
        return {};
    }
    return {file.error() == QFileDevice::NoError ? QFileDevice::WriteError : file.error(),
            file.errorString()};
}

} // namespace sutograf
