#include "MainFrameFixture.h"
#include "app/files/DlgAutoSave.h"
#include "app/files/MonitorFiles.h"
#include "app/frame/MainFrm.h"
#include "app/monitor/FrameMonitorView.h"
#include "app/widgets/DirectoryDialog.h"
#include "core/base/CommandIds.h"
#include "core/settings/IniSettingsStore.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTextBlock>
#include <QTimer>
#include <QtTest>

namespace {

QString Text(CMainFrame& frame)
{
    return frame.GetView()->toPlainText();
}

// The text with the colour of each run, "text@#rrggbb|...".
QString Coloured(CMainFrame& frame)
{
    QString out;
    for (QTextBlock b = frame.GetView()->document()->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            out += it.fragment().text() + "@"
                   + it.fragment().charFormat().foreground().color().name() + "|";
    return out;
}

const QDateTime kStart(QDate(2024, 1, 3), QTime(9, 4, 30));

} // namespace

class tst_MonitorFiles : public QObject, private MainFrameFixture
{
    Q_OBJECT

private:
    std::int64_t m_now = 0; // the steady clock, ms
    QDateTime m_local;      // the local time

    // A frame whose clocks are the test's.
    CMainFrame& Frame()
    {
        CMainFrame& f = NewFrame();
        m_now = 0;
        m_local = kStart;
        f.MonitorFiles()->SetClocks([this] { return m_now; }, [this] { return m_local; });
        return f;
    }
    // Accepts the timed save/clear dialog with these control values; false when the dialog
    // refused them.
    bool SetTimed(CMainFrame& f, bool save, const QString& minutes, bool clear, const QString& dir)
    {
        int result = -1;
        f.MonitorFiles()->SetDialogRunner([&](CDlgAutoSave& dlg) {
            dlg.SetMessageHook([this](const QString& text) { m_messages << text; });
            dlg.show();
            dlg.SaveBox()->setChecked(save);
            dlg.ClearBox()->setChecked(clear);
            dlg.PeriodEdit()->setText(minutes);
            dlg.DirEdit()->setText(dir);
            dlg.ExitButton()->click();
            result = dlg.result();
            if (dlg.isVisible())
                dlg.reject(); // refused: the user gives up with Esc
            return dlg.result();
        });
        f.OnCommand(ID_AUTO_SAVE);
        return result == QDialog::Accepted;
    }
    // The clock moves on by ms and the timer fires.
    void Pass(CMainFrame& f, std::int64_t ms)
    {
        m_now += ms;
        m_local = m_local.addMSecs(ms);
        f.MonitorFiles()->OnTimer();
    }
    bool SaveEnabled(CMainFrame& f) { return f.UpdateCommand(ID_SAVE_MONITOR).m_enabled; }

private Q_SLOTS:
    void init() { StartFixture(); }
    void cleanup()
    {
        CDirectoryDialog::SetChooser({});
        EndFixture();
    }

    void saveAndOpenThroughTheCommands()
    {
        CMainFrame& f = Frame();
        f.AppendMonitorLine("01 03 0A", 0, 1);
        f.AppendMonitorLine("02 04", 1, 0);
        const QString coloured = Coloured(f);
        const QString path = m_xdg->FilePath(QStringLiteral("capture.tnf"));
        QStringList asked;
        QString answer;
        f.SetFileNameAsker([&](bool open, const QString& title, const QString& name) {
            asked << QStringLiteral("%1|%2|%3").arg(open).arg(title, name);
            return answer;
        });

        f.OnCommand(ID_SAVE_MONITOR); // cancelled: nothing written, still modified
        QVERIFY(!QFile::exists(path));
        QVERIFY(SaveEnabled(f));
        answer = path;
        f.OnCommand(ID_SAVE_MONITOR);
        QCOMPARE(asked, (QStringList{QStringLiteral("0|保存串口监视报文|20240103 0904"),
                                     QStringLiteral("0|保存串口监视报文|20240103 0904")}));
        QVERIFY(QFile::exists(path));
        QCOMPARE(f.MonitorFiles()->RecentFiles().Files(),
                 std::vector<std::string>{path.toStdString()});

        CMainFrame& g = Frame();
        g.SetFileNameAsker([&](bool open, const QString& title, const QString& name) {
            asked << QStringLiteral("%1|%2|%3").arg(open).arg(title, name);
            return answer;
        });
        g.OnCommand(ID_FILE_OPEN);
        QCOMPARE(asked.last(), QStringLiteral("1|打开串口监视报文|"));
        QCOMPARE(Coloured(g), coloured);
        QVERIFY(Text(g).contains(QStringLiteral("01 03 0A")));
        QCOMPARE(g.MonitorFiles()->RecentFiles().Files(),
                 std::vector<std::string>{path.toStdString()});

        // A save that cannot be written is told, not passed over.
        g.AppendMonitorLine("05", 0, 1);
        answer = m_xdg->FilePath(QStringLiteral("no/such/folder/x.tnf"));
        g.OnCommand(ID_SAVE_MONITOR);
        QCOMPARE(m_messages.size(), 1);
        QVERIFY(SaveEnabled(g));
    }

