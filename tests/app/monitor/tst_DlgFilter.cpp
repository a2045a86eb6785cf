#include "MainFrameFixture.h"
#include "app/frame/MainFrm.h"
#include "app/monitor/DlgFilter.h"
#include "app/monitor/FrameMonitorView.h"
#include "app/widgets/ListCtrlEx.h"
#include "core/base/CommandIds.h"
#include "core/receive/ReceivePipeline.h"
#include "core/settings/FrameOptions.h"
#include "core/settings/IniSettingsStore.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

// The filter window in the running frame: what "应用" and "退出" do to the monitor, the
// display scope, the status note, and what a restart brings back.
class tst_DlgFilter : public QObject, private MainFrameFixture
{
    Q_OBJECT
private:
    CDlgFilter& Dialog() { return *m_frame->findChild<CDlgFilter*>(); }
    QString Monitor() { return m_frame->GetView()->toPlainText(); }
    void SetRow(int row, const QString& index, const QString& value)
    {
        Dialog().List()->SetItemText(row, 1, index);
        Dialog().List()->SetItemText(row, 2, value);
    }

private Q_SLOTS:
    void init() { StartFixture(); }
    void cleanup() { EndFixture(); }

    void applyAndExitThroughTheFrame()
    {
        CMainFrame& f = NewFrame();
        f.Options().m_showPort = 0;
        CDlgFilter& dlg = Dialog();
        QVERIFY(!dlg.isVisible());
        f.OnCommand(ID_FILTER);
        QVERIFY(dlg.isVisible());
        QCOMPARE(dlg.List()->rowCount(), 10);
        QCOMPARE(dlg.List()->GetItemText(9, 0), QStringLiteral("10"));

        // Enabled with no used row: everything shows, and the user is told the filter is on.
        dlg.EnableBox()->setChecked(true);
        QTest::mouseClick(dlg.ApplyButton(), Qt::LeftButton);
        f.OnReceiveData(0, {0x01});
        QCOMPARE(Monitor(), QStringLiteral("01\n"));
        QCOMPARE(f.StatusNote(QStringLiteral("filter")), QStringLiteral("过滤: 开（0行）"));

        SetRow(0, QStringLiteral("5"), QStringLiteral("01"));
        SetRow(1, QStringLiteral("1"), QStringLiteral("03"));
        QTest::mouseClick(dlg.ApplyButton(), Qt::LeftButton);
        QCOMPARE(f.StatusNote(QStringLiteral("filter")), QStringLiteral("过滤: 开（2行）"));
        f.GetView()->ClearAll(true);
        f.OnReceiveData(0, {0x03, 0x00, 0x00});
        f.OnReceiveData(0, {0x03, 0x00, 0x00, 0x00, 0x02, 0x00});
        QCOMPARE(Monitor(), QStringLiteral("03 00 00 00 02 00\n"));

        // Edits and "退出" keep the conditions in force; Return and Escape do nothing.
        SetRow(1, QStringLiteral("1"), QStringLiteral("04"));
        dlg.EnableBox()->setChecked(false);
        QTest::keyClick(&dlg, Qt::Key_Return);
        QTest::keyClick(&dlg, Qt::Key_Escape);
        QVERIFY(dlg.isVisible());
        QTest::mouseClick(dlg.ExitButton(), Qt::LeftButton);
        QVERIFY(!dlg.isVisible());
        f.GetView()->ClearAll(true);
        f.OnReceiveData(0, {0x04, 0x00, 0x00, 0x00, 0x02, 0x00});
        f.OnReceiveData(0, {0x03, 0x00, 0x00, 0x00, 0x02, 0x00});
        QCOMPARE(Monitor(), QStringLiteral("03 00 00 00 02 00\n"));

        // "应用" later takes what the window shows then: off.
        QTest::mouseClick(dlg.ApplyButton(), Qt::LeftButton);
        f.OnReceiveData(0, {0x09});
        QCOMPARE(Monitor(), QStringLiteral("03 00 00 00 02 00\n09\n"));
        QCOMPARE(f.StatusNote(QStringLiteral("filter")), QString());
    }

    void scopeDropsOtherPortsBothWays()
    {
        CMainFrame& f = NewFrame();
        f.Options().m_showSent = 1;
        f.OnPortSelected(1);
        CDlgFilter& dlg = Dialog();
        dlg.ScopeButton(1)->setChecked(true);
        f.OnReceiveData(0, {0x01}); // not applied yet
        QCOMPARE(Monitor(), QStringLiteral("COM1↑01\n"));

        QTest::mouseClick(dlg.ApplyButton(), Qt::LeftButton);
        f.GetView()->ClearAll(true);
        f.OnReceiveData(0, {0x01});
        f.AppendMonitorLine("02", 0, 0);
        f.OnReceiveData(1, {0x03});
        f.AppendMonitorLine("04", 1, 0);
        QCOMPARE(Monitor(), QStringLiteral("COM2↑03\nCOM2↓04\n"));
        QCOMPARE(f.StatusNote(QStringLiteral("filter")), QStringLiteral("只显示当前串口"));
    }

