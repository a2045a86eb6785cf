#include "TestPtyPair.h"
#include "app/monitor/FindReplaceDialog.h"
#include "app/monitor/FrameMonitorView.h"
#include "app/monitor/MonitorFile.h"
#include "app/monitor/MonitorScrollBar.h"
#include "core/base/CommandIds.h"
#include "core/files/RtfReader.h"
#include "core/files/RtfWriter.h"

#include <atomic>

#include <QtTest>

#include <QClipboard>
#include <QFontDatabase>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QRawFont>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTextBlock>

namespace {
struct Run
{
    QString text;
    QColor colour;
};

// The text of the document as runs of one colour; a line end is "\n" in the run before it.
QList<Run> Runs(const QTextDocument& doc)
{
    QList<Run> runs;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QColor colour = fragment.charFormat().foreground().color();
            if (!runs.isEmpty() && runs.last().colour == colour)
                runs.last().text += fragment.text();
            else
                runs.append({fragment.text(), colour});
        }
        if (block.next().isValid() && !runs.isEmpty())
            runs.last().text += QLatin1Char('\n');
    }
    return runs;
}

// What the window shows (the pixels kept between refreshes, scrolled and partly repainted)
// equals a full painting of the text, once the screen has caught up.
bool ShowsWhatItHolds(CFrameMonitorView& view)
{
    if (!QTest::qWaitFor([&] { return !view.IsRefreshPending(); }))
        return false;
    QApplication::processEvents();
    const QImage shown =
        view.screen()->grabWindow(view.winId()).toImage().convertToFormat(QImage::Format_RGB32);
    const QImage painted = view.grab().toImage().convertToFormat(QImage::Format_RGB32);
    return shown.size() == painted.size() && shown == painted;
}

// The hex text of a 4096-byte message: a line of 12,288 characters.
QString HexOf4096Bytes()
{
    QString hex;
    for (int i = 0; i < 4096; ++i)
        hex += QStringLiteral("%1 ").arg(i % 256, 2, 16, QLatin1Char('0')).toUpper();
    return hex;
}

QColor ColourAt(const QTextDocument& doc, int position)
{
    QTextCursor cursor(const_cast<QTextDocument*>(&doc));
    cursor.setPosition(position + 1); // the format of the character before the cursor
    return cursor.charFormat().foreground().color();
}
} // namespace

class tst_MonitorView : public QObject
{
    Q_OBJECT
private:
    TestXdgFolders m_home;

private Q_SLOTS:
    void initTestCase() { QVERIFY(!m_home.Root().isEmpty()); }

    void startsEmptyWithItsLook()
    {
        CFrameMonitorView view;
        QVERIFY(view.document()->isEmpty());
        QVERIFY(!view.IsModified());
        QCOMPARE(view.GetWordWrap(), 0);
        QCOMPARE(view.lineWrapMode(), QPlainTextEdit::NoWrap);
        QVERIFY(!view.GetReadOnly());
        QCOMPARE(view.palette().color(QPalette::Base), QColor(230, 230, 230));
        QCOMPARE(view.GetTextLimit(), CMonitorView::kDefaultTextLimit);
        QCOMPARE(view.GetDocument(), view.document());
        QCOMPARE(view.GetPrintMargins(), QMarginsF(0.5, 0.5, 0.5, 0.5));

        const QString face = CMonitorView::DefaultFace();
        QVERIFY(!face.isEmpty());
        QVERIFY2(QFontDatabase::families().contains(face, Qt::CaseInsensitive), qPrintable(face));
        const QList<QColor> colours{QColor(0, 0, 0),    QColor(200, 0, 0), QColor(0, 128, 0),
                                    QColor(0, 0, 200),  QColor(200, 0, 0), QColor(128, 128, 128),
                                    QColor(128, 0, 160)};
        for (int i = 0; i < CMonitorView::kColourCount; ++i) {
            const QTextCharFormat& format = view.GetCharFormat(i);
            QCOMPARE(format.foreground().color(), colours[i]);
            QCOMPARE(format.fontPointSize(), 9.0);
            QCOMPARE(format.fontFamilies().toStringList(), QStringList{face});
            // Colour, size and face only: no effects of their own.
            QVERIFY(!format.hasProperty(QTextFormat::FontWeight));
            QVERIFY(!format.hasProperty(QTextFormat::FontItalic));
        }
    }

    // A character the monitor's face lacks gets a face that draws it, wherever it stands
    // among ASCII (recognised four characters at a time).
    void blankCharacterFallsBackWhereverItStands()
    {
        CFrameMonitorView view;
        const char32_t snowman = U'\u2603';
        if (QRawFont::fromFont(view.GetCharFormat(3).font()).supportsCharacter(snowman)
            || !QRawFont::fromFont(QFont(QStringLiteral("DejaVu Sans"))).supportsCharacter(snowman))
            QSKIP("needs a monitor face without U+2603 and DejaVu Sans with it");
        for (int length = 1; length <= 9; ++length)
            for (int at = 0; at < length; ++at) {
                view.clear();
                view.AppendText(QString(length, QLatin1Char('A'))
                                    .replace(at, 1, QString::fromUcs4(&snowman, 1)),
                                3);
                QTextCursor cursor(view.document());
                cursor.setPosition(at + 1);
                QVERIFY(cursor.charFormat().fontFamilies().toStringList()
                        != QStringList{CMonitorView::DefaultFace()});
            }
    }

