#include "core/serial/Rfc2217.h"

#include "core/text/CoreText.h"

#include "core/serial/ModemLines.h"
#include "core/serial/PortSettings.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iterator>

namespace {
// COM-PORT-OPTION commands of the client; the server answers with the same number + 100.
enum : std::uint8_t
{
    kSetBaudRate = 1,
    kSetDataSize = 2,
    kSetParity = 3,
    kSetStopSize = 4,
    kSetControl = 5,
    kSetModemStateMask = 11,
    kServerOffset = 100,
    kNotifyModemState = 7,
};

// SET-CONTROL values.
enum : std::uint8_t
{
    kFlowNone = 1,
    kFlowXonXoff = 2,
    kFlowHardware = 3,
    kDtrOn = 8,
    kDtrOff = 9,
    kRtsOn = 11,
    kRtsOff = 12,
};

// The modem-state byte: CTS, DSR, RI, DCD in the upper four bits.
constexpr std::uint8_t kStateCts = 0x10, kStateDsr = 0x20, kStateRi = 0x40, kStateDcd = 0x80;

// The options we want on: binary both ways and no go-ahead (the stream is a byte pipe), and
// our side of the com-port option.
bool WeWill(std::uint8_t option)
{
    return option == Rfc2217Session::kOptBinary || option == Rfc2217Session::kOptSuppressGoAhead
           || option == Rfc2217Session::kOptComPort;
}

bool TheyMay(std::uint8_t option)
{
    return option == Rfc2217Session::kOptBinary || option == Rfc2217Session::kOptSuppressGoAhead;
}

void SendVerb(std::uint8_t verb, std::uint8_t option, std::vector<std::uint8_t>& out)
{
    out.insert(out.end(), {Rfc2217Session::kIac, verb, option});
}

// RFC 2217 parity numbers from ours (0 none, 1 odd, 2 even, 3 mark, 4 space) and back.
std::uint8_t WireParity(int parity)
{
    return static_cast<std::uint8_t>(parity >= 0 && parity <= 4 ? parity + 1 : 1);
}

// Stop bits: ours 0 one, 1 one and a half, 2 two; on the wire 1 one, 2 two, 3 one and a half.
std::uint8_t WireStopSize(int stopBits)
{
    return stopBits == 2 ? 2 : stopBits == 1 ? 3 : 1;
}

int StopBitsOf(std::uint8_t wire)
{
    return wire == 2 ? 2 : wire == 3 ? 1 : 0;
}
} // namespace

void Rfc2217Session::Start(std::vector<std::uint8_t>& out)
{
    // A new connection negotiates afresh; the wanted settings and lines stay.
    m_state = State::Data;
    m_sub.clear();
    std::fill(std::begin(m_willSent), std::end(m_willSent), false);
    std::fill(std::begin(m_doSent), std::end(m_doSent), false);
    std::fill(std::begin(m_noSent), std::end(m_noSent), false);
    m_comPort = ComPort::Asked;
    m_haveLines = false;
    m_inputLines = 0;
    for (std::uint8_t option : {kOptBinary, kOptSuppressGoAhead, kOptComPort}) {
        SendVerb(kWill, option, out);
        m_willSent[option] = true;
    }
    for (std::uint8_t option : {kOptBinary, kOptSuppressGoAhead}) {
        SendVerb(kDo, option, out);
        m_doSent[option] = true;
    }
}

void Rfc2217Session::SetLine(const SerialLine::LineSettings& line, int flowControl,
                             std::vector<std::uint8_t>& out)
{
    m_line = line;
    m_flowControl = flowControl;
    m_haveLine = true;
    if (m_comPort == ComPort::Agreed)
        SendLine(out);
}

void Rfc2217Session::SetOutputs(unsigned mask, bool on, std::vector<std::uint8_t>& out)
{
    mask &= ModemLines::kOutputs;
    m_outputs = on ? (m_outputs | mask) : (m_outputs & ~mask);
    m_outputsSet |= mask;
    if (m_comPort != ComPort::Agreed)
        return;
    if (mask & ModemLines::kDtr)
        SendCommand(kSetControl, {on ? kDtrOn : kDtrOff}, out);
    if (mask & ModemLines::kRts)
        SendCommand(kSetControl, {on ? kRtsOn : kRtsOff}, out);
}

void Rfc2217Session::SendCommand(std::uint8_t command, const std::vector<std::uint8_t>& value,
                                 std::vector<std::uint8_t>& out)
{
    out.insert(out.end(), {kIac, kSb, kOptComPort, command});
    Escape(value.data(), value.size(), out);
    out.insert(out.end(), {kIac, kSe});
}

