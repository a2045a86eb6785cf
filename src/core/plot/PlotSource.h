#pragma once

#include "core/modbus/ModbusRecord.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// How a register (or two) is read as a number.
enum class RegisterType
{
    Int16,
    Uint16,
    Int32,
    Uint32,
    Float32,
    Bit // one bit of a register, or a coil
};

// Where a channel's samples come from.
struct PlotSource
{
    enum class Kind
    {
        Modbus,    // answers decoded on the port
        TextNamed, // "name:value" in the port's text lines
        TextNth,   // the n-th number of the port's text lines
        Script     // vrl.plot(name, ...) of a running script
    };

    Kind m_kind = Kind::Modbus;
    unsigned m_port = 0; // 0-based
    std::uint8_t m_slave = 1;
    ModbusTable m_table = ModbusTable::HoldingRegisters;
    std::uint32_t m_address = 0; // 0-based, as on the wire
    RegisterType m_type = RegisterType::Uint16;
    bool m_lowWordFirst = false; // 32-bit values: the low word at the lower address
    unsigned m_bit = 0;
    std::string m_name; // TextNamed, Script
    int m_nth = 1;      // TextNth

    bool operator==(const PlotSource&) const = default;
};

// A channel as vrl-capture's --value names it, and as it is stored:
//   [NAME=]COMn:modbus:SLAVE:ADDRESS:TYPE[:lh]   ADDRESS 40001 (holding 0), 30001 (input 0),
//                                                00001 (coil 0), 10001 (discrete 0), or
//                                                hr0, ir0, co0, di0; TYPE int16, uint16,
//                                                int32, uint32, float32, bit0 to bit15
//   [NAME=]COMn:text:NAME   [NAME=]COMn:text:#N   [NAME=]script:NAME
struct PlotChannel
{
    std::string m_name;
    PlotSource m_source;
};

// Nothing when the text is not such a channel; error then says why.
std::optional<PlotChannel> ParsePlotChannel(std::string_view text, std::string& error);
std::string PlotChannelText(const PlotChannel& channel);

// The value of the source's register in a decoded record that carries it (an answer to a
// read, a write that was answered); nothing when the record does not carry it.
std::optional<double> ReadRegisterValue(const ModbusRecord& record, const PlotSource& source);
