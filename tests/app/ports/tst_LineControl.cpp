#include "MainFrameFixture.h"
#include "TestPtyPair.h"
#include "app/frame/MainFrm.h"
#include "app/monitor/FrameMonitorView.h"
#include "app/ports/LineControl.h"
#include "app/ports/SettingsBar.h"
#include "app/send/SendCommands.h"
#include "app/send/SendEditor.h"
#include "core/base/CommandIds.h"
#include "core/serial/PortList.h"
#include "core/serial/PortMap.h"
#include "core/serial/PortSettings.h"
#include "core/serial/SerialPort.h"
#include "core/settings/IniSettingsStore.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTimer>
#include <QtTest>

#include <memory>

#include "LoopbackServer.h"

namespace {

QString Url(const LoopbackServer& server)
{
    return QStringLiteral("tcp://127.0.0.1:%1").arg(server.port);
}

QString Text(CMainFrame& frame)
{
    return frame.GetView()->toPlainText();
}

// Points the link at a new target, as udev re-points a by-id link.
bool PointLink(const QString& link, const QString& target)
{
    QFile::remove(link);
    return QFile::link(target, link);
}

} // namespace

// Bench features of the port: reconnect after re-plug, typed rates, the text encoding and
// the modem lines, in the running window.
class tst_LineControl : public QObject, private MainFrameFixture
{
    Q_OBJECT
private Q_SLOTS:
    void init() { StartFixture(); }
    void cleanup() { EndFixture(); }

    // The far end goes and a new device appears under the same path: the port opens again
    // with its settings, once on a device event and once by the one-second look.
    void lostPortIsReopenedWhenItsPathComesBack()
    {
        auto pty = std::make_unique<TestPtyPair>();
        const QString link = m_xdg->FilePath(QStringLiteral("ttyLink"));
        QVERIFY(PointLink(link, pty->SlavePath()));
        CMainFrame& f = NewFrame();
        f.Map().SetPath(2, link.toStdString());
        f.OnPortSelected(2);
        f.SettingsBar()->Combo(ID_BAUD_RATE)->setCurrentIndex(20); // 115200
        f.OnCommand(ID_OPEN_PORT);
        QVERIFY2(f.IsPortOpen(2), qPrintable(m_messages.join('\n')));
        QVERIFY(f.UpdateCommand(ID_AUTO_RECONNECT).m_checked);

        pty.reset();
        QTRY_COMPARE_WITH_TIMEOUT(Text(f), QStringLiteral("COM3 设备已断开\n"), 5000);
        QVERIFY(!f.IsPortOpen(2));
        QVERIFY(f.StatusNote(QStringLiteral("reconnect")).contains(link));
        QVERIFY(f.SettingsBar()->Combo(ID_BAUD_RATE)->isEnabled()); // closed: the lists are free

        // Nothing there yet: a device event changes nothing.
        f.LineControl()->CheckReconnect();
        QVERIFY(!f.IsPortOpen(2));

        pty = std::make_unique<TestPtyPair>();
        QVERIFY(PointLink(link, pty->SlavePath()));
        f.LineControl()->CheckReconnect(); // the device event
        QVERIFY2(f.IsPortOpen(2), qPrintable(m_messages.join('\n')));
        QCOMPARE(Text(f), QStringLiteral("COM3 设备已断开\nCOM3 已重新打开\n"));
        QCOMPARE(f.GetPortRecord(2)->m_dwBaudRate, 115200u);
        QVERIFY(f.StatusNote(QStringLiteral("reconnect")).isEmpty());
        QVERIFY(!f.LineControl()->CheckTimer()->isActive());
        QVERIFY(pty->Write(QByteArray("\x41", 1)));
        QTRY_VERIFY_WITH_TIMEOUT(Text(f).endsWith(QStringLiteral("COM3↑41\n")), 5000);

        // Again, this time with no event: the look once a second finds it. With time shown,
        // the notices are stamped in its form.
        f.OnCommand(ID_SHOW_TIME);
        f.OnCommand(ID_CLOCK_MILLISECONDS);
        pty.reset();
        QTRY_VERIFY_WITH_TIMEOUT(!f.IsPortOpen(2), 5000);
        pty = std::make_unique<TestPtyPair>();
        QVERIFY(PointLink(link, pty->SlavePath()));
        QTRY_VERIFY_WITH_TIMEOUT(f.IsPortOpen(2), 5000);
        const QRegularExpression stamped(
            QStringLiteral("\\[\\d\\d:\\d\\d:\\d\\d\\.\\d{3}\\] COM3 设备已断开\\n"
                           "\\[\\d\\d:\\d\\d:\\d\\d\\.\\d{3}\\] COM3 已重新打开\\n$"));
        QVERIFY2(stamped.match(Text(f)).hasMatch(), qPrintable(Text(f)));
        QVERIFY(m_messages.isEmpty());
    }

