#include "MainFrameFixture.h"
#include "TestPtyPair.h"
#include "app/frame/MainFrm.h"
#include "app/monitor/FrameMonitorView.h"
#include "app/send/AutoSend.h"
#include "app/send/AutoSendDialog.h"
#include "app/send/SendEditor.h"
#include "app/send/SendFrameWnd.h"
#include "app/widgets/ListCtrlEx.h"
#include "core/base/CommandIds.h"
#include "core/serial/PortMap.h"
#include "core/settings/IniSettingsStore.h"

#include <QAction>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTimer>
#include <QtTest>

namespace {

const QString kBadLine = QStringLiteral("报文格式不对！组合键Ctrl+Alt+P分析错误！");
const QByteArray kQuery = QByteArray::fromHex("010300000001840A");

// Runs the window's events while the far end of the line collects bytes, until count bytes
// came or timeoutMs passed. firstAt: when the first byte was seen, in ms of clock.
QByteArray Collect(TestPtyPair& pty, int count, int timeoutMs, const QElapsedTimer* clock = nullptr,
                   qint64* firstAt = nullptr)
{
    QByteArray got;
    QElapsedTimer t;
    t.start();
    while (got.size() < count && t.elapsed() < timeoutMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
        const QByteArray more = pty.Read(0);
        if (!more.isEmpty() && got.isEmpty() && clock && firstAt)
            *firstAt = clock->elapsed();
        got += more;
    }
    return got;
}

void RunEvents(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

} // namespace

class tst_AutoSendDialog : public QObject, private MainFrameFixture
{
    Q_OBJECT

private:
    CAutoSend& Auto() { return *m_frame->AutoSend(); }
    CAutoSendDialog& Dlg() { return *Auto().Dialog(); }
    CSendEditor& Editor() { return *m_frame->SendBar()->SendEdit(); }
    void SetField(int id, const QString& text) { Dlg().Edit(id)->setText(text); }
    // A cycle over lines first..last of an editor whose line n holds the byte n.
    void SetRangeCycle(int first, int last, int period)
    {
        Editor().setPlainText(QStringLiteral("01\n02\n03\n04\n05\n06"));
        Dlg().Radio(1005)->click();
        SetField(1009, QString::number(first));
        SetField(1013, QString::number(last));
        SetField(1010, QString::number(period));
        QVERIFY(Dlg().Apply());
    }

private Q_SLOTS:
    void init() { StartFixture(); }
    void cleanup() { EndFixture(); }

