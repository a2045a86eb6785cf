#include "core/serial/Rfc2217Transport.h"

#include "core/serial/ModemLines.h"

namespace {
// DTR and RTS go to the server; the input lines are what it last notified. The server
// answers neither at once nor always, so nothing here waits.
class Rfc2217ModemLines : public ModemLines
{
public:
    explicit Rfc2217ModemLines(Rfc2217Transport& transport) : m_transport(transport) {}
    bool Get(unsigned& lines) override { return m_transport.InputLines(lines); }
    bool Set(unsigned mask, bool on) override
    {
        m_transport.SetOutputs(mask, on);
        return true;
    }

private:
    Rfc2217Transport& m_transport;
};
} // namespace

Rfc2217Transport::Rfc2217Transport(Endpoint endpoint) : TcpTransport(std::move(endpoint)) {}

void Rfc2217Transport::Greet(std::vector<std::uint8_t>& out)
{
    m_session.Start(out);
}

std::size_t Rfc2217Transport::Decode(std::uint8_t* bytes, std::size_t count,
                                     std::vector<std::uint8_t>& reply)
{
    return m_session.Receive(bytes, count, reply);
}

void Rfc2217Transport::Encode(const std::uint8_t* data, std::size_t count,
                              std::vector<std::uint8_t>& out)
{
    Rfc2217Session::Escape(data, count, out);
}

std::vector<std::string> Rfc2217Transport::TakeNotes()
{
    std::lock_guard lock(m_mutex);
    return m_session.TakeNotes();
}

void Rfc2217Transport::SetLine(const SerialLine::LineSettings& line, int flowControl)
{
    std::lock_guard lock(m_mutex);
    m_command.clear();
    m_session.SetLine(line, flowControl, m_command);
    SendLocked(m_command);
}

void Rfc2217Transport::SetOutputs(unsigned mask, bool on)
{
    std::lock_guard lock(m_mutex);
    m_command.clear();
    m_session.SetOutputs(mask, on, m_command);
    SendLocked(m_command);
}

bool Rfc2217Transport::InputLines(unsigned& lines) const
{
    std::lock_guard lock(m_mutex);
    return m_session.InputLines(lines);
}

std::unique_ptr<ModemLines> Rfc2217Transport::MakeModemLines()
{
    return std::make_unique<Rfc2217ModemLines>(*this);
}
