#pragma once

#include "core/serial/Rfc2217.h"
#include "core/serial/TcpTransport.h"

// A port served over telnet with the COM-PORT-OPTION (RFC 2217): the TCP stream with 0xFF
// escaped, the port's line settings and DTR/RTS sent to the server (at every connect, and
// whenever they change), and the input lines as the server notifies them.
class Rfc2217Transport : public TcpTransport
{
public:
    explicit Rfc2217Transport(Endpoint endpoint);

    std::vector<std::string> TakeNotes() override;
    void SetLine(const SerialLine::LineSettings& line, int flowControl) override;
    std::unique_ptr<ModemLines> MakeModemLines() override;

    // For the modem lines: DTR/RTS now and at the next connect; the notified input lines.
    void SetOutputs(unsigned mask, bool on);
    bool InputLines(unsigned& lines) const;

protected:
    void Greet(std::vector<std::uint8_t>& out) override;
    std::size_t Decode(std::uint8_t* bytes, std::size_t count,
                       std::vector<std::uint8_t>& reply) override;
    void Encode(const std::uint8_t* data, std::size_t count,
                std::vector<std::uint8_t>& out) override;

private:
    Rfc2217Session m_session; // under m_mutex
    std::vector<std::uint8_t> m_command;
};