    void appendsPiecesInTheirColours()
    {
        CFrameMonitorView view;
        view.AppendText(QStringLiteral("[12:30:05  15] "), 5);
        view.AppendText(QStringLiteral("COM"), 5);
        view.AppendText(QStringLiteral("12"), 1);
        view.AppendText(QString(QChar(0x2191)), 5);
        view.AppendText(QStringLiteral("01 03 0A\n"), 3);
        view.AppendText(QStringLiteral("sent\n"), 4);
        view.AppendText(QStringLiteral("green"), 2);
        view.AppendText(QStringLiteral("+same"), 7); // no format of its own: keeps the one before
        view.AppendText(QStringLiteral(" black\r\nnext"), 0);

        QCOMPARE(
            view.toPlainText(),
            QStringLiteral("[12:30:05  15] COM12\u219101 03 0A\nsent\ngreen+same black\nnext"));
        const QList<Run> runs = Runs(*view.document());
        QCOMPARE(runs.size(), 7);
        QCOMPARE(runs[0].text, QStringLiteral("[12:30:05  15] COM"));
        QCOMPARE(runs[0].colour, QColor(128, 128, 128));
        QCOMPARE(runs[1].text, QStringLiteral("12"));
        QCOMPARE(runs[1].colour, QColor(200, 0, 0));
        QCOMPARE(runs[2].text, QString(QChar(0x2191)));
        QCOMPARE(runs[2].colour, QColor(128, 128, 128));
        QCOMPARE(runs[3].text, QStringLiteral("01 03 0A\n"));
        QCOMPARE(runs[3].colour, QColor(0, 0, 200));
        QCOMPARE(runs[4].text, QStringLiteral("sent\n"));
        QCOMPARE(runs[4].colour, QColor(200, 0, 0));
        QCOMPARE(runs[5].text, QStringLiteral("green+same"));
        QCOMPARE(runs[5].colour, QColor(0, 128, 0));
        QCOMPARE(runs[6].text, QStringLiteral(" black\nnext"));
        QCOMPARE(runs[6].colour, QColor(0, 0, 0));
        QCOMPARE(view.document()->blockCount(), 4); // "\r\n" is one line end
        QVERIFY(view.IsModified());
        QVERIFY(!view.document()->isUndoAvailable()); // appends are not recorded
    }

    void typedTextAfterAnAppendIsBlack()
    {
        CFrameMonitorView view;
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.setFocus();
        view.AppendText(QStringLiteral("abc"), 3);
        // The user had put the caret elsewhere and selected; an append takes it to the end.
        QTextCursor caret = view.textCursor();
        caret.setPosition(0);
        caret.setPosition(1, QTextCursor::KeepAnchor);
        view.setTextCursor(caret);
        view.AppendText(QStringLiteral("def"), 4);
        QVERIFY(!view.textCursor().hasSelection());
        QCOMPARE(view.textCursor().position(), 6);
        QTest::keyClicks(&view, QStringLiteral("xy"));
        QCOMPARE(view.toPlainText(), QStringLiteral("abcdefxy"));
        QCOMPARE(ColourAt(*view.document(), 6), QColor(0, 0, 0));
        QCOMPARE(ColourAt(*view.document(), 7), QColor(0, 0, 0));
        QCOMPARE(ColourAt(*view.document(), 5), QColor(200, 0, 0));
        // Typing is recorded for undo, until the next append.
        QVERIFY(view.document()->isUndoAvailable());
        view.AppendText(QStringLiteral("!"), 3);
        QVERIFY(!view.document()->isUndoAvailable());
    }

    void limitEmptiesTheTextBeforeThePieceThatReachesIt()
    {
        CFrameMonitorView view;
        view.SetTextLimit(20);
        view.AppendText(QStringLiteral("0123456789"), 3);
        view.AppendText(QStringLiteral("abcdefgh\n"), 3); // 19 characters: below the limit
        QCOMPARE(view.GetTextLength(), 19);
        // The full text is freed off the window thread, and the empty one keeps the font.
        const QFont font = view.document()->defaultFont();
        std::atomic<QThread*> freedOn{nullptr};
        connect(view.document(), &QObject::destroyed,
                [&freedOn] { freedOn = QThread::currentThread(); });
        view.AppendText(QStringLiteral("COM"), 5); // 22: empties first, even mid-line
        QCOMPARE(view.toPlainText(), QStringLiteral("COM"));
        QTRY_VERIFY(freedOn.load() != nullptr);
        QVERIFY(freedOn.load() != QThread::currentThread());
        QCOMPARE(view.document()->defaultFont(), font);
        QCOMPARE(view.document()->defaultFont().weight(), QFont::Weight(650));
        QCOMPARE(Runs(*view.document()).first().colour, QColor(128, 128, 128));
        view.AppendText(QStringLiteral("1234567890123456"), 1); // 19 again
        view.AppendText(QStringLiteral("x"), 3);                // exactly 20 is the limit
        QCOMPARE(view.toPlainText(), QStringLiteral("x"));
        // A piece longer than the limit still appears whole, alone.
        view.AppendText(QString(30, QLatin1Char('y')), 3);
        QCOMPARE(view.toPlainText(), QString(30, QLatin1Char('y')));
        QVERIFY(view.IsModified());

        // Inside one batch the rule holds per piece too.
        view.ClearAll(true);
        view.BeginAppend();
        for (int i = 0; i < 5; ++i)
            view.AppendText(QStringLiteral("line %1\n").arg(i), 3); // 7 characters each
        view.EndAppend();
        QCOMPARE(view.toPlainText(), QStringLiteral("line 4\n")); // 21 >= 20 at the 3rd
        QCOMPARE(view.document()->blockCount(), 2);
    }

    void batchIsOneEditAndTheScreenFollowsTheEnd()
    {
        CFrameMonitorView view;
        view.resize(400, 200);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QSignalSpy changes(view.document(), &QTextDocument::contentsChanged);
        view.BeginAppend();
        view.BeginAppend(); // nests
        for (int i = 0; i < 200; ++i) {
            view.AppendText(QStringLiteral("COM"), 5);
            view.AppendText(QStringLiteral("%1 ").arg(i), 1);
            view.AppendText(QStringLiteral("01 02 03\n"), 3);
        }
        view.EndAppend();
        QCOMPARE(changes.count(), 0);
        view.EndAppend();
        QCOMPARE(changes.count(), 1);
        view.EndAppend(); // unbalanced: ignored
        QCOMPARE(view.document()->blockCount(), 201);

        // The screen catches up within a refresh, at the end of the text.
        QVERIFY(view.IsRefreshPending());
        QTRY_VERIFY(!view.IsRefreshPending());
        QScrollBar* bar = view.verticalScrollBar();
        QVERIFY(bar->maximum() > 150);
        QVERIFY(view.viewport()->rect().contains(view.cursorRect()));
        QVERIFY(view.cursorForPosition(QPoint(0, 0)).blockNumber() > 150);

        // The user scrolls back; the next append brings the end back into view.
        bar->setValue(0);
        QVERIFY(!view.viewport()->rect().contains(view.cursorRect()));
        view.AppendText(QStringLiteral("more\n"), 3);
        QTRY_VERIFY(view.viewport()->rect().contains(view.cursorRect()));
        QVERIFY(bar->value() > 150);

        // Emptied at the limit while shown: the view points at the new, short text.
        view.SetTextLimit(view.GetTextLength() + 5);
        view.AppendText(QStringLiteral("fresh line\n"), 3);
        QTRY_VERIFY(!view.IsRefreshPending());
        QCOMPARE(view.document()->blockCount(), 2);
        QCOMPARE(view.cursorForPosition(QPoint(0, 0)).blockNumber(), 0);
        QCOMPARE(bar->maximum(), 0);
        view.repaint(); // paints the emptied text without trouble
    }

