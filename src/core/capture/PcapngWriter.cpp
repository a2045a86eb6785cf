#include "core/capture/PcapngWriter.h"

#include "core/serial/ModemLines.h"

#include <cstring>
#include <utility>

// pcapng is written in the writer's byte order, which the section header's magic tells the
// reader; the serial header inside a packet is big-endian whatever the file's order.

namespace {

constexpr std::uint32_t kSectionHeader = 0x0A0D0D0A;
constexpr std::uint32_t kInterfaceDescription = 1;
constexpr std::uint32_t kEnhancedPacket = 6;
constexpr std::uint16_t kOptEnd = 0;
constexpr std::uint16_t kOptComment = 1;
constexpr std::uint16_t kShbUserAppl = 4;
constexpr std::uint16_t kIfName = 2;
constexpr std::uint16_t kIfDescription = 3;
constexpr std::uint16_t kIfTsresol = 9;
constexpr std::uint16_t kEpbFlags = 2;
constexpr std::uint32_t kInbound = 1;
constexpr std::uint32_t kOutbound = 2;

void PutBig32(std::uint8_t* p, std::uint32_t v)
{
    p[0] = static_cast<std::uint8_t>(v >> 24);
    p[1] = static_cast<std::uint8_t>(v >> 16);
    p[2] = static_cast<std::uint8_t>(v >> 8);
    p[3] = static_cast<std::uint8_t>(v);
}

} // namespace

void PcapngWriter::Put32(std::uint32_t value)
{
    const auto* p = reinterpret_cast<const std::uint8_t*>(&value);
    m_out.insert(m_out.end(), p, p + 4);
}

void PcapngWriter::Put16(std::uint16_t value)
{
    const auto* p = reinterpret_cast<const std::uint8_t*>(&value);
    m_out.insert(m_out.end(), p, p + 2);
}

void PcapngWriter::Pad()
{
    while (m_out.size() % 4 != 0)
        m_out.push_back(0);
}

void PcapngWriter::BeginBlock(std::uint32_t type)
{
    m_blockStart = m_out.size();
    Put32(type);
    Put32(0); // the length, known at the end
}

void PcapngWriter::EndBlock()
{
    Put32(0); // the length again, which lets a reader walk backwards
    const auto length = static_cast<std::uint32_t>(m_out.size() - m_blockStart);
    std::memcpy(&m_out[m_blockStart + 4], &length, 4);
    std::memcpy(&m_out[m_out.size() - 4], &length, 4);
}

void PcapngWriter::Option(std::uint16_t code, const void* value, std::size_t length)
{
    Put16(code);
    Put16(static_cast<std::uint16_t>(length));
    const auto* p = static_cast<const std::uint8_t*>(value);
    m_out.insert(m_out.end(), p, p + length);
    Pad();
}

void PcapngWriter::BeginSection(const std::string& application)
{
    m_interfaces.clear();
    m_nextInterface = 0;
    m_packets = 0;
    BeginBlock(kSectionHeader);
    Put32(0x1A2B3C4D);
    Put16(1); // version 1.0
    Put16(0);
    Put32(0xFFFFFFFF); // section length not given
    Put32(0xFFFFFFFF);
    if (!application.empty())
        Option(kShbUserAppl, application.data(), application.size());
    Option(kOptEnd, nullptr, 0);
    EndBlock();
}

bool PcapngWriter::HasInterface(unsigned port) const
{
    return port < m_interfaces.size() && m_interfaces[port] >= 0;
}

void PcapngWriter::AddInterface(unsigned port, const std::string& name,
                                const std::string& description)
{
    if (HasInterface(port))
        return;
    if (m_interfaces.size() <= port)
        m_interfaces.resize(port + 1, -1);
    m_interfaces[port] = static_cast<int>(m_nextInterface++);
    BeginBlock(kInterfaceDescription);
    Put16(kLinkType);
    Put16(0);
    Put32(0); // no snapshot length: every byte is kept
    Option(kIfName, name.data(), name.size());
    if (!description.empty())
        Option(kIfDescription, description.data(), description.size());
    const std::uint8_t microseconds = 6;
    Option(kIfTsresol, &microseconds, 1);
    Option(kOptEnd, nullptr, 0);
    EndBlock();
}

void PcapngWriter::AddPacket(unsigned port, std::int64_t wallUs, Event event, std::uint8_t lines,
                             const std::uint8_t* bytes, std::size_t count,
                             const std::string& comment)
{
    const auto time = static_cast<std::uint64_t>(wallUs);
    const auto length = static_cast<std::uint32_t>(kSerialHeader + count);
    BeginBlock(kEnhancedPacket);
    Put32(static_cast<std::uint32_t>(m_interfaces.at(port)));
    Put32(static_cast<std::uint32_t>(time >> 32));
    Put32(static_cast<std::uint32_t>(time));
    Put32(length);
    Put32(length);
    std::uint8_t header[kSerialHeader] = {};
    PutBig32(header, static_cast<std::uint32_t>(time / 1000000));
    PutBig32(header + 4, static_cast<std::uint32_t>(time % 1000000));
    header[8] = static_cast<std::uint8_t>(event);
    header[9] = lines;
    m_out.insert(m_out.end(), header, header + kSerialHeader);
    if (count > 0)
        m_out.insert(m_out.end(), bytes, bytes + count);
    Pad();
    if (!comment.empty())
        Option(kOptComment, comment.data(), comment.size());
    // The direction, for the data the port read or wrote and for what its receiver reported.
    std::uint32_t flags = 0;
    if (event == Event::Sent)
        flags = kOutbound;
    else if (event != Event::LinesChanged)
        flags = kInbound;
    if (flags != 0)
        Option(kEpbFlags, &flags, 4);
    Option(kOptEnd, nullptr, 0);
    EndBlock();
    ++m_packets;
}

std::vector<std::uint8_t> PcapngWriter::Take()
{
    std::vector<std::uint8_t> out;
    out.swap(m_out);
    return out;
}

std::uint8_t PcapngWriter::HeaderLines(unsigned modemLines)
{
    static constexpr std::pair<unsigned, std::uint8_t> kMap[] = {
        {ModemLines::kDtr, kDtr}, {ModemLines::kRts, kRts}, {ModemLines::kCts, kCts},
        {ModemLines::kDsr, kDsr}, {ModemLines::kDcd, kDcd}, {ModemLines::kRi, kRing}};
    std::uint8_t lines = 0;
    for (const auto& [modem, header] : kMap)
        if (modemLines & modem)
            lines |= header;
    return lines;
}
