#include "core/capture/PacketNotes.h"

#include "core/modbus/ModbusRtu.h"
#include "core/text/CoreText.h"

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

// A request as the pairer keeps it: where it is in the file and when its last byte went.
struct NotedRequest : DecodedRecord
{
    std::uint64_t m_packet = 0;
    std::int64_t m_endUs = 0;
};

std::uint32_t KeyOf(const std::uint8_t* frame)
{
    return (static_cast<std::uint32_t>(frame[0]) << 8) | (frame[1] & 0x7Fu);
}

} // namespace

void PacketNotes::SetModbus(unsigned port, double charUs)
{
    if (charUs > 0)
        m_charUs[port] = charUs;
    else
        m_charUs.erase(port);
}

void PacketNotes::SetPartners(unsigned a, unsigned b)
{
    m_partner[a] = b;
    m_partner[b] = a;
}

unsigned PacketNotes::LinkOf(unsigned port) const
{
    const auto it = m_partner.find(port);
    return it == m_partner.end() ? port : std::min(port, it->second);
}

std::string PacketNotes::Note(std::uint64_t packet, unsigned port, int direction,
                              std::int64_t timeUs, const std::uint8_t* bytes, std::size_t count)
{
    const auto charIt = m_charUs.find(port);
    if (charIt == m_charUs.end() || count < kModbusMinFrame || count > kModbusMaxFrame)
        return {};
    ModbusLayout layouts[2];
    const int n = ModbusLayouts(bytes, count, layouts);
    bool request = false;
    bool answer = false;
    for (int i = 0; i < n; ++i) {
        if (layouts[i].m_length != count)
            continue;
        (layouts[i].m_form == ModbusForm::Request ? request : answer) = true;
    }
    if (!request && !answer)
        return {}; // not one frame of a known layout: nothing Wireshark would pair either

    const unsigned link = LinkOf(port);
    const std::uint32_t key = KeyOf(bytes);
    const RequestPairer::Source source{port, direction};
    std::vector<RequestPairer::Waiting> missing;
    m_pairer.Poll(timeUs / 1000, missing);
    if (request && answer) {
        // An echo (functions 5, 6) answers a request seen elsewhere on the link.
        answer = m_pairer.AnyWaiting(
            link, key, [&](const RequestPairer::Waiting& w) { return !(w.m_source == source); });
        request = !answer;
    }

    const bool crcOk = ModbusCrcOk(bytes, count);
    std::string note;
    if (answer) {
        const RequestPairer::Answer paired = m_pairer.TakeAnswer(link, key, timeUs / 1000);
        if (paired.m_paired) {
            const auto& asked = static_cast<const NotedRequest&>(*paired.m_request);
            char delay[32];
            std::snprintf(delay, sizeof delay, "%.1f",
                          static_cast<double>(std::max<std::int64_t>(0, timeUs - asked.m_endUs))
                              / 1000.0);
            note = CoreText::Args(VRL_TR("PacketNotes", "应答第 %1 包，%2 ms"),
                                  {std::to_string(asked.m_packet), delay});
        }
    } else {
        auto noted = std::make_shared<NotedRequest>();
        noted->m_packet = packet;
        noted->m_endUs = timeUs + static_cast<std::int64_t>(charIt->second * count);
        noted->m_endMs = noted->m_endUs / 1000;
        // A broadcast or a damaged request is answered by no device.
        const bool answered = bytes[0] != 0 && crcOk;
        m_pairer.AddRequest(link, source, key, std::move(noted), answered, missing);
    }
    if (!crcOk) {
        // As the frame would carry it: low byte first.
        const std::uint16_t right = ModbusCrc(bytes, count - 2);
        char crc[16];
        std::snprintf(crc, sizeof crc, "%02X %02X", right & 0xFFu, right >> 8);
        const std::string wrong =
            CoreText::Args(VRL_TR("PacketNotes", "CRC 错误（应为 %1）"), {crc});
        note = note.empty() ? wrong : note + "; " + wrong;
    }
    return note;
}
