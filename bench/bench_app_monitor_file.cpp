// Monitor files that are hard on the view: one very long line, a whole-monitor copy, and
// a file far larger than the monitor holds. Figures are medians of several runs in one
// process, on a shown view of 900×600.
//
//   bench_app_monitor_file --line=1        loads a file of one line of hex pairs of 1 MB
//                                          of text and prints the load time, the cost of
//                                          a repaint with the caret at the start and at the
//                                          end, of Ctrl+End, of a caret step, and the CPU
//                                          the idle view uses (blinking caret) over 3 s
//   bench_app_monitor_file --copy=146000   fills the view with that many monitor lines,
//                                          selects all and copies; prints the time of the
//                                          copy and of a reader taking the text off the
//                                          clipboard
//   bench_app_monitor_file --open=200      loads a file of 200 MB (lines of hex pairs) and
//                                          prints time, outcome and peak memory
//
// Run with QT_QPA_PLATFORM=offscreen.

#include "MonitorBenchUtil.h"
#include "app/monitor/MonitorView.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QKeyEvent>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>

namespace {

constexpr int kRuns = 7;

double MedianMs(const std::function<void()>& work, int runs = kRuns)
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        work();
        ms.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

// An RTF monitor file whose text is `lines` lines of hex pairs, each about `lineBytes`
// characters long, in the monitor's received-text colour.
bool WriteHexFile(const QString& path, qint64 lines, qint64 lineBytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(
        "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}}\r\n"
        "{\\colortbl ;\\red0\\green0\\blue200;}\r\n\\viewkind4\\uc1\\pard\\f0\\fs18\\cf1 ");
    QByteArray line;
    static const char digits[] = "0123456789ABCDEF";
    for (qint64 i = 0; line.size() + 3 <= lineBytes; ++i) {
        line += digits[(i >> 4) & 15];
        line += digits[i & 15];
        line += ' ';
    }
    line += "\\par\r\n";
    for (qint64 i = 0; i < lines; ++i)
        if (file.write(line) != line.size())
            return false;
    file.write("}");
    return file.flush();
}

void Settle()
{
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

int RunLongLine(double megabytes)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("line.tnf"));
    if (!WriteHexFile(path, 1, static_cast<qint64>(megabytes * 1e6)))
        return 1;
    CMonitorView view;
    view.resize(900, 600);
    view.show();
    view.activateWindow();
    view.setFocus();
    Settle();

    QElapsedTimer load;
    load.start();
    const bool loaded = view.LoadFile(path);
    const double loadMs = static_cast<double>(load.nsecsElapsed()) / 1e6;
    view.repaint();
    Settle();
    std::printf("long line of %.1f MB: loaded %s in %.0f ms, %d characters in %d lines\n",
                megabytes, loaded ? "yes" : "no", loadMs, view.GetTextLength(),
                view.document()->blockCount());
    if (!loaded) {
        std::printf("  %s\n", qPrintable(view.LastFileError()));
        return 0;
    }

    const double paintStart = MedianMs([&] { view.viewport()->repaint(); });
    const double caretStart = MedianMs([&] { (void)view.cursorRect(); });
    QElapsedTimer end;
    end.start();
    QKeyEvent ctrlEnd(QEvent::KeyPress, Qt::Key_End, Qt::ControlModifier);
    QApplication::sendEvent(&view, &ctrlEnd);
    view.viewport()->repaint();
    const double ctrlEndMs = static_cast<double>(end.nsecsElapsed()) / 1e6;
    const double paintEnd = MedianMs([&] { view.viewport()->repaint(); });
    const double caretEnd = MedianMs([&] { (void)view.cursorRect(); });
    const double step = MedianMs([&] {
        QKeyEvent left(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier);
        QApplication::sendEvent(&view, &left);
        view.viewport()->repaint();
    });