void Rfc2217Session::SendLine(std::vector<std::uint8_t>& out)
{
    if (!m_haveLine)
        return;
    const std::uint32_t rate = m_line.baudRate;
    SendCommand(kSetBaudRate,
                {static_cast<std::uint8_t>(rate >> 24), static_cast<std::uint8_t>(rate >> 16),
                 static_cast<std::uint8_t>(rate >> 8), static_cast<std::uint8_t>(rate)},
                out);
    SendCommand(kSetDataSize, {static_cast<std::uint8_t>(m_line.dataBits)}, out);
    SendCommand(kSetParity, {WireParity(m_line.parity)}, out);
    SendCommand(kSetStopSize, {WireStopSize(m_line.stopBits)}, out);
    // DTR/CTS, RTS/DSR and DTR/DSR have no RFC 2217 value: the server keeps its own.
    switch (m_flowControl) {
    case 0: SendCommand(kSetControl, {kFlowNone}, out); break;
    case 1: SendCommand(kSetControl, {kFlowHardware}, out); break;
    case 2: SendCommand(kSetControl, {kFlowXonXoff}, out); break;
    default:
        m_notes.push_back(CoreText::Args(
            VRL_TR("Rfc2217", "远端串口无法设置 %1 流控，沿用服务器的设置"),
            {SettingText(static_cast<std::uint32_t>(m_flowControl), kFlowControl, false)}));
        break;
    }
}

void Rfc2217Session::SendOutputs(std::vector<std::uint8_t>& out)
{
    if (m_outputsSet & ModemLines::kDtr)
        SendCommand(kSetControl, {(m_outputs & ModemLines::kDtr) ? kDtrOn : kDtrOff}, out);
    if (m_outputsSet & ModemLines::kRts)
        SendCommand(kSetControl, {(m_outputs & ModemLines::kRts) ? kRtsOn : kRtsOff}, out);
}

void Rfc2217Session::Escape(const std::uint8_t* data, std::size_t count,
                            std::vector<std::uint8_t>& out)
{
    // Sized once: a pass that counts 0xFF is cheaper than growing the buffer byte by byte.
    const auto iacs = static_cast<std::size_t>(std::count(data, data + count, kIac));
    const std::size_t at = out.size();
    out.resize(at + count + iacs);
    std::uint8_t* to = out.data() + at;
    if (iacs * 32 < count) {
        // Few of them (random data has one in 256): copied run by run.
        const std::uint8_t* end = data + count;
        while (data < end) {
            const auto* iac = static_cast<const std::uint8_t*>(
                std::memchr(data, kIac, static_cast<std::size_t>(end - data)));
            const std::uint8_t* stop = iac ? iac + 1 : end;
            std::memcpy(to, data, static_cast<std::size_t>(stop - data));
            to += stop - data;
            if (iac)
                *to++ = kIac;
            data = stop;
        }
        return;
    }
    for (std::size_t i = 0; i < count; ++i) {
        *to++ = data[i];
        if (data[i] == kIac)
            *to++ = kIac;
    }
}

std::size_t Rfc2217Session::Receive(std::uint8_t* bytes, std::size_t count,
                                    std::vector<std::uint8_t>& out)
{
    std::size_t data = 0; // data bytes moved to the front so far
    std::size_t i = 0;
    while (i < count) {
        if (m_state == State::Data) {
            // Nearly everything is data: the run up to the next IAC moves in one go.
            const auto* iac =
                static_cast<const std::uint8_t*>(std::memchr(bytes + i, kIac, count - i));
            const std::size_t end = iac ? static_cast<std::size_t>(iac - bytes) : count;
            if (data != i)
                std::memmove(bytes + data, bytes + i, end - i);
            data += end - i;
            i = end;
            // Doubled 0xFF taken here, without a search for each (data may be full of them).
            while (i + 1 < count && bytes[i] == kIac && bytes[i + 1] == kIac) {
                bytes[data++] = kIac;
                i += 2;
            }
            if (i < count && bytes[i] == kIac) {
                m_state = State::Iac;
                ++i;
            }
            continue;
        }
        const std::uint8_t b = bytes[i++];
        switch (m_state) {
        case State::Data: break;
        case State::Iac:
            m_state = State::Data;
            if (b == kIac)
                bytes[data++] = b; // a doubled 0xFF is one data byte
            else if (b == kWill || b == kWont || b == kDo || b == kDont) {
                m_verb = b;
                m_state = State::Option;
            } else if (b == kSb) {
                m_sub.clear();
                m_state = State::Sub;
            }
            // Anything else (NOP, go-ahead, break, ...) carries no data.
            break;
        case State::Option:
            m_state = State::Data;
            OnOption(m_verb, b, out);
            break;
        case State::Sub:
            if (b == kIac)
                m_state = State::SubIac;
            else if (m_sub.size() < 64) // a sane answer is a few bytes; the rest is dropped
                m_sub.push_back(b);
            break;
        case State::SubIac:
            if (b == kIac) {
                m_state = State::Sub;
                if (m_sub.size() < 64)
                    m_sub.push_back(b);
            } else {
                // IAC SE ends it; any other command ends a broken one the same way.
                m_state = State::Data;
                if (m_sub.size() >= 2 && m_sub[0] == kOptComPort)
                    OnComPortAnswer(out);
            }
            break;
        }
    }
    return data;
}

