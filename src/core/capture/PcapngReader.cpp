#include "core/capture/PcapngReader.h"

#include "core/capture/PcapngWriter.h"
#include "core/text/CoreText.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

constexpr std::uint32_t kSectionHeader = 0x0A0D0D0A;
constexpr std::uint32_t kInterfaceDescription = 1;
constexpr std::uint32_t kSimplePacket = 3;
constexpr std::uint32_t kEnhancedPacket = 6;
constexpr std::uint32_t kObsoletePacket = 2;
constexpr std::uint32_t kByteOrderMagic = 0x1A2B3C4D;
constexpr std::uint16_t kIfName = 2;
constexpr std::uint16_t kIfDescription = 3;
constexpr std::uint16_t kIfTsresol = 9;
constexpr std::uint16_t kEpbFlags = 2;
constexpr std::uint8_t kRxStart = 0x02;
constexpr std::uint8_t kRxEnd = 0x04;

// Reads numbers in the section's byte order.
struct Order
{
    bool m_swap = false;
    std::uint32_t U32(const std::uint8_t* p) const
    {
        std::uint32_t v;
        std::memcpy(&v, p, 4);
        return m_swap ? __builtin_bswap32(v) : v;
    }
    std::uint16_t U16(const std::uint8_t* p) const
    {
        std::uint16_t v;
        std::memcpy(&v, p, 2);
        return m_swap ? __builtin_bswap16(v) : v;
    }
};

// Time units per second of an interface, from if_tsresol.
std::uint64_t UnitsPerSecond(std::uint8_t resolution)
{
    std::uint64_t units = 1;
    const unsigned exponent = resolution & 0x7Fu;
    for (unsigned i = 0; i < exponent && units < (1ULL << 62) / 10; ++i)
        units *= (resolution & 0x80u) ? 2 : 10;
    return units;
}

} // namespace

bool PcapngReader::Fail(std::uint64_t block, std::size_t offset, const std::string& what)
{
    m_error = CoreText::Args(VRL_TR("PcapngReader", "第 %1 块（偏移 %2）：%3"),
                             {std::to_string(block), std::to_string(offset), what});
    m_interfaces.clear();
    m_packets.clear();
    return false;
}

bool PcapngReader::Read(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        m_error = CoreText::Args(VRL_TR("PcapngReader", "无法读取文件“%1”：%2"),
                                 {path, std::strerror(errno)});
        return false;
    }
    const std::vector<std::uint8_t> file((std::istreambuf_iterator<char>(in)),
                                         std::istreambuf_iterator<char>());
    return Parse(file);
}

