#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class QPlainTextEdit;
class QTextDocument;

// When the monitor shows what was appended: at most once per kRefreshIntervalMs, less often
// when repaints are dear, however many pieces arrive in between. Before the refresh is due
// the lines it will show are laid out a slice at a time, with the window's other work
// (appends included) in between, so that the refresh itself is short. Without word wrap
// those lines are the last screen of the text when the layout ahead begins: lines appended
// meanwhile wait for the next refresh, so that a flood cannot outrun the layout and leave the
// refresh a whole screen of long lines to lay out at once.
class CMonitorRefresh : public QObject
{
    Q_OBJECT
public:
    // Shortest time between two repaints while text streams in (20 per second): a slow stream
    // shares a repaint and a scroll between messages 25 ms apart.
    static constexpr int kRefreshIntervalMs = 50;
    // Longest time between two repaints however dear they are.
    static constexpr int kMaxRefreshIntervalMs = 500;

    explicit CMonitorRefresh(QPlainTextEdit& edit);

    // Text was appended: a refresh becomes due (once, however many appends come first).
    void Schedule();
    // Nothing waits to be shown any more (a refresh starts, or the text was replaced).
    void Stop();
    // A refresh took workNs (with the layout done ahead of it); its repaint is added later.
    void Done(qint64 workNs);
    void AddPaintCost(qint64 ns) { m_nCostNs += ns; }

    bool IsPending() const { return m_bPending; }
    // The editor shows a new document (the text emptied at its limit): a screen pinned in the
    // old one is pinned again in the new one.
    void Unpin();
    // Lines of the text that the due refresh shows (it shows those laid out ahead, not the lines
    // appended since), or -1 for the whole text.
    int PinnedBlocks() const;
    // What the last refresh cost, with its repaint.
    qint64 LastCostNs() const { return m_nCostNs; }
    // Lines of the text that fill the editor's height.
    int ScreenLines() const;

Q_SIGNALS:
    void due();

private:
    void OnTimer();
    // Lays out lines from the end of the text until they fill the editor or a slice of time
    // is used up; true when they fill it.
    bool PrepareLayout();

    QPlainTextEdit& m_edit;
    QTimer m_timer;
    QElapsedTimer m_lastRefresh;
    bool m_bPending = false;
    qint64 m_nCostNs = 0;    // the last refresh with its repaint
    qint64 m_nPrepareNs = 0; // layout done ahead of the coming refresh
    QElapsedTimer m_prepareStart;
    int m_nPreparedBlocks = 0; // lines of the text at the last slice of layout ahead
    const QTextDocument* m_pPinnedDoc = nullptr; // the text that m_nPinnedBlocks counts in
    int m_nPinnedBlocks = -1;
    static constexpr qint64 kLayoutSliceNs = 8'000'000;
};
