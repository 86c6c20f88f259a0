// The program's own files: Opt.txt, sutograf.ini and the user's calendar.csv, where they live, and
// how each survives damage, hostile places and failing disks.
#include <gtest/gtest.h>

#include <QDir>

#include <future>
#include <optional>

#include "bazovy_karaul.h"
#include "common/system_trouble.h"
#include "opt_file.h"
#include "settings/files_fixture.h"
#include "sutograf_ini.h"
#include "user_calendar.h"

namespace sutograf {
namespace {

using namespace Qt::StringLiterals;

// A T made only when `when`: the trouble of one row of a table.
template <class T, class... Args> std::optional<T> only(bool when, const Args&... args) {
    return when ? std::optional<T>(std::in_place, args...) : std::nullopt;
}

// What read() answers, or nullopt when it has not returned within 5 s: a FIFO blocks an ordinary
// open until a writer comes, and one opening `fifo` then releases the reader.
template <class Read>
auto unlessHung(const Read& read, const QString& fifo) -> std::optional<decltype(read())> {
    auto reading = std::async(std::launch::async, read);
    if (reading.wait_for(std::chrono::seconds(5)) == std::future_status::ready) {
        return reading.get();
    }
    trouble::releaseFifoReader(fifo);
    return std::nullopt;
}

// Name, content, the offset taken from it (none: the offset held before stays). Read over an offset
// of 1, which no row takes, so that a damaged file resetting the offset to the first watch shows.
using ReadCase = std::tuple<const char*, QByteArray, std::optional<float>>;
class OptFileRead : public Files, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(OptFileRead, TakesTheFirstLineOrKeepsTheOffsetHeld) {
    const auto& [name, content, taken] = GetParam();
    ASSERT_TRUE(put(path(), content));
    RotaOffset rota(place(), 1.0f);
    EXPECT_EQ(rota.Nastroyki_Chtenie(), taken.has_value());
    EXPECT_EQ(rota.BazovyKaraul(), taken.value_or(1.0f));
    EXPECT_EQ(contentOf(path()), content) << "reading must never change the file";
}

// A first line of 100 000 characters is never taken: not when its first bytes look like an offset,
// nor when its blanks hide one at the end.
const QByteArray kBlanks(99999, ' ');
INSTANTIATE_TEST_SUITE_P(
    Cases, OptFileRead,
    ::testing::Values(ReadCase{"WrittenByUs", "2\r\n", 2.0f}, ReadCase{"NoLineEnd", "0", 0.0f},
                      ReadCase{"FurtherLinesIgnored", "3\r\nmore lines\r\n7", 3.0f},
                      ReadCase{"BareCR", "2\r9", 2.0f}, ReadCase{"UnixLineEnd", "3\n", 3.0f},
                      ReadCase{"Blanks", " 2 \r\n", 2.0f}, ReadCase{"Empty", "", {}},
                      ReadCase{"EmptyFirstLine", "\r\n2\r\n", {}}, ReadCase{"Letters", "abc\r\n", {}},
                      ReadCase{"OutOfRange", "7\r\n", {}}, ReadCase{"Negative", "-1\r\n", {}},
                      ReadCase{"Fraction", "1.5\r\n", {}}, ReadCase{"Comma", "1,5\r\n", {}},
                      ReadCase{"Huge", "1e40\r\n", {}}, ReadCase{"Utf8Bom", "\xEF\xBB\xBF\x32\r\n", {}},
                      ReadCase{"DigitThenNul", "2\0"_ba, {}},
                      ReadCase{"VeryLongFirstLine", "2" + kBlanks, {}},
                      ReadCase{"VeryLongFirstLineEndingInADigit", kBlanks + "2", {}}),
    kByName);

// Whatever stands where Opt.txt should be, or whatever the disk does: reading neither hangs (a FIFO
// blocks an ordinary open until a writer comes) nor takes anything but a regular file, and saving 3
// fails for its own reason, leaving the folder exactly as it was: no temporary file, and what
// stood there the same thing with the same bytes (a link to a device would otherwise replace the
// device node). Where the system has no such trouble, the row says why it skips.
enum Place {
    Folder,
    Fifo,
    LinkToFifo,
    LinkToDevice,
    ReadOnlyFolder,
    ReadOnlyFile,
    HeldOpen,
    DiskFull,
    WriteFails
};
using Hostile = std::tuple<const char*, Place, WriteFailure>; // name, what is there, why saving fails
class OptFileHostile : public Files, public ::testing::WithParamInterface<Hostile> {};

TEST_P(OptFileHostile, NeitherHangsNorLosesWhatWasThere) {
    const auto [name, kind, failure] = GetParam();
    const bool regular = kind >= ReadOnlyFolder, linked = kind == LinkToFifo || kind == LinkToDevice;
    const QString other = dir.filePath(u"other"_s);
    auto disk = only<trouble::SmallDisk>(kind == DiskFull, dir.path());
    std::optional<trouble::HeldOpen> held;
    // Why the row cannot be made here; empty when it is in place.
    const QString why = [&]() -> QString {
        if (disk && !disk->made()) {
            return disk->why();
        }
        if (kind == Folder) {
            return QDir(dir.path()).mkdir(kOptFileName) ? QString() : u"mkdir failed"_s;
        }
        if (!regular) {
            // The device is our own null device, so that a fault cannot take the system's with it.
            const QString node = linked ? other : path();
            const QString made =
                kind == LinkToDevice ? trouble::makeNullDevice(node) : trouble::makeFifo(node);
            return !made.isEmpty() || !linked ? made : trouble::makeLink(other, path());
        }
        if (!put(path(), "1\r\nkept exactly\r\n") || (disk && !disk->fill())) {
            return u"cannot write the old file"_s;
        }
        if (kind == HeldOpen) {
            return held.emplace(path()).why();
        }
        return kind == ReadOnlyFolder ? trouble::makeReadOnly(dir.path())
               : kind == ReadOnlyFile ? trouble::makeReadOnly(path())
                                      : QString();
    }();
    if (!why.isEmpty()) {
        GTEST_SKIP() << "cannot make it here: " << why.toStdString();
    }
    const auto snapshot = [&] {
        const QStringList names = QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System);
        return std::tuple(names.join(u' ').toStdString(), trouble::identityOf(path()),
                          QFileInfo(path()).isFile() ? contentOf(path()).toStdString() : "");
    };
    const auto before = snapshot();
    RotaOffset rota(place(), 2.0f);
    EXPECT_EQ(unlessHung([&rota] { return rota.Nastroyki_Chtenie(); }, path()), regular)
        << "nullopt: it hung";
    EXPECT_EQ(rota.BazovyKaraul(), regular ? 1.0f : 2.0f) << "the old file's 1, else the 2 held before";
    {
        const trouble::NoRootOverride asOrdinaryUser;
        const auto failing = only<trouble::FailingWrites>(kind == WriteFails);
        if (failing && !failing->made()) {
            GTEST_SKIP() << "cannot make it here: " << failing->why().toStdString();
        }
        EXPECT_EQ(rota.choose(3).failure, failure);
    }
    EXPECT_EQ(snapshot(), before);
}

INSTANTIATE_TEST_SUITE_P(Cases, OptFileHostile,
                         ::testing::Values(Hostile{"Folder", Folder, WriteFailure::FolderInTheWay},
                                           Hostile{"Fifo", Fifo, WriteFailure::NotAFile},
                                           Hostile{"LinkToFifo", LinkToFifo, WriteFailure::NotAFile},
                                           Hostile{"LinkToDevice", LinkToDevice, WriteFailure::NotAFile},
                                           Hostile{"ReadOnlyFolder", ReadOnlyFolder,
                                                   WriteFailure::NoPermission},
                                           Hostile{"ReadOnlyFile", ReadOnlyFile, WriteFailure::NoPermission},
                                           Hostile{"HeldOpenByAnotherProgram", HeldOpen, WriteFailure::InUse},
                                           Hostile{"DiskFull", DiskFull, WriteFailure::DiskFull},
                                           Hostile{"WriteFailsMidway", WriteFails, WriteFailure::Other}),
                         kByName);

const UserChoices kDefaults, kChanged{{450, 1410, true}, 3};

using IniCase = std::tuple<const char*, QByteArray, UserChoices, int>; // name, text, choices, problems
class IniText : public ::testing::TestWithParam<IniCase> {};

TEST_P(IniText, GivesTheValuesOrTheirDefaults) {
    const auto& [name, text, choices, problems] = GetParam();
    const IniReading reading = parseIni(text);
    EXPECT_EQ(reading.choices, choices);
    EXPECT_EQ(reading.problems.size(), problems) << reading.problems.join(u'|').toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IniText,
    ::testing::Values(
        IniCase{"WindowsLineEndsAndBom", "\xEF\xBB\xBF[duty]\r\nstart=00:00\r\n[yearWindow]\r\nwatch=4\r\n",
                UserChoices{{0, 1440, false}, 4}, 0},
        IniCase{"OnlyOneValue", "[duty]\nhours=12\n", UserChoices{{480, 720, false}, 1}, 0},
        IniCase{"KeysOfALaterVersion", "[duty]\ncolour=red\n[yearWindow]\nstart=09:00\n", kDefaults, 0},
        IniCase{"BadValuesEachKeepTheirDefault",
                "[duty]\nstart=25:00\nhours=0:30\nwholeOnStartDay=yes\n[yearWindow]\nwatch=5", kDefaults, 4},
        IniCase{"Junk", "\0\xFFjunk\n[duty\nstart\n"_ba, kDefaults, 3}),
    kByName);

// Opening the window must not rewrite the file; a change writes it, and it reads back. A file that
// can no longer be written shows whether a write is attempted at all.
TEST_F(Files, SutografIniIsWrittenOnlyWhenAChoiceChanges) {
    SutografIni ini(place());
    EXPECT_EQ(ini.choices(), kDefaults);
    EXPECT_TRUE(ini.store(kDefaults).ok());
    EXPECT_FALSE(QFile::exists(dir.filePath(kIniFileName)));
    ASSERT_TRUE(ini.store(kChanged).ok());
    EXPECT_EQ(SutografIni(place()).choices(), kChanged);
    ASSERT_EQ(trouble::makeReadOnly(dir.filePath(kIniFileName)), QString());
    const trouble::NoRootOverride asOrdinaryUser;
    EXPECT_TRUE(ini.store(kChanged).ok());
    EXPECT_EQ(ini.store(kDefaults).failure, WriteFailure::NoPermission);
    EXPECT_EQ(ini.choices(), kDefaults) << "the choice holds for this run";
    EXPECT_EQ(SutografIni(place()).choices(), kChanged);
}

// The Labour Code's holidays of 2027, as a decree's file lists them.
const QByteArray kHolidays2027 =
    "2027-01-01,holiday\n2027-01-02,holiday\n2027-01-03,holiday\n2027-01-04,holiday\n2027-01-05,holiday\n"
    "2027-01-06,holiday\n2027-01-07,holiday\n2027-01-08,holiday\n2027-02-23,holiday\n2027-03-08,holiday\n"
    "2027-05-01,holiday\n2027-05-09,holiday\n2027-06-12,holiday\n2027-11-04,holiday\n";

using OverlayCase = std::tuple<const char*, QByteArray, NormSource, int>; // name, rows, 2027's source, errors
class UserCalendar : public ::testing::TestWithParam<OverlayCase> {};

// A year taken in part would give a wrong norm without saying so: only a whole, clean year replaces
// the shipped one.
TEST_P(UserCalendar, ReplacesOnlyWholeCleanYears) {
    const auto& [name, rows, source, errors] = GetParam();
    const LoadedCalendar loaded = calendarWithOverlay("date,kind,note\n" + rows);
    EXPECT_EQ(static_cast<int>(loaded.errors.size()), errors);
    EXPECT_EQ(loaded.calendar.sourceOf(2027), source);
    EXPECT_EQ(loaded.calendar.kindOf(*dateOf(2027, 1, 11)),
              source == NormSource::Decree ? DayKind::DayOff : DayKind::Ordinary);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UserCalendar,
    ::testing::Values(
        OverlayCase{"WholeYear", kHolidays2027 + "2027-01-11,dayoff,перенос\n", NormSource::Decree, 0},
        OverlayCase{"BadLine", kHolidays2027 + "2027-01-11,dayof,опечатка\n", NormSource::Provisional, 1},
        OverlayCase{"BadLineAfterAHundredErrors",
                    "2031-02-30,holiday,\n"_ba.repeated(101) + kHolidays2027 + "2027-01-11,dayof,x\n",
                    NormSource::Provisional, ProductionCalendar::kMaxErrors + 1},
        OverlayCase{"OnlyTheTransfers", "2027-01-11,dayoff,перенос\n", NormSource::Provisional, 1}),
    kByName);

TEST_F(Files, ACalendarThatCannotBeReadIsSaidAndTheShippedTableUsed) {
    EXPECT_TRUE(loadCalendar(place()).errors.empty()) << "no file, no complaint";
    const QString fifo = dir.filePath(kUserCalendarFileName);
    if (const QString why = trouble::makeFifo(fifo); !why.isEmpty()) {
        GTEST_SKIP() << "cannot make it here: " << why.toStdString();
    }
    const auto loaded = unlessHung([this] { return loadCalendar(place()); }, fifo);
    ASSERT_TRUE(loaded) << "reading hung";
    ASSERT_EQ(loaded->errors.size(), 1u);
    EXPECT_EQ(loaded->errors[0].line, 0);
    EXPECT_EQ(loaded->calendar.sourceOf(2027), NormSource::Provisional);
}

} // namespace
} // namespace sutograf
