#include "MainFrameFixture.h"
#include "TestPtyPair.h"
#include "app/frame/MainFrm.h"
#include "app/monitor/FrameMonitorView.h"
#include "app/pcap/PcapngCommands.h"
#include "core/base/CommandIds.h"

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
};

QTEST_MAIN(tst_PcapngCommands)
#include "tst_PcapngCommands.moc"
