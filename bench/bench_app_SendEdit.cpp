// The send editor with 60,000 lines: the operations that run on every key or send must not
// grow with the text; loading and saving the whole text must stay well under a second.
#include "PrivateXdgFolders.h"
#include "app/send/SendEditor.h"
#include "app/send/SendFile.h"
#include "app/send/SendFrameWnd.h"
#include "core/base/SettingsStore.h"
#include "core/send/LineSend.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTextBlock>

#include <benchmark/benchmark.h>

#include <random>

namespace {

constexpr int kLines = 60000;

QString BigText()
{
    QString text;
    for (int i = 0; i < kLines; ++i) {
        if (i % 10 == 0)
            text += QStringLiteral("<<--第%1组 注释-->>").arg(i / 10);
        else
            text += QStringLiteral("EB 90 02 34 0D %1 %2 01 03 00 00 00 01 84 0A")
                        .arg(i % 256, 2, 16, QChar('0'))
                        .arg((i / 256) % 256, 2, 16, QChar('0'))
                        .toUpper();
        if (i + 1 < kLines)
            text += QChar('\n');
    }
    return text;
}

struct Fixture
{
    CSendFrameWnd bar;
    CSendEditor& edit = *bar.SendEdit();
    QTemporaryDir dir;

    Fixture()
    {
        edit.setPlainText(BigText());
        // Colour every comment line green, as a user's file would have it.
        for (int line = 0; line < kLines; line += 10) {
            QTextCursor c(edit.document()->findBlockByNumber(line));
            c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
            c.mergeCharFormat(CSendLineEditor::CharFormat(CSendLineEditor::Green));
        }
        bar.resize(800, 300);
        bar.show();
        QCoreApplication::processEvents();
    }

    void Caret(int line)
    {
        QTextCursor c = edit.textCursor();
        c.setPosition(edit.LineStart(line) + 5);
        edit.setTextCursor(c);
    }
};

Fixture& Shared()
{
    static Fixture f;
    return f;
}

void BM_SendLastLine(benchmark::State& state)
{
    Fixture& f = Shared();
    for (auto _ : state) {
        f.Caret(kLines - 1);
        // F2 without the port: the line's text, its check and decoding, the caret step.
        const LineSendPlan plan =
            PlanLineSend(f.edit.GetLineText(-1).toStdString(), false, AscFraming{});
        benchmark::DoNotOptimize(plan.bytes.data());
        f.edit.MoveCaretToLine(true, -1);
    }
}
BENCHMARK(BM_SendLastLine)->Unit(benchmark::kMicrosecond);

void BM_GetLineText(benchmark::State& state)
{
    Fixture& f = Shared();
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> pick(0, kLines - 1);
    for (auto _ : state) {
        QString text = f.edit.GetLineText(pick(rng));
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(BM_GetLineText)->Unit(benchmark::kMicrosecond);

void BM_CaptionUpdate(benchmark::State& state)
{
    Fixture& f = Shared();
    int line = kLines - 1;
    for (auto _ : state) {
        state.PauseTiming();
        f.Caret(line);
        line = line == kLines - 1 ? kLines / 2 + 1 : kLines - 1;
        QCoreApplication::processEvents();
        state.ResumeTiming();
        f.edit.PostPositionNotice();
        QCoreApplication::processEvents(); // delivers the notice; the bar sets its caption
    }
    if (!f.bar.windowTitle().contains(QStringLiteral("字节 2 (6)")))
        state.SkipWithError("caption not updated");
}
BENCHMARK(BM_CaptionUpdate)->Unit(benchmark::kMicrosecond);

void BM_SaveToFile(benchmark::State& state)
{
    Fixture& f = Shared();
    const QString path = f.dir.path() + "/big.tnf";
    MemorySettingsStore store;
    CSendFile file(f.edit, store);
    for (auto _ : state) {
        if (!file.Save(path))
            state.SkipWithError("save failed");
    }
}
BENCHMARK(BM_SaveToFile)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_LoadFromFile(benchmark::State& state)
{
    Fixture& f = Shared();
    const QString path = f.dir.path() + "/big.tnf";
    MemorySettingsStore store;
    if (!CSendFile(f.edit, store).Save(path))
        state.SkipWithError("save failed");
    CSendEditor other;
    CSendFile otherFile(other, store);
    for (auto _ : state) {
        if (!otherFile.Load(path) || other.LineCount() != kLines)
            state.SkipWithError("load failed");
    }
}
BENCHMARK(BM_LoadFromFile)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const PrivateXdgFolders xdg;
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
