// A port's bytes are outside input: any stream, cut into any messages at any times, through
// the framer, the describer and the pairer of two ports that forward to each other. Every
// byte fed comes out exactly once, in order, as a frame or as noise; a frame called right
// has a right check code; nothing waits once the line has been quiet long enough.
#include "core/decode/DecoderSet.h"
#include "core/modbus/ModbusDecoder.h"
#include "core/serial/PortSettings.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

struct Stream
{
    std::vector<std::uint8_t> m_fed;
    std::vector<std::uint8_t> m_out;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 3)
        return 0;
    static const std::uint32_t kRates[] = {1200, 9600, 19200, 115200, 921600};
    PortSettings settings;
    settings.m_dwBaudRate = kRates[data[0] % 5];
    settings.m_dwPackInterval = 1u + data[1] % 40u;
    auto modbus = std::make_unique<ModbusDecoder>();
    modbus->SetTimeout(1 + data[2] % 200);
    DecoderSet monitor;
    monitor.Add(std::move(modbus));
    monitor.SetLineSource([&](unsigned, PortSettings& s) {
        s = settings;
        return true;
    });
    Stream streams[4]; // port 0 and 1, each received and sent
    monitor.AddListener([&](const DecodedRecord& decoded) {
        const auto& r = static_cast<const ModbusRecord&>(decoded);
        Stream& s = streams[r.m_port * 2 + static_cast<unsigned>(r.m_direction)];
        if (r.m_delayMs < 0) // a request's missing answer: the request was handed on before
            return;
        if (r.m_frame.m_bytes.empty())
            std::abort();
        if (r.m_frame.m_form != ModbusForm::Noise && r.m_frame.m_crcOk
            && !ModbusCrcOk(r.m_frame.m_bytes.data(), r.m_frame.m_bytes.size()))
            std::abort();
        s.m_out.insert(s.m_out.end(), r.m_frame.m_bytes.begin(), r.m_frame.m_bytes.end());
    });
    monitor.SetEnabled(ModbusDecoder::kName, 0, true);
    monitor.SetEnabled(ModbusDecoder::kName, 1, true);

    // Each message: a control byte (port, direction, a gap of 0..31 ms), a length byte,
    // then that many bytes of the stream.
    std::vector<DecodedLine> lines;
    std::int64_t now = 1000;
    std::size_t i = 3;
    while (i + 2 <= size) {
        const std::uint8_t control = data[i];
        const unsigned port = control & 1;
        const int direction = (control >> 1) & 1;
        now += control >> 3;
        const std::size_t count = std::min<std::size_t>(data[i + 1], size - i - 2);
        const std::uint8_t* bytes = data + i + 2;
        i += 2 + count;
        if (count == 0) {
            monitor.PollDecoding(now, lines);
            continue;
        }
        Stream& s = streams[port * 2 + static_cast<unsigned>(direction)];
        s.m_fed.insert(s.m_fed.end(), bytes, bytes + count);
        monitor.Decode(port, direction, static_cast<int>(port ^ 1u), bytes, count, now, lines);
    }
    monitor.PollDecoding(now + 10'000, lines);
    for (const Stream& s : streams)
        if (s.m_out != s.m_fed)
            std::abort();
    return 0;
}
