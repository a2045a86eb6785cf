#include "TestPtyPair.h"
#include "app/files/MonitorFiles.h"
#include "app/frame/MainFrm.h"
#include "app/frame/VRLApp.h"
#include "app/monitor/FrameMonitorView.h"
#include "app/ports/SettingsBar.h"
#include "core/base/CommandIds.h"
#include "core/serial/PortMap.h"
#include "core/settings/IniSettingsStore.h"

#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>
#include <QtTest>

#include <csignal>
#include <vector>

// Start-up as the program runs it: the application object with a command line.
class tst_VRLApp : public QObject
{
    Q_OBJECT
public:
    tst_VRLApp(CVRLApp& app, TestPtyPair& pty, QString file, void (*onTerminate)(int))
        : m_app(app), m_pty(pty), m_file(std::move(file)), m_onTerminate(onTerminate)
    {
    }

private:
    CVRLApp& m_app;
    TestPtyPair& m_pty;
    QString m_file;
    void (*m_onTerminate)(int); // the program's SIGTERM handler, as the start left it

private Q_SLOTS:
    // The bars and boxes as the started program shows them: the greyed "设置" button after
    // the settings bar's seven lists, no lock panes where the platform gives no state, and
    // Qt's own buttons in Chinese.
    void barsAndQtTexts()
    {
        CMainFrame* frame = CVRLApp::GetMainFrame();
        QVERIFY(frame);
        const QList<QAction*> actions = frame->SettingsBar()->actions();
        QCOMPARE(actions.size(), 8);
        QCOMPARE(actions.last()->text(), QStringLiteral("设置"));
        QVERIFY(!actions.last()->isEnabled());
        QVERIFY(!frame->SettingsBar()->widgetForAction(actions.last())->isEnabled());
        QCOMPARE(frame->SettingsBar()->widgetForAction(actions[6]),
                 frame->SettingsBar()->Combo(ID_FLOW_CONTROL));
        QVERIFY(frame->statusBar()->findChild<QObject*>(QStringLiteral("LockIndicators")));
        QVERIFY(!frame->statusBar()->findChild<QLabel*>(QStringLiteral("LockPane0")));

        if (!QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath)
                           + QStringLiteral("/qtbase_zh_CN.qm")))
            QSKIP("Qt's Chinese translation (qt6-translations-l10n) is not installed");
        QString okText;
        QTimer::singleShot(0, [&okText] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            okText = box->button(QMessageBox::Ok)->text();
            box->accept();
        });
        QMessageBox::information(frame, QStringLiteral("VRL"), QStringLiteral("x"));
        QCOMPARE(okText, QStringLiteral("确定"));
        QCOMPARE(QCoreApplication::translate("QFileDialog", "Look in:"),
                 QStringLiteral("查找范围："));
        QCOMPARE(QCoreApplication::translate("QPrintDialog", "Print"), QStringLiteral("打印"));
    }

    void startsWithPortMapAndMonitorFile()
    {
        CMainFrame* frame = CVRLApp::GetMainFrame();
        QVERIFY(frame);
        QVERIFY(frame->isVisible());
        QCOMPARE(QString::fromStdString(frame->Map().PathOf(2)), m_pty.SlavePath());
        QCOMPARE(frame->GetView()->toPlainText(), QStringLiteral("COM9↓AB\n"));
        QVERIFY(!frame->GetView()->IsModified());
        QCOMPARE(frame->MonitorFiles()->RecentFiles().Size(), 1u);

        // The mapped port opens with F5's command.
        frame->SettingsBar()->SelectPort(2);
        frame->OnPortSelected(2);
        frame->OnCommand(ID_OPEN_PORT);
        QVERIFY(frame->IsPortOpen(2));
        frame->OnCommand(ID_SHOW_TIME);

        // Received text that was never saved: nobody is there to answer a question at a
        // terminate signal, so the text goes to a file instead.
        QVERIFY(m_pty.Write(QByteArray("\x01\x02", 2)));
        QTRY_VERIFY(frame->GetView()->toPlainText().contains(QStringLiteral("01 02")));

        // SIGTERM ends the event loop the normal way (a kill would lose the settings). The
        // program's handler takes it, nobody's before it.
        struct sigaction now
        {
        };
        QCOMPARE(sigaction(SIGTERM, nullptr, &now), 0);
        QVERIFY(!(now.sa_flags & SA_SIGINFO) && now.sa_handler == m_onTerminate);
        QTimer::singleShot(0, [] { std::raise(SIGTERM); });
        QTimer::singleShot(5000, [] { QCoreApplication::exit(3); });
        QCOMPARE(m_app.exec(), 0);

        m_app.ExitInstance(); // stores the settings, closes the port
        QVERIFY(!CVRLApp::GetMainFrame());
        IniSettingsStore stored(IniSettingsStore::DefaultPath());
        QCOMPARE(stored.ReadInt("Settings", "COMHis", -1), 2);
        QCOMPARE(stored.ReadInt("Settings", "Common", -1), 0x05);
        QCOMPARE(QString::fromStdString(stored.ReadString("Settings", "COM3")),
                 QStringLiteral("9600:0:8:0:0:20"));
        const QDir data(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                        + QStringLiteral("/Tellumar/VRL"));
        QCOMPARE(data.entryList({QStringLiteral("未保存的监视报文 *.tnf")}).size(), 1);
    }

    // --help, --version and a malformed --port answer before any window (they need no
    // display); anything else goes on to the start.
    void earlyArguments()
    {
        auto run = [](std::vector<QByteArray> args) {
            std::vector<char*> raw;
            for (QByteArray& a : args)
                raw.push_back(a.data());
            return CVRLApp::HandleEarlyArguments(static_cast<int>(raw.size()), raw.data());
        };
        QCOMPARE(run({"vrl", "--help"}), 0);
        QCOMPARE(run({"vrl", "x.tnf", "--version"}), 0);
        QCOMPARE(run({"vrl", "--port", "COM0=/dev/x"}), 2);
        QCOMPARE(run({"vrl", "--port"}), 2);
        QCOMPARE(run({"vrl", "-platform", "offscreen", "--port=COM2=/dev/x", "x.tnf"}), -1);
        QCOMPARE(run({"vrl", "--", "--help"}), -1);
        // Any misuse, not only of --port; Qt's own options (one or two dashes, with or
        // without a value) are no misuse.
        QCOMPARE(run({"vrl", "--bogus"}), 2);
        QCOMPARE(run({"vrl", "a.tnf", "b.tnf"}), 2);
        QCOMPARE(run({"vrl", "-reverse", "-x"}), 2);
        QCOMPARE(run({"vrl", "-sync"}), 2); // X11's old option, which Qt 6 leaves alone
        QCOMPARE(run({"vrl", "-style", "fusion", "--platform", "offscreen", "-reverse", "x.tnf"}),
                 -1);
        QCOMPARE(run({"vrl", "-style=fusion", "--stylesheet", "a.qss", "--", "-odd.tnf"}), -1);
    }
};