bool PcapngReader::Parse(const std::vector<std::uint8_t>& file)
{
    m_interfaces.clear();
    m_packets.clear();
    m_error.clear();
    if (file.size() < 12 || Order{}.U32(file.data()) != kSectionHeader)
        return Fail(1, 0, VRL_TR("PcapngReader", "不是 pcapng 文件（没有节头块）"));
    Order order;
    std::vector<std::uint64_t> units; // of the section's interfaces
    std::size_t sectionFirst = 0;     // the index of the section's first interface
    std::size_t at = 0;
    for (std::uint64_t block = 1; at < file.size(); ++block) {
        if (file.size() - at < 12)
            return Fail(block, at, VRL_TR("PcapngReader", "文件在块的中间截断"));
        const std::uint8_t* p = file.data() + at;
        std::uint32_t type = order.U32(p);
        if (type == kSectionHeader) {
            const std::uint32_t magic = order.U32(p + 8);
            if (magic != kByteOrderMagic && __builtin_bswap32(magic) != kByteOrderMagic)
                return Fail(block, at, VRL_TR("PcapngReader", "节头块的字节序标志不对"));
            if (magic != kByteOrderMagic)
                order.m_swap = !order.m_swap;
            units.clear();
            sectionFirst = m_interfaces.size();
        }
        const std::uint32_t length = order.U32(p + 4);
        if (length < 12 || length % 4 != 0)
            return Fail(block, at, VRL_TR("PcapngReader", "块的长度不对"));
        if (length > file.size() - at)
            return Fail(block, at, VRL_TR("PcapngReader", "文件在块的中间截断"));
        if (order.U32(p + length - 4) != length)
            return Fail(block, at, VRL_TR("PcapngReader", "块尾的长度与块头不符"));
        const std::uint8_t* body = p + 8;
        const std::size_t bodyLength = length - 12;
        // Options from offset `from` of the body to its end.
        const auto options = [&](std::size_t from, auto&& take) {
            while (from + 4 <= bodyLength) {
                const std::uint16_t code = order.U16(body + from);
                const std::uint16_t size = order.U16(body + from + 2);
                if (code == 0 || from + 4 + size > bodyLength)
                    return;
                take(code, body + from + 4, size);
                from += 4 + ((size + 3u) & ~3u);
            }
        };

        if (type == kInterfaceDescription) {
            if (bodyLength < 8)
                return Fail(block, at, VRL_TR("PcapngReader", "块的长度不对"));
            Interface interface;
            interface.m_linkType = order.U16(body);
            std::uint64_t perSecond = 1000000;
            options(8, [&](std::uint16_t code, const std::uint8_t* value, std::uint16_t size) {
                if (code == kIfName)
                    interface.m_name.assign(reinterpret_cast<const char*>(value), size);
                else if (code == kIfDescription)
                    interface.m_description.assign(reinterpret_cast<const char*>(value), size);
                else if (code == kIfTsresol && size >= 1)
                    perSecond = UnitsPerSecond(value[0]);
            });
            if (interface.m_linkType != PcapngWriter::kLinkType)
                return Fail(block, at,
                            CoreText::Args(
                                VRL_TR("PcapngReader", "接口 %1 的链路类型是 %2，不是串口的 250"),
                                {interface.m_name.empty() ? std::to_string(m_interfaces.size())
                                                          : interface.m_name,
                                 std::to_string(interface.m_linkType)}));
            m_interfaces.push_back(std::move(interface));
            units.push_back(perSecond);
        } else if (type == kEnhancedPacket) {
            if (bodyLength < 20)
                return Fail(block, at, VRL_TR("PcapngReader", "块的长度不对"));
            const std::uint32_t interface = order.U32(body);
            const std::uint64_t time =
                (static_cast<std::uint64_t>(order.U32(body + 4)) << 32) | order.U32(body + 8);
            const std::uint32_t captured = order.U32(body + 12);
            if (interface >= units.size())
                return Fail(block, at, VRL_TR("PcapngReader", "数据包属于不存在的接口"));
            if (captured > bodyLength - 20)
                return Fail(block, at, VRL_TR("PcapngReader", "数据包长于其块"));
            if (captured < PcapngWriter::kSerialHeader)
                return Fail(block, at, VRL_TR("PcapngReader", "数据包短于串口头（12 字节）"));
            Packet packet;
            packet.m_interface = static_cast<unsigned>(sectionFirst + interface);
            const std::uint64_t perSecond = units[interface];
            packet.m_timeUs = static_cast<std::int64_t>(time / perSecond * 1000000
                                                        + time % perSecond * 1000000 / perSecond);
            const std::uint8_t* data = body + 20;
            packet.m_event = data[8];
            packet.m_bytes.assign(data + PcapngWriter::kSerialHeader, data + captured);
            options(20 + ((captured + 3u) & ~3u),
                    [&](std::uint16_t code, const std::uint8_t* value, std::uint16_t size) {
                        if (code == kEpbFlags && size == 4) {
                            const std::uint32_t direction = order.U32(value) & 3u;
                            packet.m_direction = direction == 1 ? 1 : direction == 2 ? 0 : -1;
                        }
                    });
            m_packets.push_back(std::move(packet));
        } else if (type == kSimplePacket || type == kObsoletePacket) {
            return Fail(block, at, VRL_TR("PcapngReader", "数据包没有时间（简单包块），无法回放"));
        }
        // Other blocks (names, statistics, custom ones) say nothing a replay needs.
        at += length;
    }
    if (m_interfaces.empty())
        return Fail(1, 0, VRL_TR("PcapngReader", "文件中没有接口"));
    return true;
}

std::vector<const PcapngReader::Packet*> PcapngReader::Received(unsigned interface) const
{
    std::vector<const Packet*> received;
    for (const Packet& packet : m_packets) {
        if (packet.m_interface != interface || packet.m_bytes.empty())
            continue;
        const bool in =
            packet.m_direction == 1
            || (packet.m_direction < 0 && (packet.m_event == kRxStart || packet.m_event == kRxEnd));
        if (in)
            received.push_back(&packet);
    }
    return received;
}
