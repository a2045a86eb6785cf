#pragma once

#include "core/modbus/ModbusRtu.h"

#include <cstdint>
#include <string>

// What a MODBUS RTU frame says, in words (UTF-8), for the monitor line under its message
// and the columns of the frame table.
struct ModbusDescription
{
    std::string m_text;     // e.g. "从站 1 读保持寄存器 起始 0 数量 4"
    std::string m_function; // the function's name, with "异常" for an exception
    std::string m_start;    // empty where the frame has none
    std::string m_quantity;
    std::string m_data;   // registers as hexadecimal words, coils as bits
    std::string m_crc;    // "正确", or what is wrong and the value expected
    bool m_alert = false; // wrong CRC, exception or noise: shown in red
};

// request: the request an answer was paired with (it gives the number of coils of a coil
// read), or null.
ModbusDescription DescribeModbusFrame(const ModbusFrame& frame,
                                      const ModbusFrame* request = nullptr);

// "读保持寄存器" ..., "功能 N" for a function without a name here.
std::string ModbusFunctionName(std::uint8_t function);
// "非法数据地址" ..., "异常码 N" for a code without a name.
std::string ModbusExceptionName(std::uint8_t code);