    void screenShowsWhatTheTextHolds_data()
    {
        QTest::addColumn<int>("wrap"); // 2: switched on at the 6th step
        QTest::addColumn<bool>("select");
        QTest::addColumn<int>("limit");
        const int all = CMonitorView::kDefaultTextLimit;
        QTest::newRow("time stamps") << 0 << false << all;
        QTest::newRow("word wrap") << 1 << false << all;
        QTest::newRow("a selection, taken by the next append") << 0 << true << all;
        QTest::newRow("cut at the text limit") << 0 << false << 1000;
        QTest::newRow("word wrap switched on") << 2 << false << all;
    }
    void screenShowsWhatTheTextHolds()
    {
        // What the window shows (the pixels kept between refreshes, scrolled and partly
        // repainted) must equal a full painting of the text at every step.
        QFETCH(int, wrap);
        QFETCH(bool, select);
        QFETCH(int, limit);
        CFrameMonitorView view;
        view.resize(420, 220);
        view.SetWordWrap(wrap == 1);
        view.SetTextLimit(limit);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        auto same = [&] { return ShowsWhatItHolds(view); };
        int line = 0;
        for (int step = 0; step < 12; ++step) {
            if (wrap == 2 && step == 6)
                view.SetWordWrap(1);
            view.BeginAppend();
            for (int i = 0; i < step % 4 + 1; ++i, ++line) {
                view.AppendText(
                    QStringLiteral("[12:00:%1  15] COM").arg(line % 60, 2, 10, QLatin1Char('0')),
                    5);
                view.AppendText(QStringLiteral("%1").arg(line % 9 + 1), 1);
                const QString wide = QStringLiteral(" 5A").repeated(line % 3 == 0 ? 40 : 0);
                view.AppendText(
                    QStringLiteral("01 03 %1%2\n").arg(line, 4, 16, QLatin1Char('0')).arg(wide), 3);
            }
            view.AppendText(QStringLiteral("[part of a line "), 5); // finished at the next step
            view.EndAppend();
            QVERIFY2(same(), qPrintable(QStringLiteral("step %1").arg(step)));
            if (select) {
                QTextCursor selection = view.cursorForPosition(QPoint(30, 20));
                selection.movePosition(QTextCursor::Down, QTextCursor::KeepAnchor, 2);
                view.setTextCursor(selection);
                QVERIFY(same());
            }
            view.AppendText(QStringLiteral("done]\n"), 4);
        }
        QCOMPARE(view.toPlainText().startsWith(QStringLiteral("[12:00:00 ")),
                 limit == CMonitorView::kDefaultTextLimit); // emptied on the way, or not
        // A jump of more than a screenful.
        view.BeginAppend();
        for (int i = 0; i < 60; ++i)
            view.AppendText(QStringLiteral("COM1 FF %1\n").arg(i), 3);
        view.EndAppend();
        QVERIFY(same());
    }

    // Long lines keep coming while a refresh lays out the screen it will show (with the text
    // emptied at its limit or not): once they stop, the screen shows the end of the text.
    void floodOfLongLinesEndsShowingTheEnd_data()
    {
        QTest::addColumn<int>("limit");
        QTest::newRow("no cut") << CMonitorView::kDefaultTextLimit;
        QTest::newRow("cut at the limit") << 1'000'000;
    }
    void floodOfLongLinesEndsShowingTheEnd()
    {
        QFETCH(int, limit);
        CFrameMonitorView view;
        view.resize(600, 900);
        view.SetTextLimit(limit);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        const QString hex = HexOf4096Bytes();
        int line = 0;
        QTimer flood;
        connect(&flood, &QTimer::timeout, &view, [&] {
            // The last lines come while the refresh lays out the screen before them, if in time.
            const QTextBlock end = view.document()->lastBlock().previous();
            if ((line > 200 && view.IsRefreshPending() && end.layout()->lineCount() > 0)
                || line > 600)
                flood.stop();
            view.BeginAppend();
            for (int i = 0; i < 4; ++i)
                view.AppendText(QStringLiteral("COM1 %1 ").arg(line++) + hex + QLatin1Char('\n'),
                                3);
            view.EndAppend();
        });
        flood.start(0);
        QVERIFY(QTest::qWaitFor([&] { return !flood.isActive(); }, 6000));
        QVERIFY(ShowsWhatItHolds(view));
        QVERIFY(!view.viewport()->grab().toImage().allGray()); // blue text on grey
        QCOMPARE(view.verticalScrollBar()->value(), view.verticalScrollBar()->maximum());
        const int last = view.document()->blockCount() - 2; // the last line, before the empty one
        QVERIFY(view.cursorForPosition(QPoint(4, view.viewport()->height() - 20)).blockNumber()
                >= last);
    }

