#pragma once

#include "core/send/SendQueues.h"
#include "core/send/SendService.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <string>
#include <vector>

class CFrameHost;
class ForwardTap;
class QTimer;

// Sending in the window: the core's send service and the write queues of every port, the
// short timer that writes what a port could not take at once, and the status-bar note of a
// port that takes nothing for half a second or whose queue dropped bytes. The window thread
// never waits for a port.
class CPortSender : public QObject
{
    Q_OBJECT
public:
    // How long a port may take nothing while bytes wait before the user is told (also a port
    // of the forwarding pair, in the forwarding note).
    static constexpr int kBehindMs = 500;

    // tap: the ports' tap, which outlives this.
    CPortSender(CFrameHost& host, ForwardTap& tap,
                std::size_t queueLimit = ForwardQueue::kDefaultLimit);

    // See SendService::Send: any thread, never waits.
    bool Send(unsigned port, std::vector<std::uint8_t> bytes, std::string text,
              bool showLine = true);
    // Writes what waits soon (bytes were moved between queues).
    void FlushSoon() { AfterWrite(); }
    // Bytes waiting for a 0-based port.
    std::size_t Waiting(unsigned port) const { return m_queues.Waiting(port); }
    SendQueues& Queues() { return m_queues; }

    // An amount of bytes as the status bar gives it ("512 字节", "1.5 KB").
    static QString SizeText(std::uint64_t bytes);

private:
    void AfterWrite();
    void FlushWaiting();
    void ScheduleFlush(bool progress);
    void UpdateNote();

    CFrameHost& m_host;
    SendQueues m_queues;
    SendService m_service;
    QTimer* m_pFlushTimer;
    QTimer* m_pNoteTimer; // while bytes wait: is a port behind?
    int m_flushDelayMs = 1;
    QString m_note;
};
