#include "core/modbus/ModbusFrameLog.h"

#include <gtest/gtest.h>

#include <sstream>

TEST(ModbusFrameLog, KeepsTheNewestRowsAndWritesCsv)
{
    ModbusFrameLog log(3);
    for (int i = 0; i < 5; ++i) {
        ModbusRecord r;
        r.m_port = 1;
        r.m_frame.m_form = ModbusForm::Response;
        r.m_frame.m_bytes = {static_cast<std::uint8_t>(i + 1), 3, 0, 0};
        r.m_description.m_function = "读保持寄存器";
        r.m_description.m_data = i == 4 ? "a,\"b\"" : "162E";
        r.m_paired = i == 4;
        r.m_delayMs = i == 3 ? -1 : 12;
        log.Add(r, "12:00:0" + std::to_string(i) + ".250");
    }
    ASSERT_EQ(log.Size(), 3u);
    EXPECT_EQ(log.Dropped(), 2u);
    EXPECT_EQ(log.Row(0).m_slave, "3");

    std::ostringstream csv;
    ASSERT_TRUE(log.WriteCsv(csv));
    EXPECT_EQ(csv.str(), "\xEF\xBB\xBF时间,端口,方向,从站,功能,起始,数量,数据,CRC,应答延时(ms)\r\n"
                         "12:00:02.250,COM2,收,3,读保持寄存器,,,162E,,\r\n"
                         "12:00:03.250,COM2,收,4,读保持寄存器,,,162E,,无应答\r\n"
                         "12:00:04.250,COM2,收,5,读保持寄存器,,,\"a,\"\"b\"\"\",,12\r\n");
}
