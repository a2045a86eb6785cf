#include "MainFrameFixture.h"
#include "TestPtyPair.h"
#include "app/forward/ForwardDialog.h"
#include "app/forward/Forwarder.h"
#include "app/frame/MainFrm.h"
#include "app/modbus/ModbusDecoding.h"
#include "app/monitor/FrameMonitorView.h"
#include "app/send/PortSender.h"
#include "core/base/CommandIds.h"
#include "core/receive/ReceiveInbox.h"
#include "core/receive/ReceivePipeline.h"
#include "core/serial/PortMap.h"
#include "core/serial/SerialPort.h"
#include "core/settings/IniSettingsStore.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QtTest>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

namespace {

class RejectEverything : public ReceiveFilter
{
public:
    bool PassesFilter(const std::uint8_t*, std::size_t) const override { return false; }
};

// What reaches the pty's far end within timeoutMs, with the window's event loop running.
QByteArray Collect(TestPtyPair& pty, qsizetype want, int timeoutMs = 5000)
{
    QByteArray got;
    QElapsedTimer t;
    t.start();
    while (got.size() < want && t.elapsed() < timeoutMs) {
        QTest::qWait(2);
        got += pty.Read(0);
    }
    return got;
}

} // namespace

class tst_ForwardDialog : public QObject, private MainFrameFixture
{
    Q_OBJECT

private:
    CForwarder& Forwarder() { return *m_frame->findChild<CForwarder*>(); }
    QString Monitor() { return m_frame->GetView()->toPlainText(); }
    QString Note() { return m_frame->StatusNote(QStringLiteral("forward")); }
    // Runs the forwarding dialog; act works on it while it is open and must end it.
    void RunDialog(const std::function<void(CForwardDialog&)>& act)
    {
        bool ran = false;
        QTimer::singleShot(0, this, [&] {
            auto* dialog = qobject_cast<CForwardDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            ran = true;
            act(*dialog);
            if (dialog->isVisible())
                dialog->reject();
        });
        m_frame->OnCommand(ID_TRANSMIT);
        QVERIFY(ran);
    }

private Q_SLOTS:
    void init() { StartFixture(); }
    void cleanup() { EndFixture(); }

    void forwardsBetweenThePairOnly()
    {
        TestPtyPair com1, com2, com3;
        CMainFrame& f = NewFrame();
        OpenPort(0, com1);
        OpenPort(1, com2);
        OpenPort(2, com3);
        f.Options().m_showSent = 1;
        Forwarder().SetForwarding(true, 1, 2);
        QCOMPARE(Note(), QStringLiteral("转发: COM1 ⇄ COM2"));

        // COM3 is outside the pair: shown, written nowhere.
        com3.Write(QByteArray::fromHex("AABB"));
        QTRY_VERIFY(Monitor().contains(QStringLiteral("COM3↑AA BB")));

        const QByteArray request = QByteArray::fromHex("010300000002C40B");
        const QByteArray answer = QByteArray::fromHex("01030400010002");
        com1.Write(request);
        QCOMPARE(Collect(com2, request.size()), request);
        com2.Write(answer);
        QCOMPARE(Collect(com1, answer.size()), answer);
        // Shown once the packing interval has ended the messages; the bytes crossed before.
        QTRY_COMPARE(Monitor(),
                     QStringLiteral("COM3↑AA BB\n"
                                    "COM1↑01 03 00 00 00 02 C4 0B\nCOM2↓01 03 00 00 00 02 C4 0B\n"
                                    "COM2↑01 03 04 00 01 00 02\nCOM1↓01 03 04 00 01 00 02\n"));
        QVERIFY(com1.Read(0).isEmpty() && com2.Read(0).isEmpty() && com3.Read(0).isEmpty());

        // A closed target drops its share without a word.
        f.OnPortSelected(1);
        f.OnCommand(ID_OPEN_PORT);
        QVERIFY(!f.IsPortOpen(1));
        com1.Write(QByteArray::fromHex("55"));
        QTRY_VERIFY(Monitor().endsWith(QStringLiteral("COM1↑55\n")));
        QTest::qWait(20);
        QVERIFY(!Monitor().contains(QStringLiteral("COM2↓55")));
        QVERIFY(m_messages.isEmpty());
    }

