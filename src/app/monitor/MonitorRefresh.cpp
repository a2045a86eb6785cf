#include "app/monitor/MonitorRefresh.h"

#include <QAbstractTextDocumentLayout>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTextBlock>

#include <algorithm>

CMonitorRefresh::CMonitorRefresh(QPlainTextEdit& edit) : m_edit(edit)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &CMonitorRefresh::OnTimer);
}

void CMonitorRefresh::Schedule()
{
    if (m_bPending)
        return;
    m_bPending = true;
    // Laying out long lines makes a refresh dear (a 4096-byte message is a line of 12,287
    // characters): the screen gets at most a quarter of the time, so that appending keeps up.
    const qint64 interval =
        std::clamp<qint64>(4 * m_nCostNs / 1000000, kRefreshIntervalMs, kMaxRefreshIntervalMs);
    const qint64 since = m_lastRefresh.isValid() ? m_lastRefresh.elapsed() : interval;
    m_timer.start(static_cast<int>(std::max<qint64>(0, interval - since)));
    m_nPrepareNs = 0;
    m_prepareStart.invalidate();
}

void CMonitorRefresh::Stop()
{
    m_timer.stop();
    m_bPending = false;
    Unpin();
}

void CMonitorRefresh::Unpin()
{
    m_pPinnedDoc = nullptr;
    m_nPinnedBlocks = -1;
}

void CMonitorRefresh::Done(qint64 workNs)
{
    m_lastRefresh.start();
    // The repaint that follows adds its share.
    m_nCostNs = m_nPrepareNs + workNs;
    m_nPrepareNs = 0;
    m_prepareStart.invalidate();
}

void CMonitorRefresh::OnTimer()
{
    // A flood that keeps adding lines faster than they are laid out gets its refresh when the
    // longest interval is up.
    // With word wrap, appends that bring more than a screen of lines between two slices
    // outrun the layout: what was laid out so far would be scrolled past unseen, and the
    // refresh waits no longer (it lays out the last screen once, and the lines in between
    // never are).
    const QTextDocument* doc = m_edit.document();
    const int blocks = doc->blockCount();
    bool outrun = false;
    if (m_edit.lineWrapMode() == QPlainTextEdit::NoWrap) {
        if (m_pPinnedDoc != doc) {
            m_pPinnedDoc = doc;
            m_nPinnedBlocks = blocks;
        }
    } else {
        // A wrapped line is as many screen lines as its layout says: the end is shown.
        m_pPinnedDoc = nullptr;
        m_nPinnedBlocks = -1;
        outrun = m_prepareStart.isValid() && blocks - m_nPreparedBlocks > ScreenLines();
    }
    if (!m_prepareStart.isValid())
        m_prepareStart.start();
    m_nPreparedBlocks = blocks;
    if (!outrun && !PrepareLayout() && m_prepareStart.elapsed() < kMaxRefreshIntervalMs) {
        m_timer.start(0);
        return;
    }
    Q_EMIT due();
}

int CMonitorRefresh::PinnedBlocks() const
{
    return m_pPinnedDoc == m_edit.document() ? m_nPinnedBlocks : -1;
}

int CMonitorRefresh::ScreenLines() const
{
    return m_edit.viewport()->height() / std::max(1, m_edit.fontMetrics().lineSpacing());
}

bool CMonitorRefresh::PrepareLayout()
{
    QElapsedTimer work;
    work.start();
    // The editor changes its document when the text is emptied at its limit.
    const QTextDocument& doc = *m_edit.document();
    QAbstractTextDocumentLayout* layout = doc.documentLayout();
    // Laying out a line may widen the text; the refresh tells the editor about it.
    const QSignalBlocker quiet(layout);
    const qreal wanted = m_edit.viewport()->height();
    qreal height = 0;
    bool done = true;
    const int pinned = PinnedBlocks();
    const QTextBlock last = pinned > 0 ? doc.findBlockByNumber(pinned - 1) : doc.lastBlock();
    for (QTextBlock block = last; block.isValid() && height < wanted; block = block.previous()) {
        if (block.layout()->lineCount() == 0 && work.nsecsElapsed() >= kLayoutSliceNs) {
            done = false;
            break;
        }
        height += layout->blockBoundingRect(block).height();
    }
    m_nPrepareNs += work.nsecsElapsed();
    return done;
}
