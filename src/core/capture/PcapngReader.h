#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Reads a pcapng file of serial lines (link type 250, RTAC serial), from VRL or another tool,
// into its interfaces and data packets, checking every block on the way: a file that is not
// pcapng, is cut short, has a block of a wrong length or holds another link type is refused
// whole, with the block and its offset named, so that a replay writes nothing of it.
class PcapngReader
{
public:
    struct Interface
    {
        std::string m_name;        // if_name, or "" when the file gives none
        std::string m_description; // if_description
        std::uint16_t m_linkType = 0;
    };
    struct Packet
    {
        unsigned m_interface = 0; // index into Interfaces()
        std::int64_t m_timeUs = 0;
        int m_direction = -1;              // 1 received, 0 sent, -1 not said
        std::uint8_t m_event = 0;          // the serial header's event
        std::vector<std::uint8_t> m_bytes; // the data after the serial header
    };

    // False with Error (UTF-8) when the file cannot be read or is not sound.
    bool Read(const std::string& path);
    bool Parse(const std::vector<std::uint8_t>& file);

    const std::vector<Interface>& Interfaces() const { return m_interfaces; }
    const std::vector<Packet>& Packets() const { return m_packets; }
    const std::string& Error() const { return m_error; }

    // The data a port received: the packets of interface that carry received data (the
    // direction flag says inbound, or, without one, the event is DATA_RX).
    std::vector<const Packet*> Received(unsigned interface) const;

private:
    bool Fail(std::uint64_t block, std::size_t offset, const std::string& what);

    std::vector<Interface> m_interfaces;
    std::vector<Packet> m_packets;
    std::string m_error;
};