    // A row that cannot be read is named and nothing of the window is applied; Tab walks
    // the cells.
    void wrongCellIsRefusedWithItsRow_data()
    {
        QTest::addColumn<QString>("index");
        QTest::addColumn<QString>("value");
        QTest::newRow("position only") << "440441"
                                       << "";
        QTest::newRow("value too long") << "2"
                                        << "440441";
    }
    void wrongCellIsRefusedWithItsRow()
    {
        QFETCH(QString, index);
        QFETCH(QString, value);
        CMainFrame& f = NewFrame();
        f.Options().m_showPort = 0;
        CDlgFilter& dlg = Dialog();
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        CListCellEdit* edit = dlg.List()->EditCell(0, 1);
        QTest::keyClicks(edit, QStringLiteral("1"));
        QTest::keyClick(edit, Qt::Key_Tab);
        QTest::keyClicks(dlg.List()->Editor(), QStringLiteral("0A"));
        QTest::keyClick(dlg.List()->Editor(), Qt::Key_Tab);
        QCOMPARE(dlg.List()->Editor()->Row(), 1);
        dlg.EnableBox()->setChecked(true);
        QTest::mouseClick(dlg.ApplyButton(), Qt::LeftButton);
        QCOMPARE(dlg.List()->GetItemText(0, 2), QStringLiteral("0A"));

        SetRow(2, index, value);
        dlg.ScopeButton(1)->setChecked(true);
        QTest::mouseClick(dlg.ApplyButton(), Qt::LeftButton);
        QCOMPARE(m_messages.size(), 1);
        QVERIFY(m_messages.first().contains(QStringLiteral("第3行"))
                && m_messages.first().contains(QStringLiteral("440441")));
        QCOMPARE(f.Pipeline().DisplayScope(), 0);
        f.OnReceiveData(0, {0x0B});
        f.OnReceiveData(0, {0x0A});
        QCOMPARE(Monitor(), QStringLiteral("0A\n"));
    }

    // The rows and scope last applied come back; the switch does not. 300 is kept as 44.
    void restartBringsBackRowsAndScopeWithTheFilterOff()
    {
        CMainFrame& f = NewFrame();
        CDlgFilter& dlg = Dialog();
        SetRow(2, QStringLiteral("300"), QStringLiteral("a"));
        SetRow(4, QStringLiteral("2"), QStringLiteral("7F"));
        dlg.ScopeButton(1)->setChecked(true);
        dlg.EnableBox()->setChecked(true);
        QTest::mouseClick(dlg.ApplyButton(), Qt::LeftButton);
        SetRow(6, QStringLiteral("3"), QStringLiteral("01")); // shown, never applied
        Q_UNUSED(f);

        CMainFrame& again = NewFrame();
        QCOMPARE(m_store->ReadInt("Settings\\Filter", "Filter3", -1), 44 + 0x0A * 65536);
        QCOMPARE(m_store->ReadInt("Settings\\Filter", "Filter7", -1), 0);
        QCOMPARE(m_store->ReadInt("Settings\\Filter", "Common", -1), 1);
        CDlgFilter& back = Dialog();
        QCOMPARE(back.List()->GetItemText(2, 1), QStringLiteral("44"));
        QCOMPARE(back.List()->GetItemText(2, 2), QStringLiteral("0A"));
        QCOMPARE(back.List()->GetItemText(4, 1), QStringLiteral("2"));
        QCOMPARE(back.List()->GetItemText(4, 2), QStringLiteral("7F"));
        QCOMPARE(back.List()->GetItemText(6, 1), QString());
        QVERIFY(back.ScopeButton(1)->isChecked());
        QVERIFY(!back.EnableBox()->isChecked());
        QVERIFY(!back.Filter().IsEnabled());
        QCOMPARE(again.Pipeline().DisplayScope(), 1);
        QVERIFY(again.Pipeline().PassesFilter(nullptr, 0));
        QCOMPARE(again.StatusNote(QStringLiteral("filter")), QStringLiteral("只显示当前串口"));
    }
};

QTEST_MAIN(tst_DlgFilter)
#include "tst_DlgFilter.moc"
