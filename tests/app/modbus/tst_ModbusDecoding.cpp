#include "MainFrameFixture.h"
#include "TestPtyPair.h"
#include "app/forward/Forwarder.h"
#include "app/frame/MainFrm.h"
#include "app/modbus/ModbusDecoding.h"
#include "app/modbus/ModbusFrameTable.h"
#include "app/monitor/FrameMonitorView.h"
#include "app/send/SendCommands.h"
#include "app/send/SendEditor.h"
#include "core/base/CommandIds.h"
#include "core/decode/DecoderSet.h"
#include "core/modbus/ModbusDecoder.h"
#include "core/serial/PortMap.h"
#include "core/serial/PortSettings.h"
#include "core/settings/IniSettingsStore.h"

#include <QTableView>
#include <QTextBlock>
#include <QtTest>

class tst_ModbusDecoding : public QObject, private MainFrameFixture
{
    Q_OBJECT

private:
    QString Monitor() { return m_frame->GetView()->toPlainText(); }
    // The colour of the monitor line that begins with text.
    QColor ColourOf(const QString& text)
    {
        for (QTextBlock b = m_frame->GetView()->document()->begin(); b.isValid(); b = b.next()) {
            if (b.text().startsWith(text))
                return b.begin().fragment().charFormat().foreground().color();
        }
        return QColor();
    }

private Q_SLOTS:
    void init() { StartFixture(); }
    void cleanup() { EndFixture(); }

    // The switch belongs to the current port, is kept with it and named in the status bar.
    void switchPerPortKeptAndShown()
    {
        CMainFrame& f = NewFrame();
        f.OnPortSelected(2);
        QVERIFY(!f.UpdateCommand(ID_MODBUS_DECODE).m_checked);
        f.OnCommand(ID_MODBUS_DECODE);
        QVERIFY(f.UpdateCommand(ID_MODBUS_DECODE).m_checked);
        QCOMPARE(f.StatusNote(QStringLiteral("modbus")), QString()); // named only while open
        TestPtyPair com3;
        OpenPort(2, com3);
        QCOMPARE(f.StatusNote(QStringLiteral("modbus")), QStringLiteral("MODBUS 解析: COM3"));
        f.OnCommand(ID_OPEN_PORT);
        QCOMPARE(f.StatusNote(QStringLiteral("modbus")), QString());
        QVERIFY(LoadDecoderSwitch(*m_store, 2, ModbusDecoder::kName));

        CMainFrame& g = NewFrame();
        g.OnPortSelected(2);
        QVERIFY(g.UpdateCommand(ID_MODBUS_DECODE).m_checked);
        g.OnPortSelected(0);
        QVERIFY(!g.UpdateCommand(ID_MODBUS_DECODE).m_checked);
        g.OnPortSelected(2);
        g.OnCommand(ID_MODBUS_DECODE);
        QCOMPARE(g.StatusNote(QStringLiteral("modbus")), QString());
        QVERIFY(!LoadDecoderSwitch(*m_store, 2, ModbusDecoder::kName));
    }

