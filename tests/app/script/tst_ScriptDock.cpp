#include "MainFrameFixture.h"
#include "ModbusTestFrames.h"
#include "TestPtyPair.h"
#include "app/frame/MainFrm.h"
#include "app/monitor/FrameMonitorView.h"
#include "app/script/ScriptDock.h"
#include "core/base/CommandIds.h"

#include <QDockWidget>
#include <QFile>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QtTest>

class tst_ScriptDock : public QObject, private MainFrameFixture
{
    Q_OBJECT

private:
    // What the master end receives within 3 s, until want bytes have come.
    static QByteArray Receive(TestPtyPair& pty, int want)
    {
        QByteArray got;
        for (int i = 0; i < 150 && got.size() < want; ++i) {
            QTest::qWait(20);
            got += pty.Read(1);
        }
        return got;
    }
    // The output of every script tab.
    QString Output()
    {
        QString text;
        for (auto* edit : m_frame->findChildren<QPlainTextEdit*>()) {
            QWidget* page = edit->parentWidget();
            while (page && !page->inherits("CScriptPage"))
                page = page->parentWidget();
            if (page && edit->isReadOnly())
                text += edit->toPlainText();
        }
        return text;
    }
    QString Script(const QString& text)
    {
        const QString path = m_xdg->FilePath(QStringLiteral("t.lua"));
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(text.toUtf8());
        return path;
    }

private Q_SLOTS:
    void init() { StartFixture(); }
    void cleanup() { EndFixture(); }

    // vrl --script with the example slave: it answers the master on the port, the monitor
    // shows its answer and its purple log line, the status bar says it runs until stopped.
    void exampleSlaveAnswersFromTheWindow()
    {
        CMainFrame& f = NewFrame();
        TestPtyPair com1;
        QVERIFY(OpenPort(0, com1));
        f.Scripts()->RunAtStart({VRL_SOURCE_DIR "/examples/scripts/modbus-slave.lua"});
        QVERIFY(!f.findChild<QDockWidget*>(QStringLiteral("ScriptDock"))->isHidden());
        QCOMPARE(f.StatusNote(QStringLiteral("script")),
                 QStringLiteral("脚本运行中：modbus-slave.lua"));
        const auto request = ModbusBytes("01 06 00 07 00 2A");
        com1.Write(QByteArray(reinterpret_cast<const char*>(request.data()), 8));
        QCOMPARE(Receive(com1, 8), QByteArray(reinterpret_cast<const char*>(request.data()), 8));
        const auto read = ModbusBytes("01 03 00 07 00 01");
        const auto answer = ModbusBytes("01 03 02 00 2A");
        com1.Write(QByteArray(reinterpret_cast<const char*>(read.data()), 8));
        QCOMPARE(Receive(com1, 7), QByteArray(reinterpret_cast<const char*>(answer.data()), 7));
        QTRY_VERIFY(f.GetView()->toPlainText().contains(QStringLiteral("MODBUS slave 1 on COM1")));
        QColor log;
        for (QTextBlock b = f.GetView()->document()->begin(); b.isValid(); b = b.next()) {
            if (b.text().contains(QStringLiteral("MODBUS slave")))
                log = b.begin().fragment().charFormat().foreground().color();
        }
        QCOMPARE(log, QColor(0x80, 0x00, 0xA0));
        f.Scripts()->StopAll();
        QCOMPARE(f.StatusNote(QStringLiteral("script")), QString());
    }

    // A script that fails says why and where; one that loops is stopped and the window
    // goes on.
    void errorsSayWhereAndRunawaysStop()
    {
        CMainFrame& f = NewFrame();
        f.OnCommand(ID_SCRIPT);
        f.Scripts()->RunAtStart(
            {Script(QStringLiteral("print('a')\nlocal x = nil .. 'b'")).toStdString()});
        QTRY_VERIFY(Output().contains(QStringLiteral("t.lua:2: attempt to concatenate")));
        QTRY_COMPARE(f.StatusNote(QStringLiteral("script")), QString());
        f.Scripts()->RunAtStart({Script(QStringLiteral("while true do end")).toStdString()});
        QTRY_VERIFY(Output().contains(QStringLiteral("脚本运行了 100 毫秒而没有等待，已停止")));
        QTRY_COMPARE(f.StatusNote(QStringLiteral("script")), QString());
    }
};

QTEST_MAIN(tst_ScriptDock)
#include "tst_ScriptDock.moc"
