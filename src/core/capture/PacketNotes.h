#pragma once

#include "core/decode/RequestPairer.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

// The comment a capture file gives a packet where VRL knows more than its bytes: on a port
// that decodes MODBUS RTU, a message that is one frame is checked (a wrong CRC is named) and
// an answer is paired with its request ("answer to packet N, 14.2 ms": from the request's
// last byte, estimated by the line's rate, to the answer's first). Wireshark decodes a packet
// as one frame, so only whole frames are looked at. Packet numbers are those of the file.
class PacketNotes
{
public:
    // MODBUS notes for port (charUs: one character on its line), or none (charUs <= 0).
    void SetModbus(unsigned port, double charUs);
    // The two ports of a forwarding pair are one link: a request read on one is answered
    // on the other.
    void SetPartners(unsigned a, unsigned b);
    // The note for a message that is packet number packet (1-based) of the file; empty when
    // there is none. direction: 1 received, 0 sent. Messages in the order of the file.
    std::string Note(std::uint64_t packet, unsigned port, int direction, std::int64_t timeUs,
                     const std::uint8_t* bytes, std::size_t count);
    // A new file begins: requests in the last one are answered by nothing in this one.
    void Restart() { m_pairer = RequestPairer(); }

private:
    unsigned LinkOf(unsigned port) const;

    std::map<unsigned, double> m_charUs;
    std::map<unsigned, unsigned> m_partner;
    RequestPairer m_pairer;
};
