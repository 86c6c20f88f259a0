#pragma once

// What the settings file tests share: a folder of their own, and reading and writing whole files.

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "common/system_trouble.h"
#include "opt_file.h"
#include "settings_place.h"

namespace sutograf {

inline const auto kByName = [](const auto& info) { return std::string(std::get<0>(info.param)); };

inline QByteArray contentOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

inline bool put(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// A folder of its own for each test, made writable again at the end so that it can be removed.
class Files : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    void TearDown() override { trouble::makeWritable(dir.path()); }
    QString path() const { return dir.filePath(kOptFileName); }
    SettingsPlace place() const { return SettingsPlace(dir.path()); }

    QTemporaryDir dir;
};

} // namespace sutograf