    // A remote port: a server that refuses is an open that failed, said with host and port;
    // one that goes away is a lost device, and the port calls again until it answers.
    void remotePortUnreachableLostAndBack()
    {
        CMainFrame& f = NewFrame();
        LoopbackServer closed;
        closed.StopListening();
        const quint16 gone = closed.port;
        f.Map().SetPath(4, QStringLiteral("tcp://127.0.0.1:%1").arg(gone).toStdString());
        f.OnPortSelected(4);
        f.OnCommand(ID_OPEN_PORT);
        const QString refused =
            QStringLiteral("COM5 无法连接 127.0.0.1:%1：连接被拒绝（服务器未运行或端口不对）\n")
                .arg(gone);
        QTRY_COMPARE_WITH_TIMEOUT(Text(f), refused, 5000);
        QVERIFY(!f.IsPortOpen(4));
        QVERIFY(f.StatusNote(QStringLiteral("openError"))
                    .contains(QStringLiteral("127.0.0.1:%1").arg(gone)));
        QVERIFY(f.StatusNote(QStringLiteral("reconnect")).isEmpty());

        LoopbackServer server;
        f.Map().SetPath(4, Url(server).toStdString());
        f.OnCommand(ID_OPEN_PORT);
        QVERIFY(f.IsPortOpen(4));
        QTRY_VERIFY_WITH_TIMEOUT(server.Accept(0), 5000);
        QVERIFY(f.StatusNote(QStringLiteral("openError")).isEmpty());
        QCOMPARE(send(server.client, "\x41\xff", 2, MSG_NOSIGNAL), 2);
        QTRY_VERIFY_WITH_TIMEOUT(Text(f).endsWith(QStringLiteral("COM5↑41 FF\n")), 5000);

        server.StopListening(); // the server stops
        const QString lost = QStringLiteral("COM5 连接已断开（127.0.0.1:%1）\n").arg(server.port);
        QTRY_VERIFY_WITH_TIMEOUT(Text(f).endsWith(lost), 5000);
        QVERIFY(f.IsPortOpen(4)); // calling its server
        QVERIFY(f.StatusNote(QStringLiteral("reconnect")).contains(Url(server)));
        QTest::qWait(1500);
        QVERIFY(Text(f).endsWith(lost));
        QVERIFY(server.Listen()); // and starts again
        QTRY_VERIFY_WITH_TIMEOUT(server.Accept(0), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(Text(f).endsWith(lost + QStringLiteral("COM5 已重新打开\n")),
                                 5000);
        QVERIFY(f.StatusNote(QStringLiteral("reconnect")).isEmpty());
        QCOMPARE(send(server.client, "\x42", 1, MSG_NOSIGNAL), 1);
        QTRY_VERIFY_WITH_TIMEOUT(Text(f).endsWith(QStringLiteral("COM5↑42\n")), 5000);
        QVERIFY(m_messages.isEmpty());
    }

    // A port the user closed, or one lost while reconnect is off, is never opened again.
    void closedPortsAndSwitchedOffReconnectStayClosed()
    {
        auto pty = std::make_unique<TestPtyPair>();
        const QString link = m_xdg->FilePath(QStringLiteral("ttyLink"));
        QVERIFY(PointLink(link, pty->SlavePath()));
        CMainFrame& f = NewFrame();
        QVERIFY(OpenPort(0, link));
        pty.reset();
        QTRY_VERIFY_WITH_TIMEOUT(!f.IsPortOpen(0), 5000);
        // While it waits the user opens by hand (nothing there: the usual message) and so
        // ends the waiting.
        f.OnCommand(ID_OPEN_PORT);
        QCOMPARE(m_messages.size(), 1);
        pty = std::make_unique<TestPtyPair>();
        QVERIFY(PointLink(link, pty->SlavePath()));
        f.LineControl()->CheckReconnect();
        QVERIFY(!f.IsPortOpen(0));
        // Nor at a second look (the first leaves a device on the lost node alone, and the
        // new pseudo-terminal may have the old one's number); nor does it say it waits.
        f.LineControl()->CheckReconnect();
        QVERIFY(!f.IsPortOpen(0));
        QVERIFY(f.StatusNote(QStringLiteral("reconnect")).isEmpty());

        // A remote port calling its server again, closed by hand: it calls no more, and the
        // server that comes back is not called.
        LoopbackServer server;
        QVERIFY(OpenPort(4, Url(server)));
        QTRY_VERIFY_WITH_TIMEOUT(server.Accept(0), 5000);
        server.StopListening();
        QTRY_VERIFY_WITH_TIMEOUT(f.StatusNote(QStringLiteral("reconnect")).contains(Url(server)),
                                 5000);
        f.OnCommand(ID_OPEN_PORT);
        QVERIFY(!f.IsPortOpen(4));
        QVERIFY(f.StatusNote(QStringLiteral("reconnect")).isEmpty());
        const QString shown = Text(f);
        QVERIFY(server.Listen());
        QTest::qWait(2 * SerialPort::kRedialIntervalMs);
        QVERIFY(!server.Accept(0));
        QVERIFY(!f.IsPortOpen(4));
        QCOMPARE(Text(f), shown);
        f.OnPortSelected(0);

        // Switched off (and stored): the old stopped-port note, the port stays as it was.
        f.OnCommand(ID_AUTO_RECONNECT);
        QCOMPARE(m_store->ReadInt("Settings", "AutoReconnect", -1), 0);
        f.OnCommand(ID_OPEN_PORT);
        QVERIFY(f.IsPortOpen(0));
        const QString before = Text(f);
        pty.reset();
        QLabel* ready = f.statusBar()->findChild<QLabel*>();
        QTRY_VERIFY_WITH_TIMEOUT(ready->text().contains(QStringLiteral("已停止接收")), 5000);
        f.LineControl()->CheckReconnect();
        QVERIFY(f.IsPortOpen(0));
        QCOMPARE(Text(f), before);
        QVERIFY(f.StatusNote(QStringLiteral("reconnect")).isEmpty());
        NewFrame();
        QVERIFY(!m_frame->UpdateCommand(ID_AUTO_RECONNECT).m_checked);
    }

    // A typed rate goes to the line and the port's entry as its number and comes back at the
    // next start; one the line refuses gives the settings message and no open port. The
    // list keeps its 23 entries.
    void typedRateIsStoredAndRestoredAndRefusedRateLeavesPortClosed()
    {
        TestPtyPair pty;
        CMainFrame& f = NewFrame();
        f.Map().SetPath(1, pty.SlavePath().toStdString());
        f.OnPortSelected(1);
        QComboBox* rate = f.SettingsBar()->Combo(ID_BAUD_RATE);
        QCOMPARE(rate->count(), 23);
        rate->lineEdit()->selectAll();
        QTest::keyClicks(rate->lineEdit(), QStringLiteral("30000000"));
        f.OnCommand(ID_OPEN_PORT);
        QCOMPARE(m_messages, QStringList{QStringLiteral(
                                 "COM2设置错误：\n可能不支持所选波特率，或停止位，或数据位")});
        QVERIFY(!f.IsPortOpen(1));
        QCOMPARE(f.Ports().IndexOf(1), -1);
        QVERIFY(m_store->ReadString("Settings", "COM2").empty());
        QVERIFY(f.StatusNote(QStringLiteral("openError")).contains(pty.SlavePath()));

        rate->lineEdit()->selectAll();
        QTest::keyClicks(rate->lineEdit(), QStringLiteral("921600"));
        QTest::keyClick(rate->lineEdit(), Qt::Key_Return);
        QCOMPARE(rate->count(), 23);
        f.OnCommand(ID_OPEN_PORT);
        QVERIFY(f.IsPortOpen(1));
        QCOMPARE(f.GetPortRecord(1)->m_dwBaudRate, 921600u);
        QCOMPARE(QString::fromStdString(m_store->ReadString("Settings", "COM2")),
                 QStringLiteral("921600:0:8:0:0:20"));
        QVERIFY(f.StatusNote(QStringLiteral("openError")).isEmpty());

        // The next start shows it; a listed rate picked again replaces it.
        CMainFrame& g = NewFrame();
        QComboBox* again = g.SettingsBar()->Combo(ID_BAUD_RATE);
        QCOMPARE(g.SettingsBar()->SelectedPort(), 1);
        QCOMPARE(again->currentText(), QStringLiteral("921600"));
        QCOMPARE(again->count(), 23);
        again->setCurrentIndex(20);
        PortSettings read;
        g.SettingsBar()->ReadSettingsFromBar(read);
        QCOMPARE(read.m_dwBaudRate, 115200u);
    }

    // UTF-8 chosen: a UTF-8 device's text reads as written, a character cut by the packing
    // interval shows marks (no byte lost, no crash), and a typed line goes out as UTF-8.
    void utf8TextInAscModeBothWays()
    {
        TestPtyPair pty;
        m_store->WriteString("Settings", "Language", "en");
        QVERIFY(NewFrame().UpdateCommand(ID_TEXT_UTF8).m_checked); // not Chinese: UTF-8
        m_store->WriteString("Settings", "Language", "zh");
        CMainFrame& f = NewFrame();
        QVERIFY(f.UpdateCommand(ID_TEXT_GBK).m_checked);
        f.OnCommand(ID_TEXT_UTF8);
        QVERIFY(f.UpdateCommand(ID_TEXT_UTF8).m_checked);
        QVERIFY(!f.UpdateCommand(ID_TEXT_GBK).m_checked);
        QCOMPARE(m_store->ReadInt("Settings", "TextEncoding", -1), 1);
        f.OnCommand(ID_ASC_RECEIVE);
        f.OnCommand(ID_ASC_SEND);
        QVERIFY(OpenPort(0, pty));

        QVERIFY(pty.Write(QByteArray("\xE4\xBD\xA0\xE5\xA5\xBD")));
        QTRY_COMPARE_WITH_TIMEOUT(Text(f), QStringLiteral("COM1↑你好\n"), 5000);
        QVERIFY(pty.Write(QByteArray("\xE4")));
        QTRY_COMPARE_WITH_TIMEOUT(Text(f).count(QLatin1Char('\n')), 2, 5000);
        QTest::qWait(80); // longer than the packing interval: the rest is a message of its own
        QVERIFY(pty.Write(QByteArray("\xBD\xA0!")));
        QTRY_COMPARE_WITH_TIMEOUT(
            Text(f), QStringLiteral("COM1↑你好\nCOM1↑\uFFFD\nCOM1↑\uFFFD\uFFFD!\n"), 5000);

        f.SendSide()->SendEdit()->setPlainText(QStringLiteral("你好"));
        QVERIFY(f.SendLine(0, 0));
        QCOMPARE(pty.Read(2000), QByteArray("\xE4\xBD\xA0\xE5\xA5\xBD"));

        CMainFrame& g = NewFrame(); // stored
        QVERIFY(g.UpdateCommand(ID_TEXT_UTF8).m_checked);
        g.OnCommand(ID_TEXT_GBK);
        QCOMPARE(m_store->ReadInt("Settings", "TextEncoding", -1), 0);
    }

    // DTR and RTS of the current port: enabled while it is open, checked while asserted, the
    // choice kept with the port (not in its settings entry) for the next open. A
    // pseudo-terminal has no input lines: said in the status bar, no message.
    void modemLineSwitchesAndInputLineNote()
    {
        TestPtyPair pty;
        CMainFrame& f = NewFrame();
        QVERIFY(!f.UpdateCommand(ID_LINE_DTR).m_enabled);
        QVERIFY(OpenPort(0, pty));
        QVERIFY(f.UpdateCommand(ID_LINE_DTR).m_enabled);
        QVERIFY(f.UpdateCommand(ID_LINE_DTR).m_checked);
        QVERIFY(f.UpdateCommand(ID_LINE_RTS).m_checked);
        QTRY_COMPARE_WITH_TIMEOUT(f.StatusNote(QStringLiteral("modem")),
                                  QStringLiteral("COM1 CTS/DSR/DCD/RI 不可用"), 5000);

        f.OnCommand(ID_LINE_DTR);
        QVERIFY(!f.UpdateCommand(ID_LINE_DTR).m_checked);
        QVERIFY(f.UpdateCommand(ID_LINE_RTS).m_checked);
        QCOMPARE(m_store->ReadInt("Settings", "COM1Modem", -1), 2);
        QVERIFY(m_messages.isEmpty());

        f.OnCommand(ID_OPEN_PORT); // closed: nothing to switch, no note
        QVERIFY(!f.UpdateCommand(ID_LINE_DTR).m_enabled);
        QVERIFY(f.StatusNote(QStringLiteral("modem")).isEmpty());
        QCOMPARE(QString::fromStdString(m_store->ReadString("Settings", "COM1")),
                 QStringLiteral("9600:0:8:0:0:20"));

        CMainFrame& g = NewFrame(); // a fresh record takes the stored choice
        QVERIFY(OpenPort(0, pty));  // on g, the fixture's window now
        QVERIFY(!g.UpdateCommand(ID_LINE_DTR).m_checked);
        QCOMPARE(g.GetPortRecord(0)->OutputLines(), 2u);
    }
};

QTEST_MAIN(tst_LineControl)
#include "tst_LineControl.moc"
