#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <sqlite3.h>
#include <thread>

#include "records/test_files.h"
#include "roster_schema.h"
#include "roster_store.h"
#include "rota.h"

using namespace sutograf;

namespace {

PersonRecord somebody(const std::string& name) { return {{0, name, "", 40}, {{*dateOf(2025, 1, 1), 1}}, {}}; }

// A folder of its own, and the roster's file in it.
class StoreFile : public ::testing::Test {
protected:
    TempFolder folder;
    const fs::path file = folder / "sutograf.db";
};

TEST_F(StoreFile, KilledInTheMiddleOfEditsKeepsEverySavedOne) {
    trouble::Child child([&](const trouble::Child::Report& report) {
        RosterStore store(file, folder.path(), 0);
        for (int i = 0; i < 1000; ++i) {
            const Saved s = store.addPerson(somebody("Боец " + std::to_string(i)));
            if (!s) {
                std::_Exit(2);
            }
            report(s.id);
            // A moment between edits, as a person takes one: an edit reported before its commit
            // would be killed in it.
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    SKIP_UNLESS_MADE(child.why());
    const auto [saved, end] = child.wait(100);
    ASSERT_EQ(end, "killed") << "the child finished before it was killed, or failed";
    ASSERT_GE(saved.size(), 100u);

    RosterStore reopened(file, folder.path(), 0); // rolls back the edit it was killed in
    EXPECT_EQ(reopened.problem(), "");
    EXPECT_TRUE(std::all_of(saved.begin(), saved.end(),
                            [&reopened](PersonId id) { return reopened.roster().find(id) != nullptr; }))
        << saved.size() << " reported, " << reopened.roster().people.size() << " in the file";
    if (haveSqliteShell()) {
        EXPECT_EQ(shell(file, "PRAGMA integrity_check"), "ok\n");
    }
}

TEST_F(StoreFile, TwoProgramsEditingAtOnceLoseNothing) {
    const Date jan1 = *dateOf(2025, 1, 1);
    const PersonId giver = RosterStore(file, folder.path(), 0).addPerson(somebody("Отдающий")).id;
    // Each adds people and tries to take the same 20 duties of the giver: each is given once.
    const auto work = [&](std::string who) {
        return [&, who](const trouble::Child::Report& report) {
            RosterStore store(file, folder.path(), 0);
            const PersonId taker = store.addPerson({{0, who, "", 40}, {{jan1, 2}}, {}}).id;
            for (int i = 0; i < 20; ++i) {
                const Saved s = store.addSwap({dutyOf(1, Date{jan1.serial + 4 * i}), giver, taker, "", 0});
                report(s ? s.id : 0);
                report(store.addPerson(somebody(who + std::to_string(i))).id);
            }
        };
    };
    trouble::Child a(work("Первый")), b(work("Второй"));
    SKIP_UNLESS_MADE(a.why());
    auto [ids, endA] = a.wait();
    const auto [fromB, endB] = b.wait();
    ASSERT_EQ(endA + ", " + endB, "exit 0, exit 0");
    ids.insert(ids.end(), fromB.begin(), fromB.end());
    ASSERT_EQ(ids.size(), 80u);
    RosterStore store(file, folder.path(), 0);
    const auto& swaps = store.roster().swaps;
    EXPECT_EQ(store.roster().people.size(), 43u);
    EXPECT_EQ(swaps.size(), 20u) << "each duty given once, whoever came first";
    EXPECT_EQ(std::count(ids.begin(), ids.end(), 0), 20) << "the other program's swap refused";
    for (std::size_t i = 0; i < ids.size(); ++i) {
        const std::int64_t id = ids[i];
        EXPECT_TRUE(i % 2 == 1 ? store.roster().find(id) != nullptr
                               : id == 0 || std::any_of(swaps.begin(), swaps.end(),
                                                        [id](const DutySwap& w) { return w.id == id; }))
            << "reported saved, not in the file: " << id;
    }
}

TEST(StoreFaults, FullDiskRefusesTheEditAndKeepsWhatWasSaved) {
    TempFolder folder;
    const fs::path disk = folder / "disk", file = disk / "sutograf.db";
    fs::create_directory(disk);
    const auto small = trouble::smallDisk(disk, 256);
    SKIP_UNLESS_MADE(small.why());
    RosterStore store(file, disk, 0);
    ASSERT_TRUE(store.addPerson(somebody("Иванов")));
    const Roster before = store.roster();
    const auto bytes = bytesOf(file);
    ASSERT_TRUE(trouble::fillDisk(disk));
    const Saved s = store.addPerson(somebody(std::string(3000, 'x')));
    EXPECT_FALSE(s);
    EXPECT_NE(s.error.find("на диске нет места"), std::string::npos) << s.error;
    EXPECT_NE(s.error.find(file.string()), std::string::npos) << s.error;
    EXPECT_EQ(store.roster(), before);
    EXPECT_EQ(bytesOf(file), bytes);
    EXPECT_EQ(RosterStore(file, disk, 0).roster(), before);
}

// Makes a file of our own and overwrites one page that reading the roster never
// touches (the index of the swaps' takers): only SQLite's check can see the damage.
std::string damaged(const fs::path& file) {
    (void)RosterStore(file, file.parent_path(), 0).addPerson(somebody("Иванов"));
    sql::Connection db;
    db.open(file.string(), SQLITE_OPEN_READONLY);
    const auto page = db.integer("SELECT rootpage FROM sqlite_schema WHERE name = 'swaps_taken'");
    const auto size = db.integer("PRAGMA page_size");
    db.close();
    auto bytes = bytesOf(file);
    if (!page || !size || !bytes) {
        return "no page to damage";
    }
    std::fill_n(bytes->begin() + (*page - 1) * *size, *size, '\xFF');
    return put(file, *bytes) ? "" : "cannot write";
}

std::string sqliteFile(const fs::path& file, const std::string& sql) {
    sql::Connection db;
    return db.open(file.string(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE) == SQLITE_OK &&
                   db.exec(sql.c_str()) == SQLITE_OK
               ? ""
               : "cannot write";
}

struct Hostile {
    const char* name;
    std::function<std::string(const fs::path& file)> make; // why it cannot be made here
    std::string says;
};
void PrintTo(const Hostile& h, std::ostream* os) { *os << h.name; }

class StoreLeavesAlone : public StoreFile, public ::testing::WithParamInterface<Hostile> {};

TEST_P(StoreLeavesAlone, WhatIsNotItsOwnAndSaysWhy) {
    SKIP_UNLESS_MADE(GetParam().make(file));
    const auto before = snapshot(folder.path());
    RosterStore store(file, folder.path(), 0);
    EXPECT_NE(store.problem().find(file.string()), std::string::npos) << store.problem();
    EXPECT_NE(store.problem().find(GetParam().says), std::string::npos) << store.problem();
    EXPECT_TRUE(store.roster().people.empty());
    EXPECT_FALSE(store.writable());
    const Saved s = store.addPerson(somebody("Иванов"));
    EXPECT_FALSE(s);
    EXPECT_NE(s.error.find("не сохранено"), std::string::npos) << s.error;
    EXPECT_FALSE(store.refresh());
    EXPECT_EQ(snapshot(folder.path()), before);
}

INSTANTIATE_TEST_SUITE_P(
    Files, StoreLeavesAlone,
    ::testing::Values(Hostile{"DamagedRoster", damaged, "повреждён"},
                      Hostile{"TextFile",
                              [](const fs::path& f) {
                                  return put(f, "ФИО;Табельный номер\r\nИванов;101\r\n") ? ""
                                                                                         : "cannot write";
                              },
                              "не база данных SQLite"},
                      Hostile{"AnotherProgramsDatabase",
                              [](const fs::path& f) {
                                  return sqliteFile(f, "PRAGMA application_id = 7; CREATE TABLE people (x);");
                              },
                              "другой программы"},
                      Hostile{"RosterOfALaterVersion",
                              [](const fs::path& f) {
                                  return sqliteFile(
                                      f, "PRAGMA application_id = " + std::to_string(kRosterApplicationId) +
                                             "; PRAGMA user_version = 2; CREATE TABLE people (x);");
                              },
                              "более новой версией"},
                      Hostile{"Fifo", std::bind_front(make, Thing::Fifo), "не обычный файл"},
                      Hostile{"LinkToDevice", std::bind_front(make, Thing::LinkToDevice), "не обычный файл"},
                      Hostile{"Folder", std::bind_front(make, Thing::Folder), "это папка"}),
    [](const auto& info) { return std::string(info.param.name); });

// A roster on a write-protected stick: read there, and edited in the user's folder when there is one.
TEST(StorePlaces, ReadOnlyPlaceOpensForReadingAndEditsGoToTheWriteFolder) {
    TempFolder folder;
    const fs::path stick = folder / "stick", config = folder / "config" / "sutograf";
    fs::create_directory(stick);
    ASSERT_TRUE(RosterStore(stick / "sutograf.db", stick, 0).addPerson(somebody("Иванов")));
    SKIP_UNLESS_MADE(trouble::makeReadOnly(stick));
    const auto asOrdinaryUser = trouble::noRootOverride();
    const auto before = snapshot(stick);
    RosterStore readOnly(stick / "sutograf.db", stick, 0);
    EXPECT_EQ(readOnly.roster().people.size(), 1u);
    EXPECT_FALSE(readOnly.writable());
    EXPECT_NE(readOnly.problem().find("только для чтения"), std::string::npos) << readOnly.problem();
    const Saved refused = readOnly.addPerson(somebody("Петров"));
    EXPECT_NE(refused.error.find("только для чтения"), std::string::npos) << refused.error;

    RosterStore store(stick / "sutograf.db", config, 0);
    EXPECT_TRUE(store.writable()) << store.problem();
    EXPECT_FALSE(fs::exists(config)) << "opening makes nothing";
    ASSERT_TRUE(store.addPerson(somebody("Петров")));
    EXPECT_EQ(store.path(), config / "sutograf.db");
    EXPECT_EQ(RosterStore(config / "sutograf.db", config, 0).roster().people.size(), 2u);
    EXPECT_EQ(snapshot(stick), before);
}

TEST_F(StoreFile, MadeByTheFirstSavedEditOnlyAndSeenByAnotherProgram) {
    RosterStore store(file, folder.path(), 0), other(file, folder.path(), 0);
    EXPECT_TRUE(store.writable());
    EXPECT_FALSE(store.addPerson(somebody("")));
    EXPECT_TRUE(fs::is_empty(folder.path())) << "neither opening nor a refused edit makes a file";
    ASSERT_TRUE(store.addPerson(somebody("Иванов")));
    ASSERT_TRUE(fs::is_regular_file(file));
    // Another program sees the file made, then each later edit, when its window is activated.
    EXPECT_TRUE(other.refresh());
    ASSERT_TRUE(store.addPerson(somebody("Петров")));
    EXPECT_TRUE(other.refresh());
    EXPECT_FALSE(other.refresh());
    EXPECT_EQ(other.roster(), store.roster());
    if (haveSqliteShell()) {
        EXPECT_EQ(shell(file, "PRAGMA application_id; PRAGMA user_version; PRAGMA journal_mode;"),
                  std::to_string(kRosterApplicationId) + "\n1\ndelete\n");
    }
    EXPECT_EQ(snapshot(folder.path()).size(), 1u) << "no journal or temporary file left";
}

// A file another program holds longer than the store waits (5 s) is not taken for a bad one: the
// store says it is busy, and reads it at the next look or edit once it is let go.
TEST_F(StoreFile, HeldByAnotherProgramIsReadOnceLetGo) {
    ASSERT_TRUE(RosterStore(file, folder.path(), 0).addPerson(somebody("Иванов")));
    sql::Connection holder;
    ASSERT_EQ(holder.open(file.string(), SQLITE_OPEN_READWRITE), SQLITE_OK);
    ASSERT_EQ(holder.exec("BEGIN EXCLUSIVE"), SQLITE_OK);
    // Two stores, each waiting out the hold: one looks again, the other edits.
    auto opening =
        std::async(std::launch::async, [&] { return std::make_unique<RosterStore>(file, folder.path(), 0); });
    RosterStore store(file, folder.path(), 0);
    const auto later = opening.get();
    EXPECT_NE(store.problem().find("занят другой программой"), std::string::npos) << store.problem();
    EXPECT_TRUE(store.roster().people.empty());
    ASSERT_EQ(holder.exec("COMMIT"), SQLITE_OK);
    EXPECT_TRUE(store.refresh());
    EXPECT_EQ(store.roster().people.size(), 1u);
    EXPECT_TRUE(store.problem().empty()) << store.problem();
    EXPECT_NE(later->problem().find("занят другой программой"), std::string::npos) << later->problem();
    EXPECT_TRUE(later->addPerson(somebody("Петров")));
    EXPECT_EQ(later->roster().people.size(), 2u);
}

// The mechanism that later versions will use: the file copied aside byte for byte first, and a step
// that fails leaves the file as it was.
TEST_F(StoreFile, MigrationCopiesTheFileAsideFirst) {
    ASSERT_TRUE(RosterStore(file, folder.path(), 0).addPerson(somebody("Иванов")));
    const auto v1 = bytesOf(file);
    sql::Connection db;
    ASSERT_EQ(db.open(file.string(), SQLITE_OPEN_READWRITE), SQLITE_OK);
    ASSERT_TRUE(configureConnection(db));
    const Migration broken[] = {{1, "ALTER TABLE nowhere ADD COLUMN rank TEXT"}};
    EXPECT_TRUE(migrateRoster(db, file, broken, 2).has_value());
    EXPECT_EQ(bytesOf(file), v1);
    const Migration addRank[] = {{1, "ALTER TABLE people ADD COLUMN rank TEXT NOT NULL DEFAULT ''"}};
    EXPECT_EQ(migrateRoster(db, file, addRank, 2), std::nullopt);
    db.close();
    EXPECT_EQ(bytesOf(migrationCopyPath(file, 1)), v1);
    EXPECT_EQ(migrationCopyPath(file, 1).filename(), "sutograf.v1.db");
    RosterStore later(file, folder.path(), 0);
    EXPECT_NE(later.problem().find("более новой версией"), std::string::npos) << later.problem();
}

} // namespace