    void forwardsWhateverTheDisplayDoes_data()
    {
        QTest::addColumn<bool>("paused");
        QTest::addColumn<bool>("reject");
        QTest::addColumn<bool>("asc");
        QTest::addColumn<bool>("currentOnly"); // only the current port, COM2, is shown
        QTest::addColumn<bool>("pairFirst");   // forwarding is on before the ports open
        QTest::addColumn<QString>("monitor");
        QTest::newRow("paused") << true << false << false << false << false << QString();
        QTest::newRow("filter rejects")
            << false << true << false << false << false << QStringLiteral("COM2↓41 00 42 0D\n");
        // ASC shows up to the zero byte; every byte still goes out.
        QTest::newRow("asc") << false << false << true << false << false
                             << QStringLiteral("COM1↑A\nCOM2↓A\n");
        QTest::newRow("asc, the copy alone shown")
            << false << false << true << true << false << QStringLiteral("COM2↓A\n");
        QTest::newRow("paired before the ports open")
            << false << false << false << false << true
            << QStringLiteral("COM1↑41 00 42 0D\nCOM2↓41 00 42 0D\n");
    }
    void forwardsWhateverTheDisplayDoes()
    {
        QFETCH(bool, paused);
        QFETCH(bool, reject);
        QFETCH(bool, asc);
        QFETCH(bool, currentOnly);
        QFETCH(bool, pairFirst);
        QFETCH(QString, monitor);
        TestPtyPair com1, com2;
        CMainFrame& f = NewFrame();
        if (pairFirst)
            Forwarder().SetForwarding(true, 1, 2);
        OpenPort(0, com1);
        OpenPort(1, com2);
        f.Options().m_showSent = 1;
        f.Options().m_paused = paused ? 1 : 0;
        f.Options().m_ascReceive = asc ? 1 : 0;
        f.Pipeline().SetDisplayScope(currentOnly ? 1 : 0);
        RejectEverything filter;
        if (reject)
            f.Pipeline().SetFilter(&filter);
        if (!pairFirst)
            Forwarder().SetForwarding(true, 1, 2);

        const QByteArray chunk = QByteArray::fromHex("4100420D");
        com1.Write(chunk);
        QCOMPARE(Collect(com2, chunk.size()), chunk);
        QTest::qWait(50); // the packing interval, and a turn of the window
        QCOMPARE(Monitor(), monitor);
        f.Pipeline().SetFilter(nullptr);
    }

    void dialogRules()
    {
        m_store->WriteInt(CForwardDialog::kSection, "COM", 513);
        NewFrame();
        RunDialog([&](CForwardDialog& d) {
            QCOMPARE(d.PortAEdit()->text(), QStringLiteral("1"));
            QCOMPARE(d.PortBEdit()->text(), QStringLiteral("2"));
            QVERIFY(!d.EnableBox()->isChecked());

            d.PortAEdit()->setText(QStringLiteral("0"));
            d.ApplyButton()->click();
            QCOMPARE(m_messages,
                     QStringList{QStringLiteral("请输入一个介于 1 和 255 之间的整数。")});
            QCOMPARE(d.m_portA, std::uint8_t(1));

            // Equal ports: the second raised by one, the message, nothing stored.
            m_messages.clear();
            d.EnableBox()->setChecked(true);
            d.PortAEdit()->setText(QStringLiteral("3"));
            d.PortBEdit()->setText(QStringLiteral("3"));
            d.ApplyButton()->click();
            QCOMPARE(m_messages, QStringList{QStringLiteral("需输入不同的串口号！")});
            QCOMPARE(d.PortBEdit()->text(), QStringLiteral("4"));
            QVERIFY(d.isVisible());
            QCOMPARE(m_store->ReadInt(CForwardDialog::kSection, "COM", 0), 513);
            d.ExitButton()->click();
        });
        // The box was checked at that "应用": forwarding runs between COM3 and COM4.
        QVERIFY(Forwarder().IsEnabled());
        QCOMPARE(Forwarder().PortA(), 3);
        QCOMPARE(Forwarder().PortB(), 4);
        QCOMPARE(Note(), QStringLiteral("转发: COM3 ⇄ COM4"));

        // While forwarding runs the dialog shows it: the box checked, the running pair.
        // Unchecked and applied, Esc then leaves with forwarding off; the pair is stored.
        RunDialog([&](CForwardDialog& d) {
            QVERIFY(d.EnableBox()->isChecked());
            QCOMPARE(d.PortAEdit()->text(), QStringLiteral("3"));
            QCOMPARE(d.PortBEdit()->text(), QStringLiteral("4"));
            d.EnableBox()->setChecked(false);
            d.ApplyButton()->click();
            QCOMPARE(m_store->ReadInt(CForwardDialog::kSection, "COM", 0), 3 + 256 * 4);
            QTest::keyClick(&d, Qt::Key_Escape);
            QVERIFY(!d.isVisible());
        });
        QVERIFY(!Forwarder().IsEnabled());
        QVERIFY(Note().isEmpty());

        // Opening and leaving at once keeps forwarding as it was.
        Forwarder().SetForwarding(true, 5, 6);
        RunDialog([&](CForwardDialog& d) {
            QVERIFY(d.EnableBox()->isChecked());
            QCOMPARE(d.PortBEdit()->text(), QStringLiteral("6"));
            d.ExitButton()->click();
            QCOMPARE(d.result(), CForwardDialog::kCancelResult);
        });
        QCOMPARE(Note(), QStringLiteral("转发: COM5 ⇄ COM6"));
    }

