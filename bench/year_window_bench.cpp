// What the user waits for in the year window, offscreen, paint included: opening it (reading its
// files, counting the year, laying out and drawing the window), and switching the year.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QSpinBox>
#include <QTemporaryDir>

#include "frm_year.h"
#include "range_statistics.h"

namespace {

using namespace sutograf;

LocalTime clock() { return {dateFromText("07.12.2026").value()}; }

// show() and the paint it posts; repaint() makes sure the drawing is done before the clock stops.
void showAndPaint(QWidget& w) {
    w.show();
    QApplication::processEvents();
    w.repaint();
}

void BM_OpenYearWindow(benchmark::State& state) {
    QTemporaryDir dir;
    for (auto _ : state) {
        frmYear window(2026, &clock, SettingsPlace(dir.path()));
        showAndPaint(window);
    }
}
BENCHMARK(BM_OpenYearWindow)->Unit(benchmark::kMillisecond)->Apply(withRange);

void BM_SwitchYear(benchmark::State& state) {
    QTemporaryDir dir;
    frmYear window(2026, &clock, SettingsPlace(dir.path()));
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

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
