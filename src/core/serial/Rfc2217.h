#pragma once

#include "core/serial/SerialLine.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The client side of a telnet connection that carries a serial port with the COM-PORT-OPTION
// (RFC 2217), as ser2net serves it, without the socket: what comes from the server is decoded
// in place into the port's data, and what the client has to say (option answers, line
// settings, DTR and RTS) is appended to an output buffer for the caller to send.
//
// Nothing here waits for an answer: settings are sent as soon as the server has agreed to
// the option, and an answer that never comes (ser2net on a pseudo-terminal does not answer
// DTR/RTS) changes nothing. Answers that differ from the request become notes for the user.
//
// Not thread-safe: the caller serialises every call.
class Rfc2217Session
{
public:
    enum : std::uint8_t
    {
        kIac = 255,
        kDont = 254,
        kDo = 253,
        kWont = 252,
        kWill = 251,
        kSb = 250,
        kSe = 240,
        kOptBinary = 0,
        kOptSuppressGoAhead = 3,
        kOptComPort = 44,
    };

    enum class ComPort
    {
        Asked,   // no answer yet
        Agreed,  // the server takes line settings
        Refused, // the server said no: the data flows, the settings stay the server's
    };

    // What the client says first: binary both ways, no go-ahead, and that it will control
    // the com port. Resets what an earlier connection negotiated.
    void Start(std::vector<std::uint8_t>& out);

    // Rate, frame and flow control (PortSettings code). Sent now when the server has agreed
    // to the option, else kept and sent when it does.
    void SetLine(const SerialLine::LineSettings& line, int flowControl,
                 std::vector<std::uint8_t>& out);
    // Asserts (on) or drops DTR and/or RTS (ModemLines bits); kept like the settings.
    void SetOutputs(unsigned mask, bool on, std::vector<std::uint8_t>& out);

    // Decodes count bytes from the server: the port's data is moved to the front of bytes
    // and its length returned; telnet commands are taken out and answered into out. A
    // command cut between two reads is finished by the next call.
    std::size_t Receive(std::uint8_t* bytes, std::size_t count, std::vector<std::uint8_t>& out);

    // Port data for the wire: every 0xFF doubled.
    static void Escape(const std::uint8_t* data, std::size_t count, std::vector<std::uint8_t>& out);

    ComPort ComPortState() const { return m_comPort; }
    // The input lines (ModemLines bits) the server last notified; false before it has.
    bool InputLines(unsigned& lines) const;
    // What the user should be told (a refused option, a setting the server answered
    // differently), oldest first; taken.
    std::vector<std::string> TakeNotes();

private:
    enum class State
    {
        Data,
        Iac,
        Option, // after WILL, WONT, DO or DONT: the option byte
        Sub,    // inside SB ... IAC SE
        SubIac,
    };

    void OnOption(std::uint8_t verb, std::uint8_t option, std::vector<std::uint8_t>& out);
    void OnComPortAnswer(std::vector<std::uint8_t>& out);
    void SendCommand(std::uint8_t command, const std::vector<std::uint8_t>& value,
                     std::vector<std::uint8_t>& out);
    void SendLine(std::vector<std::uint8_t>& out);
    void SendOutputs(std::vector<std::uint8_t>& out);

    State m_state = State::Data;
    std::uint8_t m_verb = 0;
    std::vector<std::uint8_t> m_sub;
    bool m_willSent[256] = {}; // we said WILL for the option (and it is not withdrawn)
    bool m_doSent[256] = {};   // we said DO
    bool m_noSent[256] = {};   // we refused the server's offer or request once
    ComPort m_comPort = ComPort::Asked;

    SerialLine::LineSettings m_line;
    int m_flowControl = 0;
    bool m_haveLine = false;
    unsigned m_outputs = 0;    // DTR/RTS wanted
    unsigned m_outputsSet = 0; // which of the two were asked for at all
    bool m_haveLines = false;
    unsigned m_inputLines = 0;
    std::vector<std::string> m_notes;
};