void Rfc2217Session::OnOption(std::uint8_t verb, std::uint8_t option,
                              std::vector<std::uint8_t>& out)
{
    switch (verb) {
    case kDo:
        if (WeWill(option)) {
            if (!m_willSent[option]) {
                SendVerb(kWill, option, out);
                m_willSent[option] = true;
            }
            if (option == kOptComPort && m_comPort != ComPort::Agreed) {
                m_comPort = ComPort::Agreed;
                // Ask to hear every change of the input lines, then put the port's own
                // settings and lines in force.
                SendCommand(kSetModemStateMask, {0xFF}, out);
                SendLine(out);
                SendOutputs(out);
            }
        } else if (!m_noSent[option]) {
            SendVerb(kWont, option, out);
            m_noSent[option] = true;
        }
        break;
    case kDont:
        if (m_willSent[option]) {
            SendVerb(kWont, option, out);
            m_willSent[option] = false;
        }
        if (option == kOptComPort && m_comPort != ComPort::Refused) {
            m_comPort = ComPort::Refused;
            m_notes.emplace_back(VRL_TR(
                "Rfc2217",
                "服务器拒绝了 RFC 2217 串口控制：波特率、数据位、校验、停止位和 DTR/RTS 不会传到远端串口"));
        }
        break;
    case kWill:
        if (TheyMay(option)) {
            if (!m_doSent[option]) {
                SendVerb(kDo, option, out);
                m_doSent[option] = true;
            }
        } else if (!m_noSent[option]) {
            SendVerb(kDont, option, out); // echo and the rest: not for a byte pipe
            m_noSent[option] = true;
        }
        break;
    case kWont:
        if (m_doSent[option]) {
            SendVerb(kDont, option, out);
            m_doSent[option] = false;
        }
        break;
    default: break;
    }
}

void Rfc2217Session::OnComPortAnswer(std::vector<std::uint8_t>& out)
{
    (void)out;
    const std::uint8_t command = m_sub[1];
    const std::uint8_t* value = m_sub.data() + 2;
    const std::size_t size = m_sub.size() - 2;
    if (command == kServerOffset + kNotifyModemState && size >= 1) {
        unsigned lines = 0;
        if (value[0] & kStateCts)
            lines |= ModemLines::kCts;
        if (value[0] & kStateDsr)
            lines |= ModemLines::kDsr;
        if (value[0] & kStateRi)
            lines |= ModemLines::kRi;
        if (value[0] & kStateDcd)
            lines |= ModemLines::kDcd;
        m_inputLines = lines;
        m_haveLines = true;
        return;
    }
    if (!m_haveLine || size == 0)
        return;
    // The server answers a setting with the value now in force: one that differs was not
    // taken by the port behind it.
    switch (command) {
    case kServerOffset + kSetBaudRate: {
        if (size < 4)
            return;
        const long long got = (static_cast<long long>(value[0]) << 24) | (value[1] << 16)
                              | (value[2] << 8) | value[3];
        const long long want = m_line.baudRate;
        if (std::llabs(got - want) * 100 > want * 3)
            m_notes.push_back(CoreText::Args(VRL_TR("Rfc2217", "远端串口未接受 %1 波特（现为 %2）"),
                                             {std::to_string(want), std::to_string(got)}));
        return;
    }
    case kServerOffset + kSetDataSize:
        if (value[0] != m_line.dataBits)
            m_notes.push_back(
                CoreText::Args(VRL_TR("Rfc2217", "远端串口未接受 %1 数据位（现为 %2）"),
                               {std::to_string(m_line.dataBits), std::to_string(value[0])}));
        return;
    case kServerOffset + kSetParity:
        if (value[0] != WireParity(m_line.parity))
            m_notes.push_back(CoreText::Args(
                VRL_TR("Rfc2217", "远端串口未接受%1（现为%2）"),
                {SettingText(static_cast<std::uint32_t>(m_line.parity), kParity, false),
                 SettingText(value[0] >= 1 ? value[0] - 1u : 0u, kParity, false)}));
        return;
    case kServerOffset + kSetStopSize:
        if (value[0] != WireStopSize(m_line.stopBits))
            m_notes.push_back(CoreText::Args(
                VRL_TR("Rfc2217", "远端串口未接受 %1 停止位（现为 %2）"),
                {SettingText(static_cast<std::uint32_t>(m_line.stopBits), kStopBits, false),
                 SettingText(static_cast<std::uint32_t>(StopBitsOf(value[0])), kStopBits, false)}));
        return;
    default: return;
    }
}

bool Rfc2217Session::InputLines(unsigned& lines) const
{
    lines = m_inputLines;
    return m_haveLines;
}

std::vector<std::string> Rfc2217Session::TakeNotes()
{
    std::vector<std::string> notes;
    notes.swap(m_notes);
    return notes;
}
