// The plot dock's picture while it follows: 8 channels at 1000 samples a second each, added
// every 10 ms as a port's messages bring them, the view repainted about 30 times a second
// (as the plotting unit does while the dock is shown) over spans of 10 s, 60 s and 10 min.
// Prints the process's CPU in % of one core per span (the samples' own cost included) and
// the paint time per picture (median, 99th percentile).
//
//   QT_QPA_PLATFORM=offscreen build/bench/bench_app_plot [seconds per span]
//   xvfb-run -a build/bench/bench_app_plot 20
// Not a Google Benchmark: one run gives the figures.
#include "app/plot/PlotView.h"
#include "core/plot/PlotHistory.h"
#include "core/receive/MonitorLine.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <sys/resource.h>
#include <vector>

namespace {

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
           + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Times each paint.
class TimedView : public CPlotView
{
public:
    std::vector<double> m_ms;

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QElapsedTimer t;
        t.start();
        CPlotView::paintEvent(event);
        m_ms.push_back(double(t.nsecsElapsed()) / 1e6);
    }
};

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(2, std::atoi(argv[1])) : 10;
    std::vector<PlotHistory> histories(8);
    TimedView view;
    std::vector<CPlotView::Channel> channels;
    for (std::size_t i = 0; i < histories.size(); ++i)
        channels.push_back({QStringLiteral("ch%1").arg(i), QColor::fromHsv(int(i) * 45, 220, 200),
                            QString(), 1, 0, int(i % 2), &histories[i]});
    view.SetChannels(channels);
    view.resize(1200, 500);
    view.show();

    std::mt19937 random(3);
    std::int64_t n = 0;
    QTimer feed;
    QObject::connect(&feed, &QTimer::timeout, [&] {
        const std::int64_t now = SteadyMicroseconds();
        for (int k = 0; k < 10; ++k, ++n) {
            const std::int64_t t = now - (9 - k) * 1000;
            for (std::size_t c = 0; c < histories.size(); ++c) {
                const double v =
                    c < 4 ? double(int(random() % 200))
                          : std::round(std::sin(double(n) * 1e-3 * double(c)) * 1e4) / 100;
                histories[c].Append(t, v);
            }
        }
    });
    QTimer frame;
    QObject::connect(&frame, &QTimer::timeout, &view, [&] { view.update(); });

    // A minute of samples before the first span, so that every span is full.
    for (int i = 0; i < 6000; ++i) {
        const std::int64_t t = SteadyMicroseconds() - (6000 - i) * 10'000;
        for (std::size_t c = 0; c < histories.size(); ++c)
            histories[c].Append(t, double(i % 100));
    }
    feed.start(10);
    frame.start(33);
    std::printf("span_s  cpu_pct_of_core  paints  paint_p50_ms  paint_p99_ms\n");
    for (const int span : {10, 60, 600}) {
        view.SetSpanUs(std::int64_t{span} * 1'000'000);
        view.m_ms.clear();
        const double cpu = CpuSeconds();
        QElapsedTimer wall;
        wall.start();
        QEventLoop loop;
        QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
        loop.exec();
        const double used = CpuSeconds() - cpu;
        std::vector<double> ms = view.m_ms;
        std::sort(ms.begin(), ms.end());
        std::printf("%6d  %15.1f  %6zu  %12.2f  %12.2f\n", span,
                    100.0 * used / (double(wall.elapsed()) / 1000.0), ms.size(),
                    ms.empty() ? 0.0 : ms[ms.size() / 2],
                    ms.empty() ? 0.0 : ms[ms.size() * 99 / 100]);
    }
    return 0;
}
