// «Табель» on the full station of station.h, stored in a temporary sutograf.db, offscreen, the paint
// included: opening it for a watch of 15 people (the first time, with the roster read from the file; and
// again, with the roster already read), and a mark reflected in the table (the store's synced edit and
// the table's answer to it; the table's answer alone).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTableView>
#include <QTemporaryDir>

#include "bazovy_karaul.h"
#include "frm_timesheet.h"
#include "range_statistics.h"
#include "roster_source.h"
#include "station_store.h"
#include "timesheet_model.h"

namespace {

using namespace sutograf;

LocalTime clock() { return {*dateOf(2025, 3, 12)}; }

// The station in its own folder, made once for all the benchmarks.
struct Stored {
    Stored() {
        const std::filesystem::path folder = dir.path().toStdString();
        RosterStore store(folder / RosterStore::kFileName, folder, 0);
        if (!bench::storeStation(store, bench::makeStation(2025))) {
            std::abort();
        }
    }
    QTemporaryDir dir;
    RotaOffset offset{SettingsPlace(dir.path())};
};

Stored& stored() {
    static Stored s;
    return s;
}

void showAndPaint(QWidget& w) {
    w.show();
    QApplication::processEvents();
    w.repaint();
}

void BM_OpenTimesheetReadingTheFile(benchmark::State& state) {
    for (auto _ : state) {
        RosterSource roster(stored().offset);
        frmTimesheet window(roster, &clock);
        window.showMonth(3, 2025, 3);
        showAndPaint(window);
    }
}
BENCHMARK(BM_OpenTimesheetReadingTheFile)->Unit(benchmark::kMillisecond)->Apply(withRange);

void BM_OpenTimesheet(benchmark::State& state) {
    RosterSource roster(stored().offset);
    roster.store();
    for (auto _ : state) {
        frmTimesheet window(roster, &clock);
        window.showMonth(3, 2025, 3);
        showAndPaint(window);
    }
}
BENCHMARK(BM_OpenTimesheet)->Unit(benchmark::kMillisecond)->Apply(withRange);

// A day off of the first person marked and unmarked in turn: each an edit synced to the disk, then the
// table repainted.
void BM_MarkSavedAndShown(benchmark::State& state) {
    RosterSource roster(stored().offset);
    frmTimesheet window(roster, &clock);
    window.showMonth(3, 2025, 3);
    showAndPaint(window);
    const TimesheetRow& first = *window.model().rowAt(0);
    const PersonId who = first.person.id;
    Date free{};
    for (std::size_t i = 0; i < first.days.size() && free == Date{}; ++i) {
        const TimesheetDay& d = first.days[i];
        if (d.day.status == DayStatus::Off && !d.day.absence && d.hours.workedMinutes == 0) {
            free = Date{window.model().sheet().days.first.serial + static_cast<int>(i)};
        }
    }
    bool mark = true;
    for (auto _ : state) {
        window.selectDays(who, free, free);
        if (!(mark ? window.markSelected(Absence::Unexplained) : window.unmarkSelected())) {
            state.SkipWithError("the edit was refused");
            break;
        }
        window.table()->viewport()->repaint();
        mark = !mark;
    }
}
BENCHMARK(BM_MarkSavedAndShown)->Unit(benchmark::kMillisecond)->Apply(withRange);

// What follows the store's answer to a mark: the sheet counted again and the table repainted.
void BM_TableShowsAMark(benchmark::State& state) {
    RosterSource roster(stored().offset);
    frmTimesheet window(roster, &clock);
    window.showMonth(3, 2025, 3);
    showAndPaint(window);
    for (auto _ : state) {
        window.recount();
        window.table()->viewport()->repaint();
    }
}
BENCHMARK(BM_TableShowsAMark)->Unit(benchmark::kMillisecond)->Apply(withRange);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