int main(int argc, char* argv[])
{
    TestXdgFolders xdg;
    TestPtyPair pty;
    // A monitor file written by the view itself.
    const QString file = xdg.Root() + QStringLiteral("/start.tnf");
    {
        QApplication probe(argc, argv);
        CFrameMonitorView view;
        view.AppendText(QStringLiteral("COM9"), 5);
        view.AppendText(QStringLiteral("↓AB\n"), 4);
        if (!view.SaveFile(file))
            return 1;
    }
    const QByteArray port = ("COM3=" + pty.SlavePath()).toLocal8Bit();
    const QByteArray path = file.toLocal8Bit();
    std::vector<QByteArray> args = {"tst_VRLApp", "--port", port, path};
    std::vector<char*> raw;
    for (QByteArray& a : args)
        raw.push_back(a.data());
    int count = static_cast<int>(raw.size());
    CVRLApp app(count, raw.data());
    if (!app.InitInstance())
        return 1;
    struct sigaction programs
    {
    };
    sigaction(SIGTERM, nullptr, &programs);
    tst_VRLApp test(app, pty, file, programs.sa_handler);
    // The program's own handling of SIGTERM is under test. QtTest's crash handler would take
    // the signal first, ask gdb for a stack trace and only then pass it on: under load the
    // trace outlasted the test's five-second guard, which then ended the event loop first.
    char noCrashHandler[] = "-nocrashhandler";
    char* testArgs[] = {argv[0], noCrashHandler};
    return QTest::qExec(&test, 2, testArgs);
}

#include "tst_VRLApp.moc"