    void saveCommandFollowsTheModifiedState()
    {
        CMainFrame& f = Frame();
        const QString path = m_xdg->FilePath(QStringLiteral("a.tnf"));
        f.SetFileNameAsker([&](bool, const QString&, const QString&) { return path; });
        QVERIFY(!SaveEnabled(f)); // after start
        f.AppendMonitorLine("01", 0, 1);
        QVERIFY(SaveEnabled(f));
        f.OnCommand(ID_SAVE_MONITOR);
        QVERIFY(!SaveEnabled(f)); // after a save
        f.AppendMonitorLine("02", 0, 1);
        f.OnCommand(ID_FILE_OPEN);
        QCOMPARE(m_messages.size(), 0);
        QVERIFY(!SaveEnabled(f)); // after a load (the modified text was not asked about: Discard)
        f.AppendMonitorLine("03", 0, 1);
        QVERIFY(SaveEnabled(f));
        f.OnCommand(ID_CLEAR_MONITOR);
        QVERIFY(!SaveEnabled(f)); // after a clear
    }

    void timedSaveWritesOneFilePerPeriod()
    {
        CMainFrame& f = Frame();
        const QString dir = m_xdg->FilePath(QStringLiteral("watch"));
        QVERIFY(QDir().mkpath(dir));
        QVERIFY(SetTimed(f, true, QStringLiteral("1"), false, dir)); // the dialog adds the "/"
        QCOMPARE(f.MonitorFiles()->AutoSaveDir(), (dir + "/").toStdString());
        QVERIFY(f.MonitorFiles()->IsTimerRunning());
        QCOMPARE(f.MonitorFiles()->Timer()->interval(), 60000);

        f.AppendMonitorLine("01", 0, 1);
        Pass(f, 59999);
        QVERIFY(QDir(dir).entryList(QDir::Files).isEmpty());
        Pass(f, 1);
        QCOMPARE(QDir(dir).entryList(QDir::Files),
                 QStringList{QStringLiteral("20240103 0905.tnf")});
        QVERIFY(!SaveEnabled(f)); // the timed save wrote it

        // An existing file of the next name is replaced; each file holds the whole text.
        const QString next = dir + QStringLiteral("/20240103 0906.tnf");
        {
            QFile old(next);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("old");
        }
        f.AppendMonitorLine("02", 0, 1);
        Pass(f, 60000);
        CMainFrame& g = Frame();
        QVERIFY(g.MonitorFiles()->OpenMonitorFile(next));
        QVERIFY2(Text(g).contains(QStringLiteral("01")) && Text(g).contains(QStringLiteral("02")),
                 qPrintable(Text(g)));
    }

    void timedClearFollowsTheSaveAndBothOffStop()
    {
        CMainFrame& f = Frame();
        const QString dir = m_xdg->FilePath(QStringLiteral("watch")) + "/";
        QVERIFY(QDir().mkpath(dir));
        QVERIFY(SetTimed(f, true, QStringLiteral("2"), true, dir));
        f.AppendMonitorLine("01", 0, 1);
        Pass(f, 120000);
        QCOMPARE(Text(f), QString());
        f.AppendMonitorLine("02", 0, 1);
        Pass(f, 120000);
        CMainFrame& g = Frame();
        QVERIFY(g.MonitorFiles()->OpenMonitorFile(dir + QStringLiteral("20240103 0908.tnf")));
        QVERIFY2(!Text(g).contains(QStringLiteral("01")) && Text(g).contains(QStringLiteral("02")),
                 qPrintable(Text(g)));

        // Both switches off: no timer.
        CMainFrame& h = Frame();
        QVERIFY(SetTimed(h, true, QStringLiteral("5"), false, dir));
        QVERIFY(h.MonitorFiles()->IsTimerRunning());
        QVERIFY(SetTimed(h, false, QStringLiteral("5"), false, dir));
        QVERIFY(!h.MonitorFiles()->IsTimerRunning());
        QVERIFY(!h.MonitorFiles()->Timer()->isActive());
    }

