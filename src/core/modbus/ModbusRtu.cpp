#include "core/modbus/ModbusRtu.h"

#include "core/send/CheckCode.h"

namespace {

std::uint16_t Word(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
}

bool InRange(unsigned v, unsigned low, unsigned high)
{
    return v >= low && v <= high;
}

// Length given by the byte count at index need, plus what surrounds it.
void CountedLayout(ModbusLayout& layout, const std::uint8_t* bytes, std::size_t available,
                   std::size_t need, std::size_t extra)
{
    layout.m_need = need;
    layout.m_length = need < available ? extra + bytes[need] : 0;
}

} // namespace

bool ModbusHasLayout(std::uint8_t function)
{
    return InRange(function, 1, 6) || function == 15 || function == 16 || function == 22
           || function == 23;
}

bool ModbusTwoLayouts(std::uint8_t function)
{
    return ModbusHasLayout(function) && function != 5 && function != 6 && function != 22;
}

bool ModbusKnownOther(std::uint8_t function)
{
    switch (function) {
    case 7:
    case 8:
    case 11:
    case 12:
    case 17:
    case 20:
    case 21:
    case 24:
    case 43: return true;
    default: return InRange(function, 65, 72) || InRange(function, 100, 110);
    }
}

int ModbusLayouts(const std::uint8_t* bytes, std::size_t available, ModbusLayout out[2])
{
    const std::uint8_t function = bytes[1];
    if (function & 0x80) {
        if ((function & 0x7F) == 0)
            return 0;
        out[0] = {ModbusForm::Exception, 5, 0};
        return 1;
    }
    if (!ModbusHasLayout(function))
        return 0;
    ModbusLayout request{ModbusForm::Request, 8, 0};
    ModbusLayout response{ModbusForm::Response, 8, 0};
    switch (function) {
    case 1:
    case 2:
    case 3:
    case 4: CountedLayout(response, bytes, available, 2, 5); break;
    case 15:
    case 16: CountedLayout(request, bytes, available, 6, 9); break;
    case 22: request.m_length = response.m_length = 10; break;
    case 23:
        CountedLayout(request, bytes, available, 10, 13);
        CountedLayout(response, bytes, available, 2, 5);
        break;
    default: // 5, 6: the answer is the request's echo
        break;
    }
    int n = 0;
    if (request.m_length <= kModbusMaxFrame)
        out[n++] = request;
    if (ModbusTwoLayouts(function) && response.m_length <= kModbusMaxFrame)
        out[n++] = response;
    return n;
}

bool ModbusPlausible(const std::uint8_t* f, std::size_t length, ModbusForm form)
{
    if (length < kModbusMinFrame || f[0] > kModbusMaxSlave)
        return false;
    const std::uint8_t function = f[1];
    if (form == ModbusForm::Exception) {
        const std::uint8_t code = f[2];
        return f[0] != 0 && length == 5
               && (InRange(code, 1, 6) || code == 8 || code == 10 || code == 11);
    }
    if (form == ModbusForm::Other)
        return ModbusKnownOther(function);
    if (form == ModbusForm::Response && f[0] == 0) // nobody answers a broadcast
        return false;
    const bool request = form == ModbusForm::Request;
    switch (function) {
    case 1:
    case 2:
        return request ? length == 8 && InRange(Word(f + 4), 1, 2000)
                       : f[2] >= 1 && length == 5u + f[2];
    case 3:
    case 4:
    case 23:
        if (!request)
            return f[2] >= 2 && f[2] % 2 == 0 && length == 5u + f[2];
        if (function != 23)
            return length == 8 && InRange(Word(f + 4), 1, 125);
        return length == 13u + f[10] && InRange(Word(f + 4), 1, 125) && InRange(Word(f + 8), 1, 121)
               && f[10] == 2 * Word(f + 8);
    case 5: return length == 8 && (Word(f + 4) == 0xFF00 || Word(f + 4) == 0x0000);
    case 6: return length == 8;
    case 15:
        if (!request)
            return length == 8 && InRange(Word(f + 4), 1, 1968);
        return length == 9u + f[6] && InRange(Word(f + 4), 1, 1968)
               && f[6] == (Word(f + 4) + 7) / 8;
    case 16:
        if (!request)
            return length == 8 && InRange(Word(f + 4), 1, 123);
        return length == 9u + f[6] && InRange(Word(f + 4), 1, 123) && f[6] == 2 * Word(f + 4);
    case 22: return length == 10;
    default: return false;
    }
}

std::uint16_t ModbusCrc(const std::uint8_t* bytes, std::size_t count)
{
    // The check-code unit returns the register with its bytes exchanged.
    static const CCheckCode cc;
    const std::uint16_t exchanged = cc.CrcAnsi16(bytes, static_cast<int>(count));
    return static_cast<std::uint16_t>((exchanged << 8) | (exchanged >> 8));
}

std::uint16_t ModbusFrameCrc(const std::uint8_t* frame, std::size_t length)
{
    return static_cast<std::uint16_t>(frame[length - 2] | (frame[length - 1] << 8));
}

bool ModbusCrcOk(const std::uint8_t* frame, std::size_t length)
{
    return length >= kModbusMinFrame
           && ModbusCrc(frame, length - 2) == ModbusFrameCrc(frame, length);
}
