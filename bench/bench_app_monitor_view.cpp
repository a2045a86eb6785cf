// The monitor view under load.
//
//   bench_app_monitor_view                 micro figures (Google Benchmark): appending a
//                                          monitor line to a hidden view; painting a screen
//                                          of long lines
//   bench_app_monitor_view --stream=20     a producer thread feeds 4096-byte messages as
//                                          fast as the window takes them for 20 s, with the
//                                          view shown; prints bytes/s shown, the worst
//                                          lateness of a 10 ms timer and peak memory
//       --unthrottled                      the same, repainting after every batch
//       --rate=2                           the same, fed at 2 MB/s
//       --wrap                             the same, with word wrap on
//   bench_app_monitor_view --sweep=32      fills the shown view to 32 million characters
//       [--size=10] [--files]              (messages of 4096 or the given number of bytes)
//                                          and prints append speed, memory, and the time
//                                          of clear, find (and save and load) per size
//
// Run with QT_QPA_PLATFORM=offscreen (or under Xvfb).

#include "MonitorBenchUtil.h"
#include "app/monitor/MonitorView.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTime>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <functional>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

QString HexText(const std::string& bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    QString text;
    if (bytes.empty())
        return text;
    text.resize(static_cast<qsizetype>(bytes.size() * 3 - 1));
    QChar* out = text.data();
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (i > 0)
            *out++ = QLatin1Char(' ');
        *out++ = QLatin1Char(digits[b >> 4]);
        *out++ = QLatin1Char(digits[b & 15]);
    }
    return text;
}

std::vector<std::string> MakeMessages(std::size_t count, std::size_t size)
{
    std::mt19937 rng(42);
    std::vector<std::string> messages(count, std::string(size, '\0'));
    for (std::string& m : messages)
        for (char& c : m)
            c = static_cast<char>(rng() & 0xFF);
    return messages;
}

// One monitor line as the receive pipeline writes it: time stamp, "COM", number, arrow,
// hex text with its line end.
void AppendLine(CMonitorView& view, const std::string& bytes, int port)
{
    const QString stamp = QLatin1Char('[')
                          + QTime::currentTime().toString(QStringLiteral("HH:mm:ss"))
                          + QStringLiteral("  15] ");
    view.AppendText(stamp, 5);
    view.AppendText(QStringLiteral("COM"), 5);
    view.AppendText(QString::number(port + 1), 1);
    view.AppendText(QString(QChar(0x2191)), 5);
    view.AppendText(HexText(bytes) + QLatin1Char('\n'), 3);
}

// --- micro figures ------------------------------------------------------------------------

void BM_AppendLineHidden(benchmark::State& state)
{
    const auto size = static_cast<std::size_t>(state.range(0));
    const std::vector<std::string> messages = MakeMessages(64, size);
    CMonitorView view;
    std::size_t i = 0;
    for (auto _ : state) {
        view.BeginAppend();
        AppendLine(view, messages[i++ % messages.size()], 0);
        view.EndAppend();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
}
BENCHMARK(BM_AppendLineHidden)->Arg(10)->Arg(4096);

// One screen of lines of 4096-byte messages (12,287 characters) in a shown view of 900x600
// at the end of the text, painted whole: as laid out already (0), laid out anew first (1),
// a screenful of new lines appended and shown by the refresh (2), as under a flood, or laid
// out already and scrolled sideways, a third and two thirds of the way in turn (3).
void BM_ShowScreenOfLongLines(benchmark::State& state)
{
    const int how = static_cast<int>(state.range(0));
    const std::vector<std::string> messages = MakeMessages(64, 4096);
    CMonitorView view;
    view.resize(900, 600);
    view.show();
    view.BeginAppend();
    for (const std::string& message : messages)
        AppendLine(view, message, 0);
    view.EndAppend();
    view.Refresh();
    QApplication::processEvents();
    QScrollBar* sideways = view.horizontalScrollBar();
    std::size_t next = 0;
    for (auto _ : state) {
        if (how == 2) {
            state.PauseTiming();
            view.BeginAppend();
            for (int i = 0; i < 40; ++i)
                AppendLine(view, messages[next++ % messages.size()], 0);
            view.EndAppend();
            state.ResumeTiming();
            view.Refresh();
            QApplication::processEvents();
            continue;
        }
        if (how == 3) // dragged to and fro
            sideways->setValue(sideways->maximum() * (next++ % 2 == 0 ? 1 : 2) / 3);
        if (how == 1)
            for (QTextBlock block = view.GetDocument()->lastBlock();
                 block.isValid() && block.blockNumber() > 20; block = block.previous())
                block.layout()->clearLayout();
        view.viewport()->repaint();
    }
}
BENCHMARK(BM_ShowScreenOfLongLines)->Arg(0)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);

// --- stream ---------------------------------------------------------------------------------

