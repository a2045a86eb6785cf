#include "MainFrameFixture.h"
#include "TestPtyPair.h"
#include "app/frame/MainFrm.h"
#include "app/monitor/FrameMonitorView.h"
#include "app/pcap/PcapngCommands.h"
#include "app/pcap/PcapngReplayer.h"
#include "core/base/CommandIds.h"
#include "core/capture/PcapngWriter.h"

#include <QProcess>
#include <QSignalSpy>
#include <QtTest>

class tst_PcapngCommands : public QObject, private MainFrameFixture
{
    Q_OBJECT

private:
    // The payloads tshark reads from file, one per packet (hex).
    static QStringList Payloads(const QString& file)
    {
        QProcess tshark;
        tshark.start(QStringLiteral("tshark"),
                     {QStringLiteral("-r"), file, QStringLiteral("-T"), QStringLiteral("fields"),
                      QStringLiteral("-e"), QStringLiteral("data.data")});
        tshark.waitForFinished(30000);
        return QString::fromUtf8(tshark.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    }

private Q_SLOTS:
    void init() { StartFixture(); }
    void cleanup() { EndFixture(); }

    // Export writes what came since the monitor was last cleared; recording writes what
    // comes until it is stopped, with a note in the status bar meanwhile.
    void exportSinceClearAndRecordUntilStopped()
    {
        TestPtyPair com1;
        CMainFrame& f = NewFrame();
        QVERIFY(OpenPort(0, com1));
        f.Options().m_ascReceive = 1;
        auto* pcapng = f.findChild<CPcapngCommands*>();
        QVERIFY(pcapng);
        QString file;
        pcapng->SetFileNameAsker([&](bool) { return file; });

        com1.Write("before");
        QTRY_VERIFY(f.GetView()->toPlainText().contains(QStringLiteral("before")));
        f.OnCommand(ID_CLEAR_MONITOR);
        com1.Write("after");
        QTRY_VERIFY(f.GetView()->toPlainText().contains(QStringLiteral("after")));
        file = m_xdg->FilePath(QStringLiteral("export.pcapng"));
        QSignalSpy done(pcapng, &CPcapngCommands::exportFinished);
        f.OnCommand(ID_EXPORT_PCAPNG);
        QTRY_COMPARE(done.count(), 1);
        QCOMPARE(done.at(0).at(0).toBool(), true);
        QCOMPARE(Payloads(file), QStringList{QByteArray("after").toHex()});

        file = m_xdg->FilePath(QStringLiteral("record.pcapng"));
        f.OnCommand(ID_RECORD_PCAPNG);
        QVERIFY(f.UpdateCommand(ID_RECORD_PCAPNG).m_checked);
        QVERIFY(f.StatusNote(QStringLiteral("pcapng")).contains(QStringLiteral("record.pcapng")));
        com1.Write("one");
        QTRY_VERIFY(f.GetView()->toPlainText().contains(QStringLiteral("one")));
        QTest::qWait(200);
        com1.Write("two");
        QTRY_VERIFY(f.GetView()->toPlainText().contains(QStringLiteral("two")));
        f.OnCommand(ID_RECORD_PCAPNG);
        QCOMPARE(f.StatusNote(QStringLiteral("pcapng")), QString());
        com1.Write("three");
        QTRY_VERIFY(f.GetView()->toPlainText().contains(QStringLiteral("three")));
        QCOMPARE(Payloads(file),
                 (QStringList{QByteArray("one").toHex(), QByteArray("two").toHex()}));
        QVERIFY(m_messages.isEmpty());
    }

    // Replay sends what the capture's port received, as sent lines, into the current port;
    // a file that is not sound sends nothing and says why.
    void replayIntoTheCurrentPort()
    {
        PcapngWriter writer;
        writer.BeginSection("test");
        writer.AddInterface(0, "COM9", "/dev/ttyUSB0");
        const std::uint8_t first[] = {0x01, 0x02}, second[] = {0x03};
        writer.AddPacket(0, 1'000'000, PcapngWriter::Event::Received, 0, first, 2, {});
        writer.AddPacket(0, 1'000'500, PcapngWriter::Event::Sent, 0, second, 1, {});
        writer.AddPacket(0, 1'300'000, PcapngWriter::Event::Received, 0, second, 1, {});
        const auto bytes = writer.Take();
        const QString good = m_xdg->FilePath(QStringLiteral("capture.pcapng"));
        QFile file(good);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
        file.close();

        TestPtyPair com1;
        CMainFrame& f = NewFrame();
        QVERIFY(OpenPort(0, com1));
        f.Options().m_showSent = 1;
        auto& replayer = f.findChild<CPcapngCommands*>()->Replayer();
        QString path = m_xdg->FilePath(QStringLiteral("notes.txt"));
        replayer.SetAskers([&] { return path; }, [] { return 2.0; });
        QFile text(path);
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("not a capture");
        text.close();
        f.OnCommand(ID_REPLAY_PCAPNG);
        QCOMPARE(m_messages.size(), 1);
        QVERIFY(m_messages.front().contains(QStringLiteral("不是 pcapng")));
        QVERIFY(!replayer.IsPlaying());

        path = good;
        QSignalSpy done(&replayer, &CPcapngReplayer::finished);
        f.OnCommand(ID_REPLAY_PCAPNG);
        QVERIFY(f.UpdateCommand(ID_REPLAY_PCAPNG).m_checked);
        QTRY_COMPARE(done.count(), 1);
        QCOMPARE(done.at(0).at(0).toBool(), true);
        QCOMPARE(com1.Read(300), QByteArray::fromHex("010203"));
        QVERIFY(f.GetView()->toPlainText().contains(QStringLiteral("COM1↓01 02")));
        QCOMPARE(m_messages.size(), 1);
    }
};

QTEST_MAIN(tst_PcapngCommands)
#include "tst_PcapngCommands.moc"
