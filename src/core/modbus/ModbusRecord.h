#pragma once

#include "core/decode/DecodedRecord.h"
#include "core/modbus/ModbusDescriber.h"
#include "core/modbus/ModbusRtu.h"

#include <cstdint>
#include <optional>
#include <vector>

// The data table a function reads or writes.
enum class ModbusTable
{
    None,
    Coils,
    DiscreteInputs,
    HoldingRegisters,
    InputRegisters
};

// One register (or coil: 0 or 1) at its address.
struct ModbusValue
{
    std::uint32_t m_address = 0;
    std::uint16_t m_value = 0;
    bool operator==(const ModbusValue&) const = default;
};

// One decoded frame (or noise), with its words (the frame table's columns) and its numbers.
// An answer to a read takes its start address from the request it was paired with
// (m_request); unpaired, it has no m_start and its values' addresses count from 0.
struct ModbusRecord : DecodedRecord
{
    ModbusFrame m_frame;
    ModbusDescription m_description;
    std::uint8_t m_slave = 0;
    std::uint8_t m_function = 0;  // without the exception bit
    std::uint8_t m_exception = 0; // the exception code, 0 for none
    ModbusTable m_table = ModbusTable::None;
    // The first address and how many; of function 23 those it reads (its values are those
    // it writes, at their own addresses).
    std::optional<std::uint32_t> m_start;
    std::optional<std::uint32_t> m_quantity;
    std::vector<ModbusValue> m_values;
};

// Fills slave, function, exception, table, start, quantity and values from record.m_frame;
// request: the request an answer was paired with, or null.
void ReadModbusNumbers(ModbusRecord& record, const ModbusRecord* request);