// Stands in for the serial workers: fills a queue as fast as the window empties it, never
// holding more than a driver's buffer of 256 kB, and wakes the window with a queued call
// when the queue was empty.
class Producer
{
public:
    // bytesPerSecond 0: as fast as the window takes the messages.
    Producer(QObject* receiver, std::function<void()> wake, double bytesPerSecond)
        : m_bytesPerSecond(bytesPerSecond), m_receiver(receiver), m_wake(std::move(wake)),
          m_messages(MakeMessages(256, 4096))
    {
    }
    void Start()
    {
        m_thread = std::thread([this] { Run(); });
    }
    void Stop()
    {
        {
            std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_space.notify_all();
        m_thread.join();
    }
    std::deque<const std::string*> Take()
    {
        std::deque<const std::string*> taken;
        {
            std::lock_guard lock(m_mutex);
            taken.swap(m_queue);
            m_queuedBytes = 0;
        }
        m_space.notify_all();
        return taken;
    }

private:
    void Run()
    {
        std::size_t i = 0;
        std::size_t produced = 0;
        const auto start = std::chrono::steady_clock::now();
        std::unique_lock lock(m_mutex);
        while (!m_stop) {
            m_space.wait(lock, [this] { return m_stop || m_queuedBytes < kCapacity; });
            if (m_stop)
                break;
            if (m_bytesPerSecond > 0) {
                // A line of that speed: the next message is due when the bytes so far are.
                const auto due = start
                                 + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                     std::chrono::duration<double>(produced / m_bytesPerSecond));
                if (m_space.wait_until(lock, due, [this] { return m_stop; }))
                    break;
            }
            const bool wasEmpty = m_queue.empty();
            const std::string* message = &m_messages[i++ % m_messages.size()];
            m_queue.push_back(message);
            m_queuedBytes += message->size();
            produced += message->size();
            if (wasEmpty)
                QMetaObject::invokeMethod(m_receiver, m_wake, Qt::QueuedConnection);
        }
    }

    static constexpr std::size_t kCapacity = 256 * 1024;
    double m_bytesPerSecond;
    QObject* m_receiver;
    std::function<void()> m_wake;
    std::vector<std::string> m_messages;
    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_space;
    std::deque<const std::string*> m_queue;
    std::size_t m_queuedBytes = 0;
    bool m_stop = false;
};

int RunStream(double seconds, bool unthrottled, double bytesPerSecond, bool wrap)
{
    CMonitorView view;
    view.SetWordWrap(wrap ? 1 : 0);
    view.resize(900, 600);
    view.show();
    QApplication::processEvents();

    long long shownBytes = 0;
    long long lines = 0;
    long long batches = 0;
    int clears = 0;
    int lastLength = 0;
    Producer* producer = nullptr;
    qint64 worstRefreshNs = 0;
    qint64 worstBatchNs = 0;
    auto drain = [&] {
        worstRefreshNs = std::max(worstRefreshNs, view.GetLastRefreshCostNs());
        QElapsedTimer batch;
        batch.start();
        const std::deque<const std::string*> messages = producer->Take();
        view.BeginAppend();
        for (const std::string* m : messages) {
            AppendLine(view, *m, 0);
            shownBytes += static_cast<long long>(m->size());
            ++lines;
        }
        view.EndAppend();
        worstBatchNs = std::max(worstBatchNs, batch.nsecsElapsed());
        ++batches;
        if (view.GetTextLength() < lastLength)
            ++clears;
        lastLength = view.GetTextLength();
        if (unthrottled)
            view.Refresh();
    };
    Producer feed(&view, drain, bytesPerSecond);
    producer = &feed;

    vrlbench::StallProbe probe;
    vrlbench::PaintCounter paints;
    view.viewport()->installEventFilter(&paints);
    QElapsedTimer clock;
    probe.Start();
    clock.start();
    const double cpu0 = vrlbench::CpuSeconds();
    feed.Start();
    QTimer::singleShot(static_cast<int>(seconds * 1000), qApp, &QCoreApplication::quit);
    QApplication::exec();
    const double elapsed = clock.nsecsElapsed() / 1e9;
    const double cpu = vrlbench::CpuSeconds() - cpu0;
    probe.Stop();
    feed.Stop();

    const vrlbench::MemoryUse memory = vrlbench::MemoryUse::Now();
    std::printf("stream %s%s%s: %.1f s, %lld bytes shown = %.2f MB/s (%lld lines, %lld batches,"
                " %d clears at the limit of %d characters)\n",
                unthrottled ? "unthrottled" : "throttled",
                bytesPerSecond > 0 ? " at a fixed rate" : "", wrap ? ", word wrap" : "", elapsed,
                shownBytes, shownBytes / elapsed / 1e6, lines, batches, clears,
                view.GetTextLimit());
    std::printf("  10 ms timer: %ld ticks, worst lateness %.1f ms; %ld repaints, worst refresh"
                " %.1f ms, worst batch %.1f ms; %.1f CPU s (%.2f MB per CPU s)\n",
                probe.Ticks(), probe.WorstLatenessMs(), paints.m_paints, worstRefreshNs / 1e6,
                worstBatchNs / 1e6, cpu, shownBytes / cpu / 1e6);
    std::printf("  memory: resident %ld kB, peak %ld kB\n", memory.m_rssKb, memory.m_peakKb);
    return 0;
}

// --- sweep ----------------------------------------------------------------------------------