    // The text emptied by the clear command, the timed clear (both empty it for good) or the
    // limit, with the screen showing a short text before: every line after it is drawn.
    void linesAfterTheTextIsEmptiedAreDrawn_data()
    {
        QTest::addColumn<int>("how");
        QTest::newRow("clear") << 0;
        QTest::newRow("clear during an append") << 1;
        QTest::newRow("text limit") << 2;
        QTest::newRow("a file loaded before the refresh of the limit's cut") << 3;
    }
    void linesAfterTheTextIsEmptiedAreDrawn()
    {
        QFETCH(int, how);
        CFrameMonitorView view;
        view.resize(420, 220);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.AppendText(QStringLiteral("COM1 01 03 00 00\n"), 3);
        QVERIFY(ShowsWhatItHolds(view));
        if (how == 0) {
            view.ClearAll(true);
        } else if (how == 1) {
            view.BeginAppend();
            view.ClearAll(true);
            view.EndAppend();
        } else if (how == 2) {
            view.SetTextLimit(view.GetTextLength() + 5);
        } else {
            QTemporaryDir dir;
            const QString path = dir.filePath(QStringLiteral("one line.tnf"));
            QVERIFY(view.SaveFile(path));
            view.AppendText(QStringLiteral("COM1 0D\n"), 3);
            QVERIFY(ShowsWhatItHolds(view));
            view.SetTextLimit(view.GetTextLength() + 5);
            view.AppendText(QStringLiteral("COM1 0E\n"), 3); // empties the text
            QVERIFY(view.LoadFile(path));
            view.SetTextLimit(CMonitorView::kDefaultTextLimit);
        }
        QVERIFY(ShowsWhatItHolds(view));
        for (int i = 0; i < 3; ++i) {
            view.AppendText(QStringLiteral("COM1 0A 0B %1\n").arg(i), 3);
            QVERIFY2(ShowsWhatItHolds(view), qPrintable(QStringLiteral("line %1").arg(i)));
        }
        QCOMPARE(view.document()->blockCount(),
                 how == 2   ? 2
                 : how == 3 ? 5
                            : 4); // at the limit each line empties the text again
    }

    // Every character in the text is drawn, also one that the monitor's face maps to an empty
    // glyph (WenQuanYi Micro Hei has no outline for ℃) or lacks.
    void everyCharacterIsDrawn()
    {
        CFrameMonitorView view;
        view.resize(420, 120);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        const QString line = QStringLiteral("T=25\u2103 \u4E2D\u2191\u00B0\u2126\n");
        view.AppendText(line, 3);
        QVERIFY(ShowsWhatItHolds(view));
        QCOMPARE(view.toPlainText(), line);
        const QImage shown = view.viewport()->grab().toImage();
        for (int i = 0; i < line.size() - 1; ++i) {
            if (line.at(i).isSpace())
                continue;
            QTextCursor at(view.document());
            at.setPosition(i);
            const int left = view.cursorRect(at).left();
            at.setPosition(i + 1);
            const QRect cell(left, view.cursorRect(at).top(), view.cursorRect(at).left() - left,
                             view.cursorRect(at).height());
            int inked = 0;
            for (int y = cell.top(); y <= cell.bottom(); ++y)
                for (int x = cell.left(); x < cell.right(); ++x)
                    inked += qGray(shown.pixel(x, y)) < 150;
            QVERIFY2(
                inked > 0,
                qPrintable(
                    QStringLiteral("nothing drawn for U+%1").arg(line.at(i).unicode(), 4, 16)));
        }
    }

