#include "core/modbus/ModbusRecord.h"

#include <algorithm>

namespace {

unsigned Word(const std::vector<std::uint8_t>& b, std::size_t i)
{
    return static_cast<unsigned>((b[i] << 8) | b[i + 1]);
}

ModbusTable TableOf(std::uint8_t function)
{
    switch (function) {
    case 1:
    case 5:
    case 15: return ModbusTable::Coils;
    case 2: return ModbusTable::DiscreteInputs;
    case 4: return ModbusTable::InputRegisters;
    default: return ModbusTable::HoldingRegisters;
    }
}

// count registers from byte from on, the first at address start.
void Registers(ModbusRecord& r, std::size_t from, std::size_t count, std::uint32_t start)
{
    const auto& b = r.m_frame.m_bytes;
    count = std::min(count, (b.size() - 2 - std::min(from, b.size() - 2)) / 2);
    for (std::size_t i = 0; i < count; ++i)
        r.m_values.push_back({start + static_cast<std::uint32_t>(i),
                              static_cast<std::uint16_t>(Word(b, from + 2 * i))});
}

// Coils in address order: the lowest bit of the first byte first.
void Bits(ModbusRecord& r, std::size_t from, std::size_t bytes, std::size_t quantity,
          std::uint32_t start)
{
    const auto& b = r.m_frame.m_bytes;
    bytes = std::min(bytes, b.size() - 2 - std::min(from, b.size() - 2));
    for (std::size_t i = 0; i < quantity && i / 8 < bytes; ++i)
        r.m_values.push_back({start + static_cast<std::uint32_t>(i),
                              static_cast<std::uint16_t>((b[from + i / 8] >> (i % 8)) & 1)});
}

} // namespace

void ReadModbusNumbers(ModbusRecord& r, const ModbusRecord* request)
{
    const ModbusFrame& f = r.m_frame;
    const std::vector<std::uint8_t>& b = f.m_bytes;
    if (f.m_form == ModbusForm::Noise || b.size() < kModbusMinFrame)
        return;
    r.m_slave = b[0];
    r.m_function = b[1] & 0x7F;
    if (f.m_form == ModbusForm::Exception) {
        r.m_exception = b[2];
        return;
    }
    if (f.m_form == ModbusForm::Other)
        return;
    const std::uint8_t fc = r.m_function;
    r.m_table = TableOf(fc);
    const bool isRequest = f.m_form == ModbusForm::Request;
    const bool known = request && request->m_function == fc && request->m_start;
    const std::uint32_t answered = known ? *request->m_start : 0;
    auto startQuantity = [&](std::size_t at) {
        r.m_start = Word(b, at);
        r.m_quantity = Word(b, at + 2);
    };
    switch (fc) {
    case 1:
    case 2:
        if (isRequest) {
            startQuantity(2);
        } else {
            if (known)
                r.m_start = answered;
            r.m_quantity = known && request->m_quantity ? *request->m_quantity : b[2] * 8u;
            Bits(r, 3, b[2], *r.m_quantity, answered);
        }
        break;
    case 3:
    case 4:
    case 23:
        if (!isRequest) {
            if (known)
                r.m_start = answered;
            r.m_quantity = b[2] / 2u;
            Registers(r, 3, b[2] / 2u, answered);
        } else if (fc != 23) {
            startQuantity(2);
        } else {
            startQuantity(2);
            Registers(r, 11, b[10] / 2u, Word(b, 6));
        }
        break;
    case 5: {
        r.m_start = Word(b, 2);
        r.m_quantity = 1;
        const unsigned v = Word(b, 4);
        if (v == 0xFF00 || v == 0)
            r.m_values.push_back({*r.m_start, static_cast<std::uint16_t>(v ? 1 : 0)});
        break;
    }
    case 6:
        r.m_start = Word(b, 2);
        r.m_quantity = 1;
        Registers(r, 4, 1, *r.m_start);
        break;
    case 15:
    case 16:
        startQuantity(2);
        if (isRequest && fc == 15)
            Bits(r, 7, b[6], *r.m_quantity, *r.m_start);
        else if (isRequest)
            Registers(r, 7, b[6] / 2u, *r.m_start);
        break;
    case 22: r.m_start = Word(b, 2); break;
    default: break;
    }
}
