#pragma once

#include "core/capture/PcapngReader.h"
#include "core/capture/PcapngReplay.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

class CFrameHost;
class QShortcut;

// 文件 → "回放 pcapng...": what the chosen port of a capture received, sent into the current
// port with its gaps (at a speed from 0.1× to 10×), shown in the monitor as sent lines. The
// file is read and checked before anything is sent; a thread keeps the times and hands each
// packet to the window's sender, the one way the program writes to a port. Stops at the end,
// on Esc or when chosen again.
class CPcapngReplayer : public QObject
{
    Q_OBJECT
public:
    explicit CPcapngReplayer(CFrameHost& host);
    ~CPcapngReplayer() override;

    // Asks for the file and the speed, then plays; or stops a replay that runs.
    void Toggle();
    bool IsPlaying() const { return m_thread.joinable(); }
    void Stop();
    // Waits for a stopped replay's thread.
    void Join();

    // Tests answer the questions instead of the user: the file (empty: cancelled) and the
    // speed (<= 0: cancelled).
    void SetAskers(std::function<QString()> file, std::function<double()> speed)
    {
        m_askFile = std::move(file);
        m_askSpeed = std::move(speed);
    }

Q_SIGNALS:
    // The replay ended (at the end: true).
    void finished(bool atEnd);

private:
    void Start(double speed, unsigned port);
    void Finish(bool atEnd, const QString& error);
    void ShowProgress(std::size_t done);

    CFrameHost& m_host;
    std::function<QString()> m_askFile;
    std::function<double()> m_askSpeed;
    PcapngReader m_reader;
    PcapngReplay m_replay;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    QShortcut* m_pEscape = nullptr;
    unsigned m_port = 0;
};
