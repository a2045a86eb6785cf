#include "MainFrameFixture.h"
#include "TestPtyPair.h"
#include "app/frame/MainFrm.h"
#include "app/monitor/FrameMonitorView.h"
#include "app/ports/SettingsBar.h"
#include "core/base/CommandIds.h"
#include "core/serial/PortMap.h"
#include "core/settings/IniSettingsStore.h"

#include <QApplication>
#include <QProcess>
#include <QtTest>

#include <cstdio>
#include <cstring>

namespace {

// The second program: its own main window over the same settings folder, told to open COM1
// on the device the first program holds. Prints every message it would have shown and
// exits 0 when the port stayed closed.
int SecondProgram(int argc, char* argv[])
{
    QApplication app(argc, argv);
    IniSettingsStore store(IniSettingsStore::DefaultPath());
    QStringList messages;
    {
        CMainFrame frame(store);
        frame.SetMessageHook([&](const QString& text) { messages << text; });
        frame.show();
        OpenPortOn(frame, 0, QString::fromLocal8Bit(argv[2]));
        QTest::qWait(200);
        for (const QString& m : messages)
            std::printf("%s\n", m.toUtf8().constData());
        if (frame.IsPortOpen(0))
            return 1;
    }
    return 0;
}

} // namespace

// Two running programs and one device: the second is refused the port the first holds, and
// the first goes on receiving while the second tries, and after it has gone.
class tst_TwoInstances : public QObject, public MainFrameFixture
{
    Q_OBJECT

private Q_SLOTS:
    void init() { StartFixture(); }
    void cleanup() { EndFixture(); }

    void secondProgramIsRefusedAndFirstKeepsReceiving()
    {
        TestPtyPair pty;
        QVERIFY(pty.IsValid());
        CMainFrame& f = NewFrame();
        QVERIFY(OpenPort(0, pty));

        QProcess second;
        second.setProgram(QCoreApplication::applicationFilePath());
        second.setArguments({QStringLiteral("--second-program"), pty.SlavePath()});
        second.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        second.start();
        QVERIFY(second.waitForStarted(5000));

        // One message of its own number every 50 ms (longer than the packing interval), for
        // as long as the second program runs and a little after.
        int sent = 0;
        QElapsedTimer afterEnd;
        while (second.state() != QProcess::NotRunning || !afterEnd.isValid()
               || afterEnd.elapsed() < 300) {
            if (second.state() == QProcess::NotRunning && !afterEnd.isValid())
                afterEnd.start();
            QVERIFY(pty.Write(QByteArray(1, static_cast<char>(0x10 + sent % 0x60))));
            ++sent;
            QTest::qWait(50);
            QVERIFY2(sent < 400, "the second program did not end");
        }
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        const QString said = QString::fromUtf8(second.readAllStandardOutput());
        QCOMPARE(said.trimmed(), QStringLiteral("COM1 已被其他程序打开！"));
        QCOMPARE(second.exitCode(), 0);

        // Every byte shown, in order (two bytes that met within the packing interval on a
        // loaded machine share a line).
        QString expected;
        for (int i = 0; i < sent; ++i)
            expected += QString::number(0x10 + i % 0x60, 16).toUpper();
        const auto shown = [&] {
            return Text(f)
                .remove(QStringLiteral("COM1↑"))
                .remove(QLatin1Char(' '))
                .remove(QLatin1Char('\n'));
        };
        QTRY_COMPARE_WITH_TIMEOUT(shown(), expected, 5000);
        QVERIFY(f.IsPortOpen(0));
    }

private:
    static QString Text(CMainFrame& frame) { return frame.GetView()->toPlainText(); }
};

int main(int argc, char* argv[])
{
    if (argc == 3 && std::strcmp(argv[1], "--second-program") == 0)
        return SecondProgram(argc, argv);
    QApplication app(argc, argv);
    tst_TwoInstances test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_TwoInstances.moc"
