#include "MainFrameFixture.h"
#include "TestPtyPair.h"
#include "app/files/MonitorFiles.h"
#include "app/frame/MainFrm.h"
#include "app/monitor/FrameMonitorView.h"
#include "app/ports/PortRestore.h"
#include "app/ports/SettingsBar.h"
#include "app/send/SendCommands.h"
#include "app/send/SendEditor.h"
#include "app/send/SendFrameWnd.h"
#include "core/base/CommandIds.h"
#include "core/serial/PortList.h"
#include "core/serial/PortMap.h"
#include "core/serial/SerialPort.h"
#include "core/settings/IniSettingsStore.h"
#include "core/text/CodePage.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QRegularExpression>
#include <QScreen>
#include <QStatusBar>
#include <QTextBlock>
#include <QToolBar>
#include <QtTest>

#include <atomic>
#include <chrono>
#include <climits>
#include <memory>
#include <thread>

namespace {

// One run of equal format in the monitor: its text and colour.
struct Run
{
    QString m_text;
    QColor m_colour;
};

QList<Run> Runs(const QTextDocument* doc)
{
    QList<Run> runs;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            runs.append({f.text(), f.charFormat().foreground().color()});
        }
    }
    return runs;
}

const QColor kGrey(128, 128, 128);
const QColor kRed(200, 0, 0);
const QColor kBlue(0, 0, 200);

QString Text(CMainFrame& frame)
{
    return frame.GetView()->toPlainText();
}

QStringList MenuTexts(QMenu* menu)
{
    QStringList texts;
    for (QAction* a : menu->actions())
        texts << (a->isSeparator() ? QStringLiteral("-")
                  : a->menu()      ? QStringLiteral(">") + a->text()
                                   : a->text());
    return texts;
}

} // namespace

class tst_MainFrm : public QObject, private MainFrameFixture
{
    Q_OBJECT

private:
    // What the user does: picks the port in the bar's selector.
    void PickPort(int port)
    {
        QComboBox* ports = m_frame->SettingsBar()->Combo(ID_PORT_SELECT);
        ports->setCurrentIndex(port);
        Q_EMIT ports->activated(port);
    }
    // COM1 on a, COM2 on b, both opened with F5's command; COM2 is then the current port.
    void OpenTwoPorts(TestPtyPair& a, TestPtyPair& b)
    {
        OpenPort(0, a);
        OpenPort(1, b);
    }
    QString BarText(int id) { return m_frame->SettingsBar()->Combo(id)->currentText(); }
    bool BarEnabled(int id) { return m_frame->SettingsBar()->Combo(id)->isEnabled(); }

private Q_SLOTS:
    void init() { StartFixture(); }
    void cleanup() { EndFixture(); }

    // A newcomer's way: present ports marked (texts unchanged), the prompt follows the pick,
    // F2 on a closed port says why, flow control kept, ports open again after a restart.
    void aWayInForANewcomer()
    {
        TestPtyPair com3, com4;
        CMainFrame& f = NewFrame();
        f.Map().SetPath(2, com3.SlavePath().toStdString());
        f.Map().SetPath(3, com4.SlavePath().toStdString());
        f.Map().SetPath(4, m_xdg->FilePath(QStringLiteral("gone")).toStdString());
        QComboBox* ports = f.SettingsBar()->Combo(ID_PORT_SELECT);
        ports->showPopup(); // the marks are made fresh as the list opens
        ports->hidePopup();
        QCOMPARE(ports->itemText(2), QStringLiteral("COM3"));
        QVERIFY(ports->itemData(2, Qt::FontRole).value<QFont>().bold());
        QVERIFY(ports->itemData(2, Qt::ToolTipRole).toString().contains(com3.SlavePath()));
        QVERIFY(!ports->itemData(4, Qt::FontRole).value<QFont>().bold());

        f.show();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        f.statusBar()->showMessage(ports->statusTip());
        PickPort(2);
        QVERIFY(f.statusBar()->currentMessage().startsWith(QStringLiteral("设置当前串口（COM3：")));
        f.SendSide()->SendEdit()->setPlainText(QStringLiteral("01 02"));
        f.UpdateAllCommands();
        QTest::keyClick(&f, Qt::Key_F2);
        QVERIFY(f.statusBar()->currentMessage().startsWith(QStringLiteral("COM3 未打开")));
        f.SettingsBar()->Combo(ID_FLOW_CONTROL)->setCurrentIndex(1); // RTS/CTS
        f.OnCommand(ID_OPEN_PORT);
        f.UpdateAllCommands();
        QTest::keyClick(&f, Qt::Key_F2); // open: F2 sends, the closed-port key is off
        QCOMPARE(com3.Read(2000), QByteArray::fromHex("0102"));

        f.OnCommand(ID_REOPEN_AT_START);
        CMainFrame& g = NewFrame(); // COM3 was open at exit; COM4 is asked for
        g.PortRestore()->OpenAtStart({3});
        QVERIFY(g.IsPortOpen(2) && g.IsPortOpen(3));
        QCOMPARE(g.GetPortRecord(2)->m_nFlowControl, 1);
        g.OnCommand(ID_REOPEN_AT_START);
        CMainFrame& h = NewFrame(); // the choice off: only what is asked for
        h.PortRestore()->OpenAtStart({3});
        QVERIFY(!h.IsPortOpen(2) && h.IsPortOpen(3));
        QVERIFY(m_messages.isEmpty());
    }

