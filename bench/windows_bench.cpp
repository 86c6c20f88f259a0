// What the user waits for in the windows, offscreen, the paint included. The main window: one rebuild
// of its grid with the repaint it causes, as after picking a month (the month changes every time, so
// all 56 cells really change their captions, colours and tooltips, and the frame comes and goes).
// The year window: opening it (reading its files, counting the year, laying out and drawing), and
// switching its year, and switching it from one person's year to another's.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QSpinBox>
#include <QTemporaryDir>

#include "bazovy_karaul.h"
#include "form1.h"
#include "frm_year.h"
#include "range_statistics.h"
#include "station_store.h"

namespace {

using namespace sutograf;

void BM_SutografFormirovanie(benchmark::State& state) {
    QTemporaryDir dir;
    RotaOffset offset{SettingsPlace(dir.path())};
    Form1 form(offset, [] { return LocalTime{dateFromText("09.03.2011").value()}; });
    form.show();
    QApplication::processEvents(); // the first expose paints everything once
    auto* month = form.findChild<QComboBox*>(QStringLiteral("ПолеСоСпискомМесяц"));
    int m = 1;
    for (auto _ : state) {
        month->setProperty("Tag", QString::number(m));
        form.Sutograf_Formirovanie();
        // The rebuild only marks cells dirty; the paint runs when the window's update request is handled.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
        m = m % 12 + 1;
    }
}
BENCHMARK(BM_SutografFormirovanie)->Unit(benchmark::kMicrosecond)->Apply(withRange);

LocalTime clock() { return {dateFromText("07.12.2026").value()}; }

// show() and the paint it posts; repaint() makes sure the drawing is done before the clock stops.
void showAndPaint(QWidget& w) {
    w.show();
    QApplication::processEvents();
    w.repaint();
}

void BM_OpenYearWindow(benchmark::State& state) {
    QTemporaryDir dir;
    RotaOffset offset{SettingsPlace(dir.path())};
    for (auto _ : state) {
        frmYear window(2026, &clock, offset);
        showAndPaint(window);
    }
}
BENCHMARK(BM_OpenYearWindow)->Unit(benchmark::kMillisecond)->Apply(withRange);

void BM_SwitchYear(benchmark::State& state) {
    QTemporaryDir dir;
    RotaOffset offset{SettingsPlace(dir.path())};
    frmYear window(2026, &clock, offset);
    showAndPaint(window);
    auto* year = window.findChild<QSpinBox*>(QStringLiteral("yearBox"));
    int step = 1;
    for (auto _ : state) {
        year->setValue(year->value() + step); // 2026 <-> 2027: a table year and the provisional one
        step = -step;
        window.repaint();
    }
}
BENCHMARK(BM_SwitchYear)->Unit(benchmark::kMillisecond)->Apply(withRange);

// The station of station.h in sutograf.db; one switch from one person's year to another's (of another
// watch, with their own absences and swaps): their days, the seventeen rows of their hours, their
// accounting periods and the list redrawn, as choosing a name in the list does.
void BM_SwitchToAPerson(benchmark::State& state) {
    QTemporaryDir dir;
    {
        const std::filesystem::path folder = dir.path().toStdString();
        RosterStore store(folder / RosterStore::kFileName, folder, 0);
        if (!bench::storeStation(store, bench::makeStation(2025))) {
            state.SkipWithError("the station could not be stored");
            return;
        }
    }
    RotaOffset offset{SettingsPlace(dir.path())};
    frmYear window(2025, &clock, offset);
    showAndPaint(window);
    PersonId person = 1;
    for (auto _ : state) {
        window.choosePerson(person);
        window.repaint();
        person = person == 1 ? 20 : 1;
    }
}
BENCHMARK(BM_SwitchToAPerson)->Unit(benchmark::kMillisecond)->Apply(withRange);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