    // The far end of the target stops reading while the source sends more than the queue's
    // limit: the window goes on, the user is told, the source is held instead of bytes being
    // dropped, and once the far end reads again every byte arrives in order.
    void stalledTargetNeitherFreezesNorLoses()
    {
        TestPtyPair com1, com2;
        CMainFrame& f = NewFrame();
        OpenPort(0, com1);
        OpenPort(1, com2);
        f.Options().m_paused = 1;
        Forwarder().SetForwarding(true, 1, 2);

        QByteArray data(6 << 20, Qt::Uninitialized);
        QRandomGenerator gen(7);
        for (char& c : data)
            c = static_cast<char>(gen.generate() & 0xFF);

        std::thread writer([&] { com1.Write(data); });
        // A window that hangs in a write would wait for ever; the watchdog then empties the
        // target's far end so that the test can end and say so.
        std::atomic<bool> checkpoint{false};
        std::atomic<bool> frozen{false};
        QByteArray rescued;
        std::thread watchdog([&] {
            QElapsedTimer t;
            t.start();
            while (!checkpoint && t.elapsed() < 20000)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            if (!checkpoint) {
                frozen = true;
                while (!checkpoint)
                    rescued += com2.Read(100);
            }
        });

        const auto told = [&] { return Note().contains(QStringLiteral("COM2 未及时取走")); };
        QElapsedTimer t;
        t.start();
        while (!told() && t.elapsed() < 20000)
            QTest::qWait(10);
        const bool wasTold = told();
        const bool held = f.Tap().IsHolding(0);
        const std::size_t waiting = Forwarder().Waiting(1);
        checkpoint = true;
        watchdog.join();
        const QByteArray got = rescued + Collect(com2, data.size() - rescued.size(), 60000);
        writer.join();

        QVERIFY2(!frozen, "the window hung in a write to the stalled target");
        QVERIFY(wasTold);
        QVERIFY(held);
        QVERIFY(waiting > 0 && waiting < ForwardQueue::kDefaultLimit);
        QCOMPARE(got.size(), data.size());
        QVERIFY(got == data);
        QTRY_COMPARE(Note(), QStringLiteral("转发: COM1 ⇄ COM2"));
        QCOMPARE(Forwarder().Waiting(1), std::size_t(0));
        QVERIFY(!f.Tap().IsHolding(0));
    }

    // A line the program could not yet write to COM2 (its far end reads nothing) when COM2
    // joins the pair goes out whole before the bytes forwarded to COM2.
    void queuedLineGoesBeforeForwardedBytes()
    {
        TestPtyPair com1, com2;
        NewFrame();
        OpenPort(0, com1);
        OpenPort(1, com2);
        const QByteArray line(256 << 10, 'S'), forwarded(4096, 'F');
        QVERIFY(m_frame->Sender().Queues().Write(
            1, reinterpret_cast<const std::uint8_t*>(line.data()), line.size()));
        QVERIFY(Forwarder().Waiting(1) > 0);
        Forwarder().SetForwarding(true, 1, 2);
        com1.Write(forwarded);
        QTest::qWait(100); // the tap's worker has the forwarded bytes and waits for room
        QCOMPARE(Collect(com2, line.size() + forwarded.size(), 20000), line + forwarded);
    }