    void firstStartWithEmptyStore()
    {
        QVERIFY(IniSettingsStore::DefaultPath().starts_with(m_xdg->Root().toStdString()));
        CMainFrame& f = NewFrame();
        QCOMPARE(f.windowTitle(), QStringLiteral("VRL－串口监视工具"));
        FrameOptions& o = f.Options();
        QCOMPARE(o.m_showPort, 1);
        QCOMPARE(o.m_showSent + o.m_showTime + o.m_ascReceive + o.m_ascSend + o.m_addCR + o.m_addSTX
                     + o.m_addETX + o.m_addLF + o.m_paused + o.m_jumpToNextLine,
                 0);
        QCOMPARE(f.CurrentPort(), 0);
        QCOMPARE(BarText(ID_PORT_SELECT), QStringLiteral("COM1"));
        QCOMPARE(BarText(ID_BAUD_RATE), QStringLiteral("9600"));
        QCOMPARE(BarText(ID_PARITY), QStringLiteral("无校验"));
        QCOMPARE(BarText(ID_DATA_BITS), QStringLiteral("8"));
        QCOMPARE(BarText(ID_STOP_BITS), QStringLiteral("1"));
        QCOMPARE(BarText(ID_PACK_INTERVAL), QStringLiteral("20"));
        QCOMPARE(BarText(ID_FLOW_CONTROL), QStringLiteral("无"));
        QVERIFY(BarEnabled(ID_BAUD_RATE));
        QVERIFY(BarEnabled(ID_FLOW_CONTROL));
        QCOMPARE(f.SettingsBar()->Combo(ID_PORT_SELECT)->count(), 256);
        QCOMPARE(f.SettingsBar()->Combo(ID_BAUD_RATE)->count(), 23);
        QCOMPARE(f.UpdateCommand(ID_OPEN_PORT).m_text, QStringLiteral("打开COM1(&O)"));
        QCOMPARE(f.statusBar()->findChild<QLabel*>()->text(), QStringLiteral("就绪"));
        QVERIFY(f.MonitorFiles()->RecentFiles().Files().empty());

        // Exit before any selection stores port 0 and the options.
        m_frame.reset();
        QCOMPARE(m_store->ReadInt("Settings", "COMHis", -1), 0);
        QCOMPARE(m_store->ReadInt("Settings", "Common", -1), 1);
        IniSettingsStore reread(IniSettingsStore::DefaultPath()); // reached the file
        QCOMPARE(reread.ReadInt("Settings", "Common", -1), 1);
        QVERIFY(reread.ReadInt("MFW-Main", "right", -1) > 0);
    }

    void restartWithStoredOptionsAndPort()
    {
        m_store->WriteInt("Settings", "Common", 0x04 | 0x08); // time and ASC receive, no port
        m_store->WriteInt("Settings", "COMHis", 3);
        m_store->WriteString("Settings", "COM4", "19200:2:7:2:0:60");
        CMainFrame& f = NewFrame();
        QCOMPARE(f.Options().m_showPort, 0);
        QCOMPARE(f.Options().m_showTime, 1);
        QCOMPARE(f.Options().m_ascReceive, 1);
        QCOMPARE(BarText(ID_PORT_SELECT), QStringLiteral("COM4"));
        QCOMPARE(BarText(ID_BAUD_RATE), QStringLiteral("19200"));
        QCOMPARE(BarText(ID_PARITY), QStringLiteral("偶校验"));
        QCOMPARE(BarText(ID_DATA_BITS), QStringLiteral("7"));
        QCOMPARE(BarText(ID_STOP_BITS), QStringLiteral("2"));
        QCOMPARE(BarText(ID_PACK_INTERVAL), QStringLiteral("60"));
        // The commands that name the current port follow the selector from the start.
        QCOMPARE(f.CurrentPort(), 3);
        QCOMPARE(f.UpdateCommand(ID_OPEN_PORT).m_text, QStringLiteral("打开COM4(&O)"));
        f.OnCommand(ID_MODBUS_DECODE);
        QCOMPARE(m_store->ReadInt("Settings", "COM4Modbus", 0), 1);
        QVERIFY(f.Action(ID_SHOW_TIME)->isChecked());
        QVERIFY(!f.Action(ID_SHOW_PORT)->isChecked());

        f.OnCommand(ID_SHOW_PORT);
        m_frame.reset();
        QCOMPARE(m_store->ReadInt("Settings", "Common", -1), 0x04 | 0x08 | 0x01);
        QCOMPARE(m_store->ReadInt("Settings", "COMHis", -1), 3);
    }

