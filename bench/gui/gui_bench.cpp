// The list view over a million entries: time to the first painted screen, and
// entries appended per second while the view stays live.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QHeaderView>
#include <QPixmap>
#include <QTableView>
#include <algorithm>
#include <chrono>

#include "app/gui/company_list_model.h"
#include "bench/bench_data.h"

namespace velmora::bench {
namespace {

using Clock = std::chrono::steady_clock;
constexpr size_t kEntries = 1000000;

void configure(QTableView& view) {
    view.setShowGrid(true);
    view.setSelectionBehavior(QAbstractItemView::SelectRows);
    view.verticalHeader()->setDefaultSectionSize(18);
    view.resize(715, 300);
}

void BM_GuiOpen(benchmark::State& state) {
    CompanyList list;
    fillList(list, kEntries);
    double ms = 0;
    for (auto _ : state) {
        auto started = Clock::now();
        gui::CompanyListModel model(list);
        QTableView view;
        configure(view);
        view.setModel(&model);
        view.show();
        QPixmap first = view.grab();  // paints the first screen
        benchmark::DoNotOptimize(first.width());
        ms = std::chrono::duration<double, std::milli>(Clock::now() - started).count();
    }
    state.counters["gui_open_ms"] = ms;
}
BENCHMARK(BM_GuiOpen)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_GuiAppend(benchmark::State& state) {
    constexpr size_t kAppend = 200000, kBurst = 4096;
    std::vector<RecordSlot> records;
    for (size_t i = 0; i < kAppend; ++i) records.push_back(sampleRecord(i));
    double rate = 0;
    for (auto _ : state) {
        CompanyList list;
        fillList(list, kEntries);
        gui::CompanyListModel model(list);
        QTableView view;
        configure(view);
        view.setModel(&model);
        view.show();
        view.grab();
        auto started = Clock::now();
        // Entries arrive in bursts, as dispatches and imports deliver them;
        // between bursts the event loop runs, publishes and repaints.
        for (size_t i = 0; i < kAppend; i += kBurst) {
            for (size_t j = i; j < std::min(i + kBurst, kAppend); ++j) {
                RecordSlot slot = records[j];
                list.intake(slot);
            }
            QApplication::processEvents();
            view.scrollToBottom();
            view.viewport()->repaint();
        }
        QApplication::processEvents();
        double seconds = std::chrono::duration<double>(Clock::now() - started).count();
        rate = static_cast<double>(kAppend) / seconds;
        if (model.rowCount() != static_cast<int>(kEntries + kAppend))
            state.SkipWithError("rows lost");
    }
    state.counters["gui_append_per_s"] = rate;
}
BENCHMARK(BM_GuiAppend)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace
}  // namespace velmora::bench

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
