#pragma once

#include "app/commands/CommandTable.h"
#include "core/capture/PcapngRecorder.h"
#include "core/capture/TrafficRing.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <thread>

class CFrameHost;
class CPcapngReplayer;
class PcapngExport;
class QTimer;

// pcapng files for Wireshark from the window: 文件 → "导出 pcapng..." writes the traffic kept
// since the ports opened (the newest 64 MB at most, and nothing from before the monitor was
// last cleared), 文件 → "录制 pcapng..." writes every message of the ports into a file until
// chosen again (a status-bar note says so meanwhile), 文件 → "回放 pcapng..." plays a capture
// into the current port (CPcapngReplayer). Export and recording listen to the ports' traffic
// on the workers; the files are written by threads of their own, so the window never waits.
class CPcapngCommands : public QObject, public CCommandTarget
{
    Q_OBJECT
public:
    // modbusOn: whether a port decodes MODBUS RTU (its packets get the notes).
    CPcapngCommands(CFrameHost& host, std::function<bool(unsigned port)> modbusOn);
    ~CPcapngCommands() override;

    static std::span<const CommandInfo> Commands();

    void OnCommand(int id) override;
    void OnUpdateCommand(int id, CommandState& state) override;

    // The window closes: a replay stops, a recording ends with its file complete, an export
    // under way is finished; nothing touches the frame after this.
    void EndAtExit();
    // The monitor was cleared: the export begins from here.
    void OnMonitorCleared() { m_ring.Clear(); }
    // Tests answer the file dialogs (open: replay) instead of the user.
    void SetFileNameAsker(std::function<QString(bool open)> asker)
    {
        m_askFileName = std::move(asker);
    }
    bool IsRecording() const { return m_pRecorder != nullptr; }
    bool IsExporting() const { return m_exporting; }
    CPcapngReplayer& Replayer() { return *m_pReplayer; }

Q_SIGNALS:
    // An export has ended (ok or not); tests wait for it.
    void exportFinished(bool ok);

private:
    QString AskSaveName(const QString& title);
    void Export();
    void StartRecording();
    void StopRecording(bool failed);
    void OnTimer();
    // Names the open ports' interfaces and their MODBUS notes for a file.
    template <typename Target> void DescribePorts(Target& target) const;

    CFrameHost& m_host;
    std::function<bool(unsigned)> m_modbusOn;
    std::function<QString(bool)> m_askFileName;
    TrafficRing m_ring;
    std::unique_ptr<PcapngRecorder> m_pRecorder;
    QString m_recordPath;
    std::thread m_exportThread;
    std::atomic<std::uint64_t> m_exportDone{0};
    std::atomic<bool> m_cancelExport{false};
    std::uint64_t m_exportTotal = 0;
    bool m_exporting = false;
    QTimer* m_pTimer;
    CPcapngReplayer* m_pReplayer;
};
