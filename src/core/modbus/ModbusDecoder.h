#pragma once

#include "core/decode/Decoder.h"
#include "core/decode/RequestPairer.h"
#include "core/modbus/ModbusRecord.h"
#include "core/modbus/ModbusRtuFramer.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

// MODBUS RTU decoding, as the decoder "Modbus" of a DecoderSet: a framer per port and
// direction, one pairer for all (by slave and function), and a ModbusRecord for every frame,
// noise and missing answer. Its switch is stored as "COM1Modbus".
class ModbusDecoder : public Decoder
{
public:
    static constexpr const char* kName = "Modbus";

    void SetTimeout(std::int64_t ms) { m_pairer.SetTimeout(ms); }

    // Decoder
    const std::string& Name() const override { return m_name; }
    void Decode(const DecodeMessage& message, RecordSink& out) override;
    void Poll(std::int64_t nowMs, RecordSink& out) override;
    void Forget(unsigned port) override;

private:
    struct Stream
    {
        ModbusRtuFramer m_framer;
        int m_partner = -1;
    };

    void Handle(std::vector<ModbusFrame>& frames, unsigned port, int direction, int partner,
                RecordSink& out);
    // Functions 5, 6 and 22 answer with an echo of the request: true when frame answers a
    // waiting request seen elsewhere, or repeats it on the same stream when that stream
    // carries both sides (a port that listens to a whole bus).
    bool IsEcho(unsigned link, RequestPairer::Source source, const ModbusFrame& frame,
                bool bothSides) const;
    void AddMissing(std::vector<RequestPairer::Waiting>& missing, std::int64_t nowMs,
                    RecordSink& out);

    const std::string m_name = kName;
    std::map<unsigned, Stream> m_streams; // by port * 2 + direction
    RequestPairer m_pairer;
    std::vector<ModbusFrame> m_frames;             // reused
    std::vector<RequestPairer::Waiting> m_missing; // reused
};
