#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The blocks of a pcapng file that Wireshark reads as serial lines: a section header, one
// interface per port (link type 250, RTAC serial: each packet begins with a 12-byte header of
// its time, its event and the modem lines) and an enhanced packet block per event, with the
// direction in its flags and a comment where there is more to say. Blocks are appended to a
// buffer whole, so that whoever writes the buffer out leaves a file that ends at a block.
class PcapngWriter
{
public:
    static constexpr std::uint16_t kLinkType = 250; // LINKTYPE_RTAC_SERIAL
    static constexpr std::size_t kSerialHeader = 12;

    // The event byte of the serial header, as Wireshark names them.
    enum class Event : std::uint8_t
    {
        LinesChanged = 0x00, // STATUS_CHANGE
        Sent = 0x01,         // DATA_TX_START
        Received = 0x02,     // DATA_RX_START
        DataLost = 0x05,     // CAPTURE_DATA_LOST: the recorder could not keep up
        FramingError = 0x07,
        ParityError = 0x08,
        Break = 0x09,
        Overflow = 0x0A,
    };

    // The modem lines as the serial header carries them.
    enum : std::uint8_t
    {
        kCts = 0x01,
        kDcd = 0x02,
        kDsr = 0x04,
        kRts = 0x08,
        kDtr = 0x10,
        kRing = 0x20,
    };

    // A section header block: a new file (or a new section of one) begins; the interfaces
    // of the last one are forgotten.
    void BeginSection(const std::string& application);
    // The interface of port, named as the monitor names it ("COM3") and described by its
    // device; added once per section, before its first packet.
    void AddInterface(unsigned port, const std::string& name, const std::string& description);
    bool HasInterface(unsigned port) const;
    // One event of port (its interface must exist) at wallUs, microseconds since 1970.
    // Data events carry bytes; the others none. lines: the header's modem line bits.
    void AddPacket(unsigned port, std::int64_t wallUs, Event event, std::uint8_t lines,
                   const std::uint8_t* bytes, std::size_t count, const std::string& comment);

    // The packets added in this section, which is also the number Wireshark gives the last.
    std::uint64_t PacketCount() const { return m_packets; }
    // What the blocks added since the last Take hold, whole blocks only.
    std::vector<std::uint8_t> Take();
    std::size_t Pending() const { return m_out.size(); }

    // ModemLines bits as the header's.
    static std::uint8_t HeaderLines(unsigned modemLines);

private:
    void BeginBlock(std::uint32_t type);
    void EndBlock();
    void Option(std::uint16_t code, const void* value, std::size_t length);
    void Put32(std::uint32_t value);
    void Put16(std::uint16_t value);
    void Pad();

    std::vector<std::uint8_t> m_out;
    std::size_t m_blockStart = 0;
    std::vector<int> m_interfaces; // by port: the interface id, -1 none
    std::uint32_t m_nextInterface = 0;
    std::uint64_t m_packets = 0;
};
