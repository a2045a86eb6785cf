#include "core/modbus/ModbusDescriber.h"

#include "core/text/CoreText.h"

#include <cstdio>

namespace {

unsigned Word(const std::vector<std::uint8_t>& b, std::size_t i)
{
    return static_cast<unsigned>((b[i] << 8) | b[i + 1]);
}

std::string Hex2(unsigned v)
{
    char text[8];
    std::snprintf(text, sizeof text, "%02X", v & 0xFF);
    return text;
}

std::string Hex4(unsigned v)
{
    char text[8];
    std::snprintf(text, sizeof text, "%04X", v & 0xFFFF);
    return text;
}

// Words of 16 bits from bytes [from, from + count).
std::string Words(const std::vector<std::uint8_t>& b, std::size_t from, std::size_t count)
{
    std::string text;
    for (std::size_t i = 0; i + 1 < count; i += 2) {
        if (!text.empty())
            text += ' ';
        text += Hex4(Word(b, from + i));
    }
    return text;
}

std::string HexBytes(const std::vector<std::uint8_t>& b, std::size_t from, std::size_t count)
{
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        if (!text.empty())
            text += ' ';
        text += Hex2(b[from + i]);
    }
    return text;
}

// Coils in address order (the lowest bit of the first byte first), in groups of eight.
std::string Bits(const std::vector<std::uint8_t>& b, std::size_t from, std::size_t bytes,
                 std::size_t quantity)
{
    std::string text;
    for (std::size_t i = 0; i < quantity && i / 8 < bytes; ++i) {
        if (i > 0 && i % 8 == 0)
            text += ' ';
        text += (b[from + i / 8] >> (i % 8)) & 1 ? '1' : '0';
    }
    return text;
}

} // namespace

std::string ModbusFunctionName(std::uint8_t function)
{
    switch (function) {
    case 1: return VRL_TR("ModbusDescriber", "读线圈");
    case 2: return VRL_TR("ModbusDescriber", "读离散输入");
    case 3: return VRL_TR("ModbusDescriber", "读保持寄存器");
    case 4: return VRL_TR("ModbusDescriber", "读输入寄存器");
    case 5: return VRL_TR("ModbusDescriber", "写单个线圈");
    case 6: return VRL_TR("ModbusDescriber", "写单个寄存器");
    case 15: return VRL_TR("ModbusDescriber", "写多个线圈");
    case 16: return VRL_TR("ModbusDescriber", "写多个寄存器");
    case 22: return VRL_TR("ModbusDescriber", "屏蔽写寄存器");
    case 23: return VRL_TR("ModbusDescriber", "读写多个寄存器");
    default:
        return CoreText::Args(VRL_TR("ModbusDescriber", "功能 %1"), {std::to_string(function)});
    }
}

std::string ModbusExceptionName(std::uint8_t code)
{
    switch (code) {
    case 1: return VRL_TR("ModbusDescriber", "非法功能");
    case 2: return VRL_TR("ModbusDescriber", "非法数据地址");
    case 3: return VRL_TR("ModbusDescriber", "非法数据值");
    case 4: return VRL_TR("ModbusDescriber", "从站设备故障");
    case 5: return VRL_TR("ModbusDescriber", "确认");
    case 6: return VRL_TR("ModbusDescriber", "从站设备忙");
    case 8: return VRL_TR("ModbusDescriber", "存储奇偶性差错");
    case 10: return VRL_TR("ModbusDescriber", "网关路径不可用");
    case 11: return VRL_TR("ModbusDescriber", "网关目标设备无响应");
    default: return CoreText::Args(VRL_TR("ModbusDescriber", "异常码 %1"), {std::to_string(code)});
    }
}