int RunSweep(int maxMillions, std::size_t messageSize, bool withFiles)
{
    CMonitorView view;
    view.SetTextLimit(std::numeric_limits<int>::max());
    view.resize(900, 600);
    view.show();
    QApplication::processEvents();
    const std::vector<std::string> messages = MakeMessages(256, messageSize);
    const int linesPerBatch = static_cast<int>(std::max<std::size_t>(8, 32768 / messageSize));
    const long baseKb = vrlbench::MemoryUse::Now().m_rssKb;

    vrlbench::PaintCounter paints;
    view.viewport()->installEventFilter(&paints);
    std::printf("%8s %12s %12s %8s %10s %10s %10s %10s %10s %10s\n", "Mchars", "append MB/s",
                "MB/cpu-s", "paints", "RSS MB", "clear ms", "find ms", "save ms", "load ms",
                "blocks");
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("sweep.tnf"));
    std::size_t next = 0;
    for (int step = 1; step <= maxMillions; step *= 2) {
        const int target = step * 1000 * 1000;
        QElapsedTimer clock;
        clock.start();
        const double cpu0 = vrlbench::CpuSeconds();
        const long paints0 = paints.m_paints;
        long long bytes = 0;
        while (view.GetTextLength() < target) {
            view.BeginAppend();
            for (int i = 0; i < linesPerBatch; ++i) {
                AppendLine(view, messages[next++ % messages.size()], 0);
                bytes += static_cast<long long>(messageSize);
            }
            view.EndAppend();
            QApplication::processEvents();
        }
        const double appendMBs = bytes / (clock.nsecsElapsed() / 1e9) / 1e6;
        const double appendCpuMBs = bytes / (vrlbench::CpuSeconds() - cpu0) / 1e6;
        const long stepPaints = paints.m_paints - paints0;
        QApplication::processEvents();
        const double rssMb = (vrlbench::MemoryUse::Now().m_rssKb - baseKb) / 1024.0;
        const int blocks = view.document()->blockCount();

        // A find that fails reads the whole text.
        view.moveCursor(QTextCursor::Start);
        clock.restart();
        view.FindText(QStringLiteral("not in a hex text"), false, false, true);
        const double findMs = clock.nsecsElapsed() / 1e6;

        // The whole text as a monitor file, and back into a second view (left out when
        // only memory is wanted: what they free stays with the process).
        double saveMs = 0;
        double loadMs = 0;
        if (withFiles) {
            clock.restart();
            const bool saved = view.SaveFile(file);
            saveMs = clock.nsecsElapsed() / 1e6;
            CMonitorView loaded;
            clock.restart();
            const bool read = loaded.LoadFile(file);
            loadMs = clock.nsecsElapsed() / 1e6;
            if (!saved || !read || loaded.GetTextLength() != view.GetTextLength()) {
                std::printf("save or load failed\n");
                return 1;
            }
        }

        double clearMs = 0;
        if (step * 2 > maxMillions) {
            clock.restart();
            view.ClearAll(true);
            QApplication::processEvents();
            clearMs = clock.nsecsElapsed() / 1e6;
        }
        std::printf("%8d %12.1f %12.1f %8ld %10.1f %10.1f %10.1f %10.1f %10.1f %10d\n", step,
                    appendMBs, appendCpuMBs, stepPaints, rssMb, clearMs, findMs, saveMs, loadMs,
                    blocks);
    }
    // Refill after the clear: memory must not grow past the first fill.
    while (view.GetTextLength() < maxMillions * 1000 * 1000 / 2) {
        view.BeginAppend();
        for (int i = 0; i < linesPerBatch; ++i)
            AppendLine(view, messages[next++ % messages.size()], 0);
        view.EndAppend();
        QApplication::processEvents();
    }
    const vrlbench::MemoryUse memory = vrlbench::MemoryUse::Now();
    std::printf("after clear and refill to half: RSS %.1f MB, peak %.1f MB\n",
                (memory.m_rssKb - baseKb) / 1024.0, (memory.m_peakKb - baseKb) / 1024.0);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--stream=", 9) == 0) {
            bool unthrottled = false;
            bool wrap = false;
            double rate = 0;
            for (int j = 1; j < argc; ++j) {
                unthrottled = unthrottled || std::strcmp(argv[j], "--unthrottled") == 0;
                wrap = wrap || std::strcmp(argv[j], "--wrap") == 0;
                if (std::strncmp(argv[j], "--rate=", 7) == 0)
                    rate = std::atof(argv[j] + 7) * 1e6;
            }
            return RunStream(std::atof(argv[i] + 9), unthrottled, rate, wrap);
        }
        if (std::strncmp(argv[i], "--sweep=", 8) == 0) {
            std::size_t size = 4096;
            for (int j = 1; j < argc; ++j)
                if (std::strncmp(argv[j], "--size=", 7) == 0)
                    size = static_cast<std::size_t>(std::max(1, std::atoi(argv[j] + 7)));
            bool withFiles = false;
            for (int j = 1; j < argc; ++j)
                withFiles = withFiles || std::strcmp(argv[j], "--files") == 0;
            return RunSweep(std::atoi(argv[i] + 8), size, withFiles);
        }
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