    void f5ThenReceivedLinesWithPiecesAndColours()
    {
        TestPtyPair pty;
        QVERIFY(pty.IsValid());
        m_store->WriteInt("Settings", "COMHis", 3);
        CMainFrame& f = NewFrame();
        f.Map().SetPath(3, pty.SlavePath().toStdString());
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));

        QTest::keyClick(&f, Qt::Key_F5);
        QVERIFY2(f.IsPortOpen(3), qPrintable(m_messages.join('\n')));
        QCOMPARE(f.CurrentPort(), 3);
        QCOMPARE(f.statusBar()->currentMessage(), QStringLiteral("COM4 已打开，9600 8N1"));
        QCOMPARE(f.UpdateCommand(ID_OPEN_PORT).m_text, QStringLiteral("关闭COM4(&O)"));
        QCOMPARE(f.Action(ID_OPEN_PORT)->toolTip(), QStringLiteral("关闭COM4"));
        QVERIFY(!BarEnabled(ID_BAUD_RATE));
        QVERIFY(!f.UpdateCommand(ID_DEFAULT_SETTINGS).m_enabled);
        QVERIFY(f.GetPortRecord()); // -1: the current port

        QVERIFY(pty.Write(QByteArray("\x01\x03\x0A", 3)));
        QTRY_COMPARE_WITH_TIMEOUT(Text(f), QStringLiteral("COM4↑01 03 0A\n"), 5000);
        const QList<Run> runs = Runs(f.GetView()->document());
        QCOMPARE(runs.size(), 4);
        QCOMPARE(runs[0].m_text, QStringLiteral("COM"));
        QCOMPARE(runs[0].m_colour, kGrey);
        QCOMPARE(runs[1].m_text, QStringLiteral("4"));
        QCOMPARE(runs[1].m_colour, kRed);
        QCOMPARE(runs[2].m_text, QStringLiteral("↑"));
        QCOMPARE(runs[2].m_colour, kGrey);
        QCOMPARE(runs[3].m_text, QStringLiteral("01 03 0A"));
        QCOMPARE(runs[3].m_colour, kBlue);

        // A second message after a quiet gap is a line of its own.
        QTest::qWait(60);
        QVERIFY(pty.Write(QByteArray("\xFF", 1)));
        QTRY_COMPARE_WITH_TIMEOUT(Text(f), QStringLiteral("COM4↑01 03 0A\nCOM4↑FF\n"), 5000);

        // The settings were stored at the open; F5 again closes and frees the lists.
        QCOMPARE(QString::fromStdString(m_store->ReadString("Settings", "COM4")),
                 QStringLiteral("9600:0:8:0:0:20"));
        QTest::keyClick(&f, Qt::Key_F5);
        QVERIFY(!f.IsPortOpen(3));
        QCOMPARE(f.statusBar()->currentMessage(), QStringLiteral("COM4 已关闭"));
        QVERIFY(BarEnabled(ID_BAUD_RATE));
        QCOMPARE(f.UpdateCommand(ID_OPEN_PORT).m_text, QStringLiteral("打开COM4(&O)"));
        QVERIFY(m_messages.isEmpty());
    }

    void pauseShowPortShowTimeAndAscReceive()
    {
        CMainFrame& f = NewFrame();
        std::uint32_t tick = 5000;
        f.SetClocks([&tick] { return tick; }, [] { return std::string("12:30:05"); });
        const std::vector<std::uint8_t> msg{0x41, 0x00, 0x42};

        f.OnCommand(ID_PAUSE);
        f.OnReceiveData(0, msg);
        QCOMPARE(Text(f), QString()); // dropped, not kept
        f.OnCommand(ID_PAUSE);        // but counted when the pause ends
        QCOMPARE(Text(f), QStringLiteral("暂停显示期间有 1 条报文未显示\n"));
        f.OnCommand(ID_PAUSE);
        f.OnCommand(ID_PAUSE); // nothing hidden: no line
        QCOMPARE(Text(f), QStringLiteral("暂停显示期间有 1 条报文未显示\n"));
        f.GetView()->ClearAll(true);

        f.OnCommand(ID_SHOW_TIME);
        f.OnReceiveData(0, msg);
        tick += 1234;
        f.OnCommand(ID_SHOW_PORT); // off
        f.OnReceiveData(1, msg);
        tick += 2000;
        f.OnReceiveData(1, msg);
        QCOMPARE(Text(f), QStringLiteral("[12:30:05    ] COM1↑41 00 42\n"
                                         "[12:30:05 234] 41 00 42\n"
                                         "[12:30:05    ] 41 00 42\n"));
        QCOMPARE(Runs(f.GetView()->document()).first().m_colour, kGrey);

        f.GetView()->ClearAll(true);
        f.OnCommand(ID_SHOW_TIME);
        f.OnCommand(ID_ASC_RECEIVE);
        f.OnReceiveData(0, msg);
        f.OnReceiveData(0, {0x00, 0x41});
        f.OnReceiveData(0, {});
        QCOMPARE(Text(f), QStringLiteral("A\n\n\n"));

        // Sent lines show only with "show sent"; in the sent colour.
        f.OnCommand(ID_SHOW_PORT);
        f.AppendMonitorLine("01 02", 2, 0);
        QCOMPARE(Text(f), QStringLiteral("A\n\n\n"));
        f.OnCommand(ID_SHOW_SENT);
        f.AppendMonitorLine("01 02", 2, 0);
        QCOMPARE(Text(f), QStringLiteral("A\n\n\nCOM3↓01 02\n"));
        QCOMPARE(Runs(f.GetView()->document()).last().m_colour, kRed);
    }

    // The two 视图 choices, stored at once and back after a restart: the clock's
    // milliseconds in the stamp, and ASC text with every byte. Off, lines are as always.
    void clockAndEveryByteChoices()
    {
        CMainFrame& f = NewFrame();
        f.Options().m_showPort = 0;
        f.Options().m_ascReceive = 1;
        const std::vector<std::uint8_t> frame{'O', 'K', 0x00, 0x1B, 0x0D, 0x0A};
        f.OnReceiveData(0, frame);
        f.OnCommand(ID_ASC_EVERY_BYTE);
        f.OnReceiveData(0, frame);
        f.Options().m_showTime = 1;
        f.OnCommand(ID_CLOCK_MILLISECONDS);
        f.OnReceiveData(0, {'A'});
        const QRegularExpression lines(QStringLiteral(
            "^OK\\nOK\\\\0\\\\x1B\\\\r\\\\n\\n\\[\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d\\] A\\n$"));
        QVERIFY2(lines.match(Text(f)).hasMatch(), qPrintable(Text(f)));
        CMainFrame& again = NewFrame();
        QVERIFY(again.UpdateCommand(ID_CLOCK_MILLISECONDS).m_checked
                && again.Options().m_ascEveryByte);
    }

    // 视图 → 文本终端: set, kept, undone to what was before; a change by hand ends it.
    void textTerminalSetsAndPutsBack_data()
    {
        QTest::addColumn<QList<int>>("before"); // ASC send, CR, LF, STX, ASC receive, UTF-8
        QTest::newRow("nothing set") << QList<int>{0, 0, 0, 0, 0, 0};
        QTest::newRow("framing of its own, ASC receive") << QList<int>{1, 0, 1, 1, 1, 0};
    }
    void textTerminalSetsAndPutsBack()
    {
        QFETCH(QList<int>, before);
        FrameOptions* o = &NewFrame().Options();
        o->m_ascSend = before[0], o->m_addCR = before[1], o->m_addLF = before[2];
        o->m_addSTX = before[3], o->m_ascReceive = before[4];
        m_frame->OnCommand(before[5] ? ID_TEXT_UTF8 : ID_TEXT_GBK);
        const auto state = [&o] {
            return QList<int>{o->m_ascSend,    o->m_addCR,
                              o->m_addLF,      o->m_addSTX,
                              o->m_ascReceive, CodePage::SystemChoice() == CodePage::Choice::Utf8};
        };
        m_frame->OnCommand(ID_TEXT_TERMINAL);
        TestPtyPair pty;
        OpenPort(0, pty);
        m_frame->SendSide()->SendEdit()->setPlainText(QStringLiteral("AT"));
        m_frame->OnCommand(ID_SEND_LINE);
        QCOMPARE(pty.Read(2000), QByteArray("AT\r"));
        QVERIFY(pty.Write(QByteArray("25\u00B0C\r\n")));
        QTRY_VERIFY(Text(*m_frame).endsWith(QStringLiteral("25°C\\r\\n\n")));

        o = &NewFrame().Options(); // kept; off, the settings before are back
        QVERIFY(m_frame->UpdateCommand(ID_TEXT_TERMINAL).m_checked);
        m_frame->OnCommand(ID_TEXT_TERMINAL);
        QCOMPARE(state(), before);
        m_frame->OnCommand(ID_TEXT_TERMINAL);
        m_frame->OnCommand(ID_ASC_RECEIVE); // by hand: the choice ends, nothing is put back
        QVERIFY(!m_frame->UpdateCommand(ID_TEXT_TERMINAL).m_checked);
        QCOMPARE(state(), (QList<int>{1, 1, 0, 0, 0, 1}));
    }

    void menuTextsAndChecksAfterToggles()
    {
        CMainFrame& f = NewFrame();
        f.show();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        QMenu* tools = f.MenuOf(QStringLiteral("工具(&T)"));
        QVERIFY(tools);
        Q_EMIT tools->aboutToShow();
        QCOMPARE(MenuTexts(tools), (QStringList{QStringLiteral("打开COM1(&O)"),
                                                QStringLiteral("默认参数(&D)"),
                                                QStringLiteral("端口映射(&M)..."),
                                                QStringLiteral("-"),
                                                QStringLiteral("手动单行发报(&W)"),
                                                QStringLiteral("发送后跳到下行(&N)"),
                                                QStringLiteral("-"),
                                                QStringLiteral("ASC模式接收(&R)"),
                                                QStringLiteral("ASC模式发送(&S)"),
                                                QStringLiteral(">ASC模式发送时"),
                                                QStringLiteral(">文本编码"),
                                                QStringLiteral("-"),
                                                QStringLiteral("DTR"),
                                                QStringLiteral("RTS"),
                                                QStringLiteral("断开后自动重新打开(&U)"),
                                                QStringLiteral("启动时打开上次的串口(&L)"),
                                                QStringLiteral("-"),
                                                QStringLiteral("循环发送(&C)"),
                                                QStringLiteral("触发模式发送(&T)"),
                                                QStringLiteral("循环或触发发送设置(&A)..."),
                                                QStringLiteral("-"),
                                                QStringLiteral("转发设置(&Z)..."),
                                                QStringLiteral("MODBUS 解析(&B)"),
                                                QStringLiteral("脚本..."),
                                                QStringLiteral("-"),
                                                QStringLiteral(">语言 / Language")}));
        QMenu* view = f.MenuOf(QStringLiteral("视图(&V)"));
        QCOMPARE(MenuTexts(view),
                 (QStringList{
                     QStringLiteral("暂停报文监视(&P)"), QStringLiteral("报文过滤设置(&F)..."),
                     QStringLiteral("-"), QStringLiteral("显示端口(&P)"),
                     QStringLiteral("显示发送报文(&D)"), QStringLiteral("显示时间(&T)"),
                     QStringLiteral("时间显示时钟毫秒(&M)"),
                     QStringLiteral("ASC接收显示全部字节(&B)"), QStringLiteral("文本终端"),
                     QStringLiteral("-"), QStringLiteral("清除监视窗报文(&C)"), QStringLiteral("-"),
                     QStringLiteral("只读(&Y)"), QStringLiteral("自动换行(&W)")}));
        QMenu* window = f.MenuOf(QStringLiteral("窗口(&W)"));
        QCOMPARE(MenuTexts(window).last(), QStringLiteral(">窗口位于屏幕"));
        QVERIFY(f.MenuOf(QStringLiteral("添加校验(&P)")));
        QCOMPARE(f.Action(ID_CLEAR_MONITOR)->shortcut(), QKeySequence(QStringLiteral("Ctrl+D")));
        QCOMPARE(f.Action(ID_PAUSE)->shortcut(), QKeySequence(Qt::Key_Pause));

        f.OnCommand(ID_PAUSE);
        CommandState s = f.UpdateCommand(ID_PAUSE);
        QVERIFY(s.m_checked);
        QCOMPARE(s.m_text, QStringLiteral("继续报文监视(&P)"));
        QCOMPARE(f.Action(ID_PAUSE)->statusTip(), QStringLiteral("继续报文监视"));
        QCOMPARE(f.Action(ID_PAUSE)->toolTip(), QStringLiteral("继续报文监视"));
        QTest::keyClick(&f, Qt::Key_Pause);
        QCOMPARE(f.Options().m_paused, 0);
        QCOMPARE(f.Action(ID_PAUSE)->text(), QStringLiteral("暂停报文监视(&P)"));

        for (int id : {ID_SHOW_SENT, ID_SHOW_TIME, ID_ASC_RECEIVE, ID_WORD_WRAP, ID_READ_ONLY}) {
            QVERIFY(!f.UpdateCommand(id).m_checked);
            f.OnCommand(id);
            QVERIFY2(f.UpdateCommand(id).m_checked, qPrintable(QString::number(id)));
            QVERIFY(f.Action(id)->isChecked());
        }
        QCOMPARE(f.GetView()->GetWordWrap(), 1);
        QVERIFY(f.GetView()->GetReadOnly());
        f.OnCommand(ID_WORD_WRAP);
        QCOMPARE(f.GetView()->GetWordWrap(), 0);
        QVERIFY(!f.Action(ID_WORD_WRAP)->isChecked());

        // The ASC-send additions follow "ASC模式发送": greyed while it is off, checks kept.
        // (The rows as the program registers them: the send side's, served by the frame.)
        QVERIFY(!f.UpdateCommand(ID_ADD_CR).m_enabled);
        f.OnCommand(ID_ASC_SEND);
        for (int id : {ID_ADD_CR, ID_ADD_STX, ID_ADD_ETX, ID_ADD_LF})
            QVERIFY2(f.UpdateCommand(id).m_enabled, qPrintable(QString::number(id)));
        f.OnCommand(ID_ADD_CR);
        QVERIFY(f.Action(ID_ADD_CR)->isChecked());
        f.OnCommand(ID_ASC_SEND);
        s = f.UpdateCommand(ID_ADD_CR);
        QVERIFY(!s.m_enabled);
        QVERIFY(s.m_checked);
        QVERIFY(!f.Action(ID_ADD_CR)->isEnabled());
        f.OnCommand(ID_ASC_SEND);
        QVERIFY(f.Action(ID_ADD_CR)->isEnabled());
        QVERIFY(f.Action(ID_ADD_CR)->isChecked());

        // Clear: empty text, not modified, nothing to undo.
        f.AppendMonitorLine("01", 0, 1);
        QVERIFY(f.GetView()->IsModified());
        QTest::keyClick(&f, Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(Text(f), QString());
        QVERIFY(!f.GetView()->IsModified());
        QVERIFY(!f.GetView()->document()->isUndoAvailable());
    }

    void settingsBarAfterSelectingOpenAndClosedPorts()
    {
        TestPtyPair pty;
        CMainFrame& f = NewFrame();
        f.Map().SetPath(1, pty.SlavePath().toStdString());
        m_store->WriteString("Settings", "COM6", "57600:1:8:0:0:50");

        PickPort(1);
        QCOMPARE(f.CurrentPort(), 1);
        f.SettingsBar()->Combo(ID_BAUD_RATE)->setCurrentIndex(5);     // 19200
        f.SettingsBar()->Combo(ID_PACK_INTERVAL)->setCurrentIndex(2); // 60
        f.OnCommand(ID_OPEN_PORT);
        QVERIFY2(f.IsPortOpen(1), qPrintable(m_messages.join('\n')));
        QCOMPARE(f.GetPortRecord(1)->m_dwBaudRate, 19200u);
        QCOMPARE(f.GetPortRecord(1)->m_dwPackInterval, 60u);
        QVERIFY(f.SettingsBar()->Combo(ID_PORT_SELECT)->toolTip().contains(pty.SlavePath()));

        PickPort(5); // never opened, stored settings: 50 ms shows as 40
        QVERIFY(BarEnabled(ID_BAUD_RATE));
        QCOMPARE(BarText(ID_BAUD_RATE), QStringLiteral("57600"));
        QCOMPARE(BarText(ID_PARITY), QStringLiteral("奇校验"));
        QCOMPARE(BarText(ID_PACK_INTERVAL), QStringLiteral("40"));
        QCOMPARE(f.UpdateCommand(ID_OPEN_PORT).m_text, QStringLiteral("打开COM6(&O)"));
        QVERIFY(f.UpdateCommand(ID_DEFAULT_SETTINGS).m_enabled);
        f.OnCommand(ID_DEFAULT_SETTINGS);
        QCOMPARE(BarText(ID_BAUD_RATE), QStringLiteral("9600"));
        QCOMPARE(BarText(ID_PACK_INTERVAL), QStringLiteral("20"));

        PickPort(2); // neither listed nor stored: defaults
        QCOMPARE(BarText(ID_BAUD_RATE), QStringLiteral("9600"));

        PickPort(1); // open: its record's settings, lists disabled
        QCOMPARE(BarText(ID_BAUD_RATE), QStringLiteral("19200"));
        QCOMPARE(BarText(ID_PACK_INTERVAL), QStringLiteral("60"));
        QVERIFY(!BarEnabled(ID_BAUD_RATE));
        QVERIFY(!BarEnabled(ID_PACK_INTERVAL));
        QVERIFY(BarEnabled(ID_PORT_SELECT));
        QVERIFY(!BarEnabled(ID_FLOW_CONTROL));
        QCOMPARE(f.UpdateCommand(ID_OPEN_PORT).m_text, QStringLiteral("关闭COM2(&O)"));

        f.OnCommand(ID_OPEN_PORT); // closed: the record stays with its settings
        PickPort(2);
        PickPort(1);
        QVERIFY(BarEnabled(ID_BAUD_RATE));
        QCOMPARE(BarText(ID_BAUD_RATE), QStringLiteral("19200"));
    }

    void windowCommandsOnAGivenScreen()
    {
        CMainFrame& f = NewFrame();
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        f.SetScreenSize(QSize(1920, 1080));
        f.OnCommand(ID_WINDOW_CENTER);
        QCOMPARE(f.frameGeometry(), QRect(480, 270, 960, 540));
        f.OnCommand(ID_WINDOW_RIGHT_HALF);
        QCOMPARE(f.frameGeometry(), QRect(960, 0, 960, 1080));
        f.OnCommand(ID_WINDOW_BOTTOM_HALF);
        QCOMPARE(f.frameGeometry(), QRect(0, 540, 1920, 540));
        QVERIFY(f.UpdateCommand(ID_WINDOW_LEFT_HALF).m_enabled);
        QVERIFY(!f.UpdateCommand(ID_WINDOW_LEFT_HALF).m_checked);

        // The rectangle comes back at the next start (one that fits the real screen).
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        f.setGeometry(QRect(area.left() + 10, area.top() + 20, 500, 400));
        const QRect placed = f.geometry();
        m_frame.reset();
        QCOMPARE(m_store->ReadInt("MFW-Main", "top", -1), placed.top());
        QCOMPARE(m_store->ReadInt("MFW-Main", "bottom", -1), placed.top() + placed.height());
        CMainFrame& again = NewFrame();
        QCOMPARE(again.geometry(), placed);

        // A rectangle on a screen that is no longer there (a monitor unplugged since) would
        // put the window where nobody can see it: it opens on the primary screen instead.
        m_frame.reset();
        m_store->WriteInt("MFW-Main", "left", 20000);
        m_store->WriteInt("MFW-Main", "top", 20000);
        m_store->WriteInt("MFW-Main", "right", 20640);
        m_store->WriteInt("MFW-Main", "bottom", 20480);
        CMainFrame& lost = NewFrame();
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QVERIFY2(screen.intersects(lost.geometry()),
                 qPrintable(QStringLiteral("%1,%2").arg(lost.x()).arg(lost.y())));
        // Partly on the screen is moved onto it, keeping its size.
        m_frame.reset();
        m_store->WriteInt("MFW-Main", "left", area.right() - 300);
        m_store->WriteInt("MFW-Main", "top", area.top() + 10);
        m_store->WriteInt("MFW-Main", "right", area.right() + 300);
        m_store->WriteInt("MFW-Main", "bottom", area.top() + 410);
        QCOMPARE(NewFrame().geometry(), QRect(area.right() + 1 - 600, area.top() + 10, 600, 400));
        // Values edited by hand or damaged: never larger than the work area, never off it.
        for (const int huge : {2000000000, INT_MAX}) {
            m_frame.reset();
            m_store->WriteInt("MFW-Main", "left", huge == INT_MAX ? INT_MIN : area.left());
            m_store->WriteInt("MFW-Main", "top", huge == INT_MAX ? INT_MIN : area.top());
            m_store->WriteInt("MFW-Main", "right", huge);
            m_store->WriteInt("MFW-Main", "bottom", huge);
            const QRect g = NewFrame().geometry();
            QVERIFY2(area.contains(g), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                      .arg(g.x())
                                                      .arg(g.y())
                                                      .arg(g.width())
                                                      .arg(g.height())));
        }
    }

    void alwaysOnTopIsStoredAtOnce()
    {
        m_store->WriteInt("Settings", "Common", 0x2C);
        CMainFrame& f = NewFrame();
        f.show();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        const QRect before = f.geometry();
        QTest::keyClick(&f, Qt::Key_T, Qt::ControlModifier);
        QVERIFY(f.IsTopMost());
        QVERIFY(f.UpdateCommand(ID_ALWAYS_ON_TOP).m_checked);
        QCOMPARE(f.geometry(), before);
        QCOMPARE(
            IniSettingsStore(IniSettingsStore::DefaultPath()).ReadInt("Settings", "Common", -1),
            0x12C);
        f.OnCommand(ID_ALWAYS_ON_TOP);
        QVERIFY(!f.IsTopMost());
        QCOMPARE(
            IniSettingsStore(IniSettingsStore::DefaultPath()).ReadInt("Settings", "Common", -1),
            0x2C);
        f.OnCommand(ID_ALWAYS_ON_TOP);

        // Bit 8 alone: topmost at the next start, show port off.
        m_frame.reset();
        m_store->WriteInt("Settings", "Common", 0x100);
        CMainFrame& g = NewFrame();
        QVERIFY(g.IsTopMost());
        QCOMPARE(g.Options().m_showPort, 0);
    }

    void unopenablePortIsReportedAndLeavesNoEntry()
    {
        CMainFrame& f = NewFrame();
        f.Map().SetPath(4, "/nonexistent/ttyVRL");
        PickPort(4);
        f.OnCommand(ID_OPEN_PORT);
        QCOMPARE(m_messages.size(), 1);
        QVERIFY2(m_messages[0].startsWith(QStringLiteral("COM5")), qPrintable(m_messages[0]));
        QCOMPARE(f.Ports().IndexOf(4), -1);
        QVERIFY(!f.IsPortOpen(4));
        QVERIFY(BarEnabled(ID_BAUD_RATE));
        QCOMPARE(f.CurrentPort(), 4); // picked, not opened
        QCOMPARE(f.Action(ID_OPEN_PORT)->text(), QStringLiteral("打开COM5(&O)"));

        // A number with no device at all.
        PickPort(200);
        f.OnCommand(ID_OPEN_PORT);
        QCOMPARE(m_messages.size(), 2);
        QVERIFY2(m_messages[1].contains(QStringLiteral("COM201")), qPrintable(m_messages[1]));
        QCOMPARE(f.Ports().GetCount(), 0);
    }

    void monitorFileAndRecentFiles()
    {
        CMainFrame& f = NewFrame();
        f.AppendMonitorLine("01 03 0A", 0, 1);
        // An "&" in the name is shown, not taken for the item's access key.
        const QString path = m_xdg->Root() + QStringLiteral("/R&D capture.tnf");
        const QString shown =
            QStringLiteral("&1 ") + m_xdg->Root() + QStringLiteral("/R&&D capture.tnf");
        QVERIFY(f.GetView()->SaveFile(path));

        CMainFrame& g = NewFrame();
        QVERIFY(g.MonitorFiles()->OpenMonitorFile(path));
        QCOMPARE(Text(g), QStringLiteral("COM1↑01 03 0A\n"));
        QVERIFY(!g.GetView()->IsModified());
        QCOMPARE(g.MonitorFiles()->RecentFiles().Files(),
                 std::vector<std::string>{path.toStdString()});
        QMenu* file = g.MenuOf(QStringLiteral("文件(&F)"));
        QVERIFY(file);
        QCOMPARE(MenuTexts(file), (QStringList{QStringLiteral("打开监视报文(&O)...\tCtrl+O"),
                                               QStringLiteral("保存监视报文(&S)...\tCtrl+S"),
                                               QStringLiteral("定时保存、清除(&T)..."),
                                               QStringLiteral("-"),
                                               QStringLiteral("导出 pcapng..."),
                                               QStringLiteral("录制 pcapng..."),
                                               QStringLiteral("回放 pcapng..."),
                                               QStringLiteral("-"),
                                               QStringLiteral("打开发送报文(&F)"),
                                               QStringLiteral("保存发送报文(&A)"),
                                               QStringLiteral("-"),
                                               QStringLiteral("发送文件 (XMODEM/YMODEM)..."),
                                               QStringLiteral("接收文件..."),
                                               QStringLiteral("-"),
                                               QStringLiteral("打印(&P)...\tCtrl+P"),
                                               QStringLiteral("打印预览(&V)"),
                                               QStringLiteral("打印设置(&R)..."),
                                               QStringLiteral("-"),
                                               shown,
                                               QStringLiteral("-"),
                                               QStringLiteral("退出(&X)")}));

        // A damaged file shows what could be read, and the user is told that it is damaged.
        const QString damaged = m_xdg->Root() + QStringLiteral("/damaged.tnf");
        {
            QFile out(damaged);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write("{\\rtf1\\ansi 01 03 0A\\par 01 0");
        }
        QVERIFY(g.MonitorFiles()->OpenMonitorFile(damaged));
        QVERIFY(Text(g).startsWith(QStringLiteral("01 03 0A\n")));
        QCOMPARE(m_messages.size(), 1);
        QVERIFY2(m_messages[0].contains(QStringLiteral("已损坏")), qPrintable(m_messages[0]));
        QVERIFY(g.MonitorFiles()->OpenMonitorFile(path));
        g.MonitorFiles()->RecentFiles().Remove(1);
        g.RebuildMenus();

        // A file that cannot be read leaves the text and the list as they were.
        const QString missing = m_xdg->Root() + QStringLiteral("/missing.tnf");
        QVERIFY(!g.MonitorFiles()->OpenMonitorFile(missing));
        QVERIFY2(g.statusBar()->currentMessage().contains(missing),
                 qPrintable(g.statusBar()->currentMessage()));
        QCOMPARE(Text(g), QStringLiteral("COM1↑01 03 0A\n"));
        QCOMPARE(g.MonitorFiles()->RecentFiles().Size(), 1u);

        m_frame.reset(); // the list is kept
        CMainFrame& h = NewFrame();
        QCOMPARE(h.MonitorFiles()->RecentFiles().Files(),
                 std::vector<std::string>{path.toStdString()});

        // A recent file that is gone: the user is told, and the entry leaves the list.
        QVERIFY(QFile::remove(path));
        QMenu* recent = h.MenuOf(QStringLiteral("文件(&F)"));
        QAction* entry = nullptr;
        for (QAction* a : recent->actions())
            if (a->text() == shown)
                entry = a;
        QVERIFY(entry);
        entry->trigger();
        QCOMPARE(m_messages.size(), 2);
        QVERIFY2(m_messages[1].contains(path), qPrintable(m_messages[1]));
        QVERIFY(h.MonitorFiles()->RecentFiles().Files().empty());
        QCOMPARE(Text(h), QString());
    }

    void refusedSettingsAndStoredPortOutOfRange()
    {
        TestPtyPair pty;
        m_store->WriteInt("Settings", "COMHis", 300); // no such entry: no selection
        CMainFrame& f = NewFrame();
        QCOMPARE(f.SettingsBar()->SelectedPort(), -1);
        f.OnCommand(ID_OPEN_PORT); // nothing to open
        QCOMPARE(f.Ports().GetCount(), 0);
        QVERIFY(m_messages.isEmpty());

        // 4 data bits cannot be set on this system: the settings message, no entry.
        f.Map().SetPath(0, pty.SlavePath().toStdString());
        PickPort(0);
        f.SettingsBar()->Combo(ID_DATA_BITS)->setCurrentIndex(4);
        QCOMPARE(BarText(ID_DATA_BITS), QStringLiteral("4"));
        f.OnCommand(ID_OPEN_PORT);
        QCOMPARE(m_messages.size(), 1);
        QVERIFY2(m_messages[0].startsWith(QStringLiteral("COM1设置错误")),
                 qPrintable(m_messages[0]));
        QCOMPARE(f.Ports().IndexOf(0), -1);
        QVERIFY(BarEnabled(ID_DATA_BITS));

        // Opened again with 8 data bits: a fresh record from the bar.
        f.SettingsBar()->Combo(ID_DATA_BITS)->setCurrentIndex(0);
        f.OnCommand(ID_OPEN_PORT);
        QVERIFY(f.IsPortOpen(0));
        QCOMPARE(f.GetPortRecord(0)->m_nDataBits, 8);
    }

    void focusKeyAndBarLayout()
    {
        CMainFrame& f = NewFrame();
        f.show();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        // 800 pixels wide: the settings bar shows every list, none pushed into the bar's
        // overflow menu.
        f.resize(800, 600);
        QTRY_COMPARE(f.width(), 800);
        QTest::qWait(20);
        QVERIFY2(f.SettingsBar()->width() >= f.SettingsBar()->sizeHint().width(),
                 qPrintable(QStringLiteral("%1 < %2")
                                .arg(f.SettingsBar()->width())
                                .arg(f.SettingsBar()->sizeHint().width())));
        f.GetView()->setFocus();
        QComboBox* ports = f.SettingsBar()->Combo(ID_PORT_SELECT);
        QTest::keyClick(&f, Qt::Key_C, Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier);
        QVERIFY(!ports->hasFocus()); // with Shift the key is not the focus key
        QTest::keyClick(&f, Qt::Key_C, Qt::ControlModifier | Qt::AltModifier);
        QTRY_VERIFY(ports->hasFocus());

        // Bars hidden by their commands stay hidden at the next start.
        QTest::keyClick(&f, Qt::Key_B, Qt::ControlModifier);
        QVERIFY(!f.SettingsBar()->isVisible());
        QVERIFY(!f.UpdateCommand(ID_SETTINGS_BAR).m_checked);
        f.OnCommand(ID_VIEW_STATUS_BAR);
        QVERIFY(!f.statusBar()->isVisible());
        NewFrame().show();
        QVERIFY(QTest::qWaitForWindowExposed(m_frame.get()));
        QVERIFY(!m_frame->SettingsBar()->isVisible());
        QVERIFY(!m_frame->statusBar()->isVisible());
        QVERIFY(m_frame->MainToolBar()->isVisible());
    }

    void editCommandsActOnTheFocusedEditor()
    {
        CMainFrame& f = NewFrame();
        f.show();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        f.AppendMonitorLine("01 02", 0, 1);
        QPlainTextEdit* send = f.SendBar()->SendEdit();
        send->setPlainText(QStringLiteral("EB 90"));
        send->setFocus();
        QTRY_VERIFY(send->hasFocus());
        f.OnCommand(ID_EDIT_SELECT_ALL);
        QCOMPARE(send->textCursor().selectedText(), QStringLiteral("EB 90"));
        QVERIFY(!f.GetView()->textCursor().hasSelection());
        f.OnCommand(ID_EDIT_CUT);
        QCOMPARE(send->toPlainText(), QString());
        f.OnCommand(ID_EDIT_UNDO);
        QCOMPARE(send->toPlainText(), QStringLiteral("EB 90"));

        f.GetView()->setFocus();
        QTRY_VERIFY(f.GetView()->hasFocus());
        f.OnCommand(ID_EDIT_SELECT_ALL);
        QVERIFY(f.GetView()->textCursor().selectedText().startsWith(QStringLiteral("COM1↑01 02")));
    }

    void hungUpPortIsReportedAndCanBeClosed()
    {
        auto pty = std::make_unique<TestPtyPair>();
        m_store->WriteInt("Settings", "AutoReconnect", 0); // else the lost port is closed to wait
        CMainFrame& f = NewFrame();
        QVERIFY(OpenPort(0, *pty));
        pty.reset(); // the far end goes away
        QLabel* ready = f.statusBar()->findChild<QLabel*>();
        QTRY_COMPARE_WITH_TIMEOUT(
            ready->text(), QStringLiteral("COM1 已停止接收（设备已断开），请关闭后重新打开"), 5000);
        QVERIFY(f.IsPortOpen(0));
        f.OnCommand(ID_OPEN_PORT);
        QVERIFY(!f.IsPortOpen(0));
        QCOMPARE(ready->text(), QStringLiteral("就绪"));

        // The user closes the port before the window has heard that it stopped: the late
        // news must not stick to the closed port, nor to its next open.
        pty = std::make_unique<TestPtyPair>();
        QVERIFY(OpenPort(0, *pty));
        pty.reset();
        std::this_thread::sleep_for(std::chrono::milliseconds(500)); // the worker ends, unheard
        f.OnCommand(ID_OPEN_PORT);
        QVERIFY(!f.IsPortOpen(0));
        QTest::qWait(100);
        QCOMPARE(ready->text(), QStringLiteral("就绪"));
    }

    // A damaged settings file is kept aside, not overwritten at exit, and the user is told.
    void damagedSettingsFileIsKeptAsideAndReported()
    {
        m_store.reset();
        QDir().mkpath(QFileInfo(m_xdg->ConfigFile()).absolutePath());
        QFile file(m_xdg->ConfigFile());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(4096, '\0'));
        file.close();
        m_store = std::make_unique<IniSettingsStore>(m_xdg->ConfigFile().toStdString());
        NewFrame();
        QTRY_COMPARE(m_messages.size(), 1);
        QVERIFY2(m_messages.first().contains(QStringLiteral("已改名保留")),
                 qPrintable(m_messages.first()));
        const QStringList kept = QDir(QFileInfo(m_xdg->ConfigFile()).absolutePath())
                                     .entryList({QStringLiteral("VRL.conf.bad-*")});
        QCOMPARE(kept.size(), 1);
    }

    // The window goes while a port floods it, without the port being closed first: the
    // workers must be joined before anything they hand messages to is gone.
    void exitWhilePortsReceive()
    {
        TestPtyPair a;
        TestPtyPair b;
        CMainFrame& f = NewFrame();
        OpenTwoPorts(a, b);
        QVERIFY(f.IsPortOpen(0) && f.IsPortOpen(1));
        std::atomic<bool> stop{false};
        std::thread feeder([&] {
            const QByteArray chunk(512, '\x55');
            while (!stop) {
                a.TryWrite(chunk, 10);
                b.TryWrite(chunk, 10);
            }
        });
        QTRY_VERIFY_WITH_TIMEOUT(!Text(f).isEmpty(), 5000);
        m_frame.reset();
        stop = true;
        feeder.join();
    }

    // Floods one after another into the real window with hex shown: each must drain, and
    // none may need the stall guard's turn (a wake-up of the window gone missing).
    void floodsInARowAllDrain()
    {
        constexpr int kFloods = 8;
        constexpr int kFloodBytes = 2 << 20;
        TestPtyPair a;
        CMainFrame& f = NewFrame();
        QVERIFY(OpenPort(0, a));
        for (int flood = 0; flood < kFloods; ++flood) {
            QByteArray bytes(kFloodBytes, '\x55');
            bytes.append("\xA5\x5A").append(static_cast<char>(flood));
            std::thread feeder([&] { a.Write(bytes); });
            const QString end = QStringLiteral("A5 5A %1").arg(flood, 2, 16, QLatin1Char('0'));
            // The document itself changes when the text limit empties the monitor.
            QTRY_VERIFY2_WITH_TIMEOUT(
                f.GetView()->document()->lastBlock().previous().text().endsWith(end),
                qPrintable(end), 60000);
            feeder.join();
            QCOMPARE(f.ReceiveTurns().Inbox().WaitingBytes(), std::size_t{0});
        }
        QCOMPARE(f.ReceiveTurns().Stalls(), std::uint64_t{0});
    }

    // A wake-up of the window lost on its way: the stall guard finds the message waiting with
    // no turn scheduled, shows it by itself within a second or two, and counts the rescue.
    void lostWakeUpIsRescued()
    {
        TestPtyPair a;
        CMainFrame& f = NewFrame();
        QVERIFY(OpenPort(0, a));
        CReceiveTurns& turns = f.ReceiveTurns();
        {
            const QSignalBlocker lost(&turns);
            turns.Inbox().Push(0, {0xA5, 0x5A});
        }
        QVERIFY(!turns.IsTurnScheduled());
        QTRY_VERIFY_WITH_TIMEOUT(Text(f).contains(QStringLiteral("A5 5A")), 5000);
        QCOMPARE(turns.Stalls(), std::uint64_t{1});
    }

    // Lines sent to a port whose far end does not read (as flow control would hold it) wait in
    // the port's queue: the window goes on, and every byte comes out in order once it reads.
    void sentLinesNeverBlockTheWindow()
    {
        TestPtyPair a;
        CMainFrame& f = NewFrame();
        QVERIFY(OpenPort(0, a));
        QString line;
        QByteArray bytes;
        for (int i = 0; i < 1000; ++i) {
            line += QStringLiteral("%1 ").arg(i & 0xFF, 2, 16, QLatin1Char('0'));
            bytes.append(static_cast<char>(i));
        }
        f.SendBar()->SendEdit()->setPlainText(line.trimmed());
        constexpr int kLines = 300; // far more than the line's buffers hold
        QElapsedTimer sending;
        sending.start();
        for (int i = 0; i < kLines; ++i)
            QVERIFY(f.SendLine(0, 0));
        QVERIFY2(sending.elapsed() < 5000, "the window waited for the port");
        QByteArray got;
        QElapsedTimer reading;
        reading.start();
        while (got.size() < kLines * bytes.size() && reading.elapsed() < 30000) {
            QCoreApplication::processEvents();
            got += a.Read(5);
        }
        QCOMPARE(got, bytes.repeated(kLines));
    }

    // A line sent to a port other than the current one goes to that port and is shown as
    // that port's sent line.
    void sendLineToAnotherPort()
    {
        TestPtyPair a;
        TestPtyPair b;
        CMainFrame& f = NewFrame();
        OpenTwoPorts(a, b);
        PickPort(0);
        QCOMPARE(f.CurrentPort(), 0);
        f.Options().m_showSent = 1;
        f.SendBar()->SendEdit()->setPlainText(QStringLiteral("01 02\n0A 0B"));
        QVERIFY(f.SendLine(1, 1));
        QCOMPARE(b.Read(2000), QByteArray("\x0A\x0B", 2));
        QCOMPARE(a.Read(200), QByteArray());
        QCOMPARE(Text(f), QStringLiteral("COM2↓0A 0B\n"));
    }
};

QTEST_MAIN(tst_MainFrm)
#include "tst_MainFrm.moc"
