#include "MainFrameFixture.h"
#include "TestPtyPair.h"
#include "app/commands/CommandRouter.h"
#include "app/forward/Forwarder.h"
#include "app/frame/MainFrm.h"
#include "app/monitor/FrameMonitorView.h"
#include "app/ports/SettingsBar.h"
#include "app/send/SendCommands.h"
#include "app/send/SendEditor.h"
#include "app/send/SendFile.h"
#include "app/send/SendFrameWnd.h"
#include "core/base/CommandIds.h"
#include "core/serial/PortMap.h"
#include "core/settings/IniSettingsStore.h"

#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTextBlock>
#include <QtTest>

#include <atomic>
#include <chrono>
#include <memory>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace {

const QString kBadLine = QStringLiteral("报文格式不对！组合键Ctrl+Alt+P分析错误！");

void SetCaretLine(CSendLineEditor& edit, int line)
{
    QTextCursor c = edit.textCursor();
    c.setPosition(edit.LineStart(line));
    edit.setTextCursor(c);
}

} // namespace

class tst_SendCommands : public QObject, private MainFrameFixture
{
    Q_OBJECT

private:
    CSendEditor& Edit() { return *m_frame->SendBar()->SendEdit(); }
    // COM1 on the pty's far end, open, with sent lines shown in the monitor.
    void OpenShowingSent(TestPtyPair& pty)
    {
        OpenPort(0, pty);
        m_frame->Options().m_showSent = 1;
    }
    QString Monitor() { return m_frame->GetView()->toPlainText(); }

private Q_SLOTS:
    void init() { StartFixture(); }
    void cleanup() { EndFixture(); }

    void sendLineInHexMode()
    {
        TestPtyPair pty;
        CMainFrame& f = NewFrame();
        Edit().setPlainText(
            QStringLiteral("EB 90 02 34 0D\neb 90 02 34 0d\nEB 90 \n\n<<--    -->>"));

        // A closed port: nothing to do, nothing shown, and F2 is disabled.
        SetCaretLine(Edit(), 0);
        QVERIFY(f.SendLine(-1, -1));
        QVERIFY(!f.UpdateCommand(ID_SEND_LINE).m_enabled);
        QVERIFY(Monitor().isEmpty());

        OpenShowingSent(pty);
        QVERIFY(f.UpdateCommand(ID_SEND_LINE).m_enabled);
        f.OnCommand(ID_SEND_LINE);
        QCOMPARE(pty.Read(1000), QByteArray::fromHex("EB9002340D"));
        QVERIFY2(Monitor().contains(QStringLiteral("EB 90 02 34 0D")), qPrintable(Monitor()));

        // Lower case goes out as bytes and is echoed as typed.
        SetCaretLine(Edit(), 1);
        f.OnCommand(ID_SEND_LINE);
        QCOMPARE(pty.Read(1000), QByteArray::fromHex("EB9002340D"));
        QVERIFY(Monitor().contains(QStringLiteral("eb 90 02 34 0d")));
        QVERIFY(m_messages.isEmpty());

        // A trailing blank, an empty line and a comment line are refused.
        const QString before = Monitor();
        for (int line : {2, 3, 4}) {
            SetCaretLine(Edit(), line);
            f.OnCommand(ID_SEND_LINE);
            QCOMPARE(m_messages.size(), 1);
            QCOMPARE(m_messages.takeFirst(), kBadLine);
            QCOMPARE(Monitor(), before);
        }
        QCOMPARE(pty.Read(100), QByteArray());
        QCOMPARE(Edit().toPlainText(),
                 QStringLiteral("EB 90 02 34 0D\neb 90 02 34 0d\nEB 90 \n\n<<--    -->>"));
    }

