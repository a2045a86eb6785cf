#pragma once

#include "core/modbus/ModbusDescriber.h"
#include "core/modbus/ModbusPairer.h"
#include "core/modbus/ModbusRtuFramer.h"
#include "core/receive/ReceivePipeline.h"
#include "core/serial/PortSettings.h"

#include <array>
#include <functional>
#include <map>

// One decoded frame (or noise) as the frame table keeps it.
struct ModbusRecord
{
    unsigned m_port = 0;
    int m_direction = 1;
    ModbusFrame m_frame;
    ModbusDescription m_description;
    bool m_paired = false; // an answer whose request was found
    std::int64_t m_delayMs = 0;
};

// MODBUS RTU decoding of the ports it is switched on for: a framer per port and direction,
// one pairer for all, and the lines that go under the messages in the monitor. Switched
// off for every port at first.
class ModbusMonitor : public DecodeStep
{
public:
    // The settings a port runs with now (rate, character bits, packing interval); false
    // when the port is not open.
    using LineSource = std::function<bool(unsigned port, PortSettings& settings)>;
    using RecordSink = std::function<void(const ModbusRecord&)>;

    void SetEnabled(unsigned port, bool on);
    bool IsEnabled(unsigned port) const;
    void SetLineSource(LineSource source) { m_lineSource = std::move(source); }
    void SetRecordSink(RecordSink sink) { m_recordSink = std::move(sink); }
    void SetTimeout(std::int64_t ms) { m_pairer.SetTimeout(ms); }

    // DecodeStep
    bool IsDecoding(unsigned port) const override { return IsEnabled(port); }
    void Decode(unsigned port, int direction, int partner, const std::uint8_t* bytes,
                std::size_t count, std::int64_t nowMs, std::vector<DecodedLine>& lines) override;
    void PollDecoding(std::int64_t nowMs, std::vector<DecodedLine>& lines) override;

    // The time of one character at these settings: start bit, data bits, parity, stop bits.
    static double CharMilliseconds(const PortSettings& settings);

private:
    struct Stream
    {
        ModbusRtuFramer m_framer;
        int m_partner = -1;
    };

    Stream& StreamOf(unsigned port, int direction);
    void Handle(std::vector<ModbusFrame>& frames, unsigned port, int direction, int partner,
                bool ofMessage, std::vector<DecodedLine>& lines);
    void AddMissing(std::vector<ModbusPairer::Waiting>& missing, std::vector<DecodedLine>& lines);

    std::array<bool, 256> m_enabled{};
    std::map<unsigned, Stream> m_streams; // by port * 2 + direction
    ModbusPairer m_pairer;
    LineSource m_lineSource;
    RecordSink m_recordSink;
    std::vector<ModbusFrame> m_frames;            // reused
    std::vector<ModbusPairer::Waiting> m_missing; // reused
};