    // Master and device go on talking while the window thread is held (a long repaint, a
    // menu): the tap is not on that thread. Afterwards every answer is shown after its request.
    void forwardsWhileTheWindowIsBlocked()
    {
        TestPtyPair com1, com2;
        CMainFrame& f = NewFrame();
        OpenPort(0, com1);
        OpenPort(1, com2);
        f.Options().m_showSent = 1;
        Forwarder().SetForwarding(true, 1, 2);
        constexpr int kExchanges = 10;
        std::atomic<int> crossed{0};
        std::thread wire([&] {
            for (int i = 0; i < kExchanges; ++i) {
                const QByteArray request = QByteArray::fromHex("0103") + char(i);
                const QByteArray answer = QByteArray::fromHex("0183") + char(i);
                if (!com1.Write(request) || com2.Read(1000) != request || !com2.Write(answer)
                    || com1.Read(1000) != answer)
                    return;
                ++crossed;
            }
        });
        std::this_thread::sleep_for(std::chrono::seconds(2)); // the window thread, held
        const int whileHeld = crossed;
        wire.join();
        QCOMPARE(whileHeld, kExchanges);
        QString expected;
        for (int i = 0; i < kExchanges; ++i)
            expected +=
                QStringLiteral("COM1↑01 03 0%1\nCOM2↓01 03 0%1\nCOM2↑01 83 0%1\nCOM1↓01 83 0%1\n")
                    .arg(i);
        QTRY_COMPARE(Monitor(), expected);
    }

    // The window held while more than its inbox takes arrives on one port: a port of the pair
    // goes on forwarding (its worker must not wait for the window), a port outside the pair
    // is held back (its worker waits, so that the flood stays in the driver).
    void fullInboxHoldsOnlyPortsOutsideThePair_data()
    {
        QTest::addColumn<bool>("inPair");
        QTest::newRow("a port of the pair") << true;
        QTest::newRow("a port outside the pair") << false;
    }
    void fullInboxHoldsOnlyPortsOutsideThePair()
    {
        QFETCH(bool, inPair);
        TestPtyPair com1, com2, com3;
        CMainFrame& f = NewFrame();
        OpenPort(0, com1);
        OpenPort(1, com2);
        OpenPort(2, com3);
        f.Options().m_paused = 1; // taken and counted, not shown: the drain below is quick
        Forwarder().SetForwarding(true, 1, 2);
        const ReceiveInbox& inbox = f.ReceiveTurns().Inbox();
        const QByteArray flood(3 * ReceiveInbox::kDefaultCapacity, '\x55');
        TestPtyPair& source = inPair ? com1 : com3;
        std::atomic<bool> written{false};
        std::thread writer([&] {
            source.Write(flood);
            written = true;
        });
        std::atomic<qsizetype> crossed{0};
        std::atomic<bool> stop{false};
        std::thread far([&] {
            while (!stop)
                crossed += com2.Read(10).size();
        });
        std::this_thread::sleep_for(std::chrono::seconds(3)); // the window thread, held
        const std::size_t waiting = inbox.WaitingBytes();
        const qsizetype crossedWhileHeld = crossed;
        QTRY_VERIFY_WITH_TIMEOUT(written && inbox.WaitingBytes() == 0, 60000);
        stop = true;
        far.join();
        writer.join();
        QVERIFY2(waiting >= ReceiveInbox::kDefaultCapacity, qPrintable(QString::number(waiting)));
        if (inPair) {
            QCOMPARE(crossedWhileHeld, flood.size());
        } else {
            QVERIFY2(waiting < ReceiveInbox::kDefaultCapacity * 5 / 4,
                     qPrintable(QString::number(waiting)));
        }
    }

