#include "MainFrameFixture.h"
#include "TestPtyPair.h"
#include "app/frame/MainFrm.h"
#include "app/ports/SettingsBar.h"
#include "app/send/SendCommands.h"
#include "app/send/SendEditor.h"
#include "core/base/CommandIds.h"
#include "core/files/RtfReader.h"
#include "core/serial/PortMap.h"
#include "core/settings/IniSettingsStore.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSocketNotifier>
#include <QtTest>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <set>
#include <thread>
#include <unistd.h>

namespace {

// The program under the knife: the main window receiving on COM1, with a send text of about
// 2 MB that ends with "END-<round>" and options that differ every round, so that both files
// change at exit. Prints "ready" once receiving; on 'x' from stdin it exits the normal way
// (the window stores its settings and saves the send text), and prints "done".
int Victim(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const int round = std::atoi(argv[3]);
    IniSettingsStore store(IniSettingsStore::DefaultPath());
    auto frame = std::make_unique<CMainFrame>(store);
    frame->SetMessageHook(
        [](const QString& text) { std::fprintf(stderr, "message: %s\n", qPrintable(text)); });
    frame->show();
    if (!OpenPortOn(*frame, 0, QString::fromLocal8Bit(argv[2])))
        return 3;
    if (round % 2)
        frame->OnCommand(ID_SHOW_TIME);
    CSendEditor* edit = frame->SendSide()->SendEdit();
    QString text;
    const QString line =
        QStringLiteral("01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10 发报 %1\n").arg(round);
    while (text.size() < 2'000'000)
        text += line;
    edit->setPlainText(text + QStringLiteral("END-%1").arg(round));
    edit->document()->setModified(true);

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char c = 0;
        if (::read(STDIN_FILENO, &c, 1) == 1 && c == 'x') {
            frame.reset(); // stores the settings, saves the send text, closes the port
            std::printf("done\n");
            std::fflush(stdout);
            QCoreApplication::quit();
        }
    });
    std::printf("ready\n");
    std::fflush(stdout);
    return app.exec();
}

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

std::set<std::string> Keys(const QByteArray& text)
{
    std::set<std::string> keys;
    for (const auto& [section, values] : IniSettingsStore::Parse(
             std::string_view(text.constData(), static_cast<std::size_t>(text.size()))))
        for (const auto& value : values)
            keys.insert(section + "/" + value.first);
    return keys;
}

} // namespace

// The settings file and the send-message file after the program was killed (SIGKILL) while
// receiving and while it was writing them at exit: always the old file or the new one whole.
class tst_KillSafety : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void filesAreOldOrNewAfterKill()
    {
        TestXdgFolders xdg;
        TestPtyPair pty;
        QVERIFY(pty.IsValid());
        const QString settingsPath = xdg.ConfigFile();
        const QString sendPath = xdg.Root() + QStringLiteral("/data/Tellumar/VRL/VRL.tnf");

        std::atomic<bool> stop{false};
        std::thread feeder([&] {
            const QByteArray chunk(256, '\x5A');
            while (!stop)
                pty.TryWrite(chunk, 10);
        });
        auto finish = qScopeGuard([&] {
            stop = true;
            feeder.join();
        });

        // Round 0 ends the normal way: it makes both files and tells how long an exit takes.
        qint64 exitMs = 0;
        QVERIFY(RunRound(pty, 0, false, -1, &exitMs));
        QByteArray settings = ReadAll(settingsPath);
        QByteArray send = ReadAll(sendPath);
        QVERIFY(!settings.isEmpty());
        QVERIFY(send.contains("END-0"));

        constexpr int kRounds = 24;
        int sendNew = 0;
        int settingsNew = 0;
        for (int round = 1; round <= kRounds; ++round) {
            const bool atExit = round % 3 != 0; // a third are killed while only receiving
            const int delayMs = static_cast<int>(
                QRandomGenerator::global()->bounded(static_cast<int>(exitMs * 12 / 10) + 1));
            QVERIFY(RunRound(pty, round, atExit, delayMs, nullptr));

            const QByteArray settingsNow = ReadAll(settingsPath);
            QVERIFY2(!settingsNow.isEmpty() && settingsNow.endsWith('\n'),
                     qPrintable(QStringLiteral("round %1: settings file cut").arg(round)));
            if (settingsNow != settings) {
                // Keys are never removed: a file missing some was cut short.
                const std::set<std::string> before = Keys(settings);
                const std::set<std::string> after = Keys(settingsNow);
                QVERIFY2(
                    std::includes(after.begin(), after.end(), before.begin(), before.end()),
                    qPrintable(QStringLiteral("round %1: settings file lost values").arg(round)));
                ++settingsNew;
            }
            const QByteArray sendNow = ReadAll(sendPath);
            if (sendNow != send) {
                const QByteArray end = QByteArray("END-") + QByteArray::number(round);
                QVERIFY2(
                    sendNow.contains(end) && sendNow.trimmed().endsWith('}'),
                    qPrintable(
                        QStringLiteral(
                            "round %1: send file is neither the old nor the new one (%2 bytes)")
                            .arg(round)
                            .arg(sendNow.size())));
                QVERIFY(RtfReader::Read(std::string_view(sendNow.constData(),
                                                         static_cast<std::size_t>(sendNow.size())))
                            .IsUsable());
                ++sendNew;
            }
            settings = settingsNow;
            send = sendNow;
        }
        qInfo(
            "exit takes %lld ms; of %d kills the send file was new after %d, the settings file after %d",
            static_cast<long long>(exitMs), kRounds, sendNew, settingsNew);
    }

private:
    // Starts the program, waits until it receives; atExit: asks it to exit and kills it
    // delayMs later (delayMs < 0: lets it finish and gives the time the exit took in *exitMs);
    // otherwise kills it delayMs after it started receiving.
    static bool RunRound(TestPtyPair& pty, int round, bool atExit, int delayMs, qint64* exitMs)
    {
        QProcess victim;
        victim.setProgram(QCoreApplication::applicationFilePath());
        victim.setArguments({QStringLiteral("--victim"), pty.SlavePath(), QString::number(round)});
        victim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        victim.start();
        if (!victim.waitForStarted(10000))
            return false;
        QElapsedTimer waited;
        waited.start();
        while (!victim.canReadLine() && waited.elapsed() < 60000
               && victim.state() == QProcess::Running)
            victim.waitForReadyRead(100);
        if (victim.readLine().trimmed() != "ready") {
            qWarning("round %d: the program did not start receiving", round);
            return false;
        }
        QElapsedTimer exit;
        if (atExit || delayMs < 0) {
            victim.write("x");
            victim.waitForBytesWritten(1000);
            exit.start();
        }
        if (delayMs < 0) {
            if (!victim.waitForFinished(60000) || victim.exitCode() != 0)
                return false;
            *exitMs = exit.elapsed();
            return true;
        }
        ::usleep(static_cast<useconds_t>(delayMs) * 1000);
        ::kill(static_cast<pid_t>(victim.processId()), SIGKILL);
        return victim.waitForFinished(10000);
    }
};

int main(int argc, char* argv[])
{
    if (argc == 4 && std::strcmp(argv[1], "--victim") == 0)
        return Victim(argc, argv);
    QApplication app(argc, argv);
    tst_KillSafety test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_KillSafety.moc"