    // The program as master: its sent request and the received answer, each with its line
    // under it, paired; a damaged answer in red; nothing decoded on a port that is off.
    void decodesSentAndReceivedUnderTheirLines()
    {
        TestPtyPair com1, com2;
        CMainFrame& f = NewFrame();
        OpenPort(1, com2);
        OpenPort(0, com1);
        f.Options().m_showSent = 1;
        f.Options().m_showTime = 0;
        f.OnCommand(ID_MODBUS_DECODE);

        f.SendSide()->SendEdit()->setPlainText(QStringLiteral("01 03 00 00 00 04 44 09"));
        QVERIFY(f.SendLine(0, 0));
        QCOMPARE(com1.Read(2000), QByteArray::fromHex("010300000004 4409"));
        com1.Write(QByteArray::fromHex("0103 08 162E 002A 0007 0000 72F4"));
        com2.Write(QByteArray::fromHex("010300000004 4409"));
        QTRY_VERIFY(Monitor().contains(QStringLiteral("COM2↑")));
        QTRY_VERIFY(Monitor().contains(QStringLiteral("应答")));
        const QString monitor = Monitor();
        QVERIFY2(monitor.contains(QStringLiteral("COM1↓01 03 00 00 00 04 44 09\n"
                                                 "  ⤷ 从站 1 读保持寄存器 起始 0 数量 4\n")),
                 qPrintable(monitor));
        QVERIFY2(monitor.contains(
                     QStringLiteral("COM1↑01 03 08 16 2E 00 2A 00 07 00 00 72 F4\n"
                                    "  ⤷ 从站 1 读保持寄存器 4 个: 162E 002A 0007 0000  应答 ")),
                 qPrintable(monitor));
        QCOMPARE(monitor.count(QStringLiteral("⤷")), 2);
        QCOMPARE(ColourOf(QStringLiteral("  ⤷ 从站 1 读保持寄存器 起始")), QColor(0, 128, 0));

        com1.Write(QByteArray::fromHex("01 83 02 C0 F1"));
        QTRY_VERIFY(Monitor().contains(QStringLiteral("异常 02 非法数据地址")));
        QCOMPARE(ColourOf(QStringLiteral("  ⤷ 从站 1 读保持寄存器 异常")), QColor(200, 0, 0));

        // The frame table keeps the frames, also while the monitor is paused, and exports them.
        f.OnCommand(ID_PAUSE);
        com1.Write(QByteArray::fromHex("01 83 02 C0 F1"));
        CModbusFrameTable* table = f.findChild<CModbusDecoding*>()->Table();
        QVERIFY(!table->isVisibleTo(&f));
        f.resize(1280, 800);
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        f.OnCommand(ID_MODBUS_TABLE);
        QVERIFY(f.UpdateCommand(ID_MODBUS_TABLE).m_checked);
        QTRY_COMPARE(table->View()->model()->rowCount(), 4);
        QVERIFY(!table->View()->model()->index(1, 10).data().toString().isEmpty()); // delay
        QTRY_VERIFY(table->width() > f.width() * 9 / 10); // not beside the send window
        const QString csv = m_xdg->FilePath(QStringLiteral("frames.csv"));
        table->SetFileNameAsker([csv] { return csv; });
        QVERIFY(table->ExportCsv());
        QFile file(csv);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        QCOMPARE(text.count(QStringLiteral("\r\n")), 5);
        QVERIFY(text.contains(QStringLiteral(",COM1,发,1,1,读保持寄存器,0,4,,正确,\r\n")));

        // What only time brings comes from the window's own timer: a request nobody answers
        // is named once its time-out has passed.
        f.OnCommand(ID_PAUSE);
        QVERIFY(f.SendLine(0, 0));
        QTRY_VERIFY_WITH_TIMEOUT(Monitor().contains(QStringLiteral("无应答")), 5000);
    }

    // A tap: the request comes in on one port of the forwarding pair, the answer on the
    // other; the copies that forwarding writes are not decoded again.
    void pairsAcrossTheForwardingPair()
    {
        TestPtyPair com1, com2;
        CMainFrame& f = NewFrame();
        OpenPort(0, com1);
        f.OnCommand(ID_MODBUS_DECODE);
        OpenPort(1, com2);
        f.OnCommand(ID_MODBUS_DECODE);
        f.Options().m_showSent = 1;
        f.findChild<CForwarder*>()->SetForwarding(true, 1, 2);

        com1.Write(QByteArray::fromHex("010300000004 4409"));
        QByteArray forwarded; // forwarding needs the event loop to run
        QTRY_VERIFY((forwarded += com2.Read(0)).size() >= 8);
        QCOMPARE(forwarded, QByteArray::fromHex("010300000004 4409"));
        com2.Write(QByteArray::fromHex("0103 08 162E 002A 0007 0000 72F4"));
        QTRY_VERIFY(Monitor().contains(QStringLiteral("COM1↓01 03 08")));
        QTest::qWait(100);
        const QString monitor = Monitor();
        QVERIFY2(monitor.contains(
                     QStringLiteral("COM2↑01 03 08 16 2E 00 2A 00 07 00 00 72 F4\n"
                                    "  ⤷ 从站 1 读保持寄存器 4 个: 162E 002A 0007 0000  应答 ")),
                 qPrintable(monitor));
        QCOMPARE(monitor.count(QStringLiteral("⤷")), 2);
    }
};

QTEST_MAIN(tst_ModbusDecoding)
#include "tst_ModbusDecoding.moc"
