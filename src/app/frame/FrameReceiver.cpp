#include "app/frame/FrameReceiver.h"

#include "app/host/UserNotices.h"
#include "app/monitor/FrameMonitorView.h"
#include "app/ports/LineControl.h"
#include "app/ports/PortControl.h"

#include <QString>

CFrameReceiver::CFrameReceiver(const FrameOptions& options, CUserNotices& notices,
                               ReceivePipeline::CurrentPortSource currentPort)
    : m_notices(notices), m_pipeline(options, *this, std::move(currentPort)),
      m_publisher(m_pipeline.Traffic(), *this), m_turns(m_pipeline)
{
}

void CFrameReceiver::Connect(CFrameMonitorView& view, CLineControl& lines, CPortControl& ports)
{
    m_pView = &view;
    m_pLines = &lines;
    m_pPorts = &ports;
}

void CFrameReceiver::OnPortData(unsigned uiPortNo, std::vector<std::uint8_t> bytes)
{
    m_turns.Inbox().Push(uiPortNo, std::move(bytes));
}

void CFrameReceiver::OnPortMessage(unsigned uiPortNo, std::vector<std::uint8_t> bytes,
                                   std::int64_t readUs, bool mustNotWait)
{
    m_turns.Inbox().Push(uiPortNo, std::move(bytes), readUs, !mustNotWait);
}

void CFrameReceiver::OnPortStopped(unsigned uiPortNo, std::string reason)
{
    m_turns.Inbox().PushStopped(uiPortNo, std::move(reason));
}

void CFrameReceiver::OnPortConnected(unsigned uiPortNo, std::string)
{
    m_pLines->OnPortConnected(uiPortNo);
}

void CFrameReceiver::OnPortNotice(unsigned uiPortNo, std::string text)
{
    m_pLines->OnPortNotice(uiPortNo, text);
}

void CFrameReceiver::OnModemLines(unsigned uiPortNo, bool available, unsigned lines)
{
    m_pLines->OnModemLines(uiPortNo, available, lines);
}

void CFrameReceiver::ShowMessage(const std::string& utf8)
{
    m_notices.ShowMessage(QString::fromStdString(utf8));
}

// The status bar says where an open failed and how to mend it; a good open clears it.
void CFrameReceiver::ShowHint(const std::string& utf8)
{
    m_notices.SetStatusNote(QStringLiteral("openError"), QString::fromStdString(utf8), true);
}

void CFrameReceiver::AppendNoticeLine(const std::string& text)
{
    AppendLine({MonitorPiece{text + '\n', kColourGrey}});
}

void CFrameReceiver::AppendOwnLine(const std::string& text, int colour)
{
    AppendLine(
        {MonitorPiece{m_pipeline.NoticeStamp(), kColourGrey}, MonitorPiece{text + '\n', colour}});
}

void CFrameReceiver::BeginAppend()
{
    m_pView->BeginAppend();
}

void CFrameReceiver::EndAppend()
{
    m_pView->EndAppend();
}

void CFrameReceiver::AppendLine(const std::vector<MonitorPiece>& pieces)
{
    m_pView->BeginAppend();
    for (const MonitorPiece& piece : pieces)
        m_pView->AppendText(
            QString::fromUtf8(piece.m_text.data(), static_cast<qsizetype>(piece.m_text.size())),
            piece.m_colour);
    m_pView->EndAppend();
}

void CFrameReceiver::ShowStoppedPort(unsigned port, const std::string& reason)
{
    m_pPorts->ShowStoppedPort(port, reason);
}
