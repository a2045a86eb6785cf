#include "MainFrameFixture.h"
#include "RelayedProgram.h"
#include "app/frame/MainFrm.h"
#include "app/monitor/FrameMonitorView.h"
#include "app/transfer/PortTransfer.h"
#include "app/transfer/TransferCommands.h"
#include "app/transfer/TransferDialog.h"
#include "core/base/CommandIds.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

// The transfer dialog against lrzsz on a pseudo-terminal, both ways: its progress moves while
// the blocks go, and the monitor shows the line that begins the transfer and the one that ends
// it, not the blocks.
class tst_TransferDialog : public QObject, private MainFrameFixture
{
    Q_OBJECT
private Q_SLOTS:
    void init() { StartFixture(); }
    void cleanup() { EndFixture(); }

    void ProgressAndTwoMonitorLines_data()
    {
        QTest::addColumn<bool>("sending");
        QTest::addColumn<int>("cancel"); // once blocks went: 1 Cancel pressed, 2 the window closed
        QTest::newRow("VRL sends to rb") << true << 0;
        QTest::newRow("sb sends to VRL") << false << 0;
        QTest::newRow("sb sends, the user cancels") << false << 1;
        QTest::newRow("sb sends, the window closes") << false << 2;
    }
    void ProgressAndTwoMonitorLines()
    {
        QFETCH(bool, sending);
        QFETCH(int, cancel);
        QTemporaryDir folder;
        QDir(folder.path()).mkdir("far");
        QDir(folder.path()).mkdir("in");
        QByteArray content(300 * 1024, '\0');
        for (int i = 0; i < content.size(); ++i)
            content[i] = static_cast<char>(i * 31 + i / 977);
        const QString file = folder.filePath(sending ? "in/fw.bin" : "far/fw.bin");
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(content) == content.size());
        out.close();

        RelayedProgram far;
        CMainFrame& frame = NewFrame();
        if (!OpenPort(0, QString::fromStdString(far.Path())))
            return;
        const QString before = frame.GetView()->toPlainText();
        frame.OnCommand(sending ? ID_SEND_TRANSFER_FILE : ID_RECEIVE_TRANSFER_FILE);
        CTransferDialog* dialog = frame.TransferCommands()->Dialog();
        QVERIFY(dialog && dialog->isVisible());
        dialog->ProtocolBox()->setCurrentIndex(2); // YMODEM
        dialog->PathEdit()->setText(sending ? file : folder.filePath("in"));
        QList<int> shown;
        connect(&dialog->Transfer(), &CPortTransfer::progressed, this,
                [&] { shown << dialog->Bar()->value(); });
        if (!sending)
            QVERIFY(far.Start({"sb", "-k", "-t", "10", file.toStdString()},
                              folder.path().toStdString()));
        dialog->StartButton()->click();
        QVERIFY(dialog->IsRunning());
        if (sending)
            QVERIFY(far.Start({"rb", "-t", "10"}, folder.filePath("far").toStdString()));
        if (cancel) {
            QTRY_VERIFY_WITH_TIMEOUT(dialog->Bar()->value() > 0, 30000);
            if (cancel == 2) {
                m_frame.reset();
            } else {
                dialog->CancelButton()->click();
                QVERIFY(!dialog->IsRunning());
                QVERIFY(
                    frame.GetView()->toPlainText().contains("文件传送失败：传输已取消（已传送 "));
            }
            QVERIFY(far.Wait(5000) > 0); // sb heard the CAN bytes and gave up at once
            QVERIFY(QDir(folder.filePath("in")).isEmpty());
            return;
        }
        QTRY_VERIFY_WITH_TIMEOUT(!dialog->IsRunning(), 60000);

        QCOMPARE(far.Wait(10000), 0);
        QFile got(folder.filePath(sending ? "far/fw.bin" : "in/fw.bin"));
        QVERIFY(got.open(QIODevice::ReadOnly));
        QVERIFY(got.readAll() == content);
        QVERIFY2(std::any_of(shown.begin(), shown.end(), [](int v) { return v > 0 && v < 100; }),
                 "the bar never showed the transfer under way");
        QCOMPARE(dialog->Bar()->value(), 100);
        QVERIFY(dialog->StartButton()->isEnabled());
        QVERIFY(m_messages.isEmpty());
        // Two lines of the program's own, nothing of the blocks between them.
        const QStringList lines =
            frame.GetView()->toPlainText().mid(before.size()).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        QVERIFY2(lines[0].contains(sending ? "COM1 开始用 YMODEM 发送 fw.bin（307200 字节）"
                                           : "COM1 开始用 YMODEM 接收文件到 "),
                 qPrintable(lines[0]));
        QVERIFY2(lines[1].contains(sending ? "fw.bin 发送完成：307200 字节"
                                           : "fw.bin 接收完成：307200 字节"),
                 qPrintable(lines[1]));
        QCOMPARE(dialog->Figures()->text(), lines[1].mid(lines[1].indexOf("COM1 ") + 5));
    }
};

QTEST_MAIN(tst_TransferDialog)
#include "tst_TransferDialog.moc"
