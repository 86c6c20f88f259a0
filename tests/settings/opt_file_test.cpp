#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "bazovy_karaul.h"
#include "common/no_root_override.h"
#include "opt_file.h"

namespace sutograf {
namespace {

class OptFile : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        BazovyKaraul = 0.0f;
    }
    QString path() const { return optFilePath(dir.path()); }
    void put(const QByteArray& bytes) const {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray bytes() const {
        QFile f(path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
    }

    QTemporaryDir dir;
};

struct ReadCase {
    const char* name;
    QByteArray content;
    float expected;
};

void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }

class OptFileRead : public OptFile, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(OptFileRead, TakesTheFirstLineOrKeepsTheFirstWatch) {
    const auto& c = GetParam();
    BazovyKaraul = 0.0f;
    put(c.content);
    Nastroyki_Chtenie(dir.path());
    EXPECT_EQ(BazovyKaraul, c.expected);
    EXPECT_EQ(bytes(), c.content) << "reading must never change the file";
}

const ReadCase kReadCases[] = {
    {"WrittenByUs", QByteArray("2\r\n"), 2.0f},
    {"NoLineEnd", QByteArray("0"), 0.0f},
    {"FurtherLinesIgnored", QByteArray("1\r\nmore lines\r\n7"), 1.0f},
    {"BareCR", QByteArray("3\r9"), 3.0f},
    {"UnixLineEnd", QByteArray("3\n"), 3.0f},
    {"Blanks", QByteArray(" 2 \r\n"), 2.0f},
    {"Empty", QByteArray(""), 0.0f},
    {"EmptyFirstLine", QByteArray("\r\n2\r\n"), 0.0f},
    {"Letters", QByteArray("abc\r\n"), 0.0f},
    {"OutOfRange", QByteArray("7\r\n"), 0.0f},
    {"Negative", QByteArray("-1\r\n"), 0.0f},
    {"Fraction", QByteArray("1.5\r\n"), 0.0f},
    {"Comma", QByteArray("1,5\r\n"), 0.0f},
    {"Huge", QByteArray("1e40\r\n"), 0.0f},
    {"Utf8Bom",
     QByteArray("\xEF\xBB\xBF"
                "2\r\n"),
     0.0f},
    {"BinaryJunk", QByteArray("\x00\xFF\x13\x37\x02\r\n", 7), 0.0f},
    {"DigitThenNul", QByteArray("2\x00", 2), 0.0f},
    {"VeryLongFirstLine", QByteArray(100000, '1'), 0.0f},
};

INSTANTIATE_TEST_SUITE_P(Cases, OptFileRead, ::testing::ValuesIn(kReadCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(OptFile, MissingFileKeepsTheCurrentOffset) {
    BazovyKaraul = 0.0f;
    EXPECT_FALSE(Nastroyki_Chtenie(dir.path()));
    EXPECT_EQ(BazovyKaraul, 0.0f);
    EXPECT_FALSE(QFile::exists(path())) << "reading must not create the file";
}

TEST_F(OptFile, DirectoryInPlaceOfTheFileKeepsTheFirstWatch) {
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("Opt.txt")));
    EXPECT_FALSE(Nastroyki_Chtenie(dir.path()));
    EXPECT_EQ(BazovyKaraul, 0.0f);
}

TEST_F(OptFile, UnreadableFileKeepsTheFirstWatch) {
    put("3\r\n");
    ASSERT_TRUE(QFile::setPermissions(path(), QFileDevice::WriteOwner));
    const NoRootOverride asOrdinaryUser;
    EXPECT_FALSE(Nastroyki_Chtenie(dir.path()));
    EXPECT_EQ(BazovyKaraul, 0.0f);
}

TEST_F(OptFile, EachChoiceIsWrittenAsExactlyThreeBytesAndReadBack) {
    put("3\r\nsomething much longer that must not survive\r\n");
    for (int i = 0; i < 4; ++i) {
        BazovyKaraul = static_cast<float>(i);
        ASSERT_TRUE(Nastroyki_Zapis(dir.path()).ok());
        ASSERT_TRUE(Nastroyki_Zapis(dir.path()).ok());
        EXPECT_EQ(bytes(), QByteArray::number(i) + "\r\n");
        BazovyKaraul = 0.0f;
        EXPECT_TRUE(Nastroyki_Chtenie(dir.path()));
        EXPECT_EQ(BazovyKaraul, static_cast<float>(i));
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("Opt.txt")})
        << "no temporary file may be left behind";
}

TEST_F(OptFile, WritingCreatesAMissingDirectory) {
    BazovyKaraul = 1.0f;
    const QString nested = dir.filePath(QStringLiteral("config/sutograf"));
    ASSERT_TRUE(Nastroyki_Zapis(nested).ok());
    EXPECT_TRUE(Nastroyki_Chtenie(nested));
}

// A read-only directory, as an ordinary user meets one even when the tests run as root.
TEST_F(OptFile, ReadOnlyDirectoryFailsLoudlyKeepsTheOldFileAndSendsTheSettingToTheUser) {
    const QByteArray old("1\r\nkept exactly\r\n");
    put(old);
    BazovyKaraul = 3.0f;
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    ZapisResult replaced, created;
    QString chosen;
    {
        const NoRootOverride asOrdinaryUser;
        replaced = Nastroyki_Zapis(dir.path());
        created = Nastroyki_Zapis(dir.filePath(QStringLiteral("config")));
        chosen = settingsDirectory(dir.path());
    }
    QFile::setPermissions(dir.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_FALSE(replaced.ok());
    EXPECT_FALSE(replaced.detail.isEmpty());
    EXPECT_EQ(bytes(), old);
    EXPECT_FALSE(created.ok());
    EXPECT_EQ(settingsDirectory(dir.path()), dir.path());
    EXPECT_EQ(chosen, QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
}

} // namespace
} // namespace sutograf
