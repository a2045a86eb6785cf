#include "core/modbus/ModbusDescriber.h"

#include "ModbusTestFrames.h"

#include <gtest/gtest.h>

TEST(ModbusDescriber, RequestsAnswersExceptionsAndCrc)
{
    struct Case
    {
        const char* frame; // without CRC; "!" spoils it
        ModbusForm form;
        const char* text;
        const char* request = nullptr; // the request an answer was paired with
    };
    using F = ModbusForm;
    const Case cases[] = {
        {"01 01 00 13 00 0A", F::Request, "从站 1 读线圈 起始 19 数量 10"},
        {"01 01 02 CD 01", F::Response, "从站 1 读线圈 10 个: 10110011 10", "01 01 00 13 00 0A"},
        {"01 01 02 CD 01", F::Response, "从站 1 读线圈 字节数 2: 10110011 10000000"},
        {"01 02 00 C4 00 16", F::Request, "从站 1 读离散输入 起始 196 数量 22"},
        {"01 03 00 00 00 04", F::Request, "从站 1 读保持寄存器 起始 0 数量 4"},
        {"01 03 08 16 2E 00 2A 00 07 00 00", F::Response,
         "从站 1 读保持寄存器 4 个: 162E 002A 0007 0000"},
        {"11 04 02 00 0A", F::Response, "从站 17 读输入寄存器 1 个: 000A"},
        {"01 05 00 AC FF 00", F::Request, "从站 1 写单个线圈 地址 172 值 ON"},
        {"00 06 00 01 00 03", F::Request, "广播 写单个寄存器 地址 1 值 0003"},
        {"01 0F 00 13 00 0A 02 CD 01", F::Request,
         "从站 1 写多个线圈 起始 19 数量 10: 10110011 10"},
        {"01 10 00 01 00 02 04 00 0A 01 02", F::Request,
         "从站 1 写多个寄存器 起始 1 数量 2: 000A 0102"},
        {"01 10 00 01 00 02", F::Response, "从站 1 写多个寄存器 起始 1 数量 2"},
        {"01 16 00 04 00 F2 00 25", F::Request, "从站 1 屏蔽写寄存器 地址 4 与 00F2 或 0025"},
        {"01 17 00 03 00 06 00 0E 00 03 06 00 FF 00 FF 00 FF", F::Request,
         "从站 1 读写多个寄存器 读 起始 3 数量 6 写 起始 14 数量 3: 00FF 00FF 00FF"},
        {"01 17 04 00 FE 0A CD", F::Response, "从站 1 读写多个寄存器 2 个: 00FE 0ACD"},
        {"0A 81 02", F::Exception, "从站 10 读线圈 异常 02 非法数据地址"},
        {"01 08 00 00 A5 37", F::Other, "从站 1 功能 8 数据: 00 00 A5 37"},
        {"01 03 00 00 00 04!", F::Request,
         "从站 1 读保持寄存器 起始 0 数量 4  CRC 错误，收到 44 08，应为 44 09"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.frame);
        ModbusFrame frame;
        frame.m_form = c.form;
        frame.m_bytes = ModbusBytes(c.frame);
        frame.m_crcOk = ModbusCrcOk(frame.m_bytes.data(), frame.m_bytes.size());
        ModbusFrame request;
        if (c.request)
            request.m_bytes = ModbusBytes(c.request);
        const ModbusDescription d = DescribeModbusFrame(frame, c.request ? &request : nullptr);
        EXPECT_EQ(d.m_text, c.text);
        EXPECT_EQ(d.m_alert, c.form == F::Exception || !frame.m_crcOk);
    }
}