    void sendLineInAscMode()
    {
        TestPtyPair pty;
        CMainFrame& f = NewFrame();
        OpenShowingSent(pty);
        // The four additions are disabled until ASC send is on, and keep their check.
        QVERIFY(!f.UpdateCommand(ID_ADD_STX).m_enabled);
        f.OnCommand(ID_ASC_SEND);
        QVERIFY(f.UpdateCommand(ID_ASC_SEND).m_checked);
        for (int id : {ID_ADD_STX, ID_ADD_ETX, ID_ADD_CR, ID_ADD_LF}) {
            QVERIFY(f.UpdateCommand(id).m_enabled);
            f.OnCommand(id);
            QVERIFY(f.UpdateCommand(id).m_checked);
        }
        Edit().setPlainText(QStringLiteral("AB\n中文 A\nEB 90 "));
        SetCaretLine(Edit(), 0);
        f.OnCommand(ID_SEND_LINE);
        QCOMPARE(pty.Read(1000), QByteArray::fromHex("024142030D0A"));
        QVERIFY(Monitor().contains(QStringLiteral("\x02"
                                                  "AB\x03")));

        std::string framed = "x";
        f.SendSide()->ApplyAscFraming(framed);
        QCOMPARE(QByteArray::fromStdString(framed), QByteArray("\x02x\x03\r\n"));

        f.OnCommand(ID_ADD_STX);
        f.OnCommand(ID_ADD_ETX);
        f.OnCommand(ID_ADD_CR);
        f.OnCommand(ID_ADD_LF);
        SetCaretLine(Edit(), 1);
        f.OnCommand(ID_SEND_LINE);
        QCOMPARE(pty.Read(1000), QByteArray::fromHex("D6D0CEC42041")); // GBK
        QVERIFY(Monitor().contains(QStringLiteral("中文 A")));
        SetCaretLine(Edit(), 2);
        f.OnCommand(ID_SEND_LINE);
        QCOMPARE(pty.Read(1000), QByteArray("EB 90 "));

        f.OnCommand(ID_ASC_SEND);
        QVERIFY(!f.UpdateCommand(ID_ADD_STX).m_enabled);
        QVERIFY(m_messages.isEmpty());
    }

    void jumpToNextLineAfterSend()
    {
        TestPtyPair pty;
        CMainFrame& f = NewFrame();
        OpenShowingSent(pty);
        f.OnCommand(ID_ASC_SEND);
        f.OnCommand(ID_JUMP_NEXT_LINE);
        QVERIFY(f.UpdateCommand(ID_JUMP_NEXT_LINE).m_checked);
        Edit().setPlainText(QStringLiteral("A\nB\nC"));
        SetCaretLine(Edit(), 0);
        QByteArray got;
        for (int i = 0; i < 4; ++i) {
            f.OnCommand(ID_SEND_LINE);
            got += pty.Read(1000);
        }
        // The lines one after the other; on the last line the caret stays at its start.
        QCOMPARE(got, QByteArray("ABCC"));
        QCOMPARE(Edit().textCursor().position(), Edit().LineStart(2));

        // Without the option the caret stays.
        f.OnCommand(ID_JUMP_NEXT_LINE);
        SetCaretLine(Edit(), 0);
        f.OnCommand(ID_SEND_LINE);
        QCOMPARE(Edit().ResolveLine(-1), 0);
        QCOMPARE(pty.Read(1000), QByteArray("A"));
    }