    void dialogAtStart()
    {
        CMainFrame& f = NewFrame();
        QVERIFY(Dlg().isHidden());
        QVERIFY(Dlg().windowFlags().testFlag(Qt::FramelessWindowHint));
        QCOMPARE(f.FindCommand(ID_SEND_SETTINGS)->m_key, "F6");
        QVERIFY(f.Action(ID_CYCLIC_SEND) && f.Action(ID_TRIGGER_SEND));

        // Defaults; row 1 of the trigger table answers line 2 with line 3.
        QCOMPARE(Dlg().Edit(1010)->text(), QStringLiteral("1000"));
        QCOMPARE(Dlg().Edit(1013)->text(), QStringLiteral("2"));
        QCOMPARE(Dlg().Edit(1014)->text(), QStringLiteral("0"));
        CListCtrlEx* list = Dlg().TriggerList();
        QCOMPARE(list->rowCount(), 10);
        QCOMPARE(list->columnCount(), 3);
        QCOMPARE(list->GetItemText(9, 0), QStringLiteral("10"));
        QCOMPARE(list->GetItemText(0, 1), QStringLiteral("2"));
        QCOMPARE(list->GetItemText(0, 2), QStringLiteral("3"));
        QCOMPARE(list->GetItemText(1, 1), QString());

        // The radio pairs enable their edits.
        QVERIFY(Dlg().Radio(1004)->isChecked() && Dlg().Radio(1006)->isChecked());
        QVERIFY(Dlg().Edit(1008)->isEnabled() && !Dlg().Edit(1009)->isEnabled());
        Dlg().Radio(1005)->click();
        QVERIFY(!Dlg().Edit(1008)->isEnabled() && !Dlg().Radio(1007)->isEnabled());
        QVERIFY(Dlg().Edit(1009)->isEnabled() && Dlg().Edit(1013)->isEnabled());
        Dlg().Radio(1004)->click();
        QVERIFY(Dlg().Edit(1008)->isEnabled() && !Dlg().Edit(1013)->isEnabled());

        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        f.OnCommand(ID_SEND_SETTINGS);
        QVERIFY(Dlg().isVisible());
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(&Dlg()));
        // Enter presses nothing; Esc hides it as "关闭" does, the keys back to the main window.
        QTest::keyClick(&Dlg(), Qt::Key_Return);
        QVERIFY(Dlg().isVisible());
        QTest::keyClick(&Dlg(), Qt::Key_Escape);
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(&f));
        QVERIFY(Dlg().isHidden());
        f.OnCommand(ID_SEND_SETTINGS);
        Dlg().Button(1012)->click();
        QVERIFY(Dlg().isHidden());
    }

    void applyChecksEveryFieldFirst()
    {
        CMainFrame& f = NewFrame();
        Dlg().TriggerList()->SetItemText(1, 1, QStringLiteral("4"));
        Dlg().TriggerList()->SetItemText(1, 2, QStringLiteral("5"));
        SetField(1014, QStringLiteral("200"));
        SetField(1010, QStringLiteral("10"));
        QVERIFY(!Dlg().Apply());
        QCOMPARE(m_messages,
                 QStringList{QStringLiteral("请输入一个介于 20 和 108000000 之间的整数。")});
        QCOMPARE(Auto().Settings().m_cyclePeriod, 1000);
        QCOMPARE(Auto().Settings().m_triggerDelay, 0);
        QCOMPARE(Auto().Settings().UsedTriggerCount(), 1);

        SetField(1010, QStringLiteral("500"));
        QVERIFY(Dlg().Apply());
        QCOMPARE(Auto().Settings().m_triggerDelay, 200);
        QCOMPARE(Auto().Settings().UsedTriggerCount(), 2);
        f.OnCommand(ID_TRIGGER_SEND);
        QCOMPARE(f.StatusNote(QStringLiteral("autosend-trigger")),
                 QStringLiteral("触发发送: 2 行"));
        f.OnCommand(ID_TRIGGER_SEND);
        QVERIFY(f.StatusNote(QStringLiteral("autosend-trigger")).isEmpty());
    }

    void rangeCycleWrapsOnAPrecisePeriod()
    {
        TestPtyPair pty;
        CMainFrame& f = NewFrame();
        OpenPort(0, pty);
        SetRangeCycle(3, 5, 20);
        f.OnCommand(ID_CYCLIC_SEND);
        QVERIFY(f.UpdateCommand(ID_CYCLIC_SEND).m_checked);
        QCOMPARE(Auto().CycleTimer()->timerType(), Qt::PreciseTimer);
        QCOMPARE(f.StatusNote(QStringLiteral("autosend-cycle")), QStringLiteral("循环发送: 20 ms"));
        const QByteArray got = Collect(pty, 4, 3000);
        f.OnCommand(ID_CYCLIC_SEND);
        QCOMPARE(got.left(4), QByteArray::fromHex("03040503"));
        QVERIFY(!f.UpdateCommand(ID_CYCLIC_SEND).m_checked);
        QVERIFY(f.StatusNote(QStringLiteral("autosend-cycle")).isEmpty());
        QVERIFY(m_messages.isEmpty());
    }

    void applyDuringACycleStartsAgainAndTakesTheLargestPeriod()
    {
        TestPtyPair pty;
        CMainFrame& f = NewFrame();
        OpenPort(0, pty);
        SetRangeCycle(3, 5, 100000); // no tick of its own during the test: ticks run by hand
        f.OnCommand(ID_CYCLIC_SEND);
        Auto().OnCycleTick();
        Auto().OnCycleTick();
        QCOMPARE(pty.Read(500), QByteArray::fromHex("0304"));

        SetField(1010, QStringLiteral("108000000"));
        QVERIFY(Dlg().Apply());
        QTimer* timer = Auto().CycleTimer();
        QVERIFY(timer->isActive());
        QCOMPARE(timer->interval(), 108000000);
        QVERIFY(timer->remainingTime() > 107990000);
        QCOMPARE(f.StatusNote(QStringLiteral("autosend-cycle")),
                 QStringLiteral("循环发送: 108000000 ms"));
        Auto().OnCycleTick();
        QCOMPARE(pty.Read(500), QByteArray::fromHex("03"));

        // A period out of range changes nothing, the running one included.
        SetField(1010, QStringLiteral("10"));
        QVERIFY(!Dlg().Apply());
        QCOMPARE(timer->interval(), 108000000);
        Auto().OnCycleTick();
        QCOMPARE(pty.Read(500), QByteArray::fromHex("04"));
    }

    void failedTickStopsTheCycleWithOneMessage()
    {
        TestPtyPair pty;
        CMainFrame& f = NewFrame();
        OpenPort(0, pty);
        Editor().setPlainText(QStringLiteral("zz 01\n01"));
        Dlg().Radio(1007)->click();
        SetField(1008, QStringLiteral("1"));
        SetField(1010, QStringLiteral("20"));
        QVERIFY(Dlg().Apply());
        f.OnCommand(ID_CYCLIC_SEND);
        RunEvents(200);
        QCOMPARE(m_messages, QStringList{kBadLine});
        QVERIFY(!Auto().IsCycling());
        QVERIFY(!Auto().CycleTimer()->isActive());
        QVERIFY(!f.UpdateCommand(ID_CYCLIC_SEND).m_checked);
        QVERIFY(f.StatusNote(QStringLiteral("autosend-cycle")).isEmpty());
        QCOMPARE(pty.Read(50), QByteArray());
    }

    void closedPortMakesTicksSilentUntilItOpens()
    {
        TestPtyPair pty;
        CMainFrame& f = NewFrame();
        f.Map().SetPath(0, pty.SlavePath().toStdString());
        f.Options().m_showSent = 1;
        Editor().setPlainText(QStringLiteral("AA 55"));
        SetField(1010, QStringLiteral("20"));
        QVERIFY(Dlg().Apply());
        f.OnCommand(ID_CYCLIC_SEND);
        RunEvents(120);
        QVERIFY(Auto().IsCycling());
        QVERIFY(m_messages.isEmpty());
        QVERIFY(f.GetView()->toPlainText().isEmpty());

        f.OnCommand(ID_OPEN_PORT);
        QVERIFY(f.IsPortOpen(0));
        QCOMPARE(Collect(pty, 4, 3000).left(4), QByteArray::fromHex("AA55AA55"));
        QVERIFY(f.GetView()->toPlainText().contains(QStringLiteral("AA 55")));
    }

    void triggerAnswersAtOnceOrTheLatestMatchAfterTheDelay()
    {
        TestPtyPair pty;
        CMainFrame& f = NewFrame();
        OpenPort(0, pty);
        Editor().setPlainText(QStringLiteral("01 03 00 00 00 01 84 0A\n11 22\n33 44\n55 66"));
        CListCtrlEx* list = Dlg().TriggerList();
        list->SetItemText(0, 1, QStringLiteral("1"));
        list->SetItemText(0, 2, QStringLiteral("2"));
        list->SetItemText(1, 1, QStringLiteral("3"));
        list->SetItemText(1, 2, QStringLiteral("4"));
        QVERIFY(Dlg().Apply());

        // Off: no answer.
        QVERIFY(pty.Write(kQuery));
        QCOMPARE(Collect(pty, 1, 300), QByteArray());

        f.OnCommand(ID_TRIGGER_SEND);
        QVERIFY(f.UpdateCommand(ID_TRIGGER_SEND).m_checked);
        QVERIFY(pty.Write(kQuery));
        QCOMPARE(Collect(pty, 2, 2000), QByteArray::fromHex("1122"));

        // An edit of a received line counts from the next message on.
        QTextCursor line(Editor().document()->findBlockByNumber(0));
        line.select(QTextCursor::LineUnderCursor);
        line.insertText(QStringLiteral("77 88"));
        QVERIFY(pty.Write(QByteArray::fromHex("7788")));
        QCOMPARE(Collect(pty, 2, 2000), QByteArray::fromHex("1122"));
        line.select(QTextCursor::LineUnderCursor);
        line.insertText(QStringLiteral("01 03 00 00 00 01 84 0A"));

        // Delay 200 ms, two matches 100 ms apart: only the second is answered, 200 ms on.
        SetField(1014, QStringLiteral("200"));
        QVERIFY(Dlg().Apply());
        QElapsedTimer clock;
        clock.start();
        QVERIFY(pty.Write(kQuery));
        QCOMPARE(Collect(pty, 1, 100), QByteArray());
        const qint64 second = clock.elapsed();
        QVERIFY(pty.Write(QByteArray::fromHex("3344")));
        qint64 firstAt = -1;
        const QByteArray answer = Collect(pty, 2, 2000, &clock, &firstAt);
        QCOMPARE(answer, QByteArray::fromHex("5566"));
        QVERIFY2(firstAt - second >= 200, qPrintable(QString::number(firstAt - second)));
        QCOMPARE(Collect(pty, 1, 300), QByteArray());
        QVERIFY(m_messages.isEmpty());
    }

    void storedValuesComeBackAfterARestart()
    {
        NewFrame();
        Dlg().Radio(1007)->click();
        Dlg().Radio(1005)->click();
        SetField(1008, QStringLiteral("60000"));
        SetField(1009, QStringLiteral("3"));
        SetField(1013, QStringLiteral("5"));
        SetField(1010, QStringLiteral("108000000"));
        SetField(1014, QStringLiteral("1000"));
        Dlg().TriggerList()->SetItemText(0, 1, QString());
        Dlg().TriggerList()->SetItemText(9, 1, QStringLiteral("7"));
        Dlg().TriggerList()->SetItemText(9, 2, QStringLiteral("8"));
        QVERIFY(Dlg().Apply());
        // Typed but not applied: not stored.
        SetField(1010, QStringLiteral("777"));
        m_frame.reset();

        const IniSettingsStore store(IniSettingsStore::DefaultPath());
        const char* section = "Settings\\AdvanceSend";
        QCOMPARE(store.ReadInt(section, "CycTimer", 0), 108000000);
        QCOMPARE(store.ReadInt(section, "CycLine", 0), (1000 << 16) | 60000);
        QCOMPARE(store.ReadInt(section, "CycLines", 0), (5 << 16) | 3);
        QCOMPARE(store.ReadInt(section, "Common", 0), 3); // range (bit 0), fixed line (bit 1)
        QCOMPARE(store.ReadInt(section, "Trigger1", -1), 0);
        QCOMPARE(store.ReadInt(section, "Trigger10", 0), (8 << 16) | 7);

        m_store = std::make_unique<IniSettingsStore>(IniSettingsStore::DefaultPath());
        NewFrame();
        QVERIFY(Dlg().Radio(1005)->isChecked());
        QCOMPARE(Dlg().Edit(1010)->text(), QStringLiteral("108000000"));
        QCOMPARE(Dlg().Edit(1008)->text(), QStringLiteral("60000"));
        QCOMPARE(Dlg().Edit(1014)->text(), QStringLiteral("1000"));
        QCOMPARE(Dlg().TriggerList()->GetItemText(9, 2), QStringLiteral("8"));
        // Row 1 was stored unused: it is the first-start row again.
        QCOMPARE(Dlg().TriggerList()->GetItemText(0, 1), QStringLiteral("2"));
    }
};

QTEST_MAIN(tst_AutoSendDialog)
#include "tst_AutoSendDialog.moc"
