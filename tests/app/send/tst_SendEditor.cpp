#include "TestPtyPair.h"
#include "app/send/SendEditor.h"
#include "app/send/SendFile.h"
#include "app/send/SendFrameWnd.h"
#include "core/base/SettingsStore.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMainWindow>
#include <QMessageBox>
#include <QMimeData>
#include <QTextBlock>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace {

// Closes the next message box that opens and keeps its text.
class MessageBoxCatcher : public QObject
{
public:
    MessageBoxCatcher()
    {
        m_timer.setInterval(5);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                m_text = box->text();
                m_title = box->windowTitle();
                ++m_count;
                box->accept();
            }
        });
        m_timer.start();
    }
    QString m_text;
    QString m_title;
    int m_count = 0;

private:
    QTimer m_timer;
};

QColor ColourAt(CSendLineEditor& edit, int pos)
{
    QTextCursor c(edit.document());
    c.setPosition(pos + 1); // charFormat() is the format of the character before
    return c.charFormat().foreground().color();
}

void SetCaret(CSendLineEditor& edit, int pos)
{
    QTextCursor c = edit.textCursor();
    c.setPosition(pos);
    edit.setTextCursor(c);
}

void Select(CSendLineEditor& edit, int from, int to)
{
    QTextCursor c = edit.textCursor();
    c.setPosition(from);
    c.setPosition(to, QTextCursor::KeepAnchor);
    edit.setTextCursor(c);
}

constexpr auto kCtrlAlt = Qt::ControlModifier | Qt::AltModifier;

} // namespace

class tst_SendEditor : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TestXdgFolders> m_xdg;

