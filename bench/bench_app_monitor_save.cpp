// Saving and loading a full monitor (the view's text limit, 8 Mi characters of coloured
// lines) on the window thread: how long the window stands still for a save of a long watch.
#include "app/monitor/MonitorView.h"
#include "app/send/SendEditRichText.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>

#include <memory>

namespace {

// A view filled to just under its text limit with monitor lines in three colours (port,
// time, message), as a long watch leaves it.
CMonitorView& FullView()
{
    static std::unique_ptr<CMonitorView> view;
    if (!view) {
        view = std::make_unique<CMonitorView>();
        const QString message = QStringLiteral(
            "01 03 0A 00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10 11 12 13 14 D5 CA");
        const int limit = view->GetTextLimit();
        const int lineLength = 5 + 9 + static_cast<int>(message.size()) + 1;
        int length = 0;
        int line = 0;
        view->BeginAppend();
        while (length + lineLength < limit - 1) {
            view->AppendText(line % 2 ? QStringLiteral("COM1↑") : QStringLiteral("COM2↓"), 0);
            view->AppendText(QStringLiteral("12:34:56 "), 5);
            view->AppendText(message + QStringLiteral("\n"), line % 2 ? 1 : 2);
            length += lineLength;
            ++line;
        }
        view->EndAppend();
    }
    return *view;
}

QString BenchFile()
{
    return QDir::tempPath() + QStringLiteral("/vrl_bench_monitor_save.tnf");
}

void BM_SaveFullMonitor(benchmark::State& state)
{
    CMonitorView& view = FullView();
    for (auto _ : state) {
        if (!view.SaveFile(BenchFile()))
            state.SkipWithError("save failed");
    }
    state.counters["chars"] = view.GetTextLength();
    state.counters["file_MB"] = static_cast<double>(QFile(BenchFile()).size()) / 1e6;
}
BENCHMARK(BM_SaveFullMonitor)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// The part of a save that must stay on the window thread if the file were written from a
// snapshot by a worker: reading the document into the core's rich-text model.
void BM_SnapshotFullMonitor(benchmark::State& state)
{
    CMonitorView& view = FullView();
    for (auto _ : state)
        benchmark::DoNotOptimize(SendEditRichText::FromDocument(*view.document()));
}
BENCHMARK(BM_SnapshotFullMonitor)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

void BM_LoadFullMonitor(benchmark::State& state)
{
    CMonitorView& view = FullView();
    view.SaveFile(BenchFile());
    CMonitorView other;
    for (auto _ : state) {
        if (!other.LoadFile(BenchFile()))
            state.SkipWithError("load failed");
    }
    state.counters["chars"] = other.GetTextLength();
}
BENCHMARK(BM_LoadFullMonitor)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    QFile::remove(BenchFile());
    return 0;
}
