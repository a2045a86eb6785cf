#pragma once

#include "core/plot/PlotSource.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct DecodedRecord;

// Turns what the ports carry into the samples of the channels: decoded MODBUS answers, the
// text lines a port receives, and the values scripts give. The same for the window's plot and
// for vrl-capture's value files. A source that gives nothing usable where a channel looks (a
// line without the name, a number that does not parse, an exception or a wrong check code of
// the slave) counts as skipped for that channel.
class PlotSampler
{
public:
    using Sink = std::function<void(std::size_t channel, std::int64_t timeUs, double value)>;

    // The longest text line kept while its end has not come; a longer one is skipped.
    static constexpr std::size_t kLongestLine = 4096;

    void SetChannels(std::vector<PlotSource> sources);
    const std::vector<PlotSource>& Channels() const { return m_sources; }
    void SetSink(Sink sink) { m_sink = std::move(sink); }

    void OnRecord(const DecodedRecord& record);
    // Bytes a port received; timeUs: steady, of the first byte.
    void OnReceived(unsigned port, std::int64_t timeUs, const std::uint8_t* bytes,
                    std::size_t count);
    void OnScriptValue(const std::string& name, std::int64_t timeUs, double value);

    std::uint64_t Skipped(std::size_t channel) const;
    // Whether any channel reads the text lines of port (the window then follows its traffic).
    bool ReadsText(unsigned port) const;
    void ClearCounts();

private:
    struct PendingLine
    {
        unsigned m_port = 0;
        std::string m_text;
        std::int64_t m_timeUs = 0; // of its first byte
        bool m_tooLong = false;
    };

    void OnLine(unsigned port, std::int64_t timeUs, const std::string& line);
    void Emit(std::size_t channel, std::int64_t timeUs, double value);

    std::vector<PlotSource> m_sources;
    std::vector<std::uint64_t> m_skipped;
    std::vector<PendingLine> m_pending; // one per port that has a line under way
    Sink m_sink;
};