private Q_SLOTS:
    void initTestCase()
    {
        m_xdg = std::make_unique<TestXdgFolders>();
        QVERIFY(!m_xdg->Root().isEmpty());
    }

    void lineOperations()
    {
        CSendEditor edit;
        edit.setPlainText(QStringLiteral("abc\n\nEB 90\n中文X"));
        QCOMPARE(edit.LineCount(), 4);
        SetCaret(edit, 6); // on line 2
        QCOMPARE(edit.ResolveLine(-1), 2);
        QCOMPARE(edit.ResolveLine(4), 2);
        QCOMPARE(edit.ResolveLine(1), 1);
        QCOMPARE(edit.LineStart(2), 5);
        QCOMPARE(edit.LineEnd(2), 10);
        QCOMPARE(edit.GetLineText(-1), QStringLiteral("EB 90"));
        QCOMPARE(edit.GetLineText(3), QStringLiteral("中文X"));
        QString text;
        QCOMPARE(edit.GetLineText(0, text), 3);
        QCOMPARE(text, QStringLiteral("abc"));

        // Columns count code-page bytes: after 中文 the caret stands at byte 4.
        SetCaret(edit, edit.LineStart(3) + 2);
        QCOMPARE(edit.CaretColumn(), 4);
        Select(edit, 0, edit.LineStart(3) + 3);
        QCOMPARE(edit.CaretColumn(), 5); // the selection end counts

        edit.InsertText("X", CSendLineEditor::ReplaceLine, 0);
        QCOMPARE(edit.toPlainText(), QStringLiteral("X\n\nEB 90\n中文X"));
        QCOMPARE(edit.textCursor().position(), 1);
        edit.InsertText("<", CSendLineEditor::AtLineStart, 2);
        edit.InsertText(">", CSendLineEditor::AtLineEnd, 2);
        QCOMPARE(edit.GetLineText(2), QStringLiteral("<EB 90>"));
        edit.InsertText("after", CSendLineEditor::LineAfter, 0);
        edit.InsertText("before", CSendLineEditor::LineBefore, 0);
        QCOMPARE(edit.toPlainText(), QStringLiteral("before\nX\nafter\n\n<EB 90>\n中文X"));
        // On an empty line both line modes fill the line itself.
        edit.InsertText("e", CSendLineEditor::LineAfter, 3);
        QCOMPARE(edit.toPlainText(), QStringLiteral("before\nX\nafter\ne\n<EB 90>\n中文X"));
        Select(edit, 0, 2);
        edit.InsertText("|", CSendLineEditor::AtSelectionEnd, 5);
        QCOMPARE(edit.GetLineText(0), QStringLiteral("be|fore"));

        // Every insertion is one undo step.
        edit.undo();
        QCOMPARE(edit.GetLineText(0), QStringLiteral("before"));
        edit.undo();
        QCOMPARE(edit.toPlainText(), QStringLiteral("before\nX\nafter\n\n<EB 90>\n中文X"));

        edit.MoveCaretToLine(true, 1);
        QCOMPARE(edit.textCursor().position(), edit.LineStart(2));
        edit.MoveCaretToLine(true, 5); // the last line has no next
        QCOMPARE(edit.textCursor().position(), edit.LineStart(5));
        QVERIFY(!edit.textCursor().hasSelection());
    }

    void captionFollowsTheCaret()
    {
        QMainWindow main;
        auto* bar = new CSendFrameWnd(&main);
        main.addDockWidget(Qt::BottomDockWidgetArea, bar);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        CSendEditor& edit = *bar->SendEdit();
        QTRY_COMPARE(bar->windowTitle(), QStringLiteral("发报窗    [行 1，字节 1 (1)]"));

        edit.setPlainText(QStringLiteral("line1\nline2\nabcdefghij\n中文AB"));
        SetCaret(edit, edit.LineStart(2) + 7);
        QTRY_COMPARE(bar->windowTitle(), QStringLiteral("发报窗    [行 3，字节 3 (8)]"));

        SetCaret(edit, edit.LineStart(3) + 2);
        QTRY_COMPARE(bar->windowTitle(), QStringLiteral("发报窗    [行 4，字节 2 (5)]"));

        edit.setFocus();
        QTest::keyClick(&edit, Qt::Key_Right);
        QTRY_COMPARE(bar->windowTitle(), QStringLiteral("发报窗    [行 4，字节 2 (6)]"));
        QTest::keyClick(&edit, Qt::Key_Z);
        QTRY_COMPARE(bar->windowTitle(), QStringLiteral("发报窗    [行 4，字节 3 (7)]"));

        // A click at the start of the text.
        const QRect first = edit.cursorRect(QTextCursor(edit.document()));
        QTest::mouseClick(edit.viewport(), Qt::LeftButton, {},
                          QPoint(first.left() + 1, first.center().y()));
        QTRY_COMPARE(bar->windowTitle(), QStringLiteral("发报窗    [行 1，字节 1 (1)]"));

        // A selection dragged to the start of a line names the end of the line before.
        QTextCursor to(edit.document());
        to.setPosition(edit.LineStart(2));
        const QRect r = edit.cursorRect(to);
        QTest::mousePress(edit.viewport(), Qt::LeftButton, {},
                          QPoint(first.left() + 1, first.center().y()));
        QMouseEvent move(QEvent::MouseMove, QPointF(r.left() + 1, r.center().y()),
                         edit.viewport()->mapToGlobal(QPointF(r.left() + 1, r.center().y())),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(edit.viewport(), &move);
        QVERIFY(edit.textCursor().hasSelection());
        QTRY_COMPARE(bar->windowTitle(), QStringLiteral("发报窗    [行 2，字节 2 (6)]"));
        QTest::mouseRelease(edit.viewport(), Qt::LeftButton, {},
                            QPoint(r.left() + 1, r.center().y()));
    }

    void commentLineKeys()
    {
        CSendEditor edit;
        edit.setPlainText(QStringLiteral("1\n2\n3\n4\n55 66"));
        SetCaret(edit, edit.LineStart(4) + 2);
        QTest::keyClick(&edit, Qt::Key_Space, kCtrlAlt);
        QCOMPARE(edit.LineCount(), 6);
        QCOMPARE(edit.GetLineText(4), QStringLiteral("55 66"));
        QCOMPARE(edit.GetLineText(5), QStringLiteral("<<--    -->>"));
        QCOMPARE(ColourAt(edit, edit.LineStart(5)), QColor(0, 128, 0));
        QCOMPARE(ColourAt(edit, edit.LineEnd(5) - 1), QColor(0, 128, 0));
        QCOMPARE(edit.ResolveLine(-1), 5);
        // The whole key is one undo step.
        edit.undo();
        QCOMPARE(edit.toPlainText(), QStringLiteral("1\n2\n3\n4\n55 66"));

        // On an empty line the markers go into that line; a selection is deleted first.
        edit.setPlainText(QStringLiteral("AA\n\nBB"));
        SetCaret(edit, 3);
        QTest::keyClick(&edit, Qt::Key_Space, kCtrlAlt);
        QCOMPARE(edit.toPlainText(), QStringLiteral("AA\n<<--    -->>\nBB"));
        Select(edit, 0, 2);
        QTest::keyClick(&edit, Qt::Key_N, kCtrlAlt);
        QCOMPARE(edit.toPlainText(),
                 QStringLiteral(
                     "<<--设备：PLC；波特率：9600；校验：无；规约：MODUBUS-->>\n<<--    -->>\nBB"));
        QCOMPARE(ColourAt(edit, 3), QColor(0, 128, 0));

        // Shift makes it another key.
        SetCaret(edit, edit.LineEnd(2));
        QTest::keyClick(&edit, Qt::Key_N, kCtrlAlt | Qt::ShiftModifier);
        QCOMPARE(edit.LineCount(), 3);
    }

    void colourAndCaseKeys()
    {
        CSendEditor edit;
        edit.setPlainText(QStringLiteral("ab cd\nEf gH"));
        SetCaret(edit, 2);
        QTest::keyClick(&edit, Qt::Key_G, kCtrlAlt);
        QCOMPARE(edit.textCursor().selectionStart(), 0);
        QCOMPARE(edit.textCursor().selectionEnd(), 5);
        for (int i = 0; i < 5; ++i)
            QCOMPARE(ColourAt(edit, i), QColor(0, 128, 0));
        QCOMPARE(ColourAt(edit, 6), QColor(0, 0, 0));

        const struct
        {
            Qt::Key key;
            QColor colour;
        } colours[] = {
            {Qt::Key_B, QColor(0, 0, 200)},
            {Qt::Key_R, QColor(200, 0, 0)},
            {Qt::Key_Y, QColor(128, 128, 128)},
            {Qt::Key_T, QColor(0, 0, 0)},
        };
        for (const auto& c : colours) {
            Select(edit, 7, 9);
            QTest::keyClick(&edit, c.key, kCtrlAlt);
            QCOMPARE(ColourAt(edit, 7), c.colour);
            QCOMPARE(ColourAt(edit, 8), c.colour);
            QCOMPARE(ColourAt(edit, 9), QColor(0, 0, 0));
            QCOMPARE(edit.textCursor().selectionStart(), 7); // the selection stays
        }
        QCOMPARE(edit.textCursor().charFormat().fontPointSize(), 9.0);

        SetCaret(edit, 8);
        QTest::keyClick(&edit, Qt::Key_U, kCtrlAlt);
        QCOMPARE(edit.GetLineText(1), QStringLiteral("EF GH"));
        QTest::keyClick(&edit, Qt::Key_L, kCtrlAlt);
        QCOMPARE(edit.GetLineText(1), QStringLiteral("ef gh"));
        Select(edit, 0, 2);
        QTest::keyClick(&edit, Qt::Key_U, kCtrlAlt);
        QCOMPARE(edit.toPlainText(), QStringLiteral("AB cd\nef gh"));
        edit.undo();
        QCOMPARE(edit.toPlainText(), QStringLiteral("ab cd\nef gh"));
    }

    void conversionKeys()
    {
        CSendEditor edit;
        edit.setPlainText(QStringLiteral("x\n41 42 09 43\nGG"));
        SetCaret(edit, 3);
        QTest::keyClick(&edit, Qt::Key_A, kCtrlAlt);
        QCOMPARE(edit.GetLineText(1), QStringLiteral("AB\tC"));
        QTest::keyClick(&edit, Qt::Key_H, kCtrlAlt);
        QCOMPARE(edit.GetLineText(1), QStringLiteral("41 42 09 43"));

        // A Chinese line becomes its GBK bytes and comes back.
        edit.InsertText(QStringLiteral("中A"), CSendLineEditor::ReplaceLine, 1);
        QTest::keyClick(&edit, Qt::Key_H, kCtrlAlt);
        QCOMPARE(edit.GetLineText(1), QStringLiteral("D6 D0 41"));
        QTest::keyClick(&edit, Qt::Key_A, kCtrlAlt);
        QCOMPARE(edit.GetLineText(1), QStringLiteral("中A"));

        // Not hex text: unchanged, no message.
        SetCaret(edit, edit.LineStart(2));
        MessageBoxCatcher boxes;
        QTest::keyClick(&edit, Qt::Key_A, kCtrlAlt);
        QCOMPARE(edit.GetLineText(2), QStringLiteral("GG"));
        QCOMPARE(boxes.m_count, 0);
    }

    void analyseKeyPutsTheCaretAtTheError()
    {
        CSendEditor edit;
        edit.setPlainText(QStringLiteral("EB 90\nEB,90\n中X\nnext\n中1 2"));
        QTest::qWait(0);

        {
            MessageBoxCatcher boxes;
            SetCaret(edit, 0);
            QTest::keyClick(&edit, Qt::Key_P, kCtrlAlt);
            QCOMPARE(boxes.m_count, 0); // a valid line: nothing happens
            QCOMPARE(edit.textCursor().position(), 0);
        }
        {
            MessageBoxCatcher boxes;
            SetCaret(edit, edit.LineStart(1));
            QTest::keyClick(&edit, Qt::Key_P, kCtrlAlt);
            QCOMPARE(boxes.m_count, 1);
            QCOMPARE(boxes.m_title, QStringLiteral("VRL"));
            QVERIFY2(boxes.m_text.startsWith(QStringLiteral("第 2 行    报文格式出错：")),
                     qPrintable(boxes.m_text));
            QCOMPARE(edit.textCursor().position(), edit.LineStart(1) + 3);
        }
        {
            // "中X": one character too many after the first byte field, at byte 3, which is
            // after X: the caret stays on its line.
            MessageBoxCatcher boxes;
            SetCaret(edit, edit.LineStart(2));
            QTest::keyClick(&edit, Qt::Key_P, kCtrlAlt);
            QCOMPARE(boxes.m_count, 1);
            QCOMPARE(edit.textCursor().position(), edit.LineStart(2) + 2);
            QCOMPARE(edit.ResolveLine(-1), 2);
        }
        {
            // "中1 2": the separator fault at byte 3 is the character 1.
            MessageBoxCatcher boxes;
            QVERIFY(!edit.CheckLine(4));
            QCOMPARE(boxes.m_count, 1);
            QCOMPARE(edit.textCursor().position(), edit.LineStart(4) + 2);
        }
    }

    void readOnlyKey()
    {
        CSendEditor edit;
        edit.setPlainText("AB");
        QCOMPARE(edit.BackgroundColor(), QColor(240, 240, 240));
        QTest::keyClick(&edit, Qt::Key_R, Qt::ControlModifier);
        QVERIFY(edit.isReadOnly());
        QCOMPARE(edit.BackgroundColor(), QColor(210, 210, 210));
        // Nothing changes the text while read-only.
        QTest::keyClick(&edit, Qt::Key_Space, kCtrlAlt);
        QTest::keyClick(&edit, Qt::Key_N, kCtrlAlt);
        QTest::keyClick(&edit, Qt::Key_U, kCtrlAlt);
        edit.setPlainText("31");
        QCOMPARE(edit.AppendCheckCode(CheckKind::Sum8), 0xFFFF);
        QCOMPARE(edit.toPlainText(), QStringLiteral("31"));
        QTest::keyClick(&edit, Qt::Key_R, Qt::ControlModifier);
        QVERIFY(!edit.isReadOnly());
        QCOMPARE(edit.BackgroundColor(), QColor(230, 230, 230));
    }

    void editorKeysComeBeforeTheWindowShortcuts()
    {
        QMainWindow main;
        auto* bar = new CSendFrameWnd(&main);
        main.addDockWidget(Qt::BottomDockWidgetArea, bar);
        int readOnlyCommand = 0;
        int sendCommand = 0;
        auto* ro = main.addAction("ro");
        ro->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
        connect(ro, &QAction::triggered, [&] { ++readOnlyCommand; });
        auto* send = main.addAction("send");
        send->setShortcut(QKeySequence(Qt::Key_F2));
        connect(send, &QAction::triggered, [&] { ++sendCommand; });
        main.show();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        CSendEditor& edit = *bar->SendEdit();
        edit.setFocus();
        QTRY_VERIFY(edit.hasFocus());

        QTest::keyClick(&edit, Qt::Key_R, Qt::ControlModifier);
        QVERIFY(edit.isReadOnly());
        QCOMPARE(readOnlyCommand, 0);
        QTest::keyClick(&edit, Qt::Key_F2);
        QCOMPARE(sendCommand, 1);
    }

    void shiftEnterAndPastedSeparatorsMakeLines()
    {
        // Shift is often still held after an upper-case digit: Shift+Enter must start a
        // line of its own, not a soft break inside the line that F2 would send as one.
        CSendEditor edit;
        QTest::keyClicks(&edit, QStringLiteral("EB 90"));
        QTest::keyClick(&edit, Qt::Key_Return, Qt::ShiftModifier);
        QTest::keyClicks(&edit, QStringLiteral("0D"));
        QCOMPARE(edit.LineCount(), 2);
        QCOMPARE(edit.GetLineText(0), QStringLiteral("EB 90"));
        QCOMPARE(edit.GetLineText(-1), QStringLiteral("0D"));
        QCOMPARE(edit.ResolveLine(-1), 1);

        // Text with Unicode line or paragraph separators pastes as separate lines too.
        QApplication::clipboard()->setText(QStringLiteral("\nAA") + QChar::LineSeparator + "BB"
                                           + QChar::ParagraphSeparator + "CC");
        QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(edit.toPlainText(), QStringLiteral("EB 90\n0D\nAA\nBB\nCC"));
        QCOMPARE(edit.LineCount(), 5);

        // A send file holding such a separator (written before, or by another program).
        const QString file = m_xdg->FilePath("separator.tnf");
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("{\\rtf1\\ansi\\ansicpg936{\\colortbl;\\red200\\green0\\blue0;}"
                "AA\\u8232?BB\\'0d\\cf1\\par CC\\par\n}");
        f.close();
        MemorySettingsStore store;
        QVERIFY(CSendFile(edit, store).Load(file));
        // CR before a paragraph mark ends one line, not two, also in another colour.
        QCOMPARE(edit.LineCount(), 3);
        QCOMPARE(edit.GetLineText(1), QStringLiteral("BB"));
        QCOMPARE(edit.GetLineText(2), QStringLiteral("CC"));
    }

    void pasteIsPlainText()
    {
        CSendEditor edit;
        edit.setPlainText("AB");
        SetCaret(edit, 1);
        auto* mime = new QMimeData;
        mime->setHtml("<span style=\"color:#ff0000; font-size:30pt\">XY</span>");
        mime->setText("XY");
        QApplication::clipboard()->setMimeData(mime);
        QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(edit.toPlainText(), QStringLiteral("AXYB"));
        QCOMPARE(ColourAt(edit, 1), QColor(0, 0, 0));
        QVERIFY(ColourAt(edit, 2) != QColor(255, 0, 0));

        // Lines copied from a DOS text file keep one break per line.
        QApplication::clipboard()->setText(QStringLiteral("11\r\n22\r\n"));
        SetCaret(edit, 0);
        QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(edit.toPlainText(), QStringLiteral("11\n22\nAXYB"));
    }

    void checkCodes()
    {
        CSendEditor edit;
        edit.setPlainText(
            QStringLiteral("31 32 33 34\n01 03 00 00 00 01 55\nEB 90 02 34 0D\nEB 90 "));
        Select(edit, 6, 11);
        QCOMPARE(edit.AppendCheckCode(CheckKind::Ccitt8), 0xB5);
        QCOMPARE(edit.GetLineText(0), QStringLiteral("31 32 33 34 B5"));
        edit.undo();
        QCOMPARE(edit.GetLineText(0), QStringLiteral("31 32 33 34"));

        SetCaret(edit, edit.LineStart(1) + 3);
        edit.AppendCheckCode(CheckKind::Modbus);
        QCOMPARE(edit.GetLineText(1), QStringLiteral("01 03 00 00 00 01 84 0A"));

        SetCaret(edit, edit.LineStart(2));
        edit.AppendCheckCode(CheckKind::Ansi16);
        QCOMPARE(edit.GetLineText(2), QStringLiteral("EB 90 02 34 0D 5B D2"));

        {
            MessageBoxCatcher boxes;
            SetCaret(edit, edit.LineStart(3));
            QCOMPARE(edit.AppendCheckCode(CheckKind::Sum8), 0xFFFF);
            QCOMPARE(boxes.m_text, QStringLiteral("格式不对！组合键Ctrl+Alt+P分析错误！"));
            QCOMPARE(edit.GetLineText(3), QStringLiteral("EB 90 "));
        }
        {
            MessageBoxCatcher boxes;
            SetCaret(edit, edit.LineStart(2));
            edit.InsertText("EB 90 02 34 0D", CSendLineEditor::ReplaceLine, 2);
            QCOMPARE(edit.AppendCheckCode(CheckKind::Modbus), 0xFFFF);
            QCOMPARE(boxes.m_text, QStringLiteral("MODBUS查询报文长度不能小于6个字节！"));
        }
        {
            // A selection over two lines is not hex text.
            MessageBoxCatcher boxes;
            Select(edit, 9, edit.LineStart(1) + 2);
            edit.AppendCheckCode(CheckKind::Sum8);
            QCOMPARE(boxes.m_count, 1);
        }
    }

    void sendFileRoundTripAndFallback()
    {
        MemorySettingsStore store;
        const QString file = m_xdg->Root() + "/frames/a.tnf";
        QDir().mkpath(m_xdg->Root() + "/frames");
        {
            CSendEditor edit;
            CSendFile sendFile(edit, store);
            edit.setPlainText(QStringLiteral("EB 90 02 34 0D\n注释\n\nlast"));
            Select(edit, 0, 5);
            edit.ApplyFormat(CSendLineEditor::Red);
            Select(edit, edit.LineStart(1), edit.LineEnd(1));
            edit.ApplyFormat(CSendLineEditor::Green);
            QVERIFY(sendFile.Save(file));
            QVERIFY(!edit.document()->isModified());
            QCOMPARE(QString::fromStdString(store.ReadString("Settings", "XREPath")), file);
        }
        {
            CSendEditor edit;
            CSendFile sendFile(edit, store);
            QVERIFY(sendFile.Load(sendFile.Path()));
            QCOMPARE(edit.toPlainText(), QStringLiteral("EB 90 02 34 0D\n注释\n\nlast"));
            QCOMPARE(ColourAt(edit, 0), QColor(200, 0, 0));
            QCOMPARE(ColourAt(edit, 4), QColor(200, 0, 0));
            QCOMPARE(ColourAt(edit, 5), QColor(0, 0, 0));
            QCOMPARE(ColourAt(edit, edit.LineStart(1) + 1), QColor(0, 128, 0));
            QCOMPARE(ColourAt(edit, edit.LineStart(3)), QColor(0, 0, 0));
            QVERIFY(!edit.document()->isModified());

            // A file that is not rich text leaves the text alone.
            const QString junk = m_xdg->Root() + "/frames/junk.tnf";
            QFile f(junk);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("plain words");
            f.close();
            QVERIFY(!sendFile.Load(junk));
            QCOMPARE(edit.GetLineText(3), QStringLiteral("last"));
        }

        // The default folder does not exist yet: saving to an unwritable place creates it,
        // writes the default file and remembers that file.
        const QString defaultFile = m_xdg->Root() + "/data/Tellumar/VRL/VRL.tnf";
        QVERIFY(!QFileInfo::exists(defaultFile));
        {
            CSendEditor edit;
            CSendFile sendFile(edit, store);
            QCOMPARE(CSendFile::DefaultPath(), defaultFile);
            edit.setPlainText(QStringLiteral("01 02"));
            QVERIFY(sendFile.Save(m_xdg->Root() + "/no/such/folder/b.tnf"));
            QVERIFY(QFileInfo::exists(defaultFile));
            QCOMPARE(QString::fromStdString(store.ReadString("Settings", "XREPath")), defaultFile);
        }
        {
            CSendEditor edit;
            CSendFile sendFile(edit, store);
            edit.setPlainText("keep");
            // A name that does not exist loads the default file.
            QVERIFY(sendFile.Load(m_xdg->Root() + "/missing.tnf"));
            QCOMPARE(edit.toPlainText(), QStringLiteral("01 02"));
        }
        {
            QFile::remove(defaultFile);
            CSendEditor edit;
            CSendFile sendFile(edit, store);
            edit.setPlainText("keep");
            QVERIFY(!sendFile.Load(m_xdg->Root() + "/missing.tnf"));
            QCOMPARE(edit.toPlainText(), QStringLiteral("keep"));
        }
    }
};

QTEST_MAIN(tst_SendEditor)
#include "tst_SendEditor.moc"
