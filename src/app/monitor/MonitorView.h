#pragma once

#include "app/monitor/MonitorRefresh.h"
#include "core/base/BackgroundDisposer.h"
#include "core/base/CommandIds.h"
#include "core/receive/MonitorLine.h"

#include <QMarginsF>
#include <QPlainTextEdit>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include <array>
#include <memory>

class CGlyphFallback;
class CMonitorFind;
class CMonitorPrinter;
class QPrinter;

// The monitor's document: the text itself, with no data of its own. The frame reaches the
// modified state through it.
class CMonitorDocument : public QTextDocument
{
    Q_OBJECT
public:
    explicit CMonitorDocument(QObject* parent = nullptr);
};

// A rich-text view for a log that grows at its end: coloured pieces are appended with
// AppendText, the whole text is cleared, saved and loaded as rich text, and the usual edit,
// find and print commands act on it.
//
// Appends only ever come from the window thread (port data reaches the window through
// queued calls), so no lock is needed. What the screen costs is bounded instead: appends go
// straight into the document, but the view repaints and scrolls to the end only when
// CMonitorRefresh says so.
class CMonitorView : public QPlainTextEdit
{
    Q_OBJECT
public:
    static constexpr int kColourCount = kMonitorColourCount;

    // The text limit in characters (see the .cpp for how it was chosen).
    static const int kDefaultTextLimit;

    explicit CMonitorView(QWidget* parent = nullptr);
    ~CMonitorView() override;

    // Appends text at the end in the colour of colourIndex (0 to 5; any other index keeps
    // the format of the text before it). Afterwards the insertion point is at the end and
    // has format 0. "\r\n" counts as one line end.
    void AppendText(const QString& text, int colourIndex);

    // Several appends between BeginAppend and EndAppend form one edit of the document (one
    // layout pass, one notification). Calls nest; the outermost EndAppend ends the edit.
    void BeginAppend();
    void EndAppend();

    // Deletes all text; with emptyUndo the undo history goes too.
    void ClearAll(bool emptyUndo);

    // 0: no wrap, 1: wrap to the window's width.
    void SetWordWrap(int mode);
    int GetWordWrap() const { return m_nWordWrap; }

    // Read-only stops the user from typing; the program's own appends, clears, loads and
    // saves go on.
    void SetReadOnly(bool flag);
    bool GetReadOnly() const { return m_bReadOnly; }

    void SetModified(bool flag);
    bool IsModified() const;

    // Writes the whole text as rich text (the file is replaced only when written
    // completely). False, with no message, when the file cannot be written; the reason is
    // then in LastFileError().
    bool SaveFile(const QString& path);
    // Replaces the whole text by the rich text of the file and marks it not modified. False,
    // with no message and the text unchanged, when the file cannot be read, is not rich
    // text, or is larger than the monitor holds (CMonitorFile::kMaxFileBytes, or more text
    // than the text limit); the reason is then in LastFileError(). A damaged file gives
    // what could be read of it: true, with the damage named in LastFileError(). Lines
    // longer than CMonitorText::kDisplayLineLength are shown cut, and saved, copied and
    // printed whole.
    bool LoadFile(const QString& path);
    // What went wrong in the last SaveFile or LoadFile, in the program's language; empty
    // when nothing did.
    const QString& LastFileError() const { return m_strFileError; }

    int GetTextLimit() const { return m_nTextLimit; }
    void SetTextLimit(int limit);
    // Characters in the text (a line end counts one).
    int GetTextLength() const;

    const QTextCharFormat& GetCharFormat(int colourIndex) const;
    // The face of the text: "宋体" where installed, else a Chinese face of the machine.
    static QString DefaultFace();

    CMonitorDocument* GetDocument() const { return m_pDoc; }

    // The command entry points the frame routes the view's identifiers to. OnCommand is
    // false for an identifier the view does not handle.
    static bool HandlesCommand(int id);
    bool OnCommand(int id);
    bool IsCommandEnabled(int id) const;

    // Find and replace (see CMonitorFind, which does them and owns the find dialog).
    bool FindText(const QString& what, bool matchCase, bool wholeWord, bool forward);
    bool ReplaceText(const QString& what, const QString& with, bool matchCase, bool wholeWord);
    int ReplaceAll(const QString& what, const QString& with, bool matchCase, bool wholeWord);
    const QString& GetFindText() const;

    // Prints the whole text on printer with the view's margins.
    void PrintTo(QPrinter& printer) const;
    // Page margins in inches (0.5 on every side: 720 twips).
    const QMarginsF& GetPrintMargins() const;

    // True while appended text waits for the next repaint.
    bool IsRefreshPending() const { return m_refresh.IsPending(); }
    // What the last refresh cost, with its repaint.
    qint64 GetLastRefreshCostNs() const { return m_refresh.LastCostNs(); }

public Q_SLOTS:
    void OnEditUndo();
    void OnEditCut();
    void OnEditCopy();
    void OnEditPaste();
    void OnEditSelectAll();
    // F3: finds the last text again with its options.
    void OnEditRepeat();
    // Shows the appended text now: scrolls to the end and repaints.
    void Refresh();

Q_SIGNALS:
    // A find found nothing (the find commands also tell the user).
    void textNotFound(const QString& what);
    // ClearAll emptied the monitor.
    void cleared();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    void paintEvent(QPaintEvent* event) override;
    QMimeData* createMimeDataFromSelection() const override;

private:
    void PlaceCaretAtEnd();
    // Refresh, showing the first pinnedBlocks lines of the text (all of it when -1).
    void ShowAppended(int pinnedBlocks);
    // Shows a new, empty document in place of the full one and frees the full one on
    // m_disposer.
    void ReplaceDocument();
    // Repaints a text emptied at the limit that waits for its refresh to be shown.
    void ShowCutText();

    CMonitorDocument* m_pDoc = nullptr;
    // Frees the documents emptied at the text limit. After hours of receiving, the lines of
    // a full monitor lie scattered over the heap, and freeing them took the window thread
    // 85 to 135 ms: long enough to stall the receive path once every few minutes.
    BackgroundDisposer m_disposer;
    QTextCursor m_appendCursor;
    int m_nAppendDepth = 0;
    int m_nTextLimit = 0;
    std::array<QTextCharFormat, kColourCount> m_charFormats;
    std::unique_ptr<CGlyphFallback> m_pGlyphs; // faces for what the monitor's face leaves blank
    int m_nWordWrap = 0;
    bool m_bReadOnly = false;

    CMonitorRefresh m_refresh{*this};
    bool m_bLayoutChanged = false;     // appends that the view's layout has not heard of
    QObject* m_pTextControl = nullptr; // the editor's own text control (blinks the caret)
    QRect m_lastCaretRect;
    int m_nRefreshedBlocks = 0; // lines of the text at the last refresh or emptying
    bool m_bCutUnshown = false; // emptied at the limit, not repainted until the refresh

    QString m_strFileError;

    std::unique_ptr<CMonitorFind> m_pFind;

    std::unique_ptr<CMonitorPrinter> m_pPrinter;
};