    // A far end that stops reading (as flow control would hold the line) never stops the
    // window: lines wait in the port's queue (the tap's in the forwarding pair) and come out in
    // order once it reads. A blocking write fails when the watchdog reads in its place.
    void sentLinesWaitForAFarEndThatDoesNotRead_data()
    {
        QTest::addColumn<bool>("pair");
        QTest::newRow("own queue") << false;
        QTest::newRow("forwarding pair") << true;
    }
    void sentLinesWaitForAFarEndThatDoesNotRead()
    {
        QFETCH(bool, pair);
        TestPtyPair com1, com2;
        CMainFrame& f = NewFrame();
        OpenPort(0, com1);
        OpenPort(1, com2);
        auto& forwarder = *f.findChild<CForwarder*>();
        forwarder.SetForwarding(pair, 1, 2);
        QStringList lines; // 512 bytes each, every line its own byte
        for (int k = 1; k <= 8; ++k)
            lines << QStringLiteral("%1 ").arg(k, 2, 16, QLatin1Char('0')).repeated(512).trimmed();
        Edit().setPlainText(lines.join(QLatin1Char('\n')));

        std::atomic<bool> done{false}, fired{false};
        std::thread watchdog([&] {
            char sink[4096];
            pollfd p{com1.Master(), POLLIN, 0};
            for (int ms = 0; !done; ms += 10) {
                if (ms < 5000) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(10));
                    continue;
                }
                fired = true;
                if (poll(&p, 1, 10) > 0 && read(p.fd, sink, sizeof sink) < 0)
                    return;
            }
        });
        auto stop = qScopeGuard([&] {
            done = true;
            watchdog.join();
        });
        QByteArray sent;
        // Until the line is full and bytes wait, then lines more behind them: enough that a
        // kernel on a loaded machine, which frees room in the line late, cannot take them all.
        for (int i = 0, more = 64; i < 4000 && more > 0; ++i) {
            QVERIFY(f.SendLine(0, i % 8));
            sent += QByteArray(512, static_cast<char>(i % 8 + 1));
            more -= forwarder.Waiting(0) > 0 ? 1 : 0;
        }
        bool turned = false;
        QTimer::singleShot(0, &f, [&] { turned = true; });
        QTRY_VERIFY(turned);
        stop.dismiss();
        done = true;
        watchdog.join();
        QVERIFY2(!fired, "the window thread waited for the port");
        QVERIFY(forwarder.Waiting(0) > 0);

        QByteArray got; // read while the window turns
        QTRY_VERIFY_WITH_TIMEOUT((got += com1.Read(5)).size() >= sent.size(), 30000);
        QCOMPARE(got, sent);
    }

    void keysReachTheWindowFromTheEditor()
    {
        TestPtyPair pty;
        CMainFrame& f = NewFrame();
        OpenShowingSent(pty);
        f.show();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        Edit().setPlainText(QStringLiteral("01 03 00 00 00 01 55\n31 32 33 34 35 36 37 38 39"));

        // Ctrl+Alt+S puts the focus into the send editor.
        f.GetView()->setFocus();
        QTest::keyClick(&f, Qt::Key_S, Qt::ControlModifier | Qt::AltModifier);
        QTRY_VERIFY(Edit().hasFocus());

        SetCaretLine(Edit(), 0);
        f.UpdateAllCommands();
        QTest::keyClick(&Edit(), Qt::Key_M, Qt::ControlModifier);
        QCOMPARE(Edit().GetLineText(0), QStringLiteral("01 03 00 00 00 01 84 0A"));
        QTest::keyClick(&Edit(), Qt::Key_F2);
        QCOMPARE(pty.Read(1000), QByteArray::fromHex("010300000001840A"));
        SetCaretLine(Edit(), 1);
        QTest::keyClick(&Edit(), Qt::Key_F11, Qt::ControlModifier);
        QCOMPARE(Edit().GetLineText(1), QStringLiteral("31 32 33 34 35 36 37 38 39 DD"));

        // A refused line brings the focus back to the editor for the correction.
        Edit().InsertText(QString(), CSendLineEditor::LineAfter, 1);
        f.GetView()->setFocus();
        QTRY_VERIFY(!Edit().hasFocus());
        f.OnCommand(ID_SEND_LINE);
        QCOMPARE(m_messages, QStringList{kBadLine});
        QTRY_VERIFY(Edit().hasFocus());
        // Its key is in the context menu and in Edit, and works from the monitor too.
        QAction* check = std::unique_ptr<QMenu>(Edit().CreateContextMenu({}))->actions().last();
        QCOMPARE(check->text(), QStringLiteral("分析当前行"));
        QCOMPARE(check->shortcut(), QKeySequence(QStringLiteral("Ctrl+Alt+P")));
        QVERIFY(f.Router().MenuOf(QStringLiteral("编辑(&E)"))->actions().contains(check));
        f.GetView()->setFocus();
        QTest::keyClick(&f, Qt::Key_P, Qt::ControlModifier | Qt::AltModifier);
        QCOMPARE(m_messages.size(), 2);
        SetCaretLine(Edit(), 0);
        f.OnCommand(ID_CHECK_LINE);
        QCOMPARE(m_messages.size(), 2);
        QCOMPARE(f.statusBar()->currentMessage(), QStringLiteral("第 1 行是正确的十六进制报文"));
        Edit().undo();

        // F4 hides the bar: the check codes and the send files are disabled, and so are
        // their keys.
        QTest::keyClick(&Edit(), Qt::Key_F4);
        QVERIFY(f.SendBar()->isHidden());
        QVERIFY(!f.UpdateCommand(ID_SEND_WINDOW).m_checked);
        for (int id = ID_CHECK_SUM8; id <= ID_CHECK_CDT; ++id)
            QVERIFY(!f.UpdateCommand(id).m_enabled);
        QVERIFY(!f.UpdateCommand(ID_OPEN_SEND_FILE).m_enabled);
        QVERIFY(!f.UpdateCommand(ID_SAVE_SEND_FILE).m_enabled);
        f.UpdateAllCommands();
        QVERIFY(!f.Action(ID_CHECK_MODBUS)->isEnabled());
        f.OnCommand(ID_CHECK_SUM8);
        QCOMPARE(Edit().GetLineText(1), QStringLiteral("31 32 33 34 35 36 37 38 39 DD"));
        f.OnCommand(ID_SEND_WINDOW);
        QVERIFY(!f.SendBar()->isHidden());
        QVERIFY(f.UpdateCommand(ID_SEND_WINDOW).m_checked);
        QVERIFY(f.UpdateCommand(ID_CHECK_CDT).m_enabled);
    }

    void checkCodeCommands()
    {
        CMainFrame& f = NewFrame();
        Edit().setPlainText(
            QStringLiteral("31 32 33 34 35 36 37 38 39\nEB 90 02 34 0D\n31 32 33 34"));
        const struct
        {
            int id;
            QString line;
        } cases[] = {
            {ID_CHECK_SUM8, "31 32 33 34 35 36 37 38 39 DD"},
            {ID_CHECK_SUM16, "31 32 33 34 35 36 37 38 39 DD 01"},
            {ID_CHECK_MODBUS, "31 32 33 34 35 36 E4 32"},
            {ID_CHECK_CCITT16, "31 32 33 34 35 36 37 38 39 31 C3"},
            {ID_CHECK_CCITT8, "31 32 33 34 35 36 37 38 39 0B"},
            {ID_CHECK_ANSI16, "31 32 33 34 35 36 37 38 39 37 4B"},
            {ID_CHECK_CDT, "31 32 33 34 35 36 37 38 39 0B"},
        };
        for (const auto& c : cases) {
            SetCaretLine(Edit(), 0);
            f.OnCommand(c.id);
            QCOMPARE(Edit().GetLineText(0), c.line);
            Edit().undo(); // one step
            QCOMPARE(Edit().GetLineText(0), QStringLiteral("31 32 33 34 35 36 37 38 39"));
        }
        SetCaretLine(Edit(), 1);
        f.OnCommand(ID_CHECK_MODBUS);
        QCOMPARE(m_messages, QStringList{QStringLiteral("MODBUS查询报文长度不能小于6个字节！")});
        QCOMPARE(Edit().GetLineText(1), QStringLiteral("EB 90 02 34 0D"));

        // A selection inside the line: its code goes to the end of the line.
        QTextCursor c = Edit().textCursor();
        c.setPosition(Edit().LineStart(2) + 6);
        c.setPosition(Edit().LineStart(2) + 11, QTextCursor::KeepAnchor);
        Edit().setTextCursor(c);
        f.OnCommand(ID_CHECK_CCITT8);
        QCOMPARE(Edit().GetLineText(2), QStringLiteral("31 32 33 34 B5"));

        // The menu with its seven entries.
        QMenu* menu = f.MenuOf(QStringLiteral("添加校验(&P)"));
        QVERIFY(menu);
        QStringList texts;
        for (QAction* a : menu->actions())
            texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
        QCOMPARE(texts, (QStringList{"累加和(&C)", "保留高位的累加和(&H)", "-", "MODBUS规约CRC(&M)",
                                     "CCITT标准16位CRC(&O)", "CCITT标准  8位CRC(&D)",
                                     "ANSI标准16位CRC(&A)", "CDT规约CRC(&T)"}));
        QCOMPARE(f.Action(ID_CHECK_MODBUS)->shortcut(), QKeySequence(QStringLiteral("Ctrl+M")));
        QCOMPARE(f.Action(ID_CHECK_SUM8)->shortcut(), QKeySequence(QStringLiteral("Ctrl+F11")));
        QCOMPARE(f.Action(ID_CHECK_MODBUS)->toolTip(), QStringLiteral("MODBUS规约查询报文CRC校验"));
        QCOMPARE(f.Action(ID_SEND_WINDOW)->shortcut(), QKeySequence(Qt::Key_F4));
        QCOMPARE(f.Action(ID_SEND_LINE)->shortcut(), QKeySequence(Qt::Key_F2));
    }

    void sendFileCommandsAndRestart()
    {
        const QString defaultFile = m_xdg->Root() + "/data/Tellumar/VRL/VRL.tnf";
        {
            NewFrame();
            QCOMPARE(CSendFile::DefaultPath(), defaultFile);
            Edit().setPlainText(QStringLiteral("EB 90 02 34 0D\n注释行"));
            QTextCursor c = Edit().textCursor();
            c.setPosition(Edit().LineStart(1));
            c.setPosition(Edit().LineEnd(1), QTextCursor::KeepAnchor);
            Edit().setTextCursor(c);
            Edit().ApplyFormat(CSendLineEditor::Green);
        } // exit: saved without a question, into the default file (its folder is made)
        m_frame.reset();
        QVERIFY(QFileInfo::exists(defaultFile));
        {
            CMainFrame& f = NewFrame();
            QCOMPARE(Edit().toPlainText(), QStringLiteral("EB 90 02 34 0D\n注释行"));
            QTextCursor c(Edit().document());
            c.setPosition(Edit().LineStart(1) + 1);
            QCOMPARE(c.charFormat().foreground().color(), QColor(0, 128, 0));

            // Save as and open, with the titles and default name of the dialog.
            QStringList asked;
            const QString other = m_xdg->Root() + "/other.tnf";
            f.SetFileNameAsker([&](bool open, const QString& title, const QString& name) {
                asked << QString("%1|%2|%3").arg(open).arg(title, name);
                return other;
            });
            Edit().setPlainText("01 02");
            f.OnCommand(ID_SAVE_SEND_FILE);
            Edit().setPlainText("changed");
            f.OnCommand(ID_OPEN_SEND_FILE);
            QCOMPARE(Edit().toPlainText(), QStringLiteral("01 02"));
            QCOMPARE(asked, (QStringList{"0|保存发送窗报文|VRL", "1|打开发送窗报文|"}));
            QCOMPARE(QString::fromStdString(m_store->ReadString("Settings", "XREPath")), other);
            Edit().setPlainText("last words");
        }
        m_frame.reset();
        NewFrame();
        QCOMPARE(Edit().toPlainText(), QStringLiteral("last words")); // from the last saved path
    }

    void openedFileIsTheOneSavedAtExit()
    {
        const QString a = m_xdg->Root() + "/a.tnf";
        const QString b = m_xdg->Root() + "/b.tnf";
        {
            CMainFrame& f = NewFrame();
            QString answer;
            f.SetFileNameAsker([&](bool, const QString&, const QString&) { return answer; });
            answer = a;
            Edit().setPlainText("AA AA");
            f.OnCommand(ID_SAVE_SEND_FILE);
            answer = b;
            Edit().setPlainText("BB BB");
            f.OnCommand(ID_SAVE_SEND_FILE);
            // Open a, change it and quit: the change goes into a, and b keeps its own text.
            answer = a;
            f.OnCommand(ID_OPEN_SEND_FILE);
            QCOMPARE(Edit().toPlainText(), QStringLiteral("AA AA"));
            Edit().setPlainText("AA AA 01");
        }
        m_frame.reset();
        CSendEditor check;
        QVERIFY(CSendFile(check, *m_store).Load(b));
        QCOMPARE(check.toPlainText(), QStringLiteral("BB BB"));
        QVERIFY(CSendFile(check, *m_store).Load(a));
        QCOMPARE(check.toPlainText(), QStringLiteral("AA AA 01"));
        NewFrame();
        QCOMPARE(Edit().toPlainText(), QStringLiteral("AA AA 01"));
    }

    void failedSaveIsToldAndTheTextKept()
    {
        // Neither the chosen file nor the default file can be written: a plain file stands
        // where their folders would be.
        QFile blocker(m_xdg->Root() + "/data/Tellumar");
        QDir().mkpath(m_xdg->Root() + "/data");
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const QString unwritable = m_xdg->Root() + "/data/Tellumar/x.tnf";
        const QString rescue = m_xdg->Root() + "/rescue.tnf";
        QStringList asked;
        const auto closeFirst = qScopeGuard([this] { m_frame.reset(); }); // the asker sees `asked`
        {
            CMainFrame& f = NewFrame();
            f.SetFileNameAsker([&](bool open, const QString& title, const QString&) {
                asked << QString("%1|%2").arg(open).arg(title);
                return asked.size() == 1 ? unwritable : rescue;
            });
            Edit().setPlainText("EB 90 02 34 0D");
            f.OnCommand(ID_SAVE_SEND_FILE);
            QCOMPARE(m_messages.size(), 1);
            QVERIFY2(m_messages.first().contains(unwritable), qPrintable(m_messages.first()));
            m_messages.clear();
        }
        // At exit the user is told and asked for another file, which then holds the text.
        m_frame.reset();
        QCOMPARE(m_messages.size(), 1);
        QCOMPARE(asked, (QStringList{"0|保存发送窗报文", "0|保存发送窗报文"}));
        CSendEditor check;
        QVERIFY(CSendFile(check, *m_store).Load(rescue));
        QCOMPARE(check.toPlainText(), QStringLiteral("EB 90 02 34 0D"));
        QCOMPARE(QString::fromStdString(m_store->ReadString("Settings", "XREPath")), rescue);
    }

    void unreadableFileIsNotOverwrittenAtExit()
    {
        // A send file that is not rich text (say, replaced by a plain list of frames) shows
        // an empty editor; quitting without typing must not write that emptiness over it.
        const QString defaultFile = m_xdg->Root() + "/data/Tellumar/VRL/VRL.tnf";
        QDir().mkpath(QFileInfo(defaultFile).absolutePath());
        QFile file(defaultFile);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("EB 90 02 34 0D\n01 03 00 00 00 01\n");
        file.close();
        NewFrame();
        QVERIFY(Edit().toPlainText().isEmpty());
        // The user learns why the editor is empty, once the window is up.
        QTRY_COMPARE(m_messages.size(), 1);
        QVERIFY2(m_messages.first().contains(defaultFile), qPrintable(m_messages.first()));
        m_frame.reset();
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("EB 90 02 34 0D\n01 03 00 00 00 01\n"));
        file.close();

        // Once the user has typed, the text is saved as always.
        NewFrame();
        QTest::keyClicks(&Edit(), "AA");
        m_frame.reset();
        NewFrame();
        QCOMPARE(Edit().toPlainText(), QStringLiteral("AA"));
    }

    void openingAnUnreadableFileIsTold()
    {
        const QString junk = m_xdg->Root() + "/junk.tnf";
        QFile file(junk);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("EB 90 02 34 0D\n");
        file.close();
        CMainFrame& f = NewFrame();
        f.SetFileNameAsker([&](bool, const QString&, const QString&) { return junk; });
        Edit().setPlainText("01 02");
        f.OnCommand(ID_OPEN_SEND_FILE);
        QCOMPARE(Edit().toPlainText(), QStringLiteral("01 02"));
        QCOMPARE(m_messages.size(), 1);
        QVERIFY2(m_messages.first().contains(junk), qPrintable(m_messages.first()));
    }

    void openingAnotherFileKeepsTheChangedText()
    {
        const QString a = m_xdg->Root() + "/a.tnf";
        const QString b = m_xdg->Root() + "/b.tnf";
        CMainFrame& f = NewFrame();
        QString answer;
        f.SetFileNameAsker([&](bool, const QString&, const QString&) { return answer; });
        answer = b;
        Edit().setPlainText("BB BB");
        f.OnCommand(ID_SAVE_SEND_FILE);
        answer = a;
        Edit().setPlainText("AA AA");
        f.OnCommand(ID_SAVE_SEND_FILE);
        // Typed after the last save, then another file opened: the typing goes into the
        // file it belonged to, as it would at exit, instead of vanishing.
        QTextCursor end = Edit().textCursor();
        end.movePosition(QTextCursor::End);
        Edit().setTextCursor(end);
        QTest::keyClicks(&Edit(), " 01");
        answer = b;
        f.OnCommand(ID_OPEN_SEND_FILE);
        QCOMPARE(Edit().toPlainText(), QStringLiteral("BB BB"));
        CSendEditor check;
        QVERIFY(CSendFile(check, *m_store).Load(a));
        QCOMPARE(check.toPlainText(), QStringLiteral("AA AA 01"));
        QVERIFY(m_messages.isEmpty());

        // Reopening the file on screen drops the changes instead.
        QTest::keyClicks(&Edit(), "CC ");
        f.OnCommand(ID_OPEN_SEND_FILE);
        QCOMPARE(Edit().toPlainText(), QStringLiteral("BB BB"));
        QVERIFY(CSendFile(check, *m_store).Load(b));
        QCOMPARE(check.toPlainText(), QStringLiteral("BB BB"));
    }
};

QTEST_MAIN(tst_SendCommands)
#include "tst_SendCommands.moc"