    void periodOf60000MinutesAndTheRange()
    {
        CMainFrame& f = Frame();
        const QString dir = m_xdg->Root() + "/";
        QVERIFY(!SetTimed(f, true, QStringLiteral("60001"), false, dir));
        QVERIFY(!SetTimed(f, true, QStringLiteral("0"), false, dir));
        QVERIFY(!SetTimed(f, true, QStringLiteral("1x"), false, dir));
        QVERIFY(!SetTimed(f, true, QStringLiteral("5"), false, QString())); // no folder
        QCOMPARE(m_messages.size(), 4);
        QVERIFY(m_messages[0].contains(QStringLiteral("60000")));
        QVERIFY(!f.MonitorFiles()->IsTimerRunning());

        QVERIFY(SetTimed(f, true, QStringLiteral("60000"), false, dir));
        QCOMPARE(f.MonitorFiles()->Timer()->interval(), 3600000); // an hour at a time
        f.AppendMonitorLine("01", 0, 1);
        Pass(f, 3'599'999'999LL);
        QVERIFY(QDir(dir).entryList({QStringLiteral("*.tnf")}, QDir::Files).isEmpty());
        QCOMPARE(f.MonitorFiles()->Timer()->interval(), 1);
        Pass(f, 1);
        QCOMPARE(QDir(dir).entryList({QStringLiteral("*.tnf")}, QDir::Files).size(), 1);

        m_frame.reset(); // the period and folder are kept
        QCOMPARE(m_store->ReadInt("Settings", "ASTime", 0), 60000);
        QCOMPARE(QString::fromStdString(m_store->ReadString("Settings", "AutoSave")), dir);
    }

    // Nothing is lost without a word: a pause and a timed save or clear show while they act,
    // and text kept at a terminate signal is offered once at the next start.
    void noSilentLoss()
    {
        CMainFrame& f = Frame();
        f.OnCommand(ID_PAUSE);
        QCOMPARE(f.StatusNote(QStringLiteral("pause")), QStringLiteral("暂停显示"));
        f.OnCommand(ID_PAUSE);
        QCOMPARE(f.StatusNote(QStringLiteral("pause")), QString());
        const QString dir = m_xdg->FilePath(QStringLiteral("watch")) + "/";
        QVERIFY(QDir().mkpath(dir) && SetTimed(f, true, QStringLiteral("2"), true, dir));
        QCOMPARE(f.StatusNote(QStringLiteral("timedsave")),
                 QStringLiteral("定时保存、清除: 每 2 分钟"));
        QVERIFY(SetTimed(f, false, QStringLiteral("2"), false, dir));
        QCOMPARE(f.StatusNote(QStringLiteral("timedsave")), QString());

        f.AppendMonitorLine("01 02 03", 0, 1);
        f.EndWithoutQuestions();
        QStringList asked;
        for (int start = 0; start < 2; ++start) { // told once
            CMainFrame& g = NewFrame();
            g.MonitorFiles()->SetKeptTextAsker([&](const QString& path) {
                asked << path;
                return true;
            });
            QTest::qWait(20);
            QCOMPARE(Text(g).contains(QStringLiteral("01 02 03")), start == 0);
        }
        QCOMPARE(asked.size(), 1);
    }

    void failedTimedSaveKeepsTheText()
    {
        CMainFrame& f = Frame();
        const QString dir = m_xdg->FilePath(QStringLiteral("gone")) + "/";
        QVERIFY(SetTimed(f, true, QStringLiteral("1"), true, dir));
        f.AppendMonitorLine("01 02", 0, 1);
        Pass(f, 60000);
        QVERIFY(Text(f).contains(QStringLiteral("01 02")));
        QVERIFY(SaveEnabled(f));
        const QString note = f.StatusNote(QStringLiteral("autosave"));
        QVERIFY2(note.contains(dir) && note.contains(QStringLiteral("文件夹不存在")),
                 qPrintable(note));

        QVERIFY(QDir().mkpath(dir)); // the folder is back: saved, cleared, note gone
        Pass(f, 60000);
        QCOMPARE(Text(f), QString());
        QCOMPARE(f.StatusNote(QStringLiteral("autosave")), QString());
        QCOMPARE(QDir(dir).entryList(QDir::Files).size(), 1);
    }

    void closingAsksAboutUnsavedText()
    {
        using A = CMonitorFiles::CloseAnswer;
        CMainFrame& f = Frame();
        int asked = 0;
        A answer = A::Cancel;
        f.MonitorFiles()->SetCloseAsker([&] {
            ++asked;
            return answer;
        });
        f.show();
        QVERIFY(f.close()); // nothing to lose
        QCOMPARE(asked, 0);

        CMainFrame& g = Frame();
        g.MonitorFiles()->SetCloseAsker([&] {
            ++asked;
            return answer;
        });
        const QString path = m_xdg->FilePath(QStringLiteral("kept.tnf"));
        QString fileAnswer;
        g.SetFileNameAsker([&](bool, const QString&, const QString&) { return fileAnswer; });
        g.show();
        g.AppendMonitorLine("01", 0, 1);
        QVERIFY(!g.close()); // cancel
        QVERIFY(g.isVisible());
        answer = A::Save;
        QVERIFY(!g.close()); // save, but the file dialog was cancelled
        fileAnswer = path;
        QVERIFY(g.close());
        QCOMPARE(asked, 3);
        QVERIFY(QFile::exists(path));

        CMainFrame& h = Frame();
        h.MonitorFiles()->SetCloseAsker([&] {
            ++asked;
            return A::Discard;
        });
        const QString dir = m_xdg->Root() + "/";
        QVERIFY(SetTimed(h, true, QStringLiteral("1"), false, dir));
        h.AppendMonitorLine("01", 0, 1);
        Pass(h, 60000); // a timed save counts as saved
        QVERIFY(h.close());
        QCOMPARE(asked, 3);
    }

    // The question at close and the notice of kept text, as boxes answered by a click.
    void boxesAnswerAsClicked_data()
    {
        QTest::addColumn<bool>("kept");      // the kept-text notice, else the close question
        QTest::addColumn<QString>("button"); // empty: Esc
        QTest::addColumn<bool>("result");    // the window closed / the kept text opened
        QTest::newRow("close, save") << false << QStringLiteral("保存(&S)") << true;
        QTest::newRow("close, discard") << false << QStringLiteral("不保存(&N)") << true;
        QTest::newRow("close, cancel") << false << QStringLiteral("取消") << false;
        QTest::newRow("close, Esc") << false << QString() << false;
        QTest::newRow("kept, open") << true << QStringLiteral("打开(&O)") << true;
        QTest::newRow("kept, not") << true << QStringLiteral("不打开(&N)") << false;
        QTest::newRow("kept, Esc") << true << QString() << false;
    }
    void boxesAnswerAsClicked()
    {
        QFETCH(bool, kept);
        QFETCH(QString, button);
        QFETCH(bool, result);
        CMainFrame* frame = &Frame();
        frame->AppendMonitorLine("01 02 03", 0, 1);
        int clicks = 0;
        QTimer clicker;
        connect(&clicker, &QTimer::timeout, this, [&] {
            for (QMessageBox* box : frame->findChildren<QMessageBox*>()) {
                if (!box->isVisible() || box->windowTitle() != QStringLiteral("VRL"))
                    continue;
                ++clicks;
                if (button.isEmpty())
                    QTest::keyClick(box, Qt::Key_Escape);
                for (QAbstractButton* b : box->buttons())
                    if (b->text() == button)
                        b->click();
            }
        });
        clicker.start(5);
        if (kept) {
            frame->EndWithoutQuestions();
            frame = &NewFrame(); // no asker: the notice is a box
            QTRY_COMPARE(clicks, 1);
            QCOMPARE(Text(*frame).contains(QStringLiteral("01 02 03")), result);
            return;
        }
        const QString path = m_xdg->FilePath(QStringLiteral("closed.tnf"));
        frame->SetFileNameAsker([&](bool, const QString&, const QString&) { return path; });
        frame->MonitorFiles()->SetCloseAsker({});
        frame->show();
        QCOMPARE(frame->close(), result);
        QCOMPARE(clicks, 1);
        QCOMPARE(QFile::exists(path), button == QStringLiteral("保存(&S)"));
    }

    void folderPickerEndsWithSlashAndRemembers()
    {
        IniSettingsStore& store = *m_store;
        QStringList seen;
        QString answer = QStringLiteral("/var/log");
        CDirectoryDialog::SetChooser([&](const QString& title, const QString& initial) {
            seen << title + "|" + initial;
            return answer;
        });
        CDirectoryDialog plain(&store);
        QCOMPARE(plain.Browse(QStringLiteral("/tmp/")), QStringLiteral("/var/log/"));
        CDirectoryDialog named(&store);
        named.m_strEntry = QStringLiteral("日志");
        answer = QStringLiteral("/");
        QCOMPARE(named.Browse(QString()), QStringLiteral("/"));
        CDirectoryDialog again(&store);
        again.m_strEntry = QStringLiteral("日志");
        answer.clear();
        QCOMPARE(again.Browse(QString()), QString()); // cancelled
        QCOMPARE(seen, (QStringList{QStringLiteral("选择保存监视报文的目录:|/tmp/"),
                                    QStringLiteral("请为日志选择合适的目录:|"),
                                    QStringLiteral("请为日志选择合适的目录:|/")}));
    }
};

QTEST_MAIN(tst_MonitorFiles)
#include "tst_MonitorFiles.moc"