    // A long line is drawn in the part the screen shows; it looks as the whole line drawn by a
    // plain editor of the same text does. Rows: text, horizontal scroll (thousandths of the
    // range), selection (start, end).
    void longLineLooksAsDrawnWhole_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("scroll");
        QTest::addColumn<QList<int>>("selection");
        const QString hex = HexOf4096Bytes();
        QString mixed = hex;
        QString tabs = hex;
        for (int at = 500; at < mixed.size(); at += 45)
            mixed.insert(at, QStringLiteral("\u4E2D\u2103\U0001F600\u00B0"));
        for (int at = 500; at < tabs.size(); at += 50)
            tabs.insert(at, QLatin1Char('\t'));
        QTest::newRow("start, selection ends on the screen") << hex << 0 << QList<int>{5, 60};
        QTest::newRow("middle, selected across the screen") << hex << 500 << QList<int>{100, 11000};
        QTest::newRow("end, selected to the end") << hex << 1000 << QList<int>{12000, 12312};
        QTest::newRow("faces of the fallback") << mixed << 450 << QList<int>{3000, 9000};
        QTest::newRow("tabs, drawn whole") << tabs << 500 << QList<int>{0, 0};
    }
    void longLineLooksAsDrawnWhole()
    {
        QFETCH(QString, text);
        QFETCH(int, scroll);
        QFETCH(QList<int>, selection);
        CFrameMonitorView view;
        view.resize(420, 160);
        view.AppendText(QStringLiteral("[12:30:05  15] COM1\u2192"), 5);
        view.AppendText(text + QLatin1Char('\n'), 3);
        view.AppendText(QStringLiteral("COM1 0A\n"), 4);
        QPlainTextEdit plain;
        plain.setDocument(view.document());
        plain.setFont(view.font());
        plain.setPalette(view.palette());
        plain.setLineWrapMode(QPlainTextEdit::NoWrap);
        plain.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        plain.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        plain.resize(view.size());
        view.Refresh();
        QTextCursor cursor(view.document());
        cursor.setPosition(selection[0]);
        cursor.setPosition(selection[1], QTextCursor::KeepAnchor);
        for (QPlainTextEdit* edit : {static_cast<QPlainTextEdit*>(&view), &plain}) {
            edit->setCursorWidth(0); // no blinking caret in either picture
            edit->show();
            QVERIFY(QTest::qWaitForWindowExposed(edit));
            edit->setTextCursor(cursor);
            edit->verticalScrollBar()->setValue(0);
            QScrollBar* bar = edit->horizontalScrollBar();
            bar->setValue(bar->maximum() * scroll / 1000);
        }
        QVERIFY(view.viewport()->grab().toImage() == plain.viewport()->grab().toImage());
    }

    // The monitor's scroll bars copy their last painting while they look the same: at every
    // step the copy equals what a plain scroll bar in the same state paints. Steps are
    // (height, maximum, page step, value).
    void scrollBarPaintsAsAPlainOne_data()
    {
        QTest::addColumn<QList<int>>("steps");
        QList<int> follow; // the slow stream: one line more, the value at the end
        for (int lines = 0; lines < 400; lines += 7)
            follow << 300 << lines << 20 << lines;
        QTest::newRow("range grows at the end") << follow;
        QTest::newRow("value moves, page changes, resized")
            << QList<int>{300, 1000, 20,  1000, 300, 1000, 20,  0,   300, 1000, 20,  500,
                          300, 1000, 200, 500,  240, 1000, 200, 500, 240, 0,    200, 0};
    }
    void scrollBarPaintsAsAPlainOne()
    {
        QFETCH(QList<int>, steps);
        QWidget window;
        window.resize(100, 400);
        auto* monitor = new CMonitorScrollBar(Qt::Vertical, &window);
        auto* plain = new QScrollBar(Qt::Vertical, &window);
        monitor->move(40, 50); // away from the pointer, which hovers what lies at (0, 0)
        plain->move(70, 50);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        for (qsizetype i = 0; i + 3 < steps.size(); i += 4) {
            for (QScrollBar* bar : {static_cast<QScrollBar*>(monitor), plain}) {
                bar->resize(16, steps[i]);
                bar->setRange(0, steps[i + 1]);
                bar->setPageStep(steps[i + 2]);
                bar->setValue(steps[i + 3]);
            }
            QVERIFY2(monitor->grab().toImage() == plain->grab().toImage(),
                     qPrintable(QString::number(i / 4)));
            QApplication::processEvents(); // and what the window shows, repainted or kept
            const QImage shown = window.screen()->grabWindow(window.winId()).toImage();
            QVERIFY(shown.copy(monitor->geometry())
                    == plain->grab().toImage().convertToFormat(shown.format()));
        }
        if (steps.size() > 40)
            QVERIFY2(monitor->Drawn() < steps.size() / 8,
                     qPrintable(QString::number(monitor->Drawn())));
    }

    void clearAllWithAndWithoutUndo()
    {
        CFrameMonitorView view;
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.AppendText(QStringLiteral("received\n"), 3);
        view.setFocus();
        QTest::keyClicks(&view, QStringLiteral("note"));
        view.ClearAll(false);
        QVERIFY(view.document()->isEmpty());
        QVERIFY(view.IsCommandEnabled(ID_EDIT_UNDO));
        view.OnCommand(ID_EDIT_UNDO);
        QCOMPARE(view.toPlainText(), QStringLiteral("received\nnote"));
        QCOMPARE(ColourAt(*view.document(), 0), QColor(0, 0, 200));

        view.ClearAll(true);
        view.SetModified(false);
        QVERIFY(view.document()->isEmpty());
        QVERIFY(!view.document()->isUndoAvailable());
        QVERIFY(!view.IsModified());
        // The view goes on as before, with its formats.
        view.AppendText(QStringLiteral("again"), 4);
        QCOMPARE(Runs(*view.document()).first().colour, QColor(200, 0, 0));
        QCOMPARE(view.document()->defaultFont().pixelSize(), 12);
    }

    void wrapReadOnlyAndModified()
    {
        CFrameMonitorView view;
        view.SetWordWrap(1);
        QCOMPARE(view.GetWordWrap(), 1);
        QCOMPARE(view.lineWrapMode(), QPlainTextEdit::WidgetWidth);
        view.SetWordWrap(0);
        QCOMPARE(view.GetWordWrap(), 0);
        QCOMPARE(view.lineWrapMode(), QPlainTextEdit::NoWrap);

        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.setFocus();
        view.SetReadOnly(true);
        QVERIFY(view.GetReadOnly());
        QTest::keyClicks(&view, QStringLiteral("typed"));
        QVERIFY(view.document()->isEmpty());
        view.AppendText(QStringLiteral("still shown\n"), 3); // the program's appends go on
        QCOMPARE(view.toPlainText(), QStringLiteral("still shown\n"));
        QVERIFY(!view.IsCommandEnabled(ID_EDIT_PASTE));
        QVERIFY(!view.IsCommandEnabled(ID_EDIT_REPLACE));
        view.SetReadOnly(false);
        QVERIFY(!view.GetReadOnly());
        QTest::keyClicks(&view, QStringLiteral("ok"));
        QCOMPARE(view.toPlainText(), QStringLiteral("still shown\nok"));

        view.SetModified(false);
        QVERIFY(!view.IsModified());
        view.AppendText(QStringLiteral("x"), 3);
        QVERIFY(view.IsModified());
        view.SetModified(false);
        QVERIFY(!view.IsModified());
        view.SetModified(true);
        QVERIFY(view.IsModified());
    }

    void commandsByIdentifier()
    {
        CFrameMonitorView view;
        QVERIFY(CMonitorView::HandlesCommand(57643));
        QVERIFY(CMonitorView::HandlesCommand(57606));
        QVERIFY(!CMonitorView::HandlesCommand(32780)); // the frame's
        QVERIFY(!view.OnCommand(32780));

        QVERIFY(!view.IsCommandEnabled(ID_EDIT_SELECT_ALL));
        QVERIFY(!view.IsCommandEnabled(ID_EDIT_FIND));
        view.AppendText(QStringLiteral("01 02 03\n"), 3);
        QVERIFY(view.IsCommandEnabled(ID_EDIT_FIND));
        QVERIFY(!view.IsCommandEnabled(ID_EDIT_REPEAT)); // nothing looked for yet
        QVERIFY(!view.IsCommandEnabled(ID_EDIT_COPY));
        QVERIFY(view.OnCommand(ID_EDIT_SELECT_ALL));
        QVERIFY(view.IsCommandEnabled(ID_EDIT_COPY));
        QVERIFY(view.IsCommandEnabled(ID_EDIT_CUT));
        QVERIFY(view.OnCommand(ID_EDIT_COPY));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("01 02 03\n"));
        view.SetReadOnly(true);
        QVERIFY(!view.IsCommandEnabled(ID_EDIT_CUT));
        view.OnCommand(ID_EDIT_CUT); // refused
        QCOMPARE(view.toPlainText(), QStringLiteral("01 02 03\n"));
        view.SetReadOnly(false);

        // Paste takes plain text, in the insertion point's format.
        QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
        view.moveCursor(QTextCursor::End);
        QVERIFY(view.IsCommandEnabled(ID_EDIT_PASTE));
        view.AppendText(QString(), 3); // an append leaves format 0 at the insertion point
        QVERIFY(view.OnCommand(ID_EDIT_PASTE));
        QCOMPARE(view.toPlainText(), QStringLiteral("01 02 03\npasted"));
        QCOMPARE(ColourAt(*view.document(), 10), QColor(0, 0, 0));
    }

    void findFindNextAndReplace()
    {
        CFrameMonitorView view;
        view.AppendText(QStringLiteral("abc ABC abcd\n"), 3);
        view.AppendText(QStringLiteral("x abc\n"), 4);
        view.moveCursor(QTextCursor::Start);

        QVERIFY(view.FindText(QStringLiteral("abc"), false, true, true));
        QCOMPARE(view.textCursor().selectionStart(), 0);
        view.OnCommand(ID_EDIT_REPEAT); // F3: same text, same options
        QCOMPARE(view.textCursor().selectionStart(), 4);
        QCOMPARE(view.textCursor().selectedText(), QStringLiteral("ABC"));
        view.OnEditRepeat(); // whole words: "abcd" is passed over
        QCOMPARE(view.textCursor().selectionStart(), 15);
        view.OnEditRepeat(); // round the end
        QCOMPARE(view.textCursor().selectionStart(), 0);

        QVERIFY(view.FindText(QStringLiteral("ABC"), true, false, true));
        QCOMPARE(view.textCursor().selectionStart(), 4);
        QVERIFY(view.FindText(QStringLiteral("abc"), true, false, false)); // backwards
        QCOMPARE(view.textCursor().selectionStart(), 0);

        QSignalSpy notFound(&view, &CMonitorView::textNotFound);
        QVERIFY(!view.FindText(QStringLiteral("zzz"), false, false, true));
        view.OnEditRepeat();
        QCOMPARE(notFound.count(), 1);
        QCOMPARE(notFound.first().first().toString(), QStringLiteral("zzz"));
        const QList<QMessageBox*> boxes = view.findChildren<QMessageBox*>();
        QCOMPARE(boxes.size(), 1); // open, not blocking
        QCOMPARE(boxes.first()->windowTitle(), QStringLiteral("VRL"));
        QCOMPARE(boxes.first()->text(), QStringLiteral("找不到“zzz”。"));
        QCOMPARE(boxes.first()->standardButtons(), QMessageBox::Ok);
        boxes.first()->close();

        // Replace: the selected match is replaced, then the next one is selected.
        view.moveCursor(QTextCursor::Start);
        QVERIFY(view.FindText(QStringLiteral("abc"), true, true, true));
        QVERIFY(view.ReplaceText(QStringLiteral("abc"), QStringLiteral("01"), true, true));
        QCOMPARE(view.toPlainText(), QStringLiteral("01 ABC abcd\nx abc\n"));
        QCOMPARE(view.textCursor().selectionStart(), 14);
        QCOMPARE(ColourAt(*view.document(), 0), QColor(0, 0, 200)); // keeps the line's colour

        QCOMPARE(view.ReplaceAll(QStringLiteral("abc"), QStringLiteral("#"), false, false), 3);
        QCOMPARE(view.toPlainText(), QStringLiteral("01 # #d\nx #\n"));
        view.undo(); // one step
        QCOMPARE(view.toPlainText(), QStringLiteral("01 ABC abcd\nx abc\n"));

        view.SetReadOnly(true);
        QCOMPARE(view.ReplaceAll(QStringLiteral("abc"), QStringLiteral("#"), false, false), 0);
        QVERIFY(!view.ReplaceText(QStringLiteral("abc"), QStringLiteral("#"), false, false));
        QCOMPARE(view.toPlainText(), QStringLiteral("01 ABC abcd\nx abc\n"));
    }

    void findDialog()
    {
        CFrameMonitorView view;
        view.AppendText(QStringLiteral("01 03 0A\n01 03 0B\n"), 3);
        view.moveCursor(QTextCursor::Start);
        QVERIFY(view.OnCommand(ID_EDIT_FIND));
        auto* dialog = view.findChild<CFindReplaceDialog*>();
        QVERIFY(dialog);
        QVERIFY(dialog->isVisible());
        QVERIFY(!dialog->IsReplace());
        QCOMPARE(dialog->windowTitle(), QStringLiteral("查找"));
        QVERIFY(!dialog->FindNextButton()->isEnabled());
        dialog->FindEdit()->setText(QStringLiteral("03 0B"));
        QVERIFY(dialog->FindNextButton()->isEnabled());
        QTest::mouseClick(dialog->FindNextButton(), Qt::LeftButton);
        QCOMPARE(view.textCursor().selectionStart(), 12);
        QCOMPARE(view.GetFindText(), QStringLiteral("03 0B"));
        // Up, from there, with F3 pressed in the dialog.
        dialog->FindEdit()->setText(QStringLiteral("01 03"));
        dialog->UpButton()->setChecked(true);
        dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        QTest::keyClick(dialog, Qt::Key_F3);
        QCOMPARE(view.textCursor().selectionStart(), 9);
        QTest::keyClick(dialog, Qt::Key_F3);
        QCOMPARE(view.textCursor().selectionStart(), 0);

        // Replace mode takes the place of find mode, starting with the selection.
        QVERIFY(view.OnCommand(ID_EDIT_REPLACE));
        QTRY_COMPARE(view.findChildren<CFindReplaceDialog*>().size(), 1);
        dialog = view.findChild<CFindReplaceDialog*>();
        QVERIFY(dialog->IsReplace());
        QCOMPARE(dialog->windowTitle(), QStringLiteral("替换"));
        QCOMPARE(dialog->FindEdit()->text(), QStringLiteral("01 03"));
        dialog->FindEdit()->setText(QStringLiteral("01"));
        dialog->ReplaceEdit()->setText(QStringLiteral("FF"));
        QTest::mouseClick(dialog->ReplaceAllButton(), Qt::LeftButton);
        QCOMPARE(view.toPlainText(), QStringLiteral("FF 03 0A\nFF 03 0B\n"));
    }

    void saveAndLoadKeepTextAndColours()
    {
        CFrameMonitorView view;
        view.AppendText(QStringLiteral("[12:30:05  15] COM"), 5);
        view.AppendText(QStringLiteral("1"), 1);
        view.AppendText(QString(QChar(0x2191)), 5);
        view.AppendText(QStringLiteral("01 03 0A\n"), 3);
        view.AppendText(QStringLiteral("COM"), 5);
        view.AppendText(QStringLiteral("2"), 1);
        view.AppendText(QString(QChar(0x2193)), 5);
        view.AppendText(QStringLiteral("中文 {a\\b}\n"), 4);
        view.AppendText(QStringLiteral("green"), 2);
        const QString path = m_home.FilePath(QStringLiteral("monitor.tnf"));
        QVERIFY(view.SaveFile(path));
        QVERIFY(view.LastFileError().isEmpty());
        QVERIFY(!view.IsModified());

        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray rtf = file.readAll();
        QVERIFY(rtf.startsWith("{\\rtf1"));
        // The file names the face "宋体" whatever face stands in for it on this machine.
        QVERIFY(rtf.contains("\\'cb\\'ce\\'cc\\'e5;")); // GBK bytes of 宋体 in the font table
        if (CMonitorView::DefaultFace() != QStringLiteral("宋体"))
            QVERIFY(!rtf.contains(CMonitorView::DefaultFace().toUtf8()));

        CFrameMonitorView loaded;
        loaded.AppendText(QStringLiteral("old text\n"), 3);
        QVERIFY(loaded.LoadFile(path));
        QVERIFY(loaded.LastFileError().isEmpty());
        QVERIFY(!loaded.IsModified());
        QCOMPARE(loaded.toPlainText(), view.toPlainText());
        const QList<Run> before = Runs(*view.document());
        const QList<Run> after = Runs(*loaded.document());
        QCOMPARE(after.size(), before.size());
        for (int i = 0; i < before.size(); ++i) {
            QCOMPARE(after[i].text, before[i].text);
            QCOMPARE(after[i].colour, before[i].colour);
        }
        // Shown in the machine's face and 9 points, as appended text is.
        QTextCursor cursor(loaded.document());
        cursor.setPosition(3);
        QCOMPARE(cursor.charFormat().fontFamilies().toStringList(),
                 QStringList{CMonitorView::DefaultFace()});
        QCOMPARE(cursor.charFormat().fontPointSize(), 9.0);
        // Appends go on after a load.
        loaded.AppendText(QStringLiteral("next\n"), 3);
        QVERIFY(loaded.toPlainText().endsWith(QStringLiteral("green") + QStringLiteral("next\n")));
    }

    void failedLoadOrSaveLeavesThingsAsTheyWere()
    {
        CFrameMonitorView view;
        view.AppendText(QStringLiteral("kept\n"), 3);
        const QString text = view.toPlainText();

        const QString missing = m_home.FilePath(QStringLiteral("missing.tnf"));
        QVERIFY(!view.LoadFile(missing));
        QVERIFY(view.LastFileError().contains(missing));
        QCOMPARE(view.toPlainText(), text);
        QVERIFY(view.IsModified());

        const QString plain = m_home.FilePath(QStringLiteral("plain.tnf"));
        {
            QFile file(plain);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("just text, no rich text\n");
        }
        QVERIFY(!view.LoadFile(plain));
        QVERIFY(view.LastFileError().contains(QStringLiteral("不是监视报文文件")));
        QCOMPARE(view.toPlainText(), text);

        const QString nowhere = m_home.FilePath(QStringLiteral("no/such/folder/monitor.tnf"));
        QVERIFY(!view.SaveFile(nowhere));
        QVERIFY(view.LastFileError().contains(nowhere));
        QVERIFY(view.IsModified());

        // A damaged file gives what could be read, and says so.
        const QString damaged = m_home.FilePath(QStringLiteral("damaged.tnf"));
        {
            QFile file(damaged);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(
                "{\\rtf1\\ansi{\\colortbl ;\\red0\\green0\\blue200;}\\cf1 01 03 0A\\par 01 0");
        }
        QVERIFY(view.LoadFile(damaged));
        QVERIFY(!view.LastFileError().isEmpty());
        QVERIFY(view.toPlainText().startsWith(QStringLiteral("01 03 0A\n")));
        QCOMPARE(ColourAt(*view.document(), 0), QColor(0, 0, 200));
        QVERIFY(!view.IsModified());

        // A save over an existing file replaces it whole.
        const QString path = m_home.FilePath(QStringLiteral("again.tnf"));
        QVERIFY(view.SaveFile(path));
        view.ClearAll(true);
        view.AppendText(QStringLiteral("short\n"), 3);
        QVERIFY(view.SaveFile(path));
        CFrameMonitorView other;
        QVERIFY(other.LoadFile(path));
        QCOMPARE(other.toPlainText(), QStringLiteral("short\n"));
    }

    void longLoadedLineIsCutForTheScreenAndSavedAsLoaded()
    {
        // One line of 50,000 characters of hex pairs with a Chinese character and a character
        // outside the BMP in it, a second line in another colour, and a third long line
        // without spaces where a surrogate pair falls on the cut.
        const int cut = CMonitorText::kDisplayLineLength;
        QString hex;
        for (int i = 0; hex.size() < 50'000; ++i)
            hex += QStringLiteral("%1 ").arg(i & 0xFF, 2, 16, QLatin1Char('0')).toUpper();
        hex.insert(20'000, QStringLiteral("中\U0001F600"));
        QString solid(cut - 1, QLatin1Char('x'));
        solid += QStringLiteral("\U0001F600") + QString(cut, QLatin1Char('y'));
        RichText original;
        const RichTextFormat blue{0x0000C8, 18, "宋体"};
        const RichTextFormat grey{0x808080, 18, "宋体"};
        original.Append(hex.toStdString(), blue);
        original.Append("\n[12:00:00  15] COM1\n", grey);
        original.Append(solid.toStdString(), blue);
        original.Append("\n", grey);
        const QString path = m_home.FilePath(QStringLiteral("long.tnf"));
        QVERIFY(RtfWriter::WriteFile(original, path.toStdString()));

        CFrameMonitorView view;
        QVERIFY(view.LoadFile(path));
        const QTextDocument& doc = *view.document();
        QVERIFY(doc.blockCount() > 7);
        int continued = 0;
        for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
            QVERIFY(block.length() - 1 <= cut);
            QVERIFY(block.text().isEmpty() || !block.text().front().isLowSurrogate());
            continued += CMonitorText::IsContinuation(block) ? 1 : 0;
        }
        QCOMPARE(continued, doc.blockCount() - 4);
        // Hex pairs stay whole on the screen: the pieces of the first line end after a space.
        QVERIFY(doc.begin().text().endsWith(QLatin1Char(' ')));

        // Saved as it was loaded: the same text, and the same colours when loaded again.
        const QString again = m_home.FilePath(QStringLiteral("long-again.tnf"));
        QVERIFY(view.SaveFile(again));
        QCOMPARE(RtfReader::ReadFile(again.toStdString()).m_document.Text(), original.Text());
        CFrameMonitorView reloaded;
        QVERIFY(reloaded.LoadFile(again));
        const QList<Run> before = Runs(doc), after = Runs(*reloaded.document());
        QCOMPARE(after.size(), before.size());
        for (int i = 0; i < before.size(); ++i)
            QVERIFY(after[i].text == before[i].text && after[i].colour == before[i].colour);

        // Copied whole; appends after it start lines of their own.
        const QString text =
            hex + QStringLiteral("\n[12:00:00  15] COM1\n") + solid + QLatin1Char('\n');
        view.selectAll();
        view.copy();
        QCOMPARE(QGuiApplication::clipboard()->text(), text);
        view.AppendText(QString(cut - 10, QLatin1Char('z')), 3);
        view.AppendText(QStringLiteral("\nend\n"), 3);
        QVERIFY(view.SaveFile(again));
        CFrameMonitorView other;
        QVERIFY(other.LoadFile(again));
        other.selectAll();
        other.copy();
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 text + QString(cut - 10, QLatin1Char('z')) + QStringLiteral("\nend\n"));

        // A line of several runs, as the monitor writes them: the cut counts what the line
        // already holds when the next run comes.
        RichText runs;
        runs.Append("[12:00:00  15] COM1 ", grey);
        runs.Append(std::string(cut - 5, 'x'), blue);
        const QString runsPath = m_home.FilePath(QStringLiteral("runs.tnf"));
        QVERIFY(RtfWriter::WriteFile(runs, runsPath.toStdString()));
        CFrameMonitorView runsView;
        QVERIFY(runsView.LoadFile(runsPath));
        QCOMPARE(runsView.document()->blockCount(), 2);
        QCOMPARE(runsView.document()->begin().length() - 1, cut);
    }

    void everyLineEndOfAFileEndsOneLine()
    {
        // CR LF and CR, as \'0d in a file from elsewhere, and the Unicode separators.
        RichText original;
        original.Append("a\r\nb\rc\u2028d\u2029e", RichTextFormat{0x0000C8, 18, "宋体"});
        const QString path = m_home.FilePath(QStringLiteral("ends.tnf"));
        QVERIFY(RtfWriter::WriteFile(original, path.toStdString()));
        CFrameMonitorView view;
        QVERIFY(view.LoadFile(path));
        QCOMPARE(view.document()->blockCount(), 5);
        view.selectAll();
        view.copy();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("a\nb\nc\nd\ne"));
    }

    void fileLargerThanTheMonitorHoldsIsRefused()
    {
        CFrameMonitorView view;
        view.AppendText(QStringLiteral("kept\n"), 3);

        // Refused by its size alone, before it is read (a sparse file of zeros).
        const QString big = m_home.FilePath(QStringLiteral("big.tnf"));
        {
            QFile file(big);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("{\\rtf1 ");
            QVERIFY(file.resize(CMonitorFile::kMaxFileBytes + 1));
        }
        QVERIFY(!view.LoadFile(big));
        QVERIFY2(view.LastFileError().contains(QStringLiteral("64 MB")),
                 qPrintable(view.LastFileError()));
        QCOMPARE(view.toPlainText(), QStringLiteral("kept\n"));

        // More text than the text limit: refused, naming the limit; at the limit it loads.
        RichText text;
        text.Append(std::string(60, 'a') + "\n" + std::string(39, 'b'), RichTextFormat{});
        const QString path = m_home.FilePath(QStringLiteral("hundred.tnf"));
        QVERIFY(RtfWriter::WriteFile(text, path.toStdString()));
        view.SetTextLimit(99);
        QVERIFY(!view.LoadFile(path));
        QVERIFY2(view.LastFileError().contains(QStringLiteral("99 个字符")),
                 qPrintable(view.LastFileError()));
        QCOMPARE(view.toPlainText(), QStringLiteral("kept\n"));
        view.SetTextLimit(100);
        QVERIFY(view.LoadFile(path));
        QCOMPARE(view.GetTextLength(), 100);
    }

    void copyIsPlainTextOfTheSelection()
    {
        CFrameMonitorView view;
        view.AppendText(QStringLiteral("[12:30:05  15] COM"), 5);
        view.AppendText(QStringLiteral("1"), 1);
        view.AppendText(QStringLiteral("01 03 0A\n"), 3);
        view.AppendText(QStringLiteral("中文\n"), 4);
        view.OnEditSelectAll();
        view.OnEditCopy();
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        QCOMPARE(data->formats(), QStringList{QStringLiteral("text/plain")});
        QCOMPARE(data->text(), QStringLiteral("[12:30:05  15] COM101 03 0A\n中文\n"));
        // A part across a line end.
        QTextCursor part(view.document());
        part.setPosition(25);
        part.setPosition(30, QTextCursor::KeepAnchor);
        view.setTextCursor(part);
        view.OnEditCopy();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("0A\n中文"));
    }

    void printsWithHalfInchMargins()
    {
        CFrameMonitorView view;
        for (int i = 0; i < 100; ++i)
            view.AppendText(QStringLiteral("COM1 01 03 0A %1\n").arg(i), 3);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Inch);
        const QString path = m_home.FilePath(QStringLiteral("monitor.pdf"));
        printer.setOutputFileName(path);
        view.PrintTo(printer);
        const QMarginsF margins = printer.pageLayout().margins(QPageLayout::Inch);
        QCOMPARE(margins.left(), 0.5);
        QCOMPARE(margins.top(), 0.5);
        QCOMPARE(margins.right(), 0.5);
        QCOMPARE(margins.bottom(), 0.5);
        QFile pdf(path);
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        const QByteArray bytes = pdf.readAll();
        QVERIFY(bytes.startsWith("%PDF"));
        // 100 lines take more than one page.
        const QRegularExpression page(QStringLiteral("/Type\\s*/Page[^s]"));
        QVERIFY(QString::fromLatin1(bytes).count(page) >= 2);
    }
};

QTEST_MAIN(tst_MonitorView)
#include "tst_MonitorView.moc"
