// One rebuild of the main window's grid with the repaint it causes, offscreen: what a user waits for
// after picking a month. The month changes every time, so all 56 cells really change their
// captions, colours and tooltips, and the frame comes and goes.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QTemporaryDir>

#include "form1.h"

namespace {

void BM_SutografFormirovanie(benchmark::State& state) {
    QTemporaryDir dir;
    sutograf::Form1 form([] { return sutograf::LocalTime{sutograf::dateFromText("09.03.2011").value()}; },
                         dir.path());
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
BENCHMARK(BM_SutografFormirovanie);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
