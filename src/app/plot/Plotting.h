#pragma once

#include "app/commands/CommandTable.h"
#include "app/plot/PlotChannelDialog.h"
#include "core/plot/PlotHistory.h"
#include "core/plot/PlotSampler.h"
#include "core/traffic/TrafficListener.h"

#include <QObject>
#include <QString>

#include <functional>
#include <set>
#include <span>
#include <vector>

class CFrameHost;
class CPlotDock;
class DecoderSet;
class QTimer;

// 窗口 → "曲线": up to 16 channels of values the ports carry (registers of decoded MODBUS
// answers, also those a tap only watches; numbers in text lines; scripts' values), each kept
// for the whole session and drawn in the plot dock. Samples are taken whether the dock is
// shown or not, paused or zoomed. The channels are stored; the samples are not.
class CPlotting : public QObject, public CCommandTarget, private TrafficListener
{
    Q_OBJECT
public:
    static constexpr std::size_t kMaxChannels = 16;
    static constexpr int kFrameMs = 33; // about 30 pictures a second while following
    static constexpr int kListMs = 500; // the channel list's numbers
    static constexpr std::size_t kMaxSeen = 4096;

    CPlotting(CFrameHost& host, DecoderSet& decoders);
    ~CPlotting() override;
    // At the frame's end, while the traffic and the decoders are still there.
    void EndAtExit();

    static std::span<const CommandInfo> Commands();
    void OnCommand(int id) override;
    void OnUpdateCommand(int id, CommandState& state) override;

    // A value a script gives with vrl.plot(name, value); timeUs: steady.
    void AddScriptValue(const std::string& name, double value, std::int64_t timeUs);

    void SetChannels(std::vector<PlotChannelConfig> channels);
    const std::vector<PlotChannelConfig>& Channels() const { return m_channels; }
    const PlotHistory& History(std::size_t channel) const { return m_histories[channel]; }
    std::uint64_t Skipped(std::size_t channel) const { return m_sampler.Skipped(channel); }
    std::vector<SeenRegister> Seen() const { return {m_seen.begin(), m_seen.end()}; }
    // Writes the samples of the visible span (or all) as CSV; false when nothing was
    // written (cancelled, or an error shown to the user).
    bool ExportCsv(bool visibleOnly);
    CPlotDock* Dock() const { return m_pDock; }
    // The export's file name is answered by asker instead of the user (tests).
    void SetFileNameAsker(std::function<QString()> asker) { m_askFileName = std::move(asker); }
    // What a channel's source lacks now (a port not open, decoding off), or empty.
    QString SourceState(std::size_t channel) const;
    void RefreshList();

private:
    void OnTraffic(const TrafficMessage& message) override;
    void OnRecord(const DecodedRecord& record);
    void Rewire();
    void Store() const;
    void EditChannel(int row);
    void SavePicture();
    QString AskFileName(const QString& title, const QString& name, const QString& filter);

    CFrameHost& m_host;
    DecoderSet& m_decoders;
    CPlotDock* m_pDock;
    QTimer* m_pFrameTimer;
    QTimer* m_pListTimer;
    std::vector<PlotChannelConfig> m_channels;
    std::vector<PlotHistory> m_histories;
    PlotSampler m_sampler;
    std::set<SeenRegister> m_seen;
    std::uint64_t m_listenerId = 0;
    bool m_listening = true;
    std::int64_t m_wallOffsetUs;
    std::function<QString()> m_askFileName;
};