    // A real MODBUS RTU master (mbpoll) polls a slave (pymodbus) through the tap: master on
    // COM1's line, slave on COM2's, each line a socat pair. Every poll is answered and both
    // directions are shown. Skipped without the tools (scripts/deps --extra installs them).
    void modbusMasterAndSlaveThroughTheTap()
    {
        const QString python = QStringLiteral("/usr/bin/python3");
        if (QStandardPaths::findExecutable(QStringLiteral("mbpoll")).isEmpty()
            || QStandardPaths::findExecutable(QStringLiteral("socat")).isEmpty()
            || QProcess::execute(
                   python, {QStringLiteral("-c"), QStringLiteral("import pymodbus.server, serial")})
                   != 0)
            QSKIP("mbpoll, socat or python3-pymodbus is missing (scripts/deps --extra)");

        const QString dir = m_xdg->Root();
        auto cable = [&](const QString& a, const QString& b) {
            auto* p = new QProcess(this);
            p->start(QStringLiteral("socat"),
                     {QStringLiteral("pty,raw,echo=0,link=%1/%2").arg(dir, a),
                      QStringLiteral("pty,raw,echo=0,link=%1/%2").arg(dir, b)});
            return p;
        };
        std::unique_ptr<QProcess> masterLine(
            cable(QStringLiteral("master"), QStringLiteral("com1")));
        std::unique_ptr<QProcess> slaveLine(cable(QStringLiteral("com2"), QStringLiteral("slave")));
        QTRY_VERIFY(QFile::exists(dir + QStringLiteral("/com1"))
                    && QFile::exists(dir + QStringLiteral("/slave")));

        QFile script(dir + QStringLiteral("/slave.py"));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write(
            "import sys\n"
            "from pymodbus.server import StartSerialServer\n"
            "from pymodbus.datastore import ModbusSequentialDataBlock, ModbusSlaveContext, ModbusServerContext\n"
            "from pymodbus.transaction import ModbusRtuFramer\n"
            "store = ModbusSlaveContext(hr=ModbusSequentialDataBlock(0, [1234, 5678, 42, 7] + [0] * 96))\n"
            "StartSerialServer(context=ModbusServerContext(slaves={1: store}, single=False),\n"
            "                  framer=ModbusRtuFramer, port=sys.argv[1], baudrate=9600, timeout=0.05)\n");
        script.close();
        QProcess slave;
        slave.start(python, {script.fileName(), dir + QStringLiteral("/slave")});
        auto poll = [&](const QString& line) {
            QProcess master;
            master.start(QStringLiteral("mbpoll"),
                         {"-m", "rtu", "-a", "1", "-b", "9600", "-P", "none", "-t", "4", "-r", "1",
                          "-c", "4", "-1", line});
            if (!QTest::qWaitFor([&] { return master.state() == QProcess::NotRunning; }, 10000))
                return false;
            const QString out = QString::fromUtf8(master.readAllStandardOutput());
            return master.exitCode() == 0 && out.contains(QStringLiteral("[1]: \t5678"))
                   && out.contains(QStringLiteral("[3]: \t7"));
        };
        // Python takes its time to start the slave on a busy machine: it is asked straight,
        // on the line the program will open, until it answers.
        bool up = false;
        for (int i = 0; i < 20 && !up; ++i)
            up = poll(dir + QStringLiteral("/com2"));
        QVERIFY2(up, "the MODBUS slave did not start");

        CMainFrame& f = NewFrame();
        QVERIFY(OpenPort(0, dir + QStringLiteral("/com1")));
        QVERIFY(OpenPort(1, dir + QStringLiteral("/com2")));
        f.Options().m_showSent = 1;
        Forwarder().SetForwarding(true, 1, 2);
        for (unsigned port : {0u, 1u})
            f.findChild<CModbusDecoding*>()->SetDecoding(port, true);

        const int polls = 5;
        int answered = 0;
        for (int i = 0; i < polls; ++i)
            answered += poll(dir + QStringLiteral("/master")) ? 1 : 0;
        QCOMPARE(answered, polls);
        // The lines go before the cables: a port whose device goes away shows nothing more.
        QTRY_COMPARE(Monitor().count(QStringLiteral("COM1↓01 03 08 16 2E 00 2A 00 07 00 00")),
                     polls);
        slave.kill();
        slave.waitForFinished();
        masterLine->kill();
        slaveLine->kill();
        masterLine->waitForFinished();
        slaveLine->waitForFinished();
        const QString monitor = Monitor();
        QCOMPARE(monitor.count(QStringLiteral("COM1↑01 03 00 00 00 04")), polls);
        QCOMPARE(monitor.count(QStringLiteral("COM2↓01 03 00 00 00 04")), polls);
        QCOMPARE(monitor.count(QStringLiteral("COM2↑01 03 08 16 2E 00 2A 00 07 00 00")), polls);
        QCOMPARE(monitor.count(QStringLiteral("COM1↓01 03 08 16 2E 00 2A 00 07 00 00")), polls);
        // Decoded on both ports of the tap: every request, every answer with the slave's
        // values and its delay, and nothing else (the forwarded copies are not decoded again).
        QCOMPARE(monitor.count(QStringLiteral("  ⤷ 从站 1 读保持寄存器 起始 0 数量 4\n")), polls);
        QCOMPARE(monitor.count(
                     QStringLiteral("  ⤷ 从站 1 读保持寄存器 4 个: 162E 002A 0007 0000  应答 ")),
                 polls);
        QCOMPARE(monitor.count(QStringLiteral("⤷")), 2 * polls);
        for (const QString& line : monitor.split(QLatin1Char('\n')))
            if (line.contains(QStringLiteral("应答 ")))
                qInfo().noquote() << line; // the delays, for the record
    }
};

QTEST_MAIN(tst_ForwardDialog)
#include "tst_ForwardDialog.moc"