    vrlbench::PaintCounter paints;
    view.viewport()->installEventFilter(&paints);
    const double cpu0 = vrlbench::CpuSeconds();
    QElapsedTimer idle;
    idle.start();
    QEventLoop loop;
    QTimer::singleShot(3000, &loop, &QEventLoop::quit);
    loop.exec();
    const double idleShare =
        (vrlbench::CpuSeconds() - cpu0) / (static_cast<double>(idle.elapsed()) / 1e3);

    std::printf("  repaint, caret at start: %.2f ms; caret rectangle: %.3f ms\n", paintStart,
                caretStart);
    std::printf("  Ctrl+End with its repaint: %.1f ms\n", ctrlEndMs);
    std::printf("  repaint, caret at end: %.2f ms; caret rectangle: %.3f ms\n", paintEnd, caretEnd);
    std::printf("  caret one step left with its repaint: %.2f ms\n", step);
    std::printf("  idle with the caret blinking: %.1f %% of a core, %ld repaints in 3 s\n",
                idleShare * 100, paints.m_paints);
    return 0;
}

int RunCopy(int lines)
{
    CMonitorView view;
    view.resize(900, 600);
    view.show();
    Settle();
    view.BeginAppend();
    for (int i = 0; i < lines; ++i) {
        view.AppendText(QStringLiteral("[12:30:05  15] COM"), 5);
        view.AppendText(QStringLiteral("1"), 1);
        view.AppendText(QString(QChar(0x2191)), 5);
        view.AppendText(QStringLiteral("01 03 %1\n").arg(i % 65536, 4, 16, QLatin1Char('0')), 3);
    }
    view.EndAppend();
    view.Refresh();
    Settle();
    std::printf("whole-monitor copy of %d lines, %d characters\n", lines, view.GetTextLength());

    QClipboard* clipboard = QGuiApplication::clipboard();
    qsizetype got = 0;
    QStringList formats;
    const double copyMs = MedianMs(
        [&] {
            view.OnEditSelectAll();
            view.OnEditCopy();
        },
        3);
    const double readMs = MedianMs(
        [&] {
            view.OnEditSelectAll();
            view.OnEditCopy();
            // What a program pasting it (or a clipboard manager) does: asks which forms there
            // are, then takes the text.
            const QMimeData* data = clipboard->mimeData();
            formats = data->formats();
            got = data->text().size();
        },
        3);
    std::printf(
        "  copy: %.0f ms; copy and take the text off the clipboard: %.0f ms (%lld characters, forms: %s)\n",
        copyMs, readMs, static_cast<long long>(got), qPrintable(formats.join(QLatin1Char(' '))));
    return 0;
}

int RunOpen(double megabytes)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.tnf"));
    const qint64 lineBytes = 3 * 4096;
    if (!WriteHexFile(path, static_cast<qint64>(megabytes * 1e6) / lineBytes, lineBytes))
        return 1;
    CMonitorView view;
    view.resize(900, 600);
    view.show();
    Settle();
    const long before = vrlbench::MemoryUse::Now().m_peakKb;
    QElapsedTimer t;
    t.start();
    const bool loaded = view.LoadFile(path);
    const double ms = static_cast<double>(t.nsecsElapsed()) / 1e6;
    std::printf("open %.0f MB file: %s in %.0f ms, peak memory %ld MB (%ld MB before)\n", megabytes,
                loaded ? "loaded" : "refused", ms, vrlbench::MemoryUse::Now().m_peakKb / 1024,
                before / 1024);
    if (!view.LastFileError().isEmpty())
        std::printf("  %s\n", qPrintable(view.LastFileError()));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--line=", 7) == 0)
            return RunLongLine(std::atof(argv[i] + 7));
        if (std::strncmp(argv[i], "--copy=", 7) == 0)
            return RunCopy(std::atoi(argv[i] + 7));
        if (std::strncmp(argv[i], "--open=", 7) == 0)
            return RunOpen(std::atof(argv[i] + 7));
    }
    std::fprintf(stderr, "usage: %s --line=MB | --copy=LINES | --open=MB\n", argv[0]);
    return 2;
}