ModbusDescription DescribeModbusFrame(const ModbusFrame& frame, const ModbusFrame* request)
{
    ModbusDescription d;
    const std::vector<std::uint8_t>& b = frame.m_bytes;
    if (frame.m_form == ModbusForm::Noise || b.size() < kModbusMinFrame) {
        d.m_text = CoreText::Args(VRL_TR("ModbusDescriber", "无效数据 %1 字节（不成帧）"),
                                  {std::to_string(b.size())});
        d.m_function = VRL_TR("ModbusDescriber", "无效数据");
        d.m_data = HexBytes(b, 0, b.size());
        d.m_alert = true;
        return d;
    }
    const std::size_t n = b.size();
    const std::uint8_t fc = b[1];
    const bool isRequest = frame.m_form == ModbusForm::Request;
    std::string detail; // what follows slave and function in the line
    auto startQuantity = [&](std::size_t at) {
        d.m_start = std::to_string(Word(b, at));
        d.m_quantity = std::to_string(Word(b, at + 2));
        detail =
            CoreText::Args(VRL_TR("ModbusDescriber", "起始 %1 数量 %2"), {d.m_start, d.m_quantity});
    };

    if (frame.m_form == ModbusForm::Exception) {
        d.m_function =
            CoreText::Args(VRL_TR("ModbusDescriber", "%1 异常"), {ModbusFunctionName(fc & 0x7F)});
        d.m_data = Hex2(b[2]) + " " + ModbusExceptionName(b[2]);
        detail = CoreText::Args(VRL_TR("ModbusDescriber", "异常 %1"), {d.m_data});
        d.m_alert = true;
    } else if (frame.m_form == ModbusForm::Other) {
        d.m_function = ModbusFunctionName(fc);
        d.m_data = HexBytes(b, 2, n - 4);
        detail = d.m_data.empty()
                     ? VRL_TR("ModbusDescriber", "无数据")
                     : CoreText::Args(VRL_TR("ModbusDescriber", "数据: %1"), {d.m_data});
    } else {
        d.m_function = ModbusFunctionName(fc);
        switch (fc) {
        case 1:
        case 2:
            if (isRequest) {
                startQuantity(2);
            } else {
                const std::size_t bytes = b[2];
                const bool known =
                    request && request->Function() == fc && request->m_bytes.size() >= 6;
                const std::size_t quantity = known ? Word(request->m_bytes, 4) : bytes * 8;
                d.m_quantity = std::to_string(known ? quantity : bytes * 8);
                d.m_data = Bits(b, 3, bytes, quantity);
                detail = known ? CoreText::Args(VRL_TR("ModbusDescriber", "%1 个: %2"),
                                                {d.m_quantity, d.m_data})
                               : CoreText::Args(VRL_TR("ModbusDescriber", "字节数 %1: %2"),
                                                {std::to_string(bytes), d.m_data});
            }
            break;
        case 3:
        case 4:
        case 23:
            if (!isRequest) {
                d.m_quantity = std::to_string(b[2] / 2);
                d.m_data = Words(b, 3, b[2]);
                detail = CoreText::Args(VRL_TR("ModbusDescriber", "%1 个: %2"),
                                        {d.m_quantity, d.m_data});
            } else if (fc != 23) {
                startQuantity(2);
            } else {
                d.m_start = std::to_string(Word(b, 2)) + "/" + std::to_string(Word(b, 6));
                d.m_quantity = std::to_string(Word(b, 4)) + "/" + std::to_string(Word(b, 8));
                d.m_data = Words(b, 11, b[10]);
                detail = CoreText::Args(
                    VRL_TR("ModbusDescriber", "读 起始 %1 数量 %2 写 起始 %3 数量 %4: %5"),
                    {std::to_string(Word(b, 2)), std::to_string(Word(b, 4)),
                     std::to_string(Word(b, 6)), std::to_string(Word(b, 8)), d.m_data});
            }
            break;
        case 5: {
            d.m_start = std::to_string(Word(b, 2));
            const unsigned v = Word(b, 4);
            d.m_data = v == 0xFF00 ? "ON"
                       : v == 0
                           ? "OFF"
                           : CoreText::Args(VRL_TR("ModbusDescriber", "%1（无效值）"), {Hex4(v)});
            detail =
                CoreText::Args(VRL_TR("ModbusDescriber", "地址 %1 值 %2"), {d.m_start, d.m_data});
            break;
        }
        case 6:
            d.m_start = std::to_string(Word(b, 2));
            d.m_data = Hex4(Word(b, 4));
            detail =
                CoreText::Args(VRL_TR("ModbusDescriber", "地址 %1 值 %2"), {d.m_start, d.m_data});
            break;
        case 15:
        case 16:
            startQuantity(2);
            if (isRequest) {
                d.m_data = fc == 15 ? Bits(b, 7, b[6], Word(b, 4)) : Words(b, 7, b[6]);
                detail += ": " + d.m_data;
            }
            break;
        case 22:
            d.m_start = std::to_string(Word(b, 2));
            d.m_data = CoreText::Args(VRL_TR("ModbusDescriber", "与 %1 或 %2"),
                                      {Hex4(Word(b, 4)), Hex4(Word(b, 6))});
            detail = CoreText::Args(VRL_TR("ModbusDescriber", "地址 %1 %2"), {d.m_start, d.m_data});
            break;
        default: break;
        }
    }

    const std::string slave =
        b[0] == 0 ? VRL_TR("ModbusDescriber", "广播")
                  : CoreText::Args(VRL_TR("ModbusDescriber", "从站 %1"), {std::to_string(b[0])});
    d.m_text =
        slave + " "
        + (frame.m_form == ModbusForm::Exception ? ModbusFunctionName(fc & 0x7F) : d.m_function);
    if (!detail.empty())
        d.m_text += " " + detail;
    if (frame.m_crcOk) {
        d.m_crc = VRL_TR("ModbusDescriber", "正确");
    } else {
        const unsigned expected = ModbusCrc(b.data(), n - 2);
        d.m_crc =
            CoreText::Args(VRL_TR("ModbusDescriber", "错误，收到 %1，应为 %2"),
                           {HexBytes(b, n - 2, 2), Hex2(expected) + " " + Hex2(expected >> 8)});
        d.m_text += "  CRC " + d.m_crc;
        d.m_alert = true;
    }
    return d;
}
