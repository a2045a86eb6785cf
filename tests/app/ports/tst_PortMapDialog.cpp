#include "TestPtyPair.h"
#include "app/ports/PortMapDialog.h"
#include "app/widgets/ListCtrlEx.h"
#include "core/base/SettingsStore.h"
#include "core/serial/PortMap.h"

#include <QTableWidget>
#include <QtTest>

class tst_PortMapDialog : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void listsSetsAndClearsMappings()
    {
        TestXdgFolders xdg;
        TestPtyPair pty;
        MemorySettingsStore store;
        PortMap map(store);
        map.SetPath(6, "/dev/ttyVRLgone");
        CPortMapDialog dlg(map);

        auto rowOf = [&](const QString& port) {
            for (int row = 0; row < dlg.Table()->rowCount(); ++row)
                if (dlg.Table()->item(row, 0)->text() == port)
                    return row;
            return -1;
        };
        int row = rowOf(QStringLiteral("COM7"));
        QVERIFY(row >= 0);
        QCOMPARE(dlg.Table()->item(row, 1)->text(), QStringLiteral("/dev/ttyVRLgone"));
        QCOMPARE(dlg.Table()->item(row, 2)->text(), QStringLiteral("未找到"));

        // A pseudo-terminal is no discovered device, but it is there.
        QVERIFY(dlg.ApplyPath(2, pty.SlavePath()));
        QCOMPARE(QString::fromStdString(store.ReadString("Settings\\Ports", "COM3")),
                 pty.SlavePath());
        row = rowOf(QStringLiteral("COM3"));
        QVERIFY(row >= 0);
        QCOMPARE(dlg.Table()->item(row, 2)->text(), QStringLiteral("已连接"));

        QVERIFY(!dlg.ApplyPath(3, QStringLiteral("ttyUSB0")));          // not a full path: refused
        QVERIFY(!dlg.ApplyPath(3, QStringLiteral("rfc2217://rig-pi"))); // no port
        QVERIFY(map.PathOf(3).empty());

        // A port on another machine, shown with its server.
        QVERIFY(dlg.ApplyPath(3, QStringLiteral("rfc2217://rig-pi:3001")));
        row = rowOf(QStringLiteral("COM4"));
        QVERIFY(row >= 0);
        QCOMPARE(dlg.Table()->item(row, 2)->text(), QStringLiteral("远程"));
        QCOMPARE(dlg.Table()->item(row, 3)->text(),
                 QStringLiteral("主机 rig-pi，端口 3001，RFC 2217（含波特率等设置）"));

        QVERIFY(dlg.ApplyPath(6, QString()));
        QVERIFY(map.PathOf(6).empty());
        QCOMPARE(rowOf(QStringLiteral("COM7")), -1);
    }

    // The path is edited in place, and the columns keep their widths through the refresh
    // that follows a change (they used to shrink to their contents).
    void pathEditedInPlace()
    {
        TestXdgFolders xdg;
        TestPtyPair pty;
        MemorySettingsStore store;
        PortMap map(store);
        map.SetPath(4, "/dev/ttyVRLold");
        CPortMapDialog dlg(map);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        CListCtrlEx* list = dlg.Table();
        int row = -1;
        for (int r = 0; r < list->rowCount(); ++r)
            if (list->GetItemText(r, 0) == QStringLiteral("COM5"))
                row = r;
        QVERIFY(row >= 0);
        const int widths[] = {list->columnWidth(0), list->columnWidth(1), list->columnWidth(2)};

        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualRect(list->model()->index(row, 1)).center());
        QVERIFY(list->Editor());
        QTest::keyClicks(list->Editor(), pty.SlavePath());
        QTest::keyClick(list->Editor(), Qt::Key_Return);
        QCOMPARE(QString::fromStdString(map.PathOf(4)), pty.SlavePath());
        QVERIFY(dlg.isVisible());
        for (int c = 0; c < 3; ++c)
            QCOMPARE(list->columnWidth(c), widths[c]);
    }
};

QTEST_MAIN(tst_PortMapDialog)
#include "tst_PortMapDialog.moc"
