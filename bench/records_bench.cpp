#include <benchmark/benchmark.h>

#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "range_statistics.h"
#include "roster_rules.h"
#include "roster_schema.h"
#include "roster_store.h"
#include "roster_tables.h"
#include "station.h"

namespace {

using namespace sutograf;
namespace fs = std::filesystem;

// The station of bench/station.h stored in a folder of its own on the disk the temporary files are on
// (a real disk here: the synced commits cost what they cost a user).
class StoredStation {
public:
    StoredStation() {
        std::string name = (fs::temp_directory_path() / "sutograf-bench-XXXXXX").string();
        folder_ = ::mkdtemp(name.data()) != nullptr ? fs::path(name) : fs::path();
        const bench::Station s = bench::makeStation();
        offset_ = s.offset;
        RosterStore store(file(), folder_, offset_);
        ok_ = static_cast<bool>(store.addPeople(s.people));
        // The swaps in one transaction: 600 synced commits would only slow the setting up.
        sql::Connection db;
        ok_ = ok_ && db.open(file().string(), SQLITE_OPEN_READWRITE) == SQLITE_OK && configureConnection(db);
        if (!ok_) {
            return;
        }
        // Each swap judged as the store would judge it, against those before it.
        Roster judged = store.roster();
        sql::Transaction tx(db);
        for (const DutySwap& w : s.swaps) {
            std::int64_t id = 0;
            if (auto refused = checkSwap(judged, w, offset_)) {
                problem_ = *refused;
                ok_ = false;
            }
            ok_ = ok_ && insertSwap(db, w, id) == SQLITE_DONE;
            judged.swaps.push_back(w);
            judged.swaps.back().id = id;
        }
        ok_ = ok_ && tx.commit() == SQLITE_OK;
    }
    ~StoredStation() {
        std::error_code ec;
        fs::remove_all(folder_, ec);
    }
    fs::path file() const { return folder_ / "sutograf.db"; }
    const fs::path& folder() const { return folder_; }
    float offset() const { return offset_; }
    bool ok() const { return ok_; }
    const std::string& problem() const { return problem_; }

private:
    fs::path folder_;
    float offset_ = 0;
    bool ok_ = false;
    std::string problem_;
};

// What a window does when it opens: the file checked (path, header, quick_check) and read whole.
void BM_OpenAndReadWhole(benchmark::State& state) {
    const StoredStation station;
    if (!station.ok()) {
        state.SkipWithError(("the station was not stored: " + station.problem()).c_str());
        return;
    }
    for (auto _ : state) {
        RosterStore store(station.file(), station.folder(), station.offset());
        if (store.roster().people.size() != 60 || store.roster().swaps.size() != 600) {
            state.SkipWithError("the station did not come back whole");
            break;
        }
        benchmark::DoNotOptimize(store.roster());
    }
}
BENCHMARK(BM_OpenAndReadWhole)->Apply(withRange)->Unit(benchmark::kMillisecond);

// One edit as a window makes it: checked, written, committed (synced) and the roster reread. Adding
// and removing the same absence in turn, so the file stays the same size.
void BM_OneEditSaved(benchmark::State& state) {
    const StoredStation station;
    RosterStore store(station.file(), station.folder(), station.offset());
    const PersonRecord& p = store.roster().people.front();
    const Date day{p.watches.front().from.serial + 1};
    const PersonId who = p.person.id;
    std::int64_t added = 0;
    for (auto _ : state) {
        const Saved s = added == 0 ? store.addAbsence(who, {day, day, Absence::Unexplained, "", 0})
                                   : store.removeAbsence(added);
        if (!s) {
            state.SkipWithError(s.error.c_str());
            break;
        }
        added = added == 0 ? s.id : 0;
    }
}
BENCHMARK(BM_OneEditSaved)->Apply(withRange)->Unit(benchmark::kMillisecond);

// The floor under an edit: one synced transaction of one changed row, with nothing of the store around it.
void BM_OneSyncedTransaction(benchmark::State& state) {
    const StoredStation station;
    sql::Connection db;
    if (db.open(station.file().string(), SQLITE_OPEN_READWRITE) != SQLITE_OK || !configureConnection(db)) {
        state.SkipWithError("cannot open the file");
        return;
    }
    std::int64_t n = 0;
    for (auto _ : state) {
        sql::Transaction tx(db);
        sql::Statement s(db, "UPDATE people SET personnel_number = ? WHERE id = 1");
        s.bind(1, std::to_string(++n));
        if (s.run() != SQLITE_DONE || tx.commit() != SQLITE_OK) {
            state.SkipWithError("the transaction failed");
            break;
        }
    }
}
BENCHMARK(BM_OneSyncedTransaction)->Apply(withRange)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
