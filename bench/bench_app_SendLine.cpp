// F2 in the main window with a 60,000-line send editor: the caret line's text, its check,
// the sent line in the monitor and the write to an open port (a pseudo-terminal).
#include "BenchFrame.h"
#include "BenchPty.h"
#include "app/frame/MainFrm.h"
#include "app/send/SendEditor.h"
#include "app/send/SendFrameWnd.h"
#include "core/base/CommandIds.h"
#include "core/serial/PortMap.h"
#include "core/settings/IniSettingsStore.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <unistd.h>

namespace {

constexpr int kLines = 60000;

void BM_F2OnTheLastLine(benchmark::State& state)
{
    const PtyPair line(PtyPair::Raw | PtyPair::NonBlockingMaster);
    if (!line.IsValid()) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }

    IniSettingsStore store(IniSettingsStore::DefaultPath());
    {
        CMainFrame frame(store);
        frame.SetMessageHook(
            [&](const QString& text) { state.SkipWithError(text.toStdString().c_str()); });
        vrlbench::OpenPortOrExit(frame, 0, line.Path());
        frame.Options().m_showSent = 1;
        CSendEditor& edit = *frame.SendBar()->SendEdit();
        QString text;
        for (int i = 0; i < kLines; ++i)
            text += QStringLiteral("EB 90 02 34 0D %1 01 03 00 00 00 01 84 0A\n")
                        .arg(i % 256, 2, 16, QChar('0'));
        text.chop(1);
        edit.setPlainText(text);
        edit.moveCursor(QTextCursor::End);
        QCoreApplication::processEvents();

        char buffer[4096];
        for (auto _ : state) {
            frame.OnCommand(ID_SEND_LINE);
            state.PauseTiming();
            while (::read(line.Master(), buffer, sizeof buffer) > 0) {
            }
            QCoreApplication::processEvents();
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_F2OnTheLastLine)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const PrivateXdgFolders home;
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
